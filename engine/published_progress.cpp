#include "engine/published_progress.h"

void PublishedProgress::SetCaption(const std::string& text) {
  const std::lock_guard<std::mutex> lock(mutex_);
  state_.caption = text;
  Changed(Snapshot::kCaption);
}

// Assigned into the text's own storage, which soon holds the longest path: no allocation per
// directory or row.
void PublishedProgress::SetStatusText(const std::string& text) {
  const std::lock_guard<std::mutex> lock(mutex_);
  state_.status.assign(text);
  Changed(Snapshot::kStatus);
}

void PublishedProgress::ShowProgressBar(bool show) {
  const std::lock_guard<std::mutex> lock(mutex_);
  state_.barShown = show;
  Changed(Snapshot::kBar);
}

void PublishedProgress::StartProgress(std::int32_t lower, std::int32_t upper, std::int32_t step) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    state_.lower = lower;
    state_.upper = upper;
    state_.position = lower;
    step_ = step;
    Changed(Snapshot::kRange | Snapshot::kPosition);
  }
  cancelFlag_ = 0;
}

void PublishedProgress::StepProgress() {
  const std::lock_guard<std::mutex> lock(mutex_);
  state_.position += step_;
  Changed(Snapshot::kPosition);
}

// The show starts an operation afresh, so no cancel carries over into it. It clears the flag
// here, when the worker asks, not when the window appears a moment later: an Exit in between
// must not be lost.
void PublishedProgress::ShowProgress() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    state_.visible = true;
    Changed(Snapshot::kVisibility);
  }
  cancelFlag_ = 0;
}

void PublishedProgress::HideProgress() {
  const std::lock_guard<std::mutex> lock(mutex_);
  state_.visible = false;
  Changed(Snapshot::kVisibility);
}

bool PublishedProgress::CancelRequested() { return cancelFlag_.load() != 0 || closing_.load(); }

bool PublishedProgress::TakeChanges(Snapshot& snapshot) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (state_.changed == 0) return false;
  // Only the parts that changed are copied: the texts keep their storage.
  if (state_.changed & Snapshot::kCaption) snapshot.caption = state_.caption;
  if (state_.changed & Snapshot::kStatus) snapshot.status = state_.status;
  snapshot.barShown = state_.barShown;
  snapshot.lower = state_.lower;
  snapshot.upper = state_.upper;
  snapshot.position = state_.position;
  snapshot.visible = state_.visible;
  snapshot.changed = state_.changed;
  state_.changed = 0;
  return true;
}
