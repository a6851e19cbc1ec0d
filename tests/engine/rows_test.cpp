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

FoundFile File(const std::string& path, std::uint64_t size = 0) { return FoundFile{path, size}; }

// The rows the view shows once synced, as "number|path", ticked rows with a "+" in front and
// an outcome other than "not tried" behind "!" (kind, code).
Texts Shown(ResultModel& model) {
  model.SyncView(nullptr, 0);
  Texts rows;
  ResultModel::RowData row;
  for (int position = 0; model.ReadRow(position, row); ++position) {
    std::string shown = (row.ticked ? "+" : "") + std::to_string(row.number) + "|" + row.path;
    if (row.outcome.kind() != RemovalOutcome::Kind::kNotTried) {
      shown += "!" + std::to_string(static_cast<int>(row.outcome.kind())) + "," + std::to_string(row.outcome.code());
    }
    rows.push_back(shown);
  }
  return rows;
}

// Totals as "all rows/bytes shown rows/bytes ticked rows/bytes", and the last run's tally.
std::string TotalsOf(ResultModel& model) {
  const ResultModel::Totals t = model.CurrentTotals();
  std::string text;
  for (const ResultModel::Tally& tally : {t.all, t.shown, t.ticked}) {
    text += std::to_string(tally.rows) + "/" + std::to_string(tally.bytes) + " ";
  }
  if (t.ranRemoval) text += "run " + std::to_string(t.removed.rows) + "/" + std::to_string(t.removed.bytes) + " stayed " + std::to_string(t.stayed);
  return text;
}

// Paths come back whole, however rows share their directory's text. Rows join the view only
// while redraw is on, and leave it when their removal is reported, keeping the others' order,
// numbers and handles and moving the view's marks along; a failed removal keeps the row, its
// tick and why. Emptying starts afresh.
TEST(ResultModel, ShowsRowsAsAppendedAndDropsRemovedOnesWhileRedrawIsOn) {
  ResultModel model;
  const Texts paths = {"C:\\d\\a.tmp", "C:\\d\\b.tmp", "C:\\d\\sub\\c.tmp", "C:\\d\\e.tmp", "C:\\e\\f.tmp",
                       "C:\\d\\", "no separator", "", "D:\\文件\\😀.txt", "C:\\d\\sub/x\\y"};
  model.SetRedraw(false);
  Texts expected;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    EXPECT_EQ(model.AppendRow(static_cast<int>(i) + 7, File(paths[i])), static_cast<int>(i));
    expected.push_back(std::to_string(i + 7) + "|" + paths[i]);
  }
  EXPECT_TRUE(Shown(model).empty());
  model.SetRedraw(true);
  EXPECT_TRUE(model.SyncView(nullptr, 0).redrawChanged);
  EXPECT_EQ(Shown(model), expected);
  model.SetRedraw(false);
  const RowHandle second = model.NextRow(model.FirstRow());
  model.SetOutcome(second, RemovalOutcome::Removed());
  const RowHandle fourth = model.NextRow(model.NextRow(second));
  model.SetOutcome(fourth, RemovalOutcome::Removed());
  model.SetOutcome(model.NextRow(fourth), RemovalOutcome::SystemError(32));
  EXPECT_EQ(model.RowCount(), 8);
  EXPECT_EQ(Shown(model).size(), 10u);
  model.SetRedraw(true);
  int marks[] = {1, 4, 5};
  EXPECT_TRUE(model.SyncView(marks, 3).rowsChanged);
  expected.erase(expected.begin() + 3);
  expected.erase(expected.begin() + 1);
  expected[2] += "!2,32";
  EXPECT_EQ(Shown(model), expected);
  EXPECT_EQ(std::vector<int>(marks, marks + 3), (std::vector<int>{-1, 2, 3}));
  EXPECT_EQ(model.RowPath(model.NextRow(second)) + model.RowPath(second), paths[2] + paths[1]);
  model.Clear();
  EXPECT_TRUE(Shown(model).empty());
  EXPECT_EQ(model.FirstRow(), kNoRow);
  EXPECT_EQ(model.AppendRow(1, File("x")), 0);
  EXPECT_EQ(Shown(model), Texts{"1|x"});
}

