#pragma once

#include "engine/scan_window.h"
#include "tests/engine/fake_file_system.h"

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

// What a scan did, in order: rows ("row 3 C:\a.tmp"), status texts ("status C:\x"), cancel
// tests ("cancel?"), window operations ("caption ...", "show", "hide", "redraw 0", "box 1012").
using EventLog = std::vector<std::string>;

class FakeResultList : public ResultList {
 public:
  explicit FakeResultList(EventLog& log) : log_(log) {}

  struct Row {
    std::string number;
    std::string path;
  };
  std::vector<Row> rows;
  std::set<int> failingAppends;  // by the 0-based count of AppendRow calls
  std::function<void(const std::string& path)> onRow;

  std::vector<std::string> Paths() const;

  int RowCount() override { return static_cast<int>(rows.size()); }
  int AppendRow(const std::string& numberText) override;
  void SetRowPath(int row, const std::string& path) override;
  bool IsRowTicked(int) override { return false; }
  std::string RowPath(int row) override { return rows.at(static_cast<std::size_t>(row)).path; }
  void RemoveRow(int row) override { rows.erase(rows.begin() + row); }
  void SetRedraw(bool on) override { log_.push_back(on ? "redraw 1" : "redraw 0"); }

 private:
  EventLog& log_;
  int appends_ = 0;
};

class FakeProgress : public ProgressOperations {
 public:
  explicit FakeProgress(EventLog& log) : log_(log) {}

  bool cancelFlag = false;
  std::string cancelOnStatus;  // a status text that sets the flag, as a Cancel press would
  std::function<void(const std::string&)> onStatus;

  std::vector<std::string> StatusTexts() const;

  void SetCaption(const std::string& text) override { log_.push_back("caption " + text); }
  void SetStatusText(const std::string& text) override;
  void ShowProgressBar(bool show) override { log_.push_back(show ? "bar 1" : "bar 0"); }
  void StartProgress(std::int32_t, std::int32_t, std::int32_t) override { cancelFlag = false; }
  void StepProgress() override {}
  void ShowProgress() override;
  void HideProgress() override { log_.push_back("hide"); }
  bool CancelRequested() override;

 private:
  EventLog& log_;
};

class FakeScanWindow : public ScanWindow {
 public:
  FakeScanWindow() : results(log), progress(log) {}

  EventLog log;
  FakeFileSystem files;
  FakeResultList results;
  FakeProgress progress;
  std::string directory;
  std::set<TargetBox> ticked;
  TargetPatternList customTargets;
  TargetPatternList quickSearch;

  std::string DirectoryText() override;
  bool IsBoxTicked(TargetBox box) override;
  TargetPatternList CopyCustomTargetList() override;
  TargetPatternList CopyQuickSearchList() override;
  ResultList& Results() override { return results; }
  ProgressOperations& Progress() override { return progress; }
  FileEnumeration& Files() override { return files; }
};
