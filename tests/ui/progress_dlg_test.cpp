#include "ui/dialogs/progress_dlg.h"

#include "tests/ui/window_fixture.h"
#include "ui/resources/resource.h"

#include <commctrl.h>

#include <gtest/gtest.h>

namespace {

// The window shows what the worker published once the window thread takes it. Each way the
// user puts the window away hides it at once, and it stays hidden until the worker shows it
// again; only the cancels ask the worker to stop.
TEST(ProgressWindow, ShowsWhatTheWorkerPublishedAndStaysAwayOnceTheUserPutsItAway) {
  const struct {
    const char* what;
    UINT message;
    WPARAM wParam;
    bool cancelled;
  } cases[] = {{"Cancel or Esc", WM_COMMAND, IDCANCEL, true},
               {"close box", WM_CLOSE, 0, true},
               {"Enter", WM_COMMAND, IDOK, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CProgressDlg window;
    ASSERT_TRUE(window.Create(nullptr));
    HWND shown = window.Handle();
    HWND bar = window.Item(IDC_PROGRESS_BAR);
    PublishedProgress& worker = window.State();
    worker.SetCaption("正在删除...");
    worker.ShowProgressBar(true);
    worker.StartProgress(0, 70000, 1);
    worker.SetStatusText("C:\\临时\\a.tmp");
    worker.StepProgress();
    worker.StepProgress();
    worker.ShowProgress();
    EXPECT_FALSE(IsWindowVisible(shown)) << "shown by the window thread only";
    window.ShowPublishedState();
    EXPECT_TRUE(IsWindowVisible(shown) && IsWindowVisible(bar));
    EXPECT_EQ(WindowDriver::Text(shown), "正在删除...");
    EXPECT_EQ(WindowDriver::ItemText(shown, IDC_PROGRESS_TEXT), "C:\\临时\\a.tmp");
    EXPECT_EQ(SendMessageW(bar, PBM_GETRANGE, FALSE, 0), 70000);
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 2);

    SendMessageW(shown, c.message, c.wParam, 0);
    EXPECT_FALSE(IsWindowVisible(shown));
    EXPECT_EQ(worker.CancelRequested(), c.cancelled);
    worker.SetStatusText("C:\\late");
    window.ShowPublishedState();
    worker.HideProgress();
    window.ShowPublishedState();
    EXPECT_FALSE(IsWindowVisible(shown));
    EXPECT_EQ(worker.CancelRequested(), c.cancelled);

    worker.ShowProgress();
    window.ShowPublishedState();
    EXPECT_TRUE(IsWindowVisible(shown));
    EXPECT_FALSE(worker.CancelRequested());
    EXPECT_EQ(WindowDriver::ItemText(shown, IDC_PROGRESS_TEXT), "C:\\late");
    worker.HideProgress();
    window.ShowPublishedState();
    EXPECT_FALSE(IsWindowVisible(shown));
  }
}

}  // namespace
