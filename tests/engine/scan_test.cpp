#include "engine/pattern_walk.h"
#include "engine/scan_worker.h"
#include "engine/workspace_sweep.h"
#include "tests/engine/engine_fakes.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// The walks run under both strategies: they must not differ in anything observable.
class Walks : public ::testing::TestWithParam<ScanStrategy> {
 protected:
  void Walk(const std::string& root, const TargetPatternList& patterns) {
    DirectoryReader reader(fs, GetParam());
    WalkPatterns(reader, w, w, root, patterns);
  }
  void Sweep(const std::string& root) {
    DirectoryReader reader(fs, GetParam());
    SweepBuildWorkspaces(reader, w, w, root);
  }
  void AddFiles(const std::string& directory, std::initializer_list<const char*> files) {
    for (const char* file : files) fs.AddFile(directory + "\\" + file);
  }
  WorkerLog w;
  FakeFileSystem fs;
};

INSTANTIATE_TEST_SUITE_P(, Walks, ::testing::Values(ScanStrategy::SharedListing, ScanStrategy::EnumeratePerPattern));

// A file gets one row per pattern that matches it, its short name included, with the size the
// listing gave; a directory gets none;
// a directory's status text follows its rows, a cancel is tested before each subdirectory.
TEST_P(Walks, PatternWalkAddsRowsInPreOrderNumberedOnFromTheRowsAlreadyThere) {
  AddFiles("C:\\d", {"a.tmp", "sub1\\c.tmp", "b.log", "sub1\\deep\\d.log", "z.tmp"});
  fs.AddFile("C:\\d\\x.tmpl", "X~~~~SKX.TMP", 70000);
  fs.AddDirectory("C:\\d\\dir.log");
  w.paths = {"earlier", "another"};
  Walk("C:\\d", {"*.tmp", "*.log", "a.*"});
  EXPECT_EQ(w.log, (Texts{"row 3 C:\\d\\a.tmp", "row 4 C:\\d\\z.tmp", "row 5 C:\\d\\x.tmpl 70000", "row 6 C:\\d\\b.log",
                          "row 7 C:\\d\\a.tmp", "status C:\\d", "cancel?", "row 8 C:\\d\\sub1\\c.tmp",
                          "status C:\\d\\sub1", "cancel?", "row 9 C:\\d\\sub1\\deep\\d.log", "status C:\\d\\sub1\\deep",
                          "cancel?", "status C:\\d\\dir.log"}));
}

// Paths are built on the root as typed, the pattern's directory part named as listed; the part is
// searched through, but never a junction or link (they lead outside the tree or round a cycle).
TEST_P(Walks, PatternWalkSearchesThroughThePatternsDirectoryPartButNoReparsePoint) {
  AddFiles("C:", {"a.tmp", "w\\Temp\\a.tmp", "w\\b.tmp", "w\\Temp\\Sub\\c.tmp", "far\\x.tmp"});
  for (const char* link : {"C:\\w\\Out", "C:\\w\\Temp\\Out2", "C:\\w\\OutLoop"}) fs.AddLink(link);
  const Texts inW = {"C:\\w\\b.tmp", "C:\\w\\Temp\\a.tmp", "C:\\w\\Temp\\Sub\\c.tmp"};
  const struct { std::string root; TargetPattern pattern; Texts rows, status = {}; } cases[] = {  // status if given
      {"C:\\w", "*.tmp", inW, {"C:\\w", "C:\\w\\Temp", "C:\\w\\Temp\\Sub"}},
      {"C:\\w\\", "*.tmp", inW, {"C:\\w\\", "C:\\w\\Temp", "C:\\w\\Temp\\Sub"}},
      {"C:\\w\\\\", "*.tmp", inW, {"C:\\w\\\\", "C:\\w\\Temp", "C:\\w\\Temp\\Sub"}},
      {"C:", "*.tmp", {"C:\\a.tmp", inW[0], inW[1], inW[2], "C:\\far\\x.tmp"},
       {"C:", "C:\\w", "C:\\w\\Temp", "C:\\w\\Temp\\Sub", "C:\\far"}},
      {"C:\\w", "Temp\\*.tmp", {"C:\\w\\Temp\\a.tmp"}},  // C:\w\Temp\Temp holds nothing: once only
      {"C:\\w", "\\Temp\\*.tmp", {"C:\\w\\Temp\\a.tmp"}},
      {"C:\\w", "TEMP/*.tmp", {"C:\\w\\Temp\\a.tmp"}},  // named as listed: the removal compares names exactly
      {"C:\\w", ".\\temp\\Sub\\..\\SUB\\.\\*.tmp", {"C:\\w\\Temp\\Sub\\c.tmp"}},
      // Neither a drive, nor an empty pattern, nor a directory part alone ever matches.
      {"C:\\w", "C:\\w\\*.tmp", {}}, {"C:\\w", "C:*.tmp", {}}, {"C:\\w", "", {}}, {"C:\\w", "Temp\\", {}},
      {"C:\\w", "Out\\*.tmp", {}}, {"C:\\w", "Temp\\Out2\\*.tmp", {}}, {"C:\\w", "Temp\\..\\Out\\*.tmp", {}},
      {"C:\\w", "..\\far\\*.tmp", {"C:\\w\\..\\far\\x.tmp"}},  // climbing out is the pattern's choice
  };
  for (const auto& c : cases) {
    w.log.clear(), w.paths.clear(), w.statuses.clear(), fs.searches.clear();
    Walk(c.root, {c.pattern});
    EXPECT_EQ(w.paths, c.rows) << c.root << " " << c.pattern;
    if (!c.status.empty()) { EXPECT_EQ(w.statuses, c.status) << c.root; }
    for (const std::string& search : fs.searches) EXPECT_EQ(search.find("Out"), std::string::npos) << search;
  }
}

