#pragma once

#include <libusb.h>

#include <cstddef>
#include <memory>

namespace MVN {
namespace USB {

// Owners of what libusb hands out, so that no path forgets to give it back.

struct ConfigDescriptorDeleter
{
    void operator()(libusb_config_descriptor* config) const { libusb_free_config_descriptor(config); }
};
using ConfigDescriptorPtr = std::unique_ptr<libusb_config_descriptor, ConfigDescriptorDeleter>;

// A configuration descriptor by index, null when it cannot be read.
inline ConfigDescriptorPtr readConfigDescriptor(libusb_device* device, uint8_t index)
{
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_config_descriptor(device, index, &config) != LIBUSB_SUCCESS)
        return nullptr;
    return ConfigDescriptorPtr(config);
}

// The current device list, each device referenced while the list lives.
class DeviceList
{
public:
    explicit DeviceList(libusb_context* context) : m_count(libusb_get_device_list(context, &m_list)) {}
    ~DeviceList()
    {
        if (m_count >= 0)
            libusb_free_device_list(m_list, 1);
    }
    DeviceList(const DeviceList&) = delete;
    DeviceList& operator=(const DeviceList&) = delete;

    // Negative: the libusb error that prevented the listing.
    ssize_t count() const { return m_count; }
    libusb_device* operator[](ssize_t i) const { return m_list[i]; }

private:
    libusb_device** m_list = nullptr;
    ssize_t m_count = 0;
};

struct PollFdsDeleter
{
    void operator()(const libusb_pollfd** fds) const { libusb_free_pollfds(fds); }
};
using PollFdsPtr = std::unique_ptr<const libusb_pollfd*, PollFdsDeleter>;

} // namespace USB
} // namespace MVN
