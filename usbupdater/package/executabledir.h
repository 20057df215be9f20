#pragma once

#include <string>

// The folder that holds the running program, from "/proc/self/exe"; empty
// when the link can't be read or resolved.
std::string ExecutableDir();
