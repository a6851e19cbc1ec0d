#include "ui/dialogs/progress_dlg.h"

#include "tests/ui/window_driver.h"
#include "ui/dialogs/dialog.h"
#include "ui/resources/resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <thread>
#include <utility>

namespace {

constexpr UINT WM_WORKER_DONE = WM_APP + 1;

// Stands in for the main window: it owns the progress window and stays in its modal loop while
// a worker thread drives the progress window through scenario.
class Host : public Dialog {
 public:
  explicit Host(std::function<void(CProgressDlg&)> scenario)
      : Dialog(IDD_CLEANER_DIALOG), scenario_(std::move(scenario)) {}

 protected:
  bool OnInitDialog() override {
    EXPECT_TRUE(progress_.Create(Handle()));
    worker_ = std::thread([this] {
      scenario_(progress_);
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
  CProgressDlg progress_;
  std::function<void(CProgressDlg&)> scenario_;
  std::thread worker_;
};

void RunWorker(std::function<void(CProgressDlg&)> scenario) {
  Host host(std::move(scenario));
  host.DoModal(nullptr);
}

}  // namespace

// Every way the window goes hides it; only the user's cancels set the flag, a hide by the
// worker keeps what Exit set, and the next show clears it, so no cancel carries over.
TEST(ProgressWindow, CancelsSetTheFlagHidingKeepsItAndTheNextShowClearsIt) {
  // What the user does is posted from the worker, so that it travels the modal loop like real
  // input. No message: the main window's Exit sets the flag, and the worker hides the window.
  const struct {
    const char* what;
    bool toButton;
    UINT message;
    WPARAM wParam;
    bool cancelled;
  } cases[] = {
      {"Cancel button", true, BM_CLICK, 0, true},
      {"Esc", true, WM_KEYDOWN, VK_ESCAPE, true},
      {"close box", false, WM_SYSCOMMAND, SC_CLOSE, true},
      {"Enter", true, WM_KEYDOWN, VK_RETURN, false},
      {"Exit in the main window", false, 0, 0, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    RunWorker([&](CProgressDlg& progress) {
      progress.ShowProgress();
      EXPECT_FALSE(progress.CancelRequested());
      if (c.message != 0) {
        HWND target = c.toButton ? progress.Item(IDCANCEL) : progress.Handle();
        PostMessageW(target, c.message, c.wParam, 1);
      } else {
        progress.CancelFlag() = 1;
        progress.HideProgress();
      }
      ASSERT_TRUE(WindowDriver::WaitUntil([&] { return !IsWindowVisible(progress.Handle()); }));
      EXPECT_EQ(progress.CancelRequested(), c.cancelled);

      // What a worker sends before its next test of the flag goes to the hidden window.
      progress.SetStatusTextAndStep("D:\\late");
      progress.HideProgress();
      EXPECT_EQ(progress.CancelRequested(), c.cancelled);

      progress.ShowProgress();
      EXPECT_FALSE(progress.CancelRequested());
      progress.HideProgress();
    });
  }
}

// Each operation is complete when it returns to the worker. The bar keeps bounds beyond 16
// bits, so a deletion of more than 65,535 rows moves it in proportion.
TEST(ProgressWindow, OperationsFromAWorkerAreCompleteOnReturn) {
  const std::int32_t ranges[][2] = {{0, 65536}, {5, std::numeric_limits<std::int32_t>::max()}};
  RunWorker([&](CProgressDlg& progress) {
    HWND bar = progress.Item(IDC_PROGRESS_BAR);
    progress.ShowProgressBar(false);
    EXPECT_FALSE(IsWindowVisible(bar));
    progress.ShowProgressBar(true);
    progress.ShowProgress();
    EXPECT_TRUE(IsWindowVisible(bar));
    for (const auto& range : ranges) {
      SCOPED_TRACE(range[1]);
      progress.CancelFlag() = 1;
      progress.StartProgress(range[0], range[1], 1);
      EXPECT_FALSE(progress.CancelRequested());
      PBRANGE bounds{};
      SendMessageW(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&bounds));
      EXPECT_EQ(bounds.iLow, range[0]);
      EXPECT_EQ(bounds.iHigh, range[1]);
      EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), range[0]);
      progress.StepProgress();
      progress.SetStatusTextAndStep("C:\\临时\\b.tmp");
      EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), range[0] + 2);
      EXPECT_EQ(WindowDriver::ItemText(progress.Handle(), IDC_PROGRESS_TEXT), "C:\\临时\\b.tmp");
    }
    progress.HideProgress();
  });
}
