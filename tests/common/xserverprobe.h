#pragma once

// For tests that drive windows on a real X server (xvfb-run, xcb): without
// one there is nothing to run against, so the test says so and is counted
// as skipped. Include after the Qt headers (Xlib defines common words as
// macros).

#include <QtGlobal>

#include <X11/Xlib.h>

#include <cstdio>

constexpr int kSkippedWithoutXServer = 77;

// 0 when an X server is there to run against, else kSkippedWithoutXServer
// after saying why.
inline int probeXServer()
{
    if (qEnvironmentVariable("QT_QPA_PLATFORM") != QLatin1String("xcb")) {
        std::printf("SKIPPED: QT_QPA_PLATFORM is not xcb; this test runs on a real X server (xvfb-run)\n");
        return kSkippedWithoutXServer;
    }
    Display* probe = XOpenDisplay(nullptr);
    if (!probe) {
        std::printf("SKIPPED: no X server at DISPLAY=\"%s\"\n", qgetenv("DISPLAY").constData());
        return kSkippedWithoutXServer;
    }
    XCloseDisplay(probe);
    return 0;
}
