#pragma once

#include "engine/win32/utf.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

// Small helpers for tests on real files, below the root that the ctest fixture clears.
namespace removal_test {

// A Linux path from the environment, as Wine's drive Z: shows it.
inline std::wstring EnvironmentPath(const char* name) {
  std::string path = std::getenv(name) == nullptr ? "" : std::getenv(name);
  for (char& c : path) c = c == '/' ? '\\' : c;
  return path.empty() ? std::wstring() : L"Z:" + Widen(path);
}

inline bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

inline std::wstring FreshDirectory() {
  const std::wstring directory =
      EnvironmentPath("VELLOX_TEST_ROOT") + L"\\" +
      Widen(::testing::UnitTest::GetInstance()->current_test_info()->name());
  if (!CreateDirectoryW(directory.c_str(), nullptr)) ADD_FAILURE() << "the fixture RemovalFiles.Setup must clear it";
  return directory;
}

// Writes bytes at an offset of a file, which grows (with a hole, where the system can) to reach it.
inline bool WriteAt(const std::wstring& path, LONGLONG offset, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER position;
  position.QuadPart = offset;
  DWORD written = 0;
  const bool wrote = SetFilePointerEx(file, position, nullptr, FILE_BEGIN) &&
                     (bytes.empty() || (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                                                  nullptr) &&
                                        written == bytes.size()));
  CloseHandle(file);
  return wrote;
}

inline std::string ReadBytes(const std::wstring& path, LONGLONG offset = 0, DWORD count = 65536) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
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

// Text that holds no zero byte, so any byte that an overwrite missed shows.
inline std::string Pattern(std::size_t length) {
  std::string text(length, '\0');
  for (std::size_t i = 0; i < length; ++i) text[i] = static_cast<char>('A' + i % 26);
  return text;
}

}  // namespace removal_test
