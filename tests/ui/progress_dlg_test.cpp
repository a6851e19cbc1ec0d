#include "ui/dialogs/progress_dlg.h"
#include "ui/resources/resource.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

namespace {

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
