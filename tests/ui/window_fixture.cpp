#include "tests/ui/window_fixture.h"

#include "engine/win32/utf.h"
#include "ui/app/cleaner_app.h"
#include "ui/dialogs/cleaner_dlg.h"
#include "ui/resources/resource.h"

#include <commctrl.h>

#include <thread>

namespace {

const wchar_t kCompanyPath[] = L"Software\\Vellox UI Tests";

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
