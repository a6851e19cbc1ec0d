#pragma once

#include "engine/scan_worker.h"
#include "tests/engine/engine_fakes.h"

#include <set>
#include <string>

enum class TargetBox { Vc6, Custom, Quick, Word, Thumbs };

// A main window held in memory for the scan benchmark: the request in plain members, the rows
// read back from `paths`; Scan runs the engine's ScanWorker on this thread.
class MemoryScanWindow final : public WorkerLog {
 public:
  explicit MemoryScanWindow(FileEnumeration& files) : files_(files) {}

  std::string directory;
  std::set<TargetBox> ticked;
  TargetPatternList customTargets, quickSearch;

  void Scan(ScanStrategy strategy = ScanStrategy::SharedListing) {
    const auto has = [this](TargetBox box) { return ticked.count(box) != 0; };
    const PatternRequest request{has(TargetBox::Custom), has(TargetBox::Quick), has(TargetBox::Word),
                                 has(TargetBox::Thumbs), customTargets, quickSearch};
    ScanJob job{directory, has(TargetBox::Vc6), [&request] { return request; }, files_, *this, *this, strategy};
    ScanWorker(&job);
  }

 private:
  FileEnumeration& files_;
};
