#pragma once

#include <nlohmann/json_fwd.hpp>

#include <cstdint>
#include <string>

namespace cardsim {

// One video format a card can capture or play.
struct ModeSpec
{
    uint32_t id = 0;
    std::string name;
    long width = 0;
    long height = 0;
    int64_t frameDuration = 0;
    int64_t timeScale = 0;
    uint32_t fieldDominance = 0;
};

// Standard formats by identifier, so that a card description can list its
// modes by code alone. Returns null for a code that is not in the catalogue.
const ModeSpec *findStandardMode(uint32_t id);

// A mode entry of a card description: a code of the catalogue, or a full
// object {"id", "name", "width", "height", "frameDuration", "timeScale",
// "field"}. Throws DescriptionError.
ModeSpec modeFromJson(const nlohmann::json &entry, const std::string &where);

} // namespace cardsim
