#include "ui/framework/dialog.h"

#include "engine/win32/utf.h"
#include "ui/framework/dialog_init_data.h"

#include <exception>
#include <utility>

namespace {

// Private message: lParam points at a CrossThreadCall to carry out on the window thread.
constexpr UINT WM_RUN_ON_WINDOW_THREAD = WM_APP + 0x100;
const wchar_t kDialogProperty[] = L"Vellox.Dialog";

struct CrossThreadCall {
  const std::function<void()>* work;
  bool ran = false;
  std::exception_ptr error;
};

std::string& TitleStorage() {
  static std::string title;
  return title;
}

Dialog::HelpHandler& HelpHandlerStorage() {
  static Dialog::HelpHandler handler;
  return handler;
}

// Messages whose result a dialog procedure returns itself; every other result travels in
// DWLP_MSGRESULT while the procedure returns TRUE.
bool ReturnsResultDirectly(UINT message) {
  switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
      return true;
    default:
      return false;
  }
}

bool IsKeyDown(int key) { return GetKeyState(key) < 0; }

}  // namespace

std::string LoadResourceString(int id) {
  // With a zero buffer size LoadStringW gives a pointer to the resource text itself, which
  // is not zero-terminated, and its length.
  const wchar_t* text = nullptr;
  const int length = LoadStringW(GetModuleHandleW(nullptr), static_cast<UINT>(id),
                                 reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || text == nullptr) return {};
  return Narrow(text, static_cast<std::size_t>(length));
}

Dialog::~Dialog() { Destroy(); }

INT_PTR Dialog::DoModal(HWND owner) {
  if (owner == nullptr) owner = GetActiveWindow();
  modal_ = true;
  ended_ = false;
  result_ = IDCANCEL;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId_), owner, DialogProcedure,
                         reinterpret_cast<LPARAM>(this)) == nullptr) {
    modal_ = false;
    return -1;
  }
  const bool ownerWasEnabled = owner != nullptr && IsWindowEnabled(owner);
  if (ownerWasEnabled) EnableWindow(owner, FALSE);
  if (!ended_) ShowWindow(window_, SW_SHOW);

  MSG message;
  while (!ended_) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      // Leave the quit request for the loop that encloses this one.
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (got == -1) break;
    if (PreTranslateForOwner(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }

  // Re-enable the owner before this window goes, so the system activates the owner.
  if (ownerWasEnabled) EnableWindow(owner, TRUE);
  Destroy();
  modal_ = false;
  return result_;
}

bool Dialog::Create(HWND owner) {
  modal_ = false;
  return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), owner,
                            DialogProcedure, reinterpret_cast<LPARAM>(this)) != nullptr;
}

void Dialog::Destroy() {
  if (window_ != nullptr) DestroyWindow(window_);
}

void Dialog::End(INT_PTR result) {
  if (modal_) {
    result_ = result;
    ended_ = true;
    PostMessageW(window_, WM_NULL, 0, 0);  // wakes the loop if it is waiting
  } else {
    ShowWindow(window_, SW_HIDE);
  }
}

std::string Dialog::ItemText(int id) const {
  HWND item = Item(id);
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(item)) + 1, L'\0');
  const int length = GetWindowTextW(item, text.data(), static_cast<int>(text.size()));
  return Narrow(text.data(), static_cast<std::size_t>(length));
}

void Dialog::SetItemText(int id, const std::string& text) const {
  SetDlgItemTextW(window_, id, Widen(text).c_str());
}

std::string Dialog::Caption() const {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window_)) + 1, L'\0');
  const int length = GetWindowTextW(window_, text.data(), static_cast<int>(text.size()));
  return Narrow(text.data(), static_cast<std::size_t>(length));
}

void Dialog::SetCaption(const std::string& text) const {
  SetWindowTextW(window_, Widen(text).c_str());
}

int Dialog::ShowMessage(const std::string& text, UINT style) const {
  return MessageBoxW(window_, Widen(text).c_str(), Widen(MessageBoxTitle()).c_str(), style);
}

bool Dialog::RunOnWindowThread(const std::function<void()>& work) const {
  HWND window = window_;
  if (window == nullptr) return false;
  if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) {
    work();
    return true;
  }
  CrossThreadCall call{&work, false, nullptr};
  SendMessageW(window, WM_RUN_ON_WINDOW_THREAD, 0, reinterpret_cast<LPARAM>(&call));
  if (call.error) std::rethrow_exception(call.error);
  return call.ran;
}

void Dialog::SetMessageBoxTitle(const std::string& title) { TitleStorage() = title; }
const std::string& Dialog::MessageBoxTitle() { return TitleStorage(); }

