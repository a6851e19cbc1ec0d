#include "engine/delete_worker.h"

#include "engine/delete_mode.h"

#include <cstdint>
#include <string>

namespace {

// An unknown mode removes nothing, so a stray value never picks an operation by accident.
RemovalOutcome RemoveByMode(RemovalOperations& removal, std::int32_t mode, const std::string& path) {
  switch (mode) {
    case ModePlain:
      return removal.PlainDelete(path);
    case ModeForced:
    case ModeSuper:
      return removal.ForcedDelete(path);
    case ModeShred:
      return removal.ShredFile(path);
    case ModeRecycle:
      return removal.RecycleFile(path);
    case ModeAtRestart:
      return removal.DeleteAtRestart(path);
    default:
      return RemovalOutcome();
  }
}

// The progress bar steps once per ticked row reached, whether or not its removal then
// succeeds, so after a run that was not cancelled it stands at the number of ticked rows.
void RemoveTickedRows(DeleteJob& job) {
  ResultList& results = job.results;
  ProgressOperations& progress = job.progress;
  // The list keeps repainting in the recycle mode, where each file takes long enough for the
  // user to watch its row go.
  if (job.deleteMode.load() != ModeRecycle) results.SetRedraw(false);

  progress.SetCaption("正在删除...");
  progress.ShowProgressBar(true);
  progress.StartProgress(0, results.RowCount(), 1);
  progress.ShowProgress();

  // Every row present at the start is visited once, in order; rows are never renumbered.
  RowHandle row = results.FirstRow();
  while (row != kNoRow) {
    if (progress.CancelRequested()) break;
    const RowHandle next = results.NextRow(row);
    if (results.IsRowTicked(row)) {
      const std::string path = results.RowPath(row);
      progress.SetStatusText(path);
      progress.StepProgress();
      results.SetOutcome(row, RemoveByMode(job.removal, job.deleteMode.load(), path));
    }
    row = next;
  }

  progress.HideProgress();
  results.SetRedraw(true);
}

}  // namespace

void DeleteWorker(DeleteJob* job) {
  if (job == nullptr) return;
  job->busyFlag.store(1);
  try {
    RemoveTickedRows(*job);
  } catch (...) {
    // A thread body lets nothing escape (that would end the program). The run stops where it
    // failed; the window must not stay frozen behind a progress window that nobody hides.
    try {
      job->progress.HideProgress();
      job->results.SetRedraw(true);
    } catch (...) {
    }
  }
  job->busyFlag.store(0);
}
