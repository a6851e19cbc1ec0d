#pragma once

#include <windows.h>

#include <string>

// A directory of its own below TestTreeBase() for one test, removed with everything in it when
// the object goes. Paths here are UTF-8 and use "\"; files and directories are reached through
// "\\?\", so names may end in a dot or a blank and paths may pass MAX_PATH.
class TempTree {
 public:
  explicit TempTree(const std::string& name);
  ~TempTree();
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  const std::string& Root() const { return root_; }  // without a trailing separator
  std::string Path(const std::string& relative) const;
  // Creates the directory and any missing parents, then gives it the attributes.
  void MakeDirectory(const std::string& relative, DWORD attributes = 0) const;
  // Creates the file and any missing parent directories, with the attributes and contents.
  void MakeFile(const std::string& relative, DWORD attributes = FILE_ATTRIBUTE_NORMAL,
                const std::string& contents = std::string()) const;

 private:
  std::string root_;
};

// A path from the environment; a Linux one (as ctest sets it under Wine) through drive Z:.
std::string EnvironmentPath(const char* name);
// Where test trees go: EnvironmentPath("VELLOX_TEST_ROOT"), else the temp directory.
std::string TestTreeBase();
// The "\\?\" form of a path that begins with a drive; any other path as it is.
std::wstring Verbatim(const std::string& path);
bool PathExists(const std::string& path);
// Creates a directory and its missing parents; true when it exists afterwards.
bool MakeDirectories(const std::string& path);
// Removes a directory with everything below it, clearing attributes that stand in the way. A
// link to a directory is removed as a link, never followed.
void RemoveTree(const std::string& path);
// Writes bytes at an offset of a file, which grows (with a hole, where the system can) to reach it.
bool WriteAt(const std::string& path, LONGLONG offset, const std::string& bytes);
// Up to `count` bytes from the offset on, or "<unreadable>".
std::string ReadBytes(const std::string& path, LONGLONG offset = 0, DWORD count = 65536);