void Dialog::SetHelpHandler(HelpHandler handler) { HelpHandlerStorage() = std::move(handler); }

bool Dialog::PreTranslateMessage(MSG& message) { return IsDialogMessageW(window_, &message) != 0; }

bool Dialog::OnMessage(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }

bool Dialog::IsHelpKey(const MSG& message) {
  return message.message == WM_KEYDOWN && message.wParam == VK_F1 && !IsKeyDown(VK_SHIFT) &&
         !IsKeyDown(VK_CONTROL) && !IsKeyDown(VK_MENU);
}

// Finds the dialog of ours whose window holds the message's window and lets it pre-translate
// the message; modeless dialogs get their keyboard handling (Esc, Tab) this way too.
bool Dialog::PreTranslateForOwner(MSG& message) {
  if (message.hwnd == nullptr) return false;
  HWND root = GetAncestor(message.hwnd, GA_ROOT);
  auto* dialog = static_cast<Dialog*>(GetPropW(root, kDialogProperty));
  if (dialog == nullptr) return false;
  if (IsHelpKey(message)) {
    // Copied, so a handler that replaces itself cannot pull the function out from under us.
    const HelpHandler handler = HelpHandlerStorage();
    if (handler) handler(dialog->templateId_);
    return true;
  }
  return dialog->PreTranslateMessage(message);
}

// Centres the window over its owner, or over the work area when it has no visible owner, and
// keeps it inside the work area of the owner's monitor.
void Dialog::CentreInWorkArea(HWND owner) const {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  const bool overOwner = owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner);
  GetMonitorInfoW(MonitorFromWindow(overOwner ? owner : window_, MONITOR_DEFAULTTOPRIMARY),
                  &monitor);
  const RECT area = monitor.rcWork;
  RECT around = area;
  if (overOwner) GetWindowRect(owner, &around);
  RECT own{};
  GetWindowRect(window_, &own);
  const LONG width = own.right - own.left;
  const LONG height = own.bottom - own.top;
  LONG left = around.left + (around.right - around.left - width) / 2;
  LONG top = around.top + (around.bottom - around.top - height) / 2;
  if (left + width > area.right) left = area.right - width;
  if (top + height > area.bottom) top = area.bottom - height;
  if (left < area.left) left = area.left;
  if (top < area.top) top = area.top;
  SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK Dialog::DialogProcedure(HWND window, UINT message, WPARAM wParam,
                                         LPARAM lParam) {
  Dialog* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<Dialog*>(lParam);
    self->window_ = window;
    SetWindowLongPtrW(window, DWLP_USER, lParam);
    SetPropW(window, kDialogProperty, self);
  } else {
    self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, DWLP_USER));
  }
  if (self == nullptr) return FALSE;

  // No exception may cross into the system.
  INT_PTR result = FALSE;
  bool handled = false;
  try {
    result = self->HandleMessage(message, wParam, lParam, handled);
  } catch (...) {
    handled = false;
  }
  if (message == WM_NCDESTROY) {
    RemovePropW(window, kDialogProperty);
    SetWindowLongPtrW(window, DWLP_USER, 0);
    self->window_ = nullptr;
    // A modal run whose window went away by other means than End must not wait forever; the
    // loop may be waiting for a message, when the window went inside a message sent to it.
    if (self->modal_) {
      self->ended_ = true;
      PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
    }
  }
  if (!handled) return FALSE;
  if (ReturnsResultDirectly(message)) return result;
  SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
  return TRUE;
}

INT_PTR Dialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  handled = true;
  INT_PTR result = TRUE;
  if (message == WM_RUN_ON_WINDOW_THREAD) {
    auto* call = reinterpret_cast<CrossThreadCall*>(lParam);
    try {
      (*call->work)();
    } catch (...) {
      call->error = std::current_exception();
    }
    call->ran = true;
    return TRUE;
  }
  if (message == WM_INITDIALOG) {
    ApplyDialogInitData(window_, templateId_);
    RECT before{};
    GetWindowRect(window_, &before);
    if (!OnMessage(message, wParam, lParam, result)) result = OnInitDialog() ? TRUE : FALSE;
    RECT after{};
    GetWindowRect(window_, &after);
    if (modal_ && EqualRect(&before, &after)) CentreInWorkArea(GetWindow(window_, GW_OWNER));
    return result;
  }
  if (OnMessage(message, wParam, lParam, result)) return result;
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK && HIWORD(wParam) == BN_CLICKED) {
        OnOK();
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL && HIWORD(wParam) == BN_CLICKED) {
        OnCancel();
        return TRUE;
      }
      break;
    case WM_CLOSE:
      OnCancel();
      return TRUE;
    default:
      break;
  }
  handled = false;
  return FALSE;
}
