#include "tests/engine/scan_fakes.h"

std::vector<std::string> FakeResultList::Paths() const {
  std::vector<std::string> paths;
  for (const Row& row : rows) paths.push_back(row.path);
  return paths;
}

int FakeResultList::AppendRow(const std::string& numberText) {
  if (failingAppends.count(appends_++) != 0) {
    log_.push_back("append failed");
    return -1;
  }
  rows.push_back(Row{numberText, ""});
  return static_cast<int>(rows.size()) - 1;
}

void FakeResultList::SetRowPath(int row, const std::string& path) {
  rows.at(static_cast<std::size_t>(row)).path = path;
  log_.push_back("row " + rows.at(static_cast<std::size_t>(row)).number + " " + path);
  if (onRow) onRow(path);
}

std::vector<std::string> FakeProgress::StatusTexts() const {
  std::vector<std::string> texts;
  for (const std::string& event : log_) {
    if (event.rfind("status ", 0) == 0) texts.push_back(event.substr(7));
  }
  return texts;
}

void FakeProgress::SetStatusText(const std::string& text) {
  log_.push_back("status " + text);
  if (!cancelOnStatus.empty() && text == cancelOnStatus) cancelFlag = true;
  if (onStatus) onStatus(text);
}

void FakeProgress::ShowProgress() {
  log_.push_back("show");
  cancelFlag = false;
}

bool FakeProgress::CancelRequested() {
  log_.push_back("cancel?");
  return cancelFlag;
}

std::string FakeScanWindow::DirectoryText() {
  log.push_back("directory");
  return directory;
}

bool FakeScanWindow::IsBoxTicked(TargetBox box) {
  log.push_back("box " + std::to_string(static_cast<int>(box)));
  return ticked.count(box) != 0;
}

TargetPatternList FakeScanWindow::CopyCustomTargetList() {
  log.push_back("copy custom");
  return customTargets;
}

TargetPatternList FakeScanWindow::CopyQuickSearchList() {
  log.push_back("copy quick");
  return quickSearch;
}
