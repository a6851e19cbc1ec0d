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
          EXPECT_EQ(WindowDriver::ListBoxRows(GetDlgItem(list, IDC_PATTERN_LIST)), tested.listed)
              << tested.added;
          WindowDriver::Click(list, tested.closedWith);
        });
    EXPECT_EQ(result, tested.closedWith);
    EXPECT_EQ(dialog.TargetList,
              tested.closedWith == IDOK ? tested.listed : std::vector<std::string>{"*.tmp"});
  }
}

}  // namespace
