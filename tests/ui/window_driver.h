#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Drives the windows of one window thread from a test's own driver thread, the way a user
// would: clicks, typed texts, answers to message boxes. Every wait has a time limit, so a
// window that never shows makes a test fail instead of hang.
class WindowDriver {
 public:
  WindowDriver(DWORD windowThread, std::string messageBoxTitle)
      : windowThread_(windowThread), messageBoxTitle_(std::move(messageBoxTitle)) {}

  // Polls condition until it holds or timeoutMs passes; gives the last answer.
  static bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 20000);

  // The first visible dialog of the window thread that holds a control with this id and
  // window class (ids repeat across dialogs, classes tell them apart); null when none shows
  // within the time.
  HWND WaitForDialog(int controlId, const wchar_t* controlClass, DWORD timeoutMs = 20000) const;
  HWND FindDialog(int controlId, const wchar_t* controlClass) const;
  // The visible message box of the window thread: a dialog titled messageBoxTitle.
  HWND FindMessageBox() const;

  struct MessageBoxSeen {
    std::string text;
    bool hasYesNo = false;
  };
  // Waits for a message box, notes what it shows and presses button (IDYES, IDNO, IDOK).
  std::optional<MessageBoxSeen> AnswerMessageBox(int button, DWORD timeoutMs = 20000) const;

  // A click that may open a modal window: returns at once.
  static void Click(HWND dialog, int id);
  // A click whose handler runs to its end before this returns.
  static void ClickAndWait(HWND dialog, int id);
  static std::string Text(HWND window);
  static std::string ItemText(HWND dialog, int id) { return Text(GetDlgItem(dialog, id)); }
  static void SetItemText(HWND dialog, int id, const std::string& text);
  static bool IsChecked(HWND dialog, int id);
  // Waits until every message sent or posted to the window before has been handled.
  static void Sync(HWND window);

  // The rows of a list view as "number|path", and which rows are ticked.
  static std::vector<std::string> Rows(HWND list);
  static std::vector<bool> Ticks(HWND list);
  static void SetTick(HWND list, int row, bool ticked);

  // Saves the screen area of the window as a BMP file under the screenshot directory.
  static bool SaveScreenshot(HWND window, const std::string& name);

 private:
  DWORD windowThread_;
  std::string messageBoxTitle_;
};
