#pragma once

#include <cstdint>

namespace MVN {
namespace USB {

// Result code of every operation of the USB layer; 0 is success.
using MVNUsbReturn = int32_t;

enum : MVNUsbReturn {
    kMVNUsbSuccess = 0,
    kMVNUsbGeneralFailure = 1,          // any other libusb error, no configuration, bad pipe type
    kMVNUsbNoDevice = 3,                // the device left the bus
    kMVNUsbInvalidArgument = 4,         // bad parameter, null output or buffer
    kMVNUsbAccessDenied = 5,            // no permission, or already open / claimed
    kMVNUsbNotOpen = 6,                 // closing or resetting a device that is not open
    kMVNUsbPipeOutOfRange = 11,         // pipe number not between 1 and the endpoint count
    kMVNUsbConfigurationOutOfRange = 14,
    kMVNUsbTimeout = 15,
    kMVNUsbStall = 16,
};

// Maps a libusb error number (LIBUSB_ERROR_*, or 0) to a layer code.
MVNUsbReturn LibUsbReturnToMVNUsbReturn(int libusbError);
// Maps the status of a completed libusb transfer (LIBUSB_TRANSFER_*).
MVNUsbReturn LibUsbTransferStatusToMVNUsbReturn(int transferStatus);

} // namespace USB
} // namespace MVN
