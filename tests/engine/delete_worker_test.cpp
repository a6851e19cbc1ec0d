#include "engine/delete_worker.h"

#include "engine/delete_mode.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Row {
  std::string number;
  std::string path;
  bool ticked = false;
};

// One window with an in-memory list, progress window and removal operations. Every call that
// the worker makes is appended to `log`, and every one of them must see BusyFlag at 1.
class FakeDeleteWindow final : public DeleteWindow, ResultList, ProgressOperations, RemovalOperations {
 public:
  std::vector<Row> rows;
  std::vector<std::string> log;
  std::map<std::string, bool> fails;                       // path -> removal fails
  std::function<void(const std::string& path)> onRemoval;  // runs inside every removal
  std::function<void(int row)> onTickRead;
  std::int32_t cancelFlag = 0;
  std::atomic<std::int32_t> busy{0};
  std::atomic<std::int32_t> mode{ModePlain};

  // Rows "1".."n" with paths "a", "b", ..., ticked where the pattern has 'x'.
  explicit FakeDeleteWindow(const std::string& ticks) {
    for (std::size_t i = 0; i < ticks.size(); ++i) {
      rows.push_back({std::to_string(i + 1), std::string(1, static_cast<char>('a' + i)), ticks[i] == 'x'});
    }
  }

  std::string RemainingNumbers() const {
    std::string numbers;
    for (const Row& row : rows) numbers += row.number + (row.ticked ? "x" : "-") + " ";
    return numbers;
  }
  int Count(const std::string& entry) const {
    int count = 0;
    for (const std::string& line : log) count += line == entry ? 1 : 0;
    return count;
  }

  ResultList& Results() override { return *this; }
  ProgressOperations& Progress() override { return *this; }
  RemovalOperations& Removal() override { return *this; }
  std::atomic<std::int32_t>& BusyFlag() override { return busy; }
  std::atomic<std::int32_t>& DeleteModeWord() override { return mode; }

  int RowCount() override { return static_cast<int>(rows.size()); }
  int AppendRow(const std::string&) override {
    ADD_FAILURE() << "the worker never adds rows";
    return -1;
  }
  void SetRowPath(int, const std::string&) override { ADD_FAILURE() << "the worker never writes rows"; }
  bool IsRowTicked(int row) override {
    if (onTickRead) onTickRead(row);
    return At(row).ticked;
  }
  std::string RowPath(int row) override { return At(row).path; }
  void RemoveRow(int row) override {
    Record("remove " + At(row).path);
    rows.erase(rows.begin() + row);
  }
  void SetRedraw(bool on) override { Record(on ? "redraw on" : "redraw off"); }

  void SetCaption(const std::string& text) override { Record("caption " + text); }
  void SetStatusText(const std::string& text) override { Record("status " + text); }
  void ShowProgressBar(bool show) override { Record(show ? "bar shown" : "bar hidden"); }
  void StartProgress(std::int32_t lower, std::int32_t upper, std::int32_t step) override {
    Record("range " + std::to_string(lower) + ".." + std::to_string(upper) + " by " + std::to_string(step));
    cancelFlag = 0;
  }
  void StepProgress() override { Record("step"); }
  void ShowProgress() override {
    Record("shown");
    cancelFlag = 0;
  }
  void HideProgress() override { Record("hidden"); }
  bool CancelRequested() override { return cancelFlag != 0; }

  bool PlainDelete(const std::string& path) override { return Remove("plain", path); }
  bool ForcedDelete(const std::string& path) override { return Remove("forced", path); }
  bool ShredFile(const std::string& path) override { return Remove("shred", path); }
  bool RecycleFile(const std::string& path) override { return Remove("recycle", path); }
  bool DeleteAtRestart(const std::string& path) override { return Remove("restart", path); }

 private:
  Row& At(int row) {
    if (row < 0 || row >= static_cast<int>(rows.size())) {
      ADD_FAILURE() << "row " << row << " read from a list of " << rows.size();
      throw std::out_of_range("row");
    }
    return rows[static_cast<std::size_t>(row)];
  }
  void Record(const std::string& entry) {
    EXPECT_EQ(busy.load(), 1) << "at " << entry;
    log.push_back(entry);
  }
  bool Remove(const std::string& operation, const std::string& path) {
    Record(operation + " " + path);
    if (onRemoval) onRemoval(path);
    return !fails[path];
  }
};

TEST(DeleteWorker, RemovesTickedRowsInOrderAndLeavesTheOthersWithTheirNumbers) {
  FakeDeleteWindow window("x-xx-");
  DeleteWorker(&window);

  const std::vector<std::string> expected = {
      "redraw off", "caption 正在删除...", "bar shown", "range 0..5 by 1", "shown",
      "status a",   "step",                "plain a",   "remove a",
      "status c",   "step",                "plain c",   "remove c",
      "status d",   "step",                "plain d",   "remove d",
      "hidden",     "redraw on"};
  EXPECT_EQ(window.log, expected);
  EXPECT_EQ(window.RemainingNumbers(), "2- 5- ");
  EXPECT_EQ(window.busy.load(), 0);
}

TEST(DeleteWorker, AFailedRemovalKeepsItsTickedRowAndTheRunGoesOn) {
  FakeDeleteWindow window("xxx");
  window.fails["b"] = true;
  DeleteWorker(&window);

  EXPECT_EQ(window.RemainingNumbers(), "2x ");
  EXPECT_EQ(window.Count("step"), 3);
  EXPECT_EQ(window.Count("plain c"), 1);
  EXPECT_EQ(window.Count("remove c"), 1);
}

