#pragma once

#include "engine/result_model.h"

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

// Runs the list's narrowing off the window thread, so that the window never waits for it while
// the user types: each request abandons the one before, and only the newest is ever shown. The
// window gets kDoneMessage when a narrowing has finished and takes it with TakeFinished.
class NarrowingThread {
 public:
  static constexpr UINT kDoneMessage = WM_APP + 2;

  explicit NarrowingThread(HWND window = nullptr) : window_(window) {}
  ~NarrowingThread();
  NarrowingThread(const NarrowingThread&) = delete;
  NarrowingThread& operator=(const NarrowingThread&) = delete;

  void SetWindow(HWND window) { window_ = window; }
  // Window thread. Replaces whatever narrowing is waiting or running by this one.
  void Request(ResultModel::Narrowing work);
  // Window thread, on kDoneMessage: the newest narrowing, once it has run to its end.
  std::optional<ResultModel::Narrowing> TakeFinished();
  // Window thread. Abandons every narrowing and returns once none reads the rows any more:
  // before the rows come or go.
  void Stop();

 private:
  void Loop();

  HWND window_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::optional<ResultModel::Narrowing> waiting_;
  std::optional<ResultModel::Narrowing> finished_;
  std::atomic<bool> abandon_{false};
  bool running_ = false;
  bool quit_ = false;
  std::thread thread_;  // started with the first request
};
