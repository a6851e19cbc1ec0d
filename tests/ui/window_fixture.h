#pragma once

#include "tests/support/window_driver.h"
#include "ui/app/settings_store.h"
#include "ui/dialogs/dialog.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// A dialog on any template with nothing of its own but a hook into its initialisation.
class ProbeDialog : public Dialog {
 public:
  explicit ProbeDialog(int templateId) : Dialog(templateId) {}
  std::function<void()> onInit;

 protected:
  bool OnInitDialog() override { return onInit ? (onInit(), true) : true; }
};

// Runs the program's windows in this process under a settings root of the tests' own, which
// is removed before and after every test.
class WindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  void SetUp() override { RemoveTestSettings(); }
  void TearDown() override { RemoveTestSettings(); }
  static void RemoveTestSettings();
  static SettingsStore& Settings();

  using Script = std::function<void(WindowDriver&, HWND)>;
  // Runs dialog modally on this thread while script drives its window (found by a control's
  // id and class) from a thread of its own; whatever the script leaves open is closed after.
  static INT_PTR RunModal(Dialog& dialog, int markerId, const wchar_t* markerClass,
                          const Script& script);
  // The same for a new main window.
  static INT_PTR RunMainWindow(const Script& script);
};

// Steps of a script on the main window.
namespace mainwin {
HWND ResultList(HWND main);
// True once no worker runs: Scan is enabled again.
bool WaitForIdle(HWND main);
// Types the directory, presses Scan and waits for the scan to end.
void Scan(HWND main, const std::string& directory);
// Presses button on owner (the quick-search box, Add) and enters pattern in the entry dialog.
void EnterPattern(const WindowDriver& driver, HWND owner, int button, const std::string& pattern);
// Presses the own-patterns box and gives the list dialog it opens.
HWND OpenPatternList(const WindowDriver& driver, HWND main);
// Presses button in dialog and waits until the dialog has gone.
bool CloseWith(HWND dialog, int button);
}  // namespace mainwin
