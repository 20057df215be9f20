#pragma once

#include <nlohmann/json_fwd.hpp>

#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace cardsim {

using Bytes = std::vector<uint8_t>;
// The order of the alternatives is the order of ItemType.
using ItemValue = std::variant<bool, int64_t, double, std::string, Bytes>;
enum class ItemType { Flag = 0, Int = 1, Float = 2, String = 3, Bytes = 4 };

inline ItemType typeOf(const ItemValue &value) { return static_cast<ItemType>(value.index()); }
const char *typeName(ItemType type);

// Thrown while reading a card description; the text says where and why.
class DescriptionError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Limits on what a writer may put into a configuration item. A card refuses
// values outside them, as a real card refuses what its hardware cannot do.
struct ItemRule
{
    std::optional<double> minimum;
    std::optional<double> maximum;
    std::vector<int64_t> allowed;  // empty: any value
    std::string allowedModes;      // "inputModes" or "outputModes": the ids of the card's modes
    uint32_t bitsOfAttribute = 0;  // non-zero: a non-empty subset of that attribute's bits
    std::optional<int64_t> maxLength; // strings, in bytes
};

struct Item
{
    ItemValue value;
    ItemRule rule;
};

// The typed items of one store of a card (attributes, configuration or status),
// keyed by four-character code.
class ItemSet
{
public:
    const Item *find(uint32_t id) const;
    Item *find(uint32_t id);
    const std::map<uint32_t, Item> &items() const { return m_items; }
    void set(uint32_t id, Item item) { m_items[id] = std::move(item); }
    bool empty() const { return m_items.empty(); }

    // Reads {"flags": {...}, "ints": {...}, "floats": {...}, "strings": {...},
    // "bytes": {...}}; where names the section in error messages.
    static ItemSet fromJson(const nlohmann::json &section, const std::string &where, bool allowBytes);

    // Only the values, grouped by type as fromJson reads them.
    nlohmann::json valuesToJson() const;

private:
    std::map<uint32_t, Item> m_items;
};

// "vicn" -> code; throws DescriptionError unless the text is four printable characters.
uint32_t parseCode(const std::string &text, const std::string &where);
bool isCodeText(const std::string &text);
std::string codeText(uint32_t code);

// Integer written as a JSON number or as a four-character code string.
int64_t parseIntValue(const nlohmann::json &value, const std::string &where);

std::string toHex(const Bytes &bytes);
std::optional<Bytes> fromHex(const std::string &text);

} // namespace cardsim
