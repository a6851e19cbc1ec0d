#include "ui/dialogs/target_entry_dlg.h"

bool CTargetEntryDlg::OnInitDialog() {
  if (!Title.empty()) SetCaption(Title);
  return true;
}

void CTargetEntryDlg::OnOK() {
  PatternText = ItemText(IDC_PATTERN_EDIT);
  // An empty field keeps the dialog open, without a word.
  if (PatternText.empty()) return;
  End(IDOK);
}
