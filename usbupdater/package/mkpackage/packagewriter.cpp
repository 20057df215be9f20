#include "packagewriter.h"

#include "firmwareunpacker.h"
#include "sha2.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <zlib.h>

namespace MVNFirmwarePackage {

namespace {

// Layout revision written into the word at +2 of every record; the reader
// leaves it alone.
constexpr uint16_t kRecordLayout = 1;

void putBig16(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}

void putBig32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(uint8_t(v >> shift));
}

uint8_t formatFlags(ResourceFormat format)
{
    switch (format) {
    case XSVF:
        return 0x01;
    case XMEGA:
        return 0x02;
    case HASHED_BINARY:
        return 0x04;
    default:
        return 0x00;
    }
}

bool fail(std::string* error, const std::string& message)
{
    if (error)
        *error = message;
    return false;
}

bool deflateImage(const std::vector<uint8_t>& in, std::vector<uint8_t>& out)
{
    uLongf bound = compressBound(uLong(in.size()));
    out.resize(bound);
    if (compress2(out.data(), &bound, in.data(), uLong(in.size()), Z_BEST_COMPRESSION) != Z_OK)
        return false;
    out.resize(bound);
    return true;
}

} // namespace

void PackageWriter::seal(std::vector<uint8_t>& package)
{
    if (package.size() < kDigestSize)
        return;
    Sha2 sha;
    sha.getSha2(kPackageKey, kPackageKeySize, package.data() + kDigestSize, package.size() - kDigestSize,
                package.data());
}

bool PackageWriter::build(std::vector<uint8_t>& package, std::string* error) const
{
    package.assign(kDigestSize, 0);
    int n = 0;
    for (const ImageSpec& image : m_images) {
        const std::string which = "image " + std::to_string(++n);
        if (image.data.empty())
            return fail(error, which + ": the image is empty");
        if (image.data.size() > UINT32_MAX)
            return fail(error, which + ": the image is larger than 4 GiB");
        if (image.devices.empty())
            return fail(error, which + ": no device header");

        uint32_t devicesLength = 0;
        for (const DeviceHeaderSpec& d : image.devices) {
            if (d.length < kMinDeviceHeaderLength || d.length > kMaxDeviceHeaderLength)
                return fail(error, which + ": a device header is 16 to 24 bytes long");
            if (d.device_id_type > REV)
                return fail(error, which + ": unknown device id type");
            devicesLength += d.length;
        }
        const uint32_t headerLength = kResourceFixedHeaderSize + devicesLength;
        if (headerLength < kMinResourceHeaderLength)
            return fail(error, which + ": the device headers must take at least 24 bytes "
                                       "(use a longer header or add another device)");
        if (headerLength > UINT16_MAX)
            return fail(error, which + ": too many device headers");

        std::vector<uint8_t> deflated;
        if (image.compress && !deflateImage(image.data, deflated))
            return fail(error, which + ": compression failed");
        const std::vector<uint8_t>& stored = image.compress ? deflated : image.data;
        if (uint64_t(headerLength) + stored.size() > UINT32_MAX)
            return fail(error, which + ": the record is larger than 4 GiB");

        const uint32_t hash = image.hash ? *image.hash
                                         : uint32_t(crc32_z(crc32(0, nullptr, 0), image.data.data(),
                                                            image.data.size()));
        putBig16(package, kResourceMagic);
        putBig16(package, kRecordLayout);
        putBig32(package, image.version);
        putBig32(package, uint32_t(headerLength + stored.size()));
        putBig16(package, uint16_t(headerLength));
        package.push_back(image.compress ? 1 : 0);
        package.push_back(formatFlags(image.format));
        putBig32(package, uint32_t(image.data.size()));
        putBig32(package, hash);
        for (const DeviceHeaderSpec& d : image.devices) {
            const size_t start = package.size();
            putBig16(package, 0);
            putBig16(package, d.length);
            putBig32(package, d.address_offset);
            package.push_back(d.target_id);
            package.push_back(d.resource_id);
            putBig16(package, uint16_t(d.device_id_type));
            putBig32(package, d.device_id);
            if (d.length >= kSubIdDeviceHeaderLength)
                putBig32(package, uint32_t(d.target_sub_id));
            package.resize(start + d.length, 0);
        }
        package.insert(package.end(), stored.begin(), stored.end());
    }
    if (package.size() < kMinPackageSize)
        return fail(error, "a package needs at least one image");
    seal(package);
    return true;
}

bool PackageWriter::writeFile(const std::string& path, std::string* error) const
{
    std::vector<uint8_t> package;
    if (!build(package, error))
        return false;
    const std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out)
            return fail(error, temporary + ": cannot create");
        out.write(reinterpret_cast<const char*>(package.data()), std::streamsize(package.size()));
        out.close();
        if (!out) {
            std::remove(temporary.c_str());
            return fail(error, temporary + ": write failed");
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return fail(error, path + ": cannot replace");
    }
    return true;
}

bool ListPackageDevices(const std::string& path, std::vector<std::pair<DeviceIdType, uint32_t>>& devices,
                        std::string* error)
{
    devices.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return fail(error, "cannot open");
    in.seekg(0, std::ios::end);
    const uint64_t size = uint64_t(in.tellg());
    auto readAt = [&](uint64_t offset, uint8_t* dest, size_t count) {
        in.seekg(std::streamoff(offset));
        in.read(reinterpret_cast<char*>(dest), std::streamsize(count));
        return bool(in);
    };

    for (uint64_t r = kDigestSize; r < size;) {
        uint8_t raw[kResourceFixedHeaderSize];
        if (size - r < sizeof raw || !readAt(r, raw, sizeof raw))
            return fail(error, "truncated resource header");
        const ResourceInfoHeader h = FirmwareUnpacker::parseResourceHeader(raw);
        if (FirmwareUnpacker::checkResourceHeader(h) != ERROR_OK || h.record_length > size - r)
            return fail(error, FirmwarePackageErrorString(ERROR_INVALID_RESOURCE_HEADER));
        const uint64_t end = r + h.header_length;
        for (uint64_t d = r + kResourceFixedHeaderSize; d < end;) {
            uint8_t dev[kMaxDeviceHeaderLength] = {};
            const size_t avail = size_t(std::min<uint64_t>(sizeof dev, end - d));
            if (avail < kMinDeviceHeaderLength || !readAt(d, dev, avail))
                return fail(error, FirmwarePackageErrorString(ERROR_INVALID_DEVICE_HEADER));
            const DeviceInfoHeader dh = FirmwareUnpacker::parseDeviceHeader(dev);
            if (dh.length < kMinDeviceHeaderLength || dh.length > avail || dh.device_id_type > REV)
                return fail(error, FirmwarePackageErrorString(ERROR_INVALID_DEVICE_HEADER));
            const std::pair<DeviceIdType, uint32_t> key(DeviceIdType(dh.device_id_type), dh.device_id);
            if (std::find(devices.begin(), devices.end(), key) == devices.end())
                devices.push_back(key);
            d += dh.length;
        }
        r += h.record_length;
    }
    return true;
}

} // namespace MVNFirmwarePackage
