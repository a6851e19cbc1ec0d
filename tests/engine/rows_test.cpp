#include "engine/delete_mode.h"
#include "engine/delete_worker.h"
#include "engine/result_model.h"
#include "tests/engine/engine_fakes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <chrono>
#include <stdexcept>
#include <utility>

namespace {

// The rows the view shows once synced, as "number|path", ticked rows with a "+" in front.
Texts Shown(ResultModel& model) {
  model.SyncView(nullptr, 0);
  Texts rows;
  std::string number, path;
  for (int row = 0; model.RowText(row, 0, number) && model.RowText(row, 1, path); ++row) {
    rows.push_back((model.IsTickedAt(row) ? "+" : "") + number + "|" + path);
  }
  return rows;
}

// Paths come back whole, however rows share their directory's text. Rows join and leave the
// view only while redraw is on; leaving, in one quick pass that keeps the others' order, numbers
// and handles and moves the view's marks along. Emptying starts afresh.
TEST(ResultModel, ShowsRowsAsAppendedAndCompactsRemovedOnesWhileRedrawIsOn) {
  ResultModel model;
  const Texts paths = {"C:\\d\\a.tmp", "C:\\d\\b.tmp", "C:\\d\\sub\\c.tmp", "C:\\d\\e.tmp", "C:\\e\\f.tmp",
                       "C:\\d\\", "no separator", "", "D:\\文件\\😀.txt", "C:\\d\\sub/x\\y"};
  model.SetRedraw(false);
  Texts expected;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    EXPECT_EQ(model.AppendRow(static_cast<int>(i) + 7, paths[i]), static_cast<int>(i));
    expected.push_back(std::to_string(i + 7) + "|" + paths[i]);
  }
  EXPECT_TRUE(Shown(model).empty());
  model.SetRedraw(true);
  EXPECT_TRUE(model.SyncView(nullptr, 0).redrawChanged);
  EXPECT_EQ(Shown(model), expected);
  model.SetRedraw(false);
  const RowHandle second = model.NextRow(model.FirstRow());
  model.RemoveRow(second);
  model.RemoveRow(model.NextRow(model.NextRow(second)));  // the fourth
  EXPECT_EQ(model.RowCount() * 100 + static_cast<int>(Shown(model).size()), 810);
  model.SetRedraw(true);
  int marks[] = {1, 4, 5};
  EXPECT_TRUE(model.SyncView(marks, 3).rowsChanged);
  expected.erase(expected.begin() + 3);
  expected.erase(expected.begin() + 1);
  EXPECT_EQ(Shown(model), expected);
  EXPECT_EQ(std::vector<int>(marks, marks + 3), (std::vector<int>{-1, 2, 3}));
  EXPECT_EQ(model.RowPath(model.NextRow(second)) + model.RowPath(second), paths[2]);
  model.Clear();
  EXPECT_TRUE(Shown(model).empty());
  EXPECT_EQ(model.FirstRow(), kNoRow);
  EXPECT_EQ(model.AppendRow(1, "x"), 0);
  for (int number = 2; number <= 200000; ++number) model.AppendRow(number, "C:\\d\\f");
  for (RowHandle row = model.FirstRow(); row != kNoRow; row = model.NextRow(model.NextRow(row))) model.RemoveRow(row);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(model.SyncView(nullptr, 0).rowCount, 100000);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

// Every way the window ticks reaches the worker, which passes removed rows by. Type-to-find
// looks at the number column.
TEST(ResultModel, TicksSetByTheWindowAreWhatTheWorkerReadsAndFindMatchesNumbers) {
  ResultModel model;
  for (int number : {1, 12, 3, 120}) model.AppendRow(number, "C:\\f");
  model.SyncView(nullptr, 0);
  model.AppendRow(12, "C:\\f");  // not in the view yet
  const auto ticks = [&] {
    std::string seen;
    for (auto row = model.FirstRow(); row != kNoRow; row = model.NextRow(row)) seen += "01"[model.IsRowTicked(row)];
    return seen;
  };
  model.SetAllTicks(true);
  model.SetTickAt(0, false);
  model.ToggleTickAt(2);
  model.SetTickAt(4, false);  // outside the view: no effect
  EXPECT_EQ(ticks(), "01011");
  model.RemoveRow(model.NextRow(model.FirstRow()));
  EXPECT_EQ(ticks(), "0011");
  Shown(model);
  EXPECT_EQ(model.FindRow(0, "12", false, false), 3);
  EXPECT_EQ(model.FindRow(0, "12", true, false), 2);
  EXPECT_EQ(model.FindRow(3, "3", true, false), -1);
  EXPECT_EQ(model.FindRow(3, "3", true, true), 1);
  EXPECT_EQ(model.FindRow(-2, "x", true, true), -1);
}

// A deletion over the real model: a row per letter, numbered from 1, its path the letter in
// lower case, ticked where upper case. Every call the worker makes must see BusyFlag at 1.
class Deletion : RemovalOperations {
 public:
  explicit Deletion(const std::string& rows) {
    for (char row : rows) model.AppendRow(model.RowCount() + 1, std::string(1, static_cast<char>(std::tolower(row))));
    model.SyncView(nullptr, 0);
    for (std::size_t i = 0; i < rows.size(); ++i) model.SetTickAt(static_cast<int>(i), std::isupper(rows[i]) != 0);
  }
  ResultModel model;
  WorkerLog progress;
  Texts removals;  // each with the number of rows the view showed then
  std::function<void()> onRemoval;
  std::atomic<std::int32_t> busy{0};
  std::atomic<std::int32_t> mode{ModePlain};
  std::string failing;  // the rows whose removal fails