// Every way the window ticks reaches the worker, which passes removed rows by; the totals
// follow every change without a count afresh, and type-to-find looks at the number column.
TEST(ResultModel, TicksAndTotalsFollowEveryChangeAndFindMatchesNumbers) {
  ResultModel model;
  const std::pair<int, std::uint64_t> rows[] = {{1, 10}, {12, 200}, {3, 3000}, {120, 40000}};
  for (const auto& [number, size] : rows) model.AppendRow(number, File("C:\\d\\f" + std::to_string(number) + ".tmp", size));
  model.SyncView(nullptr, 0);
  model.AppendRow(12, File("C:\\d\\late.log", 500000));  // not in the view yet
  const auto ticks = [&] {
    std::string seen;
    for (auto row = model.FirstRow(); row != kNoRow; row = model.NextRow(row)) seen += "01"[model.IsRowTicked(row)];
    return seen;
  };
  EXPECT_EQ(TotalsOf(model), "5/543210 5/543210 0/0 ");
  model.SetAllTicks(true);
  EXPECT_EQ(TotalsOf(model), "5/543210 5/543210 5/543210 ");
  model.SetTickAt(0, false);
  model.ToggleTickAt(2);
  model.SetTickAt(4, false);  // outside the view: no effect
  EXPECT_EQ(ticks(), "01011");
  EXPECT_EQ(TotalsOf(model), "5/543210 5/543210 3/540200 ");
  model.InvertTicks();
  EXPECT_EQ(ticks(), "10100");
  EXPECT_EQ(TotalsOf(model), "5/543210 5/543210 2/3010 ");
  EXPECT_EQ(model.TickMatching("F1*.TMP", true), 3u);  // f1, f12 and f120, letters without case
  EXPECT_EQ(model.TickMatching("*.log", false), 1u);
  EXPECT_EQ(ticks(), "11110");
  model.BeginRemovalRun();
  model.SetOutcome(model.NextRow(model.FirstRow()), RemovalOutcome::Removed());
  model.SetOutcome(model.FirstRow(), RemovalOutcome::Refused(Refusal::kReadOnly));
  EXPECT_EQ(ticks(), "1110");
  EXPECT_EQ(TotalsOf(model), "4/543010 4/543010 3/43010 run 1/200 stayed 1");
  Shown(model);
  EXPECT_EQ(model.FindRow(0, "12", false, false), 3);
  EXPECT_EQ(model.FindRow(0, "12", true, false), 2);
  EXPECT_EQ(model.FindRow(2, "3", true, false), -1);
  EXPECT_EQ(model.FindRow(2, "3", true, true), 1);
  EXPECT_EQ(model.FindRow(-2, "x", true, true), -1);
  Texts exported;
  model.ForEachRow(false, [&](const ResultModel::RowData& row) { return exported.push_back(row.path), true; });
  EXPECT_EQ(exported, (Texts{"C:\\d\\f1.tmp", "C:\\d\\f3.tmp", "C:\\d\\f120.tmp", "C:\\d\\late.log"}));
  exported.clear();
  model.ForEachRow(true, [&](const ResultModel::RowData& row) { return exported.push_back(row.path), exported.size() < 2; });
  EXPECT_EQ(exported, (Texts{"C:\\d\\f1.tmp", "C:\\d\\f3.tmp"}));
  model.Clear();
  EXPECT_EQ(TotalsOf(model), "0/0 0/0 0/0 ");
}

// Texts ranked by their bytes, outcomes named by kind and code.
class ByteOrder : public DisplayTexts {
 public:
  std::vector<std::uint32_t> Rank(const std::vector<std::string_view>& texts) override {
    std::vector<std::uint32_t> ranks;
    for (std::string_view text : texts) {
      ranks.push_back(static_cast<std::uint32_t>(std::count_if(texts.begin(), texts.end(), [&](std::string_view other) {
        return other < text;
      })));
    }
    return ranks;
  }
  std::string OutcomeText(const RemovalOutcome& outcome) override {
    return outcome.kind() == RemovalOutcome::Kind::kNotTried ? "" : "code " + std::to_string(outcome.code());
  }
};

