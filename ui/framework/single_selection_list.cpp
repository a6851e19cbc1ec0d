#include "ui/framework/single_selection_list.h"

#include <commctrl.h>
#include <windowsx.h>

namespace {

constexpr UINT_PTR kSubclassId = 0x5E1;

void SetSelected(HWND list, int row, bool selected) {
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED;
  item.state = selected ? LVIS_SELECTED : 0;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

// Messages with which the list view may move the selection, and the row a click hits.
bool MayMoveSelection(HWND list, UINT message, WPARAM wParam, LPARAM lParam, int& hit) {
  hit = -1;
  switch (message) {
    case WM_KEYDOWN:
      switch (wParam) {
        case VK_UP: case VK_DOWN: case VK_PRIOR: case VK_NEXT: case VK_HOME: case VK_END: case VK_SPACE:
          return true;
        default:
          return false;
      }
    case WM_CHAR:  // type-to-find
      return true;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: {
      LVHITTESTINFO test{};
      test.pt = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      hit = static_cast<int>(SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&test)));
      return true;
    }
    default:
      return false;
  }
}

LRESULT CALLBACK Procedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(list, Procedure, kSubclassId);
    return DefSubclassProc(list, message, wParam, lParam);
  }
  int hit = -1;
  if (!MayMoveSelection(list, message, wParam, lParam, hit)) return DefSubclassProc(list, message, wParam, lParam);
  const int selected = SelectedRow(list);
  if (selected >= 0) SetSelected(list, selected, false);
  const LRESULT result = DefSubclassProc(list, message, wParam, lParam);
  // A key that moved nothing, or a click on the selected row, leaves it selected; a click beside
  // the rows leaves none, as the list view means it to.
  const bool keepsRow = message == WM_KEYDOWN || message == WM_CHAR || hit == selected;
  if (selected >= 0 && keepsRow && IsWindow(list) && SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0) == 0) {
    SetSelected(list, selected, true);
  }
  return result;
}

}  // namespace

int FocusedRow(HWND list) {
  return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

int SelectedRow(HWND list) {
  if (SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0) == 0) return -1;
  const int focused = FocusedRow(list);
  if (focused >= 0 && (SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(focused), LVIS_SELECTED) & LVIS_SELECTED) != 0) {
    return focused;
  }
  return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void KeepSelectionMovesCheap(HWND list) {
  SetWindowSubclass(list, Procedure, kSubclassId, 0);
}
