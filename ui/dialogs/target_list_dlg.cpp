#include "ui/dialogs/target_list_dlg.h"

#include "engine/win32/utf.h"
#include "ui/dialogs/target_entry_dlg.h"

bool CTargetListDlg::OnInitDialog() {
  patternList_ = Item(IDC_PATTERN_LIST);
  for (const std::string& text : TargetList) AddRow(text);
  return true;
}

bool CTargetListDlg::OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR& result) {
  static const CommandRoute<CTargetListDlg> commands[] = {
      {IDC_ADD_PATTERN, BN_CLICKED, &CTargetListDlg::OnAddPattern},
      {IDC_REMOVE_PATTERN, BN_CLICKED, &CTargetListDlg::OnRemovePattern},
  };
  return RouteCommand(*this, commands, message, wParam, result);
}

// A new pattern is dropped when a row begins with it in any letter case: "*.T" is not added
// beside "*.tmp", while "*.tmpx" is.
void CTargetListDlg::OnAddPattern() {
  CTargetEntryDlg entry;
  if (entry.DoModal() == IDCANCEL) return;
  const std::wstring text = Widen(entry.PatternText);
  const LRESULT found = SendMessageW(patternList_, LB_FINDSTRING, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(text.c_str()));
  if (found == LB_ERR) AddRow(entry.PatternText);
}

void CTargetListDlg::OnRemovePattern() {
  const LRESULT selected = SendMessageW(patternList_, LB_GETCURSEL, 0, 0);
  if (selected == LB_ERR) return;
  SendMessageW(patternList_, LB_DELETESTRING, static_cast<WPARAM>(selected), 0);
}

void CTargetListDlg::OnOK() {
  TargetList.clear();
  const auto count = static_cast<int>(SendMessageW(patternList_, LB_GETCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) {
    const auto length =
        static_cast<std::size_t>(SendMessageW(patternList_, LB_GETTEXTLEN, row, 0));
    std::wstring text(length + 1, L'\0');
    const auto copied = SendMessageW(patternList_, LB_GETTEXT, row,
                                     reinterpret_cast<LPARAM>(text.data()));
    TargetList.push_back(Narrow(text.data(), copied > 0 ? static_cast<std::size_t>(copied) : 0));
  }
  End(IDOK);
}

void CTargetListDlg::AddRow(const std::string& text) const {
  const std::wstring wide = Widen(text);
  SendMessageW(patternList_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}
