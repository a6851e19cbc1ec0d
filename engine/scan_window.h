#pragma once

#include "engine/file_enumeration.h"
#include "engine/progress_operations.h"
#include "engine/result_list.h"
#include "engine/target_pattern.h"

#include <string>

// The option boxes of a scan request, by their control ids.
enum class TargetBox : int {
  Vc6 = 1004,     // build-workspace sweep
  Custom = 1012,  // the user's own patterns
  Quick = 1013,   // the quick-search pattern
  Word = 1014,    // "~$*.doc"
  Thumbs = 1015,  // "Thumbs.db"
};

// What the ScanWorker needs of the main window. Every call is made from the worker thread and
// answered with the window's state at that moment; the list copies are made on the window
// thread, so an edit of a list cannot race the copy.
class ScanWindow {
 public:
  virtual ~ScanWindow() = default;
  virtual std::string DirectoryText() = 0;
  virtual bool IsBoxTicked(TargetBox box) = 0;
  virtual TargetPatternList CopyCustomTargetList() = 0;
  virtual TargetPatternList CopyQuickSearchList() = 0;
  virtual ResultList& Results() = 0;
  virtual ProgressOperations& Progress() = 0;
  virtual FileEnumeration& Files() = 0;
};
