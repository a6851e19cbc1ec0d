#include "engine/win32/win32_removal_operations.h"

#include "tests/win32/removal_test_files.h"

#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using namespace removal_test;

namespace {

constexpr const wchar_t* kSessionManager = L"System\\CurrentControlSet\\Control\\Session Manager";
constexpr const wchar_t* kPending = L"PendingFileRenameOperations";

// The raw list of (source, target) name pairs that the system works through at its next start.
std::wstring PendingOperations() {
  std::wstring data(1 << 16, L'\0');
  DWORD size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
  if (RegGetValueW(HKEY_LOCAL_MACHINE, kSessionManager, kPending, RRF_RT_REG_MULTI_SZ, nullptr, data.data(), &size) !=
      ERROR_SUCCESS) {
    size = 0;
  }
  data.resize(size / sizeof(wchar_t));
  return data;
}

// A deletion is a pair whose target is empty.
bool IsPendingDeletion(const std::wstring& path) {
  std::wstring entry = std::wstring(1, L'\0') + L"\\??\\" + path;
  entry.append(2, L'\0');
  return (L'\0' + PendingOperations()).find(entry) != std::wstring::npos;
}

enum Outcome {
  Gone,        // true; the name is free and nothing went to the recycle bin
  Kept,        // false; contents and attributes as before
  Recycled,    // true; the file is in the recycle bin with its contents
  Registered,  // true; the file is still there, due for deletion at the next start
  Refused,     // false; there was no file to begin with
  Unchecked,   // up to the system
};

struct Operation {
  const char* name;
  bool (RemovalOperations::*apply)(const std::string&);
};
const Operation kOperations[] = {{"PlainDelete", &RemovalOperations::PlainDelete},
                                 {"ForcedDelete", &RemovalOperations::ForcedDelete},
                                 {"ShredFile", &RemovalOperations::ShredFile},
                                 {"RecycleFile", &RemovalOperations::RecycleFile},
                                 {"DeleteAtRestart", &RemovalOperations::DeleteAtRestart}};

// Names outside the ANSI code page, in a directory named so too, must reach the system intact.
TEST(RemovalOperations, EachOperationOnEachKindOfFile) {
  constexpr DWORD kMarks = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  struct Case {
    const char* kind;
    DWORD attributes;  // 0: no file
    bool locked;       // held open elsewhere without sharing
    Outcome outcomes[5];  // in the order of kOperations
  };
  const Case cases[] = {
      {"plain", FILE_ATTRIBUTE_NORMAL, false, {Gone, Gone, Gone, Recycled, Registered}},
      {"read-only", FILE_ATTRIBUTE_READONLY, false, {Kept, Gone, Kept, Recycled, Registered}},
      {"hidden", FILE_ATTRIBUTE_HIDDEN, false, {Gone, Gone, Gone, Recycled, Registered}},
      {"system", FILE_ATTRIBUTE_SYSTEM, false, {Gone, Gone, Gone, Recycled, Registered}},
      {"locked", FILE_ATTRIBUTE_NORMAL, true, {Kept, Kept, Kept, Kept, Registered}},
      // ForcedDelete clears the marks to retry; when the file still cannot go, it gets them back.
      {"locked and marked", kMarks, true, {Kept, Kept, Kept, Kept, Registered}},
      {"missing", 0, false, {Refused, Refused, Refused, Refused, Unchecked}},
  };
  ASSERT_TRUE(std::getenv("XDG_DATA_HOME") != nullptr) << "recycling needs the tests' own recycle bin";
  const std::wstring trash = EnvironmentPath("XDG_DATA_HOME") + L"\\Trash";
  const std::wstring directory = FreshDirectory() + L"\\\u65b0\u5efa\u6587\u4ef6\u5939";  // 新建文件夹
  ASSERT_TRUE(CreateDirectoryW(directory.c_str(), nullptr));
  // Puts back the list as it was, and leaves no empty list behind: Wine drops the first
  // character of a name that it appends to one.
  const std::wstring pendingBefore = PendingOperations();
  const auto restorePending = [&] {
    if (pendingBefore.find_first_not_of(L'\0') == std::wstring::npos) {
      RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kSessionManager, kPending);
    } else {
      RegSetKeyValueW(HKEY_LOCAL_MACHINE, kSessionManager, kPending, REG_MULTI_SZ, pendingBefore.data(),
                      static_cast<DWORD>(pendingBefore.size() * sizeof(wchar_t)));
    }
  };
  restorePending();
  Win32RemovalOperations removal;

