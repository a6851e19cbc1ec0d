#include "tests/win32/temp_tree.h"

#include "engine/path_text.h"
#include "engine/win32/utf.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

std::string EnvironmentPath(const char* name) {
  const wchar_t* value = _wgetenv(Widen(name).c_str());
  std::string path = value == nullptr ? "" : Narrow(value);
  for (char& c : path) c = c == '/' ? '\\' : c;
  return !path.empty() && path.front() == '\\' ? "Z:" + path : path;
}

std::string TestTreeBase() {
  wchar_t temp[MAX_PATH + 1];
  const std::string base = EnvironmentPath("VELLOX_TEST_ROOT");
  return WithoutTrailingSeparators(base.empty() ? Narrow(temp, GetTempPathW(MAX_PATH + 1, temp)) : base);
}

std::wstring Verbatim(const std::string& path) {
  const bool full = path.size() >= 3 && path[1] == ':' && path[2] == '\\';
  return Widen(full ? "\\\\?\\" + path : path);
}

bool PathExists(const std::string& path) {
  return GetFileAttributesW(Verbatim(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool MakeDirectories(const std::string& path) {
  if (CreateDirectoryW(Verbatim(path).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) return true;
  const std::string::size_type separator = path.find_last_of('\\');
  return separator != std::string::npos && separator != 0 && MakeDirectories(path.substr(0, separator)) &&
         CreateDirectoryW(Verbatim(path).c_str(), nullptr);
}

void RemoveTree(const std::string& path) {
  const std::wstring wide = Verbatim(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  const bool directory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;  // or nothing at all
  SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
  WIN32_FIND_DATAW data;
  const HANDLE search = directory && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0
                            ? FindFirstFileW((wide + L"\\*").c_str(), &data)
                            : INVALID_HANDLE_VALUE;
  for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &data)) {
    const std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") RemoveTree(path + "\\" + Narrow(name));
  }
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  if (directory) RemoveDirectoryW(wide.c_str());
  else DeleteFileW(wide.c_str());
}

bool WriteAt(const std::string& path, LONGLONG offset, const std::string& bytes) {
  const std::ios::openmode create = PathExists(path) ? std::ios::openmode() : std::ios::trunc;
  std::fstream file(Verbatim(path).c_str(), std::ios::binary | std::ios::in | std::ios::out | create);
  return file.seekp(offset) && file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush();
}

std::string ReadBytes(const std::string& path, LONGLONG offset, DWORD count) {
  std::ifstream file(Verbatim(path).c_str(), std::ios::binary);
  std::string bytes(count, '\0');
  if (!file.seekg(offset) || !file.read(&bytes[0], count).gcount()) return file.is_open() ? "" : "<unreadable>";
  return bytes.substr(0, static_cast<std::size_t>(file.gcount()));
}

TempTree::TempTree(const std::string& name)
    : root_(TestTreeBase() + "\\" + name + "-" + std::to_string(GetCurrentProcessId())) {
  RemoveTree(root_);
  MakeDirectory("");
}

void TempTree::MakeDirectory(const std::string& relative) const {
  if (!MakeDirectories(WithoutTrailingSeparators(Path(relative)))) throw std::runtime_error("cannot create " + relative);
}

void TempTree::MakeFile(const std::string& relative, DWORD attributes, const std::string& contents) const {
  const std::string path = Path(relative);
  MakeDirectories(path.substr(0, path.find_last_of('\\')));
  if (PathExists(path) || !WriteAt(path, 0, contents) || !SetFileAttributesW(Verbatim(path).c_str(), attributes)) {
    throw std::runtime_error("cannot create " + relative);
  }
}
