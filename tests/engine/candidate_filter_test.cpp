#include "engine/candidate_filter.h"
#include "tests/engine/wildcard_match.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

FoundEntry File(const std::string& name, const std::string& shortName = "") {
  FoundEntry entry;
  entry.name = name;
  entry.shortName = shortName;
  return entry;
}

TEST(CandidateFilter, RefusesPatternsThatLeaveTheDirectoryOrNeedTheFileSystemsOwnRules) {
  struct Case {
    const char* pattern;
    bool filterable;
  } const cases[] = {
      {"*.tmp", true},       {"Thumbs.db", true},     {"~$*.doc", true},
      {"*", true},           {"*.*", true},           {"a b.c", true},
      {"Temp\\*.tmp", false}, {"\\*.tmp", false},     {"Temp/*.tmp", false},
      {"C:*.tmp", false},    {"*.tmp\\", false},      {"", false},
      {".", false},          {"..", false},           {". .", false},
      {"<.tmp", false},      {"*>", false},           {"a\"", false},
      {"\xE6\x96\x87*.txt", false},  // a non-ASCII pattern character
      {"nul", false},        {"NUL.txt", false},      {"com1", false},
      {"Lpt9.log", false},   {"con  .x", false},      {"CONOUT$", false},
      {"nulx", true},        {"com", true},           {"*con", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CanPrefilter(c.pattern), c.filterable) << c.pattern;
  }
}

TEST(CandidateFilter, KeepsEveryNameTheFileSystemCouldYield) {
  struct Case {
    const char* pattern;
    FoundEntry entry;
  } const cases[] = {
      {"*.tmp", File("a.tmp")},
      {"*.TMP", File("a.tmp")},
      {"*.tmp", File("x.tmpl", "X~~~~SKX.TMP")},  // only the short name matches
      {"*.doc", File("report.docx", "REPORT~1.DOC")},
      {"thumbs.db", File("Thumbs.db")},
      {"*.", File("README")},          // a trailing dot matches the end of a name
      {"a.", File("a")},
      {"a.b.", File("a.b")},
      {"a*.*", File("a")},
      {"Thumbs.db ", File("Thumbs.db")},  // trailing blanks vanish in path parsing
      {"?.t?p", File("x.tmp")},
      {"*s*", File("\xC5\xBF")},  // U+017F folds to "S"
      {"*ki*", File("\xE2\x84\xAA" "I")},
      {"*", File("anything")},
      {"~$*.doc", File("~$bericht.doc")},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(MayMatch(c.pattern, c.entry)) << c.pattern << " / " << c.entry.name;
  }
}

TEST(CandidateFilter, DropsNamesLackingALiteralPartOfThePattern) {
  struct Case {
    const char* pattern;
    FoundEntry entry;
  } const cases[] = {
      {"*.tmp", File("a.txt")},
      {"*.tmp", File("long.tmx", "LONG~1.TMX")},
      {"*.obj", File("ob.j")},
      {"~$*.doc", File("$x.doc")},
      {"Thumbs.db", File("Thumbs.d")},
      // The fragments must meet in one name: "ab" in the long, "cd" in the short is no match.
      {"ab.cd", File("ab.xx", "XX~1.CD")},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(MayMatch(c.pattern, c.entry)) << c.pattern << " / " << c.entry.name;
  }
}

// Names and patterns drawn from a small alphabet that holds the characters the rules care
// about, so that fragments often nearly match: whatever the model file system yields, the
// filter must keep.
TEST(CandidateFilter, NeverDropsAGeneratedNameThatMatches) {
  std::mt19937 random(20240611);
  const std::string nameAlphabet = "abAB.~$ 1";
  const std::string patternAlphabet = "abAB.~$ 1*?";
  auto draw = [&random](const std::string& alphabet, int maxLength) {
    std::string text;
    const int length = std::uniform_int_distribution<int>(0, maxLength)(random);
    for (int i = 0; i < length; ++i) {
      text += alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(random)];
    }
    return text;
  };
  int matched = 0;
  for (int round = 0; round < 40000; ++round) {
    const std::string pattern = draw(patternAlphabet, 5);
    FoundEntry entry = File(draw(nameAlphabet, 6), round % 3 == 0 ? draw(nameAlphabet, 4) : "");
    if (entry.name.empty()) continue;
    if (!CanPrefilter(pattern)) continue;
    const bool yielded = WildcardMatches(pattern, entry.name) ||
                         (!entry.shortName.empty() && WildcardMatches(pattern, entry.shortName));
    if (yielded) {
      ++matched;
      ASSERT_TRUE(MayMatch(pattern, entry)) << "'" << pattern << "' / '" << entry.name << "' '"
                                            << entry.shortName << "'";
    }
  }
  EXPECT_GT(matched, 1000);  // the generator must actually exercise matches
}

}  // namespace
