#pragma once

// Builders for test packages: valid ones through the package writer, and
// helpers to damage them afterwards (optionally re-sealing the digest so the
// reader gets past its checksum to the part under test).

#include "packagewriter.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdint>
#include <vector>

namespace fixture {

using namespace MVNFirmwarePackage;

constexpr uint32_t kUnit = UsbDeviceId(0xF0DA, 0x7EAA);
constexpr uint32_t kOtherUnit = UsbDeviceId(0xF0DA, 0x7E86);

// Offsets inside the first record of a package.
constexpr size_t kRec = 32;
constexpr size_t kMagic = kRec + 0, kVersion = kRec + 4, kRecordLength = kRec + 8, kHeaderLength = kRec + 12,
                 kCompression = kRec + 14, kFlags = kRec + 15, kDataLength = kRec + 16;
constexpr size_t kDev = kRec + 24; // first device header
constexpr size_t kDevLength = kDev + 2, kDevType = kDev + 10, kDevId = kDev + 12, kDevSub = kDev + 16;

inline std::vector<uint8_t> bytes(size_t n, uint8_t seed)
{
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = uint8_t(seed + i * 7 + (i >> 8));
    return v;
}

inline DeviceHeaderSpec device(uint32_t id, uint8_t resource, uint16_t length = 24, uint8_t target = 0,
                               uint32_t address = 0, int32_t sub = -1)
{
    DeviceHeaderSpec d;
    d.device_id = id;
    d.resource_id = resource;
    d.length = length;
    d.target_id = target;
    d.address_offset = address;
    d.target_sub_id = sub;
    return d;
}

inline ImageSpec image(std::vector<uint8_t> data, uint32_t version, std::vector<DeviceHeaderSpec> devices,
                       bool compress = false)
{
    ImageSpec i;
    i.data = std::move(data);
    i.version = version;
    i.devices = std::move(devices);
    i.compress = compress;
    return i;
}

inline std::vector<uint8_t> build(std::vector<ImageSpec> images)
{
    PackageWriter writer;
    for (ImageSpec& i : images)
        writer.addImage(std::move(i));
    std::vector<uint8_t> out;
    if (!writer.build(out))
        out.clear();
    return out;
}

inline void put16(std::vector<uint8_t>& p, size_t at, uint16_t v)
{
    p[at] = uint8_t(v >> 8);
    p[at + 1] = uint8_t(v);
}

inline void put32(std::vector<uint8_t>& p, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[at + i] = uint8_t(v >> (24 - 8 * i));
}

inline bool write(const QString& path, const std::vector<uint8_t>& p)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate)
           && f.write(reinterpret_cast<const char*>(p.data()), qint64(p.size())) == qint64(p.size());
}

} // namespace fixture
