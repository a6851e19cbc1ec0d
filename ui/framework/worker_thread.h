#pragma once

#include "engine/published_progress.h"

#include <windows.h>

#include <functional>
#include <thread>

// Runs a window's workers, one at a time, each on a thread of its own. While a worker runs,
// the window gets the timer kRefreshTimer at display rate, to show what the worker published;
// when the worker has ended, the window gets kFinishedMessage and calls Finish there. The
// window never ends under a running worker: RequestClose asks it to stop, for good, and
// whoever destroys this object waits for it.
class WorkerThread {
 public:
  static constexpr UINT kFinishedMessage = WM_APP + 1;
  static constexpr UINT_PTR kRefreshTimer = 1;
  // Fast enough to look live, slow enough that painting the progress costs the worker little.
  static constexpr UINT kRefreshMilliseconds = 40;

  // progress is what the workers test for a cancel.
  explicit WorkerThread(PublishedProgress& progress) : progress_(progress) {}
  ~WorkerThread();
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  // Window thread. False when a worker runs already or no thread can be started.
  bool Start(HWND window, std::function<void()> body);
  bool Running() const { return running_; }
  // Window thread, on kFinishedMessage: the thread has ended; the timer stops.
  void Finish();
  // The running worker stops at its next test for a cancel, whatever it does to CancelFlag.
  void RequestClose() { progress_.RequestClose(); }

 private:
  PublishedProgress& progress_;
  std::thread thread_;
  HWND window_ = nullptr;
  bool running_ = false;
};
