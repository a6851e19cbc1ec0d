#include "engine/pattern_walk.h"
#include "engine/scan_worker.h"
#include "engine/workspace_sweep.h"
#include "tests/engine/scan_fakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

TEST(ScanWorker, DoesNothingWithoutAWindow) {
  ScanWorker(nullptr);
  ScanWorker(nullptr, ScanStrategy::EnumeratePerPattern);
}

TEST(ScanWorker, SweepsThenAssemblesThePatternsThenWalks) {
  FakeScanWindow window;
  window.files.AddFile("C:\\s\\w.dsw");
  window.files.AddFile("C:\\s\\w.res");
  window.files.AddFile("C:\\s\\~$a.doc");
  window.directory = "C:\\s";
  window.ticked = {TargetBox::Vc6, TargetBox::Custom, TargetBox::Word};
  window.customTargets = {"~$*.doc"};

  ScanWorker(&window);

  const Texts expected = {
      "redraw 0", "caption 正在查询...", "bar 0", "show", "directory", "box 1004",
      "status C:\\s", "row 1 C:\\s\\w.res",
      "box 1012", "copy custom", "box 1013", "box 1014", "box 1015",
      "row 2 C:\\s\\~$a.doc",  // the user's own pattern comes before the Word box's
      "row 3 C:\\s\\~$a.doc",
      "status C:\\s", "hide", "redraw 1",
  };
  EXPECT_EQ(window.log, expected);
}

TEST(ScanWorker, TakesTheBoxesAndListsAsTheyAreOnceTheSweepIsDone) {
  FakeScanWindow window;
  window.files.AddFile("C:\\t\\Thumbs.db");
  window.files.AddFile("C:\\t\\~$b.doc");
  window.files.AddFile("C:\\t\\a.tmp");
  window.files.AddFile("C:\\t\\a.bak");
  window.directory = "C:\\t";
  window.ticked = {TargetBox::Vc6, TargetBox::Word, TargetBox::Custom, TargetBox::Quick};
  window.customTargets = {"*.tmp"};
  window.progress.onStatus = [&window](const std::string&) {
    window.ticked.erase(TargetBox::Word);
    window.ticked.insert(TargetBox::Thumbs);
    window.customTargets = {"*.bak"};
  };
  ScanWorker(&window);
  EXPECT_EQ(window.results.Paths(), (Texts{"C:\\t\\a.bak", "C:\\t\\Thumbs.db"}));
}

TEST(ScanWorker, WalksEveryDirectoryWhenNoBoxIsTicked) {
  FakeScanWindow window;
  window.files.AddFile("C:\\u\\a.tmp");
  window.files.AddDirectory("C:\\u\\v\\w");
  window.directory = "C:\\u";
  window.ticked = {TargetBox::Quick};  // with an empty quick-search list
  ScanWorker(&window);
  EXPECT_TRUE(window.results.rows.empty());
  EXPECT_EQ(window.progress.StatusTexts(), (Texts{"C:\\u", "C:\\u\\v", "C:\\u\\v\\w"}));
  for (const std::string& search : window.files.Searches()) {
    EXPECT_EQ(search.substr(search.size() - 3), "*.*") << search;
  }
}

// A scan after a cancelled one runs, since showing the window clears the flag; a cancel during
// the sweep still lets the pattern walk add the root's own rows, and no more.
TEST(ScanWorker, ACancelDuringTheSweepLeavesTheWalkOnlyTheRoot) {
  for (ScanStrategy strategy : {ScanStrategy::SharedListing, ScanStrategy::EnumeratePerPattern}) {
    FakeScanWindow window;
    window.files.AddFile("C:\\k\\a\\x.tmp");
    window.files.AddFile("C:\\k\\b\\y.tmp");
    window.files.AddFile("C:\\k\\r.tmp");
    window.directory = "C:\\k\\";
    window.ticked = {TargetBox::Vc6, TargetBox::Custom};
    window.customTargets = {"*.tmp"};
    window.progress.cancelFlag = true;
    window.progress.cancelOnStatus = "C:\\k\\a";
    ScanWorker(&window, strategy);
    EXPECT_EQ(window.results.Paths(), (Texts{"C:\\k\\r.tmp"}));
    EXPECT_EQ(window.progress.StatusTexts(), (Texts{"C:\\k\\", "C:\\k\\a", "C:\\k\\"}));
    EXPECT_EQ(window.log.back(), "redraw 1");
  }
}

TEST(ScanWorker, ShowsAndHidesTheProgressForARootThatDoesNotExist) {
  FakeScanWindow window;
  window.directory = "C:\\nowhere";
  window.ticked = {TargetBox::Vc6, TargetBox::Word, TargetBox::Thumbs};
  ScanWorker(&window);
  EXPECT_TRUE(window.results.rows.empty());
  EXPECT_NE(std::find(window.log.begin(), window.log.end(), "show"), window.log.end());
  EXPECT_EQ(window.log.back(), "redraw 1");
  EXPECT_EQ(window.log[window.log.size() - 2], "hide");
}

class FailingFiles : public FileEnumeration {
 public:
  std::vector<FoundEntry> Enumerate(const std::string&) override { throw std::bad_alloc(); }
};

class WindowWithFailingFiles : public FakeScanWindow {
 public:
  FileEnumeration& Files() override { return failing; }
  FailingFiles failing;
};

// Nothing may escape a thread's body; the windows still go back to idle.
TEST(ScanWorker, AFailureInTheWalkStillHidesTheProgressAndRedraws) {
  WindowWithFailingFiles window;
  window.directory = "C:\\";
  EXPECT_NO_THROW(ScanWorker(&window));
  EXPECT_EQ(window.log.back(), "redraw 1");
  EXPECT_EQ(window.log[window.log.size() - 2], "hide");
}

}  // namespace
