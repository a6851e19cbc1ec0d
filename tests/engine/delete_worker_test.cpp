#include "engine/delete_worker.h"

#include "engine/delete_mode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// A window whose list is a string of one letter per row: the letter is the row's path, in
// upper case where the row is ticked. Every call the worker makes is logged, and each must
// see BusyFlag at 1.
class FakeWindow final : public DeleteWindow, ResultList, ProgressOperations, RemovalOperations {
 public:
  explicit FakeWindow(std::string list, std::string failing = "")
      : rows(std::move(list)), failing_(std::move(failing)) {}

  std::string rows;
  std::vector<std::string> log;
  std::function<void()> onRemoval;
  std::function<void()> onTickRead;
  bool cancelFlag = false;
  std::atomic<std::int32_t> busy{0};
  std::atomic<std::int32_t> mode{ModePlain};

  long Count(const std::string& entry) const { return std::count(log.begin(), log.end(), entry); }

  ResultList& Results() override { return *this; }
  ProgressOperations& Progress() override { return *this; }
  RemovalOperations& Removal() override { return *this; }
  std::atomic<std::int32_t>& BusyFlag() override { return busy; }
  std::atomic<std::int32_t>& DeleteModeWord() override { return mode; }

  int RowCount() override { return static_cast<int>(rows.size()); }
  int AppendRow(const std::string&) override { return Record("append"), -1; }
  void SetRowPath(int, const std::string&) override { Record("row written"); }
  bool IsRowTicked(int row) override {
    if (onTickRead) onTickRead();
    return std::isupper(At(row)) != 0;
  }
  std::string RowPath(int row) override { return std::string(1, static_cast<char>(std::tolower(At(row)))); }
  void RemoveRow(int row) override {
    Record("remove " + RowPath(row));
    rows.erase(static_cast<std::size_t>(row), 1);
  }
  void SetRedraw(bool on) override { Record(on ? "redraw on" : "redraw off"); }

  void SetCaption(const std::string& text) override { Record("caption " + text); }
  void SetStatusText(const std::string& text) override { Record("status " + text); }
  void ShowProgressBar(bool show) override { Record(show ? "bar shown" : "bar hidden"); }
  void StartProgress(std::int32_t lower, std::int32_t upper, std::int32_t step) override {
    Record("range " + std::to_string(lower) + ".." + std::to_string(upper) + " by " + std::to_string(step));
    cancelFlag = false;
  }
  void StepProgress() override { Record("step"); }
  void ShowProgress() override { Record("shown"), cancelFlag = false; }
  void HideProgress() override { Record("hidden"); }
  bool CancelRequested() override { return cancelFlag; }

  bool PlainDelete(const std::string& path) override { return Remove("plain " + path); }
  bool ForcedDelete(const std::string& path) override { return Remove("forced " + path); }
  bool ShredFile(const std::string& path) override { return Remove("shred " + path); }
  bool RecycleFile(const std::string& path) override { return Remove("recycle " + path); }
  bool DeleteAtRestart(const std::string& path) override { return Remove("restart " + path); }

 private:
  // A row past the list throws, which the worker survives but the test sees.
  unsigned char At(int row) { return static_cast<unsigned char>(rows.at(static_cast<std::size_t>(row))); }
  void Record(const std::string& entry) {
    EXPECT_EQ(busy.load(), 1) << "at " << entry;
    log.push_back(entry);
  }
  bool Remove(const std::string& entry) {
    Record(entry);
    if (onRemoval) onRemoval();
    return failing_.find(entry.back()) == std::string::npos;
  }
  std::string failing_;
};

// The bar steps once per ticked row, a failing removal included; a row whose removal fails
// stays, and the run goes on.
TEST(DeleteWorker, RemovesTickedRowsInOrderKeepingThoseWhoseRemovalFails) {
  FakeWindow window("AbCDe", "c");
  DeleteWorker(&window);
  const std::vector<std::string> expected = {
      "redraw off", "caption 正在删除...", "bar shown", "range 0..5 by 1", "shown",
      "status a",   "step",                "plain a",   "remove a",
      "status c",   "step",                "plain c",
      "status d",   "step",                "plain d",   "remove d",
      "hidden",     "redraw on"};
  EXPECT_EQ(window.log, expected);
  EXPECT_EQ(window.rows, "bCe");
  EXPECT_EQ(window.busy.load(), 0);
  DeleteWorker(nullptr);
}

TEST(DeleteWorker, EachModeSelectsItsOperationAndOnlyRecyclingKeepsTheListRepainting) {
  struct Case {
    std::int32_t mode;
    const char* operation;  // empty: nothing is removed
  } const cases[] = {{ModePlain, "plain a"}, {ModeForced, "forced a"},   {ModeSuper, "forced a"},
                     {ModeShred, "shred a"}, {ModeRecycle, "recycle a"}, {ModeAtRestart, "restart a"},
                     {6, ""},                {-1, ""}};
  for (const Case& test : cases) {
    SCOPED_TRACE(test.mode);
    FakeWindow window("A");
    window.mode = test.mode;
    DeleteWorker(&window);
    EXPECT_EQ(window.Count("redraw off"), test.mode == ModeRecycle ? 0 : 1);
    EXPECT_EQ(window.rows, *test.operation == '\0' ? "A" : "");
    EXPECT_EQ(window.Count(test.operation), *test.operation == '\0' ? 0 : 1);
  }
}

TEST(DeleteWorker, ReadsTheModeAnewBeforeEveryRemoval) {
  FakeWindow window("ABC");
  window.onRemoval = [&] { window.mode = window.mode == ModePlain ? ModeShred : ModeRecycle; };
  DeleteWorker(&window);
  EXPECT_EQ(window.Count("plain a") + window.Count("shred b") + window.Count("recycle c"), 3);
  EXPECT_EQ(window.Count("redraw off"), 1) << "redraw is decided once, at the start";
}

// However a run is cut short, it ends with the progress window hidden, the list repainting
// and BusyFlag at 0.
TEST(DeleteWorker, StopsBeforeTheNextRowWhenCancelled) {
  auto cancel = [](FakeWindow& w) { return [&w] { w.cancelFlag = true; }; };
  struct Case {
    const char* what;
    const char* rows;
    const char* failing;
    std::function<void(FakeWindow&)> arrange;
    const char* remaining;
    long steps;
  } const cases[] = {
      {"a cancel left from an earlier run is cleared", "AB", "", [](FakeWindow& w) { w.cancelFlag = true; }, "", 2},
      {"while passing an unticked row", "aBC", "", [&](FakeWindow& w) { w.onTickRead = cancel(w); }, "aBC", 0},
      {"during a long removal, which finishes", "AbCD", "", [&](FakeWindow& w) { w.onRemoval = cancel(w); }, "bCD", 1},
      {"a failure escaping a removal", "AB", "",
       [](FakeWindow& w) { w.onRemoval = [] { throw std::runtime_error("out of memory"); }; }, "AB", 1},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    FakeWindow window(test.rows, test.failing);
    test.arrange(window);
    DeleteWorker(&window);
    EXPECT_EQ(window.rows, test.remaining);
    EXPECT_EQ(window.Count("step"), test.steps);
    EXPECT_EQ(window.Count("hidden"), 1);
    EXPECT_EQ(window.log.back(), "redraw on");
    EXPECT_EQ(window.busy.load(), 0);
  }
}

}  // namespace
