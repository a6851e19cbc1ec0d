#include "ui/app/cleaner_app.h"

#include "engine/win32/utf.h"
#include "tests/ui/window_fixture.h"
#include "ui/app/settings_store.h"
#include "ui/resources/resource.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

TEST(ApplicationName, IsTheExecutablesFileNameWithoutExtension) {
  const struct {
    const wchar_t* path;
    const char* name;
    const wchar_t* helpFile;
  } cases[] = {
      {L"C:\\a.b\\My.Tool.exe", "My.Tool", L"C:\\a.b\\My.Tool.HLP"},  // last dot only
      {L"C:\\a.b\\Vellox", "Vellox", L"C:\\a.b\\Vellox.HLP"},          // a dot in a directory
      {L"C:/x/forward.exe", "forward", L"C:/x/forward.HLP"},
      {L"C:drive.exe", "drive", L"C:drive.HLP"},
      {L"C:\\工具\\清理程序.exe", "清理程序", L"C:\\工具\\清理程序.HLP"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ApplicationNameFromPath(c.path), c.name);
    EXPECT_EQ(HelpFilePathFromPath(c.path), c.helpFile) << c.name;
  }
}

// A copy of the program under a name of its own starts with fresh settings under that name
// (the keys exist, without values, once its window is open), titles its message boxes with it
// (here the one that says help cannot start, since no help file exists) and ends when its
// window closes, leaving the empty directory field behind as an empty "Search".
TEST(RenamedCopy, KeepsSettingsAndTitlesMessageBoxesUnderItsOwnName) {
  wchar_t path[MAX_PATH];
  std::wstring source(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
  source.replace(source.find_last_of(L'\\') + 1, std::wstring::npos, L"Vellox.exe");
  const std::wstring name = L"VelloxCopy" + std::to_wstring(GetCurrentProcessId());
  const std::wstring executable = std::wstring(path, GetTempPathW(MAX_PATH, path)) + name + L".exe";
  const std::wstring settingsKey = L"Software\\Software by Quorvane\\" + name;
  const auto valueCount = [&](const wchar_t* section) {
    HKEY key = nullptr;
    DWORD values = 0;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, (settingsKey + section).c_str(), 0, KEY_READ, &key)) return -1;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                     nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return static_cast<int>(values);
  };
  RegDeleteTreeW(HKEY_CURRENT_USER, settingsKey.c_str());
  ASSERT_TRUE(CopyFileW(source.c_str(), executable.c_str(), FALSE));
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  std::wstring commandLine = L"\"" + executable + L"\"";
  ASSERT_TRUE(CreateProcessW(executable.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                             nullptr, nullptr, &startup, &process));

  const WindowDriver driver(process.dwThreadId, Narrow(name));
  HWND main = driver.WaitForDialog(IDC_RESULT_LIST, L"SysListView32");
  EXPECT_NE(main, nullptr);
  EXPECT_EQ(valueCount(L"\\Recent") * 10 + valueCount(L"\\UserType"), 0);
  PostMessageW(main, WM_KEYDOWN, VK_F1, 1);
  EXPECT_EQ(driver.AnswerMessageBox(IDOK).value_or("no box titled with the name"), "启动帮助失败。");
  PostMessageW(main, WM_CLOSE, 0, 0);
  const bool ended = WaitForSingleObject(process.hProcess, 10000) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(process.hProcess, 1);
  WaitForSingleObject(process.hProcess, 10000);
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  EXPECT_TRUE(ended && exitCode == 0) << "still running or exit code " << exitCode;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);

  SettingsStore copySettings;
  copySettings.SetRegistryRoot("Software by Quorvane", Narrow(name));
  EXPECT_EQ(copySettings.ReadString("Recent", "Search", "<missing>"), "");
  DeleteFileW(executable.c_str());
  RegDeleteTreeW(HKEY_CURRENT_USER, settingsKey.c_str());
}
