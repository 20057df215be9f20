#pragma once

#include "usbdevfstestbed.h"

#include <QtTest>

// For the initTestCase of a test on the emulated USB bus. CTest starts these
// tests with the umockdev preload and ONDAVIA_REQUIRE_EMULATED_BUS set, so
// there a missing preload is a failure; run by hand without it, the test
// reports itself skipped.
#define ONDAVIA_NEED_EMULATED_BUS()                                                                           \
    do {                                                                                                      \
        if (!xmegasim::UsbDevfsTestBed::preloadActive()) {                                                    \
            if (qEnvironmentVariableIsSet("ONDAVIA_REQUIRE_EMULATED_BUS"))                                    \
                QFAIL("libumockdev-preload is not loaded in this process, so the emulated USB bus is missing"); \
            QSKIP("needs libumockdev-preload (run under umockdev-wrapper)");                                  \
        }                                                                                                     \
    } while (false)