  void Run() {
    if (!progress.onEvent) progress.onEvent = [this](const std::string& e) { EXPECT_EQ(busy, 1) << e; };
    DeleteJob job{model, progress, *this, busy, mode};
    DeleteWorker(&job);
  }
  long Count(const std::string& entry) const { return std::count(progress.log.begin(), progress.log.end(), entry); }

 private:
  bool Remove(const std::string& entry) {
    progress.log.push_back(entry);
    EXPECT_EQ(busy, 1) << entry;
    removals.push_back(entry + " " + std::to_string(model.SyncView(nullptr, 0).rowCount));
    if (onRemoval) onRemoval();
    return failing.find(entry.back()) == std::string::npos;
  }
  bool PlainDelete(const std::string& path) override { return Remove("plain " + path); }
  bool ForcedDelete(const std::string& path) override { return Remove("forced " + path); }
  bool ShredFile(const std::string& path) override { return Remove("shred " + path); }
  bool RecycleFile(const std::string& path) override { return Remove("recycle " + path); }
  bool DeleteAtRestart(const std::string& path) override { return Remove("restart " + path); }
};

// The bar steps once per ticked row; a row whose removal fails stays, ticked, and the run goes on.
TEST(DeleteWorker, RemovesTickedRowsInOrderKeepingThoseWhoseRemovalFails) {
  Deletion deletion("AbCDe");
  deletion.failing = "c";
  deletion.Run();
  EXPECT_EQ(deletion.progress.log, (Texts{"caption 正在删除...", "bar 1", "range 0..5 by 1", "show", "cancel?",
                                           "status a", "step", "plain a", "cancel?", "cancel?", "status c", "step",
                                           "plain c", "cancel?", "status d", "step", "plain d", "cancel?", "hide"}));
  EXPECT_EQ(Shown(deletion.model), (Texts{"2|b", "+3|c", "5|e"}));
  DeleteWorker(nullptr);
}

// Each mode selects its operation (super: forced; an unknown one: none); only recycling shows
// each row go at once. A tick or the mode changed during the run counts when the worker reaches
// the row. However a run is cut short, the removal in hand finishes and its row goes; the
// progress is hidden, the list redrawing and BusyFlag 0.
TEST(DeleteWorker, EachModeItsOperationTicksReadAnewAndAStopBeforeTheNextRow) {
  const auto changeAfterTheFirst = [](Deletion& d) {
    d.onRemoval = [&d, first = true]() mutable {
      if (!std::exchange(first, false)) return;
      d.mode = ModeShred;
      d.model.SetTickAt(1, true);
      d.model.ToggleTickAt(2);
    };
  };
  const auto cancelAtTheSecondTest = [](Deletion& d) {
    d.progress.onEvent = [&d](const std::string& e) { d.progress.cancelFlag |= e == "cancel?" && d.Count(e) == 2; };
  };
  const auto cancelInRemoval = [](Deletion& d) { d.onRemoval = [&d] { d.progress.cancelFlag = true; }; };
  const auto failInRemoval = [](Deletion& d) { d.onRemoval = [] { throw std::runtime_error("out of memory"); }; };
  const Texts allLeft = {"1|a", "+2|b", "+3|c"};
  const struct {  // steps: ticked rows reached
    const char *what, *rows;
    std::int32_t mode;
    std::function<void(Deletion&)> arrange;
    Texts shown, removals;
    long steps;
  } cases[] = {
      {"plain", "aBC", ModePlain, nullptr, {"1|a"}, {"plain b 3", "plain c 3"}, 2},
      {"forced", "aBC", ModeForced, nullptr, {"1|a"}, {"forced b 3", "forced c 3"}, 2},
      {"super", "aBC", ModeSuper, nullptr, {"1|a"}, {"forced b 3", "forced c 3"}, 2},
      {"shred", "aBC", ModeShred, nullptr, {"1|a"}, {"shred b 3", "shred c 3"}, 2},
      {"recycle", "aBC", ModeRecycle, nullptr, {"1|a"}, {"recycle b 3", "recycle c 2"}, 2},
      {"at restart", "aBC", ModeAtRestart, nullptr, {"1|a"}, {"restart b 3", "restart c 3"}, 2},
      {"unknown", "aBC", 6, nullptr, allLeft, {}, 2},
      {"negative", "aBC", -1, nullptr, allLeft, {}, 2},
      {"changed during the run", "AbCd", ModePlain, changeAfterTheFirst, {"3|c", "4|d"}, {"plain a 4", "shred b 4"},
       2},
      {"cancel left from an earlier run", "AB", ModePlain, [](Deletion& d) { d.progress.cancelFlag = true; }, {},
       {"plain a 2", "plain b 2"}, 2},
      {"cancel at an unticked row", "aBC", ModePlain, cancelAtTheSecondTest, allLeft, {}, 0},
      {"cancel during a removal", "AbCD", ModePlain, cancelInRemoval, {"2|b", "+3|c", "+4|d"}, {"plain a 4"}, 1},
      {"failure escaping a removal", "AB", ModePlain, failInRemoval, {"+1|a", "+2|b"}, {"plain a 2"}, 1},
  };
  for (const auto& test : cases) {
    Deletion deletion(test.rows);
    deletion.mode = test.mode;
    if (test.arrange) test.arrange(deletion);
    deletion.Run();
    EXPECT_EQ(Shown(deletion.model), test.shown) << test.what;
    EXPECT_EQ(deletion.removals, test.removals) << test.what;
    EXPECT_EQ(deletion.Count("step"), test.steps) << test.what;
    EXPECT_EQ(deletion.Count("hide"), 1) << test.what;
    EXPECT_TRUE(deletion.model.SyncView(nullptr, 0).redraw && deletion.busy == 0) << test.what;
  }
}

}  // namespace
