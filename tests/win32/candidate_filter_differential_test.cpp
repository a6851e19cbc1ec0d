// The pre-filter may skip asking the file system only where the file system would have yielded
// nothing. These tests put that to the file system itself, on real directories full of
// generated names, with a fixed seed so that any failure reproduces.
#include "engine/candidate_filter.h"
#include "engine/scan_worker.h"
#include "engine/win32/utf.h"
#include "engine/win32/win32_file_enumeration.h"
#include "tests/win32/generated_names.h"
#include "tests/win32/memory_scan_window.h"
#include "tests/win32/temp_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr std::uint64_t kSeed = 0x5EED2026;
constexpr int kDirectories = 12;
constexpr int kNamesPerDirectory = 50;
constexpr int kFreePatterns = 150;
constexpr int kDerivedPatterns = 250;

// The patterns the option boxes use, and the corners of wildcard matching.
const char* const kPresets[] = {"Temp\\*.tmp", "*.~*", "~$*.doc", "Thumbs.db", "*.*", "*",
                                "*.", ".*", "*.tmp", "*.doc", "*.db", "?", "*~*", "*$*",
                                "*.obj", "~*", "*1*", "* *", "*..*"};

// Creates through "\\?\" so that names ending in a dot or a blank keep it.
void MakeVerbatimFile(const std::string& path) {
  const HANDLE file = CreateFileW(Widen("\\\\?\\" + path).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

class CandidateFilterDifferentialTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    tree_ = new TempTree("differential");
    SeededRandom random(kSeed);
    Win32FileEnumeration files;
    for (int d = 0; d < kDirectories; ++d) {
      const std::string directory = "d" + std::to_string(d);
      tree_->MakeDirectory(directory + "\\Temp");
      for (int n = 0; n < kNamesPerDirectory; ++n) {
        const bool inTemp = random.OneIn(6);
        const std::string parent = tree_->Path(directory + (inTemp ? "\\Temp" : ""));
        if (random.OneIn(15)) {
          MakeDirectories(parent + "\\" + GenerateFileName(random, false));
        } else {
          MakeVerbatimFile(parent + "\\" + GenerateFileName(random, true));
        }
      }
      directories_.push_back(tree_->Path(directory));
      directories_.push_back(tree_->Path(directory + "\\Temp"));
    }
    // Workspaces for the sweep, one of them in the root.
    for (const char* file : {"root.dsw", "root.ncb", "Debug\\root.obj", "d3\\w.dsw",
                             "d3\\Debug\\a.obj", "d3\\Debug\\vc60.pdb", "d3\\Release\\w.res",
                             "d3\\ReleaseU\\b.OBJ"}) {
      tree_->MakeFile(file);
    }

    std::vector<FoundEntry> everything;
    for (const std::string& directory : directories_) {
      for (const FoundEntry& entry : files.Enumerate(directory + "\\*.*")) {
        if (!entry.isDirectory) everything.push_back(entry);
      }
    }
    // In name order: the file system's own order may differ from run to run.
    std::sort(everything.begin(), everything.end(),
              [](const FoundEntry& a, const FoundEntry& b) { return a.name < b.name; });
    for (const char* preset : kPresets) patterns_.push_back(preset);
    for (int i = 0; i < kFreePatterns; ++i) patterns_.push_back(GenerateFreePattern(random));
    for (int i = 0; i < kDerivedPatterns; ++i) {
      const FoundEntry& entry = everything[random.Below(everything.size())];
      const bool fromAlias = !entry.shortName.empty() && random.OneIn(3);
      patterns_.push_back(GeneratePatternFrom(random, fromAlias ? entry.shortName : entry.name));
    }
  }

  static void TearDownTestSuite() {
    delete tree_;
    tree_ = nullptr;
  }

  // One generated tree and pattern list for all tests of the suite: generating is the slow part.
  static TempTree* tree_;
  static std::vector<std::string> directories_;
  static std::vector<std::string> patterns_;
};

