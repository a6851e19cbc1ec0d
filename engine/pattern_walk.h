#pragma once

#include "engine/directory_reader.h"
#include "engine/progress_operations.h"
#include "engine/result_list.h"
#include "engine/target_pattern.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

// Directories entered by WalkPatterns over all scans of the process, for its pause.
extern std::atomic<std::int32_t> PatternYieldCounter;

// Counts one directory entered; every 51st gives the rest of the system a millisecond.
void YieldEvery51Directories(std::atomic<std::int32_t>& counter, DirectoryReader& reader);

// The names of the directory's subdirectories, in enumeration order, without "." and "..".
// A subdirectory that is a reparse point (junction, directory link) is left out: following it
// would lead the scan, and the removal after it, outside the chosen tree, or round a cycle.
std::vector<std::string> ListSubdirectories(DirectoryReader& reader, const std::string& directory);

// The entries that match the pattern and are not directories, in enumeration order. A pattern
// whose directory part names anything but a plain subdirectory (a junction, a link, a file,
// nothing the listing shows) is not searched and gives none.
std::vector<FoundEntry> ListMatchingFiles(DirectoryReader& reader, const std::string& directory,
                                          const TargetPattern& pattern);

// The drive and directory part of a pattern, split as the runtime's path splitting does:
// "Temp\*.tmp" gives "Temp\", "\Temp\*.tmp" gives "\Temp\", "C:\x\*.tmp" gives "C:\x\".
std::string PatternDirectoryPart(const TargetPattern& pattern);

// The steps of a pattern's directory part, as path parsing takes them: the names between its
// separators ("\" or "/"), without empty ones and ".", ".." kept. None for a part with a drive.
std::vector<std::string> PatternDirectorySteps(const TargetPattern& pattern);

// Appends one row per file of the directory and matching pattern, pattern by pattern in list
// order, numbered on from the row count; no recursion.
void AddDirectoryMatches(DirectoryReader& reader, ResultList& results, const std::string& directory,
                         const TargetPatternList& patterns);

// Pre-order walk from the directory: its rows, then its status text, then each subdirectory,
// testing for a cancel before entering each one.
void WalkPatterns(DirectoryReader& reader, ResultList& results, ProgressOperations& progress,
                  const std::string& directory, const TargetPatternList& patterns);
