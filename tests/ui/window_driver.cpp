#include "tests/ui/window_driver.h"

#include "engine/win32/utf.h"
#include "tests/win32/temp_tree.h"

#include <commctrl.h>

#include <fstream>

namespace {

// Message boxes give their text this id.
constexpr int kMessageTextId = 0xFFFF;

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

struct Search {
  std::function<bool(HWND)> matches;
  HWND found;
};

BOOL CALLBACK FindVisibleDialog(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  if (ClassOf(window) != L"#32770" || !IsWindowVisible(window)) return TRUE;
  if (!search->matches(window)) return TRUE;
  search->found = window;
  return FALSE;
}

// Screenshots go beside the test trees, in the build tree.
std::string ScreenshotDirectory() {
  const std::string base = TestTreeBase();
  return base.substr(0, base.find_last_of('\\')) + "\\screenshots";
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
                  HWND control = GetDlgItem(window, controlId);
                  return control != nullptr && ClassOf(control) == controlClass;
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

std::optional<WindowDriver::MessageBoxSeen> WindowDriver::AnswerMessageBox(int button,
                                                                           DWORD timeoutMs) const {
  HWND box = nullptr;
  if (!WaitUntil([&] { return (box = FindMessageBox()) != nullptr; }, timeoutMs)) {
    return std::nullopt;
  }
  const MessageBoxSeen seen{ItemText(box, kMessageTextId),
                            GetDlgItem(box, IDYES) != nullptr && GetDlgItem(box, IDNO) != nullptr};
  Click(box, button);
  WaitUntil([&] { return !IsWindow(box); });
  return seen;
}

void WindowDriver::Click(HWND dialog, int id) {
  PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void WindowDriver::ClickAndWait(HWND dialog, int id) {
  SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
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

bool WindowDriver::IsChecked(HWND dialog, int id) {
  return SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void WindowDriver::Sync(HWND window) { SendMessageW(window, WM_NULL, 0, 0); }

std::vector<std::string> WindowDriver::Rows(HWND list) {
  std::vector<std::string> rows;
  const auto count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) {
    std::string joined;
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

std::vector<bool> WindowDriver::Ticks(HWND list) {
  std::vector<bool> ticks;
  const auto count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) {
    const auto state = SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK);
    ticks.push_back((state >> 12) == 2);
  }
  return ticks;
}

void WindowDriver::SetTick(HWND list, int row, bool ticked) {
  LVITEMW item{};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(ticked ? 2 : 1);
  SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

bool WindowDriver::SaveScreenshot(HWND window, const std::string& name) {
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Sync(window);
  Sleep(300);
  RECT area{};
  GetWindowRect(window, &area);
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return false;

  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up, as BMP files store rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  SelectObject(memory, previous);
  GdiFlush();

  const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
  const DWORD imageSize = stride * static_cast<DWORD>(height);
  BITMAPFILEHEADER header{};
  header.bfType = 0x4D42;  // "BM"
  header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  header.bfSize = header.bfOffBits + imageSize;
  info.bmiHeader.biSizeImage = imageSize;

  MakeDirectories(ScreenshotDirectory());
  std::ofstream file(Widen(ScreenshotDirectory() + "\\" + name + ".bmp").c_str(),
                     std::ios::binary);
  file.write(reinterpret_cast<const char*>(&header), sizeof(header));
  file.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(info.bmiHeader));
  file.write(static_cast<const char*>(bits), imageSize);
  const bool written = file.good();

  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return written;
}
