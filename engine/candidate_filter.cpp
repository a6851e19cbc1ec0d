#include "engine/candidate_filter.h"

#include "engine/path_text.h"

#include <array>
#include <vector>

namespace {

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

std::size_t Utf8Length(unsigned char lead) {
  return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

// A non-ASCII character of a name can equal an ASCII pattern letter only where the file
// system's case table folds it onto one: dotless i, long s and the Kelvin sign are the
// characters whose case mappings reach "i", "s" and "k". Letting any non-ASCII byte match
// anything made most names with a Chinese character candidates for every pattern.
bool MayFoldToAscii(char patternChar) {
  const char lower = AsciiLower(patternChar);
  return lower == 'i' || lower == 's' || lower == 'k';
}

bool OccursAt(const std::string& fragment, std::string_view name, std::size_t at) {
  for (char p : fragment) {
    if (at >= name.size()) return false;
    if (IsNonAscii(name[at])) {
      if (!MayFoldToAscii(p)) return false;
      at += Utf8Length(static_cast<unsigned char>(name[at]));
    } else {
      if (AsciiLower(name[at]) != AsciiLower(p)) return false;
      ++at;
    }
  }
  return true;
}

bool OccursIn(const std::string& fragment, std::string_view name) {
  for (std::size_t at = 0; at < name.size(); at += Utf8Length(static_cast<unsigned char>(name[at]))) {
    if (OccursAt(fragment, name, at)) return true;
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
