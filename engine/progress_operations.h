#pragma once

#include <cstdint>
#include <string>

// What the workers need of the progress window. Callable from a worker thread; none waits for
// the screen. CancelFlag lives behind this interface and is read afresh by every
// CancelRequested call, never cached by a caller across units of work.
class ProgressOperations {
 public:
  virtual ~ProgressOperations() = default;
  virtual void SetCaption(const std::string& text) = 0;
  virtual void SetStatusText(const std::string& text) = 0;
  virtual void ShowProgressBar(bool show) = 0;
  // Sets the bar's range, step and position (lower), then clears CancelFlag.
  virtual void StartProgress(std::int32_t lower, std::int32_t upper, std::int32_t step) = 0;
  virtual void StepProgress() = 0;
  // Shows the window; showing clears CancelFlag.
  virtual void ShowProgress() = 0;
  // Hides the window; CancelFlag keeps its value.
  virtual void HideProgress() = 0;
  virtual bool CancelRequested() = 0;
};
