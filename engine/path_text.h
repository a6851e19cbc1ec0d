#pragma once

#include <string>

// Paths are built by concatenation: a directory with every trailing "\" removed, then "\",
// then a name. So "D:\data", "D:\data\" and "D:\data\\" all give "D:\data\name".
std::string WithoutTrailingSeparators(const std::string& directory);
std::string JoinPath(const std::string& directory, const std::string& name);
