#include "engine/pattern_walk.h"
#include "engine/workspace_sweep.h"
#include "tests/engine/scan_fakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

TEST(PatternDirectoryPart, SplitsLikeTheRuntimesPathSplitting) {
  const char* const cases[][2] = {
      {"*.obj", ""},           {"Temp\\*.tmp", "Temp\\"}, {"\\Temp\\*.tmp", "\\Temp\\"},
      {"C:\\x\\*.tmp", "C:\\x\\"}, {"C:*.tmp", "C:"},     {"a/b\\c/*.tmp", "a/b\\c/"},
      {"Temp\\", "Temp\\"},     {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(PatternDirectoryPart(c[0]), c[1]) << c[0];
}

class PatternWalk : public ScanStrategyTest {
 protected:
  void Walk(const std::string& root, const TargetPatternList& patterns) {
    WalkPatterns(reader, results, progress, root, patterns);
  }
  bool Searched(const std::string& specification) const {
    return std::count(fs.searches.begin(), fs.searches.end(), specification) != 0;
  }
};

TEST_P(PatternWalk, AddsRowsInPreOrderNumberedOnFromTheRowsAlreadyThere) {
  fs.AddFile("C:\\data\\a.tmp");
  fs.AddFile("C:\\data\\sub1\\c.tmp");
  fs.AddFile("C:\\data\\b.log");
  fs.AddFile("C:\\data\\sub1\\deep\\d.log");
  fs.AddFile("C:\\data\\sub2\\e.tmp");
  fs.AddFile("C:\\data\\z.tmp");
  results.numbers = {"1", "7"};
  results.paths = {"earlier", "another"};
  Walk("C:\\data", {"*.tmp", "*.log"});
  const Texts expected = {
      "row 3 C:\\data\\a.tmp", "row 4 C:\\data\\z.tmp", "row 5 C:\\data\\b.log",
      "status C:\\data",  // only once the directory's own rows are in
      "cancel?", "row 6 C:\\data\\sub1\\c.tmp", "status C:\\data\\sub1",
      "cancel?", "row 7 C:\\data\\sub1\\deep\\d.log", "status C:\\data\\sub1\\deep",
      "cancel?", "row 8 C:\\data\\sub2\\e.tmp", "status C:\\data\\sub2",
  };
  EXPECT_EQ(window.log, expected);
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
    std::string search;  // the listing asked for the root
  } const cases[] = {
      {"C:\\w", inW, {"C:\\w", "C:\\w\\sub"}, "C:\\w\\*.*"},
      {"C:\\w\\", inW, {"C:\\w\\", "C:\\w\\sub"}, "C:\\w\\*.*"},
      {"C:\\w\\\\", inW, {"C:\\w\\\\", "C:\\w\\sub"}, "C:\\w\\\\*.*"},
      {"C:", {"C:\\a.tmp", "C:\\w\\b.tmp", "C:\\w\\sub\\c.tmp"}, {"C:", "C:\\w", "C:\\w\\sub"},
       "C:\\*.*"},
      {".", {".\\b.tmp", ".\\sub\\c.tmp"}, {".", ".\\sub"}, ".\\*.*"},
      {"..\\w\\sub", {"..\\w\\sub\\c.tmp"}, {"..\\w\\sub"}, "..\\w\\sub\\*.*"},
      {"C:\\missing", {}, {"C:\\missing"}, "C:\\missing\\*.*"},
  };
  for (const Case& c : cases) {
    window.log.clear();
    results.paths.clear();
    fs.searches.clear();
    DirectoryReader fresh(fs, GetParam());
    WalkPatterns(fresh, results, progress, c.root, {"*.tmp"});
    EXPECT_EQ(results.paths, c.rows) << c.root;
    EXPECT_EQ(progress.StatusTexts(), c.status) << c.root;
    EXPECT_TRUE(Searched(c.search)) << c.root;
  }
}

TEST_P(PatternWalk, SearchesThroughThePatternsDirectoryPartButNoReparsePoint) {
  fs.AddFile("C:\\w\\Temp\\a.tmp");
  fs.AddFile("C:\\w\\b.tmp");
  fs.AddFile("C:\\w\\Temp\\Sub\\c.tmp");
  fs.AddLink("C:\\w\\Out", "C:\\far");
  fs.AddLink("C:\\w\\Temp\\Out2", "C:\\far");
  fs.AddFile("C:\\far\\x.tmp");
  struct Case {
    TargetPattern pattern;
    Texts rows;
  } const cases[] = {
      {"Temp\\*.tmp", {"C:\\w\\Temp\\a.tmp"}},  // C:\w\Temp\Temp holds nothing: once only
      {"\\Temp\\*.tmp", {"C:\\w\\Temp\\a.tmp"}},
      {"TEMP/*.tmp", {"C:\\w\\TEMP/a.tmp"}},
      {".\\Temp\\Sub\\.\\*.tmp", {"C:\\w\\.\\Temp\\Sub\\.\\c.tmp"}},
      // Neither a drive, nor an empty pattern, nor a directory part alone ever matches.
      {"C:\\w\\*.tmp", {}},
      {"", {}},
      {"Temp\\", {}},
      // A junction leads outside the tree, also behind a plain directory or written around.
      {"Out\\*.tmp", {}},
      {"Temp\\Out2\\*.tmp", {}},
      {"Temp\\..\\Out\\*.tmp", {}},
      // Climbing above the directory is the pattern's own choice.
      {"..\\far\\*.tmp", {"C:\\w\\..\\far\\x.tmp"}},
  };
  for (const Case& c : cases) {
    results.paths.clear();
    fs.searches.clear();
    Walk("C:\\w", {c.pattern});
    EXPECT_EQ(results.paths, c.rows) << c.pattern;
    for (const std::string& search : fs.searches) {
      EXPECT_EQ(search.find("Out"), std::string::npos) << c.pattern << ": " << search;
    }
  }
}

TEST_P(PatternWalk, GivesAFileOneRowPerPatternThatMatchesIt) {
  fs.AddFile("C:\\p\\Thumbs.db");
  fs.AddFile("C:\\p\\a.db");
  fs.AddFile("C:\\p\\x.tmpl", "X~~~~SKX.TMP");  // found through its short name
  fs.AddDirectory("C:\\p\\dir.db");               // directories never get rows
  Walk("C:\\p", {"*.db", "Thumbs.db", "*.tmp", "*.*"});
  const Texts expected = {"C:\\p\\Thumbs.db", "C:\\p\\a.db", "C:\\p\\Thumbs.db", "C:\\p\\x.tmpl",
                          "C:\\p\\Thumbs.db", "C:\\p\\a.db", "C:\\p\\x.tmpl"};
  EXPECT_EQ(results.paths, expected);
  EXPECT_EQ(results.numbers.back(), "7");
}

TEST_P(PatternWalk, AFailedAppendEndsOnlyThatPatternInThatDirectory) {
  for (const char* file : {"a.tmp", "b.tmp", "c.tmp", "d.log", "sub\\e.tmp"}) {
    fs.AddFile(std::string("C:\\q\\") + file);
  }
  results.failingAppends = {1};
  Walk("C:\\q", {"*.tmp", "*.log"});
  EXPECT_EQ(results.paths, (Texts{"C:\\q\\a.tmp", "C:\\q\\d.log", "C:\\q\\sub\\e.tmp"}));
  EXPECT_EQ(results.numbers, (Texts{"1", "2", "3"}));  // on from the rows that really exist
}

TEST_P(PatternWalk, NeitherEntersNorListsReparsePoints) {
  fs.AddFile("C:\\w\\a.tmp");
  fs.AddLink("C:\\w\\loop", "C:\\w");  // a cycle the path length would end only late
  fs.AddLink("C:\\w\\junction", "C:\\elsewhere");
  fs.AddFile("C:\\elsewhere\\outside.tmp");
  fs.AddFile("C:\\w\\real\\b.tmp");
  Walk("C:\\w", {"*.tmp"});
  EXPECT_EQ(results.paths, (Texts{"C:\\w\\a.tmp", "C:\\w\\real\\b.tmp"}));
  EXPECT_EQ(progress.StatusTexts(), (Texts{"C:\\w", "C:\\w\\real"}));
}

// The directory at hand gets the rows of all its patterns; no further directory is entered.
TEST_P(PatternWalk, ACancelCompletesTheDirectoryAtHandAndEntersNoOther) {
  fs.AddFile("C:\\r\\a\\x.tmp");
  fs.AddFile("C:\\r\\a\\x.txt");
  fs.AddFile("C:\\r\\a\\b\\y.tmp");
  fs.AddFile("C:\\r\\c\\z.tmp");
  results.onRow = [this](const std::string& path) {
    if (path == "C:\\r\\a\\x.tmp") progress.cancelFlag = true;
  };
  Walk("C:\\r", {"*.tmp", "*.txt"});
  EXPECT_EQ(results.paths, (Texts{"C:\\r\\a\\x.tmp", "C:\\r\\a\\x.txt"}));
  EXPECT_EQ(progress.StatusTexts(), (Texts{"C:\\r", "C:\\r\\a"}));
  EXPECT_FALSE(Searched("C:\\r\\c\\*.*"));
}

// A directory whose "*.*" search is too long may still be searched for a shorter pattern: its
// empty listing must not be taken for a directory without files.
TEST_P(PatternWalk, SearchesPatternsWhereOnlyTheFullListingIsTooLong) {
  const std::string directory = "C:\\" + std::string(253, 'd');  // 256 characters
  fs.AddFile(directory + "\\a");
  Walk(directory, {"a", "a*.*"});  // the second search is too long itself
  EXPECT_EQ(results.paths, (Texts{directory + "\\a"}));
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
  SweepBuildWorkspaces(reader, results, progress, "C:\\y");
  EXPECT_EQ(SweepYieldCounter, 30);
  EXPECT_EQ(PatternYieldCounter, 9);
}

INSTANTIATE_FOR_BOTH_STRATEGIES(PatternWalk);

}  // namespace
