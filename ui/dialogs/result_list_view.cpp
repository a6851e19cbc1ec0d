#include "ui/dialogs/result_list_view.h"

#include "engine/win32/utf.h"

#include <algorithm>

namespace {

constexpr UINT_PTR kSubclassId = 1;

void AppendColumn(HWND list, const wchar_t* title, int width) {
  LVCOLUMNW column{};
  column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH;
  column.fmt = LVCFMT_LEFT;
  column.cx = width;
  column.pszText = const_cast<wchar_t*>(title);
  SendMessageW(list, LVM_INSERTCOLUMNW, 65535, reinterpret_cast<LPARAM>(&column));
}

int NextItem(HWND list, UINT flags) {
  return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), flags));
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
  AppendColumn(list_, L"序号", 60);
  AppendColumn(list_, L"文件", 420);
  // Without it the list view answers LVM_GETITEMSTATE without asking for the tick.
  SendMessageW(list_, LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
  SetWindowSubclass(list_, ListProcedure, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  Sync();
}

// Rows removed before the selection or the focus move them up; the list view keeps both by
// position, so they are moved along, and dropped with their row.
void ResultListView::Sync() {
  int marked[2] = {NextItem(list_, LVNI_SELECTED), NextItem(list_, LVNI_FOCUSED)};
  const int before[2] = {marked[0], marked[1]};
  const ResultModel::ViewUpdate update = model_.SyncView(marked, 2);
  if (update.rowsChanged) {
    const bool moved = marked[0] != before[0] || marked[1] != before[1];
    if (moved) SetState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    SendMessageW(list_, LVM_SETITEMCOUNT, static_cast<WPARAM>(update.rowCount), LVSICF_NOSCROLL);
    if (moved && marked[0] >= 0) SetState(list_, marked[0], LVIS_SELECTED, LVIS_SELECTED);
    if (moved && marked[1] >= 0) SetState(list_, marked[1], LVIS_FOCUSED, LVIS_FOCUSED);
  }
  if (update.redrawChanged) {
    SendMessageW(list_, WM_SETREDRAW, update.redraw ? TRUE : FALSE, 0);
    if (update.redraw) InvalidateRect(list_, nullptr, TRUE);
  }
}

void ResultListView::DeleteAllRows() {
  model_.Clear();
  SendMessageW(list_, LVM_SETITEMCOUNT, 0, 0);
  SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
}

void ResultListView::SetAllTicks(bool ticked) {
  model_.SetAllTicks(ticked);
  InvalidateRect(list_, nullptr, FALSE);
}

int ResultListView::RowCount() const {
  return static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
}

std::optional<std::string> ResultListView::SelectedRowPath() {
  std::string path;
  if (!model_.RowText(NextItem(list_, LVNI_SELECTED), 1, path)) return std::nullopt;
  return path;
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
      ToggleTick(NextItem(list_, LVNI_FOCUSED));
      return true;
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
  if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0) {
    model_.RowText(item.iItem, item.iSubItem, text_);
    // UTF-8 never takes fewer bytes than UTF-16 takes units.
    if (wide_.size() < text_.size()) wide_.resize(text_.size());
    const int length = text_.empty() ? 0
                                     : MultiByteToWideChar(CP_UTF8, 0, text_.data(),
                                                           static_cast<int>(text_.size()),
                                                           wide_.data(),
                                                           static_cast<int>(wide_.size()));
    const int copied = std::min(length, item.cchTextMax - 1);
    std::copy_n(wide_.data(), copied, item.pszText);
    item.pszText[copied] = L'\0';
  }
  if ((item.mask & LVIF_STATE) != 0) {
    item.state = (item.state & ~LVIS_STATEIMAGEMASK) |
                 INDEXTOSTATEIMAGEMASK(model_.IsTickedAt(item.iItem) ? 2 : 1);
  }
}

void ResultListView::ToggleTick(int row) {
  if (row < 0) return;
  model_.ToggleTickAt(row);
  RepaintRow(list_, row);
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
