#include "carddescription.h"

#include "zeltraapi.h"

#include <nlohmann/json.hpp>

#include <set>

namespace cardsim {

using nlohmann::json;

namespace {

std::string readString(const json &object, const char *key, const std::string &where, bool required)
{
    if (!object.contains(key)) {
        if (required)
            throw DescriptionError(where + ": missing \"" + key + "\"");
        return {};
    }
    if (!object.at(key).is_string())
        throw DescriptionError(where + "." + key + ": expected a string");
    return object.at(key).get<std::string>();
}

std::vector<ModeSpec> readModes(const json &card, const char *key, const std::string &where)
{
    std::vector<ModeSpec> modes;
    if (!card.contains(key))
        return modes;
    const json &list = card.at(key);
    const std::string listWhere = where + "." + key;
    if (!list.is_array())
        throw DescriptionError(listWhere + ": expected a list of modes");
    std::set<uint32_t> seen;
    for (size_t i = 0; i < list.size(); ++i) {
        const std::string modeWhere = listWhere + "[" + std::to_string(i) + "]";
        ModeSpec mode = modeFromJson(list[i], modeWhere);
        if (!seen.insert(mode.id).second)
            throw DescriptionError(modeWhere + ": mode \"" + codeText(mode.id) + "\" listed twice");
        modes.push_back(std::move(mode));
    }
    return modes;
}

CardDescription readCard(const json &card, const std::string &where)
{
    if (!card.is_object())
        throw DescriptionError(where + ": expected an object");
    static const char *const known[] = {"model", "display", "present", "attributes", "configuration",
                                        "status", "inputModes", "outputModes", "comment"};
    for (auto it = card.begin(); it != card.end(); ++it) {
        bool ok = false;
        for (const char *k : known)
            ok = ok || it.key() == k;
        if (!ok)
            throw DescriptionError(where + ": unknown key \"" + it.key() + "\"");
    }
    CardDescription d;
    d.modelName = readString(card, "model", where, true);
    d.displayName = readString(card, "display", where, false);
    if (d.displayName.empty())
        d.displayName = d.modelName;
    if (card.contains("present")) {
        if (!card.at("present").is_boolean())
            throw DescriptionError(where + ".present: expected true or false");
        d.present = card.at("present").get<bool>();
    }
    d.attributes = ItemSet::fromJson(card.value("attributes", json()), where + ".attributes", false);
    d.configuration = ItemSet::fromJson(card.value("configuration", json()), where + ".configuration", false);
    d.status = ItemSet::fromJson(card.value("status", json()), where + ".status", true);
    d.inputModes = readModes(card, "inputModes", where);
    d.outputModes = readModes(card, "outputModes", where);

    for (const auto &[id, item] : d.configuration.items()) {
        if (!item.rule.allowedModes.empty()) {
            Item *rule = d.configuration.find(id);
            for (const ModeSpec &mode : item.rule.allowedModes == "inputModes" ? d.inputModes : d.outputModes)
                rule->rule.allowed.push_back(mode.id);
            if (rule->rule.allowed.empty())
                throw DescriptionError(where + ".configuration." + codeText(id) + ".allowed: the card has no " + item.rule.allowedModes);
        }
        if (item.rule.bitsOfAttribute == 0)
            continue;
        const Item *mask = d.attributes.find(item.rule.bitsOfAttribute);
        if (mask == nullptr || typeOf(mask->value) != ItemType::Int)
            throw DescriptionError(where + ".configuration." + codeText(id) + ".bitsOf: the card has no int attribute \""
                                   + codeText(item.rule.bitsOfAttribute) + "\"");
    }
    return d;
}

} // namespace

SimulatorDescription parseDescription(const std::string &text, const std::string &source)
{
    json root;
    try {
        root = json::parse(text);
    } catch (const json::parse_error &e) {
        throw DescriptionError(source + ": not valid JSON: " + e.what());
    }
    if (!root.is_object())
        throw DescriptionError(source + ": expected an object with a \"cards\" list");
    SimulatorDescription description;
    description.apiVersion = readString(root, "apiVersion", source, false);
    if (description.apiVersion.empty())
        description.apiVersion = "4.8.2";
    if (!root.contains("cards") || !root.at("cards").is_array())
        throw DescriptionError(source + ": expected a \"cards\" list");
    const json &cards = root.at("cards");
    std::set<int64_t> persistentIds;
    for (size_t i = 0; i < cards.size(); ++i) {
        const std::string where = source + ": cards[" + std::to_string(i) + "]";
        CardDescription card = readCard(cards[i], where);
        if (const Item *peid = card.attributes.find(zeltraCode("peid"))) {
            if (typeOf(peid->value) != ItemType::Int)
                throw DescriptionError(where + ".attributes.peid: the persistent id must be an int");
            if (!persistentIds.insert(std::get<int64_t>(peid->value)).second)
                throw DescriptionError(where + ".attributes.peid: persistent id used by another card");
        }
        description.cards.push_back(std::move(card));
    }
    return description;
}

SimulatorDescription defaultDescription()
{
    return parseDescription(kDefaultCardsJson, "built-in card set");
}

} // namespace cardsim
