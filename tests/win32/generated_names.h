#pragma once

#include "tests/win32/seeded_random.h"

#include <string>
#include <vector>

// File names and patterns (UTF-8) generated to probe the file system's matching where it is odd:
// mixed case, dots and blanks in unusual places, "~" and "$", digits, names long enough to get a
// short alias, letters outside ASCII whose case folding leaves ASCII. A file name ends in a dot
// or blank only when allowTrailing is set; a free pattern is unrelated to any name; a pattern
// from a name (or its short alias) changes letter case, replaces characters with "?" and runs
// with "*", so it likely matches the name and its neighbours.
std::string GenerateFileName(SeededRandom& random, bool allowTrailing);
std::string GenerateFreePattern(SeededRandom& random);
std::string GeneratePatternFrom(SeededRandom& random, const std::string& name);
