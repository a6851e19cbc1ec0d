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

  void Run(FakeFileSystem& fs, ScanLog& w, ScanStrategy strategy) {
    AddTree(fs, "C:\\root", 4);
    fs.SetCurrentDirectory("C:\\root");
    const std::string root =
        Pick({"C:\\root", "C:\\root\\", "C:\\root\\\\", "C:", ".", "src", "C:\\missing"});
    bool boxes[5];
    for (bool& ticked : boxes) ticked = Below(100) < 60;
    PatternRequest request{boxes[1], boxes[2], boxes[3], boxes[4], {}, {}};
    for (int i = Below(6); i > 0; --i) request.customTargets.push_back(Pick(kPatternPool));
    if (Below(2) == 1) request.quickSearch.push_back(Pick(kPatternPool));
    w.onStatus = [&w, cancelAt = Below(41), count = 0](const std::string&) mutable {
      if (++count == cancelAt) w.cancelFlag = true;
    };
    ScanJob job{root, boxes[0], [&] { return request; }, fs, w, w, strategy};
    ScanWorker(&job);
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
    FakeFileSystem sharedFiles;
    FakeFileSystem referenceFiles;
    ScanLog shared;
    ScanLog reference;
    RandomScan(seed).Run(sharedFiles, shared, ScanStrategy::SharedListing);
    RandomScan(seed).Run(referenceFiles, reference, ScanStrategy::EnumeratePerPattern);
    ASSERT_EQ(shared.log, reference.log) << "seed " << seed;
    // Each directory is listed once per scan, however many patterns and walks ask for it.
    std::map<std::string, int> listings;
    for (const std::string& search : sharedFiles.searches) {
      if (search.find("*.*") == search.size() - 3) {
        EXPECT_EQ(++listings[search], 1) << search << " seed " << seed;
      }
    }
    rows += static_cast<int>(shared.paths.size());
  }
  EXPECT_GT(rows, 1500);  // the trees and patterns must actually produce rows
}

}  // namespace
