#include "engine/win32/win32_file_enumeration.h"

#include "engine/win32/utf.h"

#include "tests/win32/temp_tree.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using ::testing::IsEmpty;
using ::testing::UnorderedElementsAreArray;

std::vector<std::string> Names(const std::vector<FoundEntry>& entries) {
  std::vector<std::string> names;
  for (const FoundEntry& entry : entries) names.push_back(entry.name);
  return names;
}

const FoundEntry* Find(const std::vector<FoundEntry>& entries, const std::string& name) {
  const auto found = std::find_if(entries.begin(), entries.end(),
                                  [&](const FoundEntry& entry) { return entry.name == name; });
  return found == entries.end() ? nullptr : &*found;
}

class Win32FileEnumerationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"a.tmp", "ABC.Doc", "~$Brief.doc", "Thumbs.db",
                             "报告.doc", "新建文件夹.tmp", "Ελληνικά.txt", "café.TMP", "😀.txt"}) {
      tree_.MakeFile(name);
    }
    tree_.MakeFile("hidden.tmp", FILE_ATTRIBUTE_HIDDEN);
    tree_.MakeFile("system.tmp", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN);
    tree_.MakeDirectory("sub");
    tree_.MakeDirectory("目录");
    tree_.MakeDirectory("dir.tmp");
    tree_.MakeDirectory("hidden dir", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  }

  std::vector<FoundEntry> Enumerate(const std::string& pattern) {
    return files_.Enumerate(tree_.Root() + "\\" + pattern);
  }

  TempTree tree_{"enumeration"};
  Win32FileEnumeration files_;
};

TEST_F(Win32FileEnumerationTest, ListsEveryEntryWithDotsHiddenAndSystemOnes) {
  EXPECT_THAT(Names(Enumerate("*.*")),
              UnorderedElementsAreArray({".", "..", "a.tmp", "ABC.Doc",
                                         "~$Brief.doc", "Thumbs.db", "报告.doc",
                                         "新建文件夹.tmp", "Ελληνικά.txt", "café.TMP", "😀.txt", "hidden.tmp",
                                         "system.tmp", "sub", "目录", "dir.tmp", "hidden dir"}));
}

TEST_F(Win32FileEnumerationTest, TellsDirectoriesFromFiles) {
  const std::vector<FoundEntry> entries = Enumerate("*");
  for (const char* directory : {".", "..", "sub", "目录", "dir.tmp", "hidden dir"}) {
    ASSERT_NE(Find(entries, directory), nullptr) << directory;
    EXPECT_TRUE(Find(entries, directory)->isDirectory) << directory;
    EXPECT_FALSE(Find(entries, directory)->isReparsePoint) << directory;
  }
  for (const char* file : {"a.tmp", "hidden.tmp", "system.tmp", "报告.doc"}) {
    ASSERT_NE(Find(entries, file), nullptr) << file;
    EXPECT_FALSE(Find(entries, file)->isDirectory) << file;
  }
}

// What the scan relies on the file system for: its wildcards and its case folding, beyond ASCII.
TEST_F(Win32FileEnumerationTest, MatchesWithTheFileSystemsRules) {
  struct Case {
    const char* pattern;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {"*.tmp", {"a.tmp", "新建文件夹.tmp", "café.TMP", "hidden.tmp", "system.tmp", "dir.tmp"}},
      {"*.doc", {"ABC.Doc", "~$Brief.doc", "报告.doc"}},
      {"~$*.doc", {"~$Brief.doc"}},
      {"thumbs.DB", {"Thumbs.db"}},
      {"abc.doc", {"ABC.Doc"}},
      {"?.tmp", {"a.tmp"}},
      {"报*", {"报告.doc"}},
      {"ελληνικά.TXT", {"Ελληνικά.txt"}},  // case folded outside ASCII
      {"CAFÉ.tmp", {"café.TMP"}},
      {"😀.*", {"😀.txt"}},
      {"*.none", {}},
  };
  for (const Case& c : cases) {
    EXPECT_THAT(Names(Enumerate(c.pattern)), UnorderedElementsAreArray(c.names)) << c.pattern;
  }
}

// Wine and most Windows system volumes keep 8.3 aliases; other volumes may not.
TEST_F(Win32FileEnumerationTest, MatchesShortNamesWhereTheFileSystemKeepsThem) {
  tree_.MakeFile("x.tmpl");
  tree_.MakeFile("b.docx");
  const std::vector<FoundEntry> entries = Enumerate("*.*");
  ASSERT_NE(Find(entries, "x.tmpl"), nullptr);
  EXPECT_EQ(Find(entries, "a.tmp")->shortName, "") << "an 8.3 name needs no alias";
  if (Find(entries, "x.tmpl")->shortName.empty()) GTEST_SKIP() << "no short names here";

  EXPECT_THAT(Names(Enumerate("*.tmp")), ::testing::Contains("x.tmpl"));
  EXPECT_THAT(Names(Enumerate("*.doc")), ::testing::Contains("b.docx"));
  const std::string alias = Find(entries, "x.tmpl")->shortName;
  EXPECT_THAT(Names(Enumerate(alias)), UnorderedElementsAreArray({"x.tmpl"}));
}

TEST_F(Win32FileEnumerationTest, YieldsNothingForSearchesThatCannotBeMade) {
  const std::string root = tree_.Root();
  for (const std::string& search : {
           root + "\\",                      // ends in a separator
           root + "\\sub\\",                 // likewise, below
           root + "/",                       // the other separator
           root + "\\missing\\*.*",          // no such directory
           root + "\\a.tmp\\*.*",            // a file taken for a directory
           std::string(),                    // nothing at all
           root + std::string("\\*\0.tmp", 7),  // a NUL would cut it to "\*"
       }) {
    EXPECT_THAT(files_.Enumerate(search), IsEmpty()) << search;
  }
}

// Windows searches at most MAX_PATH - 1 characters without the "\\?\" prefix; Wine would search
// further. A file named so that its search string is exactly as long as allowed is found, one
// character more and nothing is.
TEST_F(Win32FileEnumerationTest, RefusesSearchStringsOfMaxPathOrMore) {
  const std::string directory = tree_.Path("long");
  tree_.MakeDirectory("long");
  const std::size_t room = MAX_PATH - 1 - (Widen(directory).size() + 1);
  ASSERT_GT(room, 2u) << "test root too deep: " << directory;
  const std::string longest(room, 'n');
  const std::string tooLong(room + 1, 'n');
  tree_.MakeFile("long\\" + longest);
  tree_.MakeFile("long\\" + tooLong);

  EXPECT_THAT(Names(files_.Enumerate(directory + "\\" + longest)),
              UnorderedElementsAreArray({longest}));
  EXPECT_THAT(files_.Enumerate(directory + "\\" + tooLong), IsEmpty());
  EXPECT_THAT(Names(files_.Enumerate(directory + "\\*")), ::testing::Contains(tooLong));
}

}  // namespace
