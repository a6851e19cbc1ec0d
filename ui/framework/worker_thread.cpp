#include "ui/framework/worker_thread.h"

#include <exception>
#include <utility>

WorkerThread::~WorkerThread() {
  if (!thread_.joinable()) return;
  RequestClose();
  thread_.join();
}

bool WorkerThread::Start(HWND window, std::function<void()> body) {
  if (running_) return false;
  try {
    thread_ = std::thread([window, work = std::move(body)] {
      try {
        work();
      } catch (...) {
        // Nothing may leave a thread; the window is told that the worker is done all the same.
      }
      PostMessageW(window, kFinishedMessage, 0, 0);
    });
  } catch (const std::exception&) {
    return false;
  }
  window_ = window;
  running_ = true;
  SetTimer(window_, kRefreshTimer, kRefreshMilliseconds, nullptr);
  return true;
}

void WorkerThread::Finish() {
  if (thread_.joinable()) thread_.join();
  if (running_) KillTimer(window_, kRefreshTimer);
  running_ = false;
}