// A failed append ends only that pattern in that directory; numbers go on from the rows that
// exist. A directory whose "*.*" search is too long is still searched for a shorter pattern.
TEST_P(Walks, PatternWalkSurvivesAFailedAppendAndAListingTooLong) {
  AddFiles("C:\\q", {"a.tmp", "b.tmp", "c.tmp", "d.log", "sub\\e.tmp"});
  w.failingAppend = 1;
  Walk("C:\\q", {"*.tmp", "*.log"});
  EXPECT_EQ(w.paths, (Texts{"C:\\q\\a.tmp", "C:\\q\\d.log", "C:\\q\\sub\\e.tmp"}));
  EXPECT_EQ(w.numbers, (Texts{"1", "2", "3"}));
  const std::string directory = "C:\\" + std::string(253, 'd');  // 256 characters
  fs.AddFile(directory + "\\a");
  Walk(directory, {"a", "a*.*"});  // the second search is too long itself
  EXPECT_EQ(w.paths.back(), directory + "\\a");
}

// The directory at hand gets the rows of all its patterns; no further directory is entered.
TEST_P(Walks, PatternWalkCancelledCompletesTheDirectoryAtHandAndEntersNoOther) {
  AddFiles("C:\\r", {"a\\x.tmp", "a\\x.txt", "a\\b\\y.tmp", "c\\z.tmp"});
  w.onEvent = [this](const std::string& entry) { w.cancelFlag |= entry == "row 1 C:\\r\\a\\x.tmp"; };
  Walk("C:\\r", {"*.tmp", "*.txt"});
  EXPECT_EQ(w.paths, (Texts{"C:\\r\\a\\x.tmp", "C:\\r\\a\\x.txt"}));
  EXPECT_EQ(w.statuses, (Texts{"C:\\r", "C:\\r\\a"}));
}

TEST_P(Walks, SweepAddsByProductsPostOrderFromPlainBuildDirectoriesOnly) {
  AddFiles("C:\\p", {"root.dsw", "root.res", "root.obj",  // a workspace's own .obj stays
                     "ReleaseU\\d.obj", "Release\\c.obj", "DebugU\\b.obj", "Debug\\a.obj",
                     "Debug\\a.res", "Debug\\sub\\deep.obj",  // one level deep only
                     "Debug\\nested.dsw", "inner\\in.dsw", "inner\\in.ncb", "inner\\Release\\in.pdb",
                     "plain\\x.obj", "two\\a.dsw", "two\\b.dsw", "two\\two.aps", "two\\DEBUG\\e.obj"});
  fs.AddLink("C:\\p\\inner\\Debug");  // a junction: its files lie outside the tree
  fs.AddLink("C:\\p\\Out");
  Sweep("C:\\p\\");
  EXPECT_EQ(w.paths, (Texts{"C:\\p\\Debug\\a.res", "C:\\p\\inner\\in.ncb", "C:\\p\\inner\\Release\\in.pdb",
                            "C:\\p\\two\\two.aps", "C:\\p\\two\\Debug\\e.obj", "C:\\p\\root.res",
                            "C:\\p\\Debug\\a.obj", "C:\\p\\Debug\\a.res", "C:\\p\\DebugU\\b.obj",
                            "C:\\p\\Release\\c.obj", "C:\\p\\ReleaseU\\d.obj"}));
  EXPECT_EQ(w.statuses, (Texts{"C:\\p\\", "C:\\p\\ReleaseU", "C:\\p\\Release", "C:\\p\\DebugU", "C:\\p\\Debug",
                               "C:\\p\\Debug\\sub", "C:\\p\\inner", "C:\\p\\inner\\Release", "C:\\p\\plain",
                               "C:\\p\\two", "C:\\p\\two\\DEBUG"}));
  for (const std::string& search : fs.searches) {
    EXPECT_TRUE(search.find("inner\\Debug") == std::string::npos && search.find("Out") == std::string::npos)
        << search;
  }
}

