#include "engine/scan_worker.h"
#include "tests/engine/scan_fakes.h"

#include <gtest/gtest.h>

#include <new>
#include <string>

namespace {

// The sweep's rows come first; the pattern request is read only after the sweep, and its
// patterns are searched own patterns first (in list order), then the quick search, Word and
// Thumbs.db. A pattern listed twice is searched twice.
TEST(ScanWorker, SweepsThenReadsThePatternsThenWalks) {
  FakeFileSystem fs;
  ScanLog w;
  for (const char* file : {"w.dsw", "w.res", "f.c", "f.b", "~$a.doc", "Thumbs.db"}) {
    fs.AddFile(std::string("C:\\s\\") + file);
  }
  const PatternRequest request{true, true, true, true, {"*.b", "~$*.doc"}, {"*.c"}};
  ScanJob job{"C:\\s", true, [&] { return w.log.push_back("patterns read"), request; }, fs, w, w};
  ScanWorker(&job);
  const Texts expected = {
      "redraw 0", "caption 正在查询...", "bar 0", "show", "status C:\\s", "row 1 C:\\s\\w.res",
      "patterns read", "row 2 C:\\s\\f.b", "row 3 C:\\s\\~$a.doc", "row 4 C:\\s\\f.c",
      "row 5 C:\\s\\~$a.doc", "row 6 C:\\s\\Thumbs.db", "status C:\\s", "hide", "redraw 1"};
  EXPECT_EQ(w.log, expected);
}

class FailingFiles : public FileEnumeration {
 public:
  std::vector<FoundEntry> Enumerate(const std::string&) override { throw std::bad_alloc(); }
};

// Nothing may escape a thread's body; the progress and the list still go back to idle.
TEST(ScanWorker, AFailureInTheWalkStillHidesTheProgressAndRedraws) {
  ScanWorker(nullptr);
  FailingFiles files;
  ScanLog w;
  ScanJob job{"C:\\", false, nullptr, files, w, w};
  EXPECT_NO_THROW(ScanWorker(&job));
  EXPECT_EQ(w.log.back(), "redraw 1");
  EXPECT_EQ(w.log[w.log.size() - 2], "hide");
}

}  // namespace
