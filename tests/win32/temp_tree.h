#pragma once

#include <windows.h>

#include <string>

// A directory of its own below VELLOX_TEST_ROOT (or the system's temp directory) for one test,
// removed with everything in it when the object goes. Paths in and out are UTF-8; relative
// paths use "\".
class TempTree {
 public:
  explicit TempTree(const std::string& name);
  ~TempTree();
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  // The tree's own directory, without a trailing separator.
  const std::string& Root() const { return root_; }
  std::string Path(const std::string& relative) const;

  // Creates the directory and any missing parents, then gives it the attributes.
  void MakeDirectory(const std::string& relative, DWORD attributes = 0) const;
  // Creates an empty file (and its missing parent directories) with the given attributes.
  void MakeFile(const std::string& relative, DWORD attributes = FILE_ATTRIBUTE_NORMAL) const;

 private:
  std::string root_;
};

// The directory under which test trees go, as a Windows path: VELLOX_TEST_ROOT, where a Linux
// path (as ctest sets it under Wine) is read through Wine's drive Z:, else the temp directory.
std::string TestTreeBase();

// Creates a directory and its missing parents; true when it exists afterwards.
bool MakeDirectories(const std::string& path);

// Removes a directory with everything below it, clearing attributes that stand in the way. A
// link to a directory is removed as a link, never followed.
void RemoveTree(const std::string& path);
