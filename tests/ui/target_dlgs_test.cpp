#include "engine/win32/utf.h"
#include "tests/ui/window_fixture.h"
#include "ui/dialogs/target_list_dlg.h"
#include "ui/resources/resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using PatternDialogTest = WindowTest;

// The list holds "*.tmp"; a new pattern is dropped when a row begins with it in any letter
// case. OK hands back the rows, Cancel leaves the caller's list alone.
TEST_F(PatternDialogTest, AddDropsAPatternThatBeginsARowAndCancelKeepsTheCallersList) {
  const struct {
    const char* added;
    int closedWith;
    std::vector<std::string> listed;
  } cases[] = {{"*.t", IDOK, {"*.tmp"}},
               {"*.TMP", IDOK, {"*.tmp"}},
               {"*.tmpx", IDOK, {"*.tmp", "*.tmpx"}},
               {"*.c", IDCANCEL, {"*.tmp", "*.c"}}};
  for (const auto& tested : cases) {
    CTargetListDlg dialog;
    dialog.TargetList = {"*.tmp"};
    const INT_PTR result =
        RunModal(dialog, IDC_PATTERN_LIST, L"ListBox", [&](WindowDriver& driver, HWND list) {
          mainwin::EnterPattern(driver, list, IDC_ADD_PATTERN, tested.added);
          HWND box = GetDlgItem(list, IDC_PATTERN_LIST);
          std::vector<std::string> listed;
          for (int row = 0; row < SendMessageW(box, LB_GETCOUNT, 0, 0); ++row) {
            wchar_t text[64] = {};
            SendMessageW(box, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text));
            listed.push_back(Narrow(text));
          }
          EXPECT_EQ(listed, tested.listed) << tested.added;
          WindowDriver::Click(list, tested.closedWith);
        });
    EXPECT_EQ(result, tested.closedWith);
    EXPECT_EQ(dialog.TargetList,
              tested.closedWith == IDOK ? tested.listed : std::vector<std::string>{"*.tmp"});
  }
}

}  // namespace
