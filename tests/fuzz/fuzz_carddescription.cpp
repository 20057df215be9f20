// The simulator's card description file under libFuzzer: any text is either
// a description or a DescriptionError, never a crash.
#include <cstdint>
#include <exception>
#include <string>

#include "carddescription.h"

namespace cardsim {
// The generated built-in set is not linked; only files are parsed here.
const char* const kDefaultCardsJson = "{}";
} // namespace cardsim

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        cardsim::parseDescription(std::string(reinterpret_cast<const char*>(data), size), "fuzz input");
    } catch (const cardsim::DescriptionError&) {
    }
    return 0;
}
