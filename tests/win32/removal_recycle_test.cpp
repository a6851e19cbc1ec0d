#include "engine/win32/win32_removal_operations.h"

#include "tests/win32/removal_test_files.h"

#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using namespace removal_test;

namespace {

// Run by its own test with a recycle bin that cannot exist: the shell then deletes a file for
// good although it was asked to keep it recoverable, and it says so beforehand only through
// the bin's query, which fails.
TEST(RecycleFileWithoutABin, LeavesTheFileWhereTheShellWouldDeleteItForGood) {
  if (std::getenv("VELLOX_NO_RECYCLE_BIN") == nullptr) {
    GTEST_SKIP() << "needs a system without a recycle bin, which the test RecycleFileWithoutABin sets up";
  }
  const std::wstring path = FreshDirectory() + L"\\precious.tmp";
  ASSERT_TRUE(WriteBytes(path, "precious"));
  SHQUERYRBINFO bin = {};
  bin.cbSize = sizeof(bin);
  ASSERT_TRUE(FAILED(SHQueryRecycleBinW(L"C:\\", &bin))) << "the premise: the system reports no recycle bin";

  Win32RemovalOperations removal;
  EXPECT_FALSE(removal.RecycleFile(Narrow(path)));
  EXPECT_EQ(ReadBytes(path), "precious");
}

std::wstring VolumeKeyOf(const std::wstring& path) {
  wchar_t root[MAX_PATH + 1] = {};
  wchar_t volume[64] = {};
  if (!GetVolumePathNameW(path.c_str(), root, MAX_PATH + 1) ||
      !GetVolumeNameForVolumeMountPointW(root, volume, ARRAYSIZE(volume))) {
    return {};
  }
  const std::wstring name = volume;
  const std::wstring::size_type open = name.find(L'{');
  const std::wstring::size_type close = name.find(L'}');
  if (open == std::wstring::npos || close == std::wstring::npos) return {};
  return L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\BitBucket\\Volume\\" +
         name.substr(open, close - open + 1);
}

// The user's settings that make the shell delete instead of recycling are honoured by
// leaving the file alone.
TEST(RecycleFile, LeavesTheFileWhereTheUserTurnedTheBinOff) {
  struct Case {
    HKEY root;
    std::wstring key;
    const wchar_t* value;
  };
  const std::wstring directory = FreshDirectory();
  const std::wstring volumeKey = VolumeKeyOf(directory);
  Case cases[] = {
      {HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer", L"NoRecycleFiles"},
      {HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer", L"NoRecycleFiles"},
      {HKEY_CURRENT_USER, volumeKey, L"NukeOnDelete"},
  };
  Win32RemovalOperations removal;
  int number = 0;
  for (const Case& test : cases) {
    if (test.key.empty()) continue;  // this system names no volume for the directory
    SCOPED_TRACE(Narrow(test.key + L"\\" + test.value));
    const std::wstring path = directory + L"\\kept" + std::to_wstring(++number) + L".tmp";
    ASSERT_TRUE(WriteBytes(path, "kept"));
    const DWORD on = 1;
    ASSERT_EQ(RegSetKeyValueW(test.root, test.key.c_str(), test.value, REG_DWORD, &on, sizeof(on)), ERROR_SUCCESS);

    const bool recycled = removal.RecycleFile(Narrow(path));
    RegDeleteKeyValueW(test.root, test.key.c_str(), test.value);
    EXPECT_FALSE(recycled);
    EXPECT_EQ(ReadBytes(path), "kept");
  }
  EXPECT_FALSE(volumeKey.empty()) << "no volume name: the per-drive setting went untested";
}

}  // namespace
