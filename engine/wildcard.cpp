#include "engine/wildcard.h"

namespace {

// Bytes that start no well-formed sequence stand above every code point.
constexpr std::uint32_t kIllFormed = 0x110000;

}  // namespace

std::uint32_t CodePoints::Next() {
  const auto byte = [this](std::size_t i) { return static_cast<unsigned char>(text_[i]); };
  const unsigned char lead = byte(at_);
  std::size_t length = 0;
  if (lead < 0x80) {
    length = 1;
  } else if (lead >= 0xC2 && lead < 0xE0) {
    length = 2;
  } else if (lead >= 0xE0 && lead < 0xF0) {
    length = 3;
  } else if (lead >= 0xF0 && lead < 0xF5) {
    length = 4;
  }
  if (at_ + length > text_.size()) length = 0;
  std::uint32_t character = length == 1 ? lead : lead & (0x7Fu >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(at_ + i) & 0xC0) != 0x80) {
      length = 0;
      break;
    }
    character = (character << 6) | (byte(at_ + i) & 0x3F);
  }
  if (length == 0) {
    const std::uint32_t illFormed = kIllFormed + lead;
    ++at_;
    return illFormed;
  }
  at_ += length;
  return character;
}

std::uint32_t FoldCase(std::uint32_t c) {
  if (c < 0x80) return c >= 'A' && c <= 'Z' ? c + 32 : c;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;           // Latin-1
  if (c >= 0x100 && c <= 0x137) return c | 1;                       // Latin Extended-A, in pairs
  if (c >= 0x139 && c <= 0x148) return c + (c & 1);                 // ... odd upper case
  if (c >= 0x14A && c <= 0x177) return c | 1;
  if (c == 0x178) return 0xFF;
  if (c >= 0x179 && c <= 0x17E) return c + (c & 1);
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 32;        // Greek
  if (c >= 0x410 && c <= 0x42F) return c + 32;                      // Cyrillic
  if (c >= 0x400 && c <= 0x40F) return c + 80;
  if (c >= 0xFF21 && c <= 0xFF3A) return c + 32;                    // full-width Latin
  return c;
}

bool NameMatchesPattern(std::string_view pattern, std::string_view name) {
  const auto equal = [](std::uint32_t a, std::uint32_t b) { return FoldCase(a) == FoldCase(b); };
  if (MatchWildcards(pattern, name, equal)) return true;
  constexpr std::string_view kAnyExtension = ".*";
  if (pattern.size() < kAnyExtension.size() || pattern.substr(pattern.size() - 2) != kAnyExtension) return false;
  return name.find('.') == std::string_view::npos &&
         MatchWildcards(pattern.substr(0, pattern.size() - 2), name, equal);
}
