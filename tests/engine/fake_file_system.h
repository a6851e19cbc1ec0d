#pragma once

#include "engine/file_enumeration.h"

#include <memory>
#include <string>
#include <vector>

// An in-memory drive C: that enumerates as the scan expects of the file system: wildcards
// against the long or the short name, "." and ".." in every directory but the root, "\" and "/"
// alike, "." and ".." in paths as text, relative paths against a current directory, nothing
// beyond 259 characters, and directories that are reparse points, optionally showing another
// directory's entries. Entries come in the order added; every search is logged.
class FakeFileSystem : public FileEnumeration {
 public:
  FakeFileSystem();
  ~FakeFileSystem() override;

  // Paths are absolute ("C:\a\b"); missing parents become plain directories.
  void AddDirectory(const std::string& path);
  void AddFile(const std::string& path, const std::string& shortName = "");
  void AddLink(const std::string& path, const std::string& target = "");
  void SetCurrentDirectory(const std::string& path);

  std::vector<FoundEntry> Enumerate(const std::string& specification) override;

  std::vector<std::string> searches;

 private:
  struct Node;
  // The directory a path names, created when asked; its names below the root go to *names.
  Node* Resolve(const std::string& path, bool create, std::vector<std::string>* names = nullptr);
  Node* Add(const std::string& path, bool isDirectory);

  std::unique_ptr<Node> root_;
  std::vector<std::string> current_;
};

// The file system's name matching as modelled here: "*" any run, "?" one byte, ASCII letters
// without case, "." and "*" left at the end of the mask match the end of the name, "*.*" all.
bool WildcardMatches(const std::string& mask, const std::string& name);