// Every column sorts both ways, equal keys by number; paths go by directory, then name. The
// marks, ticks and outcomes stay with their rows, removals leave the order as it is and the
// worker still visits the rows in number order.
TEST(ResultModel, SortsByEachColumnKeepingMarksTicksAndTheWorkersOrder) {
  ResultModel model;
  const std::pair<const char*, std::uint64_t> files[] = {
      {"C:\\b\\x.tmp", 5}, {"C:\\a\\y.tmp", 7}, {"C:\\b\\a.tmp", 5}, {"C:\\a\\sub\\a.tmp", 1}, {"C:\\a\\x.tmp", 9}};
  for (const auto& [path, size] : files) model.AppendRow(model.RowCount() + 1, File(path, size));
  model.SyncView(nullptr, 0);
  model.SetTickAt(1, true);
  model.SetOutcome(model.NextRow(model.NextRow(model.FirstRow())), RemovalOutcome::SystemError(5));
  model.SetOutcome(model.FirstRow(), RemovalOutcome::SystemError(32));
  ByteOrder order;
  const auto numberAt = [&](int position) {
    ResultModel::RowData row;
    return model.ReadRow(position, row) ? row.number : -1;
  };
  const auto numbers = [&] {
    std::string text;
    for (int position = 0; numberAt(position) >= 0; ++position) text += std::to_string(numberAt(position)) + " ";
    return text;
  };
  const struct { Column column; bool descending; const char* numbers; } cases[] = {
      {Column::kPath, false, "5 2 4 3 1 "},    {Column::kPath, true, "1 3 4 2 5 "},
      {Column::kSize, false, "4 1 3 2 5 "},    {Column::kSize, true, "5 2 1 3 4 "},
      {Column::kOutcome, false, "2 4 5 1 3 "}, {Column::kOutcome, true, "3 1 2 4 5 "},
      {Column::kNumber, true, "5 4 3 2 1 "},   {Column::kNumber, false, "1 2 3 4 5 "},
  };
  int marks[] = {1, 0};  // selection and focus
  for (const auto& c : cases) {
    const int marked[] = {numberAt(marks[0]), numberAt(marks[1])};
    model.Sort(c.column, c.descending, order, marks, 2);
    EXPECT_EQ(numbers(), c.numbers) << static_cast<int>(c.column) << c.descending;
    EXPECT_EQ(numberAt(marks[0]), marked[0]);
    EXPECT_EQ(numberAt(marks[1]), marked[1]);
  }
  EXPECT_TRUE(model.IsRowTicked(model.NextRow(model.FirstRow())));
  model.Sort(Column::kSize, true, order, nullptr, 0);
  model.SetOutcome(model.NextRow(model.FirstRow()), RemovalOutcome::Removed());
  EXPECT_EQ(Shown(model), (Texts{"5|C:\\a\\x.tmp", "1|C:\\b\\x.tmp!2,32", "3|C:\\b\\a.tmp!2,5", "4|C:\\a\\sub\\a.tmp"}));
  Texts visited;
  for (RowHandle row = model.FirstRow(); row != kNoRow; row = model.NextRow(row)) visited.push_back(model.RowPath(row));
  EXPECT_EQ(visited, (Texts{"C:\\b\\x.tmp", "C:\\b\\a.tmp", "C:\\a\\sub\\a.tmp", "C:\\a\\x.tmp"}));
}

bool Narrow(ResultModel& model, const std::string& text) {
  ResultModel::Narrowing narrowing = model.PrepareNarrowing(text);
  const std::atomic<bool> abandon{false};
  return narrowing.Run(abandon) && model.ApplyNarrowing(narrowing);
}

