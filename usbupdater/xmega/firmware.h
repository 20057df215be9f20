#pragma once

#include <cstdint>
#include <string>

// One part of one device that may need writing.
struct Firmware
{
    static constexpr uint32_t kUnknownVersion = 0xFFFFFFFF;

    int32_t index = 0; // row of the part table
    std::string description;
    uint32_t deviceVersion = kUnknownVersion;
    uint32_t packageVersion = 0;

    // An unknown or different device version needs writing; the package
    // wins also over a newer device.
    bool needsUpdate() const { return deviceVersion == kUnknownVersion || deviceVersion != packageVersion; }
};
