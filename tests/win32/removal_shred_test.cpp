#include "engine/win32/win32_removal_operations.h"

#include "tests/win32/removal_test_files.h"

#include <gtest/gtest.h>

#include <string>

using namespace removal_test;

namespace {

std::string ReadRange(const std::wstring& path, LONGLONG offset, DWORD count) {
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

LONGLONG SizeOf(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Writes bytes at an offset of a file, which grows (sparsely where the system can) to reach it.
bool WriteAt(const std::wstring& path, LONGLONG offset, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER position;
  position.QuadPart = offset;
  DWORD written = 0;
  const bool wrote = SetFilePointerEx(file, position, nullptr, FILE_BEGIN) &&
                     WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                     written == bytes.size();
  CloseHandle(file);
  return wrote;
}

bool SetLength(const std::wstring& path, LONGLONG length) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER position;
  position.QuadPart = length;
  const bool set = SetFilePointerEx(file, position, nullptr, FILE_BEGIN) && SetEndOfFile(file);
  CloseHandle(file);
  return set;
}

// A second name of the file keeps its data readable after ShredFile deleted the first one,
// so the test sees exactly what the overwrite left on the disk.
TEST(ShredFile, OverwritesWithZerosToTheNextWholeBlockBeforeDeleting) {
  struct Case {
    std::size_t length;
    std::size_t lengthAtDeletion;
  };
  const Case cases[] = {
      {0, 4096},  // at least one block is written
      {1, 4096},    {4095, 4096}, {4096, 4096}, {4097, 8192},
      {5000, 8192}, {8192, 8192}, {100000, 102400},
  };
  const std::wstring directory = FreshDirectory();
  Win32RemovalOperations removal;
  for (const Case& test : cases) {
    SCOPED_TRACE(test.length);
    const std::wstring path = directory + L"\\" + std::to_wstring(test.length) + L".tmp";
    const std::wstring link = path + L".link";
    ASSERT_TRUE(WriteBytes(path, Pattern(test.length)));
    ASSERT_TRUE(CreateHardLinkW(link.c_str(), path.c_str(), nullptr));

    EXPECT_TRUE(removal.ShredFile(Narrow(path)));
    EXPECT_FALSE(Exists(path));
    EXPECT_EQ(ReadBytes(link), std::string(test.lengthAtDeletion, '\0'));
  }
}

// Lengths and positions past 4 GiB: a 32-bit length would stop the overwrite after the first
// blocks of such a file.
TEST(ShredFile, OverwritesAFileOfMoreThanFourGibibytesToItsEnd) {
  const LONGLONG fourGiB = 1LL << 32;
  const LONGLONG length = fourGiB + 5000;
  const std::wstring path = FreshDirectory() + L"\\large.tmp";
  const std::wstring link = path + L".link";
  ASSERT_TRUE(WriteAt(path, 0, Pattern(4096)));
  ASSERT_TRUE(WriteAt(path, fourGiB - 100, Pattern(200)));
  ASSERT_TRUE(WriteAt(path, length - 10, Pattern(10)));
  ASSERT_EQ(SizeOf(path), length);
  ASSERT_TRUE(CreateHardLinkW(link.c_str(), path.c_str(), nullptr));

  Win32RemovalOperations removal;
  const bool shredded = removal.ShredFile(Narrow(path));
  EXPECT_TRUE(shredded);
  EXPECT_FALSE(Exists(path));
  EXPECT_EQ(SizeOf(link), fourGiB + 8192);
  EXPECT_EQ(ReadRange(link, 0, 4096), std::string(4096, '\0'));
  EXPECT_EQ(ReadRange(link, fourGiB - 100, 200), std::string(200, '\0'));
  EXPECT_EQ(ReadRange(link, fourGiB, 8192), std::string(8192, '\0'));
  DeleteFileW(link.c_str());
  DeleteFileW(path.c_str());
}

// A small file system that the test fixture mounted, filled up by the test itself.
class ShredFileOnAFullDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = EnvironmentPath("VELLOX_TEST_ROOT") + L"\\full-disk";
    if (!Exists(directory_ + L"\\mounted")) {
      GTEST_SKIP() << "no small file system at " << Narrow(directory_)
                   << " (the fixture mounts a tmpfs there, which needs root)";
    }
  }
  void TearDown() override {
    for (const wchar_t* name : {L"\\filler", L"\\victim.tmp", L"\\empty.tmp"}) DeleteFileW((directory_ + name).c_str());
  }

  // Writes blocks to a filler file until the file system refuses one.
  void FillUp() {
    HANDLE filler = CreateFileW((directory_ + L"\\filler").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(filler, INVALID_HANDLE_VALUE);
    const std::string block(4096, 'f');
    DWORD written = 0;
    int blocks = 0;
    while (WriteFile(filler, block.data(), 4096, &written, nullptr) && written == 4096 && blocks < 1024) ++blocks;
    CloseHandle(filler);
    ASSERT_LT(blocks, 1024) << "the file system never filled up";
  }

  std::wstring directory_;
};

// Old data that could not be overwritten must not be hidden by a delete that reports success:
// the file stays, so that it can be shredded once there is room.
TEST_F(ShredFileOnAFullDisk, KeepsAFileWhoseOverwriteFailedBeforeItsOldEnd) {
  const std::wstring victim = directory_ + L"\\victim.tmp";
  // One block of data, then a hole that needs new space to be overwritten.
  ASSERT_TRUE(WriteAt(victim, 0, Pattern(4096)));
  ASSERT_TRUE(SetLength(victim, 32768));
  FillUp();

  Win32RemovalOperations removal;
  EXPECT_FALSE(removal.ShredFile(Narrow(victim)));
  EXPECT_TRUE(Exists(victim));
  EXPECT_EQ(SizeOf(victim), 32768);
}

// The old length was covered before the disk filled: the failed growth past it does not
// matter, and the file goes.
TEST_F(ShredFileOnAFullDisk, DeletesAFileWhoseOldLengthWasCoveredBeforeTheDiskFilled) {
  const std::wstring empty = directory_ + L"\\empty.tmp";
  ASSERT_TRUE(WriteBytes(empty, ""));
  FillUp();

  Win32RemovalOperations removal;
  EXPECT_TRUE(removal.ShredFile(Narrow(empty)));
  EXPECT_FALSE(Exists(empty));
}

}  // namespace
