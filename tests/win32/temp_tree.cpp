#include "tests/win32/temp_tree.h"

#include "engine/path_text.h"
#include "engine/win32/utf.h"

#include <cstdlib>
#include <stdexcept>

namespace {

bool Write(const std::string& path, DWORD disposition, DWORD attributes, LONGLONG offset, const std::string& bytes) {
  const HANDLE file = CreateFileW(Verbatim(path).c_str(), GENERIC_WRITE, 0, nullptr, disposition, attributes, nullptr);
  LARGE_INTEGER position;
  position.QuadPart = offset;
  DWORD written = 0;
  const bool wrote = file != INVALID_HANDLE_VALUE && SetFilePointerEx(file, position, nullptr, FILE_BEGIN) &&
                     WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                     written == bytes.size();
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return wrote;
}

}  // namespace

std::string EnvironmentPath(const char* name) {
  const wchar_t* value = _wgetenv(Widen(name).c_str());
  std::string path = value == nullptr ? "" : Narrow(value);
  for (char& c : path) c = c == '/' ? '\\' : c;
  return !path.empty() && path.front() == '\\' ? "Z:" + path : path;
}

std::string TestTreeBase() {
  std::string base = EnvironmentPath("VELLOX_TEST_ROOT");
  if (base.empty()) {
    wchar_t temp[MAX_PATH + 1];
    base = Narrow(temp, GetTempPathW(MAX_PATH + 1, temp));
  }
  return WithoutTrailingSeparators(base);
}

std::wstring Verbatim(const std::string& path) {
  const bool full = path.size() >= 3 && path[1] == ':' && path[2] == '\\';
  return Widen(full ? "\\\\?\\" + path : path);
}

bool PathExists(const std::string& path) { return GetFileAttributesW(Verbatim(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

bool MakeDirectories(const std::string& path) {
  if (CreateDirectoryW(Verbatim(path).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) return true;
  const std::string::size_type separator = path.find_last_of('\\');
  if (separator == std::string::npos || separator == 0) return false;
  return MakeDirectories(path.substr(0, separator)) && CreateDirectoryW(Verbatim(path).c_str(), nullptr);
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
  WIN32_FIND_DATAW data;
  const HANDLE search = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0
                            ? INVALID_HANDLE_VALUE
                            : FindFirstFileW((wide + L"\\*").c_str(), &data);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = data.cFileName;
      if (name != L"." && name != L"..") RemoveTree(path + "\\" + Narrow(name));
    } while (FindNextFileW(search, &data));
    FindClose(search);
  }
  RemoveDirectoryW(wide.c_str());
}

bool WriteAt(const std::string& path, LONGLONG offset, const std::string& bytes) {
  return Write(path, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, offset, bytes);
}

std::string ReadBytes(const std::string& path, LONGLONG offset, DWORD count) {
  const HANDLE file = CreateFileW(Verbatim(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<unreadable>";
  std::string bytes(count, '\0');
  LARGE_INTEGER position;
  position.QuadPart = offset;
  DWORD got = 0;
  if (!SetFilePointerEx(file, position, nullptr, FILE_BEGIN) || !ReadFile(file, bytes.data(), count, &got, nullptr)) {
    got = 0;
  }
  CloseHandle(file);
  bytes.resize(got);
  return bytes;
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
  if (attributes != 0) SetFileAttributesW(Verbatim(Path(relative)).c_str(), attributes);
}

void TempTree::MakeFile(const std::string& relative, DWORD attributes, const std::string& contents) const {
  const std::string path = Path(relative);
  MakeDirectories(path.substr(0, path.find_last_of('\\')));
  if (!Write(path, CREATE_ALWAYS, attributes, 0, contents)) throw std::runtime_error("cannot create " + relative);
}
