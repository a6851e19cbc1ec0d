#include "ui/dialogs/dialog.h"
#include "ui/resources/resource.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr UINT WM_PROBE_STEP = WM_APP + 1;

// A dialog that a test scripts: onInit runs in OnInitDialog, onStep when the step posted by
// PostStep arrives, that is after everything posted before it has been handled.
class ProbeDialog : public Dialog {
 public:
  explicit ProbeDialog(int templateId = IDD_CLEANER_DIALOG) : Dialog(templateId) {}

  std::function<void()> onInit;
  std::function<void()> onStep;
  void PostStep() const { PostMessageW(Handle(), WM_PROBE_STEP, 0, 0); }

 protected:
  bool OnInitDialog() override {
    if (onInit) onInit();
    return true;
  }
  bool OnMessage(UINT message, WPARAM, LPARAM, INT_PTR&) override {
    if (message != WM_PROBE_STEP || !onStep) return false;
    onStep();
    return true;
  }
};

}  // namespace

TEST(Dialog, WorkFromAWorkerRunsOnTheWindowThreadAndItsExceptionComesBack) {
  ProbeDialog dialog;
  EXPECT_FALSE(dialog.RunOnWindowThread([] { ADD_FAILURE() << "ran without a window"; }));
  const DWORD windowThread = GetCurrentThreadId();
  DWORD ranOn = 0;
  std::string caught;
  std::thread worker;
  dialog.onInit = [&] {
    worker = std::thread([&] {
      EXPECT_TRUE(dialog.RunOnWindowThread([&] { ranOn = GetCurrentThreadId(); }));
      try {
        dialog.RunOnWindowThread([] { throw std::runtime_error("from the window thread"); });
      } catch (const std::runtime_error& error) {
        caught = error.what();
      }
      dialog.PostStep();
    });
  };
  dialog.onStep = [&] {
    worker.join();
    dialog.End(IDOK);
  };
  EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
  EXPECT_EQ(ranOn, windowThread);
  EXPECT_EQ(caught, "from the window thread");
}

// A run whose window is destroyed by other means than End must not wait forever.
TEST(Dialog, ModalRunEndsWhenItsWindowIsDestroyedFromOutside) {
  ProbeDialog dialog;
  dialog.onInit = [&] { dialog.PostStep(); };
  dialog.onStep = [&] { DestroyWindow(dialog.Handle()); };
  EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
  EXPECT_EQ(dialog.Handle(), nullptr);
}

// F1 names the dialog it was pressed in, also from a control or a modeless dialog over the
// modal one, and only without Shift, Ctrl and Alt.
TEST(Dialog, F1AsksForHelpOnTheDialogItWasPressedIn) {
  enum Where { kDialog, kControl, kModeless };
  const struct {
    const char* what;
    int heldKey;
    Where where;
    std::vector<int> asked;
  } cases[] = {
      {"on the dialog", 0, kDialog, {IDD_CLEANER_DIALOG}},
      {"on a control", 0, kControl, {IDD_CLEANER_DIALOG}},
      {"in a modeless dialog", 0, kModeless, {IDD_PROGRESS}},
      {"Shift+F1", VK_SHIFT, kDialog, {}},
      {"Ctrl+F1", VK_CONTROL, kDialog, {}},
      {"Alt+F1", VK_MENU, kDialog, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<int> asked;
    Dialog::SetHelpHandler([&](int templateId) { asked.push_back(templateId); });
    ProbeDialog modeless(IDD_PROGRESS);
    ProbeDialog dialog;
    dialog.onInit = [&] {
      HWND target = c.where == kControl ? dialog.Item(IDCANCEL) : dialog.Handle();
      if (c.where == kModeless && modeless.Create(dialog.Handle())) target = modeless.Handle();
      PostMessageW(target, WM_KEYDOWN, VK_F1, 1);
      dialog.PostStep();
    };
    dialog.onStep = [&] { dialog.End(IDOK); };
    BYTE keyboard[256];
    GetKeyboardState(keyboard);
    keyboard[c.heldKey] = 0x80;  // key 0 does not exist: nothing held
    SetKeyboardState(keyboard);
    dialog.DoModal(nullptr);
    keyboard[c.heldKey] = 0;
    SetKeyboardState(keyboard);
    Dialog::SetHelpHandler(nullptr);
    EXPECT_EQ(asked, c.asked);
  }
}

TEST(Dialog, ComboEntriesOfTheTemplateAreThereWhenTheDialogInitialises) {
  ProbeDialog dialog(IDD_TARGET_ENTRY);
  std::vector<LRESULT> counts;
  dialog.onInit = [&] {
    counts.push_back(SendDlgItemMessageW(dialog.Handle(), IDC_PATTERN_EDIT, CB_GETCOUNT, 0, 0));
    dialog.PostStep();
  };
  dialog.onStep = [&] { dialog.End(IDOK); };
  EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
  EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
  EXPECT_EQ(counts, (std::vector<LRESULT>{6, 6}));
}
