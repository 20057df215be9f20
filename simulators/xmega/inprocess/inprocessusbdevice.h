#pragma once

#include "iusbdevice.h"
#include "usbunit.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace xmegasim {

// An IUSBDevice that talks straight to an emulated unit, for protocol and
// update tests that need no USB stack. One object stands for one
// enumeration of the unit: once the unit has left the bus (or left and come
// back) every transfer on it reports kMVNUsbNoDevice, as on real hardware.
class InProcessUsbDevice final : public MVN::USB::IUSBDevice
{
public:
    // The unit must be on the bus; the object starts with one reference.
    explicit InProcessUsbDevice(std::shared_ptr<UsbUnit> unit);

    uint32_t AddRef() override;
    uint32_t Release() override;
    MVN::USB::MVNUsbReturn DeviceRequest(MVN::USB::MVNUsb_DevRequest* request) override;
    MVN::USB::MVNUsbReturn GetConfigurationIndex(uint8_t* index) override;
    MVN::USB::MVNUsbReturn GetDeviceClass(uint8_t* deviceClass) override;
    MVN::USB::MVNUsbReturn GetDeviceProduct(uint16_t* productId) override;
    MVN::USB::MVNUsbReturn GetDeviceProtocol(uint8_t* protocol) override;
    MVN::USB::MVNUsbReturn GetDeviceReleaseNumber(uint16_t* bcdDevice) override;
    MVN::USB::MVNUsbReturn GetDeviceSpeed(uint8_t* speed) override;
    MVN::USB::MVNUsbReturn GetDeviceSubClass(uint8_t* subClass) override;
    MVN::USB::MVNUsbReturn GetDeviceVendor(uint16_t* vendorId) override;
    MVN::USB::MVNUsbReturn GetLocationID(uint32_t* locationId) override;
    MVN::USB::MVNUsbReturn GetNumberOfConfigurations(uint8_t* count) override;
    MVN::USB::MVNUsbReturn SetConfigurationByIndex(uint8_t index) override;
    MVN::USB::MVNUsbReturn USBDeviceOpen() override;
    MVN::USB::MVNUsbReturn USBDeviceClose() override;
    MVN::USB::MVNUsbReturn USBDeviceReset() override;
    MVN::USB::MVNUsbReturn CreateInterfaceIterator(MVN::USB::MVNUsb_FindInterfaceRequest* request,
                                                   MVN::USB::IUSBInterfaceIterator** iterator) override;

    // Used by the interface objects of this device.
    bool isOpen() const { return m_open.load(); }
    // False once the unit has left the bus since this object was made.
    bool stillThere() const;
    UsbUnit& unit() const { return *m_unit; }
    const std::vector<uint8_t>& configuration() const { return m_configuration; }

    static MVN::USB::MVNUsbReturn toReturn(TransferStatus status);

private:
    ~InProcessUsbDevice() override = default;
    uint16_t descriptorWord(size_t offset) const;

    std::atomic<uint32_t> m_refs{1};
    std::shared_ptr<UsbUnit> m_unit;
    uint32_t m_connection = 0;
    std::vector<uint8_t> m_descriptor;
    std::vector<uint8_t> m_configuration;
    std::atomic<bool> m_open{false};
    std::atomic<int> m_configIndex{-1};
};

} // namespace xmegasim
