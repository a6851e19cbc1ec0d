#include "ui/dialogs/dialog.h"
#include "ui/resources/resource.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <stdexcept>
#include <thread>
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

// Work from another thread runs on the window thread, and its exception comes back; a dialog
// whose window is destroyed by other means than End ends its modal run.
TEST(Dialog, WorkFromAnotherThreadRunsOnTheWindowThreadAndDestroyingTheWindowEndsTheRun) {
  ProbeDialog dialog(IDD_TARGET_ENTRY);
  EXPECT_FALSE(dialog.RunOnWindowThread([] { ADD_FAILURE() << "ran without a window"; }));
  const DWORD windowThread = GetCurrentThreadId();
  std::thread other;
  dialog.onInit = [&] {
    other = std::thread([&] {
      DWORD ranOn = 0;
      EXPECT_TRUE(dialog.RunOnWindowThread([&] { ranOn = GetCurrentThreadId(); }));
      EXPECT_EQ(ranOn, windowThread);
      EXPECT_THROW(dialog.RunOnWindowThread([] { throw std::runtime_error("on the window"); }), std::runtime_error);
      dialog.RunOnWindowThread([&] { DestroyWindow(dialog.Handle()); });
    });
  };
  EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
  other.join();
  EXPECT_EQ(dialog.Handle(), nullptr);
}

// F1 names the dialog it was pressed in, also from a control or a modeless dialog over the
// modal one, and only without Shift, Ctrl and Alt.
TEST(Dialog, F1AsksForHelpOnTheDialogItWasPressedIn) {
  enum Where { kDialog, kControl, kModeless };
  const struct {
    int heldKey;  // 0: none
    Where where;
    std::vector<int> asked;
  } cases[] = {{0, kDialog, {IDD_TARGET_ENTRY}}, {0, kControl, {IDD_TARGET_ENTRY}}, {0, kModeless, {IDD_PROGRESS}},
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
    // The modal loop takes the key, then the command that ends it.
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

// The template's combo box entries are there when a dialog initialises, each time once; a
// control id repeated within a dialog would reach the wrong control.
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
