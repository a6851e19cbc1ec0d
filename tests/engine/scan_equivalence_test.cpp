#include "engine/pattern_walk.h"
#include "engine/scan_worker.h"
#include "engine/workspace_sweep.h"
#include "tests/engine/scan_fakes.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

// Names chosen to meet the patterns of a scan half-way: by-products, workspace files, names
// found only through a short name, other letter cases, build directories, non-ASCII names.
struct NameChoice {
  const char* name;
  const char* shortName;
};
const NameChoice kFileNames[] = {
    {"a.obj", ""},        {"B.OBJ", ""},          {"w.dsw", ""},          {"x.res", ""},
    {"p.pdb", ""},        {"i.idb", ""},          {"n.ncb", ""},          {"t.positions", "T~1.POS"},
    {"Thumbs.db", ""},    {"thumbs.db", ""},      {"~$memo.doc", ""},     {"~$memo.docx", "~$MEMO~1.DOC"},
    {"x.tmpl", "X~~~~SKX.TMP"}, {"a.tmp", ""},   {"readme", ""},         {"c.db", ""},
    {"\xE6\x96\x87.tmp", "A~1.TMP"},  {"\xC3\xA9t\xC3\xA9.obj", "T~1.OBJ"},
    {"objects.txt", "OBJECT~1.TXT"},  {"a.obj.bak", "AOBJ~1.BAK"},
};
const char* const kDirectoryNames[] = {"Debug", "DEBUG", "Release", "ReleaseU", "DebugU", "Temp",
                                       "src", "sub", "\xE4\xB8\xB4\xE6\x97\xB6", "x.obj"};
const char* const kPatternPool[] = {
    "*.tmp", "*.obj", "Temp\\*.tmp", "\\Temp\\*.obj", "*.", "", "C:*.tmp", "nul", "*.*", "?.res",
    "*s*", "Thumbs.db", "*.db", "~$*.doc", "Temp\\", "*.TMP", "a*", "*.pos*", "readme.",
    "\xE6\x96\x87*", "<.tmp", "*o*j*",
};

std::string Pick(std::mt19937& random, const std::vector<std::string>& from) {
  return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
}

void AddRandomTree(FakeFileSystem& fs, std::mt19937& random, const std::string& directory,
                   int depth) {
  auto chance = [&random](int percent) {
    return std::uniform_int_distribution<int>(0, 99)(random) < percent;
  };
  fs.AddDirectory(directory);
  const int files = std::uniform_int_distribution<int>(0, 6)(random);
  for (int i = 0; i < files; ++i) {
    const NameChoice& file = kFileNames[std::uniform_int_distribution<std::size_t>(
        0, std::size(kFileNames) - 1)(random)];
    fs.AddFile(directory + "\\" + file.name, file.shortName);
  }
  if (depth == 0) return;
  const int directories = std::uniform_int_distribution<int>(0, 3)(random);
  for (int i = 0; i < directories; ++i) {
    const std::string name = kDirectoryNames[std::uniform_int_distribution<std::size_t>(
        0, std::size(kDirectoryNames) - 1)(random)];
    const std::string child = directory + "\\" + name + std::to_string(i % 2 == 0 ? 0 : i);
    const std::string plain = directory + "\\" + name;
    if (chance(8)) {
      fs.AddLink(child, chance(50) ? directory : "");
    } else {
      AddRandomTree(fs, random, chance(60) ? plain : child, depth - 1);
    }
  }
}

struct ScanRecord {
  EventLog log;
  std::vector<std::string> searches;
  std::int32_t patternCounter;
  std::int32_t sweepCounter;
};

ScanRecord RunScan(unsigned seed, ScanStrategy strategy) {
  std::mt19937 random(seed);
  FakeScanWindow window;
  AddRandomTree(window.files, random, "C:\\root", 4);
  window.files.SetCurrentDirectory("C:\\root");
  const std::vector<std::string> roots = {"C:\\root", "C:\\root\\", "C:\\root\\\\", "C:",
                                          ".", "src0", "C:\\missing"};
  window.directory = Pick(random, roots);
  for (TargetBox box : {TargetBox::Vc6, TargetBox::Custom, TargetBox::Quick, TargetBox::Word,
                        TargetBox::Thumbs}) {
    if (std::uniform_int_distribution<int>(0, 99)(random) < 60) window.ticked.insert(box);
  }
  const std::vector<std::string> pool(std::begin(kPatternPool), std::end(kPatternPool));
  const int custom = std::uniform_int_distribution<int>(0, 5)(random);
  for (int i = 0; i < custom; ++i) window.customTargets.push_back(Pick(random, pool));
  if (std::uniform_int_distribution<int>(0, 1)(random) == 1) {
    window.quickSearch.push_back(Pick(random, pool));
  }
  // Now and then the user cancels at some directory of the sweep or the walk.
  const int cancelAt = std::uniform_int_distribution<int>(0, 40)(random);
  int statusCount = 0;
  window.progress.onStatus = [&window, &statusCount, cancelAt](const std::string&) {
    if (++statusCount == cancelAt) window.progress.cancelFlag = true;
  };

  PatternYieldCounter = static_cast<std::int32_t>(seed % 51);
  SweepYieldCounter = static_cast<std::int32_t>(seed % 37);
  ScanWorker(&window, strategy);
  return ScanRecord{window.log, window.files.Searches(), PatternYieldCounter, SweepYieldCounter};
}

TEST(ScanEquivalence, SharedListingsChangeNothingButTheSearches) {
  int rowsSeen = 0;
  for (unsigned seed = 1; seed <= 400; ++seed) {
    const ScanRecord shared = RunScan(seed, ScanStrategy::SharedListing);
    const ScanRecord reference = RunScan(seed, ScanStrategy::EnumeratePerPattern);
    ASSERT_EQ(shared.log, reference.log) << "seed " << seed;
    EXPECT_EQ(shared.patternCounter, reference.patternCounter) << "seed " << seed;
    EXPECT_EQ(shared.sweepCounter, reference.sweepCounter) << "seed " << seed;
    // Each directory is listed once per scan, however many patterns and walks ask for it.
    std::map<std::string, int> listings;
    for (const std::string& search : shared.searches) {
      if (search.size() >= 3 && search.compare(search.size() - 3, 3, "*.*") == 0) {
        EXPECT_EQ(++listings[search], 1) << search << " seed " << seed;
      }
    }
    for (const std::string& event : shared.log) rowsSeen += event.rfind("row ", 0) == 0;
  }
  EXPECT_GT(rowsSeen, 2000);  // the trees and patterns must actually produce rows
}

}  // namespace