TEST(DeleteWorker, StepsOncePerTickedRowOverTheRangeOfAllRows) {
  struct Case {
    const char* ticks;
    const char* failing;
    const char* range;
    int steps;
    const char* remaining;
  };
  const Case cases[] = {
      {"", "", "range 0..0 by 1", 0, ""},                // nothing to do, window still shown and hidden
      {"---", "", "range 0..3 by 1", 0, "1- 2- 3- "},   // nothing ticked
      {"xxxx", "", "range 0..4 by 1", 4, ""},            // every row: the bar reaches its end
      {"x-x", "", "range 0..3 by 1", 2, "2- "},          // the middle row unticked
      {"xxxx", "abcd", "range 0..4 by 1", 4, "1x 2x 3x 4x "},
  };
  for (const Case& test : cases) {
    FakeDeleteWindow window(test.ticks);
    for (const char* path = test.failing; *path != '\0'; ++path) window.fails[std::string(1, *path)] = true;
    DeleteWorker(&window);
    EXPECT_EQ(window.Count(test.range), 1) << test.ticks;
    EXPECT_EQ(window.Count("step"), test.steps) << test.ticks;
    EXPECT_EQ(window.RemainingNumbers(), test.remaining) << test.ticks;
    EXPECT_EQ(window.Count("shown"), 1) << test.ticks;
    EXPECT_EQ(window.log.back(), "redraw on") << test.ticks;
  }
}

TEST(DeleteWorker, EachModeSelectsItsOperationAndOnlyRecyclingKeepsTheListRepainting) {
  struct Case {
    std::int32_t mode;
    const char* operation;  // empty: nothing is removed
    bool redrawOff;
  };
  const Case cases[] = {
      {ModePlain, "plain a", true},     {ModeForced, "forced a", true},   {ModeSuper, "forced a", true},
      {ModeShred, "shred a", true},     {ModeRecycle, "recycle a", false}, {ModeAtRestart, "restart a", true},
      {6, "", true},                    {-1, "", true},
  };
  for (const Case& test : cases) {
    FakeDeleteWindow window("x");
    window.mode = test.mode;
    DeleteWorker(&window);
    EXPECT_EQ(window.Count("redraw off"), test.redrawOff ? 1 : 0) << test.mode;
    EXPECT_EQ(window.Count("redraw on"), 1) << test.mode;
    EXPECT_EQ(window.Count("step"), 1) << test.mode;
    if (*test.operation != '\0') {
      EXPECT_EQ(window.Count(test.operation), 1) << test.mode;
      EXPECT_TRUE(window.rows.empty()) << test.mode;
    } else {
      EXPECT_EQ(window.log.size(), 9u) << "no operation expected for mode " << test.mode;
      EXPECT_EQ(window.RemainingNumbers(), "1x ") << test.mode;
    }
  }
}

TEST(DeleteWorker, ReadsTheModeAnewBeforeEveryRemoval) {
  FakeDeleteWindow window("xxx");
  window.onRemoval = [&](const std::string& path) {
    if (path == "a") window.mode = ModeShred;
    if (path == "b") window.mode = ModeRecycle;
  };
  DeleteWorker(&window);
  EXPECT_EQ(window.Count("plain a"), 1);
  EXPECT_EQ(window.Count("shred b"), 1);
  EXPECT_EQ(window.Count("recycle c"), 1);
  // Redraw was decided once, at the start.
  EXPECT_EQ(window.Count("redraw off"), 1);
}

TEST(DeleteWorker, ACancelDuringARemovalLetsItFinishAndStopsBeforeTheNextRow) {
  for (bool removalFails : {false, true}) {
    FakeDeleteWindow window("x-xx");
    window.fails["a"] = removalFails;
    window.onRemoval = [&](const std::string&) { window.cancelFlag = 1; };
    DeleteWorker(&window);
    EXPECT_EQ(window.RemainingNumbers(), removalFails ? "1x 2- 3x 4x " : "2- 3x 4x ");
    EXPECT_EQ(window.Count("step"), 1);
    EXPECT_EQ(window.Count("hidden"), 1);
    EXPECT_EQ(window.log.back(), "redraw on");
    EXPECT_EQ(window.cancelFlag, 1) << "hiding leaves the request in place";
    EXPECT_EQ(window.busy.load(), 0);
  }
}

TEST(DeleteWorker, ACancelIsSeenBeforeAnyRowTickedOrNot) {
  FakeDeleteWindow window("-xx");
  window.onTickRead = [&](int row) {
    if (row == 0) window.cancelFlag = 1;
  };
  DeleteWorker(&window);
  EXPECT_EQ(window.RemainingNumbers(), "1- 2x 3x ");
  EXPECT_EQ(window.Count("step"), 0);
}

TEST(DeleteWorker, ACancelLeftFromAnEarlierRunIsClearedWhenTheRunStarts) {
  FakeDeleteWindow window("xx");
  window.cancelFlag = 1;
  DeleteWorker(&window);
  EXPECT_EQ(window.RemainingNumbers(), "");
}

TEST(DeleteWorker, AnEscapingFailureStillEndsTheRunCleanly) {
  FakeDeleteWindow window("xx");
  window.onRemoval = [](const std::string&) { throw std::runtime_error("out of memory"); };
  DeleteWorker(&window);
  EXPECT_EQ(window.RemainingNumbers(), "1x 2x ");
  EXPECT_EQ(window.Count("hidden"), 1);
  EXPECT_EQ(window.log.back(), "redraw on");
  EXPECT_EQ(window.busy.load(), 0);
}

TEST(DeleteWorker, WithoutAWindowDoesNothing) { DeleteWorker(nullptr); }

}  // namespace
