#pragma once

#include "engine/removal_outcome.h"

#include <string>

// What the list shows for a removal's outcome: nothing for a file not tried or removed, the
// system's own message for its error (in the user's language), or the program's own reason
// from the string table.
std::string OutcomeText(const RemovalOutcome& outcome);
