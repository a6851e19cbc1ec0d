// Whole scans (the engine's ScanWorker with the real file enumeration) over real trees.
#include "engine/scan_worker.h"
#include "engine/win32/utf.h"
#include "engine/win32/win32_file_enumeration.h"
#include "tests/win32/memory_scan_window.h"
#include "tests/win32/temp_tree.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAreArray;

const std::set<TargetBox> kAllBoxes = {TargetBox::Vc6, TargetBox::Custom, TargetBox::Quick,
                                       TargetBox::Word, TargetBox::Thumbs};

std::vector<std::string> Numbers(std::size_t count) {
  std::vector<std::string> numbers;
  for (std::size_t i = 1; i <= count; ++i) numbers.push_back(std::to_string(i));
  return numbers;
}

// The sweep and then the pattern walk each show every directory they enter, in the same order.
std::vector<std::string> ShownTwice(std::vector<std::string> directories) {
  const std::size_t count = directories.size();
  for (std::size_t i = 0; i < count; ++i) directories.push_back(directories[i]);
  return directories;
}

// Sets the process's current directory for one test and puts the old one back.
class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::string& path) {
    wchar_t old[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, old);
    old_ = old;
    SetCurrentDirectoryW(Widen(path).c_str());
  }
  ~CurrentDirectory() { SetCurrentDirectoryW(old_.c_str()); }
  CurrentDirectory(const CurrentDirectory&) = delete;
  CurrentDirectory& operator=(const CurrentDirectory&) = delete;

 private:
  std::wstring old_;
};

class Win32ScanTest : public ::testing::Test {
 protected:
  // Scans the root with every box ticked: "*.tmp" as the user's own pattern, "*.txt" as the
  // quick search.
  void Scan(const std::string& root) {
    window_.directory = root;
    window_.ticked = kAllBoxes;
    window_.customTargets = {"*.tmp"};
    window_.quickSearch = {"*.txt"};
    window_.Scan();
  }

  TempTree tree_{"scan"};
  Win32FileEnumeration files_;
  MemoryScanWindow window_{files_};
};

TEST_F(Win32ScanTest, FindsNamesInAnyScriptWithExactRowPaths) {
  for (const char* file : {"报告.tmp", "~$草稿.doc", "新建文件夹\\Thumbs.db", "新建文件夹\\说明.txt",
                           "Ελληνικά\\αρχείο.tmp", "Ελληνικά\\~$ΈΓΓΡΑΦΟ.doc", "café\\crème.txt",
                           "😀\\x.tmp", "新建文件夹\\other.doc"}) {
    tree_.MakeFile(file);
  }
  Scan(tree_.Root());

  const std::string r = tree_.Root();
  EXPECT_THAT(window_.paths,
              UnorderedElementsAreArray({r + "\\报告.tmp", r + "\\~$草稿.doc",
                                         r + "\\新建文件夹\\Thumbs.db", r + "\\新建文件夹\\说明.txt",
                                         r + "\\Ελληνικά\\αρχείο.tmp",
                                         r + "\\Ελληνικά\\~$ΈΓΓΡΑΦΟ.doc", r + "\\café\\crème.txt",
                                         r + "\\😀\\x.tmp"}));
  EXPECT_EQ(window_.numbers, Numbers(8));
  EXPECT_THAT(window_.statusTexts,
              UnorderedElementsAreArray(ShownTwice({r, r + "\\新建文件夹", r + "\\Ελληνικά",
                                                    r + "\\café", r + "\\😀"})));
}

TEST_F(Win32ScanTest, ListsHiddenAndSystemFilesAndEntersHiddenAndSystemDirectories) {
  tree_.MakeFile("hidden.tmp", FILE_ATTRIBUTE_HIDDEN);
  tree_.MakeFile("system.tmp", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
  tree_.MakeDirectory("cache", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  tree_.MakeFile("cache\\Thumbs.db", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  Scan(tree_.Root());

  EXPECT_THAT(window_.paths, UnorderedElementsAreArray({tree_.Path("hidden.tmp"),
                                                        tree_.Path("system.tmp"),
                                                        tree_.Path("cache\\Thumbs.db")}));
}

// A relative root is resolved by the file system against the current directory; the rows keep
// the root's text as typed.
TEST_F(Win32ScanTest, KeepsARelativeRootAsTyped) {
  tree_.MakeFile("work\\a.tmp");
  tree_.MakeFile("work\\sub\\b.txt");
  const CurrentDirectory inTree(tree_.Root());

  Scan("work");
  EXPECT_THAT(window_.paths, ElementsAre("work\\a.tmp", "work\\sub\\b.txt"));
  EXPECT_THAT(window_.statusTexts, ElementsAreArray(ShownTwice({"work", "work\\sub"})));
}

TEST_F(Win32ScanTest, EndsQuietlyForARootThatDoesNotExist) {
  Scan(tree_.Path("missing"));
  EXPECT_THAT(window_.paths, IsEmpty());
  EXPECT_THAT(window_.statusTexts, ElementsAreArray(ShownTwice({tree_.Path("missing")})));
}

// Blanks are no directory name Windows accepts; whatever the file system makes of "   \*.*",
// every row must begin with the root as typed.
TEST_F(Win32ScanTest, UsesARootOfBlanksAsTyped) {
  tree_.MakeFile("a.tmp");
  const CurrentDirectory inTree(tree_.Root());

  Scan("   ");
  for (const std::string& path : window_.paths) EXPECT_EQ(path.rfind("   \\", 0), 0u) << path;
  EXPECT_EQ(window_.statusTexts.front(), "   ");
}

// The link tree is made natively by the ctest fixture (scripts/link-tree): real\deeper\cycle
// leads back to real, real\outside leads out of it.
TEST_F(Win32ScanTest, DoesNotFollowDirectoryLinks) {
  const std::string real = TestTreeBase() + "\\links\\real";
  const std::vector<FoundEntry> deeper = files_.Enumerate(real + "\\deeper\\*");
  const auto cycle = std::find_if(deeper.begin(), deeper.end(),
                                  [](const FoundEntry& entry) { return entry.name == "cycle"; });
  if (cycle == deeper.end()) GTEST_SKIP() << "no link tree; ctest makes it (scripts/link-tree)";
  ASSERT_TRUE(cycle->isDirectory && cycle->isReparsePoint);

  Scan(real);
  EXPECT_THAT(window_.paths, ElementsAre(real + "\\a.tmp", real + "\\deeper\\b.tmp"));
  EXPECT_THAT(window_.statusTexts, ElementsAreArray(ShownTwice({real, real + "\\deeper"})));
}

}  // namespace
