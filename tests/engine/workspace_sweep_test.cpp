#include "engine/workspace_sweep.h"
#include "tests/engine/scan_fakes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class WorkspaceSweep : public ScanStrategyTest {
 protected:
  void Sweep(const std::string& root) { SweepBuildWorkspaces(reader, w, w, root); }
};

TEST_P(WorkspaceSweep, AddsByProductsPostOrderFromPlainBuildDirectoriesOnly) {
  for (const char* file : {
           "root.dsw", "root.res", "root.obj",  // a workspace directory's own .obj stays
           "ReleaseU\\d.obj", "Release\\c.obj", "DebugU\\b.obj",
           "Debug\\a.obj", "Debug\\a.res", "Debug\\sub\\deep.obj",  // one level deep only
           "Debug\\nested.dsw",                                   // a workspace itself too
           "inner\\in.dsw", "inner\\in.ncb", "inner\\Release\\in.pdb",
           "plain\\x.obj",                                        // no workspace here
           "two\\a.dsw", "two\\b.dsw", "two\\two.aps", "two\\DEBUG\\e.obj",
       }) {
    fs.AddFile(std::string("C:\\p\\") + file);
  }
  fs.AddLink("C:\\p\\inner\\Debug", "C:\\elsewhere");  // a junction: its files lie outside
  fs.AddFile("C:\\elsewhere\\x.obj");
  fs.AddLink("C:\\p\\out", "C:\\other");
  fs.AddFile("C:\\other\\o.dsw");
  fs.AddFile("C:\\other\\o.res");
  Sweep("C:\\p\\");
  const Texts rows = {
      "C:\\p\\Debug\\a.res",  "C:\\p\\inner\\in.ncb",  "C:\\p\\inner\\Release\\in.pdb",
      "C:\\p\\two\\two.aps",  "C:\\p\\two\\Debug\\e.obj",
      "C:\\p\\root.res",      "C:\\p\\Debug\\a.obj",   "C:\\p\\Debug\\a.res",
      "C:\\p\\DebugU\\b.obj", "C:\\p\\Release\\c.obj", "C:\\p\\ReleaseU\\d.obj",
  };
  EXPECT_EQ(w.paths, rows);
  EXPECT_EQ(w.numbers.back(), "11");
  const Texts status = {"C:\\p\\",         "C:\\p\\ReleaseU",       "C:\\p\\Release",
                        "C:\\p\\DebugU",   "C:\\p\\Debug",          "C:\\p\\Debug\\sub",
                        "C:\\p\\inner",    "C:\\p\\inner\\Release", "C:\\p\\plain",
                        "C:\\p\\two",      "C:\\p\\two\\DEBUG"};
  EXPECT_EQ(w.StatusTexts(), status);
  for (const std::string& search : fs.searches) {
    EXPECT_EQ(search.find("inner\\Debug"), std::string::npos) << search;
  }
}

// A cancel seen before a subdirectory skips that directory's own workspace test, but a
// directory whose last subdirectory was entered before the cancel still makes its test.
TEST_P(WorkspaceSweep, ACancelSkipsTheWorkspaceTestsOfDirectoriesThatSeeIt) {
  for (const char* file : {"w.dsw", "w.res", "a\\a.dsw", "a\\a.res", "b\\b.dsw", "b\\b.res"}) {
    fs.AddFile(std::string("C:\\c\\") + file);
  }
  fs.AddDirectory("C:\\c\\a\\x");
  w.onStatus = [this](const std::string& text) {
    if (text == "C:\\c\\a\\x") w.cancelFlag = true;
  };
  Sweep("C:\\c");
  EXPECT_EQ(w.paths, (Texts{"C:\\c\\a\\a.res"}));
  EXPECT_EQ(w.StatusTexts(), (Texts{"C:\\c", "C:\\c\\a", "C:\\c\\a\\x"}));
}

INSTANTIATE_FOR_BOTH_STRATEGIES(WorkspaceSweep);

}  // namespace
