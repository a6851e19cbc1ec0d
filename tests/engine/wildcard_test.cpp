#include "engine/wildcard.h"

#include <gtest/gtest.h>

namespace {

// The user's patterns against file names: "*" any run, "?" one character (not one byte), case
// folded across the alphabets with case, a trailing ".*" also for names without an extension.
TEST(NameMatchesPattern, JudgesNamesAsTheUserExpects) {
  const struct { const char *pattern, *name; bool matches; } cases[] = {
      {"*.tmp", "a.tmp", true},          {"*.tmp", "a.tmpl", false},      {"*.TMP", "A.tmp", true},
      {"a?c", "abc", true},              {"a?c", "ac", false},            {"a?c", "a报c", true},
      {"?", "😀", true},                 {"*", "", true},                 {"", "a", false},
      {"*.*", "README", true},           {"readme.*", "readme", true},    {"readme.*", "readme.md", true},
      {"a.b.*", "a.b", false},           {"*ab*ab", "xabyab", true},      {"*$$", "x.$$$", true},
      {"ÜBER*", "übersicht", true},      {"СВОДКА.*", "сводка.doc", true}, {"Ελλην*", "ελληνικά", true},
      {"ＡＢ*", "ａｂc", true},            {"報告", "报告", false},          {"é", "e", false},
      {"~$*.doc", "~$report.doc", true}, {"\xff*", "\xff" "x", true},     {"\xff", "\xfe", false},
  };
  for (const auto& c : cases) EXPECT_EQ(NameMatchesPattern(c.pattern, c.name), c.matches) << c.pattern << " " << c.name;
}

}  // namespace
