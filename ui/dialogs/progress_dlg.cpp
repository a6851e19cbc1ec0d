#include "ui/dialogs/progress_dlg.h"

#include <commctrl.h>

void CProgressDlg::ShowPublishedState() {
  if (!state_.TakeChanges(shown_)) return;
  using Part = PublishedProgress::Snapshot::Part;
  const unsigned changed = shown_.changed;
  if (changed & Part::kCaption) SetCaption(shown_.caption);
  if (changed & Part::kStatus) SetItemText(IDC_PROGRESS_TEXT, shown_.status);
  if (changed & Part::kBar) ShowWindow(bar_, shown_.barShown ? SW_SHOW : SW_HIDE);
  // The bar takes the full 32-bit bounds, so a deletion of more than 65,535 rows still moves
  // it in proportion instead of wrapping at a 16-bit upper bound.
  if (changed & Part::kRange) {
    SendMessageW(bar_, PBM_SETRANGE32, static_cast<WPARAM>(shown_.lower),
                 static_cast<LPARAM>(shown_.upper));
  }
  if (changed & Part::kPosition) {
    SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(shown_.position), 0);
  }
  if ((changed & Part::kVisibility) == 0) return;
  const bool visible = IsWindowVisible(Handle()) != FALSE;
  if (shown_.visible && !visible) {
    ShowWindow(Handle(), SW_SHOW);
  } else if (!shown_.visible && visible) {
    UpdateWindow(Handle());
    End(IDCANCEL);
  }
}

bool CProgressDlg::OnInitDialog() {
  bar_ = Item(IDC_PROGRESS_BAR);
  return true;
}

void CProgressDlg::OnCancel() {
  state_.CancelFlag() = 1;
  End(IDCANCEL);
}
