#include "ui/dialogs/result_list_view.h"

#include "engine/win32/utf.h"
#include "ui/dialogs/outcome_text.h"
#include "ui/framework/single_selection_list.h"

#include <shlwapi.h>

#include <algorithm>

namespace {

constexpr UINT_PTR kSubclassId = 1;

// The columns in the order of Column, with the widths they open with.
const struct {
  const wchar_t* title;
  int width;
  int format;
} kColumns[kColumnCount] = {
    {L"序号", 50, LVCFMT_LEFT},
    {L"文件", 280, LVCFMT_LEFT},
    {L"大小", 70, LVCFMT_RIGHT},  // as Explorer's size column
    {L"结果", 100, LVCFMT_LEFT},
};

void AppendColumn(HWND list, const wchar_t* title, int width, int format) {
  LVCOLUMNW column{};
  column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH;
  column.fmt = format;
  column.cx = width;
  column.pszText = const_cast<wchar_t*>(title);
  SendMessageW(list, LVM_INSERTCOLUMNW, 65535, reinterpret_cast<LPARAM>(&column));
}

void SetState(HWND list, int row, UINT state, UINT mask) {
  LVITEMW item{};
  item.state = state;
  item.stateMask = mask;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void RepaintRow(HWND list, int row) { SendMessageW(list, LVM_REDRAWITEMS, row, row); }

}  // namespace

void ResultListView::Attach(HWND list) {
  list_ = list;
  SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
               LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
  for (const auto& column : kColumns) AppendColumn(list_, column.title, column.width, column.format);
  // Without it the list view answers LVM_GETITEMSTATE without asking for the tick.
  SendMessageW(list_, LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
  SetWindowSubclass(list_, ListProcedure, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  Sync();
}

void ResultListView::Changed() const {
  if (onChange) onChange();
}

// The list view keeps the selection and the focus by position: rows that went before them, a
// new order or a narrowing move them, so they are moved along, and dropped with their row. Only
// the two rows are touched: a change of every row's state (row -1) visits each row of the list,
// a million of them, under Wine.
void ResultListView::MoveMarks(const int (&before)[2], const int (&after)[2], int rowCount) {
  const bool moved = before[0] != after[0] || before[1] != after[1];
  if (moved && before[0] >= 0) SetState(list_, before[0], 0, LVIS_SELECTED);
  if (moved && before[1] >= 0) SetState(list_, before[1], 0, LVIS_FOCUSED);
  // The new count between: the old positions may lie past its end, the new ones past the old.
  // Under Wine a new count costs about 10 ms (the scroll bars), so one that stays is not given.
  if (rowCount >= 0 && rowCount != RowCount()) {
    SendMessageW(list_, LVM_SETITEMCOUNT, static_cast<WPARAM>(rowCount), LVSICF_NOSCROLL);
  } else if (rowCount >= 0) {
    InvalidateRect(list_, nullptr, FALSE);
  }
  if (moved && after[0] >= 0) SetState(list_, after[0], LVIS_SELECTED, LVIS_SELECTED);
  if (moved && after[1] >= 0) SetState(list_, after[1], LVIS_FOCUSED, LVIS_FOCUSED);
}

void ResultListView::Sync() {
  int marked[2] = {SelectedRow(list_), FocusedRow(list_)};
  const int before[2] = {marked[0], marked[1]};
  const ResultModel::ViewUpdate update = model_.SyncView(marked, 2);
  if (update.rowsChanged) MoveMarks(before, marked, update.rowCount);
  if (update.redrawChanged) {
    SendMessageW(list_, WM_SETREDRAW, update.redraw ? TRUE : FALSE, 0);
    if (update.redraw) InvalidateRect(list_, nullptr, TRUE);
  }
  Changed();
}

void ResultListView::DeleteAllRows() {
  model_.Clear();
  hiddenMarks_[0] = hiddenMarks_[1] = ResultModel::kNoRowId;
  sortColumn_.reset();
  ShowSortArrow();
  SendMessageW(list_, LVM_SETITEMCOUNT, 0, 0);
  SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
  Changed();
}

void ResultListView::SetAllTicks(bool ticked) {
  model_.SetAllTicks(ticked);
  ShowTickChanges();
}

void ResultListView::ShowTickChanges() {
  InvalidateRect(list_, nullptr, FALSE);
  Changed();
}

bool ResultListView::ApplyNarrowing(ResultModel::Narrowing& narrowing) {
  const int before[2] = {SelectedRow(list_), FocusedRow(list_)};
  std::uint32_t marks[2];
  for (int k = 0; k < 2; ++k) marks[k] = before[k] >= 0 ? model_.RowIdAt(before[k]) : hiddenMarks_[k];
  if (!model_.ApplyNarrowing(narrowing)) return false;
  int after[2];
  for (int k = 0; k < 2; ++k) {
    after[k] = model_.PositionOf(marks[k]);
    hiddenMarks_[k] = after[k] < 0 ? marks[k] : ResultModel::kNoRowId;
  }
  MoveMarks(before, after, model_.SyncView(nullptr, 0).rowCount);
  InvalidateRect(list_, nullptr, FALSE);
  Changed();
  return true;
}

void ResultListView::SortBy(Column column) {
  sortDescending_ = sortColumn_ == column && !sortDescending_;
  sortColumn_ = column;
  int marked[2] = {SelectedRow(list_), FocusedRow(list_)};
  const int before[2] = {marked[0], marked[1]};
  model_.Sort(column, sortDescending_, displayTexts_, marked, 2);
  MoveMarks(before, marked, -1);
  if (marked[1] >= 0) SendMessageW(list_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(marked[1]), FALSE);
  ShowSortArrow();
  InvalidateRect(list_, nullptr, FALSE);
}

void ResultListView::ShowSortArrow() {
  HWND header = reinterpret_cast<HWND>(SendMessageW(list_, LVM_GETHEADER, 0, 0));
  for (int column = 0; column < kColumnCount; ++column) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (sortColumn_ == static_cast<Column>(column)) item.fmt |= sortDescending_ ? HDF_SORTDOWN : HDF_SORTUP;
    SendMessageW(header, HDM_SETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
  }
}

int ResultListView::RowCount() const {
  return static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
}

std::optional<std::string> ResultListView::SelectedRowPath() {
  if (!model_.ReadRow(SelectedRow(list_), row_)) return std::nullopt;
  return row_.path;
}

bool ResultListView::OnNotify(const NMHDR& header, LRESULT& result) {
  result = 0;
  switch (header.code) {
    case LVN_GETDISPINFOW:
      FillDisplayInfo(reinterpret_cast<NMLVDISPINFOW&>(const_cast<NMHDR&>(header)).item);
      return true;
    case NM_CLICK: {
      // The list view leaves a virtual row's box to its owner, and does not focus the row.
      LVHITTESTINFO hit{};
      hit.pt = reinterpret_cast<const NMITEMACTIVATE&>(header).ptAction;
      const auto row = static_cast<int>(
          SendMessageW(list_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
      if (row < 0 || (hit.flags & LVHT_ONITEMSTATEICON) == 0) return false;
      SetState(list_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
      ToggleTick(row);
      return true;
    }
    case LVN_KEYDOWN:
      if (reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey != VK_SPACE) return false;
      ToggleTick(FocusedRow(list_));
      return true;
    case LVN_COLUMNCLICK: {
      const int column = reinterpret_cast<const NMLISTVIEW&>(header).iSubItem;
      if (column >= 0 && column < kColumnCount) SortBy(static_cast<Column>(column));
      return true;
    }
    case LVN_ODFINDITEMW: {
      // Type-to-find looks at column 0, the number.
      const LVFINDINFOW& find = reinterpret_cast<const NMLVFINDITEMW&>(header).lvfi;
      result = -1;
      if ((find.flags & (LVFI_STRING | LVFI_PARTIAL)) != 0 && find.psz != nullptr) {
        result = model_.FindRow(reinterpret_cast<const NMLVFINDITEMW&>(header).iStart,
                                Narrow(find.psz), (find.flags & LVFI_PARTIAL) != 0,
                                (find.flags & LVFI_WRAP) != 0);
      }
      return true;
    }
    default:
      return false;
  }
}

void ResultListView::FillDisplayInfo(LVITEMW& item) {
  const bool wantsText = (item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0;
  if (wantsText) item.pszText[0] = L'\0';
  if (wantsText && item.iSubItem >= 0 && item.iSubItem < kColumnCount && model_.ReadRow(item.iItem, row_)) {
    const auto column = static_cast<Column>(item.iSubItem);
    if (column == Column::kSize) {
      // Explorer's own form ("1 KB" for 1 to 1,024 bytes), in the user's words.
      StrFormatKBSizeW(static_cast<LONGLONG>(row_.size), item.pszText, static_cast<UINT>(item.cchTextMax));
    } else {
      CellText(column);
      wide_.clear();
      AppendWide(text_, wide_);
      const int copied = std::min(static_cast<int>(wide_.size()), item.cchTextMax - 1);
      std::copy_n(wide_.data(), copied, item.pszText);
      item.pszText[copied] = L'\0';
    }
  }
  if ((item.mask & LVIF_STATE) != 0) {
    item.state = (item.state & ~LVIS_STATEIMAGEMASK) |
                 INDEXTOSTATEIMAGEMASK(model_.IsTickedAt(item.iItem) ? 2 : 1);
  }
}

// The row just read, as the column shows it.
void ResultListView::CellText(Column column) {
  switch (column) {
    case Column::kNumber:
      text_ = std::to_string(row_.number);
      break;
    case Column::kPath:
      text_.swap(row_.path);
      break;
    case Column::kOutcome:
      text_ = OutcomeText(row_.outcome);
      break;
    case Column::kSize:
      text_.clear();
      break;
  }
}

void ResultListView::ToggleTick(int row) {
  if (row < 0) return;
  model_.ToggleTickAt(row);
  RepaintRow(list_, row);
  Changed();
}

LRESULT ResultListView::SetItemState(UINT message, WPARAM wParam, const LVITEMW* item) {
  const bool setsState = message == LVM_SETITEMSTATE || (item->mask & LVIF_STATE) != 0;
  if (!setsState || (item->stateMask & LVIS_STATEIMAGEMASK) == 0) {
    return DefSubclassProc(list_, message, wParam, reinterpret_cast<LPARAM>(item));
  }
  // State image 2 is the ticked box, 1 the empty one.
  const bool ticked = ((item->state & LVIS_STATEIMAGEMASK) >> 12) >= 2;
  const int row = message == LVM_SETITEMSTATE ? static_cast<int>(wParam) : item->iItem;
  if (row == -1 && message == LVM_SETITEMSTATE) {
    SetAllTicks(ticked);
  } else {
    model_.SetTickAt(row, ticked);
    RepaintRow(list_, row);
    Changed();
  }
  LVITEMW rest = *item;
  rest.stateMask &= ~static_cast<UINT>(LVIS_STATEIMAGEMASK);
  if (rest.stateMask == 0) rest.mask &= ~static_cast<UINT>(LVIF_STATE);
  const bool nothingElse = message == LVM_SETITEMSTATE ? rest.stateMask == 0 : rest.mask == 0;
  if (nothingElse) return TRUE;
  return DefSubclassProc(list_, message, wParam, reinterpret_cast<LPARAM>(&rest));
}

LRESULT CALLBACK ResultListView::ListProcedure(HWND list, UINT message, WPARAM wParam,
                                               LPARAM lParam, UINT_PTR, DWORD_PTR self) {
  // No exception may cross into the system; a request that fails on one is refused.
  try {
    switch (message) {
      case LVM_SETITEMSTATE:
      case LVM_SETITEMW:
        if (lParam == 0) break;
        return reinterpret_cast<ResultListView*>(self)->SetItemState(
            message, wParam, reinterpret_cast<const LVITEMW*>(lParam));
      case WM_NCDESTROY:
        RemoveWindowSubclass(list, ListProcedure, kSubclassId);
        break;
      default:
        break;
    }
    return DefSubclassProc(list, message, wParam, lParam);
  } catch (...) {
    return FALSE;
  }
}
