#pragma once

#include <cstddef>
#include <string>

namespace cardsim {

enum class ReadResult { Ok, Missing, Failed };

// Reads a whole regular file of at most maxSize bytes. Anything else (a
// folder, a FIFO that would block, a device) fails with a reason in error;
// a file that does not exist (or whose folder does not) answers Missing.
ReadResult readRegularFile(const std::string &path, size_t maxSize, std::string &text, std::string &error);

} // namespace cardsim
