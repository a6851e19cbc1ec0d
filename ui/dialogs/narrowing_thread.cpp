#include "ui/dialogs/narrowing_thread.h"

#include <utility>

NarrowingThread::~NarrowingThread() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
    abandon_ = true;
  }
  wake_.notify_one();
  if (thread_.joinable()) thread_.join();
}

void NarrowingThread::Request(ResultModel::Narrowing work) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    waiting_ = std::move(work);
    finished_.reset();
    abandon_ = true;  // the one running, if any
    if (!thread_.joinable()) thread_ = std::thread([this] { Loop(); });
  }
  wake_.notify_one();
}

std::optional<ResultModel::Narrowing> NarrowingThread::TakeFinished() {
  const std::lock_guard<std::mutex> lock(mutex_);
  std::optional<ResultModel::Narrowing> finished = std::move(finished_);
  finished_.reset();
  return finished;
}

void NarrowingThread::Stop() {
  std::unique_lock<std::mutex> lock(mutex_);
  waiting_.reset();
  finished_.reset();
  abandon_ = true;
  idle_.wait(lock, [this] { return !running_; });
}

void NarrowingThread::Loop() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return quit_ || waiting_; });
    if (quit_) return;
    ResultModel::Narrowing work = std::move(*waiting_);
    waiting_.reset();
    abandon_ = false;
    running_ = true;
    lock.unlock();
    const bool done = work.Run(abandon_);
    lock.lock();
    running_ = false;
    idle_.notify_all();
    // A newer request or a stop came meanwhile: this one is of no use any more.
    if (done && !abandon_ && !waiting_) {
      finished_ = std::move(work);
      PostMessageW(window_, kDoneMessage, 0, 0);
    }
  }
}
