#include "modecatalog.h"

#include "itemset.h"
#include "zeltraapi.h"

#include <nlohmann/json.hpp>

namespace cardsim {

namespace {

constexpr uint32_t kLower = kZeltraFieldLower;
constexpr uint32_t kUpper = kZeltraFieldUpper;
constexpr uint32_t kProg = kZeltraFieldProgressive;

// Frame rates are frame duration / time scale in seconds; interlaced modes
// count whole frames, so 1080i50 runs at 25 frames per second.
const ModeSpec kStandardModes[] = {
    {zeltraCode("ntsc"), "NTSC", 720, 486, 1001, 30000, kLower},
    {zeltraCode("nt23"), "NTSC 23.98", 720, 486, 1001, 24000, kLower},
    {zeltraCode("ntsp"), "NTSC Progressive", 720, 486, 1001, 60000, kProg},
    {zeltraCode("pal "), "PAL", 720, 576, 1000, 25000, kUpper},
    {zeltraCode("palp"), "PAL Progressive", 720, 576, 1000, 50000, kProg},
    {zeltraCode("23ps"), "1080p23.98", 1920, 1080, 1001, 24000, kProg},
    {zeltraCode("24ps"), "1080p24", 1920, 1080, 1000, 24000, kProg},
    {zeltraCode("Hp25"), "1080p25", 1920, 1080, 1000, 25000, kProg},
    {zeltraCode("Hp29"), "1080p29.97", 1920, 1080, 1001, 30000, kProg},
    {zeltraCode("Hp30"), "1080p30", 1920, 1080, 1000, 30000, kProg},
    {zeltraCode("Hi50"), "1080i50", 1920, 1080, 1000, 25000, kUpper},
    {zeltraCode("Hi59"), "1080i59.94", 1920, 1080, 1001, 30000, kUpper},
    {zeltraCode("Hi60"), "1080i60", 1920, 1080, 1000, 30000, kUpper},
    {zeltraCode("Hp50"), "1080p50", 1920, 1080, 1000, 50000, kProg},
    {zeltraCode("Hp59"), "1080p59.94", 1920, 1080, 1001, 60000, kProg},
    {zeltraCode("Hp60"), "1080p60", 1920, 1080, 1000, 60000, kProg},
    {zeltraCode("hp50"), "720p50", 1280, 720, 1000, 50000, kProg},
    {zeltraCode("hp59"), "720p59.94", 1280, 720, 1001, 60000, kProg},
    {zeltraCode("hp60"), "720p60", 1280, 720, 1000, 60000, kProg},
    {zeltraCode("H23d"), "1080p23.98 DF", 1920, 1080, 1001, 24000, kProg},
    {zeltraCode("2k23"), "2K 23.98", 2048, 1080, 1001, 24000, kProg},
    {zeltraCode("2k24"), "2K 24", 2048, 1080, 1000, 24000, kProg},
    {zeltraCode("2k25"), "2K 25", 2048, 1080, 1000, 25000, kProg},
    {zeltraCode("2d23"), "2K DCI 23.98", 2048, 1080, 1001, 24000, kProg},
    {zeltraCode("2d24"), "2K DCI 24", 2048, 1080, 1000, 24000, kProg},
    {zeltraCode("2d25"), "2K DCI 25", 2048, 1080, 1000, 25000, kProg},
    {zeltraCode("4d23"), "4K DCI 23.98", 4096, 2160, 1001, 24000, kProg},
    {zeltraCode("4d24"), "4K DCI 24", 4096, 2160, 1000, 24000, kProg},
    {zeltraCode("4d25"), "4K DCI 25", 4096, 2160, 1000, 25000, kProg},
    {zeltraCode("4k23"), "2160p23.98", 3840, 2160, 1001, 24000, kProg},
    {zeltraCode("4k24"), "2160p24", 3840, 2160, 1000, 24000, kProg},
    {zeltraCode("4k25"), "2160p25", 3840, 2160, 1000, 25000, kProg},
    {zeltraCode("4k29"), "2160p29.97", 3840, 2160, 1001, 30000, kProg},
    {zeltraCode("4k30"), "2160p30", 3840, 2160, 1000, 30000, kProg},
    {zeltraCode("4k50"), "2160p50", 3840, 2160, 1000, 50000, kProg},
    {zeltraCode("4k59"), "2160p59.94", 3840, 2160, 1001, 60000, kProg},
    {zeltraCode("4k60"), "2160p60", 3840, 2160, 1000, 60000, kProg},
};

uint32_t fieldFromText(const std::string &text, const std::string &where)
{
    const uint32_t code = parseCode(text, where);
    if (code != kLower && code != kUpper && code != kProg && code != kZeltraFieldUnknown)
        throw DescriptionError(where + ": field must be \"lowr\", \"uppr\", \"prog\" or \"unkn\"");
    return code;
}

} // namespace

const ModeSpec *findStandardMode(uint32_t id)
{
    for (const ModeSpec &mode : kStandardModes) {
        if (mode.id == id)
            return &mode;
    }
    return nullptr;
}

ModeSpec modeFromJson(const nlohmann::json &entry, const std::string &where)
{
    if (entry.is_string()) {
        const uint32_t id = parseCode(entry.get<std::string>(), where);
        const ModeSpec *mode = findStandardMode(id);
        if (mode == nullptr)
            throw DescriptionError(where + ": \"" + entry.get<std::string>() + "\" is not a known display mode; give it as an object");
        return *mode;
    }
    if (!entry.is_object())
        throw DescriptionError(where + ": expected a mode code or an object");
    auto need = [&](const char *key) -> const nlohmann::json & {
        if (!entry.contains(key))
            throw DescriptionError(where + ": missing \"" + key + "\"");
        return entry.at(key);
    };
    auto positive = [&](const char *key) -> int64_t {
        const nlohmann::json &v = need(key);
        if (!v.is_number_integer() || v.get<int64_t>() <= 0 || v.get<int64_t>() > 1000000)
            throw DescriptionError(where + "." + key + ": expected a positive integer");
        return v.get<int64_t>();
    };
    ModeSpec mode;
    if (!need("id").is_string())
        throw DescriptionError(where + ".id: expected a four-character code");
    mode.id = parseCode(entry.at("id").get<std::string>(), where + ".id");
    if (!need("name").is_string())
        throw DescriptionError(where + ".name: expected a string");
    mode.name = entry.at("name").get<std::string>();
    mode.width = long(positive("width"));
    mode.height = long(positive("height"));
    mode.frameDuration = positive("frameDuration");
    mode.timeScale = positive("timeScale");
    if (!need("field").is_string())
        throw DescriptionError(where + ".field: expected a four-character code");
    mode.fieldDominance = fieldFromText(entry.at("field").get<std::string>(), where + ".field");
    return mode;
}

} // namespace cardsim
