#pragma once

#include "engine/file_enumeration.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

// An in-memory file system with the enumeration rules the scan relies on: wildcards matched
// against the long or the short name, "." and ".." in every directory but a drive root, "\" and
// "/" both separators and repeated ones collapsed, "C:" meaning the drive's root, relative paths
// against a current directory, nothing beyond 259 UTF-16 units, and directories that are reparse
// points, optionally leading to another directory. Entries come in the order they were added.
// Every search specification asked for is logged.
class FakeFileSystem : public FileEnumeration {
 public:
  FakeFileSystem();
  ~FakeFileSystem() override;

  // Paths are absolute ("C:\a\b"); missing parents are created as plain directories.
  void AddDirectory(const std::string& path);
  void AddFile(const std::string& path, const std::string& shortName = "");
  // A reparse-point directory; with a target it shows that directory's entries.
  void AddLink(const std::string& path, const std::string& target = "");
  void SetCurrentDirectory(const std::string& path);

  std::vector<FoundEntry> Enumerate(const std::string& specification) override;

  const std::vector<std::string>& Searches() const { return searches_; }
  void ClearSearches() { searches_.clear(); }

 private:
  struct Node;
  // Walks a directory path; the path as walked, made absolute, goes to *walked.
  Node* Resolve(const std::string& path, bool createMissing, std::string* walked = nullptr);
  Node* Add(const std::string& path, bool isDirectory);

  std::map<char, std::unique_ptr<Node>> drives_;
  Node* current_;
  std::vector<std::string> currentPath_;
  std::vector<std::string> searches_;
};

// UTF-16 units of a UTF-8 text.
std::size_t Utf16Length(const std::string& text);
