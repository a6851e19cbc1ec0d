#include "ui/dialogs/dialog.h"
#include "ui/resources/resource.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <vector>

namespace {

// A dialog on any template with nothing of its own but a hook into its initialisation.
class ProbeDialog : public Dialog {
 public:
  explicit ProbeDialog(int templateId) : Dialog(templateId) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
  }
  std::function<void()> onInit;

 protected:
  bool OnInitDialog() override { return onInit ? (onInit(), true) : true; }
};

// A modal run whose window goes by other means than End ends all the same.
TEST(Dialog, DestroyingTheWindowEndsTheModalRun) {
  ProbeDialog dialog(IDD_TARGET_ENTRY);
  dialog.onInit = [&] {
    SetTimer(dialog.Handle(), 1, 0, [](HWND window, UINT, UINT_PTR, DWORD) { DestroyWindow(window); });
  };
  EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
  EXPECT_EQ(dialog.Handle(), nullptr);
}

// F1 names the dialog it was pressed in, from a control or a modeless dialog over the modal one
// too, and only without Shift, Ctrl and Alt.
TEST(Dialog, F1AsksForHelpOnTheDialogItWasPressedIn) {
  enum Where { kDialog, kControl, kModeless };
  const struct { int heldKey; Where where; std::vector<int> asked; } cases[] = {  // heldKey 0: none
      {0, kDialog, {IDD_TARGET_ENTRY}}, {0, kControl, {IDD_TARGET_ENTRY}}, {0, kModeless, {IDD_PROGRESS}},
      {VK_SHIFT, kDialog, {}},          {VK_CONTROL, kDialog, {}},          {VK_MENU, kDialog, {}}};
  for (const auto& c : cases) {
    std::vector<int> asked;
    Dialog::SetHelpHandler([&](int templateId) { asked.push_back(templateId); });
    BYTE keyboard[256];
    GetKeyboardState(keyboard);
    keyboard[c.heldKey] = 0x80;
    SetKeyboardState(keyboard);
    ProbeDialog modeless(IDD_PROGRESS);
    ProbeDialog dialog(IDD_TARGET_ENTRY);
    dialog.onInit = [&] {
      HWND target = c.where == kControl ? dialog.Item(IDCANCEL) : dialog.Handle();
      if (c.where == kModeless) target = modeless.Create(dialog.Handle()) ? modeless.Handle() : nullptr;
      PostMessageW(target, WM_KEYDOWN, VK_F1, 1);
      PostMessageW(dialog.Handle(), WM_COMMAND, IDCANCEL, 0);
    };
    dialog.DoModal(nullptr);
    keyboard[c.heldKey] = 0;
    SetKeyboardState(keyboard);
    Dialog::SetHelpHandler(nullptr);
    EXPECT_EQ(asked, c.asked) << "key " << c.heldKey << " where " << c.where;
  }
}

// A template's combo box entries are there once at each start; no id repeats within a dialog.
TEST(Dialog, TemplatesGiveComboEntriesOnceAndUniqueControlIds) {
  std::vector<LRESULT> counts;
  for (int templateId : {IDD_TARGET_ENTRY, IDD_TARGET_ENTRY, IDD_TARGET_LIST, IDD_PROGRESS, IDD_CLEANER_DIALOG}) {
    ProbeDialog dialog(templateId);
    dialog.onInit = [&] {
      counts.push_back(SendDlgItemMessageW(dialog.Handle(), IDC_PATTERN_EDIT, CB_GETCOUNT, 0, 0));
      std::set<int> ids;
      for (HWND child = GetWindow(dialog.Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const int id = LOWORD(GetDlgCtrlID(child));
        EXPECT_TRUE(id == 0xFFFF || ids.insert(id).second) << templateId << ": " << id;
      }
      dialog.End(IDOK);
    };
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK) << templateId;
  }
  EXPECT_EQ(counts[0] * 10 + counts[1], 66);
}

}  // namespace