// A filter shows the rows whose path holds its text, letters without case in any alphabet with
// case, or with "*" or "?" those whose name matches it; the rows keep the order of the last
// sort and their ticks through narrowing and widening. What a removal takes, Tick all, invert,
// tick by pattern and the totals go by the rows shown; hidden rows keep their ticks.
TEST(ResultModel, NarrowsToTheRowsAFilterTakesAndWidensBackKeepingOrderAndTicks) {
  ResultModel model;
  for (const char* path : {"C:\\Src\\main.cpp", "C:\\src\\报告.doc", "C:\\docs\\Main.txt", "C:\\docs\\sub\\ÜBER.md",
                           "C:\\x\\a.tmp", "C:\\x\\ab.tmp"}) {
    model.AppendRow(model.RowCount() + 1, File(path, 10));
  }
  model.SyncView(nullptr, 0);
  ByteOrder order;
  model.Sort(Column::kNumber, true, order, nullptr, 0);
  const auto numbers = [&] {
    std::string text;
    ResultModel::RowData row;
    for (int position = 0; model.ReadRow(position, row); ++position) text += std::to_string(row.number);
    return text;
  };
  const struct { const char *text, *shown; } cases[] = {
      {"main", "31"},     {"MAIN.", "31"},    {"src\\m", "1"}, {"c:\\src\\", "21"}, {"报告", "2"},
      {"über", "4"},      {"*.TXT", "3"},     {"?.tmp", "5"},   {"*", "654321"},        {"docs", "43"},
      {"zzz", ""},        {"", "654321"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(Narrow(model, c.text)) << c.text;
    EXPECT_EQ(numbers(), c.shown) << c.text;
    EXPECT_EQ(model.CurrentTotals().shown.rows, static_cast<std::int64_t>(std::string(c.shown).size())) << c.text;
    EXPECT_EQ(model.CurrentTotals().narrowed, *c.text != '\0') << c.text;
  }
  model.SetTickAt(0, true);  // row 6, hidden from here on
  ASSERT_TRUE(Narrow(model, "tmp") && Narrow(model, "tmp"));
  EXPECT_EQ(numbers(), "65");
  model.InvertTicks();
  EXPECT_EQ(TotalsOf(model), "6/60 2/20 1/10 ");
  model.SetAllTicks(true);
  ASSERT_TRUE(Narrow(model, "o"));
  model.TickMatching("*.doc", true);
  EXPECT_EQ(TotalsOf(model), "6/60 3/30 1/10 ");
  std::string taken;  // what a removal would take, in number order
  for (RowHandle row = model.FirstRow(); row != kNoRow; row = model.NextRow(row)) taken += "01"[model.IsRowTicked(row)];
  EXPECT_EQ(taken, "010000");
  ASSERT_TRUE(Narrow(model, ""));
  EXPECT_EQ(numbers(), "654321");
  EXPECT_EQ(TotalsOf(model), "6/60 6/60 3/30 ");
  // Work that was abandoned, or prepared before a sort, changes nothing.
  ResultModel::Narrowing abandoned = model.PrepareNarrowing("main");
  EXPECT_FALSE(abandoned.Run(std::atomic<bool>{true}) || model.ApplyNarrowing(abandoned));
  ResultModel::Narrowing stale = model.PrepareNarrowing("main");
  model.Sort(Column::kNumber, false, order, nullptr, 0);
  EXPECT_TRUE(stale.Run(std::atomic<bool>{false}));
  EXPECT_FALSE(model.ApplyNarrowing(stale));
  EXPECT_EQ(numbers(), "123456");
}

// A deletion over the real model: a row per letter, numbered from 1, its path the letter in
// lower case, ticked where upper case. Every call the worker makes must see BusyFlag at 1.
class Deletion : RemovalOperations {
 public:
  explicit Deletion(const std::string& rows) {
    for (char row : rows) model.AppendRow(model.RowCount() + 1, File(std::string(1, static_cast<char>(std::tolower(row))), 1));
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
  RemovalOutcome Remove(const std::string& entry) {
    progress.log.push_back(entry);
    EXPECT_EQ(busy, 1) << entry;
    removals.push_back(entry + " " + std::to_string(model.SyncView(nullptr, 0).rowCount));
    if (onRemoval) onRemoval();
    if (failing.find(entry.back()) == std::string::npos) return RemovalOutcome::Removed();
    return RemovalOutcome::SystemError(static_cast<std::uint32_t>(entry.back()));
  }
  RemovalOutcome PlainDelete(const std::string& path) override { return Remove("plain " + path); }
  RemovalOutcome ForcedDelete(const std::string& path) override { return Remove("forced " + path); }
  RemovalOutcome ShredFile(const std::string& path) override { return Remove("shred " + path); }
  RemovalOutcome RecycleFile(const std::string& path) override { return Remove("recycle " + path); }
  RemovalOutcome DeleteAtRestart(const std::string& path) override { return Remove("restart " + path); }
};

// The bar steps once per ticked row; a row whose removal fails stays, ticked, with why, and the
// run goes on.
TEST(DeleteWorker, RemovesTickedRowsInOrderKeepingThoseWhoseRemovalFails) {
  Deletion deletion("AbCDe");
  deletion.failing = "c";
  deletion.Run();
  EXPECT_EQ(deletion.progress.log, (Texts{"caption 正在删除...", "bar 1", "range 0..5 by 1", "show", "cancel?",
                                           "status a", "step", "plain a", "cancel?", "cancel?", "status c", "step",
                                           "plain c", "cancel?", "status d", "step", "plain d", "cancel?", "hide"}));
  EXPECT_EQ(Shown(deletion.model), (Texts{"2|b", "+3|c!2,99", "5|e"}));
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
