#pragma once

#include <string>
#include <string_view>

// Paths are built by concatenation: a directory with every trailing "\" removed, then "\",
// then a name. So "D:\data", "D:\data\" and "D:\data\\" all give "D:\data\name".
std::string WithoutTrailingSeparators(const std::string& directory);
std::string JoinPath(const std::string& directory, const std::string& name);

// Whether two names are the same to the file system as far as ASCII letters go.
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);
