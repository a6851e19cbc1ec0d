#include "engine/directory_reader.h"

#include <algorithm>
#include <utility>

namespace {

bool EndsInSeparator(const std::string& directory) {
  return !directory.empty() && directory.back() == '\\';
}

FoundEntry ToFoundEntry(const ListedEntry& entry) {
  return FoundEntry{std::string(entry.name), std::string(entry.shortName), entry.isDirectory,
                    entry.isReparsePoint, entry.size};
}

std::vector<FoundEntry> FilesOf(std::vector<FoundEntry> entries) {
  entries.erase(std::remove_if(entries.begin(), entries.end(),
                               [](const FoundEntry& entry) { return entry.isDirectory; }),
                entries.end());
  return entries;
}

}  // namespace

std::string ListingSearch(const std::string& directory) {
  return PatternSearch(directory, "*.*");
}

std::string PatternSearch(const std::string& directory, const TargetPattern& pattern) {
  std::string search = directory;
  if (!EndsInSeparator(directory)) search += '\\';
  search += pattern;
  return search;
}

DirectoryReader::DirectoryReader(FileEnumeration& files, ScanStrategy strategy)
    : files_(files), strategy_(strategy) {}

const DirectoryListing& DirectoryReader::FullListing(const std::string& directory) {
  if (strategy_ == ScanStrategy::SharedListing) {
    const auto kept = kept_.find(directory);
    if (kept != kept_.end()) return kept->second;
    if (hasRecent_ && recentDirectory_ == directory) return recentListing_;
  }
  recentListing_ = DirectoryListing(files_.Enumerate(ListingSearch(directory)));
  recentDirectory_ = directory;
  hasRecent_ = true;
  return recentListing_;
}

std::vector<FoundEntry> DirectoryReader::Search(const std::string& directory,
                                                const TargetPattern& pattern) {
  if (strategy_ == ScanStrategy::SharedListing) {
    // An empty listing proves nothing: the directory may be missing, or its "*.*" search too
    // long where the pattern's is not, or a drive root may simply lack "." and "..".
    const DirectoryListing& listing = FullListing(directory);
    std::vector<FoundEntry> files;
    if (!listing.IsEmpty() && JudgeFromListing(listing, pattern, files)) return files;
  }
  return FilesOf(files_.Enumerate(PatternSearch(directory, pattern)));
}

bool DirectoryReader::JudgeFromListing(const DirectoryListing& listing,
                                       const TargetPattern& pattern,
                                       std::vector<FoundEntry>& files) {
  const bool everything = pattern == "*.*";  // the very search the listing made
  const CandidateFilter& filter = FilterFor(pattern);
  if (!everything && !filter.Active()) return false;
  for (const ListedEntry entry : listing) {
    if (entry.isDirectory) continue;
    switch (everything ? CandidateFilter::Verdict::kYielded
                       : filter.Judge(entry.name, entry.shortName)) {
      case CandidateFilter::Verdict::kNotYielded:
        break;
      case CandidateFilter::Verdict::kYielded:
        files.push_back(ToFoundEntry(entry));
        break;
      case CandidateFilter::Verdict::kUnknown:
        return false;
    }
  }
  return everything || !filter.NamesOneEntry() || files.size() <= 1;
}

const CandidateFilter& DirectoryReader::FilterFor(const TargetPattern& pattern) {
  auto filter = filters_.find(pattern);
  if (filter == filters_.end()) filter = filters_.emplace(pattern, CandidateFilter(pattern)).first;
  return filter->second;
}

void DirectoryReader::KeepListing(const std::string& directory) {
  if (strategy_ != ScanStrategy::SharedListing) return;
  if (kept_.count(directory) != 0) return;
  if (!hasRecent_ || recentDirectory_ != directory) {
    FullListing(directory);
  }
  kept_.emplace(directory, std::move(recentListing_));
  hasRecent_ = false;
}

void DirectoryReader::ReleaseListing(const std::string& directory) {
  kept_.erase(directory);
  if (hasRecent_ && recentDirectory_ == directory) {
    recentListing_ = DirectoryListing();
    hasRecent_ = false;
  }
}
