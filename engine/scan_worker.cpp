#include "engine/scan_worker.h"

#include "engine/path_text.h"
#include "engine/pattern_walk.h"
#include "engine/workspace_sweep.h"

#include <algorithm>

namespace {

void Append(TargetPatternList& patterns, const TargetPatternList& more) {
  patterns.insert(patterns.end(), more.begin(), more.end());
}

TargetPatternList AssemblePatterns(const PatternRequest& request) {
  TargetPatternList patterns;
  if (request.custom) Append(patterns, request.customTargets);
  if (request.quick) Append(patterns, request.quickSearch);
  if (request.word) patterns.push_back("~$*.doc");
  if (request.thumbs) patterns.push_back("Thumbs.db");
  return patterns;
}

// How many directories above the one it is searched in a pattern's ".." steps reach at most.
int StepsAbove(const TargetPattern& pattern) {
  int depth = 0;
  int above = 0;
  for (const std::string& step : PatternDirectorySteps(pattern)) {
    depth += step == ".." ? -1 : 1;
    above = std::max(above, -depth);
  }
  return above;
}

// The root's anchor and those of `steps` directories above it, from `first` on.
void RecordAnchors(ScanJob& job, int first, int steps) {
  std::string text = WithoutTrailingSeparators(job.root) + "\\";
  for (int up = 0; up <= steps; ++up, text += "..\\") {
    DirectoryIdentity identity;
    if (up >= first && job.files.IdentifyDirectory(text, identity)) job.anchors->emplace_back(text, identity);
  }
}

void RunScan(ScanJob& job) {
  ResultList& results = job.results;
  ProgressOperations& progress = job.progress;
  results.SetRedraw(false);
  progress.SetCaption("正在查询...");
  progress.ShowProgressBar(false);
  progress.ShowProgress();
  if (job.anchors != nullptr) {
    job.anchors->clear();
    RecordAnchors(job, 0, 0);
  }
  DirectoryReader reader(job.files, job.strategy);
  if (job.sweep) SweepBuildWorkspaces(reader, results, progress, job.root);
  const TargetPatternList assembledPatterns =
      AssemblePatterns(job.readPatterns ? job.readPatterns() : PatternRequest());
  if (job.anchors != nullptr) {
    int steps = 0;
    for (const TargetPattern& pattern : assembledPatterns) steps = std::max(steps, StepsAbove(pattern));
    RecordAnchors(job, 1, steps);
  }
  WalkPatterns(reader, results, progress, job.root, assembledPatterns);
  progress.HideProgress();
  results.SetRedraw(true);
}

}  // namespace

void ScanWorker(ScanJob* job) {
  if (job == nullptr) return;
  // Nothing may leave a thread's body; a scan cut short by a failure still returns the progress
  // and the list to their idle state where it can.
  try {
    RunScan(*job);
  } catch (...) {
    try {
      job->progress.HideProgress();
      job->results.SetRedraw(true);
    } catch (...) {
    }
  }
}
