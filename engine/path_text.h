#pragma once

#include <string>
#include <string_view>

// Paths are built by concatenation: a directory with every trailing "\" removed, then "\",
// then a name. So "D:\data", "D:\data\" and "D:\data\\" all give "D:\data\name".
std::string WithoutTrailingSeparators(const std::string& directory);
std::string JoinPath(const std::string& directory, const std::string& name);

// The letter in lower case when it is an ASCII capital; every other byte as it is, so UTF-8
// sequences pass unchanged. Inline: pattern matching calls it for every byte of every name.
inline char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether two names are the same to the file system as far as ASCII letters go.
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);
