#include "mvnusbreturn.h"

#include <libusb.h>

namespace MVN {
namespace USB {

MVNUsbReturn LibUsbReturnToMVNUsbReturn(int libusbError)
{
    switch (libusbError) {
    case LIBUSB_SUCCESS: return kMVNUsbSuccess;
    case LIBUSB_ERROR_INVALID_PARAM: return kMVNUsbInvalidArgument;
    case LIBUSB_ERROR_ACCESS: return kMVNUsbAccessDenied;
    case LIBUSB_ERROR_NO_DEVICE: return kMVNUsbNoDevice;
    case LIBUSB_ERROR_TIMEOUT: return kMVNUsbTimeout;
    case LIBUSB_ERROR_PIPE: return kMVNUsbStall;
    default: return kMVNUsbGeneralFailure;
    }
}

MVNUsbReturn LibUsbTransferStatusToMVNUsbReturn(int transferStatus)
{
    switch (transferStatus) {
    case LIBUSB_TRANSFER_COMPLETED: return kMVNUsbSuccess;
    case LIBUSB_TRANSFER_TIMED_OUT: return kMVNUsbTimeout;
    case LIBUSB_TRANSFER_STALL: return kMVNUsbStall;
    case LIBUSB_TRANSFER_NO_DEVICE: return kMVNUsbNoDevice;
    default: return kMVNUsbGeneralFailure; // error, cancelled, overflow
    }
}

} // namespace USB
} // namespace MVN
