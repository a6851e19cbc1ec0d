#include "engine/candidate_filter.h"

#include <gtest/gtest.h>

namespace {

// Whether the filter keeps an entry for real matches is checked on generated trees by the scan
// equivalence test; these are the cases its model file system cannot show.
TEST(CandidateFilter, RefusesPatternsThatLeaveTheDirectoryOrNeedTheFileSystemsOwnRules) {
  for (const char* pattern : {"*.tmp", "Thumbs.db", "~$*.doc", "*", "*.*", "a b.c", "nulx",
                              "com", "*con"}) {
    EXPECT_TRUE(CanPrefilter(pattern)) << pattern;
  }
  for (const char* pattern : {"Temp\\*.tmp", "\\*.tmp", "Temp/*.tmp", "C:*.tmp", "*.tmp\\", "",
                              ".", "..", ". .", "<.tmp", "*>", "a\"", "\xE6\x96\x87*.txt", "nul",
                              "NUL.txt", "com1", "Lpt9.log", "con  .x", "CONOUT$"}) {
    EXPECT_FALSE(CanPrefilter(pattern)) << pattern;
  }
}

TEST(CandidateFilter, KeepsWhatTheFileSystemMayYieldAndDropsNamesLackingALiteralPart) {
  struct Case {
    const char* pattern;
    const char* name;
    const char* shortName;
    bool kept;
  } const cases[] = {
      {"Thumbs.db ", "Thumbs.db", "", true},   // trailing blanks vanish in path parsing
      {"*s*", "\xC5\xBF", "", true},           // U+017F folds to "S"
      {"*ki*", "\xE2\x84\xAA" "I", "", true},  // and the Kelvin sign to "K"
      {"*.dsw", "\xE6\x8A\xA5.txt", "", false},  // a Chinese character folds onto no ASCII letter
      {"*.tmp", "long.tmx", "LONG~1.TMX", false},
      // The fragments must meet in one name: "ab" in the long, "cd" in the short is no match.
      {"ab.cd", "ab.xx", "XX~1.CD", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MayMatch(c.pattern, FoundEntry{c.name, c.shortName, false, false}), c.kept)
        << c.pattern << " / " << c.name;
  }
}

}  // namespace
