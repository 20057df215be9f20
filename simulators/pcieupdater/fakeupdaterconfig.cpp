#include "fakeupdaterconfig.h"

#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>

using nlohmann::json;

int32_t FakeUpdaterConfig::outcomeFromText(const std::string& text, bool& ok)
{
    ok = true;
    if (text.size() == 4) {
        uint32_t v = 0;
        for (unsigned char c : text)
            v = (v << 8) | c;
        return static_cast<int32_t>(v);
    }
    if (text == "none")
        return 0;
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != '\0') {
        ok = false;
        return 0;
    }
    return static_cast<int32_t>(v);
}

static std::string stringOr(const json& j, const char* key, const std::string& fallback)
{
    auto it = j.find(key);
    return it != j.end() && it->is_string() ? it->get<std::string>() : fallback;
}

bool FakeUpdaterConfig::load(std::string& error)
{
    const char* file = std::getenv("MORVANE_FAKE_UPDATER_CONFIG");
    if (const char* log = std::getenv("MORVANE_FAKE_UPDATER_LOG"))
        logPath = log;
    if (!file || !*file)
        return true;

    std::ifstream in(file);
    if (!in) {
        error = std::string(file) + ": cannot be read";
        return false;
    }
    json root;
    try {
        root = json::parse(in);
    } catch (const json::exception& e) {
        error = std::string(file) + ": " + e.what();
        return false;
    }
    if (!root.is_object()) {
        error = std::string(file) + ": not a JSON object";
        return false;
    }
    logPath = stringOr(root, "log", logPath);
    statePath = stringOr(root, "state", std::string(file) + ".state");

    try {
        for (const json& c : root.value("cards", json::array())) {
            FakeCard card;
            card.path = stringOr(c, "path", "");
            card.name = stringOr(c, "name", card.name);
            card.code = stringOr(c, "code", card.code);
            card.needsUpdate = c.value("needsUpdate", false);
            card.suppressed = c.value("suppressed", false);
            if (c.contains("progress"))
                card.progress = c.at("progress").get<std::vector<double>>();
            card.paceMs = c.value("paceMs", card.paceMs);
            if (c.contains("outcome")) {
                bool ok = true;
                const json& o = c.at("outcome");
                card.outcome = o.is_number() ? o.get<int32_t>() : outcomeFromText(o.get<std::string>(), ok);
                if (!ok) {
                    error = std::string(file) + ": unknown outcome for " + card.path;
                    return false;
                }
            }
            card.statusMisbehave = stringOr(c, "statusMisbehave", "");
            card.updateMisbehave = stringOr(c, "updateMisbehave", "");
            cards.push_back(card);
        }
    } catch (const json::exception& e) {
        error = std::string(file) + ": " + e.what();
        return false;
    }

    std::ifstream st(statePath);
    if (st) {
        try {
            json s = json::parse(st);
            for (auto it = s.begin(); it != s.end(); ++it)
                if (it->is_string())
                    state[it.key()] = it->get<std::string>();
        } catch (const json::exception&) {
            state.clear(); // a damaged state file is started afresh
        }
    }
    return true;
}

void FakeUpdaterConfig::saveState() const
{
    if (statePath.empty())
        return;
    json s = json::object();
    for (const auto& [path, what] : state)
        s[path] = what;
    std::ofstream out(statePath, std::ios::trunc);
    out << s.dump(2) << '\n';
}

const FakeCard* FakeUpdaterConfig::find(const std::string& path) const
{
    for (const FakeCard& c : cards)
        if (c.path == path)
            return &c;
    return nullptr;
}
