#pragma once

#include "engine/win32/utf.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

// Small fixtures for tests on real files. Paths are wide, as the system sees them; the
// operations under test take them as UTF-8 through Narrow.
namespace removal_test {

// A Linux path that the test harness hands over becomes the Windows path of Wine's drive Z:.
inline std::wstring WindowsPath(std::string path) {
  if (!path.empty() && path[0] == '/') {
    for (char& c : path) c = c == '/' ? '\\' : c;
    path = "Z:" + path;
  }
  return Widen(path);
}

inline std::wstring EnvironmentPath(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::wstring() : WindowsPath(value);
}

inline bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

inline void RemoveTree(const std::wstring& directory) {
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW((directory + L"\\*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = directory + L"\\" + name;
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
  }
  RemoveDirectoryW(directory.c_str());
}

// A fresh, empty directory for the running test below the harness's test root.
inline std::wstring FreshDirectory() {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::wstring directory = EnvironmentPath("VELLOX_TEST_ROOT");
  if (directory.empty()) {
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    directory = temp;
    directory += L"vellox-tests";
  }
  CreateDirectoryW(directory.c_str(), nullptr);
  directory += L"\\" + Widen(std::string(test->test_suite_name()) + "." + test->name());
  for (wchar_t& c : directory) c = c == L'/' ? L'_' : c;  // parameterised names
  RemoveTree(directory);
  CreateDirectoryW(directory.c_str(), nullptr);
  return directory;
}

inline bool WriteBytes(const std::wstring& path, const std::string& bytes, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool wrote = bytes.empty() ||
                     (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                      written == bytes.size());
  CloseHandle(file);
  return wrote && SetFileAttributesW(path.c_str(), attributes);
}

inline std::string ReadBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<unreadable>";
  std::string bytes;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

// Text of a given length that holds no zero byte, so any surviving byte shows.
inline std::string Pattern(std::size_t length) {
  std::string text(length, '\0');
  for (std::size_t i = 0; i < length; ++i) text[i] = static_cast<char>('A' + i % 26);
  return text;
}

// The names that the system will delete at its next start: the sources of the pairs of
// PendingFileRenameOperations whose target is empty, in the NT form "\\??\\C:\\dir\\name".
constexpr const wchar_t* kSessionManager = L"System\\CurrentControlSet\\Control\\Session Manager";
constexpr const wchar_t* kPendingOperations = L"PendingFileRenameOperations";

inline std::vector<std::wstring> PendingOperationStrings() {
  DWORD size = 0;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, kSessionManager, kPendingOperations, RRF_RT_REG_MULTI_SZ, nullptr, nullptr,
                   &size) != ERROR_SUCCESS) {
    return {};
  }
  std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
  if (RegGetValueW(HKEY_LOCAL_MACHINE, kSessionManager, kPendingOperations, RRF_RT_REG_MULTI_SZ, nullptr, data.data(),
                   &size) != ERROR_SUCCESS) {
    return {};
  }
  // Empty strings are meaningful here (an empty target means "delete"), so the list is cut
  // by count of characters, not at the first empty string.
  std::vector<std::wstring> strings;
  const std::size_t length = size / sizeof(wchar_t);
  std::size_t start = 0;
  for (std::size_t i = 0; i < length; ++i) {
    if (data[i] == L'\0') {
      strings.emplace_back(data.data() + start, i - start);
      start = i + 1;
    }
  }
  return strings;
}

inline std::vector<std::wstring> PendingDeletions() {
  const std::vector<std::wstring> strings = PendingOperationStrings();
  std::vector<std::wstring> deletions;
  for (std::size_t i = 0; i + 1 < strings.size(); i += 2) {
    if (strings[i + 1].empty()) deletions.push_back(strings[i]);
  }
  return deletions;
}

// Takes every pending operation on a name below the directory back out of the registry, so
// that no later start of this Wine prefix deletes anything.
inline void ForgetPendingOperationsBelow(const std::wstring& directory) {
  const std::vector<std::wstring> strings = PendingOperationStrings();
  std::wstring kept;
  bool changed = false;
  for (std::size_t i = 0; i + 1 < strings.size(); i += 2) {
    if (strings[i].find(directory) != std::wstring::npos) {
      changed = true;
      continue;
    }
    kept += strings[i] + L'\0' + strings[i + 1] + L'\0';
  }
  if (!changed) return;
  HKEY key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
  if (kept.empty()) {
    RegDeleteValueW(key, kPendingOperations);
  } else {
    kept += L'\0';
    RegSetValueExW(key, kPendingOperations, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(kept.data()),
                   static_cast<DWORD>(kept.size() * sizeof(wchar_t)));
  }
  RegCloseKey(key);
}

// Where the tests' own recycle bin keeps a recycled file, and its description.
inline std::wstring TrashDirectory() { return EnvironmentPath("XDG_DATA_HOME") + L"\\Trash"; }

inline void EmptyTrashOf(const std::wstring& name) {
  DeleteFileW((TrashDirectory() + L"\\files\\" + name).c_str());
  DeleteFileW((TrashDirectory() + L"\\info\\" + name + L".trashinfo").c_str());
}

}  // namespace removal_test
