#include "ui/dialogs/cleaner_jobs.h"

#include "engine/delete_worker.h"
#include "engine/win32/win32_file_enumeration.h"
#include "engine/win32/win32_removal_operations.h"
#include "ui/resources/resource.h"

#include <windows.h>

#include <utility>

namespace {

// A drive without a medium, or one that fails, must not stop a worker behind the system's "no
// disk" or critical-error box: the call in hand fails instead, and the worker goes on.
void QuietCriticalErrors() { SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, nullptr); }

}  // namespace

PatternRequest ReadPatternRequest(const Dialog& window, const TargetPatternList& customTargets,
                                  const TargetPatternList& quickSearch) {
  PatternRequest request;
  request.custom = window.IsItemChecked(IDC_TARGET_CUSTOM);
  request.quick = window.IsItemChecked(IDC_TARGET_QUICK);
  request.word = window.IsItemChecked(IDC_TARGET_WORD);
  request.thumbs = window.IsItemChecked(IDC_TARGET_THUMBS);
  if (request.custom) request.customTargets = customTargets;
  if (request.quick) request.quickSearch = quickSearch;
  return request;
}

std::function<void()> ScanRun(const Dialog& window, const std::string& root,
                              const TargetPatternList& customTargets,
                              const TargetPatternList& quickSearch, ResultList& results,
                              ProgressOperations& progress, ScanAnchors& anchors) {
  const bool sweep = window.IsItemChecked(IDC_TARGET_VC6);
  return [&window, root, sweep, &customTargets, &quickSearch, &results, &progress, &anchors] {
    QuietCriticalErrors();
    // The pattern dialogs replace the lists on the window thread, so they are read there.
    const auto readPatterns = [&] {
      PatternRequest request;
      window.RunOnWindowThread(
          [&] { request = ReadPatternRequest(window, customTargets, quickSearch); });
      return request;
    };
    Win32FileEnumeration files;
    ScanJob job{root, sweep, readPatterns, files, results, progress};
    job.anchors = &anchors;
    ScanWorker(&job);
  };
}

std::function<void()> DeleteRun(const std::string& scanRoot, const ScanAnchors& anchors, std::function<HWND()> owner,
                                ResultList& results, ProgressOperations& progress,
                                std::atomic<std::int32_t>& busyFlag, std::atomic<std::int32_t>& deleteMode) {
  return [scanRoot, anchors, owner = std::move(owner), &results, &progress, &busyFlag, &deleteMode] {
    QuietCriticalErrors();
    Win32RemovalOperations removal(scanRoot, owner, [&progress] { return progress.CancelRequested(); });
    removal.ExpectAnchors(anchors);
    DeleteJob job{results, progress, removal, busyFlag, deleteMode};
    DeleteWorker(&job);
  };
}
