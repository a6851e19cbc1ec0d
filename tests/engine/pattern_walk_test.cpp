#include "engine/pattern_walk.h"
#include "tests/engine/scan_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

bool Searched(const FakeFileSystem& fs, const std::string& specification) {
  const Texts& searches = fs.Searches();
  return std::find(searches.begin(), searches.end(), specification) != searches.end();
}

TEST(PatternDirectoryPart, SplitsLikeTheRuntimesPathSplitting) {
  struct Case {
    const char* pattern;
    const char* part;
  } const cases[] = {
      {"*.obj", ""},
      {"Temp\\*.tmp", "Temp\\"},
      {"\\Temp\\*.tmp", "\\Temp\\"},
      {"C:\\x\\*.tmp", "C:\\x\\"},
      {"C:*.tmp", "C:"},
      {"a/b\\c/*.tmp", "a/b\\c/"},
      {"Temp\\", "Temp\\"},
      {"", ""},
      {"\xE4\xB8\xB4\xE6\x97\xB6\\*.tmp", "\xE4\xB8\xB4\xE6\x97\xB6\\"},
  };
  for (const Case& c : cases) EXPECT_EQ(PatternDirectoryPart(c.pattern), c.part) << c.pattern;
}

class PatternWalk : public ScanStrategyTest {
 protected:
  void Walk(const std::string& root, const TargetPatternList& patterns) {
    WalkPatterns(reader, results, progress, root, patterns);
  }
};

TEST_P(PatternWalk, AddsRowsInPreOrderNumberedOnFromTheRowsAlreadyThere) {
  fs.AddFile("C:\\data\\a.tmp");
  fs.AddFile("C:\\data\\sub1\\c.tmp");
  fs.AddFile("C:\\data\\b.log");
  fs.AddFile("C:\\data\\sub1\\deep\\d.log");
  fs.AddFile("C:\\data\\sub2\\e.tmp");
  fs.AddFile("C:\\data\\z.tmp");
  results.rows = {{"1", "earlier"}, {"7", "another"}};

  Walk("C:\\data", {"*.tmp", "*.log"});

  const Texts expected = {
      "row 3 C:\\data\\a.tmp",
      "row 4 C:\\data\\z.tmp",
      "row 5 C:\\data\\b.log",
      "status C:\\data",  // only once the directory's own rows are in
      "cancel?",
      "row 6 C:\\data\\sub1\\c.tmp",
      "status C:\\data\\sub1",
      "cancel?",
      "row 7 C:\\data\\sub1\\deep\\d.log",
      "status C:\\data\\sub1\\deep",
      "cancel?",
      "row 8 C:\\data\\sub2\\e.tmp",
      "status C:\\data\\sub2",
  };
  EXPECT_EQ(log, expected);
}

TEST_P(PatternWalk, TreatsOneOrTwoTrailingSeparatorsOfTheRootAlike) {
  fs.AddFile("C:\\data\\a.tmp");
  fs.AddFile("C:\\data\\sub\\b.tmp");
  for (const std::string root : {"C:\\data", "C:\\data\\", "C:\\data\\\\"}) {
    EventLog walkLog;
    FakeResultList rows(walkLog);
    FakeProgress walkProgress(walkLog);
    fs.ClearSearches();
    DirectoryReader walkReader(fs, GetParam());
    WalkPatterns(walkReader, rows, walkProgress, root, {"*.tmp"});
    EXPECT_EQ(rows.Paths(), (Texts{"C:\\data\\a.tmp", "C:\\data\\sub\\b.tmp"})) << root;
    EXPECT_EQ(walkProgress.StatusTexts(), (Texts{root, "C:\\data\\sub"})) << root;
    const std::string searchBase = root.back() == '\\' ? root : root + "\\";
    EXPECT_TRUE(Searched(fs, searchBase + "*.*")) << root;
    EXPECT_TRUE(Searched(fs, searchBase + "*.tmp")) << root;
  }
}

TEST_P(PatternWalk, BuildsRowPathsFromThePatternsDirectoryPart) {
  fs.AddFile("C:\\w\\Temp\\a.tmp");
  fs.AddFile("C:\\w\\b.tmp");
  struct Case {
    TargetPattern pattern;
    Texts rows;
    std::string search;
  } const cases[] = {
      // The walk also enters C:\w\Temp, where it searches Temp\Temp: each file comes once.
      {"Temp\\*.tmp", {"C:\\w\\Temp\\a.tmp"}, "C:\\w\\Temp\\Temp\\*.tmp"},
      {"\\Temp\\*.tmp", {"C:\\w\\Temp\\a.tmp"}, "C:\\w\\\\Temp\\*.tmp"},
      {"Temp/*.tmp", {"C:\\w\\Temp/a.tmp"}, "C:\\w\\Temp/*.tmp"},
      // Neither a drive, nor an empty pattern, nor a directory part alone ever matches.
      {"C:\\w\\*.tmp", {}, "C:\\w\\C:\\w\\*.tmp"},
      {"", {}, "C:\\w\\"},
      {"Temp\\", {}, "C:\\w\\Temp\\"},
  };
  for (const Case& c : cases) {
    results.rows.clear();
    fs.ClearSearches();
    Walk("C:\\w", {c.pattern});
    EXPECT_EQ(results.Paths(), c.rows) << c.pattern;
    EXPECT_TRUE(Searched(fs, c.search)) << c.pattern;
  }
}

