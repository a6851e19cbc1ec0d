#include "tests/support/window_driver.h"

#include "engine/win32/utf.h"

#include <commctrl.h>

namespace {

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

// The first visible dialog of the thread that matches.
HWND FindVisibleDialog(DWORD thread, const std::function<bool(HWND)>& matches) {
  std::pair<const std::function<bool(HWND)>*, HWND> search{&matches, nullptr};
  EnumThreadWindows(
      thread,
      [](HWND window, LPARAM parameter) {
        auto* s = reinterpret_cast<std::pair<const std::function<bool(HWND)>*, HWND>*>(parameter);
        if (ClassOf(window) != L"#32770" || !IsWindowVisible(window) || !(*s->first)(window)) {
          return TRUE;
        }
        s->second = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.second;
}

}  // namespace

bool WindowDriver::WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (!condition()) {
    if (GetTickCount64() > deadline) return false;
    Sleep(10);
  }
  return true;
}

HWND WindowDriver::FindDialog(int controlId, const wchar_t* controlClass) const {
  return FindVisibleDialog(windowThread_, [&](HWND window) {
    return ClassOf(GetDlgItem(window, controlId)) == controlClass;
  });
}

HWND WindowDriver::WaitForDialog(int controlId, const wchar_t* controlClass) const {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindDialog(controlId, controlClass)) != nullptr; });
  return found;
}

HWND WindowDriver::FindMessageBox() const {
  return FindVisibleDialog(windowThread_, [&](HWND window) { return Text(window) == messageBoxTitle_; });
}

std::optional<std::string> WindowDriver::AnswerMessageBox(int button) const {
  HWND box = nullptr;
  if (!WaitUntil([&] { return (box = FindMessageBox()) != nullptr; })) return std::nullopt;
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
  for (int row = 0; row < SendMessageW(list, LVM_GETITEMCOUNT, 0, 0); ++row) {
    std::string joined = SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) >> 12 == 2 ? "+" : "";
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

std::vector<std::string> WindowDriver::ListBoxRows(HWND box) {
  std::vector<std::string> rows;
  for (int row = 0; row < SendMessageW(box, LB_GETCOUNT, 0, 0); ++row) {
    wchar_t text[256] = {};
    SendMessageW(box, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text));
    rows.push_back(Narrow(text));
  }
  return rows;
}
