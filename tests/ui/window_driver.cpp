#include "tests/ui/window_driver.h"

#include "engine/win32/utf.h"

#include <commctrl.h>

namespace {

struct Search {
  std::function<bool(HWND)> matches;
  HWND found;
};

BOOL CALLBACK FindVisibleDialog(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  if (lstrcmpW(className, L"#32770") != 0 || !IsWindowVisible(window)) return TRUE;
  if (!search->matches(window)) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

bool WindowDriver::WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() > deadline) return false;
    Sleep(10);
  }
}

HWND WindowDriver::FindDialog(int controlId, const wchar_t* controlClass) const {
  Search search{[&](HWND window) {
                  wchar_t className[64] = {};
                  GetClassNameW(GetDlgItem(window, controlId), className, 64);
                  return lstrcmpiW(className, controlClass) == 0;
                },
                nullptr};
  EnumThreadWindows(windowThread_, FindVisibleDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WindowDriver::WaitForDialog(int controlId, const wchar_t* controlClass,
                                 DWORD timeoutMs) const {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindDialog(controlId, controlClass)) != nullptr; }, timeoutMs);
  return found;
}

HWND WindowDriver::FindMessageBox() const {
  Search search{[&](HWND window) { return Text(window) == messageBoxTitle_; }, nullptr};
  EnumThreadWindows(windowThread_, FindVisibleDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::optional<std::string> WindowDriver::AnswerMessageBox(int button, DWORD timeoutMs) const {
  HWND box = nullptr;
  if (!WaitUntil([&] { return (box = FindMessageBox()) != nullptr; }, timeoutMs)) {
    return std::nullopt;
  }
  const std::string text = ItemText(box, 0xFFFF);  // the id of a message box's text
  Click(box, button);
  WaitUntil([&] { return !IsWindow(box); });
  return text;
}

std::string WindowDriver::Text(HWND window) {
  const auto length = static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
  std::wstring text(length + 1, L'\0');
  const auto copied = static_cast<std::size_t>(
      SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
  return Narrow(text.data(), copied);
}

void WindowDriver::SetItemText(HWND dialog, int id, const std::string& text) {
  const std::wstring wide = Widen(text);
  SendMessageW(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

std::vector<std::string> WindowDriver::Rows(HWND list) {
  std::vector<std::string> rows;
  const auto count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) {
    const auto state = SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK);
    std::string joined = (state >> 12) == 2 ? "+" : "";
    for (int column = 0; column < 2; ++column) {
      wchar_t text[1024] = {};
      LVITEMW item{};
      item.iSubItem = column;
      item.pszText = text;
      item.cchTextMax = 1024;
      SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
      joined += (column == 0 ? "" : "|") + Narrow(text);
    }
    rows.push_back(joined);
  }
  return rows;
}

void WindowDriver::SetTick(HWND list, int row, bool ticked) {
  LVITEMW item{};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(ticked ? 2 : 1);
  SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}
