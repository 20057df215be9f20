#pragma once

#include <cstdint>
#include <list>

// Shared vocabulary of the firmware package reader: result codes, device id
// types, image formats and the helpers that work on result lists.
namespace MVNFirmwarePackage {

class Resource;

// Result of every reader operation. The values are part of the package
// tooling's vocabulary; keep them stable.
enum ErrorCode : int {
    ERROR_OK = 0,
    ERROR_NOT_INITIALISED = 1,
    ERROR_ALREADY_INITIALISED = 2,
    ERROR_FILE_ACCESS = 3,
    ERROR_INVALID_BLOB_LENGTH = 4,
    ERROR_BLOB_CHECKSUM = 5,
    ERROR_INVALID_DEVICE_HEADER = 6,
    ERROR_INVALID_RESOURCE_HEADER = 7,
};

// How a device header names its device.
enum DeviceIdType : uint32_t {
    PCI = 0,
    USB = 1, // device id = (vendor id << 16) | product id
    REV = 2,
};

// What kind of image a resource carries.
enum ResourceFormat : uint32_t {
    BINARY = 0,
    XSVF = 1,
    XMEGA = 2,
    HASHED_BINARY = 3,
};

using ResourceList = std::list<Resource*>;

// Layout constants shared by the reader and the package builder.
constexpr uint32_t kDigestSize = 32;           // SHA-256 at offset 0
constexpr uint32_t kPackageKeySize = 20;
constexpr uint16_t kResourceMagic = 0x7E7E;
constexpr uint32_t kResourceFixedHeaderSize = 24; // resource header before its device headers
constexpr uint32_t kMinResourceHeaderLength = 48;
constexpr uint32_t kMinDeviceHeaderLength = 16;
constexpr uint32_t kMaxDeviceHeaderLength = 24;
constexpr uint32_t kSubIdDeviceHeaderLength = 20; // from this length on a target sub id is present
constexpr uint64_t kMinPackageSize = 73;       // digest, one header, one device header, one byte

// The key hashed in front of the package body. Compiled into the reader and
// into the package builder; a package made with another key fails its check.
extern const uint8_t kPackageKey[kPackageKeySize];

// The fixed text of an error code ("Uknown" for values outside the table).
const char* FirmwarePackageErrorString(ErrorCode code);

// Deletes every resource in the list and empties it.
void FreeResourceList(ResourceList& list);

// The resource at position index, or nullptr when index is negative or not
// below the list's size.
Resource* GetResourceByIndex(const ResourceList& list, int index);

// Prints one block per resource to standard output ("Empty" for no resources).
void DumpResourceListInfo(const ResourceList& list);

// Builds the package device id of a USB device.
constexpr uint32_t UsbDeviceId(uint16_t vendorId, uint16_t productId)
{
    return (uint32_t(vendorId) << 16) | productId;
}

} // namespace MVNFirmwarePackage
