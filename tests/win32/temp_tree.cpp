#include "tests/win32/temp_tree.h"

#include "engine/path_text.h"
#include "engine/win32/utf.h"

#include <cstdlib>
#include <stdexcept>

std::string TestTreeBase() {
  const wchar_t* configured = _wgetenv(L"VELLOX_TEST_ROOT");
  std::string base;
  if (configured != nullptr && *configured != L'\0') {
    base = Narrow(configured);
    if (base.front() == '/') base = "Z:" + base;
  } else {
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    base = Narrow(temp, length);
  }
  for (char& c : base) {
    if (c == '/') c = '\\';
  }
  return WithoutTrailingSeparators(base);
}

bool MakeDirectories(const std::string& path) {
  const std::wstring wide = Widen(path);
  if (CreateDirectoryW(wide.c_str(), nullptr)) return true;
  if (GetLastError() == ERROR_ALREADY_EXISTS) return true;
  const std::string::size_type separator = path.find_last_of('\\');
  if (separator == std::string::npos || separator == 0) return false;
  return MakeDirectories(path.substr(0, separator)) && CreateDirectoryW(wide.c_str(), nullptr);
}

// A full path through "\\?\", so that names ending in a dot or a blank are reached as they are.
std::wstring Verbatim(const std::string& path) {
  const bool full = path.size() >= 3 && path[1] == ':' && path[2] == '\\';
  return Widen(full ? "\\\\?\\" + path : path);
}

void RemoveTree(const std::string& path) {
  const std::wstring wide = Verbatim(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    DeleteFileW(wide.c_str());
    return;
  }
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
    WIN32_FIND_DATAW data;
    const HANDLE search = FindFirstFileW((wide + L"\\*").c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") RemoveTree(path + "\\" + Narrow(name));
      } while (FindNextFileW(search, &data));
      FindClose(search);
    }
  }
  RemoveDirectoryW(wide.c_str());
}

TempTree::TempTree(const std::string& name)
    : root_(TestTreeBase() + "\\" + name + "-" + std::to_string(GetCurrentProcessId())) {
  RemoveTree(root_);
  if (!MakeDirectories(root_)) throw std::runtime_error("cannot create test tree " + root_);
}

TempTree::~TempTree() { RemoveTree(root_); }

std::string TempTree::Path(const std::string& relative) const { return JoinPath(root_, relative); }

void TempTree::MakeDirectory(const std::string& relative, DWORD attributes) const {
  if (!MakeDirectories(Path(relative))) throw std::runtime_error("cannot create " + relative);
  if (attributes != 0) SetFileAttributesW(Widen(Path(relative)).c_str(), attributes);
}

void TempTree::MakeFile(const std::string& relative, DWORD attributes) const {
  const std::string path = Path(relative);
  const std::string::size_type separator = path.find_last_of('\\');
  MakeDirectories(path.substr(0, separator));
  const HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  attributes, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create " + relative);
  CloseHandle(file);
}
