#include "ui/dialogs/target_entry_dlg.h"

#include "ui/dialogs/window_placement.h"

bool CTargetEntryDlg::OnInitDialog() {
  CenterOverOwner(Handle());
  return true;
}

void CTargetEntryDlg::OnOK() {
  PatternText = ItemText(IDC_PATTERN_EDIT);
  // An empty field keeps the dialog open, without a word.
  if (PatternText.empty()) return;
  End(IDOK);
}
