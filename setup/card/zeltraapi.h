#pragma once

// The driver library's binary interface lives with the card model; this name
// stays for the programs that build against the interface alone.
#include "../cardmodel/zeltraapi.h"
