#include "ui/dialogs/result_list_view.h"

#include "tests/ui/window_driver.h"
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

 protected:
  // Tick changes reach the list as the main window passes them on.
  bool OnMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR&) override {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (message == WM_NOTIFY && header->code == LVN_ITEMCHANGED) {
      results.OnItemChanged(*reinterpret_cast<const NMLISTVIEW*>(lParam));
    }
    return false;
  }
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

std::string PathOf(int number) {
  return "Z:\\tree\\d" + std::to_string(number % 7) + "\\f" + std::to_string(number) + ".tmp";
}

// Appends rows 1..count from a worker with redraw off, as a scan does; gives the positions
// AppendRow answered.
std::vector<int> AppendRows(ResultListView& results, int count) {
  std::vector<int> positions;
  OnWorker([&] {
    results.SetRedraw(false);
    for (int number = 1; number <= count; ++number) {
      positions.push_back(results.AppendRow(std::to_string(number)));
      results.SetRowPath(positions.back(), PathOf(number));
    }
    results.SetRedraw(true);
  });
  return positions;
}

}  // namespace

TEST(ResultListView, BatchedAppendsLandInOrderAtThePositionsGiven) {
  ListHost host;
  ASSERT_NE(host.Handle(), nullptr);
  const int count = 2500;  // two full batches and a part
  std::vector<int> expectedPositions;
  std::vector<std::string> expectedRows;
  for (int number = 1; number <= count; ++number) {
    expectedPositions.push_back(number - 1);
    expectedRows.push_back(std::to_string(number) + "|" + PathOf(number));
  }
  EXPECT_EQ(AppendRows(host.results, count), expectedPositions);
  EXPECT_EQ(WindowDriver::Rows(host.results.Handle()), expectedRows);
  // A later scan appends behind the rows present.
  EXPECT_EQ(AppendRows(host.results, 1), std::vector<int>{count});
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
      WindowDriver::SetTick(host.results.Handle(), row, ticked);
      if (ticked) {
        expectedRemoved.push_back(PathOf(row + 1));
      } else {
        expectedLeft.push_back(std::to_string(row + 1) + "|" + PathOf(row + 1));
      }
    }
    // The delete worker's walk: the index stays on a removal.
    std::vector<std::string> removed;
    OnWorker([&] {
      if (redrawOff) host.results.SetRedraw(false);
      int rowsLeft = host.results.RowCount();
      for (int row = 0; row < rowsLeft;) {
        if (!host.results.IsRowTicked(row)) {
          ++row;
          continue;
        }
        removed.push_back(host.results.RowPath(row));
        host.results.RemoveRow(row);
        rowsLeft = host.results.RowCount();
      }
      host.results.SetRedraw(true);
    });
    EXPECT_EQ(removed, expectedRemoved) << "redraw off " << redrawOff;
    // Rows that stay keep their numbers.
    EXPECT_EQ(WindowDriver::Rows(host.results.Handle()), expectedLeft)
        << "redraw off " << redrawOff;
    EXPECT_EQ(host.results.RowCount(), static_cast<int>(expectedLeft.size()));
  }
}

// Unticking rows (or untick all) during a deletion must stop their removal even when their
// ticks were already read ahead.
TEST(ResultListView, ATickChangedDuringARunIsNotReadFromAStaleBlock) {
  ListHost host;
  AppendRows(host.results, 10);
  for (int row = 0; row < 10; ++row) WindowDriver::SetTick(host.results.Handle(), row, true);
  std::vector<bool> seen;
  OnWorker([&] {
    host.results.SetRedraw(false);
    seen.push_back(host.results.IsRowTicked(0));  // reads the block ahead
    for (int row = 1; row < 10; ++row) WindowDriver::SetTick(host.results.Handle(), row, false);
    for (int row = 1; row < 10; ++row) seen.push_back(host.results.IsRowTicked(row));
    host.results.SetRedraw(true);
  });
  std::vector<bool> expected(10, false);
  expected[0] = true;
  EXPECT_EQ(seen, expected);
}
