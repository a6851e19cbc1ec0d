#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Drives the windows of one window thread from a test's own thread, the way a user or a
// program reading the windows from outside would. Every wait has a time limit, so a window
// that never shows makes a test fail instead of hang.
class WindowDriver {
 public:
  WindowDriver(DWORD windowThread, std::string messageBoxTitle)
      : windowThread_(windowThread), messageBoxTitle_(std::move(messageBoxTitle)) {}

  // Polls condition until it holds or timeoutMs passes; gives the last answer.
  static bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 20000);
  // The first visible dialog of the thread with a control of this id and window class (ids
  // repeat across dialogs, classes tell them apart), or null.
  HWND FindDialog(int controlId, const wchar_t* controlClass) const;
  HWND WaitForDialog(int controlId, const wchar_t* controlClass) const;
  // The visible message box of the thread: a dialog titled messageBoxTitle.
  HWND FindMessageBox() const;
  // Waits for a message box, presses button (IDYES, IDNO, IDOK) and gives the box's text.
  std::optional<std::string> AnswerMessageBox(int button) const;

  // A click that may open a modal window returns at once; ClickAndWait returns when the
  // click's handler has run.
  static void Click(HWND dialog, int id) { PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
  static void ClickAndWait(HWND dialog, int id) {
    SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
  }
  static std::string Text(HWND window);
  static std::string ItemText(HWND dialog, int id) { return Text(GetDlgItem(dialog, id)); }
  static void SetItemText(HWND dialog, int id, const std::string& text);
  static bool IsChecked(HWND dialog, int id) {
    return SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  // Waits until every message sent to the window before has been handled.
  static void Sync(HWND window) { SendMessageW(window, WM_NULL, 0, 0); }
  // A list view's rows as "number|path", ticked ones with "+" in front, read as a screen
  // reader reads them; a tick set the way such a program sets it; a list box's rows.
  static std::vector<std::string> Rows(HWND list);
  static void SetTick(HWND list, int row, bool ticked);
  static std::vector<std::string> ListBoxRows(HWND box);

 private:
  DWORD windowThread_;
  std::string messageBoxTitle_;
};
