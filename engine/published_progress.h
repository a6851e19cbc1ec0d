#pragma once

#include "engine/progress_operations.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

// The progress as a worker publishes it and the window shows it, at the window's own pace: a
// worker's call only records the newest state, so no worker ever waits for the screen. The
// window thread takes what changed (TakeChanges) at display rate and once more when the
// worker has ended.
class PublishedProgress final : public ProgressOperations {
 public:
  // ProgressOperations, for the worker.
  void SetCaption(const std::string& text) override;
  void SetStatusText(const std::string& text) override;
  void ShowProgressBar(bool show) override;
  void StartProgress(std::int32_t lower, std::int32_t upper, std::int32_t step) override;
  void StepProgress() override;
  void ShowProgress() override;
  void HideProgress() override;
  // CancelFlag, or a closing request.
  bool CancelRequested() override;

  // 1 asks the running worker to stop. The user's Cancel sets it, and so does the main
  // window's Exit during a deletion; the worker's show and StartProgress clear it.
  std::atomic<std::int32_t>& CancelFlag() { return cancelFlag_; }
  // The owner of the worker is going away: unlike CancelFlag, nothing a worker does clears it.
  void RequestClose() { closing_ = true; }

  struct Snapshot {
    enum Part : unsigned {
      kCaption = 1,
      kStatus = 2,
      kBar = 4,
      kRange = 8,
      kPosition = 16,
      kVisibility = 32,
    };
    unsigned changed = 0;  // the parts that changed since the previous take
    std::string caption;
    std::string status;
    bool barShown = false;
    std::int32_t lower = 0;
    std::int32_t upper = 100;
    std::int32_t position = 0;
    bool visible = false;
  };
  // Window thread. Copies the newest state into snapshot and says in snapshot.changed what
  // changed since the previous call; false when nothing did. However many calls the worker
  // made in between, the window sees only where they ended. The window is shown or hidden
  // when kVisibility changed, so one that the user put away stays away until the worker
  // shows it again.
  bool TakeChanges(Snapshot& snapshot);

 private:
  void Changed(unsigned part) { state_.changed |= part; }

  std::atomic<std::int32_t> cancelFlag_{0};
  std::atomic<bool> closing_{false};
  std::mutex mutex_;
  Snapshot state_;
  std::int32_t step_ = 1;
};
