#include "libusbcontext.h"

#include <libusb.h>

#include <mutex>

namespace MVN {
namespace USB {

libusb_context* SharedLibUsbContext()
{
    static std::once_flag once;
    static libusb_context* context = nullptr;
    std::call_once(once, [] {
        if (libusb_init(&context) != LIBUSB_SUCCESS) {
            context = nullptr;
            libusb_init(nullptr);
        }
    });
    return context;
}

} // namespace USB
} // namespace MVN
