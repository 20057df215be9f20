#pragma once

#include "iusbdevice.h"

#include <libusb.h>

#include <atomic>

namespace MVN {
namespace USB {

// IUSBDevice over one libusb device. Holds a libusb reference for its whole
// life and a copy of the device descriptor read at construction.
class CUSBDevice final : public IUSBDevice
{
public:
    explicit CUSBDevice(libusb_device* device);
    ~CUSBDevice() override;
    CUSBDevice(const CUSBDevice&) = delete;
    CUSBDevice& operator=(const CUSBDevice&) = delete;

    uint32_t AddRef() override;
    uint32_t Release() override;
    MVNUsbReturn DeviceRequest(MVNUsb_DevRequest* request) override;
    MVNUsbReturn GetConfigurationIndex(uint8_t* index) override;
    MVNUsbReturn GetDeviceClass(uint8_t* deviceClass) override;
    MVNUsbReturn GetDeviceProduct(uint16_t* productId) override;
    MVNUsbReturn GetDeviceProtocol(uint8_t* protocol) override;
    MVNUsbReturn GetDeviceReleaseNumber(uint16_t* bcdDevice) override;
    MVNUsbReturn GetDeviceSpeed(uint8_t* speed) override;
    MVNUsbReturn GetDeviceSubClass(uint8_t* subClass) override;
    MVNUsbReturn GetDeviceVendor(uint16_t* vendorId) override;
    MVNUsbReturn GetLocationID(uint32_t* locationId) override;
    MVNUsbReturn GetNumberOfConfigurations(uint8_t* count) override;
    MVNUsbReturn SetConfigurationByIndex(uint8_t index) override;
    MVNUsbReturn USBDeviceOpen() override;
    MVNUsbReturn USBDeviceClose() override;
    MVNUsbReturn USBDeviceReset() override;
    MVNUsbReturn CreateInterfaceIterator(MVNUsb_FindInterfaceRequest* request,
                                         IUSBInterfaceIterator** iterator) override;

    libusb_device* libusbDevice() const { return m_device; }
    // Null while the device is closed.
    libusb_device_handle* handle() const { return m_handle.load(); }
    // -1 until a configuration was chosen.
    int configurationIndex() const { return m_configurationIndex.load(); }
    // bus number << 8 | device address
    uint16_t locationKey() const;

private:
    std::atomic<uint32_t> m_refCount{1};
    libusb_device* m_device = nullptr;
    std::atomic<int> m_configurationIndex{-1};
    std::atomic<libusb_device_handle*> m_handle{nullptr};
    libusb_device_descriptor m_descriptor{};
};

} // namespace USB
} // namespace MVN
