#pragma once

#include "tests/ui/window_driver.h"
#include "ui/dialogs/dialog.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

// Runs the program's windows in this process under a settings root of the tests' own, which
// is removed before and after every test.
class WindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  void SetUp() override { RemoveTestSettings(); }
  void TearDown() override { RemoveTestSettings(); }
  static void RemoveTestSettings();

  using Script = std::function<void(WindowDriver&, HWND)>;
  // Runs dialog modally on this thread while script drives its window from a thread of its
  // own; whatever the script leaves open is closed afterwards. Gives the modal result.
  INT_PTR RunModal(Dialog& dialog, int markerId, const wchar_t* markerClass,
                   const Script& script);
  // The same for a new main window.
  INT_PTR RunMainWindow(const Script& script);

  static std::string ReadSetting(const std::string& section, const std::string& entry);
  static std::int32_t ReadCount();
  static void WriteSetting(const std::string& section, const std::string& entry,
                           const std::string& text);
  static void WriteCount(std::int32_t count);
};

// Steps of a script on the main window.
namespace mainwin {
// True once no worker runs: Scan is enabled again.
bool WaitForIdle(HWND main);
// Types the directory, presses Scan and waits for the scan to end.
void Scan(HWND main, const std::string& directory);
// Ticks the quick-search box and enters pattern in the entry dialog.
void SetQuickSearch(const WindowDriver& driver, HWND main, const std::string& pattern);
// Presses a delete button and answers its question; after Yes, waits for the run to end.
WindowDriver::MessageBoxSeen PressDelete(const WindowDriver& driver, HWND main, int button,
                                         int answer);
HWND ResultList(HWND main);
// Ticks the rows whose path ends with one of the names.
void TickRowsEndingWith(HWND main, const std::vector<std::string>& names);
}  // namespace mainwin
