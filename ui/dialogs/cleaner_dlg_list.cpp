// The list's keys and the menu of a row: open, locate, copy paths, tick by pattern, invert the
// ticks, export the list.
#include "ui/dialogs/cleaner_dlg.h"

#include "engine/win32/utf.h"
#include "ui/dialogs/outcome_text.h"
#include "ui/dialogs/target_entry_dlg.h"
#include "ui/framework/single_selection_list.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <string>

namespace {

// Another program may hold the clipboard for a moment.
bool PutOnClipboard(HWND owner, const std::wstring& text) {
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (memory == nullptr) return false;
  void* data = GlobalLock(memory);
  if (data != nullptr) {
    std::copy_n(text.c_str(), text.size() + 1, static_cast<wchar_t*>(data));
    GlobalUnlock(memory);
  }
  bool opened = false;
  for (int attempt = 0; data != nullptr && attempt < 10 && !(opened = OpenClipboard(owner) != FALSE); ++attempt) Sleep(20);
  const bool placed = opened && EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  if (opened) CloseClipboard();
  // Once placed, the memory belongs to the clipboard.
  if (!placed) GlobalFree(memory);
  return placed;
}

}  // namespace

bool CCleanerDlg::TranslateListKey(MSG& message) const {
  if (message.hwnd != results_.Handle()) return false;
  // The menu key opens the row menu as it is let go, as Shift+F10 does; Wine's list view would
  // not pass it on.
  if (message.message == WM_KEYUP && message.wParam == VK_APPS) {
    SendMessageW(Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(message.hwnd), MAKELPARAM(-1, -1));
    return true;
  }
  return listKeys_ != nullptr && TranslateAcceleratorW(Handle(), listKeys_, &message) != 0;
}

bool CCleanerDlg::ListCommandEnabled(int id) {
  const bool idle = !worker_.Running();
  switch (id) {
    case IDM_LIST_OPEN:
    case IDM_LIST_LOCATE:
      return idle && SelectedRow(results_.Handle()) >= 0;
    case IDM_COPY_PATH:  // reading rows takes nothing from a worker
      return SelectedRow(results_.Handle()) >= 0;
    case IDM_COPY_TICKED_PATHS:
      return rows_.CurrentTotals().ticked.rows > 0;
    default:
      return idle && results_.RowCount() > 0;
  }
}

bool CCleanerDlg::OnListCommand(int id) {
  if (id < IDM_LIST_OPEN || id > IDM_PLAIN_DELETE_KEY) return false;
  if (!ListCommandEnabled(id)) return true;
  switch (id) {
    case IDM_LIST_OPEN: OnOpenFile(); break;
    case IDM_LIST_LOCATE: OnLocate(); break;
    case IDM_COPY_PATH: CopyPaths(false); break;
    case IDM_COPY_TICKED_PATHS: CopyPaths(true); break;
    case IDM_TICK_BY_PATTERN: TickByPattern(true); break;
    case IDM_UNTICK_BY_PATTERN: TickByPattern(false); break;
    case IDM_INVERT_TICKS:
      rows_.InvertTicks();
      results_.ShowTickChanges();
      break;
    case IDM_EXPORT_LIST: OnExportList(); break;
    case IDM_RECYCLE_KEY: OnRecycleDelete(); break;
    case IDM_PLAIN_DELETE_KEY: OnPlainDelete(); break;
    default: break;
  }
  return true;
}

// A right click on a row (which selects it), Shift+F10 or the menu key, which the system sends
// with no point: then the menu opens at the focused row.
INT_PTR CCleanerDlg::OnContextMenu(WPARAM window, LPARAM at) {
  HWND list = results_.Handle();
  if (reinterpret_cast<HWND>(window) != list) return FALSE;
  POINT point{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
  if (point.x == -1 && point.y == -1) {
    const int focused = FocusedRow(list);
    RECT row{LVIR_LABEL, 0, 0, 0};
    if (focused >= 0) SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(focused), FALSE);
    if (focused < 0 || !SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(focused), reinterpret_cast<LPARAM>(&row))) {
      row = RECT{};
    }
    point = POINT{row.left, row.bottom};
    ClientToScreen(list, &point);
  }
  HMENU menus = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_LIST_MENU));
  if (menus == nullptr) return TRUE;
  HMENU menu = GetSubMenu(menus, 0);
  for (int id = IDM_LIST_OPEN; id <= IDM_EXPORT_LIST; ++id) {
    EnableMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (ListCommandEnabled(id) ? MF_ENABLED : MF_GRAYED));
  }
  // The chosen command arrives as WM_COMMAND, the way the keys' do.
  TrackPopupMenuEx(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, point.x, point.y, Handle(), nullptr);
  DestroyMenu(menus);
  return TRUE;
}

// The selected row's path, or every ticked row's (those a removal would take), a line each.
void CCleanerDlg::CopyPaths(bool tickedOnly) {
  std::string text;
  if (tickedOnly) {
    rows_.ForEachRow(true, [&text](const ResultModel::RowData& row) {
      text.append(row.path).append("\r\n");
      return true;
    });
  } else if (const std::optional<std::string> path = results_.SelectedRowPath()) {
    text = *path;
  }
  if (!text.empty()) PutOnClipboard(Handle(), Widen(text));
}

void CCleanerDlg::TickByPattern(bool ticked) {
  CTargetEntryDlg dialog;
  dialog.Title = ticked ? "按模式勾选" : "按模式取消勾选";
  if (dialog.DoModal(Handle()) != IDOK) return;
  rows_.TickMatching(dialog.PatternText, ticked);
  results_.ShowTickChanges();
}

void CCleanerDlg::OnExportList() {
  const std::optional<std::wstring> target = AskExportTarget(Handle());
  if (!target || worker_.Running()) return;
  auto job = std::make_unique<ListExport>(*target);
  ListExport& running = *job;
  if (!StartWorker([&running, this] { running.Run(rows_, progress_.State()); })) {
    ShowMessage("启动导出失败,请退出后重新启动...", MB_ICONINFORMATION);
    return;
  }
  export_ = std::move(job);
}

void CCleanerDlg::FinishExport() {
  if (!export_) return;
  const std::unique_ptr<ListExport> done = std::move(export_);
  if (done->Error() != 0) {
    ShowMessage("无法导出到 " + Narrow(done->Target()) + "\n\n" + SystemErrorText(done->Error()), MB_ICONERROR);
  }
}
