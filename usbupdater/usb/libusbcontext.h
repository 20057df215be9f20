#pragma once

struct libusb_context;

namespace MVN {
namespace USB {

// The one libusb context of the process, created on first use. When it
// cannot be created, libusb's default context (null) is used instead.
libusb_context* SharedLibUsbContext();

} // namespace USB
} // namespace MVN
