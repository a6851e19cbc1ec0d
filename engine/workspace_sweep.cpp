#include "engine/workspace_sweep.h"

#include "engine/path_text.h"
#include "engine/pattern_walk.h"

#include <vector>

std::atomic<std::int32_t> SweepYieldCounter{0};

namespace {

const char* const kBuildDirectories[] = {"Debug", "DebugU", "Release", "ReleaseU"};

bool IsWorkspaceDirectory(DirectoryReader& reader, const std::string& directory) {
  return !ListMatchingFiles(reader, directory, "*.dsw").empty();
}

}  // namespace

void SweepBuildWorkspaces(DirectoryReader& reader, ResultList& results,
                          ProgressOperations& progress, const std::string& root) {
  const TargetPatternList workspaceTargets = {"*.res", "*.aps", "*.plg", "*.ncb", "*.positions"};
  const TargetPatternList buildTargets = {"*.obj", "*.pdb", "*.res", "*.idb", "*.ilk", "*.pch",
                                          "*.sbr", "*.bsc", "*.tlh", "*.tli", "*.exp", "*.pcc"};
  SweepWorkspaceTree(reader, results, progress, root, workspaceTargets, buildTargets);
}

void SweepWorkspaceTree(DirectoryReader& reader, ResultList& results, ProgressOperations& progress,
                        const std::string& directory, const TargetPatternList& workspaceTargets,
                        const TargetPatternList& buildTargets) {
  const std::vector<std::string> subdirectories = ListSubdirectories(reader, directory);
  reader.KeepListing(directory);
  progress.SetStatusText(directory);
  YieldEvery51Directories(SweepYieldCounter);
  for (const std::string& name : subdirectories) {
    const std::string child = JoinPath(directory, name);
    if (progress.CancelRequested()) return;
    SweepWorkspaceTree(reader, results, progress, child, workspaceTargets, buildTargets);
  }
  if (!IsWorkspaceDirectory(reader, directory)) return;
  AddDirectoryMatches(reader, results, directory, workspaceTargets);
  for (const char* buildDirectory : kBuildDirectories) {
    // Most workspaces lack most build directories; searching each for twelve patterns would
    // cost more than the rest of the workspace.
    if (!reader.MayHoldSubdirectory(directory, buildDirectory)) continue;
    AddDirectoryMatches(reader, results, JoinPath(directory, buildDirectory), buildTargets);
  }
}
