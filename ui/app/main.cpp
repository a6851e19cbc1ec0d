#include "ui/dialogs/cleaner_dlg.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  CCleanerDlg dialog;
  dialog.DoModal(nullptr);
  return 0;
}
