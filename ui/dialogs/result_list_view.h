#pragma once

#include "engine/result_list.h"
#include "ui/dialogs/dialog.h"

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <optional>
#include <string>
#include <vector>

// The main window's list of found files over its list view: report view with check boxes,
// column 0 the running number, column 1 the path.
//
// The ResultList operations are made from one worker thread at a time and carried out on the
// window thread. One cross-thread call per row is slow (every call waits for the window
// thread), so the worker side gathers work in batches:
// - appended rows wait here until a batch is full or another operation needs the list, then
//   the window thread inserts the whole batch; AppendRow still answers with the position the
//   row will have, and rows land in the order they were appended;
// - while redraw is off (the list shows nothing new anyway), ticks and paths are read ahead a
//   block of rows at a time and removed rows leave the list view in batches, in the order the
//   worker removed them. A tick changed during such a run (the user, untick all) drops the
//   block, so the worker never removes a file on a tick that no longer stands.
// With redraw on, every operation reaches the list view at once, so the user sees each change
// as it happens.
class ResultListView : public ResultList {
 public:
  // owner carries the worker's calls to the window thread.
  explicit ResultListView(const Dialog& owner) : owner_(owner) {}

  // Window thread, while the owner initialises: binds the list view and sets its look.
  void Attach(HWND list);
  HWND Handle() const { return list_; }

  // ResultList, for the worker.
  int RowCount() override;
  int AppendRow(const std::string& numberText) override;
  void SetRowPath(int row, const std::string& path) override;
  bool IsRowTicked(int row) override;
  std::string RowPath(int row) override;
  void RemoveRow(int row) override;
  void SetRedraw(bool on) override;
  // Hands everything the worker has gathered to the list view. The workers' last SetRedraw
  // does it; a worker thread's exit calls it as well so that nothing is left behind.
  void Flush();

  // Window thread, while no worker runs.
  void DeleteAllRows();
  // Window thread, any time.
  int VisibleRowCount() const;
  void SetAllTicks(bool ticked) const;
  // The path of the first selected row, if a row is selected.
  std::optional<std::string> SelectedRowPath() const;
  // The owner passes on the list view's LVN_ITEMCHANGED notifications.
  void OnItemChanged(const NMLISTVIEW& change);

 private:
  struct PendingRow {
    std::string numberText;
    std::string path;
  };
  struct ReadRow {
    bool ticked = false;
    std::string path;
  };

  void FlushAppends();
  void FlushRemovals();
  // Makes row the first row of the read-ahead block, reading up to kBatch rows.
  void ReadBlockFrom(int row);
  const ReadRow* CachedRow(int row) const;

  // Window thread.
  void InsertRow(const PendingRow& row) const;
  bool TickedNow(int row) const;
  std::string PathNow(int row) const;
  void SyncRowCount();

  static constexpr std::size_t kBatch = 1000;

  const Dialog& owner_;
  HWND list_ = nullptr;
  // The row count as the worker sees it: the list view's rows with the pending appends and
  // without the pending removals.
  std::atomic<int> rowCount_{0};
  // Counts tick changes, so that a read-ahead block knows when it has gone stale.
  std::atomic<unsigned> tickChanges_{0};

  // Worker side. Touched by the running worker, and by the window thread only while that
  // worker waits for it (inside a carried-out call) or while no worker runs.
  std::vector<PendingRow> appends_;
  std::vector<int> removals_;
  int blockStart_ = 0;
  std::vector<ReadRow> block_;
  unsigned blockTickChanges_ = 0;
  bool frozen_ = false;  // redraw off
};
