#include "engine/scan_worker.h"

#include "engine/pattern_walk.h"
#include "engine/workspace_sweep.h"

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

void RunScan(ScanJob& job) {
  ResultList& results = job.results;
  ProgressOperations& progress = job.progress;
  results.SetRedraw(false);
  progress.SetCaption("正在查询...");
  progress.ShowProgressBar(false);
  progress.ShowProgress();
  DirectoryReader reader(job.files, job.strategy);
  if (job.sweep) SweepBuildWorkspaces(reader, results, progress, job.root);
  const TargetPatternList assembledPatterns =
      AssemblePatterns(job.readPatterns ? job.readPatterns() : PatternRequest());
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
