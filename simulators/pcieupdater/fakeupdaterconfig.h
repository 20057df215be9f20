#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// What the stand-in updater knows about one card and how it behaves for it.
struct FakeCard
{
    std::string path;
    std::string name = "Ondavia Card";
    std::string code = "00";          // two hexadecimal digits
    bool needsUpdate = false;
    bool suppressed = false;
    std::vector<double> progress{0, 25, 50, 75, 100};
    int paceMs = 100;                  // pause before each progress line
    int32_t outcome = 0x626F6F74;      // 'boot'
    std::string statusMisbehave;       // "", "hang", "exit-nonzero", "garbage"
    std::string updateMisbehave;       // "", "hang", "exit-nonzero", "garbage", "no-outcome",
                                       // "long-line", "split-line", "silent"
};

// The configuration file, plus the state that earlier runs left (cards
// already updated or whose version check was switched off).
struct FakeUpdaterConfig
{
    std::vector<FakeCard> cards;
    std::string logPath;
    std::string statePath;
    std::map<std::string, std::string> state; // path -> "updated" | "ignored"

    // Reads the file named by MORVANE_FAKE_UPDATER_CONFIG; a missing variable
    // gives no cards. Returns false with a reason for an unreadable file.
    bool load(std::string& error);
    void saveState() const;
    const FakeCard* find(const std::string& path) const;

    static int32_t outcomeFromText(const std::string& text, bool& ok);
};
