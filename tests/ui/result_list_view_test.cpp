#include "ui/dialogs/result_list_view.h"

#include "ui/dialogs/dialog.h"
#include "ui/resources/resource.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

// The main window's template, modeless, with the result list bound to its list view.
class ListHost : public Dialog {
 public:
  ListHost() : Dialog(IDD_CLEANER_DIALOG), results(*this) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    if (Create(nullptr)) results.Attach(Item(IDC_RESULT_LIST));
  }
  ResultListView results;
};

// Runs work on a worker thread while this (the window) thread carries out its calls in a
// message loop, as the modal loop of the main window does.
void OnWorker(const std::function<void()>& work) {
  std::atomic<bool> done{false};
  const DWORD windowThread = GetCurrentThreadId();
  std::thread worker([&] {
    work();
    done = true;
    PostThreadMessageW(windowThread, WM_NULL, 0, 0);
  });
  MSG message;
  while (!done && GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  worker.join();
}

std::string PathOf(int number) { return "Z:\\tree\\d" + std::to_string(number % 7) + "\\f" +
                                        std::to_string(number) + ".tmp"; }

// Appends rows 1..count from a worker with redraw off, as a scan does.
void AppendRows(ResultListView& results, int count, std::vector<int>* positions = nullptr) {
  OnWorker([&] {
    results.SetRedraw(false);
    const int before = results.RowCount();
    for (int number = 1; number <= count; ++number) {
      const int row = results.AppendRow(std::to_string(number));
      if (positions != nullptr) positions->push_back(row);
      results.SetRowPath(row, PathOf(number));
      EXPECT_EQ(results.RowCount(), before + number);
    }
    results.SetRedraw(true);
  });
}

std::vector<std::string> VisibleRows(HWND list) {
  std::vector<std::string> rows;
  const auto count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) {
    std::string joined;
    for (int column = 0; column < 2; ++column) {
      char text[512] = {};
      LVITEMA item{};
      item.iSubItem = column;
      item.pszText = text;
      item.cchTextMax = 512;
      SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
      joined += std::string(column == 0 ? "" : "|") + text;
    }
    rows.push_back(joined);
  }
  return rows;
}

void Tick(HWND list, int row) {
  LVITEMW item{};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(2);
  SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

// The delete worker's walk: ticked rows are removed, the index stays on a removal.
std::vector<std::string> RemoveTickedRows(ResultListView& results, bool redrawOff) {
  std::vector<std::string> removed;
  OnWorker([&] {
    if (redrawOff) results.SetRedraw(false);
    int count = results.RowCount();
    for (int row = 0; row < count;) {
      if (!results.IsRowTicked(row)) {
        ++row;
        continue;
      }
      removed.push_back(results.RowPath(row));
      results.RemoveRow(row);
      count = results.RowCount();
    }
    results.SetRedraw(true);
  });
  return removed;
}

}  // namespace

TEST(ResultListView, BatchedAppendsLandInOrderAtThePositionsGiven) {
  ListHost host;
  ASSERT_NE(host.Handle(), nullptr);
  const int count = 2500;  // two full batches and a part
  std::vector<int> positions;
  AppendRows(host.results, count, &positions);

  std::vector<int> expectedPositions(count);
  std::vector<std::string> expectedRows;
  for (int number = 1; number <= count; ++number) {
    expectedPositions[static_cast<std::size_t>(number - 1)] = number - 1;
    expectedRows.push_back(std::to_string(number) + "|" + PathOf(number));
  }
  EXPECT_EQ(positions, expectedPositions);
  EXPECT_EQ(VisibleRows(host.results.Handle()), expectedRows);

  // A later scan appends behind the rows present.
  positions.clear();
  AppendRows(host.results, 1, &positions);
  EXPECT_EQ(positions, std::vector<int>{count});
  host.results.DeleteAllRows();
  EXPECT_EQ(host.results.VisibleRowCount(), 0);
  EXPECT_EQ(host.results.RowCount(), 0);
}

TEST(ResultListView, RemovalsReadAheadOrNotLeaveTheSameRows) {
  for (const bool redrawOff : {true, false}) {
    ListHost host;
    // With redraw on the list repaints after every removal, which is slow under Wine; a
    // short list is enough there, while redraw off needs more rows than one read-ahead block.
    const int count = redrawOff ? 2300 : 200;
    AppendRows(host.results, count);
    // Every third row ticked, and a run of ticked rows across a block boundary.
    std::vector<std::string> expectedLeft;
    std::vector<std::string> expectedRemoved;
    for (int row = 0; row < count; ++row) {
      const bool ticked = row % 3 == 0 || (row >= 990 && row < 1020) || row == count - 1;
      if (ticked) Tick(host.results.Handle(), row);
      const std::string text = std::to_string(row + 1) + "|" + PathOf(row + 1);
      (ticked ? expectedRemoved : expectedLeft).push_back(text);
    }
    const std::vector<std::string> removed = RemoveTickedRows(host.results, redrawOff);
    ASSERT_EQ(removed.size(), expectedRemoved.size());
    for (std::size_t i = 0; i < removed.size(); ++i) {
      EXPECT_EQ(removed[i], expectedRemoved[i].substr(expectedRemoved[i].find('|') + 1));
    }
    // Rows that stay keep their numbers.
    EXPECT_EQ(VisibleRows(host.results.Handle()), expectedLeft) << "redraw off " << redrawOff;
    EXPECT_EQ(host.results.RowCount(), static_cast<int>(expectedLeft.size()));
  }
}

TEST(ResultListView, WindowSideHelpers) {
  ListHost host;
  AppendRows(host.results, 3);
  EXPECT_FALSE(host.results.SelectedRowPath().has_value());
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED;
  item.state = LVIS_SELECTED;
  SendMessageW(host.results.Handle(), LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(host.results.SelectedRowPath(), PathOf(2));

  host.results.SetAllTicks(true);
  OnWorker([&] {
    for (int row = 0; row < 3; ++row) EXPECT_TRUE(host.results.IsRowTicked(row));
  });
  host.results.SetAllTicks(false);
  OnWorker([&] {
    for (int row = 0; row < 3; ++row) EXPECT_FALSE(host.results.IsRowTicked(row));
  });
}
