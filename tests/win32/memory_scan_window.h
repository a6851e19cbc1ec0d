#pragma once

#include "engine/scan_worker.h"
#include "tests/engine/engine_fakes.h"

#include <set>
#include <string>

// The option boxes of a scan request.
enum class TargetBox { Vc6, Custom, Quick, Word, Thumbs };

// A main window held in memory, for scans of real trees by the Windows-side tests and the
// benchmark: the request is set in plain members; Scan runs the engine's ScanWorker on this
// thread, and the rows (numbers, paths) and status texts are read back.
class MemoryScanWindow final : public WorkerLog {
 public:
  explicit MemoryScanWindow(FileEnumeration& files) : files_(files) {}

  std::string directory;
  std::set<TargetBox> ticked;
  TargetPatternList customTargets;
  TargetPatternList quickSearch;
  Texts statusTexts;

  void Scan(ScanStrategy strategy = ScanStrategy::SharedListing) {
    const auto has = [this](TargetBox box) { return ticked.count(box) != 0; };
    const PatternRequest request{has(TargetBox::Custom), has(TargetBox::Quick), has(TargetBox::Word),
                                 has(TargetBox::Thumbs), customTargets, quickSearch};
    ScanJob job{directory, has(TargetBox::Vc6), [&request] { return request; }, files_, *this, *this, strategy};
    ScanWorker(&job);
    statusTexts = StatusTexts();
  }

 private:
  FileEnumeration& files_;
};
