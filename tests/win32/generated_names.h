#pragma once

#include "tests/win32/seeded_random.h"

#include <string>
#include <vector>

// File names and patterns generated to probe the file system's matching where it is odd: mixed
// case, dots and blanks in unusual places, tildes and "$", digits, names long enough to get a
// short alias, letters outside ASCII whose case folding leaves ASCII. All UTF-8.

// A name that Windows can hold; trailing dots and blanks only when allowTrailing is set (they
// need a "\\?\" path to be created).
std::string GenerateFileName(SeededRandom& random, bool allowTrailing);

// A pattern of wildcards and literal pieces, unrelated to any name.
std::string GenerateFreePattern(SeededRandom& random);

// A pattern made from a name (or its short alias) by changing letter case, replacing characters
// with "?" and runs with "*": likely to match it and its neighbours.
std::string GeneratePatternFrom(SeededRandom& random, const std::string& name);

// Splits UTF-8 into whole characters.
std::vector<std::string> Characters(const std::string& text);
