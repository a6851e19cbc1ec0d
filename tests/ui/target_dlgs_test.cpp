#include "engine/win32/utf.h"
#include "tests/ui/window_fixture.h"
#include "ui/dialogs/target_list_dlg.h"
#include "ui/resources/resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using PatternDialogTest = WindowTest;

std::vector<std::string> ListedPatterns(HWND dialog) {
  HWND box = GetDlgItem(dialog, IDC_PATTERN_LIST);
  std::vector<std::string> listed;
  const auto count = static_cast<int>(SendMessageW(box, LB_GETCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) {
    wchar_t text[256] = {};
    SendMessageW(box, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text));
    listed.push_back(Narrow(text));
  }
  return listed;
}

}  // namespace

TEST_F(PatternDialogTest, AddDropsAPatternThatBeginsARowAndCancelKeepsTheCallersList) {
  struct Case {
    const char* added;
    int closedWith;
    std::vector<std::string> listed;  // in the dialog, and the caller's after OK
  };
  // The list holds "*.tmp"; a new pattern is dropped when a row begins with it, in any case.
  const Case cases[] = {
      {"*.t", IDOK, {"*.tmp"}},
      {"*.TMP", IDOK, {"*.tmp"}},
      {"*.tmpx", IDOK, {"*.tmp", "*.tmpx"}},
      {"Temp\\*.*", IDOK, {"*.tmp", "Temp\\*.*"}},
      {"*.c", IDCANCEL, {"*.tmp", "*.c"}},
  };
  for (const Case& tested : cases) {
    CTargetListDlg dialog;
    dialog.TargetList = {"*.tmp"};
    const INT_PTR result =
        RunModal(dialog, IDC_PATTERN_LIST, L"ListBox", [&](WindowDriver& driver, HWND list) {
          mainwin::EnterPattern(driver, list, IDC_ADD_PATTERN, tested.added);
          EXPECT_EQ(ListedPatterns(list), tested.listed) << tested.added;
          WindowDriver::Click(list, tested.closedWith);
        });
    EXPECT_EQ(result, tested.closedWith);
    EXPECT_EQ(dialog.TargetList,
              tested.closedWith == IDOK ? tested.listed : std::vector<std::string>{"*.tmp"})
        << tested.added;
  }
}
