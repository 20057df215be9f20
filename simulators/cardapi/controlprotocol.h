#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// What the simulator library and zeltra-simctl agree on: where the control
// sockets live and how a request travels.
//
// Every running simulator listens on <runtime folder>/<pid>.sock, where the
// runtime folder is $XDG_RUNTIME_DIR/zeltra-simulator, or a private
// /tmp/zeltra-simulator-<uid> when XDG_RUNTIME_DIR is not set (or names no
// folder). A client sends one line, the arguments separated by tab
// characters (so that codes such as "pal " keep their blank), and reads the
// reply until the server closes the connection: a first line "ok" or
// "error: <reason>", then any output lines.
namespace cardsim::control {

inline constexpr size_t kMaxRequest = 4096;

// The folder, created private to the user when missing. Empty with error set
// when it cannot be used safely (not ours, not private, a symbolic link).
std::string runtimeFolder(std::string &error);
std::string socketPath(const std::string &folder, pid_t pid);

std::string joinArguments(const std::vector<std::string> &arguments);
std::vector<std::string> splitArguments(const std::string &line);

} // namespace cardsim::control
