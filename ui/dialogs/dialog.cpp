#include "ui/dialogs/dialog.h"

#include "engine/win32/utf.h"

#include <exception>

namespace {

// Private message: lParam points at a std::function<void()> to call on the window thread.
constexpr UINT WM_RUN_ON_WINDOW_THREAD = WM_APP + 0x100;
const wchar_t kDialogProperty[] = L"Vellox.Dialog";

std::string& TitleStorage() {
  static std::string title;
  return title;
}

}  // namespace

Dialog::~Dialog() { Destroy(); }

INT_PTR Dialog::DoModal(HWND owner) {
  if (owner == nullptr) owner = GetActiveWindow();
  modal_ = true;
  ended_ = false;
  result_ = IDCANCEL;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId_), owner, DialogProcedure,
                         reinterpret_cast<LPARAM>(this)) == nullptr) {
    return -1;
  }
  const bool ownerWasEnabled = owner != nullptr && IsWindowEnabled(owner);
  if (ownerWasEnabled) EnableWindow(owner, FALSE);
  if (!ended_) ShowWindow(window_, SW_SHOW);

  MSG message;
  while (!ended_) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
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

void Dialog::RunOnWindowThread(const std::function<void()>& work) const {
  if (GetWindowThreadProcessId(window_, nullptr) == GetCurrentThreadId()) {
    work();
    return;
  }
  SendMessageW(window_, WM_RUN_ON_WINDOW_THREAD, 0,
               reinterpret_cast<LPARAM>(const_cast<std::function<void()>*>(&work)));
}

void Dialog::SetMessageBoxTitle(const std::string& title) { TitleStorage() = title; }
const std::string& Dialog::MessageBoxTitle() { return TitleStorage(); }

bool Dialog::PreTranslateMessage(MSG& message) { return IsDialogMessageW(window_, &message) != 0; }

bool Dialog::OnMessage(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }

// Finds the dialog of ours whose window holds the message's window and lets it pre-translate
// the message; modeless dialogs get their keyboard handling (Esc, Tab) this way too.
bool Dialog::PreTranslateForOwner(MSG& message) {
  if (message.hwnd == nullptr) return false;
  HWND root = GetAncestor(message.hwnd, GA_ROOT);
  auto* dialog = static_cast<Dialog*>(GetPropW(root, kDialogProperty));
  return dialog != nullptr && dialog->PreTranslateMessage(message);
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
  try {
    bool handled = false;
    const INT_PTR result = self->HandleMessage(message, wParam, lParam, handled);
    if (message == WM_NCDESTROY) {
      RemovePropW(window, kDialogProperty);
      SetWindowLongPtrW(window, DWLP_USER, 0);
      self->window_ = nullptr;
    }
    if (handled && message != WM_INITDIALOG) SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
    return handled ? result : FALSE;
  } catch (const std::exception&) {
    return FALSE;
  } catch (...) {
    return FALSE;
  }
}

INT_PTR Dialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  handled = true;
  INT_PTR result = TRUE;
  if (OnMessage(message, wParam, lParam, result)) return result;
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog() ? TRUE : FALSE;
    case WM_RUN_ON_WINDOW_THREAD:
      (*reinterpret_cast<std::function<void()>*>(lParam))();
      return TRUE;
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
