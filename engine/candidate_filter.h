#pragma once

#include <string>
#include <string_view>
#include <vector>

// Tells, from a directory's full listing, what the file system's search for a pattern would
// yield there, so that a scan need not ask it again for every pattern in every directory. The
// judgement errs only towards "ask it": where it cannot be sure for both Windows' and Wine's
// wildcard rules, the file system decides.
class CandidateFilter {
 public:
  enum class Verdict {
    kNotYielded,  // the search does not yield the entry
    kYielded,     // the search yields the entry
    kUnknown,     // only the file system can tell
  };

  explicit CandidateFilter(const std::string& pattern);

  // Whether the pattern can be judged from a listing at all: no directory part or drive, no
  // DOS wildcards ("<", ">", '"'), only ASCII, and not a run of dots and blanks (which names the
  // directory itself or its parent). Otherwise every entry is kUnknown.
  bool Active() const { return active_; }
  // A pattern without wildcards names one entry, whichever letter case it has; where the
  // listing holds several entries that differ in letter case only, which of them the search
  // yields is the file system's affair.
  bool NamesOneEntry() const { return namesOneEntry_; }

  // The verdict on an entry of the listing, given its long and short name (UTF-8).
  //  - kNotYielded when some literal fragment of the pattern (the runs between "*", "?", "."
  //    and blanks) occurs in neither name, as ASCII letters compare without case and a
  //    non-ASCII character can only stand for the letters whose case mappings reach it.
  //  - kYielded or kNotYielded when the pattern has only literal characters and "*" (no "?",
  //    no "." before a "*", no trailing dot or blank, where Windows' rules part from plain
  //    wildcard matching) and every comparison with the names is certain; the file system
  //    yields an entry whose long or short name matches.
  //  - kUnknown otherwise.
  Verdict Judge(std::string_view name, std::string_view shortName) const;

 private:
  bool active_;
  bool exact_;
  bool namesOneEntry_;
  std::string pattern_;
  std::vector<std::string> fragments_;
};
