#pragma once

#include "engine/path_text.h"
#include "engine/win32/utf.h"

#include <windows.h>

#include <fstream>
#include <stdexcept>
#include <string>

// Paths here are UTF-8 and use "\"; files and directories are reached through "\\?\", so names
// may end in a dot or a blank and paths may pass MAX_PATH.

// A path from the environment; a Linux one (as ctest sets it under Wine) through drive Z:.
inline std::string EnvironmentPath(const char* name) {
  const wchar_t* value = _wgetenv(Widen(name).c_str());
  std::string path = value == nullptr ? "" : Narrow(value);
  for (char& c : path) c = c == '/' ? '\\' : c;
  return !path.empty() && path.front() == '\\' ? "Z:" + path : path;
}

inline std::string TestTreeBase() {
  wchar_t temp[MAX_PATH + 1];
  const std::string base = EnvironmentPath("VELLOX_TEST_ROOT");
  return WithoutTrailingSeparators(base.empty() ? Narrow(temp, GetTempPathW(MAX_PATH + 1, temp)) : base);
}

inline std::wstring Verbatim(const std::string& path) {
  return Widen(path.size() >= 3 && path[1] == ':' && path[2] == '\\' ? "\\\\?\\" + path : path);
}

inline bool PathExists(const std::string& path) {
  return GetFileAttributesW(Verbatim(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The entries of a directory, "." and ".." included; 0 where it cannot be listed.
inline int EntriesOf(const std::string& directory) {
  WIN32_FIND_DATAW data;
  const HANDLE search = FindFirstFileW((Verbatim(directory) + L"\\*").c_str(), &data);
  int entries = 0;
  for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &data)) ++entries;
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  return entries;
}

// True when the directory exists afterwards.
inline bool MakeDirectories(const std::string& path) {
  if (CreateDirectoryW(Verbatim(path).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) return true;
  const std::string::size_type separator = path.find_last_of('\\');
  return separator != std::string::npos && separator != 0 && MakeDirectories(path.substr(0, separator)) &&
         CreateDirectoryW(Verbatim(path).c_str(), nullptr);
}

// Clears attributes that stand in the way; a link to a directory goes as a link, never followed.
inline void RemoveTree(const std::string& path) {
  const std::wstring wide = Verbatim(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  const bool directory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;  // or nothing at all
  SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
  WIN32_FIND_DATAW data;
  const HANDLE search = directory && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0
                            ? FindFirstFileW((wide + L"\\*").c_str(), &data) : INVALID_HANDLE_VALUE;
  for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &data)) {
    const std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") RemoveTree(path + "\\" + Narrow(name));
  }
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  directory ? RemoveDirectoryW(wide.c_str()) : DeleteFileW(wide.c_str());
}

// Writes at an offset, creating the file and growing it (with a hole, where the system can).
inline bool WriteAt(const std::string& path, LONGLONG offset, const std::string& bytes) {
  const std::ios::openmode create = PathExists(path) ? std::ios::openmode() : std::ios::trunc;
  std::fstream file(Verbatim(path).c_str(), std::ios::binary | std::ios::in | std::ios::out | create);
  return file.seekp(offset) && file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush();
}

// Up to `count` bytes from the offset on, or "<unreadable>".
inline std::string ReadBytes(const std::string& path, LONGLONG offset = 0, DWORD count = 65536) {
  std::ifstream file(Verbatim(path).c_str(), std::ios::binary);
  std::string bytes(count, '\0');
  if (!file.seekg(offset) || !file.read(&bytes[0], count).gcount()) return file.is_open() ? "" : "<unreadable>";
  return bytes.substr(0, static_cast<std::size_t>(file.gcount()));
}

// A directory of its own below TestTreeBase() for one test, removed with everything in it when
// the object goes. Make* create missing parents and throw where they cannot create.
class TempTree {
 public:
  explicit TempTree(const std::string& name)
      : root_(TestTreeBase() + "\\" + name + "-" + std::to_string(GetCurrentProcessId())) {
    RemoveTree(root_);
    MakeDirectory("");
  }
  ~TempTree() { RemoveTree(root_); }
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  const std::string& Root() const { return root_; }  // without a trailing separator
  std::string Path(const std::string& relative) const { return root_ + "\\" + relative; }
  void MakeDirectory(const std::string& relative) const {
    if (!MakeDirectories(WithoutTrailingSeparators(Path(relative)))) throw std::runtime_error("no " + relative);
  }
  void MakeFile(const std::string& relative, DWORD attributes = FILE_ATTRIBUTE_NORMAL,
                const std::string& contents = std::string()) const {
    const std::string path = Path(relative);
    MakeDirectories(path.substr(0, path.find_last_of('\\')));
    if (PathExists(path) || !WriteAt(path, 0, contents) || !SetFileAttributesW(Verbatim(path).c_str(), attributes)) {
      throw std::runtime_error("cannot create " + relative);
    }
  }

 private:
  std::string root_;
};
