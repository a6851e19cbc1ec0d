// The in-process windows: the dialog base and the progress window.
#include "ui/dialogs/dialog.h"
#include "ui/dialogs/progress_dlg.h"
#include "ui/resources/resource.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
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

// The entry dialog's six combo box entries are there once at each start; no id repeats within a
// dialog.
TEST(Dialog, TemplatesGiveComboEntriesOnceAndUniqueControlIds) {
  for (int templateId : {IDD_TARGET_ENTRY, IDD_TARGET_ENTRY, IDD_TARGET_LIST, IDD_PROGRESS, IDD_CLEANER_DIALOG}) {
    ProbeDialog dialog(templateId);
    dialog.onInit = [&] {
      EXPECT_EQ(SendDlgItemMessageW(dialog.Handle(), IDC_PATTERN_EDIT, CB_GETCOUNT, 0, 0),
                templateId == IDD_TARGET_ENTRY ? 6 : 0);
      std::set<int> ids;
      for (HWND child = GetWindow(dialog.Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const int id = LOWORD(GetDlgCtrlID(child));
        EXPECT_TRUE(id == 0xFFFF || ids.insert(id).second) << templateId << ": " << id;
      }
      dialog.End(IDOK);
    };
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK) << templateId;
  }
}

// The window shows where the worker's calls ended, once the window thread takes them. However
// the user puts it away, it hides at once and stays hidden until the worker shows it again; only
// the cancels ask the worker to stop, until its next show or start. A closing request stays.
TEST(ProgressWindow, ShowsWhatTheWorkerPublishedAndStaysAwayOnceTheUserPutsItAway) {
  const struct { const char* what; UINT message; WPARAM wParam; bool cancelled; } cases[] = {
      {"Cancel or Esc", WM_COMMAND, IDCANCEL, true}, {"close box", WM_CLOSE, 0, true},
      {"Enter", WM_COMMAND, IDOK, false}};
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CProgressDlg window;
    ASSERT_TRUE(window.Create(nullptr));
    HWND shown = window.Handle();
    HWND bar = window.Item(IDC_PROGRESS_BAR);
    PublishedProgress& worker = window.State();
    worker.SetCaption("正在删除...");
    worker.ShowProgressBar(true);
    worker.StartProgress(10, 70000, 2);
    for (int row = 0; row < 1000; ++row) worker.SetStatusText("C:\\临时\\" + std::to_string(row));
    for (int step = 0; step < 3; ++step) worker.StepProgress();
    worker.ShowProgress();
    EXPECT_FALSE(IsWindowVisible(shown)) << "shown by the window thread only";
    window.ShowPublishedState();
    EXPECT_TRUE(IsWindowVisible(shown) && IsWindowVisible(bar));
    EXPECT_EQ(window.Caption() + " " + window.ItemText(IDC_PROGRESS_TEXT), "正在删除... C:\\临时\\999");
    EXPECT_EQ(SendMessageW(bar, PBM_GETRANGE, TRUE, 0) * 100000 + SendMessageW(bar, PBM_GETRANGE, FALSE, 0), 1070000);
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 16);
    SendMessageW(shown, c.message, c.wParam, 0);
    EXPECT_FALSE(IsWindowVisible(shown));
    EXPECT_EQ(worker.CancelRequested(), c.cancelled);
    worker.SetStatusText("C:\\late");
    window.ShowPublishedState();
    EXPECT_FALSE(IsWindowVisible(shown));
    worker.HideProgress();
    window.ShowPublishedState();
    EXPECT_FALSE(IsWindowVisible(shown));
    EXPECT_EQ(worker.CancelRequested(), c.cancelled);
    worker.ShowProgress();
    window.ShowPublishedState();
    EXPECT_TRUE(IsWindowVisible(shown));
    EXPECT_FALSE(worker.CancelRequested());
    EXPECT_EQ(window.ItemText(IDC_PROGRESS_TEXT), "C:\\late");
    worker.CancelFlag() = 1;
    worker.StartProgress(0, 1, 1);
    EXPECT_FALSE(worker.CancelRequested());
    worker.RequestClose();
    worker.StartProgress(0, 1, 1);
    worker.ShowProgress();
    EXPECT_TRUE(worker.CancelRequested());
    worker.HideProgress();
    window.ShowPublishedState();
    EXPECT_FALSE(IsWindowVisible(shown));
  }
}

}  // namespace
