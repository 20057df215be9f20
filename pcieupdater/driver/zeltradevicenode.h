#pragma once

#include <cstdint>

struct ZeltraInstanceRec;

// Name and number of one card device node under /dev/morvane, e.g. ("dv", 0)
// for /dev/morvane/dv0. Copied by value and stored as-is in the shared
// arrival segment, so it stays a plain 16-byte record.
struct ZeltraDeviceNode {
    static constexpr unsigned kNameSize = 15;     // zero-padded
    static constexpr unsigned kMaxNameLength = 14; // significant characters
    static constexpr int kKindCount = 3;           // "dv", "card", "io"

    char name[kNameSize] = {};
    uint8_t number = 0;

    // Parses "/dev/morvane/<name><number>" (the directory prefix is optional).
    // Fails without a decimal number or with a name over 14 characters.
    bool fromPath(const char* path);
    // Writes "/dev/morvane/<name><number>" into a 64-byte buffer.
    bool toPath(char* path) const;

    // "Zeltra" for "dv" and "card", "MorvaneIO" for "io", null otherwise.
    const char* driverName() const;
    // 0 "dv", 1 "card", 2 "io", -1 for any other name.
    int driverNameIndex() const;
    // The node name prefix of a kind index, null when out of range.
    const char* driverNameByIndex(int index) const;

    // The node an open instance answers to: "dv" for the Zeltra driver (also
    // when it was opened through a "card" node), "io" for MorvaneIO.
    bool fromInstance(ZeltraInstanceRec* instance);

    bool operator<(const ZeltraDeviceNode& other) const;
    bool operator==(const ZeltraDeviceNode& other) const;
    bool operator!=(const ZeltraDeviceNode& other) const { return !(*this == other); }
};

static_assert(sizeof(ZeltraDeviceNode) == 16, "a device node is a 16-byte record");
