#include "tests/ui/window_fixture.h"

#include "engine/win32/utf.h"
#include "ui/app/cleaner_app.h"
#include "ui/dialogs/cleaner_dlg.h"
#include "ui/resources/resource.h"

#include <commctrl.h>

#include <thread>

namespace {

const wchar_t kCompanyPath[] = L"Software\\Vellox UI Tests";

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

// Closes whatever a script left open: message boxes (with No) and pattern dialogs first, then
// the window itself; Exit during a deletion only cancels it, so it is pressed until it goes.
void CloseForGood(const WindowDriver& driver, HWND window) {
  WindowDriver::WaitUntil(
      [&] {
        HWND box = driver.FindMessageBox();
        HWND dialog = driver.FindDialog(IDC_PATTERN_LIST, L"ListBox");
        if (dialog == nullptr) dialog = driver.FindDialog(IDC_PATTERN_EDIT, L"ComboBox");
        if (box != nullptr) PostMessageW(box, WM_COMMAND, IDNO, 0);
        PostMessageW(box == nullptr && dialog != nullptr ? dialog : window, WM_COMMAND, IDCANCEL, 0);
        Sleep(100);
        return !IsWindow(window);
      },
      60000);
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

void WindowTest::SetUpTestSuite() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  CCleanerApp::Instance().SetRegistryRoot("Vellox UI Tests");
  Dialog::SetMessageBoxTitle(CCleanerApp::Instance().ApplicationName());
}

void WindowTest::RemoveTestSettings() { RegDeleteTreeW(HKEY_CURRENT_USER, kCompanyPath); }

SettingsStore& WindowTest::Settings() { return CCleanerApp::Instance().Settings(); }

INT_PTR WindowTest::RunModal(Dialog& dialog, int markerId, const wchar_t* markerClass,
                             const Script& script) {
  const DWORD windowThread = GetCurrentThreadId();
  std::thread driverThread([&] {
    WindowDriver driver(windowThread, Dialog::MessageBoxTitle());
    HWND window = driver.WaitForDialog(markerId, markerClass);
    if (window == nullptr) return ADD_FAILURE() << "the window did not show", void();
    if (script) script(driver, window);
    CloseForGood(driver, window);
  });
  const INT_PTR result = dialog.DoModal(nullptr);
  driverThread.join();
  return result;
}

INT_PTR WindowTest::RunMainWindow(const Script& script) {
  CCleanerDlg window;
  return RunModal(window, IDC_RESULT_LIST, WC_LISTVIEWW, script);
}

namespace mainwin {

HWND ResultList(HWND main) { return GetDlgItem(main, IDC_RESULT_LIST); }

bool WaitForIdle(HWND main) {
  return WindowDriver::WaitUntil([&] { return IsWindowEnabled(GetDlgItem(main, IDC_SCAN)); }, 60000);
}

void Scan(HWND main, const std::string& directory) {
  WindowDriver::SetItemText(main, IDC_DIRECTORY, directory);
  WindowDriver::ClickAndWait(main, IDC_SCAN);
  EXPECT_TRUE(WaitForIdle(main));
}

void EnterPattern(const WindowDriver& driver, HWND owner, int button, const std::string& pattern) {
  WindowDriver::Click(owner, button);
  HWND entry = driver.WaitForDialog(IDC_PATTERN_EDIT, L"ComboBox");
  ASSERT_NE(entry, nullptr);
  WindowDriver::SetItemText(entry, IDC_PATTERN_EDIT, pattern);
  EXPECT_TRUE(CloseWith(entry, IDOK));
  WindowDriver::Sync(owner);
}

HWND OpenPatternList(const WindowDriver& driver, HWND main) {
  WindowDriver::Click(main, IDC_TARGET_CUSTOM);
  HWND list = driver.WaitForDialog(IDC_PATTERN_LIST, L"ListBox");
  EXPECT_NE(list, nullptr);
  return list;
}

bool CloseWith(HWND dialog, int button) {
  WindowDriver::Click(dialog, button);
  return WindowDriver::WaitUntil([&] { return !IsWindow(dialog); });
}

}  // namespace mainwin
