#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>

// A text of the string table, loaded when it is needed (never cached); empty when missing.
std::string LoadResourceString(int id);

// A window on a dialog template. Modal and modeless dialogs share everything but how they end:
// a modal run leaves its loop, a modeless window only hides. Every window of the program is a
// Dialog; each class reacts to what its route tables list and to the virtual hooks below.
class Dialog {
 public:
  explicit Dialog(int templateId) : templateId_(templateId) {}
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Runs the dialog modally over owner (null: the active window of this thread) and gives the
  // result passed to End, or -1 when the window cannot be created. The owner is disabled for
  // the run. The dialog opens centred over its owner (over the work area without one), kept
  // inside the work area, unless OnInitDialog has placed it itself.
  INT_PTR DoModal(HWND owner = nullptr);
  // Creates the window modeless and hidden unless its template says visible.
  bool Create(HWND owner);
  void Destroy();
  // Modal: ends the run with result. Modeless: hides the window.
  void End(INT_PTR result);

  HWND Handle() const { return window_; }
  HWND Item(int id) const { return GetDlgItem(window_, id); }
  std::string ItemText(int id) const;
  void SetItemText(int id, const std::string& text) const;
  std::string Caption() const;
  void SetCaption(const std::string& text) const;
  bool IsItemChecked(int id) const { return IsDlgButtonChecked(window_, id) != BST_UNCHECKED; }
  int ShowMessage(const std::string& text, UINT style) const;

  // Carries work out on the window's thread and returns when it is done; from the window
  // thread itself it runs at once. This is how worker threads reach state owned by the window.
  // An exception thrown by work is rethrown here, on the caller's thread. False when the work
  // did not run because the window does not exist.
  bool RunOnWindowThread(const std::function<void()>& work) const;

  // The title of every message box: the application name.
  static void SetMessageBoxTitle(const std::string& title);
  static const std::string& MessageBoxTitle();

  // F1 without Shift, Ctrl or Alt in any dialog's window calls the help handler with the
  // template id of that dialog. Set once at start-up; without one F1 does nothing.
  using HelpHandler = std::function<void(int templateId)>;
  static void SetHelpHandler(HelpHandler handler);

 protected:
  // Called for every message that a modal loop retrieves for this window or one of its
  // children, before it is dispatched; true means the message has been handled. The default
  // gives the standard keyboard handling (Tab, Esc, Enter, Alt+letter). F1 never reaches it.
  virtual bool PreTranslateMessage(MSG& message);
  // Runs after the template's initialisation data (combo box entries) has been applied.
  virtual bool OnInitDialog() { return true; }
  virtual void OnOK() { End(IDOK); }
  virtual void OnCancel() { End(IDCANCEL); }
  // Further messages, before any standard handling. True when handled, with the message's
  // result in result; false lets the standard dialog handling run.
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);

 private:
  static INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static bool PreTranslateForOwner(MSG& message);
  static bool IsHelpKey(const MSG& message);
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  void CentreInWorkArea(HWND owner) const;

  int templateId_;
  HWND window_ = nullptr;
  bool modal_ = false;
  bool ended_ = false;
  INT_PTR result_ = IDCANCEL;
};

// Route tables. A derived dialog lists what it reacts to, one row per handler, and calls
// RouteMessage from its OnMessage:
//   static const CommandRoute<CMyDlg> commands[] = {{IDC_SCAN, BN_CLICKED, &CMyDlg::OnScan}};
//   static const MessageRoute<CMyDlg> messages[] = {{WM_PAINT, &CMyDlg::OnPaint}};
// A command handler takes nothing; a message handler takes (wParam, lParam) and gives the
// dialog procedure's result.
template <class T>
struct CommandRoute {
  int controlId;
  UINT notification;
  void (T::*handler)();
};

template <class T>
struct MessageRoute {
  UINT message;
  INT_PTR (T::*handler)(WPARAM, LPARAM);
};

// For a dialog that reacts to commands only.
template <class T, std::size_t Commands>
bool RouteCommand(T& dialog, const CommandRoute<T> (&commands)[Commands], UINT message,
                  WPARAM wParam, INT_PTR& result) {
  if (message != WM_COMMAND) return false;
  for (const auto& route : commands) {
    if (route.controlId == LOWORD(wParam) && route.notification == HIWORD(wParam)) {
      (dialog.*route.handler)();
      result = TRUE;
      return true;
    }
  }
  return false;
}

template <class T, std::size_t Commands, std::size_t Messages>
bool RouteMessage(T& dialog, const CommandRoute<T> (&commands)[Commands],
                  const MessageRoute<T> (&messages)[Messages], UINT message, WPARAM wParam,
                  LPARAM lParam, INT_PTR& result) {
  if (message == WM_COMMAND) return RouteCommand(dialog, commands, message, wParam, result);
  for (const auto& route : messages) {
    if (route.message == message) {
      result = (dialog.*route.handler)(wParam, lParam);
      return true;
    }
  }
  return false;
}
