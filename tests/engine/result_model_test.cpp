#include "engine/result_model.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

// The view's rows as "number|path", ticked rows marked with a leading "+".
Texts Shown(ResultModel& model) {
  Texts rows;
  std::string number, path;
  for (int row = 0; model.RowText(row, 0, number) && model.RowText(row, 1, path); ++row) {
    rows.push_back((model.IsTickedAt(row) ? "+" : "") + number + "|" + path);
  }
  return rows;
}

// Rows of one directory share its text: a path must come back whole whatever came before it.
TEST(ResultModel, GivesBackEachRowAsAppendedOnceTheViewIsSynced) {
  ResultModel model;
  const Texts paths = {"C:\\d\\a.tmp", "C:\\d\\b.tmp", "C:\\d\\sub\\c.tmp", "C:\\d\\e.tmp",
                       "C:\\d\\", "no separator", "", "D:\\文件\\😀.txt", "C:\\d\\sub/x\\y"};
  model.SetRedraw(false);
  Texts expected;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    EXPECT_EQ(model.AppendRow(static_cast<int>(i) + 7, paths[i]), static_cast<int>(i));
    expected.push_back(std::to_string(i + 7) + "|" + paths[i]);
  }
  EXPECT_EQ(model.SyncView(nullptr, 0).rowCount, 0) << "redraw off: the view keeps its rows";
  const ResultModel::ViewUpdate update = model.SyncView(nullptr, 0);
  EXPECT_FALSE(update.redraw || update.rowsChanged);
  model.SetRedraw(true);
  EXPECT_TRUE(model.SyncView(nullptr, 0).redrawChanged);
  EXPECT_EQ(Shown(model), expected);
  EXPECT_EQ(model.RowCount(), static_cast<int>(paths.size()));
  model.Clear();
  EXPECT_TRUE(Shown(model).empty());
  EXPECT_EQ(model.FirstRow(), kNoRow);
  EXPECT_EQ(model.AppendRow(1, "x"), 0);
}

// Removed rows stay until the view is synced with redraw on; then they go in one pass that
// keeps the others' order and numbers and moves the view's marks along. Handles stay valid.
TEST(ResultModel, CompactsRemovedRowsInOnePassKeepingOrderNumbersAndMarks) {
  ResultModel model;
  for (int number = 1; number <= 6; ++number) model.AppendRow(number, "C:\\" + std::to_string(number));
  model.SyncView(nullptr, 0);
  model.SetRedraw(false);
  const RowHandle first = model.FirstRow();
  const RowHandle second = model.NextRow(first);
  model.RemoveRow(second);
  model.RemoveRow(model.NextRow(model.NextRow(second)));  // the fourth
  EXPECT_EQ(model.RowCount(), 4);
  EXPECT_EQ(Shown(model).size(), 6u);
  model.SetRedraw(true);
  int marks[] = {1, 4, 5};
  EXPECT_TRUE(model.SyncView(marks, 3).rowsChanged);
  EXPECT_EQ(Shown(model), (Texts{"1|C:\\1", "3|C:\\3", "5|C:\\5", "6|C:\\6"}));
  EXPECT_EQ(std::vector<int>(marks, marks + 3), (std::vector<int>{-1, 2, 3}));
  EXPECT_EQ(model.RowPath(model.NextRow(second)), "C:\\3");
  EXPECT_EQ(model.RowPath(second), "");

  // Linear: removing every other row of many and compacting once takes a moment, where
  // erasing each row on its own would take minutes.
  ResultModel large;
  for (int number = 1; number <= 200000; ++number) large.AppendRow(number, "C:\\d\\f");
  for (RowHandle row = large.FirstRow(); row != kNoRow; row = large.NextRow(large.NextRow(row))) {
    large.RemoveRow(row);
  }
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(large.SyncView(nullptr, 0).rowCount, 100000);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

// The window's ways of changing ticks reach the worker's view of them; a removed row is no
// longer ticked for the worker.
TEST(ResultModel, TicksSetByTheWindowAreWhatTheWorkerReads) {
  ResultModel model;
  for (int number = 1; number <= 4; ++number) model.AppendRow(number, "C:\\f");
  model.SyncView(nullptr, 0);
  model.AppendRow(5, "C:\\f");  // not in the view yet
  const auto ticks = [&] {
    std::string seen;
    for (RowHandle row = model.FirstRow(); row != kNoRow; row = model.NextRow(row)) {
      seen += model.IsRowTicked(row) ? '1' : '0';
    }
    return seen;
  };
  model.SetAllTicks(true);
  EXPECT_EQ(ticks(), "11111");
  model.SetTickAt(0, false);
  model.ToggleTickAt(2);
  model.SetTickAt(4, false);  // outside the view: no effect
  EXPECT_EQ(ticks(), "01011");
  model.RemoveRow(model.NextRow(model.FirstRow()));
  EXPECT_EQ(ticks(), "0011");
  model.SetAllTicks(false);
  EXPECT_EQ(ticks(), "0000");
}

// Type-to-find matches the number column.
TEST(ResultModel, FindsRowsByTheirNumbersText) {
  ResultModel model;
  for (int number : {1, 12, 3, 120, 12}) model.AppendRow(number, "C:\\f");
  model.SyncView(nullptr, 0);
  const struct {
    int start;
    const char* text;
    bool partial;
    bool wrap;
    int found;
  } cases[] = {{0, "12", false, false, 1}, {2, "12", false, false, 4}, {2, "12", true, false, 3},
               {5, "1", true, true, 0},    {5, "1", true, false, -1}, {0, "x", true, true, -1},
               {-3, "3", false, false, 2}, {0, "", true, false, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(model.FindRow(c.start, c.text, c.partial, c.wrap), c.found)
        << c.start << " " << c.text << " " << c.partial << c.wrap;
  }
}

}  // namespace
