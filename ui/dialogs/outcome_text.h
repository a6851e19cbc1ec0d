#pragma once

#include "engine/removal_outcome.h"

#include <cstdint>
#include <string>

// What the list shows for a removal's outcome: nothing for a file not tried or removed, the
// system's own message for its error (in the user's language), or the program's own reason
// from the string table. Any thread.
std::string OutcomeText(const RemovalOutcome& outcome);
// The system's words for an error code (FormatMessageW), in the user's language.
std::string SystemErrorText(std::uint32_t code);
