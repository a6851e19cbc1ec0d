#pragma once

#include "engine/result_list.h"
#include "engine/scan_window.h"
#include "tests/win32/silent_progress.h"

#include <set>
#include <string>
#include <vector>

// A main window held in memory, for scans of real trees by the Windows-side tests and the
// benchmark: the request is set in plain members, the rows and status texts are read back.
// Every call is carried out at once on the calling thread.
class MemoryScanWindow final : public ScanWindow, public ResultList, public SilentProgress {
 public:
  explicit MemoryScanWindow(FileEnumeration& files) : files_(files) {}

  std::string directory;
  std::set<TargetBox> ticked;
  TargetPatternList customTargets;
  TargetPatternList quickSearch;
  bool keepStatusTexts = true;  // the benchmark only counts them

  std::vector<std::string> numbers;  // column 0 of each row
  std::vector<std::string> paths;    // column 1 of each row
  std::vector<std::string> statusTexts;
  int statusCount = 0;

  // ScanWindow
  std::string DirectoryText() override { return directory; }
  bool IsBoxTicked(TargetBox box) override { return ticked.count(box) != 0; }
  TargetPatternList CopyCustomTargetList() override { return customTargets; }
  TargetPatternList CopyQuickSearchList() override { return quickSearch; }
  ResultList& Results() override { return *this; }
  ProgressOperations& Progress() override { return *this; }
  FileEnumeration& Files() override { return files_; }

  // ResultList
  int RowCount() override { return static_cast<int>(numbers.size()); }
  int AppendRow(const std::string& numberText) override {
    numbers.push_back(numberText);
    paths.emplace_back();
    return RowCount() - 1;
  }
  void SetRowPath(int row, const std::string& path) override { paths.at(Index(row)) = path; }
  bool IsRowTicked(int) override { return false; }
  std::string RowPath(int row) override { return paths.at(Index(row)); }
  void RemoveRow(int row) override {
    numbers.erase(numbers.begin() + row);
    paths.erase(paths.begin() + row);
  }
  void SetRedraw(bool) override {}

  // ProgressOperations: only the status texts are kept.
  void SetStatusText(const std::string& text) override {
    ++statusCount;
    if (keepStatusTexts) statusTexts.push_back(text);
  }

 private:
  static std::size_t Index(int row) { return static_cast<std::size_t>(row); }

  FileEnumeration& files_;
};
