#pragma once

#include "engine/directory_reader.h"
#include "engine/scan_window.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

using Texts = std::vector<std::string>;

// The file system's name matching as modelled here: "*" any run, "?" one byte, ASCII letters
// without case, "." and "*" left at the end of the mask match the end of the name, "*.*" all.
bool WildcardMatches(const std::string& mask, const std::string& name);

// An in-memory drive C: that enumerates as the scan expects of the file system: wildcards
// against the long or the short name, "." and ".." in every directory but the root, "\" and "/"
// alike, "." and ".." in paths as text, relative paths against a current directory, nothing
// beyond 259 characters, and directories that are reparse points, optionally showing another
// directory's entries. Entries come in the order added; every search is logged.
class FakeFileSystem : public FileEnumeration {
 public:
  FakeFileSystem();
  ~FakeFileSystem() override;

  // Paths are absolute ("C:\a\b"); missing parents become plain directories.
  void AddDirectory(const std::string& path) { Resolve(path, true); }
  void AddFile(const std::string& path, const std::string& shortName = "");
  void AddLink(const std::string& path, const std::string& target = "");
  void SetCurrentDirectory(const std::string& path) { Resolve(path, true, &current_); }

  std::vector<FoundEntry> Enumerate(const std::string& specification) override;

  Texts searches;

 private:
  struct Node;
  // The directory a path names, created when asked; its names below the root go to *names.
  Node* Resolve(const std::string& path, bool create, Texts* names = nullptr);
  Node* Add(const std::string& path, bool isDirectory);

  std::unique_ptr<Node> root_;
  Texts current_;
};

// A main window that logs what a scan does, in order: "row 3 C:\a.tmp", "status C:\x",
// "cancel?", "box 1012", "show", ...
class FakeScanWindow : public ScanWindow, public ResultList, public ProgressOperations {
 public:
  Texts log;
  FakeFileSystem files;
  Texts numbers;
  Texts paths;
  std::set<int> failingAppends;  // by the 0-based count of AppendRow calls
  std::function<void(const std::string& path)> onRow;
  std::function<void(const std::string& text)> onStatus;
  bool cancelFlag = false;
  std::string directory;
  std::set<TargetBox> ticked;
  TargetPatternList customTargets;
  TargetPatternList quickSearch;

  Texts StatusTexts() const;

  std::string DirectoryText() override { return directory; }
  bool IsBoxTicked(TargetBox box) override {
    log.push_back("box " + std::to_string(static_cast<int>(box)));
    return ticked.count(box) != 0;
  }
  TargetPatternList CopyCustomTargetList() override { return customTargets; }
  TargetPatternList CopyQuickSearchList() override { return quickSearch; }
  ResultList& Results() override { return *this; }
  ProgressOperations& Progress() override { return *this; }
  FileEnumeration& Files() override { return files; }

  int RowCount() override { return static_cast<int>(paths.size()); }
  int AppendRow(const std::string& numberText) override;
  void SetRowPath(int row, const std::string& path) override;
  bool IsRowTicked(int) override { return false; }
  std::string RowPath(int row) override { return paths.at(static_cast<std::size_t>(row)); }
  void RemoveRow(int) override {}
  void SetRedraw(bool on) override { log.push_back(on ? "redraw 1" : "redraw 0"); }

  void SetCaption(const std::string& text) override { log.push_back("caption " + text); }
  void SetStatusText(const std::string& text) override;
  void ShowProgressBar(bool show) override { log.push_back(show ? "bar 1" : "bar 0"); }
  void StartProgress(std::int32_t, std::int32_t, std::int32_t) override {}
  void StepProgress() override {}
  void ShowProgress() override { log.push_back("show"), cancelFlag = false; }
  void HideProgress() override { log.push_back("hide"); }
  bool CancelRequested() override { return log.push_back("cancel?"), cancelFlag; }

 private:
  int appends_ = 0;
};

// The walks' tests run under both strategies: they must not differ in anything observable.
class ScanStrategyTest : public ::testing::TestWithParam<ScanStrategy> {
 protected:
  FakeScanWindow w;
  FakeFileSystem& fs = w.files;
  DirectoryReader reader{w.files, GetParam()};
};

#define INSTANTIATE_FOR_BOTH_STRATEGIES(Suite)                                                   \
  INSTANTIATE_TEST_SUITE_P(, Suite,                                                              \
                           ::testing::Values(ScanStrategy::SharedListing,                        \
                                             ScanStrategy::EnumeratePerPattern),                 \
                           [](const auto& strategy) {                                            \
                             return std::string(strategy.param == ScanStrategy::SharedListing    \
                                                    ? "SharedListing" : "EnumeratePerPattern");  \
                           })
