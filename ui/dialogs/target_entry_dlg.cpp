#include "ui/dialogs/target_entry_dlg.h"

void CTargetEntryDlg::OnOK() {
  PatternText = ItemText(IDC_PATTERN_EDIT);
  // An empty field keeps the dialog open, without a word.
  if (PatternText.empty()) return;
  End(IDOK);
}