TEST_P(PatternWalk, GivesAFileOneRowPerPatternThatMatchesIt) {
  fs.AddFile("C:\\p\\Thumbs.db");
  fs.AddFile("C:\\p\\a.db");
  fs.AddFile("C:\\p\\x.tmpl", "X~~~~SKX.TMP");  // found through its short name
  fs.AddDirectory("C:\\p\\dir.db");               // directories never get rows
  Walk("C:\\p", {"*.db", "Thumbs.db", "*.tmp", "*.*"});
  const Texts expected = {
      "C:\\p\\Thumbs.db", "C:\\p\\a.db", "C:\\p\\Thumbs.db", "C:\\p\\x.tmpl",
      "C:\\p\\Thumbs.db", "C:\\p\\a.db", "C:\\p\\x.tmpl",
  };
  EXPECT_EQ(results.Paths(), expected);
  EXPECT_EQ(results.rows.back().number, "7");
}

TEST_P(PatternWalk, AFailedAppendEndsOnlyThatPatternInThatDirectory) {
  fs.AddFile("C:\\q\\a.tmp");
  fs.AddFile("C:\\q\\b.tmp");
  fs.AddFile("C:\\q\\c.tmp");
  fs.AddFile("C:\\q\\d.log");
  fs.AddFile("C:\\q\\sub\\e.tmp");
  results.failingAppends = {1};
  Walk("C:\\q", {"*.tmp", "*.log"});
  const Texts expected = {"C:\\q\\a.tmp", "C:\\q\\d.log", "C:\\q\\sub\\e.tmp"};
  EXPECT_EQ(results.Paths(), expected);
  EXPECT_EQ(results.rows[1].number, "2");  // numbered on from the rows that really exist
  EXPECT_EQ(results.rows[2].number, "3");
}

TEST_P(PatternWalk, NeitherEntersNorListsReparsePoints) {
  fs.AddFile("C:\\w\\a.tmp");
  fs.AddLink("C:\\w\\loop", "C:\\w");  // a cycle the path length would end only late
  fs.AddLink("C:\\w\\junction", "C:\\elsewhere");
  fs.AddFile("C:\\elsewhere\\outside.tmp");
  fs.AddFile("C:\\w\\real\\b.tmp");
  Walk("C:\\w", {"*.tmp"});
  EXPECT_EQ(results.Paths(), (Texts{"C:\\w\\a.tmp", "C:\\w\\real\\b.tmp"}));
  EXPECT_EQ(progress.StatusTexts(), (Texts{"C:\\w", "C:\\w\\real"}));
}

TEST_P(PatternWalk, ACancelCompletesTheDirectoryAtHandAndEntersNoOther) {
  fs.AddFile("C:\\r\\a\\x.tmp");
  fs.AddFile("C:\\r\\a\\x.txt");
  fs.AddFile("C:\\r\\a\\b\\y.tmp");
  fs.AddFile("C:\\r\\c\\z.tmp");
  results.onRow = [this](const std::string& path) {
    if (path == "C:\\r\\a\\x.tmp") progress.cancelFlag = true;
  };
  Walk("C:\\r", {"*.tmp", "*.txt"});
  EXPECT_EQ(results.Paths(), (Texts{"C:\\r\\a\\x.tmp", "C:\\r\\a\\x.txt"}));
  EXPECT_EQ(progress.StatusTexts(), (Texts{"C:\\r", "C:\\r\\a"}));
  EXPECT_FALSE(Searched(fs, "C:\\r\\c\\*.*"));
  EXPECT_FALSE(Searched(fs, "C:\\r\\a\\b\\*.*"));
}

TEST_P(PatternWalk, EntersEveryDirectoryWithoutPatterns) {
  fs.AddFile("C:\\e\\a.tmp");
  fs.AddDirectory("C:\\e\\s\\t");
  Walk("C:\\e", {});
  EXPECT_TRUE(results.rows.empty());
  EXPECT_EQ(progress.StatusTexts(), (Texts{"C:\\e", "C:\\e\\s", "C:\\e\\s\\t"}));
}

TEST_P(PatternWalk, ScansDriveRootsAndRelativeRootsAsTyped) {
  fs.AddFile("C:\\a.tmp");
  fs.AddFile("C:\\w\\b.tmp");
  fs.SetCurrentDirectory("C:\\w");
  struct Case {
    const char* root;
    Texts rows;
  } const cases[] = {
      {"C:", {"C:\\a.tmp", "C:\\w\\b.tmp"}},
      {"C:\\", {"C:\\a.tmp", "C:\\w\\b.tmp"}},
      {".", {".\\b.tmp"}},
      {"..\\w", {"..\\w\\b.tmp"}},
      {"C:\\missing", {}},
  };
  for (const Case& c : cases) {
    results.rows.clear();
    Walk(c.root, {"*.tmp"});
    EXPECT_EQ(results.Paths(), c.rows) << c.root;
  }
}

// A directory whose "*.*" search is too long for the file system may still be searched for a
// short pattern: the empty listing must not be taken as a directory without files.
TEST_P(PatternWalk, SearchesPatternsWhereOnlyTheFullListingIsTooLong) {
  const std::string directory = "C:\\" + std::string(253, 'd');  // 256 units
  fs.AddFile(directory + "\\a");
  Walk(directory, {"a", "a*.*"});  // the second search is too long itself
  EXPECT_EQ(results.Paths(), (Texts{directory + "\\a"}));
}

TEST_P(PatternWalk, PausesAfterEvery51DirectoriesCountedAcrossWalks) {
  for (int i = 1; i < 30; ++i) fs.AddDirectory("C:\\y\\d" + std::to_string(i));
  PatternYieldCounter = 0;
  Walk("C:\\y", {});
  EXPECT_EQ(PatternYieldCounter, 30);
  Walk("C:\\y", {});
  EXPECT_EQ(PatternYieldCounter, 9);  // reset at the 51st directory, then 9 more
}

INSTANTIATE_FOR_BOTH_STRATEGIES(PatternWalk);

}  // namespace
