#include "engine/pattern_walk.h"
#include "engine/workspace_sweep.h"
#include "tests/engine/scan_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

class WorkspaceSweep : public ScanStrategyTest {
 protected:
  void Sweep(const std::string& root) { SweepBuildWorkspaces(reader, results, progress, root); }

  // Workspaces nested in each other, beside plain directories, with by-products where the
  // sweep must find them and where it must not.
  void AddProjectTree() {
    fs.AddFile("C:\\p\\root.dsw");
    fs.AddFile("C:\\p\\root.res");
    fs.AddFile("C:\\p\\root.obj");                // a workspace directory's own .obj is kept
    fs.AddFile("C:\\p\\Debug\\a.obj");
    fs.AddFile("C:\\p\\Debug\\a.res");
    fs.AddFile("C:\\p\\Debug\\sub\\deep.obj");    // below a build directory: not searched
    fs.AddFile("C:\\p\\inner\\in.dsw");
    fs.AddFile("C:\\p\\inner\\in.ncb");
    fs.AddFile("C:\\p\\inner\\Release\\in.pdb");
    fs.AddFile("C:\\p\\plain\\x.obj");             // no workspace here
    fs.AddFile("C:\\p\\two\\a.dsw");
    fs.AddFile("C:\\p\\two\\b.dsw");
    fs.AddFile("C:\\p\\two\\two.aps");
  }
};

TEST_P(WorkspaceSweep, AddsByProductsPostOrderWithTheRootsWorkspaceLast) {
  AddProjectTree();
  Sweep("C:\\p");
  const Texts rows = {
      "C:\\p\\inner\\in.ncb", "C:\\p\\inner\\Release\\in.pdb", "C:\\p\\two\\two.aps",
      "C:\\p\\root.res",      "C:\\p\\Debug\\a.obj",           "C:\\p\\Debug\\a.res",
  };
  EXPECT_EQ(results.Paths(), rows);
  EXPECT_EQ(results.rows.back().number, "6");
  const Texts status = {"C:\\p",       "C:\\p\\Debug",          "C:\\p\\Debug\\sub",
                        "C:\\p\\inner", "C:\\p\\inner\\Release", "C:\\p\\plain",
                        "C:\\p\\two"};
  EXPECT_EQ(progress.StatusTexts(), status);
}

TEST_P(WorkspaceSweep, SearchesTheBuildDirectoriesBesideARootWithATrailingSeparator) {
  fs.AddFile("C:\\p\\w.dsw");
  fs.AddFile("C:\\p\\ReleaseU\\d.obj");
  fs.AddFile("C:\\p\\Release\\c.obj");
  fs.AddFile("C:\\p\\DebugU\\b.obj");
  fs.AddFile("C:\\p\\Debug\\a.obj");
  Sweep("C:\\p\\");
  const Texts rows = {"C:\\p\\Debug\\a.obj", "C:\\p\\DebugU\\b.obj", "C:\\p\\Release\\c.obj",
                      "C:\\p\\ReleaseU\\d.obj"};
  EXPECT_EQ(results.Paths(), rows);
  const Texts& searches = fs.Searches();
  for (const char* build : {"Debug", "DebugU", "Release", "ReleaseU"}) {
    const std::string search = std::string("C:\\p\\") + build + "\\*.obj";
    EXPECT_NE(std::find(searches.begin(), searches.end(), search), searches.end()) << search;
  }
}

TEST_P(WorkspaceSweep, TestsABuildDirectoryForAWorkspaceOfItsOwn) {
  fs.AddFile("C:\\d\\w.dsw");
  fs.AddFile("C:\\d\\Debug\\nested.dsw");
  fs.AddFile("C:\\d\\Debug\\x.res");
  fs.AddFile("C:\\d\\Debug\\Debug\\y.obj");
  Sweep("C:\\d");
  const Texts rows = {
      "C:\\d\\Debug\\x.res", "C:\\d\\Debug\\Debug\\y.obj",  // Debug's own workspace, first
      "C:\\d\\Debug\\x.res",                                 // then as the build directory of w
  };
  EXPECT_EQ(results.Paths(), rows);
}

// A cancel seen before a subdirectory skips that directory's own workspace test, but a
// directory whose last subdirectory was entered before the cancel still makes its test.
TEST_P(WorkspaceSweep, ACancelSkipsTheWorkspaceTestsOfDirectoriesThatSeeIt) {
  fs.AddFile("C:\\c\\w.dsw");
  fs.AddFile("C:\\c\\w.res");
  fs.AddFile("C:\\c\\a\\a.dsw");
  fs.AddFile("C:\\c\\a\\a.res");
  fs.AddDirectory("C:\\c\\a\\x");
  fs.AddFile("C:\\c\\b\\b.dsw");
  fs.AddFile("C:\\c\\b\\b.res");
  progress.cancelOnStatus = "C:\\c\\a\\x";
  Sweep("C:\\c");
  EXPECT_EQ(results.Paths(), (Texts{"C:\\c\\a\\a.res"}));
  EXPECT_EQ(progress.StatusTexts(), (Texts{"C:\\c", "C:\\c\\a", "C:\\c\\a\\x"}));
}

TEST_P(WorkspaceSweep, NeitherEntersNorListsReparsePoints) {
  fs.AddDirectory("C:\\j\\loop");
  fs.AddLink("C:\\j\\back", "C:\\j");
  fs.AddLink("C:\\j\\out", "C:\\other");
  fs.AddFile("C:\\other\\o.dsw");
  fs.AddFile("C:\\other\\o.res");
  Sweep("C:\\j");
  EXPECT_TRUE(results.rows.empty());
  EXPECT_EQ(progress.StatusTexts(), (Texts{"C:\\j", "C:\\j\\loop"}));
}

TEST_P(WorkspaceSweep, CountsItsOwnPausesApartFromThePatternWalk) {
  for (int i = 1; i < 30; ++i) fs.AddDirectory("C:\\y\\d" + std::to_string(i));
  SweepYieldCounter = 0;
  PatternYieldCounter = 0;
  Sweep("C:\\y");
  Sweep("C:\\y");
  EXPECT_EQ(SweepYieldCounter, 9);
  EXPECT_EQ(PatternYieldCounter, 0);
}

INSTANTIATE_FOR_BOTH_STRATEGIES(WorkspaceSweep);

TEST(WorkspaceSweepSharedListing, SearchesOnlyBuildDirectoriesTheWorkspaceMayHold) {
  EventLog log;
  FakeFileSystem fs;
  FakeResultList results(log);
  FakeProgress progress(log);
  DirectoryReader reader(fs, ScanStrategy::SharedListing);
  fs.AddFile("C:\\w\\w.dsw");
  fs.AddFile("C:\\w\\DEBUG\\a.obj");   // found whatever its letter case
  fs.AddFile("C:\\w\\ReleaseU.txt");   // a file of that name is no directory
  SweepBuildWorkspaces(reader, results, progress, "C:\\w");
  EXPECT_EQ(results.Paths(), (Texts{"C:\\w\\Debug\\a.obj"}));
  for (const std::string& search : fs.Searches()) {
    EXPECT_EQ(search.find("Release"), std::string::npos) << search;
    EXPECT_EQ(search.find("DebugU"), std::string::npos) << search;
  }
}

}  // namespace
