#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// One emulated card device node and the answers its driver gives. Parsed
// from a line of a card description (see README.md):
//   <node> [key=value ...]        e.g.  dv0 model=12 needs-update=1
struct EmulatedCard {
    enum class NodeType { CharacterDevice, RegularFile };

    std::string node;                 // name under /dev/morvane, e.g. "dv0"
    NodeType type = NodeType::CharacterDevice;
    unsigned major = 10;
    unsigned minor = 0;               // defaults to a unique number per bed
    uint32_t version = 189;           // shared-data structure version
    uint32_t subIndex = 0;
    uint32_t subCount = 1;
    uint32_t group = 0;               // defaults to a unique group per node
    bool groupGiven = false;
    uint32_t info = 0;
    uint32_t model = 1;
    uint32_t firmwareVersion = 0x0105;
    uint32_t firmwareBuild = 0x2a;
    bool needsUpdate = false;
    uint32_t ignoreFirmware = 0;
    uint32_t busy = 0;
    uint32_t persistentId = 0;
    uint32_t topologicalId = 0;
    uint32_t usable = 1;
    uint32_t configured = 1;
    uint32_t revision = 2;
    std::string description;          // hardware description, up to 120 bytes
    // Claims to have returned far more outputs than the caller made room for.
    bool overreport = false;
    // MorvaneIO messages: the reply claims only this many bytes (0: whole).
    uint32_t shortReply = 0;
    // Selector -> ioctl result: that request fails with this value.
    std::map<int, int> failures;
    // Selector -> count: that request is interrupted (EINTR) this many times
    // before it is answered.
    std::map<int, unsigned> interruptions;

    // Parses one description line; false with a message for a bad line.
    bool parse(const std::string& line, std::string* error);

    // Parses a whole description: lines (or ';'-separated entries), '#'
    // starts a comment, blank entries are ignored.
    static bool parseList(const std::string& text, std::vector<EmulatedCard>* cards, std::string* error);
};
