#include "engine/scan_worker.h"
#include "tests/engine/scan_fakes.h"

#include <gtest/gtest.h>

#include <new>
#include <string>

namespace {

TEST(ScanWorker, SweepsThenAssemblesThePatternsThenWalks) {
  FakeScanWindow window;
  for (const char* file : {"w.dsw", "w.res", "~$a.doc"}) {
    window.files.AddFile(std::string("C:\\s\\") + file);
  }
  window.directory = "C:\\s";
  window.ticked = {TargetBox::Vc6, TargetBox::Custom, TargetBox::Word};
  window.customTargets = {"~$*.doc"};
  ScanWorker(&window);
  const Texts expected = {
      "redraw 0", "caption 正在查询...", "bar 0", "show", "box 1004",
      "status C:\\s", "row 1 C:\\s\\w.res",
      "box 1012", "box 1013", "box 1014", "box 1015",
      "row 2 C:\\s\\~$a.doc",  // the user's own pattern comes before the Word box's
      "row 3 C:\\s\\~$a.doc",
      "status C:\\s", "hide", "redraw 1",
  };
  EXPECT_EQ(window.log, expected);
}

class WindowWithFailingFiles : public FakeScanWindow, public FileEnumeration {
 public:
  FileEnumeration& Files() override { return *this; }
  std::vector<FoundEntry> Enumerate(const std::string&) override { throw std::bad_alloc(); }
};

// Nothing may escape a thread's body; the windows still go back to idle.
TEST(ScanWorker, AFailureInTheWalkStillHidesTheProgressAndRedraws) {
  ScanWorker(nullptr);
  WindowWithFailingFiles window;
  window.directory = "C:\\";
  EXPECT_NO_THROW(ScanWorker(&window));
  EXPECT_EQ(window.log.back(), "redraw 1");
  EXPECT_EQ(window.log[window.log.size() - 2], "hide");
}

}  // namespace
