#include "emulatedcard.h"

#include <cstdlib>
#include <sstream>

namespace {

bool parseNumber(const std::string& text, uint32_t* value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    const unsigned long long parsed = std::strtoull(text.c_str(), &end, 0);
    if (*end != '\0' || parsed > 0xFFFFFFFFull)
        return false;
    *value = static_cast<uint32_t>(parsed);
    return true;
}

bool parseFlag(const std::string& text, bool* value)
{
    uint32_t number = 0;
    if (!parseNumber(text, &number) || number > 1)
        return false;
    *value = number != 0;
    return true;
}

// "a/b" or "a/b/c" into up to three numbers.
bool parseTuple(const std::string& text, uint32_t* values, int count)
{
    std::stringstream stream(text);
    std::string part;
    int i = 0;
    while (std::getline(stream, part, '/')) {
        if (i >= count || !parseNumber(part, &values[i]))
            return false;
        ++i;
    }
    return i == count;
}

} // namespace

bool EmulatedCard::parse(const std::string& line, std::string* error)
{
    std::istringstream words(line);
    if (!(words >> node) || node.size() > 40 || node.find('/') != std::string::npos) {
        *error = "missing or bad node name in \"" + line + "\"";
        return false;
    }
    std::string word;
    while (words >> word) {
        const size_t equals = word.find('=');
        const std::string key = word.substr(0, equals);
        const std::string value = equals == std::string::npos ? std::string() : word.substr(equals + 1);
        bool ok = true;
        uint32_t number = 0;
        if (key == "file") {
            type = NodeType::RegularFile;
        } else if (key == "major") {
            ok = parseNumber(value, &number) && number < 4096;
            major = number;
        } else if (key == "version") {
            ok = parseNumber(value, &version);
        } else if (key == "sub") {
            uint32_t triple[3] = {};
            ok = parseTuple(value, triple, 3);
            subIndex = triple[0];
            subCount = triple[1];
            group = triple[2];
            groupGiven = true;
        } else if (key == "info") {
            ok = parseNumber(value, &info);
        } else if (key == "model") {
            ok = parseNumber(value, &model);
        } else if (key == "firmware") {
            uint32_t pair[2] = {};
            ok = parseTuple(value, pair, 2);
            firmwareVersion = pair[0];
            firmwareBuild = pair[1];
        } else if (key == "needs-update") {
            ok = parseFlag(value, &needsUpdate);
        } else if (key == "ignore") {
            ok = parseNumber(value, &ignoreFirmware);
        } else if (key == "busy") {
            ok = parseNumber(value, &busy);
        } else if (key == "persistent") {
            ok = parseNumber(value, &persistentId);
        } else if (key == "topological") {
            ok = parseNumber(value, &topologicalId);
        } else if (key == "usable") {
            ok = parseNumber(value, &usable);
        } else if (key == "configured") {
            ok = parseNumber(value, &configured);
        } else if (key == "revision") {
            ok = parseNumber(value, &revision);
        } else if (key == "description") {
            // Underscores stand for blanks so that a line stays one word per key.
            description = value;
            for (char& c : description) {
                if (c == '_')
                    c = ' ';
            }
            ok = description.size() <= 120;
        } else if (key == "overreport") {
            ok = parseFlag(value, &overreport);
        } else if (key == "short-reply") {
            ok = parseNumber(value, &shortReply) && shortReply > 0 && shortReply < 40;
        } else if (key == "interrupt") {
            // interrupt=<selector>:<times>
            const size_t colon = value.find(':');
            uint32_t selector = 0;
            uint32_t times = 0;
            ok = colon != std::string::npos && parseNumber(value.substr(0, colon), &selector)
                 && parseNumber(value.substr(colon + 1), &times);
            interruptions[int(selector)] = times;
        } else if (key == "fail") {
            // fail=<selector>:<result>
            const size_t colon = value.find(':');
            uint32_t selector = 0;
            const std::string resultText = colon == std::string::npos ? std::string() : value.substr(colon + 1);
            char* end = nullptr;
            const long result = std::strtol(resultText.c_str(), &end, 0);
            ok = colon != std::string::npos && parseNumber(value.substr(0, colon), &selector) && !resultText.empty()
                 && *end == '\0' && result != 0;
            failures[int(selector)] = int(result);
        } else {
            ok = false;
        }
        if (!ok) {
            *error = "bad setting \"" + word + "\" for node " + node;
            return false;
        }
    }
    return true;
}

bool EmulatedCard::parseList(const std::string& text, std::vector<EmulatedCard>* cards, std::string* error)
{
    std::string normalised = text;
    for (char& c : normalised) {
        if (c == ';')
            c = '\n';
    }
    std::istringstream lines(normalised);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t hash = line.find('#');
        if (hash != std::string::npos)
            line.erase(hash);
        if (line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        EmulatedCard card;
        if (!card.parse(line, error))
            return false;
        cards->push_back(card);
    }
    return true;
}
