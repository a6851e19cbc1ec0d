#include "engine/published_progress.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Snapshot = PublishedProgress::Snapshot;

// The window sees where the worker's calls ended, each part marked once as changed.
TEST(PublishedProgress, TheWindowTakesOnlyTheNewestStateOfWhatChanged) {
  PublishedProgress progress;
  Snapshot shown;
  EXPECT_FALSE(progress.TakeChanges(shown));
  progress.SetCaption("正在删除...");
  progress.StartProgress(10, 500, 2);
  for (int row = 0; row < 1000; ++row) progress.SetStatusText("C:\\" + std::to_string(row));
  for (int step = 0; step < 3; ++step) progress.StepProgress();
  progress.ShowProgress();
  ASSERT_TRUE(progress.TakeChanges(shown));
  EXPECT_EQ(shown.changed, Snapshot::kCaption | Snapshot::kStatus | Snapshot::kRange |
                               Snapshot::kPosition | Snapshot::kVisibility);
  EXPECT_EQ(shown.caption + " " + shown.status, "正在删除... C:\\999");
  EXPECT_EQ(shown.lower * 1000000 + shown.upper * 1000 + shown.position, 10500016);
  EXPECT_TRUE(shown.visible);
  EXPECT_FALSE(progress.TakeChanges(shown));
  progress.ShowProgressBar(true);
  progress.HideProgress();
  ASSERT_TRUE(progress.TakeChanges(shown));
  EXPECT_EQ(shown.changed, Snapshot::kBar | Snapshot::kVisibility);
  EXPECT_TRUE(shown.barShown && !shown.visible);
  EXPECT_EQ(shown.status, "C:\\999");
}

// The worker's show and StartProgress clear CancelFlag, so no cancel carries over, and hiding
// keeps it; a closing request stays whatever the worker does.
TEST(PublishedProgress, ShowAndStartClearACancelButNotAClosingRequest) {
  PublishedProgress progress;
  for (const bool start : {false, true}) {
    progress.CancelFlag() = 1;
    progress.HideProgress();
    EXPECT_TRUE(progress.CancelRequested());
    start ? progress.StartProgress(0, 1, 1) : progress.ShowProgress();
    EXPECT_FALSE(progress.CancelRequested());
  }
  progress.RequestClose();
  progress.StartProgress(0, 1, 1);
  progress.ShowProgress();
  EXPECT_TRUE(progress.CancelRequested());
}

}  // namespace
