#pragma once

#include "engine/directory_reader.h"
#include "engine/progress_operations.h"
#include "engine/result_list.h"
#include "engine/target_pattern.h"

#include <atomic>
#include <cstdint>
#include <string>

// Directories entered by the sweep over all scans of the process, for its pause.
extern std::atomic<std::int32_t> SweepYieldCounter;

// Adds the build by-products of every workspace ("*.dsw") below and in the root, post-order.
void SweepBuildWorkspaces(DirectoryReader& reader, ResultList& results,
                          ProgressOperations& progress, const std::string& root);

// The recursive part: first every subdirectory's workspaces, then the directory's own.
void SweepWorkspaceTree(DirectoryReader& reader, ResultList& results, ProgressOperations& progress,
                        const std::string& directory, const TargetPatternList& workspaceTargets,
                        const TargetPatternList& buildTargets);
