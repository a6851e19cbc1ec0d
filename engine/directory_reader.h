#pragma once

#include "engine/candidate_filter.h"
#include "engine/directory_listing.h"
#include "engine/file_enumeration.h"
#include "engine/target_pattern.h"

#include <map>
#include <string>
#include <unordered_map>
#include <vector>

// How a scan asks the file system. Both give the same rows, status texts and cancel points.
enum class ScanStrategy {
  // One full listing per directory, shared by its subdirectory list and all its patterns: a
  // pattern is searched for real only where the listing cannot tell what the search would
  // yield. Listings taken by the sweep are kept for the pattern walk of the same scan.
  SharedListing,
  // One enumeration per directory for its subdirectories and one per pattern and directory;
  // nothing kept. The reference the shared strategy is measured and checked against.
  EnumeratePerPattern,
};

// The scan's one way to the file system, for the duration of one scan. Directories are keyed
// by their text exactly as the walks build it.
class DirectoryReader {
 public:
  DirectoryReader(FileEnumeration& files, ScanStrategy strategy);

  // The enumeration of the directory's "*.*" search, in the file system's order.
  const DirectoryListing& FullListing(const std::string& directory);
  // The files (not directories) that the directory's search for one pattern yields, in the
  // file system's order.
  std::vector<FoundEntry> Search(const std::string& directory, const TargetPattern& pattern);

  // The sweep keeps the listing of each directory it entered, for the pattern walk to reuse.
  void KeepListing(const std::string& directory);
  // The pattern walk is done with a directory's listing.
  void ReleaseListing(const std::string& directory);

  // The walks' pause, now and then.
  void Pause() { files_.Pause(); }

 private:
  // Gives the files that the search for the pattern yields, judged from the listing, or false
  // where the file system must be asked.
  bool JudgeFromListing(const DirectoryListing& listing, const TargetPattern& pattern,
                        std::vector<FoundEntry>& files);
  const CandidateFilter& FilterFor(const TargetPattern& pattern);

  FileEnumeration& files_;
  const ScanStrategy strategy_;
  std::unordered_map<std::string, DirectoryListing> kept_;
  // The last listing taken and not kept: a walk asks for one directory's listing several times
  // in a row (its patterns, then its subdirectories).
  std::string recentDirectory_;
  DirectoryListing recentListing_;
  bool hasRecent_ = false;
  std::map<TargetPattern, CandidateFilter> filters_;
};

// "D:\src" and "D:\src\" both give "D:\src\*.*"; "D:\src\\" gives "D:\src\\*.*".
std::string ListingSearch(const std::string& directory);
// The directory, a "\" unless it ends in one, then the pattern unchanged.
std::string PatternSearch(const std::string& directory, const TargetPattern& pattern);
