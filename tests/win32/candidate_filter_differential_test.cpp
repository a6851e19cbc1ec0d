// A scan judges from a directory's full listing what the file system's search for a pattern
// would yield there. These tests put every judgement to the file system itself, on real
// directories full of generated names, with a fixed seed so that any failure reproduces.
#include "engine/result_model.h"
#include "engine/scan_worker.h"
#include "engine/win32/win32_file_enumeration.h"
#include "tests/win32/generated_names.h"
#include "tests/win32/temp_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
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
                                "*.obj", "~*", "*1*", "* *", "*..*", "*.dsw", "*.positions",
                                "*$$", "*s*s", "*.t*p", "*I*", "THUMBS.DB", "*~1*", "nul", "COM1.txt"};

class CountingFiles : public FileEnumeration {
 public:
  std::vector<FoundEntry> Enumerate(const std::string& search) override {
    ++searches;
    return real.Enumerate(search);
  }
  Win32FileEnumeration real;
  int searches = 0;
};

std::vector<std::string> FileNames(const std::vector<FoundEntry>& entries) {
  std::vector<std::string> names;
  for (const FoundEntry& entry : entries) {
    if (!entry.isDirectory) names.push_back(entry.name);
  }
  return names;
}

// One generated tree and pattern list for all tests, built on first use: generating is the slow
// part. Built inside a test, so that a tree that cannot be made fails that test; a failed suite
// set-up would show as skipped.
struct GeneratedTree {
  TempTree tree{"differential"};
  std::vector<std::string> directories;
  std::vector<std::string> patterns;

  GeneratedTree() {
    SeededRandom random(kSeed);
    for (int d = 0; d < kDirectories; ++d) {
      const std::string directory = "d" + std::to_string(d);
      tree.MakeDirectory(directory + "\\Temp");
      for (int n = 0; n < kNamesPerDirectory; ++n) {
        const std::string parent = directory + (random.OneIn(6) ? "\\Temp\\" : "\\");
        const bool isDirectory = random.OneIn(15);
        const std::string name = parent + GenerateFileName(random, !isDirectory);
        if (PathExists(tree.Path(name))) continue;  // the generator may repeat a name
        isDirectory ? tree.MakeDirectory(name) : tree.MakeFile(name);
      }
      directories.push_back(tree.Path(directory));
      directories.push_back(tree.Path(directory + "\\Temp"));
    }
    // Workspaces for the sweep, one of them in the root; names that are devices to Win32 path
    // parsing, and ordinary files to exact paths.
    for (const char* file : {"root.dsw", "root.ncb", "Debug\\root.obj", "d3\\w.dsw",
                             "d3\\Debug\\a.obj", "d3\\Debug\\vc60.pdb", "d3\\Release\\w.res",
                             "d3\\ReleaseU\\b.OBJ", "d1\\nul", "d2\\com1.TXT"}) {
      tree.MakeFile(file);
    }

    Win32FileEnumeration files;
    std::vector<FoundEntry> everything;
    for (const std::string& directory : directories) {
      for (const FoundEntry& entry : files.Enumerate(directory + "\\*.*")) {
        if (!entry.isDirectory) everything.push_back(entry);
      }
    }
    // In name order: the file system's own order may differ from run to run.
    std::sort(everything.begin(), everything.end(),
              [](const FoundEntry& a, const FoundEntry& b) { return a.name < b.name; });
    patterns.assign(std::begin(kPresets), std::end(kPresets));
    for (int i = 0; i < kFreePatterns; ++i) patterns.push_back(GenerateFreePattern(random));
    for (int i = 0; i < kDerivedPatterns; ++i) {
      const FoundEntry& entry = everything[random.Below(everything.size())];
      const bool fromAlias = !entry.shortName.empty() && random.OneIn(3);
      patterns.push_back(GeneratePatternFrom(random, fromAlias ? entry.shortName : entry.name));
    }
  }
};

const GeneratedTree& Generated() {
  static const GeneratedTree generated;
  return generated;
}

// Whatever the scan tells from a listing, files and order, is what the search yields.
TEST(CandidateFilterDifferential, WhatTheListingTellsIsWhatTheSearchYields) {
  const GeneratedTree& generated = Generated();
  int searches = 0;
  int judged = 0;
  int judgedMatches = 0;
  for (const std::string& directory : generated.directories) {
    CountingFiles files;
    DirectoryReader reader(files, ScanStrategy::SharedListing);
    reader.FullListing(directory);
    for (const std::string& pattern : generated.patterns) {
      const int before = files.searches;
      const std::vector<std::string> found = FileNames(reader.Search(directory, pattern));
      EXPECT_EQ(found, FileNames(files.real.Enumerate(PatternSearch(directory, pattern))))
          << "pattern [" << pattern << "] in " << directory;
      ++searches;
      if (files.searches == before) {
        ++judged;
        judgedMatches += static_cast<int>(found.size());
      }
    }
  }
  std::cout << searches << " searches, " << judged << " of them judged from the listing, with "
            << judgedMatches << " files yielded\n";
  // Guards against a generator gone slack: too few judged matches would prove nothing.
  EXPECT_GT(judgedMatches, 2000);
}

// A scan records its rows and the status texts it showed.
struct RecordedScan : ProgressOperations {
  ResultModel rows;
  std::vector<std::string> statusTexts;

  void SetCaption(const std::string&) override {}
  void SetStatusText(const std::string& text) override { statusTexts.push_back(text); }
  void ShowProgressBar(bool) override {}
  void StartProgress(std::int32_t, std::int32_t, std::int32_t) override {}
  void StepProgress() override {}
  void ShowProgress() override {}
  void HideProgress() override {}
  bool CancelRequested() override { return false; }

  std::vector<std::string> Rows() {
    std::vector<std::string> texts;
    const int count = rows.SyncView(nullptr, 0).rowCount;
    ResultModel::RowData row;
    for (int position = 0; position < count && rows.ReadRow(position, row); ++position) {
      texts.push_back(std::to_string(row.number) + "|" + row.path + "|" + std::to_string(row.size));
    }
    return texts;
  }
};

void Scan(RecordedScan& scan, const std::string& root, const TargetPatternList& patterns,
          ScanStrategy strategy) {
  Win32FileEnumeration files;
  const auto everyBox = [&patterns] {
    return PatternRequest{true, true, true, true, patterns, {patterns.back()}};
  };
  ScanJob job{root, true, everyBox, files, scan.rows, scan, strategy};
  ScanWorker(&job);
}

// Listings shared between patterns, kept between the sweep and the walk and judged instead of
// searched must not change a single row, number or status text. Every other generated pattern
// keeps the run short; the root's trailing separator makes the walks build texts that differ
// from the root's.
TEST(CandidateFilterDifferential, ScanGivesTheSameRowsAsOneSearchPerPattern) {
  const GeneratedTree& generated = Generated();
  TargetPatternList patterns;
  for (std::size_t i = 0; i < generated.patterns.size(); i += 2) patterns.push_back(generated.patterns[i]);
  const std::string root = generated.tree.Root() + "\\";
  RecordedScan shared;
  RecordedScan reference;
  Scan(shared, root, patterns, ScanStrategy::SharedListing);
  Scan(reference, root, patterns, ScanStrategy::EnumeratePerPattern);
  const std::vector<std::string> rows = reference.Rows();
  std::cout << rows.size() << " rows\n";
  EXPECT_GT(rows.size(), 2000u) << "too few rows to prove anything";
  EXPECT_EQ(shared.Rows(), rows);
  EXPECT_EQ(shared.statusTexts, reference.statusTexts);
}

}  // namespace
