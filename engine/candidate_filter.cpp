#include "engine/candidate_filter.h"

#include "engine/path_text.h"

#include <array>
#include <vector>

namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsNonAscii(char c) { return static_cast<unsigned char>(c) >= 0x80; }

// Win32 path parsing turns "nul", "com1.txt", "CON  .x" and their kin into devices, whatever
// the directory in front of them.
bool NamesDevice(const std::string& pattern) {
  std::string base = pattern.substr(0, pattern.find('.'));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  static const std::array<const char*, 7> kDevices = {"CON", "PRN", "AUX", "NUL",
                                                      "CONIN$", "CONOUT$", "CLOCK$"};
  for (const char* device : kDevices) {
    if (EqualIgnoringAsciiCase(base, device)) return true;
  }
  if (base.size() == 4 && base[3] >= '0' && base[3] <= '9') {
    std::string stem = base.substr(0, 3);
    return EqualIgnoringAsciiCase(stem, "COM") || EqualIgnoringAsciiCase(stem, "LPT");
  }
  return false;
}

// Win32 path parsing drops trailing dots and blanks, so "." or ". ." name the directory itself
// or its parent rather than an entry in it.
bool OnlyDotsAndBlanks(const std::string& pattern) {
  for (char c : pattern) {
    if (c != '.' && c != ' ') return false;
  }
  return true;
}

// Blanks split fragments too: trailing ones vanish in path parsing, and splitting more only
// makes the filter accept more.
bool SplitsFragments(char c) { return c == '*' || c == '?' || c == '.' || c == ' '; }

std::vector<std::string> LiteralFragments(const std::string& pattern) {
  std::vector<std::string> fragments;
  std::string current;
  for (char c : pattern) {
    if (SplitsFragments(c)) {
      if (!current.empty()) fragments.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) fragments.push_back(current);
  return fragments;
}

bool CharMayEqual(char nameChar, char patternChar) {
  if (IsNonAscii(nameChar)) return true;
  if (IsAsciiLetter(nameChar)) return AsciiLower(nameChar) == AsciiLower(patternChar);
  return nameChar == patternChar;
}

bool OccursIn(const std::string& fragment, std::string_view name) {
  if (fragment.size() > name.size()) return false;
  for (std::string_view::size_type start = 0; start + fragment.size() <= name.size(); ++start) {
    std::string::size_type i = 0;
    while (i < fragment.size() && CharMayEqual(name[start + i], fragment[i])) ++i;
    if (i == fragment.size()) return true;
  }
  return false;
}

bool AllOccurIn(const std::vector<std::string>& fragments, std::string_view name) {
  for (const std::string& fragment : fragments) {
    if (!OccursIn(fragment, name)) return false;
  }
  return true;
}

}  // namespace

bool CanPrefilter(const std::string& pattern) {
  for (char c : pattern) {
    if (IsNonAscii(c) || static_cast<unsigned char>(c) < 0x20) return false;
    switch (c) {
      case '\\': case '/': case ':': case '<': case '>': case '"':
        return false;
      default:
        break;
    }
  }
  return !OnlyDotsAndBlanks(pattern) && !NamesDevice(pattern);
}

bool MayMatch(const std::string& pattern, const FoundEntry& entry) {
  return CandidateFilter(pattern).MayMatch(entry);
}

CandidateFilter::CandidateFilter(const std::string& pattern) : active_(CanPrefilter(pattern)) {
  if (active_) fragments_ = LiteralFragments(pattern);
}

bool CandidateFilter::MayMatch(const FoundEntry& entry) const {
  return MayMatch(entry.name, entry.shortName);
}

bool CandidateFilter::MayMatch(std::string_view name, std::string_view shortName) const {
  if (!active_) return true;
  return AllOccurIn(fragments_, name) || (!shortName.empty() && AllOccurIn(fragments_, shortName));
}
