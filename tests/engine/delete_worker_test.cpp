#include "engine/delete_worker.h"

#include "engine/delete_mode.h"
#include "engine/result_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

// A deletion over the real model. Rows are given as one letter each: the letter is the row's
// path, in upper case where the row is ticked; they are numbered from 1. The progress and the
// removal operations log what the worker does, and each call must see BusyFlag at 1.
class Deletion : ProgressOperations, RemovalOperations {
 public:
  explicit Deletion(const std::string& rows, std::string failing = "") : failing_(std::move(failing)) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
      rows_.AppendRow(static_cast<int>(i) + 1, std::string(1, static_cast<char>(std::tolower(rows[i]))));
    }
    rows_.SyncView(nullptr, 0);
    for (std::size_t i = 0; i < rows.size(); ++i) rows_.SetTickAt(static_cast<int>(i), std::isupper(rows[i]));
  }

  std::vector<std::string> log;
  std::function<void()> onRemoval;
  int cancelAtTest = -1;  // the CancelRequested call, from 0, from which on a cancel stands
  bool cancelFlag = false;
  std::atomic<std::int32_t> busy{0};
  std::atomic<std::int32_t> mode{ModePlain};

  void Run() {
    DeleteJob job{rows_, *this, *this, busy, mode};
    DeleteWorker(&job);
  }
  ResultModel& Model() { return rows_; }
  // What the view shows after the run: "2b" per row, ticked rows in upper case.
  std::string Shown() {
    rows_.SyncView(nullptr, 0);
    std::string shown, text;
    for (int row = 0; rows_.RowText(row, 0, text); ++row) {
      shown += text;
      rows_.RowText(row, 1, text);
      shown += rows_.IsTickedAt(row) ? static_cast<char>(std::toupper(text[0])) : text[0];
    }
    return shown;
  }
  long Count(const std::string& entry) const { return std::count(log.begin(), log.end(), entry); }

 private:
  void Record(const std::string& entry) {
    EXPECT_EQ(busy.load(), 1) << "at " << entry;
    log.push_back(entry);
  }
  bool Remove(const std::string& entry) {
    Record(entry);
    if (onRemoval) onRemoval();
    return failing_.find(entry.back()) == std::string::npos;
  }
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
  bool CancelRequested() override { return cancelFlag || (cancelAtTest >= 0 && tests_++ >= cancelAtTest); }
  bool PlainDelete(const std::string& path) override { return Remove("plain " + path); }
  bool ForcedDelete(const std::string& path) override { return Remove("forced " + path); }
  bool ShredFile(const std::string& path) override { return Remove("shred " + path); }
  bool RecycleFile(const std::string& path) override { return Remove("recycle " + path); }
  bool DeleteAtRestart(const std::string& path) override { return Remove("restart " + path); }

  ResultModel rows_;
  std::string failing_;
  int tests_ = 0;
};

// The bar steps once per ticked row, a failing removal included; a row whose removal fails
// stays, ticked, and the run goes on; the rows that stay keep their numbers.
TEST(DeleteWorker, RemovesTickedRowsInOrderKeepingThoseWhoseRemovalFails) {
  Deletion deletion("AbCDe", "c");
  deletion.Run();
  const std::vector<std::string> expected = {
      "caption 正在删除...", "bar shown", "range 0..5 by 1", "shown",
      "status a", "step", "plain a", "status c", "step", "plain c",
      "status d", "step", "plain d", "hidden"};
  EXPECT_EQ(deletion.log, expected);
  EXPECT_EQ(deletion.Shown(), "2b3C5e");
  EXPECT_EQ(deletion.busy.load(), 0);
  DeleteWorker(nullptr);
}

// The list is frozen for the run except in the recycle mode, where each row leaves the view
// as its file goes.
TEST(DeleteWorker, EachModeSelectsItsOperationAndOnlyRecyclingKeepsTheListRepainting) {
  const struct {
    std::int32_t mode;
    const char* operation;  // empty: nothing is removed
  } cases[] = {{ModePlain, "plain b"}, {ModeForced, "forced b"},   {ModeSuper, "forced b"},
               {ModeShred, "shred b"}, {ModeRecycle, "recycle b"}, {ModeAtRestart, "restart b"},
               {6, ""},                {-1, ""}};
  for (const auto& test : cases) {
    SCOPED_TRACE(test.mode);
    Deletion deletion("aBC");
    deletion.mode = test.mode;
    std::vector<int> rowsShown;
    deletion.onRemoval = [&] { rowsShown.push_back(deletion.Model().SyncView(nullptr, 0).rowCount); };
    deletion.Run();
    const bool removes = *test.operation != '\0';
    EXPECT_EQ(deletion.Shown(), removes ? "1a" : "1a2B3C");
    EXPECT_EQ(deletion.Count(test.operation), removes ? 1 : 0);
    // At the second removal, the first row removed has left the view only when recycling.
    const std::vector<int> expected = {3, test.mode == ModeRecycle ? 2 : 3};
    EXPECT_EQ(rowsShown, removes ? expected : std::vector<int>{});
  }
}

// A tick changed while the run goes, however it was changed, counts when the worker reaches
// the row; the mode too is read anew before every removal.
TEST(DeleteWorker, ReadsTicksAndTheModeAnewForEveryRow) {
  Deletion deletion("AbCd");
  deletion.onRemoval = [&, first = true]() mutable {
    if (!std::exchange(first, false)) return;
    deletion.mode = ModeShred;
    deletion.Model().SetTickAt(1, true);
    deletion.Model().ToggleTickAt(2);
  };
  deletion.Run();
  EXPECT_EQ(deletion.Shown(), "3c4d");
  EXPECT_EQ(deletion.Count("plain a") + deletion.Count("shred b"), 2);
}

// However a run is cut short, it ends with the progress hidden, the list redrawing and
// BusyFlag at 0; the removal in hand finishes and its row goes.
TEST(DeleteWorker, StopsBeforeTheNextRowWhenCancelled) {
  const struct {
    const char* what;
    const char* rows;
    std::function<void(Deletion&)> arrange;
    const char* shown;
    long steps;
  } cases[] = {
      {"a cancel left from an earlier run is cleared", "AB", [](Deletion& d) { d.cancelFlag = true; }, "", 2},
      {"while passing an unticked row", "aBC", [](Deletion& d) { d.cancelAtTest = 1; }, "1a2B3C", 0},
      {"during a long removal", "AbCD", [](Deletion& d) { d.onRemoval = [&d] { d.cancelFlag = true; }; }, "2b3C4D", 1},
      {"a failure escaping a removal", "AB",
       [](Deletion& d) { d.onRemoval = [] { throw std::runtime_error("out of memory"); }; }, "1A2B", 1},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.what);
    Deletion deletion(test.rows);
    test.arrange(deletion);
    deletion.Run();
    EXPECT_EQ(deletion.Shown(), test.shown);
    EXPECT_EQ(deletion.Count("step"), test.steps);
    EXPECT_EQ(deletion.Count("hidden"), 1);
    EXPECT_TRUE(deletion.Model().SyncView(nullptr, 0).redraw);
    EXPECT_EQ(deletion.busy.load(), 0);
  }
}

}  // namespace
