#pragma once

#include <string>
#include <vector>

// A text that names files to look for: a file-name pattern with the file system's wildcards
// "*" and "?", optionally behind a relative directory part that ends in "\" or "/"
// ("Temp\*.tmp"). UTF-8. Never validated, trimmed or normalised; duplicates are searched twice.
using TargetPattern = std::string;
using TargetPatternList = std::vector<TargetPattern>;
