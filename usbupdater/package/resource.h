#pragma once

#include "firmwarepackage.h"

#include <cstdint>

namespace MVNFirmwarePackage {

// One image found in a package for one device. The reader creates it; whoever
// holds the list it came in owns it. Not thread-safe: inflation changes the
// object, so one thread uses a resource at a time.
class Resource
{
public:
    Resource() = default;
    ~Resource();
    Resource(const Resource&) = delete;
    Resource& operator=(const Resource&) = delete;

    // The image bytes, inflated first when the resource is compressed; nullptr
    // for a header-only resource or when inflation fails. Valid for
    // getResourceDataLength() bytes.
    uint8_t* getResourceData();
    // The image length (0 when inflation fails).
    uint32_t getResourceDataLength();
    // Inflates a compressed resource once; true when the data is usable.
    bool decompressResource();

    uint32_t version = 0;
    uint32_t hash = 0;
    ResourceFormat format = BINARY;
    uint32_t compressed = 0;
    DeviceIdType device_id_type = USB;
    uint32_t device_id = 0;
    int32_t target_sub_id = 0;
    uint8_t target_id = 0;
    uint8_t resource_id = 0;
    uint32_t address_offset = 0;
    uint8_t* data = nullptr; // malloc'd, freed by the destructor
    uint32_t stored_length = 0;
    uint32_t data_length = 0;
    bool decompressed = false;
};

} // namespace MVNFirmwarePackage
