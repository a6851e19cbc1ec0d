#pragma once

#include "ui/framework/dialog.h"
#include "ui/resources/resource.h"

#include <string>
#include <vector>

// Edits the user's own patterns in list box IDC_PATTERN_LIST. The caller fills TargetList,
// runs the dialog modally and, on IDOK, reads back the list as the box held it.
class CTargetListDlg : public Dialog {
 public:
  CTargetListDlg() : Dialog(IDD_TARGET_LIST) {}

  std::vector<std::string> TargetList;

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

 private:
  void OnAddPattern();
  void OnRemovePattern();
  void AddRow(const std::string& text) const;

  HWND patternList_ = nullptr;
};
