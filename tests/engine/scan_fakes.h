#pragma once

#include "engine/directory_reader.h"
#include "engine/scan_window.h"
#include "tests/engine/fake_file_system.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

using Texts = std::vector<std::string>;

// What a scan did, in order: "row 3 C:\a.tmp", "status C:\x", "cancel?", and the window's
// own operations ("show", "box 1012", ...).
using EventLog = Texts;

class FakeResultList : public ResultList {
 public:
  explicit FakeResultList(EventLog& log) : log_(log) {}

  Texts numbers;
  Texts paths;
  std::set<int> failingAppends;  // by the 0-based count of AppendRow calls
  std::function<void(const std::string& path)> onRow;

  int RowCount() override { return static_cast<int>(paths.size()); }
  int AppendRow(const std::string& numberText) override {
    if (failingAppends.count(appends_++) != 0) return -1;
    numbers.push_back(numberText);
    paths.emplace_back();
    return RowCount() - 1;
  }
  void SetRowPath(int row, const std::string& path) override {
    paths.at(static_cast<std::size_t>(row)) = path;
    log_.push_back("row " + numbers.at(static_cast<std::size_t>(row)) + " " + path);
    if (onRow) onRow(path);
  }
  bool IsRowTicked(int) override { return false; }
  std::string RowPath(int row) override { return paths.at(static_cast<std::size_t>(row)); }
  void RemoveRow(int) override {}
  void SetRedraw(bool on) override { log_.push_back(on ? "redraw 1" : "redraw 0"); }

 private:
  EventLog& log_;
  int appends_ = 0;
};

class FakeProgress : public ProgressOperations {
 public:
  explicit FakeProgress(EventLog& log) : log_(log) {}

  bool cancelFlag = false;
  std::function<void(const std::string& text)> onStatus;

  Texts StatusTexts() const {
    Texts texts;
    for (const std::string& event : log_) {
      if (event.rfind("status ", 0) == 0) texts.push_back(event.substr(7));
    }
    return texts;
  }

  void SetCaption(const std::string& text) override { log_.push_back("caption " + text); }
  void SetStatusText(const std::string& text) override {
    log_.push_back("status " + text);
    if (onStatus) onStatus(text);
  }
  void ShowProgressBar(bool show) override { log_.push_back(show ? "bar 1" : "bar 0"); }
  void StartProgress(std::int32_t, std::int32_t, std::int32_t) override {}
  void StepProgress() override {}
  void ShowProgress() override {
    log_.push_back("show");
    cancelFlag = false;
  }
  void HideProgress() override { log_.push_back("hide"); }
  bool CancelRequested() override {
    log_.push_back("cancel?");
    return cancelFlag;
  }

 private:
  EventLog& log_;
};

class FakeScanWindow : public ScanWindow {
 public:
  EventLog log;
  FakeFileSystem files;
  FakeResultList results{log};
  FakeProgress progress{log};
  std::string directory;
  std::set<TargetBox> ticked;
  TargetPatternList customTargets;
  TargetPatternList quickSearch;

  std::string DirectoryText() override { return Logged("directory", directory); }
  bool IsBoxTicked(TargetBox box) override {
    log.push_back("box " + std::to_string(static_cast<int>(box)));
    return ticked.count(box) != 0;
  }
  TargetPatternList CopyCustomTargetList() override { return Logged("copy custom", customTargets); }
  TargetPatternList CopyQuickSearchList() override { return Logged("copy quick", quickSearch); }
  ResultList& Results() override { return results; }
  ProgressOperations& Progress() override { return progress; }
  FileEnumeration& Files() override { return files; }

 private:
  template <typename T>
  T Logged(const char* event, const T& value) {
    log.push_back(event);
    return value;
  }
};

// The walks' tests run under both strategies: they must not differ in anything observable.
class ScanStrategyTest : public ::testing::TestWithParam<ScanStrategy> {
 protected:
  FakeScanWindow window;
  FakeFileSystem& fs = window.files;
  FakeResultList& results = window.results;
  FakeProgress& progress = window.progress;
  DirectoryReader reader{window.files, GetParam()};
};

inline std::string StrategyName(const ::testing::TestParamInfo<ScanStrategy>& info) {
  return info.param == ScanStrategy::SharedListing ? "SharedListing" : "EnumeratePerPattern";
}

#define INSTANTIATE_FOR_BOTH_STRATEGIES(Suite)                                                   \
  INSTANTIATE_TEST_SUITE_P(, Suite,                                                              \
                           ::testing::Values(ScanStrategy::SharedListing,                        \
                                             ScanStrategy::EnumeratePerPattern),                 \
                           StrategyName)
