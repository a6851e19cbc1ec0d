#pragma once

#include "engine/progress_operations.h"
#include "engine/removal_operations.h"
#include "engine/result_list.h"

#include <atomic>
#include <cstdint>

// What the DeleteWorker needs of the main window. BusyFlag and DeleteMode are the window's own
// shared words: the worker writes BusyFlag, the window thread writes DeleteMode before a run.
class DeleteWindow {
 public:
  virtual ~DeleteWindow() = default;
  virtual ResultList& Results() = 0;
  virtual ProgressOperations& Progress() = 0;
  virtual RemovalOperations& Removal() = 0;
  virtual std::atomic<std::int32_t>& BusyFlag() = 0;
  virtual std::atomic<std::int32_t>& DeleteModeWord() = 0;
};
