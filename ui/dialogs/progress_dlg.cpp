#include "ui/dialogs/progress_dlg.h"

#include "engine/win32/utf.h"

#include <commctrl.h>

void CProgressDlg::SetCaption(const std::string& text) {
  const std::wstring wide = Widen(text);
  RunOnWindowThread([&] { SetWindowTextW(Handle(), wide.c_str()); });
}

void CProgressDlg::SetStatusText(const std::string& text) {
  const std::wstring wide = Widen(text);
  RunOnWindowThread([&] { SetDlgItemTextW(Handle(), IDC_PROGRESS_TEXT, wide.c_str()); });
}

void CProgressDlg::ShowProgressBar(bool show) {
  RunOnWindowThread([&] { ShowWindow(bar_, show ? SW_SHOW : SW_HIDE); });
}

// The bar takes the full 32-bit bounds, so a deletion of more than 65,535 rows still moves it
// in proportion instead of wrapping at a 16-bit upper bound.
void CProgressDlg::StartProgress(std::int32_t lower, std::int32_t upper, std::int32_t step) {
  RunOnWindowThread([&] {
    SendMessageW(bar_, PBM_SETRANGE32, static_cast<WPARAM>(lower), static_cast<LPARAM>(upper));
    SendMessageW(bar_, PBM_SETSTEP, static_cast<WPARAM>(step), 0);
    SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(lower), 0);
    cancelFlag_ = 0;
  });
}

void CProgressDlg::StepProgress() {
  RunOnWindowThread([&] { SendMessageW(bar_, PBM_STEPIT, 0, 0); });
}

// One trip to the window thread for both: a deletion calls this once per row, and each trip
// from a worker costs a round of messages through the system.
void CProgressDlg::SetStatusTextAndStep(const std::string& text) {
  const std::wstring wide = Widen(text);
  RunOnWindowThread([&] {
    SetDlgItemTextW(Handle(), IDC_PROGRESS_TEXT, wide.c_str());
    SendMessageW(bar_, PBM_STEPIT, 0, 0);
  });
}

void CProgressDlg::ShowProgress() {
  RunOnWindowThread([&] { ShowWindow(Handle(), SW_SHOW); });
}

void CProgressDlg::HideProgress() {
  RunOnWindowThread([&] { End(IDCANCEL); });
}

bool CProgressDlg::OnInitDialog() {
  bar_ = Item(IDC_PROGRESS_BAR);
  return true;
}

// The Cancel button, Esc and the close box all arrive here.
void CProgressDlg::OnCancel() {
  cancelFlag_ = 1;
  End(IDCANCEL);
}

// Every show, whatever causes it, starts an operation afresh, so a Cancel never carries over.
// Left unhandled, so that the standard handling of the notification runs as well.
bool CProgressDlg::OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR&) {
  if (message == WM_SHOWWINDOW && wParam != FALSE) cancelFlag_ = 0;
  return false;
}
