#include "itemset.h"

#include "zeltraapi.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <limits>

namespace cardsim {

using nlohmann::json;

const char *typeName(ItemType type)
{
    switch (type) {
    case ItemType::Flag: return "flag";
    case ItemType::Int: return "int";
    case ItemType::Float: return "float";
    case ItemType::String: return "string";
    case ItemType::Bytes: return "bytes";
    }
    return "?";
}

const Item *ItemSet::find(uint32_t id) const
{
    auto it = m_items.find(id);
    return it == m_items.end() ? nullptr : &it->second;
}

Item *ItemSet::find(uint32_t id)
{
    auto it = m_items.find(id);
    return it == m_items.end() ? nullptr : &it->second;
}

bool isCodeText(const std::string &text)
{
    if (text.size() != 4)
        return false;
    for (char c : text) {
        if (c < 0x20 || c > 0x7e)
            return false;
    }
    return true;
}

uint32_t parseCode(const std::string &text, const std::string &where)
{
    if (!isCodeText(text))
        throw DescriptionError(where + ": \"" + text + "\" is not a four-character code");
    return (uint32_t(uint8_t(text[0])) << 24) | (uint32_t(uint8_t(text[1])) << 16)
        | (uint32_t(uint8_t(text[2])) << 8) | uint32_t(uint8_t(text[3]));
}

std::string codeText(uint32_t code)
{
    char text[5];
    zeltraCodeText(code, text);
    for (int i = 0; i < 4; ++i) {
        if (text[i] < 0x20 || text[i] > 0x7e)
            return "0x" + toHex({uint8_t(code >> 24), uint8_t(code >> 16), uint8_t(code >> 8), uint8_t(code)});
    }
    return text;
}

int64_t parseIntValue(const json &value, const std::string &where)
{
    if (value.is_number_integer())
        return value.get<int64_t>();
    if (value.is_number_unsigned()) {
        const uint64_t u = value.get<uint64_t>();
        if (u > uint64_t(std::numeric_limits<int64_t>::max()))
            throw DescriptionError(where + ": integer out of range");
        return int64_t(u);
    }
    if (value.is_string()) {
        const std::string text = value.get<std::string>();
        // "0x..." is a hexadecimal number (persistent ids read better so);
        // any other string is a four-character code.
        if (text.size() > 2 && text.size() <= 18 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')
            && text.find_first_not_of("0123456789abcdefABCDEF", 2) == std::string::npos)
            return int64_t(std::stoull(text.substr(2), nullptr, 16));
        return int64_t(parseCode(text, where));
    }
    throw DescriptionError(where + ": expected an integer, a \"0x\" hexadecimal string or a four-character code");
}

std::string toHex(const Bytes &bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (uint8_t b : bytes) {
        text.push_back(digits[b >> 4]);
        text.push_back(digits[b & 0xf]);
    }
    return text;
}

std::optional<Bytes> fromHex(const std::string &text)
{
    auto nibble = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    Bytes bytes;
    int high = -1;
    for (char c : text) {
        if (c == ' ' || c == ':' || c == '\n')
            continue;
        const int n = nibble(c);
        if (n < 0)
            return std::nullopt;
        if (high < 0) {
            high = n;
        } else {
            bytes.push_back(uint8_t(high << 4 | n));
            high = -1;
        }
    }
    if (high >= 0)
        return std::nullopt;
    return bytes;
}

namespace {

ItemValue readValue(ItemType type, const json &value, const std::string &where)
{
    switch (type) {
    case ItemType::Flag:
        if (!value.is_boolean())
            throw DescriptionError(where + ": expected true or false");
        return value.get<bool>();
    case ItemType::Int:
        return parseIntValue(value, where);
    case ItemType::Float:
        if (!value.is_number() || !std::isfinite(value.get<double>()))
            throw DescriptionError(where + ": expected a number");
        return value.get<double>();
    case ItemType::String:
        if (!value.is_string())
            throw DescriptionError(where + ": expected a string");
        return value.get<std::string>();
    case ItemType::Bytes: {
        if (!value.is_string())
            throw DescriptionError(where + ": expected a hexadecimal string");
        auto bytes = fromHex(value.get<std::string>());
        if (!bytes)
            throw DescriptionError(where + ": not a hexadecimal byte string");
        return *bytes;
    }
    }
    throw DescriptionError(where + ": unknown type");
}

double readNumber(const json &value, const std::string &where)
{
    if (!value.is_number())
        throw DescriptionError(where + ": expected a number");
    return value.get<double>();
}

Item readItem(ItemType type, const json &entry, const std::string &where)
{
    if (!entry.is_object())
        return Item{readValue(type, entry, where), {}};

    static const char *const known[] = {"value", "min", "max", "allowed", "bitsOf", "maxLength"};
    for (auto it = entry.begin(); it != entry.end(); ++it) {
        bool ok = false;
        for (const char *k : known)
            ok = ok || it.key() == k;
        if (!ok)
            throw DescriptionError(where + ": unknown key \"" + it.key() + "\"");
    }
    if (!entry.contains("value"))
        throw DescriptionError(where + ": missing \"value\"");
    Item item{readValue(type, entry.at("value"), where + ".value"), {}};
    if (entry.contains("min"))
        item.rule.minimum = readNumber(entry.at("min"), where + ".min");
    if (entry.contains("max"))
        item.rule.maximum = readNumber(entry.at("max"), where + ".max");
    if (entry.contains("allowed")) {
        const json &allowed = entry.at("allowed");
        if (type == ItemType::Int && allowed.is_string()
            && (allowed.get<std::string>() == "inputModes" || allowed.get<std::string>() == "outputModes")) {
            item.rule.allowedModes = allowed.get<std::string>();
        } else if (!allowed.is_array() || type != ItemType::Int)
            throw DescriptionError(where + ".allowed: expected a list of integers or codes, \"inputModes\" or \"outputModes\" on an int item");
        for (size_t i = 0; allowed.is_array() && i < allowed.size(); ++i)
            item.rule.allowed.push_back(parseIntValue(allowed[i], where + ".allowed[" + std::to_string(i) + "]"));
    }
    if (entry.contains("bitsOf")) {
        if (!entry.at("bitsOf").is_string() || type != ItemType::Int)
            throw DescriptionError(where + ".bitsOf: expected an attribute code on an int item");
        item.rule.bitsOfAttribute = parseCode(entry.at("bitsOf").get<std::string>(), where + ".bitsOf");
    }
    if (entry.contains("maxLength")) {
        if (!entry.at("maxLength").is_number_unsigned() || type != ItemType::String)
            throw DescriptionError(where + ".maxLength: expected a length on a string item");
        item.rule.maxLength = entry.at("maxLength").get<int64_t>();
    }
    if (item.rule.minimum && item.rule.maximum && *item.rule.minimum > *item.rule.maximum)
        throw DescriptionError(where + ": min is greater than max");
    return item;
}

struct SectionName
{
    const char *key;
    ItemType type;
};
const SectionName kSections[] = {
    {"flags", ItemType::Flag}, {"ints", ItemType::Int}, {"floats", ItemType::Float},
    {"strings", ItemType::String}, {"bytes", ItemType::Bytes},
};

} // namespace

ItemSet ItemSet::fromJson(const json &section, const std::string &where, bool allowBytes)
{
    ItemSet set;
    if (section.is_null())
        return set;
    if (!section.is_object())
        throw DescriptionError(where + ": expected an object");
    for (auto group = section.begin(); group != section.end(); ++group) {
        const SectionName *name = nullptr;
        for (const SectionName &s : kSections) {
            if (group.key() == s.key)
                name = &s;
        }
        if (name == nullptr || (name->type == ItemType::Bytes && !allowBytes))
            throw DescriptionError(where + ": unknown group \"" + group.key() + "\"");
        const std::string groupWhere = where + "." + group.key();
        if (!group.value().is_object())
            throw DescriptionError(groupWhere + ": expected an object");
        for (auto entry = group.value().begin(); entry != group.value().end(); ++entry) {
            const std::string itemWhere = groupWhere + "." + entry.key();
            const uint32_t id = parseCode(entry.key(), itemWhere);
            if (set.find(id))
                throw DescriptionError(itemWhere + ": item given twice");
            set.set(id, readItem(name->type, entry.value(), itemWhere));
        }
    }
    return set;
}

json ItemSet::valuesToJson() const
{
    json out = json::object();
    for (const auto &[id, item] : m_items) {
        const std::string key = codeText(id);
        switch (typeOf(item.value)) {
        case ItemType::Flag: out["flags"][key] = std::get<bool>(item.value); break;
        case ItemType::Int: out["ints"][key] = std::get<int64_t>(item.value); break;
        case ItemType::Float: out["floats"][key] = std::get<double>(item.value); break;
        case ItemType::String: out["strings"][key] = std::get<std::string>(item.value); break;
        case ItemType::Bytes: out["bytes"][key] = toHex(std::get<Bytes>(item.value)); break;
        }
    }
    return out;
}

} // namespace cardsim
