#include "engine/pattern_walk.h"
#include "engine/workspace_sweep.h"
#include "tests/engine/scan_fakes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class PatternWalk : public ScanStrategyTest {
 protected:
  void Walk(const std::string& root, const TargetPatternList& patterns) {
    WalkPatterns(reader, w, w, root, patterns);
  }
};

// A file gets one row per pattern that matches it, its short name included, and a directory
// none; a directory's status text follows its rows, a cancel is tested before each subdirectory.
TEST_P(PatternWalk, AddsRowsInPreOrderNumberedOnFromTheRowsAlreadyThere) {
  for (const char* file : {"a.tmp", "sub1\\c.tmp", "b.log", "sub1\\deep\\d.log", "z.tmp"}) {
    fs.AddFile(std::string("C:\\d\\") + file);
  }
  fs.AddFile("C:\\d\\x.tmpl", "X~~~~SKX.TMP");
  fs.AddDirectory("C:\\d\\dir.log");
  w.numbers = {"1", "7"};
  w.paths = {"earlier", "another"};
  Walk("C:\\d", {"*.tmp", "*.log", "a.*"});
  const Texts expected = {
      "row 3 C:\\d\\a.tmp", "row 4 C:\\d\\z.tmp", "row 5 C:\\d\\x.tmpl", "row 6 C:\\d\\b.log",
      "row 7 C:\\d\\a.tmp", "status C:\\d",
      "cancel?", "row 8 C:\\d\\sub1\\c.tmp", "status C:\\d\\sub1",
      "cancel?", "row 9 C:\\d\\sub1\\deep\\d.log", "status C:\\d\\sub1\\deep",
      "cancel?", "status C:\\d\\dir.log",
  };
  EXPECT_EQ(w.log, expected);
}

TEST_P(PatternWalk, BuildsPathsFromTheRootAsTyped) {
  fs.AddFile("C:\\a.tmp");
  fs.AddFile("C:\\w\\b.tmp");
  fs.AddFile("C:\\w\\sub\\c.tmp");
  fs.SetCurrentDirectory("C:\\w");
  const Texts inW = {"C:\\w\\b.tmp", "C:\\w\\sub\\c.tmp"};
  struct Case {
    std::string root;
    Texts rows;
    Texts status;
  } const cases[] = {
      {"C:\\w", inW, {"C:\\w", "C:\\w\\sub"}},
      {"C:\\w\\", inW, {"C:\\w\\", "C:\\w\\sub"}},
      {"C:\\w\\\\", inW, {"C:\\w\\\\", "C:\\w\\sub"}},
      {"C:", {"C:\\a.tmp", "C:\\w\\b.tmp", "C:\\w\\sub\\c.tmp"}, {"C:", "C:\\w", "C:\\w\\sub"}},
      {".", {".\\b.tmp", ".\\sub\\c.tmp"}, {".", ".\\sub"}},
  };
  for (const Case& c : cases) {
    w.log.clear();
    w.paths.clear();
    DirectoryReader fresh(fs, GetParam());
    WalkPatterns(fresh, w, w, c.root, {"*.tmp"});
    EXPECT_EQ(w.paths, c.rows) << c.root;
    EXPECT_EQ(w.StatusTexts(), c.status) << c.root;
  }
}

