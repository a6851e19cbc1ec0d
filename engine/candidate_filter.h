#pragma once

#include "engine/file_enumeration.h"

#include <string>
#include <string_view>
#include <vector>

// A cheap, conservative pre-test that lets a scan skip asking the file system for a pattern in
// a directory whose full listing holds no file the pattern could match. The file system alone
// decides real matches; these functions only ever err towards "ask it".

// Whether a pattern is simple enough to be judged from a directory's listing: no directory part
// or drive, no DOS wildcards ("<", ">", '"'), only ASCII, and nothing the file system resolves to
// something other than an entry of that directory (a device name, a run of dots and blanks).
bool CanPrefilter(const std::string& pattern);

// Whether the file system might yield the entry for the pattern: every literal fragment of the
// pattern (the runs between "*", "?", "." and blanks) occurs in the long name, or every one in
// the short name. ASCII letters compare without case; any non-ASCII byte of a name matches any
// pattern character, since the file system folds case over all of Unicode. Gives true for a
// pattern that CanPrefilter refuses.
bool MayMatch(const std::string& pattern, const FoundEntry& entry);

// A pattern's fragments worked out once, for testing many entries against one pattern.
class CandidateFilter {
 public:
  explicit CandidateFilter(const std::string& pattern);
  // False when the pattern cannot be prefiltered: then every entry may match.
  bool Active() const { return active_; }
  bool MayMatch(const FoundEntry& entry) const;
  bool MayMatch(std::string_view name, std::string_view shortName) const;

 private:
  bool active_;
  std::vector<std::string> fragments_;
};
