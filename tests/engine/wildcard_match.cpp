#include "tests/engine/wildcard_match.h"

#include <cstddef>
#include <vector>

namespace {

std::vector<char32_t> Decode(const std::string& text) {
  std::vector<char32_t> characters;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    if (i + length > text.size()) length = text.size() - i;
    char32_t value = length == 1 ? lead : lead & (0x3F >> (length - 1));
    for (std::size_t k = 1; k < length; ++k) {
      value = (value << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    }
    characters.push_back(value);
    i += length;
  }
  return characters;
}

char32_t Folded(char32_t c) { return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c; }

bool Matches(const std::vector<char32_t>& mask, std::size_t m, const std::vector<char32_t>& name,
             std::size_t n) {
  if (n == name.size()) {
    while (m < mask.size() && (mask[m] == '.' || mask[m] == '*')) ++m;
    return m == mask.size();
  }
  if (m == mask.size()) return false;
  if (mask[m] == '*') {
    for (std::size_t skip = n; skip <= name.size(); ++skip) {
      if (Matches(mask, m + 1, name, skip)) return true;
    }
    return false;
  }
  if (mask[m] == '?' || Folded(mask[m]) == Folded(name[n])) {
    return Matches(mask, m + 1, name, n + 1);
  }
  return false;
}

}  // namespace

bool WildcardMatches(const std::string& mask, const std::string& name) {
  if (mask == "*.*") return true;
  return Matches(Decode(mask), 0, Decode(name), 0);
}
