#pragma once

#include "ui/framework/dialog.h"
#include "ui/resources/resource.h"

#include <string>

// Asks for one pattern, typed or picked from the presets of combo box IDC_PATTERN_EDIT. The
// caller runs it modally and, on IDOK, reads PatternText, which is then never empty. Title,
// when given, replaces the template's caption, for a caller that asks the pattern for its own end.
class CTargetEntryDlg : public Dialog {
 public:
  CTargetEntryDlg() : Dialog(IDD_TARGET_ENTRY) {}

  std::string Title;
  std::string PatternText;

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
};
