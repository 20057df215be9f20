#pragma once

#include "firmwarepackage.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace MVNFirmwarePackage {

// One device header to write: which device, which part and where it goes.
struct DeviceHeaderSpec
{
    DeviceIdType device_id_type = USB;
    uint32_t device_id = 0;
    uint8_t target_id = 0;
    uint8_t resource_id = 0;
    uint32_t address_offset = 0;
    int32_t target_sub_id = -1; // written when length is 20 or more
    uint16_t length = kMaxDeviceHeaderLength; // 16 to 24
};

// One image and the devices it is meant for.
struct ImageSpec
{
    std::vector<uint8_t> data; // the image as the device receives it
    uint32_t version = 0;
    ResourceFormat format = BINARY;
    bool compress = false;
    std::optional<uint32_t> hash; // default: CRC-32 of the image
    std::vector<DeviceHeaderSpec> devices;
};

// Builds package files: images become resource records in the order added,
// and the digest is sealed with the package key over everything behind it.
class PackageWriter
{
public:
    void addImage(ImageSpec image) { m_images.push_back(std::move(image)); }
    const std::vector<ImageSpec>& images() const { return m_images; }

    // The whole package. false with a message for images the format can't
    // carry (no device header, empty image, sizes beyond the fields).
    bool build(std::vector<uint8_t>& package, std::string* error = nullptr) const;
    // Builds and writes atomically (temporary file, then rename).
    bool writeFile(const std::string& path, std::string* error = nullptr) const;

    // Recomputes the digest of a package image in place (at least 32 bytes).
    static void seal(std::vector<uint8_t>& package);

private:
    std::vector<ImageSpec> m_images;
};

// The distinct devices named by the device headers of a package, in order of
// first appearance. Reads headers only; false with a message on a damaged
// layout.
bool ListPackageDevices(const std::string& path, std::vector<std::pair<DeviceIdType, uint32_t>>& devices,
                        std::string* error = nullptr);

} // namespace MVNFirmwarePackage
