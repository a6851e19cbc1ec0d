#pragma once

#include "ui/dialogs/dialog.h"
#include "ui/resources/resource.h"

// The program's only top-level window, on template IDD_CLEANER_DIALOG.
class CCleanerDlg : public Dialog {
 public:
  CCleanerDlg() : Dialog(IDD_CLEANER_DIALOG) {}
};
