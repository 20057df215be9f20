#pragma once

#include "itemset.h"
#include "modecatalog.h"

#include <string>
#include <vector>

namespace cardsim {

// What one simulated card (or one channel of a multi-channel card) is made of,
// as read from a card description.
struct CardDescription
{
    std::string modelName;
    std::string displayName;
    bool present = true; // plugged in when the simulator starts
    ItemSet attributes;
    ItemSet configuration; // factory defaults; stored preferences override them
    ItemSet status;
    std::vector<ModeSpec> inputModes;
    std::vector<ModeSpec> outputModes;
};

struct SimulatorDescription
{
    std::string apiVersion;
    std::vector<CardDescription> cards; // in arrival order
};

// Parses a card description; source names the file in error messages.
// Throws DescriptionError with the place and the reason.
SimulatorDescription parseDescription(const std::string &text, const std::string &source);

// The cards offered when no description file is named.
SimulatorDescription defaultDescription();

// The built-in description as JSON text (generated from default-cards.json).
extern const char *const kDefaultCardsJson;

} // namespace cardsim