TempTree* CandidateFilterDifferentialTest::tree_ = nullptr;
std::vector<std::string> CandidateFilterDifferentialTest::directories_;
std::vector<std::string> CandidateFilterDifferentialTest::patterns_;

// Every file that the file system yields for a pattern must pass the filter, judged from the
// entry as the directory's full listing gave it (that is what the scan has in hand).
TEST_F(CandidateFilterDifferentialTest, KeepsEveryFileTheFileSystemYields) {
  Win32FileEnumeration files;
  int matchesChecked = 0;
  int matchesFiltered = 0;
  int searchesSpared = 0;
  int searchesEmpty = 0;
  int searches = 0;
  for (const std::string& directory : directories_) {
    std::map<std::string, FoundEntry> listing;
    for (const FoundEntry& entry : files.Enumerate(directory + "\\*.*")) {
      listing[entry.name] = entry;
    }
    for (const std::string& pattern : patterns_) {
      const CandidateFilter filter(pattern);
      bool anyCandidate = false;
      for (const auto& named : listing) {
        anyCandidate = anyCandidate || (!named.second.isDirectory && filter.MayMatch(named.second));
      }
      ++searches;
      if (!anyCandidate) ++searchesSpared;
      const std::vector<FoundEntry> yielded = files.Enumerate(directory + "\\" + pattern);
      if (yielded.empty()) ++searchesEmpty;
      for (const FoundEntry& found : yielded) {
        if (found.isDirectory) continue;
        ++matchesChecked;
        if (filter.Active()) ++matchesFiltered;
        const auto listed = listing.find(found.name);
        if (listed == listing.end()) continue;  // a pattern with a directory part: found below
        EXPECT_TRUE(filter.MayMatch(listed->second))
            << "pattern [" << pattern << "] drops [" << found.name << "] (short ["
            << listed->second.shortName << "]) in " << directory;
      }
    }
  }
  std::cout << searches << " searches, " << searchesEmpty << " of them empty, " << searchesSpared
            << " spared by the filter; " << matchesChecked << " matches checked, "
            << matchesFiltered << " of them against an active filter\n";
  // Guards against a generator gone slack: too few real matches would prove nothing.
  EXPECT_GT(matchesFiltered, 2000);
}

struct ScanOutcome {
  std::vector<std::string> numbers;
  std::vector<std::string> paths;
  std::vector<std::string> statusTexts;
};

ScanOutcome Scan(const std::string& root, const TargetPatternList& patterns,
                 ScanStrategy strategy) {
  Win32FileEnumeration files;
  MemoryScanWindow window(files);
  window.directory = root;
  window.ticked = {TargetBox::Vc6, TargetBox::Custom, TargetBox::Quick, TargetBox::Word,
                   TargetBox::Thumbs};
  window.customTargets = patterns;
  window.quickSearch = {patterns.back()};
  window.Scan(strategy);
  return {window.numbers, window.paths, window.statusTexts};
}

// The pre-filter and the listings kept between the sweep and the walk must not change a single
// row, number or status text. Every other generated pattern keeps the run short; the root's
// trailing separator makes the walks build texts that differ from the root's.
TEST_F(CandidateFilterDifferentialTest, ScanGivesTheSameRowsWithAndWithoutThePrefilter) {
  TargetPatternList patterns;
  for (std::size_t i = 0; i < patterns_.size(); i += 2) patterns.push_back(patterns_[i]);
  const std::string root = tree_->Root() + "\\";
  const ScanOutcome shared = Scan(root, patterns, ScanStrategy::SharedListing);
  const ScanOutcome reference = Scan(root, patterns, ScanStrategy::EnumeratePerPattern);
  std::cout << reference.paths.size() << " rows\n";
  EXPECT_GT(reference.paths.size(), 2000u) << "too few rows to prove anything";
  EXPECT_EQ(shared.paths, reference.paths);
  EXPECT_EQ(shared.numbers, reference.numbers);
  EXPECT_EQ(shared.statusTexts, reference.statusTexts);
}

}  // namespace
