#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <mutex>
#include <string>

class Device;
class Notifier;
class XmegaUSBDevice;

namespace MVN {
namespace USB {
class IUSBDevice;
}
} // namespace MVN

// One supported USB id and the factory of its device objects (null when
// setup fails).
struct XmegaDeviceSpec
{
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    XmegaUSBDevice* (*factory)(MVN::USB::IUSBDevice* device) = nullptr;
};

// One firmware part of a model. Tables end with an all-zero row; the part
// index is the row number.
struct FirmwarePart
{
    enum Storage : uint32_t {
        ApplicationFlash = 0, // through the bootloader
        Eeprom = 1,           // through the EEPROM service
    };
    enum VersionSource : uint32_t {
        ChecksumStatus = 0, // second number of the checksum status
        // 1 is reserved and always fails
        EepromHeader = 2,   // byte 1 of the image's header in the EEPROM
    };

    const char* description;
    const char* partName; // not read by the updater
    uint32_t storage;
    uint32_t versionSource;
    uint32_t updatable;
};

// What the updater knows about the maker's XMEGA-based models: their USB
// ids, names, firmware parts and how an update ends. One per process.
class DeviceSupport
{
public:
    static constexpr uint16_t kVendorId = 0xF0DA;
    static constexpr uint16_t kProductId = 0x7EAA;
    static constexpr uint16_t kUnprogrammedProductId = 0x7E86;

    static DeviceSupport& instance();

    void init() {}
    void getOndaviaSpecs(const XmegaDeviceSpec** table, size_t* count) const;
    // The entry for units that were never programmed (same factory).
    const XmegaDeviceSpec& unprogrammedSpec() const;
    std::string getModelName(uint16_t productId) const;
    // The part table of a product, or null.
    const FirmwarePart* getFirmwareParts(uint16_t productId) const;
    // The rows before the all-zero row.
    static int partCount(const FirmwarePart* parts);
    bool rebootRequired(const Device& device) const;
    // 4 for the model, 0 otherwise (chooses the completion message).
    int deviceConnectionType(const Device& device) const;

    // The one global notifier of the model family registers itself here
    // when it is built; getNotifiers hands it to the application.
    void registerNotifier(Notifier* notifier);
    void getNotifiers(std::list<Notifier*>& list) const;

private:
    DeviceSupport() = default;

    mutable std::mutex m_mutex;
    Notifier* m_notifier = nullptr;
};
