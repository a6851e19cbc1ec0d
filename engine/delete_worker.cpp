#include "engine/delete_worker.h"

#include "engine/delete_mode.h"

#include <cstdint>
#include <string>

namespace {

// An unknown mode removes nothing, so a stray value never picks an operation by accident.
bool RemoveByMode(RemovalOperations& removal, std::int32_t mode, const std::string& path) {
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
      return false;
  }
}

// The progress bar steps once per ticked row reached, whether or not its removal then
// succeeds, so after a run that was not cancelled it stands at the number of ticked rows.
void RemoveTickedRows(DeleteWindow& window) {
  ResultList& results = window.Results();
  ProgressOperations& progress = window.Progress();
  // The list keeps repainting in the recycle mode, where each file takes long enough for the
  // user to watch its row go.
  if (window.DeleteModeWord().load() != ModeRecycle) results.SetRedraw(false);

  int count = results.RowCount();
  progress.SetCaption("正在删除...");
  progress.ShowProgressBar(true);
  progress.StartProgress(0, count, 1);
  progress.ShowProgress();

  // Rows are never renumbered: a removed row's successor moves up to the same index, so the
  // index advances only past rows that stay.
  int row = 0;
  while (row < count) {
    if (progress.CancelRequested()) break;
    if (!results.IsRowTicked(row)) {
      ++row;
      continue;
    }
    const std::string path = results.RowPath(row);
    progress.SetStatusTextAndStep(path);
    if (RemoveByMode(window.Removal(), window.DeleteModeWord().load(), path)) {
      results.RemoveRow(row);
      count = results.RowCount();
    } else {
      ++row;
    }
  }

  progress.HideProgress();
  results.SetRedraw(true);
}

}  // namespace

void DeleteWorker(DeleteWindow* window) {
  if (window == nullptr) return;
  window->BusyFlag().store(1);
  try {
    RemoveTickedRows(*window);
  } catch (...) {
    // A thread body lets nothing escape (that would end the program). The run stops where it
    // failed; the window must not stay frozen behind a progress window that nobody hides.
    try {
      window->Progress().HideProgress();
      window->Results().SetRedraw(true);
    } catch (...) {
    }
  }
  window->BusyFlag().store(0);
}
