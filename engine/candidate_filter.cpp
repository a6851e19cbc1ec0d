#include "engine/candidate_filter.h"

#include "engine/path_text.h"
#include "engine/wildcard.h"

#include <vector>

namespace {

bool IsNonAscii(char c) { return static_cast<unsigned char>(c) >= 0x80; }

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

// Plain wildcard matching of a pattern of literals and "*". Where a non-ASCII character meets
// a letter it may fold onto, lenient counts it as equal and strict does not: a strict match is
// a match for sure, and no lenient match is no match for sure.
bool WildcardMatch(const std::string& pattern, std::string_view name, bool lenient) {
  return MatchWildcards(pattern, name, [lenient](std::uint32_t character, std::uint32_t literal) {
    if (character < 0x80) return AsciiLower(static_cast<char>(character)) == AsciiLower(static_cast<char>(literal));
    return lenient && MayFoldToAscii(static_cast<char>(literal));
  });
}

CandidateFilter::Verdict MatchVerdict(const std::string& pattern, std::string_view name) {
  if (name.empty()) return CandidateFilter::Verdict::kNotYielded;
  if (WildcardMatch(pattern, name, false)) return CandidateFilter::Verdict::kYielded;
  if (!WildcardMatch(pattern, name, true)) return CandidateFilter::Verdict::kNotYielded;
  return CandidateFilter::Verdict::kUnknown;
}

bool CanPrefilter(const std::string& pattern) {
  for (char c : pattern) {
    if (IsNonAscii(c) || static_cast<unsigned char>(c) < 0x20) return false;
    switch (c) {
      case '\\': case '/': case ':': case '<': case '>': case '"': case '|':
        return false;
      default:
        break;
    }
  }
  return !OnlyDotsAndBlanks(pattern);
}

// Whether some proper beginning of the text is also its end ("$$", "abab"), letters compared
// without case: then two of its occurrences in a name can overlap.
bool OverlapsItself(const std::string& text) {
  for (std::size_t length = 1; length < text.size(); ++length) {
    if (EqualIgnoringAsciiCase(std::string_view(text).substr(0, length),
                               std::string_view(text).substr(text.size() - length))) {
      return true;
    }
  }
  return false;
}

// Windows turns "?", a "." before "*" or "?" and a trailing "." into DOS wildcards, and path
// parsing drops trailing dots and blanks; Wine ignores a trailing run of "." and "*", and once
// the text after the last "*" has matched short of the name's end it goes on from there, so it
// misses a match that overlaps that one ("*$$" and "x.$$$"). Without any of these both match as
// plain wildcards do.
bool MatchesAsPlainWildcards(const std::string& pattern) {
  const std::string::size_type lastStar = pattern.rfind('*');
  return pattern.find('?') == std::string::npos && pattern.find(".*") == std::string::npos &&
         pattern.back() != '.' && pattern.back() != ' ' &&
         (lastStar == std::string::npos || !OverlapsItself(pattern.substr(lastStar + 1)));
}

}  // namespace

CandidateFilter::CandidateFilter(const std::string& pattern)
    : active_(CanPrefilter(pattern)),
      exact_(active_ && MatchesAsPlainWildcards(pattern)),
      namesOneEntry_(pattern.find_first_of("*?") == std::string::npos),
      pattern_(pattern) {
  if (active_) fragments_ = LiteralFragments(pattern);
}

CandidateFilter::Verdict CandidateFilter::Judge(std::string_view name,
                                                std::string_view shortName) const {
  if (!active_) return Verdict::kUnknown;
  if (!AllOccurIn(fragments_, name) && (shortName.empty() || !AllOccurIn(fragments_, shortName))) {
    return Verdict::kNotYielded;
  }
  if (!exact_) return Verdict::kUnknown;
  const Verdict byName = MatchVerdict(pattern_, name);
  const Verdict byShortName = MatchVerdict(pattern_, shortName);
  if (byName == Verdict::kYielded || byShortName == Verdict::kYielded) return Verdict::kYielded;
  if (byName == Verdict::kNotYielded && byShortName == Verdict::kNotYielded) {
    return Verdict::kNotYielded;
  }
  return Verdict::kUnknown;
}