// Junctions and links lead outside the tree or round a cycle: never entered, never searched,
// also when a pattern's directory part names one.
TEST_P(PatternWalk, SearchesThroughThePatternsDirectoryPartButNoReparsePoint) {
  fs.AddFile("C:\\w\\Temp\\a.tmp");
  fs.AddFile("C:\\w\\b.tmp");
  fs.AddFile("C:\\w\\Temp\\Sub\\c.tmp");
  fs.AddLink("C:\\w\\Out", "C:\\far");
  fs.AddLink("C:\\w\\Temp\\Out2", "C:\\far");
  fs.AddLink("C:\\w\\OutLoop", "C:\\w");
  fs.AddFile("C:\\far\\x.tmp");
  struct Case {
    TargetPattern pattern;
    Texts rows;
  } const cases[] = {
      {"*.tmp", {"C:\\w\\b.tmp", "C:\\w\\Temp\\a.tmp", "C:\\w\\Temp\\Sub\\c.tmp"}},
      {"Temp\\*.tmp", {"C:\\w\\Temp\\a.tmp"}},  // C:\w\Temp\Temp holds nothing: once only
      {"\\Temp\\*.tmp", {"C:\\w\\Temp\\a.tmp"}},
      {"TEMP/*.tmp", {"C:\\w\\TEMP/a.tmp"}},
      {".\\Temp\\Sub\\.\\*.tmp", {"C:\\w\\.\\Temp\\Sub\\.\\c.tmp"}},
      // Neither a drive, nor an empty pattern, nor a directory part alone ever matches.
      {"C:\\w\\*.tmp", {}},
      {"C:*.tmp", {}},
      {"", {}},
      {"Temp\\", {}},
      {"Out\\*.tmp", {}},
      {"Temp\\Out2\\*.tmp", {}},
      {"Temp\\..\\Out\\*.tmp", {}},
      // Climbing above the directory is the pattern's own choice.
      {"..\\far\\*.tmp", {"C:\\w\\..\\far\\x.tmp"}},
  };
  for (const Case& c : cases) {
    w.paths.clear();
    fs.searches.clear();
    Walk("C:\\w", {c.pattern});
    EXPECT_EQ(w.paths, c.rows) << c.pattern;
    for (const std::string& search : fs.searches) {
      EXPECT_EQ(search.find("Out"), std::string::npos) << c.pattern << ": " << search;
    }
  }
}

TEST_P(PatternWalk, AFailedAppendEndsOnlyThatPatternInThatDirectory) {
  for (const char* file : {"a.tmp", "b.tmp", "c.tmp", "d.log", "sub\\e.tmp"}) {
    fs.AddFile(std::string("C:\\q\\") + file);
  }
  w.failingAppend = 1;
  Walk("C:\\q", {"*.tmp", "*.log"});
  EXPECT_EQ(w.paths, (Texts{"C:\\q\\a.tmp", "C:\\q\\d.log", "C:\\q\\sub\\e.tmp"}));
  EXPECT_EQ(w.numbers, (Texts{"1", "2", "3"}));  // on from the rows that really exist
}

// The directory at hand gets the rows of all its patterns; no further directory is entered.
TEST_P(PatternWalk, ACancelCompletesTheDirectoryAtHandAndEntersNoOther) {
  for (const char* file : {"a\\x.tmp", "a\\x.txt", "a\\b\\y.tmp", "c\\z.tmp"}) {
    fs.AddFile(std::string("C:\\r\\") + file);
  }
  w.onRow = [this](const std::string& path) {
    if (path == "C:\\r\\a\\x.tmp") w.cancelFlag = true;
  };
  Walk("C:\\r", {"*.tmp", "*.txt"});
  EXPECT_EQ(w.paths, (Texts{"C:\\r\\a\\x.tmp", "C:\\r\\a\\x.txt"}));
  EXPECT_EQ(w.StatusTexts(), (Texts{"C:\\r", "C:\\r\\a"}));
}

// A directory whose "*.*" search is too long may still be searched for a shorter pattern: its
// empty listing must not be taken for a directory without files.
TEST_P(PatternWalk, SearchesPatternsWhereOnlyTheFullListingIsTooLong) {
  const std::string directory = "C:\\" + std::string(253, 'd');  // 256 characters
  fs.AddFile(directory + "\\a");
  Walk(directory, {"a", "a*.*"});  // the second search is too long itself
  EXPECT_EQ(w.paths, (Texts{directory + "\\a"}));
}

// Each walk counts the directories it enters, across scans, without patterns too.
TEST_P(PatternWalk, PausesAfterEvery51DirectoriesEachWalkCountingItsOwn) {
  for (int i = 1; i < 30; ++i) fs.AddDirectory("C:\\y\\d" + std::to_string(i));
  PatternYieldCounter = 0;
  SweepYieldCounter = 0;
  Walk("C:\\y", {});
  EXPECT_EQ(PatternYieldCounter, 30);
  Walk("C:\\y", {});
  EXPECT_EQ(PatternYieldCounter, 9);  // reset at the 51st directory, then 9 more
  SweepBuildWorkspaces(reader, w, w, "C:\\y");
  EXPECT_EQ(SweepYieldCounter, 30);
  EXPECT_EQ(PatternYieldCounter, 9);
}

INSTANTIATE_FOR_BOTH_STRATEGIES(PatternWalk);

}  // namespace
