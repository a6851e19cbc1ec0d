#pragma once

#include <windows.h>

#include <string>

// A path from the environment; a Linux one (as ctest sets it under Wine) through drive Z:.
std::string EnvironmentPath(const char* name);
std::string TestTreeBase();  // EnvironmentPath("VELLOX_TEST_ROOT"), else the temp directory
std::wstring Verbatim(const std::string& path);  // the "\\?\" form of a path with a drive
bool PathExists(const std::string& path);
bool MakeDirectories(const std::string& path);  // true when the directory exists afterwards
// Clears attributes that stand in the way; a link to a directory goes as a link, never followed.
void RemoveTree(const std::string& path);
// Writes at an offset, creating the file and growing it (with a hole, where the system can).
bool WriteAt(const std::string& path, LONGLONG offset, const std::string& bytes);
// Up to `count` bytes from the offset on, or "<unreadable>".
std::string ReadBytes(const std::string& path, LONGLONG offset = 0, DWORD count = 65536);

// A directory of its own below TestTreeBase() for one test, removed with everything in it when
// the object goes. Paths here are UTF-8 and use "\"; files and directories are reached through
// "\\?\", so names may end in a dot or a blank and paths may pass MAX_PATH.
class TempTree {
 public:
  explicit TempTree(const std::string& name);
  ~TempTree() { RemoveTree(root_); }
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  const std::string& Root() const { return root_; }  // without a trailing separator
  std::string Path(const std::string& relative) const { return root_ + "\\" + relative; }
  void MakeDirectory(const std::string& relative) const;
  // A new file, its parent directories too.
  void MakeFile(const std::string& relative, DWORD attributes = FILE_ATTRIBUTE_NORMAL,
                const std::string& contents = std::string()) const;

 private:
  std::string root_;
};
