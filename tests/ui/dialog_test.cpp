#include "ui/dialogs/dialog.h"
#include "ui/resources/resource.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

namespace {

constexpr UINT WM_PROBE_STEP = WM_APP + 1;

// A dialog on a given template whose initialisation and messages a test scripts: onInit runs
// in OnInitDialog, onStep whenever WM_PROBE_STEP arrives, and onMessage sees every message
// first.
class ProbeDialog : public Dialog {
 public:
  explicit ProbeDialog(int templateId = IDD_CLEANER_DIALOG) : Dialog(templateId) {}

  std::function<void()> onInit;
  std::function<void()> onStep;
  std::function<bool(UINT, WPARAM, LPARAM, INT_PTR&)> onMessage;

 protected:
  bool OnInitDialog() override {
    if (onInit) onInit();
    return true;
  }
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override {
    if (message == WM_PROBE_STEP && onStep) {
      onStep();
      return true;
    }
    return onMessage && onMessage(message, wParam, lParam, result);
  }
};

void PumpUntil(const std::atomic<bool>& done) {
  MSG message;
  while (!done) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

// Holds the given modifier keys down in this thread's keyboard state for its lifetime.
class HeldKeys {
 public:
  explicit HeldKeys(std::vector<int> keys) : keys_(std::move(keys)) { Set(0x80); }
  ~HeldKeys() { Set(0); }

 private:
  void Set(BYTE state) {
    BYTE keyboard[256];
    GetKeyboardState(keyboard);
    for (int key : keys_) keyboard[key] = state;
    SetKeyboardState(keyboard);
  }
  std::vector<int> keys_;
};

class HelpHandlerReset : public ::testing::Test {
 protected:
  void TearDown() override { Dialog::SetHelpHandler(nullptr); }
};

}  // namespace

TEST(Dialog, RunsWorkOnTheWindowThreadFromAWorker) {
  ProbeDialog dialog;
  ASSERT_TRUE(dialog.Create(nullptr));
  const DWORD windowThread = GetCurrentThreadId();
  DWORD ranOn = 0;
  bool ran = false;
  std::atomic<bool> done{false};
  std::thread worker([&] {
    ran = dialog.RunOnWindowThread([&] { ranOn = GetCurrentThreadId(); });
    done = true;
  });
  PumpUntil(done);
  worker.join();
  EXPECT_TRUE(ran);
  EXPECT_EQ(ranOn, windowThread);
}

TEST(Dialog, RethrowsTheWorksExceptionOnTheCallingThread) {
  ProbeDialog dialog;
  ASSERT_TRUE(dialog.Create(nullptr));
  std::string caught;
  std::atomic<bool> done{false};
  std::thread worker([&] {
    try {
      dialog.RunOnWindowThread([] { throw std::runtime_error("from the window thread"); });
    } catch (const std::runtime_error& error) {
      caught = error.what();
    }
    done = true;
  });
  PumpUntil(done);
  worker.join();
  EXPECT_EQ(caught, "from the window thread");
}

TEST(Dialog, WorkForADialogWithoutWindowDoesNotRun) {
  ProbeDialog dialog;
  bool ran = false;
  EXPECT_FALSE(dialog.RunOnWindowThread([&] { ran = true; }));
  EXPECT_FALSE(ran);
}

// A handler that claims a message with the result 0 must keep the standard handling away:
// here the standard handling of WM_SETTEXT would change the caption.
TEST(Dialog, HandledMessageWithZeroResultSkipsTheStandardHandling) {
  ProbeDialog dialog;
  dialog.onMessage = [](UINT message, WPARAM, LPARAM, INT_PTR& result) {
    if (message != WM_SETTEXT) return false;
    result = 0;
    return true;
  };
  ASSERT_TRUE(dialog.Create(nullptr));
  const std::string before = dialog.Caption();
  EXPECT_EQ(SendMessageW(dialog.Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"changed")),
            0);
  EXPECT_EQ(dialog.Caption(), before);
}

TEST(Dialog, ModalRunEndsWhenItsWindowIsDestroyedFromOutside) {
  ProbeDialog dialog;
  dialog.onInit = [&] { PostMessageW(dialog.Handle(), WM_PROBE_STEP, 0, 0); };
  dialog.onStep = [&] { DestroyWindow(dialog.Handle()); };
  EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
  EXPECT_EQ(dialog.Handle(), nullptr);
}

