#include "ui/resources/resource.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <set>

namespace {

INT_PTR CALLBACK IgnoreMessages(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// Control ids need only be unique within one dialog; a repeated one there reaches the wrong
// control.
TEST(Resources, ControlIdsAreUniqueWithinEachDialog) {
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&classes);
  for (int templateId : {IDD_CLEANER_DIALOG, IDD_PROGRESS, IDD_TARGET_LIST, IDD_TARGET_ENTRY}) {
    HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId),
                                     nullptr, IgnoreMessages, 0);
    ASSERT_NE(dialog, nullptr) << templateId;
    std::set<int> seen;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      const int id = LOWORD(GetDlgCtrlID(child));
      EXPECT_TRUE(id == 0xFFFF || seen.insert(id).second) << templateId << ": " << id;
    }
    DestroyWindow(dialog);
  }
}

}  // namespace
