#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace cardsim {

// The stored preferences of one card: a small JSON file per persistent id in
// the user's configuration folder ($XDG_CONFIG_HOME, else ~/.config).
class PreferenceStore
{
public:
    PreferenceStore() = default; // keeps nothing on disk
    explicit PreferenceStore(int64_t persistentId);

    bool persistent() const { return !m_path.empty(); }
    const std::string &path() const { return m_path; }

    // The stored values, or nullopt when there is no file yet. A file that
    // cannot be read or parsed sets error and gives nullopt.
    std::optional<nlohmann::json> load(std::string &error) const;
    // Writes the file through a temporary and a rename, so that a crash never
    // leaves half a file behind.
    bool save(const nlohmann::json &values, std::string &error) const;

    static std::string configFolder();

private:
    std::string m_path;
};

// One line on standard error, prefixed with the library's name, or handed
// to the sink when one is set (the daemon passes problems on to the process
// whose request caused them).
void reportProblem(const std::string &message);
void setProblemSink(std::function<void(const std::string &)> sink);

} // namespace cardsim