// A cancel seen before a subdirectory skips that directory's own workspace test, but a
// directory whose last subdirectory was entered before the cancel still makes its test.
TEST_P(Walks, SweepCancelledSkipsTheWorkspaceTestsOfDirectoriesThatSeeIt) {
  AddFiles("C:\\c", {"w.dsw", "w.res", "a\\a.dsw", "a\\a.res", "b\\b.dsw", "b\\b.res"});
  fs.AddDirectory("C:\\c\\a\\x");
  w.onEvent = [this](const std::string& entry) { w.cancelFlag |= entry == "status C:\\c\\a\\x"; };
  Sweep("C:\\c");
  EXPECT_EQ(w.paths, (Texts{"C:\\c\\a\\a.res"}));
  EXPECT_EQ(w.statuses, (Texts{"C:\\c", "C:\\c\\a", "C:\\c\\a\\x"}));
}

// The sweep's rows come first; the pattern request is read only after the sweep, and its
// patterns are searched own patterns first (in list order), then the quick search, Word and
// Thumbs.db; a pattern listed twice is searched twice. The two walks list each directory once.
// Nothing escapes the thread's body: after a failure the progress and the list go back to idle.
TEST(ScanWorker, SweepsThenReadsThePatternsThenWalks) {
  FakeFileSystem fs;
  WorkerLog w;
  for (const char* file : {"w.dsw", "w.res", "f.c", "f.b", "~$a.doc", "Thumbs.db", "s\\x.b"}) {
    fs.AddFile(std::string("C:\\s\\") + file);
  }
  const PatternRequest request{true, true, true, true, {"*.b", "~$*.doc"}, {"*.c"}};
  ScanJob job{"C:\\s", true, [&] { return w.log.push_back("patterns read"), request; }, fs, w, w};
  ScanWorker(&job);
  EXPECT_EQ(w.log, (Texts{"redraw 0", "caption 正在查询...", "bar 0", "show", "status C:\\s", "cancel?",
                          "status C:\\s\\s", "row 1 C:\\s\\w.res", "patterns read", "row 2 C:\\s\\f.b",
                          "row 3 C:\\s\\~$a.doc", "row 4 C:\\s\\f.c", "row 5 C:\\s\\~$a.doc", "row 6 C:\\s\\Thumbs.db",
                          "status C:\\s", "cancel?", "row 7 C:\\s\\s\\x.b", "status C:\\s\\s", "hide", "redraw 1"}));
  Texts listings;
  for (const std::string& search : fs.searches) {
    if (search.size() > 3 && search.compare(search.size() - 3, 3, "*.*") == 0) listings.push_back(search);
  }
  EXPECT_EQ(std::set<std::string>(listings.begin(), listings.end()).size(), listings.size());
  ScanWorker(nullptr);
  fs.failing = true;
  ScanJob failed{"C:\\", false, nullptr, fs, w, w};
  EXPECT_NO_THROW(ScanWorker(&failed));
  EXPECT_EQ(w.log.back() + " " + w.log[w.log.size() - 2], "redraw 1 hide");
}

// The scan records its root's identity, and, once the patterns are read, that of each directory
// above it that a pattern's ".." steps reach (above the drive's root is the root again); one it
// cannot identify is left out.
TEST(ScanWorker, RecordsTheDirectoriesItsRowsHangFrom) {
  FakeFileSystem fs;
  WorkerLog w;
  fs.AddFile("C:\\a\\b\\c\\x.tmp");  // a is 1, b 2
  const struct { std::string root; TargetPatternList patterns; Texts anchors; } cases[] = {
      {"C:\\a\\b\\\\", {"*.tmp", "c\\*.tmp", "C:..\\*.tmp"}, {"C:\\a\\b\\ 2"}},
      {"C:\\a\\b", {"c\\..\\..\\*.tmp", "./../c/*.tmp"}, {"C:\\a\\b\\ 2", "C:\\a\\b\\..\\ 1"}},
      {"C:\\a", {"..\\..\\*.tmp"}, {"C:\\a\\ 1", "C:\\a\\..\\ 0", "C:\\a\\..\\..\\ 0"}},
      {"C:\\gone", {"..\\*.tmp"}, {"C:\\gone\\..\\ 0"}},
  };
  for (const auto& test : cases) {
    const PatternRequest request{false, true, false, false, {}, test.patterns};
    ScanAnchors anchors = {{"earlier", {}}};
    ScanJob job{test.root, false, [&] { return request; }, fs, w, w};
    job.anchors = &anchors;
    ScanWorker(&job);
    Texts recorded;
    for (const auto& [text, identity] : anchors) recorded.push_back(text + " " + std::to_string(identity.file));
    EXPECT_EQ(recorded, test.anchors) << test.root;
  }
}

}  // namespace
