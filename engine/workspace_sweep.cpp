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

// A build directory is searched only when the walk itself would enter it: one that is a
// junction or directory link holds files outside the tree, which must not become rows to remove.
// Most workspaces also lack most build directories, and this spares their searches.
bool HasPlainSubdirectory(const std::vector<std::string>& subdirectories, const char* name) {
  for (const std::string& subdirectory : subdirectories) {
    if (EqualIgnoringAsciiCase(subdirectory, name)) return true;
  }
  return false;
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
  YieldEvery51Directories(SweepYieldCounter, reader);
  for (const std::string& name : subdirectories) {
    const std::string child = JoinPath(directory, name);
    if (progress.CancelRequested()) return;
    SweepWorkspaceTree(reader, results, progress, child, workspaceTargets, buildTargets);
  }
  if (!IsWorkspaceDirectory(reader, directory)) return;
  AddDirectoryMatches(reader, results, directory, workspaceTargets);
  for (const char* buildDirectory : kBuildDirectories) {
    if (!HasPlainSubdirectory(subdirectories, buildDirectory)) continue;
    AddDirectoryMatches(reader, results, JoinPath(directory, buildDirectory), buildTargets);
  }
}
