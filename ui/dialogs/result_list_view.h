#pragma once

#include "engine/result_columns.h"
#include "engine/result_model.h"
#include "ui/dialogs/shell_display_texts.h"

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <optional>
#include <string>

// The main window's list of found files: a virtual list view (the template gives it
// LVS_OWNERDATA) over the window's ResultModel, in report view with check boxes and the
// columns of engine/result_columns.h. The list view holds no rows: it asks for what it paints,
// and every tick lives in the model, so the deletion sees each tick however it was changed.
//
// Programs that read the list from outside keep working: the row count, every column's text,
// the tick through LVM_GETITEMSTATE, and a tick set through LVM_SETITEMSTATE or LVM_SETITEM.
class ResultListView {
 public:
  explicit ResultListView(ResultModel& model) : model_(model) {}

  // Window thread, while the owner initialises: binds the list view and sets its look.
  void Attach(HWND list);
  HWND Handle() const { return list_; }
  // Called whenever the rows shown or their ticks change, so the owner can show the totals.
  std::function<void()> onChange;

  // Window thread, any time: brings the list view up to the model (rows appended or removed,
  // the workers' redraw). The owner calls it at display rate while a worker runs, and once
  // when it has ended.
  void Sync();
  // Empties the list in one step, redraw on, in number order; while no worker runs.
  void DeleteAllRows();
  // Ticks or unticks every row and repaints once.
  void SetAllTicks(bool ticked);
  // After ticks were changed in the model by the owner: repaints once, and the totals follow.
  void ShowTickChanges();
  // Sorts by the column: ascending, or the other way round when it is the column sorted by
  // already; the header shows which. While no worker runs.
  void SortBy(Column column);
  // Shows the rows a narrowing took; false when it came too late for the list's order (sort
  // again: prepare it anew). The selection and the focus stay with their rows, and come back
  // with them when a later narrowing shows them again.
  bool ApplyNarrowing(ResultModel::Narrowing& narrowing);
  // The rows the list view shows.
  int RowCount() const;
  // The path of the selected row, if a row is selected.
  std::optional<std::string> SelectedRowPath();

  // The list view's notifications, passed on by the owner: the texts and ticks it paints, a
  // click on a check box, Space, type-to-find. True when handled, with the result.
  bool OnNotify(const NMHDR& header, LRESULT& result);

 private:
  static LRESULT CALLBACK ListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR id, DWORD_PTR self);
  // LVM_SETITEMSTATE and LVM_SETITEM: a state image in the request sets the row's tick in
  // the model; the rest of the request goes on to the list view.
  LRESULT SetItemState(UINT message, WPARAM wParam, const LVITEMW* item);
  void FillDisplayInfo(LVITEMW& item);
  void CellText(Column column);
  void ToggleTick(int row);
  void Changed() const;
  // Moves the selection and the focus to the positions their rows have now, and gives the list
  // view its new row count on the way (none when -1).
  void MoveMarks(const int (&before)[2], const int (&after)[2], int rowCount);
  void ShowSortArrow();

  ResultModel& model_;
  HWND list_ = nullptr;
  ShellDisplayTexts displayTexts_;
  std::optional<Column> sortColumn_;  // none: number order, as scanned
  // The rows of the selection and the focus while a narrowing hides them.
  std::uint32_t hiddenMarks_[2] = {ResultModel::kNoRowId, ResultModel::kNoRowId};
  bool sortDescending_ = false;
  // Kept between paints, so that painting a row allocates nothing.
  ResultModel::RowData row_;
  std::string text_;
  std::wstring wide_;
};
