#include "engine/scan_worker.h"

#include "engine/pattern_walk.h"
#include "engine/workspace_sweep.h"

namespace {

void Append(TargetPatternList& patterns, const TargetPatternList& more) {
  patterns.insert(patterns.end(), more.begin(), more.end());
}

// Asked only after the sweep, so boxes and lists changed while it ran count for this scan.
TargetPatternList AssemblePatterns(ScanWindow& window) {
  TargetPatternList patterns;
  if (window.IsBoxTicked(TargetBox::Custom)) Append(patterns, window.CopyCustomTargetList());
  if (window.IsBoxTicked(TargetBox::Quick)) Append(patterns, window.CopyQuickSearchList());
  if (window.IsBoxTicked(TargetBox::Word)) patterns.push_back("~$*.doc");
  if (window.IsBoxTicked(TargetBox::Thumbs)) patterns.push_back("Thumbs.db");
  return patterns;
}

void RunScan(ScanWindow& window, ScanStrategy strategy) {
  ResultList& results = window.Results();
  ProgressOperations& progress = window.Progress();
  results.SetRedraw(false);
  progress.SetCaption("正在查询...");
  progress.ShowProgressBar(false);
  progress.ShowProgress();
  const std::string root = window.DirectoryText();
  DirectoryReader reader(window.Files(), strategy);
  if (window.IsBoxTicked(TargetBox::Vc6)) SweepBuildWorkspaces(reader, results, progress, root);
  const TargetPatternList assembledPatterns = AssemblePatterns(window);
  WalkPatterns(reader, results, progress, root, assembledPatterns);
  progress.HideProgress();
  results.SetRedraw(true);
}

}  // namespace

void ScanWorker(ScanWindow* window) { ScanWorker(window, ScanStrategy::SharedListing); }

void ScanWorker(ScanWindow* window, ScanStrategy strategy) {
  if (window == nullptr) return;
  // Nothing may leave a thread's body; a scan cut short by a failure still returns the windows
  // to their idle state where it can.
  try {
    RunScan(*window, strategy);
  } catch (...) {
    try {
      window->Progress().HideProgress();
      window->Results().SetRedraw(true);
    } catch (...) {
    }
  }
}
