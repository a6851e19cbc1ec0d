#pragma once

#include "engine/progress_operations.h"
#include "engine/result_list.h"
#include "engine/scan_worker.h"
#include "engine/target_pattern.h"
#include "ui/framework/dialog.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

// The engine's jobs for the main window's workers, built on the window thread from what the
// window holds; each gives the body of a worker thread. The window, the lists, the result list
// and the progress must outlive the worker.

// The four pattern boxes of the main window and copies of its two lists; window thread.
PatternRequest ReadPatternRequest(const Dialog& window, const TargetPatternList& customTargets,
                                  const TargetPatternList& quickSearch);

// A scan of root; the sweep box is read now, the rest of the request when the worker has
// swept, on the window thread. The directories its rows hang from are recorded in anchors.
std::function<void()> ScanRun(const Dialog& window, const std::string& root,
                              const TargetPatternList& customTargets,
                              const TargetPatternList& quickSearch, ResultList& results,
                              ProgressOperations& progress, ScanAnchors& anchors);

// A deletion of the ticked rows of the list that a scan of scanRoot filled, which recorded
// anchors: a row below a directory that is no longer the one scanned stays. owner gives the
// window that owns the recycle bin's operation, asked on the worker thread (null: the desktop).
std::function<void()> DeleteRun(const std::string& scanRoot, const ScanAnchors& anchors, std::function<HWND()> owner,
                                ResultList& results, ProgressOperations& progress,
                                std::atomic<std::int32_t>& busyFlag,
                                std::atomic<std::int32_t>& deleteMode);