TEST(Dialog, ModalDialogOpensCentredInTheWorkArea) {
  RECT area{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  ProbeDialog dialog;
  RECT shown{};
  dialog.onInit = [&] { PostMessageW(dialog.Handle(), WM_PROBE_STEP, 0, 0); };
  dialog.onStep = [&] {
    GetWindowRect(dialog.Handle(), &shown);
    dialog.End(IDOK);
  };
  dialog.DoModal(nullptr);
  EXPECT_NEAR((shown.left + shown.right) / 2, (area.left + area.right) / 2, 1);
  EXPECT_NEAR((shown.top + shown.bottom) / 2, (area.top + area.bottom) / 2, 1);
}

TEST(Dialog, ModalDialogPlacedByItsInitialisationStaysThere) {
  ProbeDialog dialog;
  RECT shown{};
  dialog.onInit = [&] {
    SetWindowPos(dialog.Handle(), nullptr, 3, 4, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    PostMessageW(dialog.Handle(), WM_PROBE_STEP, 0, 0);
  };
  dialog.onStep = [&] {
    GetWindowRect(dialog.Handle(), &shown);
    dialog.End(IDOK);
  };
  dialog.DoModal(nullptr);
  EXPECT_EQ(shown.left, 3);
  EXPECT_EQ(shown.top, 4);
}

// F1 reaches the help handler with the template id of the dialog it was pressed in, from the
// dialog itself or one of its controls, and only without Shift, Ctrl and Alt.
TEST_F(HelpHandlerReset, F1AsksForHelpOnTheDialogItWasPressedIn) {
  struct Case {
    const char* what;
    std::vector<int> heldKeys;
    bool inControl;
    std::vector<int> expectedTemplates;
  };
  const Case cases[] = {
      {"plain F1 on the dialog", {}, false, {IDD_CLEANER_DIALOG}},
      {"plain F1 on a control", {}, true, {IDD_CLEANER_DIALOG}},
      {"Shift+F1", {VK_SHIFT}, false, {}},
      {"Ctrl+F1", {VK_CONTROL}, false, {}},
      {"Alt+F1", {VK_MENU}, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<int> asked;
    Dialog::SetHelpHandler([&](int templateId) { asked.push_back(templateId); });
    ProbeDialog dialog;
    dialog.onInit = [&] {
      HWND target = c.inControl ? dialog.Item(IDCANCEL) : dialog.Handle();
      PostMessageW(target, WM_KEYDOWN, VK_F1, 1);
      PostMessageW(dialog.Handle(), WM_PROBE_STEP, 0, 0);
    };
    dialog.onStep = [&] { dialog.End(IDOK); };
    HeldKeys held(c.heldKeys);
    dialog.DoModal(nullptr);
    EXPECT_EQ(asked, c.expectedTemplates);
  }
}
TEST_F(HelpHandlerReset, F1InAModelessDialogNamesThatDialog) {
  std::vector<int> asked;
  Dialog::SetHelpHandler([&](int templateId) { asked.push_back(templateId); });
  ProbeDialog modeless(IDD_PROGRESS);
  ProbeDialog modal;
  modal.onInit = [&] {
    EXPECT_TRUE(modeless.Create(modal.Handle()));
    PostMessageW(modeless.Handle(), WM_KEYDOWN, VK_F1, 1);
    PostMessageW(modal.Handle(), WM_PROBE_STEP, 0, 0);
  };
  modal.onStep = [&] { modal.End(IDOK); };
  modal.DoModal(nullptr);
  EXPECT_EQ(asked, std::vector<int>{IDD_PROGRESS});
}

TEST(Dialog, ComboEntriesOfTheTemplateAreThereWhenTheDialogInitialises) {
  ProbeDialog dialog(IDD_TARGET_ENTRY);
  std::vector<LRESULT> counts;
  dialog.onInit = [&] {
    counts.push_back(SendDlgItemMessageW(dialog.Handle(), IDC_PATTERN_EDIT, CB_GETCOUNT, 0, 0));
    PostMessageW(dialog.Handle(), WM_PROBE_STEP, 0, 0);
  };
  dialog.onStep = [&] { dialog.End(IDOK); };
  dialog.DoModal(nullptr);
  dialog.DoModal(nullptr);
  EXPECT_EQ(counts, (std::vector<LRESULT>{6, 6}));
}

TEST(Dialog, LoadsTextsOfTheStringTable) {
  EXPECT_EQ(LoadResourceString(IDS_HELP_START_FAILED), "启动帮助失败。");
  EXPECT_EQ(LoadResourceString(60000), "");
}