  for (const Case& test : cases) {
    for (std::size_t op = 0; op < 5; ++op) {
      SCOPED_TRACE(std::string(kOperations[op].name) + " on a " + test.kind + " file");
      // 报告 Ελληνικά
      const std::wstring name = L"\u62a5\u544a \u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac " +
                                Widen(test.kind) + L" " + Widen(kOperations[op].name) + L".tmp";
      const std::wstring path = directory + L"\\" + name;
      const std::string contents = "contents of " + Narrow(name);
      if (test.attributes != 0) {
        ASSERT_TRUE(WriteAt(path, 0, contents) && SetFileAttributesW(path.c_str(), test.attributes));
      }
      const DWORD attributesBefore = GetFileAttributesW(path.c_str());
      HANDLE lock = test.locked ? CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                                : INVALID_HANDLE_VALUE;
      ASSERT_EQ(test.locked, lock != INVALID_HANDLE_VALUE);

      const bool result = (removal.*kOperations[op].apply)(Narrow(path));
      if (test.locked) CloseHandle(lock);

      const Outcome expected = test.outcomes[op];
      if (expected == Unchecked) continue;
      EXPECT_EQ(result, expected == Gone || expected == Recycled || expected == Registered);
      EXPECT_EQ(Exists(path), expected == Kept || expected == Registered);
      EXPECT_EQ(ReadBytes(trash + L"\\files\\" + name), expected == Recycled ? contents : "<unreadable>");
      EXPECT_EQ(Exists(trash + L"\\info\\" + name + L".trashinfo"), expected == Recycled);
      EXPECT_EQ(IsPendingDeletion(path), expected == Registered);
      if (expected == Kept || expected == Registered) {
        EXPECT_EQ(ReadBytes(path), contents);
        EXPECT_EQ(GetFileAttributesW(path.c_str()), attributesBefore);
      }
    }
  }
  restorePending();  // no later start of this Wine prefix is to delete anything
}

// Where the shell would delete a file for good although asked to keep it recoverable, the file
// stays. Run under its own ctest entry with a recycle bin that cannot exist, which the shell's
// query reports.
TEST(RecycleFileWithoutABin, LeavesTheFileWhereTheShellWouldDeleteItForGood) {
  if (std::getenv("VELLOX_NO_RECYCLE_BIN") == nullptr) GTEST_SKIP() << "runs under its own ctest entry";
  const std::wstring path = FreshDirectory() + L"\\precious.tmp";
  ASSERT_TRUE(WriteAt(path, 0, "precious"));
  SHQUERYRBINFO bin = {};
  bin.cbSize = sizeof(bin);
  ASSERT_TRUE(FAILED(SHQueryRecycleBinW(L"C:\\", &bin))) << "the premise: the system reports no recycle bin";
  EXPECT_FALSE(Win32RemovalOperations().RecycleFile(Narrow(path)));
  EXPECT_EQ(ReadBytes(path), "precious");
}

// The same for the user's settings that turn the bin off.
TEST(RecycleFile, LeavesTheFileWhereTheUserTurnedTheBinOff) {
  const std::wstring directory = FreshDirectory();
  wchar_t root[MAX_PATH + 1] = {};
  wchar_t volume[64] = {};
  ASSERT_TRUE(GetVolumePathNameW(directory.c_str(), root, MAX_PATH + 1) &&
              GetVolumeNameForVolumeMountPointW(root, volume, ARRAYSIZE(volume)));
  const std::wstring guid = std::wstring(volume).substr(10, 38);  // the {guid} of "\\?\Volume{guid}\"
  const wchar_t* policy = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
  const struct {
    HKEY root;
    std::wstring key;
    const wchar_t* value;
  } cases[] = {{HKEY_CURRENT_USER, policy, L"NoRecycleFiles"},
               {HKEY_LOCAL_MACHINE, policy, L"NoRecycleFiles"},
               {HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\BitBucket\\Volume\\" + guid,
                L"NukeOnDelete"}};
  Win32RemovalOperations removal;
  int number = 0;
  for (const auto& test : cases) {
    SCOPED_TRACE(Narrow(test.key + L"\\" + test.value));
    const std::wstring path = directory + L"\\kept" + std::to_wstring(++number) + L".tmp";
    ASSERT_TRUE(WriteAt(path, 0, "kept"));
    const DWORD on = 1;
    ASSERT_EQ(RegSetKeyValueW(test.root, test.key.c_str(), test.value, REG_DWORD, &on, sizeof(on)), ERROR_SUCCESS);
    const bool recycled = removal.RecycleFile(Narrow(path));
    RegDeleteKeyValueW(test.root, test.key.c_str(), test.value);
    EXPECT_FALSE(recycled);
    EXPECT_EQ(ReadBytes(path), "kept");
  }
}

}  // namespace
