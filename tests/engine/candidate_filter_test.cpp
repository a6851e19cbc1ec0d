#include "engine/candidate_filter.h"
#include "tests/engine/scan_fakes.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

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
      {"*.tmp", "x.tmpl", "X~~~~SKX.TMP", true},  // only the short name matches
      {"*.", "README", "", true},                 // a trailing dot matches the end of a name
      {"a.b.", "a.b", "", true},
      {"Thumbs.db ", "Thumbs.db", "", true},      // trailing blanks vanish in path parsing
      {"*s*", "\xC5\xBF", "", true},              // U+017F folds to "S"
      {"*ki*", "\xE2\x84\xAA" "I", "", true},     // and the Kelvin sign to "K"
      {"*.tmp", "a.txt", "", false},
      {"*.dsw", "\xE6\x8A\xA5.txt", "", false},  // a Chinese character folds onto no ASCII letter
      {"*.tmp", "long.tmx", "LONG~1.TMX", false},
      {"*.obj", "ob.j", "", false},
      {"~$*.doc", "$x.doc", "", false},
      // The fragments must meet in one name: "ab" in the long, "cd" in the short is no match.
      {"ab.cd", "ab.xx", "XX~1.CD", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MayMatch(c.pattern, FoundEntry{c.name, c.shortName, false, false}), c.kept)
        << c.pattern << " / " << c.name;
  }
}

// Names and patterns drawn from a small alphabet that holds the characters the rules care
// about, so that fragments often nearly match: whatever the model file system yields, the
// filter must keep.
TEST(CandidateFilter, NeverDropsAGeneratedNameThatMatches) {
  std::mt19937 random(20240611);
  auto draw = [&random](const std::string& alphabet, int maxLength) {
    std::string text(std::uniform_int_distribution<std::size_t>(0, maxLength)(random), ' ');
    for (char& c : text) {
      c = alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(random)];
    }
    return text;
  };
  int matched = 0;
  for (int round = 0; round < 40000; ++round) {
    const std::string pattern = draw("abAB.~$ 1*?", 5);
    const FoundEntry entry{draw("abAB.~$ 1", 6), round % 3 == 0 ? draw("abAB.~$ 1", 4) : "",
                           false, false};
    if (entry.name.empty() || !CanPrefilter(pattern)) continue;
    if (WildcardMatches(pattern, entry.name) ||
        (!entry.shortName.empty() && WildcardMatches(pattern, entry.shortName))) {
      ++matched;
      ASSERT_TRUE(MayMatch(pattern, entry)) << "'" << pattern << "' / '" << entry.name << "' '"
                                            << entry.shortName << "'";
    }
  }
  EXPECT_GT(matched, 1000);  // the generator must actually exercise matches
}

}  // namespace
