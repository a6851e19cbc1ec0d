#pragma once

#include "engine/progress_operations.h"
#include "engine/removal_operations.h"
#include "engine/result_list.h"

#include <atomic>
#include <cstdint>

// What a deletion thread is handed. The two words are the window's own: the worker sets
// busyFlag to 1 for its whole run; the window writes deleteMode before the run, and the worker
// reads it before every removal.
struct DeleteJob {
  ResultList& results;
  ProgressOperations& progress;
  RemovalOperations& removal;
  std::atomic<std::int32_t>& busyFlag;
  std::atomic<std::int32_t>& deleteMode;
};

// The body of a deletion thread: removes the file of every ticked row with the removal
// operation that DeleteMode selects at that moment, and tells the list what came of it: a row
// leaves the list exactly when its removal succeeds. The rows that stay keep their numbers and
// ticks. A cancel request is
// honoured before the next row, after the removal in hand has finished (a removal may heed it
// too: a shred stops between blocks and leaves its file). A null job does nothing; nothing is
// thrown out of it.
void DeleteWorker(DeleteJob* job);
