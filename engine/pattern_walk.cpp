#include "engine/pattern_walk.h"

#include "engine/path_text.h"

#include <algorithm>
#include <utility>

std::atomic<std::int32_t> PatternYieldCounter{0};

void YieldEvery51Directories(std::atomic<std::int32_t>& counter, DirectoryReader& reader) {
  if (++counter > 50) {
    reader.Pause();
    counter = 0;
  }
}

std::vector<std::string> ListSubdirectories(DirectoryReader& reader, const std::string& directory) {
  std::vector<std::string> names;
  for (const ListedEntry entry : reader.FullListing(directory)) {
    if (!entry.isDirectory || entry.isReparsePoint) continue;
    if (entry.name == "." || entry.name == "..") continue;
    names.emplace_back(entry.name);
  }
  return names;
}

namespace {

// The name under which the directory's listing shows `name` (long or short) as a directory that
// is not a reparse point; empty where it shows none. Where the file system tells case apart and
// several entries differ from `name` in case only, the search reaches the one named exactly, or
// one that no listing can tell: then none is named.
std::string PlainSubdirectoryName(DirectoryReader& reader, const std::string& directory,
                                  const std::string& name) {
  std::string found;
  int matches = 0;
  for (const ListedEntry entry : reader.FullListing(directory)) {
    if (!entry.isDirectory || entry.name == "." || entry.name == "..") continue;
    if (entry.name == name) return entry.isReparsePoint ? std::string() : std::string(entry.name);
    if (EqualIgnoringAsciiCase(entry.name, name) || EqualIgnoringAsciiCase(entry.shortName, name)) {
      found = entry.isReparsePoint ? std::string() : std::string(entry.name);
      ++matches;
    }
  }
  return matches == 1 ? found : std::string();
}

std::string WithoutLeadingSeparators(const std::string& text) {
  return text.substr(std::min(text.find_first_not_of('\\'), text.size()));
}

// The pattern's directory part as the rows name it, "" or ending in "\"; false where it leads
// through anything but a directory the walk itself would enter: a junction or directory link on
// the way holds files outside the tree, which must not become rows to remove. The steps are taken
// as path parsing takes them ("." stays, ".." goes back one), and each is named as the listing
// names it, in its own letter case and by its long name: the removal accepts a directory only by
// the exact name the file system gives it. A part with a drive or one that climbs above the
// directory leaves the tree by its own wording and is searched and named as written.
bool DirectoryPartInTree(DirectoryReader& reader, const std::string& directory,
                         const TargetPattern& pattern, std::string& named) {
  const std::string part = PatternDirectoryPart(pattern);
  named = WithoutLeadingSeparators(part);
  if (part.empty() || (part.size() >= 2 && part[1] == ':')) return true;
  std::vector<std::string> steps;
  for (std::string& step : PatternDirectorySteps(pattern)) {
    if (step != "..") {
      steps.push_back(std::move(step));
    } else if (steps.empty()) {
      return true;
    } else {
      steps.pop_back();
    }
  }
  std::string at = directory;
  named.clear();
  for (const std::string& name : steps) {
    const std::string listed = PlainSubdirectoryName(reader, at, name);
    if (listed.empty()) return false;
    at = JoinPath(at, listed);
    named += listed + "\\";
  }
  return true;
}

}  // namespace

std::vector<FoundEntry> ListMatchingFiles(DirectoryReader& reader, const std::string& directory,
                                          const TargetPattern& pattern) {
  std::string part;
  if (!DirectoryPartInTree(reader, directory, pattern, part)) return {};
  return reader.Search(directory, pattern);
}

std::vector<std::string> PatternDirectorySteps(const TargetPattern& pattern) {
  const std::string part = PatternDirectoryPart(pattern);
  std::vector<std::string> steps;
  if (part.size() >= 2 && part[1] == ':') return steps;
  std::string step;
  for (std::string::size_type i = 0; i <= part.size(); ++i) {
    if (i < part.size() && part[i] != '\\' && part[i] != '/') {
      step += part[i];
      continue;
    }
    if (!step.empty() && step != ".") steps.push_back(step);
    step.clear();
  }
  return steps;
}

std::string PatternDirectoryPart(const TargetPattern& pattern) {
  const std::string::size_type drive = (pattern.size() >= 2 && pattern[1] == ':') ? 2 : 0;
  const std::string::size_type lastSeparator = pattern.find_last_of("\\/");
  if (lastSeparator == std::string::npos || lastSeparator < drive) return pattern.substr(0, drive);
  return pattern.substr(0, lastSeparator + 1);
}

namespace {

void AddPatternMatches(DirectoryReader& reader, ResultList& results, const std::string& directory,
                       const TargetPattern& pattern) {
  std::string part;
  if (!DirectoryPartInTree(reader, directory, pattern, part)) return;
  const std::vector<FoundEntry> files = reader.Search(directory, pattern);
  // The row count takes the list's lock: asked only where rows will follow.
  if (files.empty()) return;
  int number = results.RowCount() + 1;
  const std::string base = JoinPath(directory, part);
  FoundFile found;
  for (const FoundEntry& file : files) {
    found.path.assign(base).append(file.name);
    found.size = file.size;
    if (results.AppendRow(number, found) < 0) return;
    ++number;
  }
}

}  // namespace

void AddDirectoryMatches(DirectoryReader& reader, ResultList& results, const std::string& directory,
                         const TargetPatternList& patterns) {
  for (const TargetPattern& pattern : patterns) {
    AddPatternMatches(reader, results, directory, pattern);
  }
}

void WalkPatterns(DirectoryReader& reader, ResultList& results, ProgressOperations& progress,
                  const std::string& directory, const TargetPatternList& patterns) {
  AddDirectoryMatches(reader, results, directory, patterns);
  const std::vector<std::string> subdirectories = ListSubdirectories(reader, directory);
  reader.ReleaseListing(directory);
  progress.SetStatusText(directory);
  YieldEvery51Directories(PatternYieldCounter, reader);
  for (const std::string& name : subdirectories) {
    const std::string child = JoinPath(directory, name);
    if (progress.CancelRequested()) return;
    WalkPatterns(reader, results, progress, child, patterns);
  }
}
