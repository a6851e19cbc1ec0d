#include "ui/app/cleaner_app.h"

#include "engine/win32/utf.h"
#include "ui/resources/resource.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

TEST(ApplicationName, IsTheExecutablesFileNameWithoutExtension) {
  const struct {
    const wchar_t* path;
    const char* name;
    const wchar_t* helpFile;
  } cases[] = {
      {L"C:\\Tools\\Vellox.EXE", "Vellox", L"C:\\Tools\\Vellox.HLP"},
      {L"Z:\\tmp\\copy\\Other.exe", "Other", L"Z:\\tmp\\copy\\Other.HLP"},
      {L"C:\\a.b\\My.Tool.exe", "My.Tool", L"C:\\a.b\\My.Tool.HLP"},  // last dot only
      {L"C:\\a.b\\Vellox", "Vellox", L"C:\\a.b\\Vellox.HLP"},  // a dot in a directory
      {L"C:/x/forward.exe", "forward", L"C:/x/forward.HLP"},
      {L"C:drive.exe", "drive", L"C:drive.HLP"},
      {L"\\\\server\\share\\unc.exe", "unc", L"\\\\server\\share\\unc.HLP"},
      {L"C:\\工具\\清理程序.exe", "清理程序", L"C:\\工具\\清理程序.HLP"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Narrow(c.path));
    EXPECT_EQ(ApplicationNameFromPath(c.path), c.name);
    EXPECT_EQ(HelpFilePathFromPath(c.path), c.helpFile);
  }
}

namespace {

std::wstring ModuleDirectory() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring directory(path, length);
  return directory.substr(0, directory.find_last_of(L'\\') + 1);
}

std::wstring TempDirectory() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetTempPathW(MAX_PATH, path);
  return std::wstring(path, length);
}

std::string WindowText(HWND window) {
  wchar_t text[512] = {};
  const int length = GetWindowTextW(window, text, 512);
  return Narrow(text, static_cast<std::size_t>(length));
}

// A visible top-level dialog of the process whose caption passes the test, polled for up to
// ten seconds.
HWND WaitForDialogOf(DWORD processId, const std::function<bool(const std::string&)>& caption) {
  struct Search {
    DWORD processId;
    const std::function<bool(const std::string&)>* caption;
    HWND found;
  } search{processId, &caption, nullptr};
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (search.found == nullptr && std::chrono::steady_clock::now() < deadline) {
    EnumWindows(
        [](HWND window, LPARAM lParam) -> BOOL {
          auto* s = reinterpret_cast<Search*>(lParam);
          DWORD owner = 0;
          GetWindowThreadProcessId(window, &owner);
          wchar_t className[32] = {};
          GetClassNameW(window, className, 32);
          if (owner == s->processId && IsWindowVisible(window) &&
              std::wstring(className) == L"#32770" && (*s->caption)(WindowText(window))) {
            s->found = window;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return search.found;
}

// The number of values in a key, or -1 when the key does not exist.
int ValueCount(const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return -1;
  }
  DWORD values = 0;
  RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                   nullptr, nullptr, nullptr);
  RegCloseKey(key);
  return static_cast<int>(values);
}

// A copy of the program under a name of its own, started; removed with its settings after.
class RenamedCopy : public ::testing::Test {
 protected:
  void SetUp() override {
    name_ = L"VelloxCopy" + std::to_wstring(GetCurrentProcessId());
    executable_ = TempDirectory() + name_ + L".exe";
    settingsKey_ = L"Software\\Software by Quorvane\\" + name_;
    RegDeleteTreeW(HKEY_CURRENT_USER, settingsKey_.c_str());
    ASSERT_TRUE(CopyFileW((ModuleDirectory() + L"Vellox.exe").c_str(), executable_.c_str(), FALSE));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    std::wstring commandLine = L"\"" + executable_ + L"\"";
    ASSERT_TRUE(CreateProcessW(executable_.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                               0, nullptr, nullptr, &startup, &process_));
    CloseHandle(process_.hThread);
  }

  void TearDown() override {
    if (process_.hProcess != nullptr) {
      if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(process_.hProcess, 1);
        WaitForSingleObject(process_.hProcess, 10000);
      }
      CloseHandle(process_.hProcess);
    }
    DeleteFileW(executable_.c_str());
    RegDeleteTreeW(HKEY_CURRENT_USER, settingsKey_.c_str());
  }

  std::string Name() const { return Narrow(name_); }

  std::wstring name_;
  std::wstring executable_;
  std::wstring settingsKey_;
  PROCESS_INFORMATION process_{};
};

}  // namespace

// The copy starts with fresh settings under its own name: once its window is open, the keys
// "Recent" and "UserType" exist without values. F1 asks for a help file that does not exist,
// and the message box that says so carries the copy's name as its title. Exit leaves the
// empty directory field behind as an empty "Search".
TEST_F(RenamedCopy, KeepsSettingsAndTitlesMessageBoxesUnderItsOwnName) {
  HWND mainWindow = WaitForDialogOf(process_.dwProcessId, [](const std::string& caption) {
    return caption.rfind("Vellox磁盘清理/文件查找程序 - ", 0) == 0;
  });
  ASSERT_NE(mainWindow, nullptr);
  EXPECT_EQ(ValueCount(settingsKey_ + L"\\Recent"), 0);
  EXPECT_EQ(ValueCount(settingsKey_ + L"\\UserType"), 0);

  PostMessageW(mainWindow, WM_KEYDOWN, VK_F1, 1);
  const std::string name = Name();
  HWND box = WaitForDialogOf(process_.dwProcessId,
                             [&](const std::string& caption) { return caption == name; });
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(WindowText(GetDlgItem(box, 0xFFFF)), "启动帮助失败。");
  PostMessageW(box, WM_COMMAND, IDOK, 0);

  PostMessageW(mainWindow, WM_CLOSE, 0, 0);
  ASSERT_EQ(WaitForSingleObject(process_.hProcess, 10000), WAIT_OBJECT_0);
  DWORD exitCode = 1;
  GetExitCodeProcess(process_.hProcess, &exitCode);
  EXPECT_EQ(exitCode, 0u);

  wchar_t search[8] = {L'x'};
  DWORD type = 0;
  DWORD size = sizeof(search);
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, (settingsKey_ + L"\\Recent").c_str(), L"Search",
                         RRF_RT_ANY, &type, search, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(size, sizeof(wchar_t));
  EXPECT_EQ(search[0], L'\0');
}
