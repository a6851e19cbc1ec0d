#pragma once

#include "engine/directory_reader.h"
#include "engine/file_enumeration.h"
#include "engine/progress_operations.h"
#include "engine/result_list.h"
#include "engine/target_pattern.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

// The part of a scan request that is read only once the build-workspace sweep is done: which
// of the four pattern boxes are ticked, and copies of the two pattern lists.
struct PatternRequest {
  bool custom = false;  // the user's own patterns
  bool quick = false;   // the quick-search pattern
  bool word = false;    // "~$*.doc"
  bool thumbs = false;  // "Thumbs.db"
  TargetPatternList customTargets;
  TargetPatternList quickSearch;
};

// The directories that a scan's rows hang from, each with its identity when the scan took it:
// the root, when the scan starts, and each directory above it that a pattern's ".." steps reach,
// once the patterns are read. A removal run trusts a row only below the very directory the scan
// walked. Each is named as the rows name it: the root without trailing separators, then "\", then
// one "..\" per step up ("D:\w\", "D:\w\..\"). One that could not be identified is left out.
using ScanAnchors = std::vector<std::pair<std::string, DirectoryIdentity>>;

// What a scan thread is handed. The root (used as typed) and whether to sweep are taken when
// the scan starts. readPatterns is called once, on the worker thread, after the sweep, so that
// boxes and lists the user changes while the sweep runs count for this scan; it reads them
// where the window may change them.
struct ScanJob {
  std::string root;
  bool sweep;
  std::function<PatternRequest()> readPatterns;
  FileEnumeration& files;
  ResultList& results;
  ProgressOperations& progress;
  ScanStrategy strategy = ScanStrategy::SharedListing;
  ScanAnchors* anchors = nullptr;  // recorded there when given
};

// The body of a scan thread: runs the build-workspace sweep when asked, then the pattern walk
// over the root, and leaves the progress hidden and the result list redrawing. A null job does
// nothing; nothing is thrown out of it.
void ScanWorker(ScanJob* job);
