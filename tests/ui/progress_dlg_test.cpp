#include "ui/dialogs/progress_dlg.h"

#include "engine/win32/utf.h"
#include "ui/dialogs/dialog.h"
#include "ui/resources/resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <thread>

namespace {

constexpr UINT WM_WORKER_DONE = WM_APP + 1;

// Stands in for the main window: it owns the progress window, runs the modal loop that every
// user action goes through, and runs one worker scenario on its own thread meanwhile.
class Host : public Dialog {
 public:
  explicit Host(std::function<void(CProgressDlg&)> scenario)
      : Dialog(IDD_CLEANER_DIALOG), scenario_(std::move(scenario)) {}

  CProgressDlg progress;

 protected:
  bool OnInitDialog() override {
    if (!progress.Create(Handle())) {
      ADD_FAILURE() << "progress window not created";
      End(IDABORT);
      return true;
    }
    worker_ = std::thread([this] {
      scenario_(progress);
      PostMessageW(Handle(), WM_WORKER_DONE, 0, 0);
    });
    return true;
  }
  bool OnMessage(UINT message, WPARAM, LPARAM, INT_PTR&) override {
    if (message != WM_WORKER_DONE) return false;
    worker_.join();
    End(IDOK);
    return true;
  }

 private:
  std::function<void(CProgressDlg&)> scenario_;
  std::thread worker_;
};

void RunWorker(std::function<void(CProgressDlg&)> scenario) {
  Host host(std::move(scenario));
  host.DoModal(nullptr);
}

// What the user does to the window, posted from the worker so that it travels the modal loop
// like real input.
void PressCancelButton(CProgressDlg& progress) {
  PostMessageW(progress.Item(IDCANCEL), BM_CLICK, 0, 0);
}
void PressKey(CProgressDlg& progress, WPARAM key) {
  PostMessageW(progress.Item(IDCANCEL), WM_KEYDOWN, key, 1);
}
void PressEsc(CProgressDlg& progress) { PressKey(progress, VK_ESCAPE); }
void PressCloseBox(CProgressDlg& progress) {
  PostMessageW(progress.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
}

// Waits on the worker until the window thread has hidden the window.
bool WaitUntilHidden(CProgressDlg& progress) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (IsWindowVisible(progress.Handle())) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

std::string WindowText(HWND window) {
  wchar_t text[512] = {};
  const int length = GetWindowTextW(window, text, 512);
  return Narrow(text, static_cast<std::size_t>(length));
}

struct BarState {
  int lower;
  int upper;
  int position;
};

BarState ReadBar(CProgressDlg& progress) {
  HWND bar = progress.Item(IDC_PROGRESS_BAR);
  PBRANGE range{};
  SendMessageW(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  return {range.iLow, range.iHigh, static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0))};
}

}  // namespace

// Each way the user cancels sets CancelFlag and hides the window at once; the next show
// clears the flag again, so the cancel does not carry over into the next operation.
TEST(ProgressWindow, EveryCancelSetsTheFlagAndHidesAndTheNextShowClearsIt) {
  const struct {
    const char* what;
    void (*cancel)(CProgressDlg&);
  } cases[] = {
      {"Cancel button", PressCancelButton},
      {"Esc", PressEsc},
      {"close box", PressCloseBox},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    RunWorker([&](CProgressDlg& progress) {
      progress.ShowProgress();
      EXPECT_TRUE(IsWindowVisible(progress.Handle()));
      EXPECT_FALSE(progress.CancelRequested());

      c.cancel(progress);
      ASSERT_TRUE(WaitUntilHidden(progress));
      EXPECT_TRUE(progress.CancelRequested());

      // Status and steps that a worker sends before its next test go to the hidden window.
      progress.SetStatusTextAndStep("D:\\late");
      progress.HideProgress();
      EXPECT_TRUE(progress.CancelRequested());

      progress.ShowProgress();
      EXPECT_FALSE(progress.CancelRequested());
      progress.HideProgress();
    });
  }
}

// Enter gives IDOK, which hides the window like HideProgress and leaves the flag alone.
TEST(ProgressWindow, EnterHidesWithoutCancelling) {
  RunWorker([](CProgressDlg& progress) {
    progress.ShowProgress();
    PressKey(progress, VK_RETURN);
    ASSERT_TRUE(WaitUntilHidden(progress));
    EXPECT_FALSE(progress.CancelRequested());
  });
}

// Exit in the main window sets the flag while a deletion runs: the window stays until the
// worker hides it, and hiding keeps the flag for the worker to see.
TEST(ProgressWindow, HideProgressLeavesTheFlagAsItIs) {
  RunWorker([](CProgressDlg& progress) {
    progress.ShowProgress();
    progress.CancelFlag() = 1;
    EXPECT_TRUE(IsWindowVisible(progress.Handle()));
    progress.HideProgress();
    EXPECT_FALSE(IsWindowVisible(progress.Handle()));
    EXPECT_TRUE(progress.CancelRequested());

    progress.CancelFlag() = 0;
    progress.ShowProgress();
    progress.HideProgress();
    EXPECT_FALSE(progress.CancelRequested());
  });
}

// The bar keeps bounds beyond 16 bits, so a deletion of more than 65,535 rows moves it in
// proportion; StartProgress also clears a pending cancel.
TEST(ProgressWindow, StartProgressSetsTheWholeRangeAndClearsTheFlag) {
  const struct {
    std::int32_t lower;
    std::int32_t upper;
  } cases[] = {
      {0, 1},
      {0, 65535},
      {0, 65536},
      {0, 200000},  // more rows than 16 bits can count
      {5, std::numeric_limits<std::int32_t>::max()},
  };
  RunWorker([&](CProgressDlg& progress) {
    for (const auto& c : cases) {
      SCOPED_TRACE(c.upper);
      progress.CancelFlag() = 1;
      progress.StartProgress(c.lower, c.upper, 1);
      EXPECT_FALSE(progress.CancelRequested());
      const BarState start = ReadBar(progress);
      EXPECT_EQ(start.lower, c.lower);
      EXPECT_EQ(start.upper, c.upper);
      EXPECT_EQ(start.position, c.lower);
      progress.StepProgress();
      EXPECT_EQ(ReadBar(progress).position, c.lower + 1);
    }
  });
}

// Every operation is complete when it returns to the worker.
TEST(ProgressWindow, OperationsFromAWorkerAreCompleteOnReturn) {
  RunWorker([](CProgressDlg& progress) {
    HWND bar = progress.Item(IDC_PROGRESS_BAR);
    HWND status = progress.Item(IDC_PROGRESS_TEXT);

    progress.SetCaption("正在删除...");
    EXPECT_EQ(WindowText(progress.Handle()), "正在删除...");
    progress.SetStatusText("C:\\临时\\a.tmp");
    EXPECT_EQ(WindowText(status), "C:\\临时\\a.tmp");

    progress.ShowProgressBar(false);
    EXPECT_FALSE(IsWindowVisible(bar));
    progress.ShowProgressBar(true);
    progress.ShowProgress();
    EXPECT_TRUE(IsWindowVisible(bar));

    progress.StartProgress(0, 3, 1);
    progress.SetStatusTextAndStep("C:\\临时\\b.tmp");
    EXPECT_EQ(WindowText(status), "C:\\临时\\b.tmp");
    EXPECT_EQ(ReadBar(progress).position, 1);

    progress.HideProgress();
    EXPECT_FALSE(IsWindowVisible(progress.Handle()));
  });
}
