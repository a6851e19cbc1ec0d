#include "tests/engine/fake_file_system.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Names(const std::vector<FoundEntry>& entries) {
  std::vector<std::string> names;
  for (const FoundEntry& entry : entries) names.push_back(entry.name);
  return names;
}

using Names_ = std::vector<std::string>;

// The scan's results are only as good as this model of the file system, so its rules are pinned.
TEST(FakeFileSystem, FollowsTheEnumerationRulesTheScanReliesOn) {
  FakeFileSystem fs;
  fs.AddFile("C:\\w\\a.tmp");
  fs.AddFile("C:\\w\\x.tmpl", "X~~~~SKX.TMP");
  fs.AddFile("C:\\w\\README");
  fs.AddDirectory("C:\\w\\sub");
  fs.AddFile("C:\\top.txt");
  fs.SetCurrentDirectory("C:\\w");

  struct Case {
    const char* specification;
    Names_ names;
  } const cases[] = {
      {"C:\\w\\*.*", {".", "..", "a.tmp", "x.tmpl", "README", "sub"}},
      {"C:\\w\\*.TMP", {"a.tmp", "x.tmpl"}},  // x.tmpl through its short name
      {"C:\\w\\README.", {"README"}},
      {"C:\\w\\?.tmp", {"a.tmp"}},
      {"C:\\w\\", {}},
      {"C:\\missing\\*.*", {}},
      {"C:\\\\w//\\a.tmp", {"a.tmp"}},
      {"C:*.txt", {"top.txt"}},
      {"C:\\*.*", {"w", "top.txt"}},  // a drive root has no "." and ".."
      {"*.tmp", {"a.tmp", "x.tmpl"}},
      {"sub\\..\\README", {"README"}},
      {"\\top.txt", {"top.txt"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Names(fs.Enumerate(c.specification)), c.names) << c.specification;
  }
}

TEST(FakeFileSystem, YieldsNothingBeyondTheWin32PathLimit) {
  FakeFileSystem fs;
  const std::string directory = "C:\\" + std::string(250, 'd');  // 253 units
  fs.AddFile(directory + "\\abcde");
  EXPECT_EQ(Names(fs.Enumerate(directory + "\\abcde")), Names_{"abcde"});  // 259 units
  EXPECT_EQ(Names(fs.Enumerate(directory + "\\abcde*")), Names_{});      // 260 units
}

TEST(FakeFileSystem, ShowsLinksAsReparsePointsLeadingToTheirTarget) {
  FakeFileSystem fs;
  fs.AddFile("C:\\target\\f.txt");
  fs.AddLink("C:\\w\\link", "C:\\target");
  const std::vector<FoundEntry> entries = fs.Enumerate("C:\\w\\*.*");
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_TRUE(entries[2].isDirectory);
  EXPECT_TRUE(entries[2].isReparsePoint);
  EXPECT_EQ(Names(fs.Enumerate("C:\\w\\link\\*.txt")), Names_{"f.txt"});
}

}  // namespace
