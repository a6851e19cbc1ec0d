#pragma once

#include "engine/result_list.h"
#include "engine/scan_worker.h"
#include "tests/win32/silent_progress.h"

#include <set>
#include <string>
#include <vector>

// The option boxes of a scan request.
enum class TargetBox { Vc6, Custom, Quick, Word, Thumbs };

// A main window held in memory, for scans of real trees by the Windows-side tests and the
// benchmark: the request is set in plain members, the rows and status texts are read back.
// Every call is carried out at once on the calling thread.
class MemoryScanWindow final : public ResultList, public SilentProgress {
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

  // Runs a scan of the request with the engine's ScanWorker.
  void Scan(ScanStrategy strategy = ScanStrategy::SharedListing) {
    const auto readPatterns = [this] {
      PatternRequest request;
      request.custom = ticked.count(TargetBox::Custom) != 0;
      request.quick = ticked.count(TargetBox::Quick) != 0;
      request.word = ticked.count(TargetBox::Word) != 0;
      request.thumbs = ticked.count(TargetBox::Thumbs) != 0;
      request.customTargets = customTargets;
      request.quickSearch = quickSearch;
      return request;
    };
    ScanJob job{directory, ticked.count(TargetBox::Vc6) != 0, readPatterns, files_, *this, *this,
                strategy};
    ScanWorker(&job);
  }

  // ResultList: the scan side.
  int RowCount() override { return static_cast<int>(numbers.size()); }
  int AppendRow(int number, const std::string& path) override {
    numbers.push_back(std::to_string(number));
    paths.push_back(path);
    return RowCount() - 1;
  }
  void SetRedraw(bool) override {}
  RowHandle FirstRow() override { return kNoRow; }
  RowHandle NextRow(RowHandle) override { return kNoRow; }
  bool IsRowTicked(RowHandle) override { return false; }
  std::string RowPath(RowHandle) override { return std::string(); }
  void RemoveRow(RowHandle) override {}

  // ProgressOperations: only the status texts are kept.
  void SetStatusText(const std::string& text) override {
    ++statusCount;
    if (keepStatusTexts) statusTexts.push_back(text);
  }

 private:
  FileEnumeration& files_;
};
