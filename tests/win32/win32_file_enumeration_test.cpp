#include "engine/win32/win32_file_enumeration.h"

#include "engine/win32/utf.h"

#include "tests/win32/temp_tree.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using ::testing::IsEmpty;
using ::testing::UnorderedElementsAreArray;

std::vector<std::string> Names(const std::vector<FoundEntry>& entries) {
  std::vector<std::string> names;
  for (const FoundEntry& entry : entries) names.push_back(entry.name);
  return names;
}

class Win32FileEnumerationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"a.tmp", "ABC.Doc", "~$Brief.doc", "Thumbs.db", "报告.doc", "新建文件夹.tmp",
                             "Ελληνικά.txt", "café.TMP", "😀.txt", "blank "}) {
      tree_.MakeFile(name);
    }
    tree_.MakeFile("hidden.tmp", FILE_ATTRIBUTE_HIDDEN);
    tree_.MakeFile("system.tmp", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN);
    tree_.MakeDirectory("dir.tmp");
    tree_.MakeDirectory("hidden dir", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    // Names that Win32 parsing would take for one another.
    tree_.MakeFile("dir.\\in dotted.tmp");
    tree_.MakeFile("dir\\in plain.tmp");
  }

  std::vector<FoundEntry> Enumerate(const std::string& pattern) {
    return files_.Enumerate(tree_.Root() + "\\" + pattern);
  }

  TempTree tree_{"enumeration"};
  Win32FileEnumeration files_;
};

TEST_F(Win32FileEnumerationTest, ListsEveryEntryWithDotsHiddenAndSystemOnesAndTellsDirectories) {
  std::vector<std::pair<std::string, bool>> entries;
  for (const FoundEntry& entry : Enumerate("*.*")) {
    EXPECT_FALSE(entry.isReparsePoint) << entry.name;
    entries.emplace_back(entry.name, entry.isDirectory);
  }
  EXPECT_THAT(entries, UnorderedElementsAreArray(std::vector<std::pair<std::string, bool>>{
                           {".", true}, {"..", true}, {"a.tmp", false}, {"ABC.Doc", false}, {"~$Brief.doc", false},
                           {"Thumbs.db", false}, {"报告.doc", false}, {"新建文件夹.tmp", false},
                           {"Ελληνικά.txt", false}, {"café.TMP", false}, {"😀.txt", false}, {"blank ", false},
                           {"hidden.tmp", false}, {"system.tmp", false},
                           {"dir.tmp", true}, {"hidden dir", true}, {"dir.", true}, {"dir", true}}));
}

// What the scan relies on the file system for: its wildcards and its case folding, beyond ASCII,
// and a pattern's trailing dots and blanks dropped, as Win32 parsing drops them.
TEST_F(Win32FileEnumerationTest, MatchesWithTheFileSystemsRules) {
  const std::vector<std::pair<const char*, std::vector<std::string>>> cases = {
      {"*.tmp", {"a.tmp", "新建文件夹.tmp", "café.TMP", "hidden.tmp", "system.tmp", "dir.tmp"}},
      {"*.doc", {"ABC.Doc", "~$Brief.doc", "报告.doc"}},
      {"~$*.doc", {"~$Brief.doc"}},
      {"thumbs.DB", {"Thumbs.db"}},
      {"?.tmp", {"a.tmp"}},
      {"报*", {"报告.doc"}},
      {"ελληνικά.TXT", {"Ελληνικά.txt"}},  // case folded outside ASCII
      {"CAFÉ.tmp", {"café.TMP"}},
      {"😀.*", {"😀.txt"}},
      {"*.none", {}},
      {"a.tmp. .", {"a.tmp"}},
      {"blank ", {}},
      {"blank*", {"blank "}},
  };
  for (const auto& test : cases) {
    EXPECT_THAT(Names(Enumerate(test.first)), UnorderedElementsAreArray(test.second)) << test.first;
  }
}

// Wine and most Windows system volumes keep 8.3 aliases; other volumes may not.
TEST_F(Win32FileEnumerationTest, MatchesShortNamesWhereTheFileSystemKeepsThem) {
  tree_.MakeFile("x.tmpl");
  tree_.MakeFile("b.docx");
  std::string plainAlias = "none listed";
  std::string alias;
  for (const FoundEntry& entry : Enumerate("*.*")) {
    if (entry.name == "a.tmp") plainAlias = entry.shortName;
    if (entry.name == "x.tmpl") alias = entry.shortName;
  }
  EXPECT_EQ(plainAlias, "") << "an 8.3 name needs no alias";
  if (alias.empty()) GTEST_SKIP() << "no short names here";
  EXPECT_THAT(Names(Enumerate("*.tmp")), ::testing::Contains("x.tmpl"));
  EXPECT_THAT(Names(Enumerate("*.doc")), ::testing::Contains("b.docx"));
  EXPECT_THAT(Names(Enumerate(alias)), UnorderedElementsAreArray({"x.tmpl"}));
}

// The directory part is searched as written: a trailing dot or blank is part of a name, "/"
// separates, "." and ".." step as Win32 steps, and the length is the file system's limit.
TEST_F(Win32FileEnumerationTest, SearchesTheDirectoryExactly) {
  const std::string deep = std::string(100, 'd') + "\\" + std::string(100, 'e') + "\\" + std::string(100, 'f');
  tree_.MakeFile(deep + "\\deep.tmp");
  const std::string root = tree_.Root();
  const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
      {root + "\\dir.\\*.tmp", {"in dotted.tmp"}},
      {root + "\\dir\\*.tmp", {"in plain.tmp"}},
      {root + "/dir./*", {".", "..", "in dotted.tmp"}},
      {root + "\\dir\\..\\.\\dir.\\*.tmp", {"in dotted.tmp"}},
      {root + "\\" + deep + "\\*.tmp", {"deep.tmp"}},
      {root + "\\" + deep + "\\..\\..\\..\\dir.tmp", {"dir.tmp"}},
  };
  for (const auto& test : cases) {
    EXPECT_THAT(Names(files_.Enumerate(test.first)), UnorderedElementsAreArray(test.second)) << test.first;
  }
}

TEST_F(Win32FileEnumerationTest, YieldsNothingForSearchesThatCannotBeMade) {
  const std::string root = tree_.Root();
  for (const std::string& search : {
           root + "\\",                         // ends in a separator
           root + "\\dir.\\",                   // likewise, below
           root + "/",                          // the other separator
           root + "\\. .",                      // a pattern of dots and blanks only
           root + "\\missing\\*.*",             // no such directory
           root + "\\a.tmp\\*.*",               // a file taken for a directory
           std::string(),                       // nothing at all
           root + std::string("\\*\0.tmp", 7),  // a NUL would cut it to "\*"
       }) {
    EXPECT_THAT(files_.Enumerate(search), IsEmpty()) << search;
  }
}

}  // namespace
