#include "engine/win32/utf.h"
#include "tests/ui/window_fixture.h"
#include "ui/dialogs/target_entry_dlg.h"
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

// Presses Add in the list dialog and enters pattern in the entry dialog that it opens.
void AddPattern(const WindowDriver& driver, HWND list, const std::string& pattern) {
  WindowDriver::Click(list, IDC_ADD_PATTERN);
  HWND entry = driver.WaitForDialog(IDC_PATTERN_EDIT, L"ComboBox");
  ASSERT_NE(entry, nullptr);
  WindowDriver::SetItemText(entry, IDC_PATTERN_EDIT, pattern);
  WindowDriver::Click(entry, IDOK);
  ASSERT_TRUE(WindowDriver::WaitUntil([&] { return !IsWindow(entry); }));
  WindowDriver::Sync(list);
}

}  // namespace

TEST_F(PatternDialogTest, AddingAPatternThatBeginsARowIsDropped) {
  struct Case {
    const char* added;
    std::vector<std::string> listed;
  };
  // The list holds "*.tmp"; a new pattern is dropped when a row begins with it, in any case.
  const Case cases[] = {
      {"*.t", {"*.tmp"}},
      {"*.TMP", {"*.tmp"}},
      {"*.tmp", {"*.tmp"}},
      {"*.tmpx", {"*.tmp", "*.tmpx"}},
      {"   ", {"*.tmp", "   "}},
      {"Temp\\*.*", {"*.tmp", "Temp\\*.*"}},
  };
  for (const Case& tested : cases) {
    CTargetListDlg dialog;
    dialog.TargetList = {"*.tmp"};
    const INT_PTR result =
        RunModal(dialog, IDC_PATTERN_LIST, L"ListBox", [&](WindowDriver& driver, HWND list) {
          AddPattern(driver, list, tested.added);
          EXPECT_EQ(ListedPatterns(list), tested.listed) << tested.added;
          EXPECT_EQ(SendMessageW(GetDlgItem(list, IDC_PATTERN_LIST), LB_GETCURSEL, 0, 0),
                    LB_ERR);
          WindowDriver::Click(list, IDOK);
        });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.TargetList, tested.listed) << tested.added;
  }
}

TEST_F(PatternDialogTest, CancelKeepsTheCallersListAfterAdditionsAndRemovals) {
  CTargetListDlg dialog;
  dialog.TargetList = {"*.a", "*.b"};
  const INT_PTR result =
      RunModal(dialog, IDC_PATTERN_LIST, L"ListBox", [&](WindowDriver& driver, HWND list) {
        AddPattern(driver, list, "*.c");
        SendMessageW(GetDlgItem(list, IDC_PATTERN_LIST), LB_SETCURSEL, 0, 0);
        WindowDriver::ClickAndWait(list, IDC_REMOVE_PATTERN);
        EXPECT_EQ(ListedPatterns(list), (std::vector<std::string>{"*.b", "*.c"}));
        WindowDriver::Click(list, IDCANCEL);
      });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(dialog.TargetList, (std::vector<std::string>{"*.a", "*.b"}));
}

TEST_F(PatternDialogTest, RemoveTakesOnlyTheSelectedRow) {
  CTargetListDlg dialog;
  dialog.TargetList = {"*.only"};
  RunModal(dialog, IDC_PATTERN_LIST, L"ListBox", [&](WindowDriver&, HWND list) {
    HWND box = GetDlgItem(list, IDC_PATTERN_LIST);
    WindowDriver::ClickAndWait(list, IDC_REMOVE_PATTERN);
    EXPECT_EQ(ListedPatterns(list), std::vector<std::string>{"*.only"}) << "nothing selected";
    SendMessageW(box, LB_SETCURSEL, 0, 0);
    WindowDriver::ClickAndWait(list, IDC_REMOVE_PATTERN);
    EXPECT_TRUE(ListedPatterns(list).empty());
    EXPECT_EQ(SendMessageW(box, LB_GETCURSEL, 0, 0), LB_ERR);
    WindowDriver::Click(list, IDOK);
  });
  EXPECT_TRUE(dialog.TargetList.empty());
}

TEST_F(PatternDialogTest, EntryStaysOpenWhenEmptyAndReturnsAPickedPreset) {
  CTargetEntryDlg dialog;
  const INT_PTR result =
      RunModal(dialog, IDC_PATTERN_EDIT, L"ComboBox", [&](WindowDriver&, HWND entry) {
        HWND combo = GetDlgItem(entry, IDC_PATTERN_EDIT);
        EXPECT_EQ(WindowDriver::Text(combo), "");
        ASSERT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 6);
        WindowDriver::ClickAndWait(entry, IDOK);
        EXPECT_TRUE(IsWindow(entry)) << "an empty pattern keeps the dialog open";
        // Picking the fifth preset from the drop-down list.
        SendMessageW(combo, CB_SETCURSEL, 4, 0);
        WindowDriver::Click(entry, IDOK);
      });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(dialog.PatternText, "*.~*");
}
