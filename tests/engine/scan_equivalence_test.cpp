#include "engine/pattern_walk.h"
#include "engine/scan_worker.h"
#include "engine/workspace_sweep.h"
#include "tests/engine/scan_fakes.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

namespace {

// Names chosen to meet the patterns of a scan half-way: by-products, workspace files, names
// found only through a short name, other letter cases, build directories, non-ASCII names.
const char* const kFileNames[][2] = {
    {"a.obj", ""},        {"B.OBJ", ""},          {"w.dsw", ""},          {"x.res", ""},
    {"p.pdb", ""},        {"i.idb", ""},          {"n.ncb", ""},          {"t.positions", "T~1.POS"},
    {"Thumbs.db", ""},    {"thumbs.db", ""},      {"~$memo.doc", ""},     {"~$memo.docx", "~$MEMO~1.DOC"},
    {"x.tmpl", "X~~~~SKX.TMP"}, {"a.tmp", ""},   {"readme", ""},         {"c.db", ""},
    {"\xE6\x96\x87.tmp", "A~1.TMP"},  {"\xC3\xA9t\xC3\xA9.obj", "T~1.OBJ"},
    {"objects.txt", "OBJECT~1.TXT"},  {"a.obj.bak", "AOBJ~1.BAK"},
};
const Texts kDirectoryNames = {"Debug", "DEBUG", "Release", "ReleaseU", "DebugU", "Temp",
                               "src", "sub", "\xE4\xB8\xB4\xE6\x97\xB6", "x.obj"};
const Texts kPatternPool = {
    "*.tmp", "*.obj", "Temp\\*.tmp", "\\Temp\\*.obj", "*.", "", "C:*.tmp", "nul", "*.*", "?.res",
    "*s*", "Thumbs.db", "*.db", "~$*.doc", "Temp\\", "*.TMP", "a*", "*.pos*", "readme.",
    "\xE6\x96\x87*", "<.tmp", "*o*j*", "..\\Temp\\*.tmp", "Temp\\..\\src\\*.obj",
};

// Runs a whole scan of a random request over a random tree; the user cancels now and then.
class RandomScan {
 public:
  explicit RandomScan(unsigned seed) : random_(seed) {}

  void Run(FakeScanWindow& window, ScanStrategy strategy) {
    AddTree(window.files, "C:\\root", 4);
    window.files.SetCurrentDirectory("C:\\root");
    window.directory =
        Pick({"C:\\root", "C:\\root\\", "C:\\root\\\\", "C:", ".", "src", "C:\\missing"});
    for (TargetBox box : {TargetBox::Vc6, TargetBox::Custom, TargetBox::Quick, TargetBox::Word,
                          TargetBox::Thumbs}) {
      if (Below(100) < 60) window.ticked.insert(box);
    }
    for (int i = Below(6); i > 0; --i) window.customTargets.push_back(Pick(kPatternPool));
    if (Below(2) == 1) window.quickSearch.push_back(Pick(kPatternPool));
    window.onStatus = [&window, cancelAt = Below(41), count = 0](const std::string&) mutable {
      if (++count == cancelAt) window.cancelFlag = true;
    };
    ScanWorker(&window, strategy);
  }

 private:
  int Below(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(random_); }
  const std::string& Pick(const Texts& from) { return from[static_cast<std::size_t>(Below(static_cast<int>(from.size())))]; }

  // Links, some of them named as build directories or "Temp", lead back up or nowhere.
  void AddTree(FakeFileSystem& fs, const std::string& directory, int depth) {
    fs.AddDirectory(directory);
    for (int i = Below(7); i > 0; --i) {
      const auto& file = kFileNames[Below(static_cast<int>(std::size(kFileNames)))];
      fs.AddFile(directory + "\\" + file[0], file[1]);
    }
    for (int i = depth == 0 ? 0 : Below(4); i > 0; --i) {
      const std::string child =
          directory + "\\" + Pick(kDirectoryNames) + (Below(100) < 60 ? "" : std::to_string(i));
      if (Below(100) < 10) {
        fs.AddLink(child, Below(2) == 0 ? directory : "");
      } else {
        AddTree(fs, child, depth - 1);
      }
    }
  }

  std::mt19937 random_;
};

TEST(ScanEquivalence, SharedListingsChangeNothingButTheSearches) {
  int rows = 0;
  for (unsigned seed = 1; seed <= 400; ++seed) {
    FakeScanWindow shared;
    FakeScanWindow reference;
    RandomScan(seed).Run(shared, ScanStrategy::SharedListing);
    RandomScan(seed).Run(reference, ScanStrategy::EnumeratePerPattern);
    ASSERT_EQ(shared.log, reference.log) << "seed " << seed;
    // Each directory is listed once per scan, however many patterns and walks ask for it.
    std::map<std::string, int> listings;
    for (const std::string& search : shared.files.searches) {
      if (search.find("*.*") == search.size() - 3) {
        EXPECT_EQ(++listings[search], 1) << search << " seed " << seed;
      }
    }
    rows += static_cast<int>(shared.paths.size());
  }
  EXPECT_GT(rows, 1500);  // the trees and patterns must actually produce rows
}

}  // namespace
