#include "engine/win32/win32_removal_operations.h"

#include "tests/win32/removal_test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

using namespace removal_test;

namespace {

enum class Kind { Plain, ReadOnly, Hidden, System, Locked, Missing };
enum class Operation { Plain, Forced, Shred, Recycle, AtRestart };
enum class Outcome {
  Gone,        // true; the name is free
  Kept,        // false; contents and attributes as before
  Recycled,    // true; the file is in the recycle bin with its contents
  Registered,  // true; the file is still there, and due for deletion at the next start
  Refused,     // false; there was no file to begin with
};

const char* Name(Kind kind) {
  switch (kind) {
    case Kind::Plain: return "plain";
    case Kind::ReadOnly: return "read-only";
    case Kind::Hidden: return "hidden";
    case Kind::System: return "system";
    case Kind::Locked: return "locked";
    case Kind::Missing: return "missing";
  }
  return "?";
}

const char* Name(Operation operation) {
  switch (operation) {
    case Operation::Plain: return "PlainDelete";
    case Operation::Forced: return "ForcedDelete";
    case Operation::Shred: return "ShredFile";
    case Operation::Recycle: return "RecycleFile";
    case Operation::AtRestart: return "DeleteAtRestart";
  }
  return "?";
}

bool Apply(RemovalOperations& removal, Operation operation, const std::string& path) {
  switch (operation) {
    case Operation::Plain: return removal.PlainDelete(path);
    case Operation::Forced: return removal.ForcedDelete(path);
    case Operation::Shred: return removal.ShredFile(path);
    case Operation::Recycle: return removal.RecycleFile(path);
    case Operation::AtRestart: return removal.DeleteAtRestart(path);
  }
  return false;
}

DWORD AttributesOf(Kind kind) {
  switch (kind) {
    case Kind::ReadOnly: return FILE_ATTRIBUTE_READONLY;
    case Kind::Hidden: return FILE_ATTRIBUTE_HIDDEN;
    case Kind::System: return FILE_ATTRIBUTE_SYSTEM;
    default: return FILE_ATTRIBUTE_NORMAL;
  }
}

bool IsPendingDeletion(const std::wstring& path) {
  const std::vector<std::wstring> pending = PendingDeletions();
  return std::find(pending.begin(), pending.end(), L"\\??\\" + path) != pending.end();
}

// Applies one operation to one kind of file, named in the given script, and checks what it
// left behind.
void Check(const std::wstring& directory, Kind kind, Operation operation, Outcome expected, const std::wstring& stem) {
  SCOPED_TRACE(std::string(Name(operation)) + " on a " + Name(kind) + " file");
  const std::wstring fileName = stem + L"-" + Widen(Name(kind)) + L"-" + Widen(Name(operation)) + L".tmp";
  const std::wstring path = directory + L"\\" + fileName;
  const std::string contents = "contents of " + Narrow(fileName);
  if (kind != Kind::Missing) {
    ASSERT_TRUE(WriteBytes(path, contents, AttributesOf(kind)));
  }
  const DWORD attributesBefore = GetFileAttributesW(path.c_str());
  HANDLE lock = INVALID_HANDLE_VALUE;
  if (kind == Kind::Locked) {
    lock = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  }
  if (operation == Operation::Recycle) {
    ASSERT_TRUE(std::getenv("XDG_DATA_HOME") != nullptr) << "recycling needs the tests' own recycle bin";
    EmptyTrashOf(fileName);
  }

  Win32RemovalOperations removal;
  const bool result = Apply(removal, operation, Narrow(path));
  if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);

  switch (expected) {
    case Outcome::Gone:
      EXPECT_TRUE(result);
      EXPECT_FALSE(Exists(path));
      EXPECT_FALSE(Exists(TrashDirectory() + L"\\files\\" + fileName)) << "deleted, not recycled";
      break;
    case Outcome::Kept:
      EXPECT_FALSE(result);
      EXPECT_EQ(GetFileAttributesW(path.c_str()), attributesBefore);
      EXPECT_EQ(ReadBytes(path), contents);
      break;
    case Outcome::Recycled:
      EXPECT_TRUE(result);
      EXPECT_FALSE(Exists(path));
      EXPECT_EQ(ReadBytes(TrashDirectory() + L"\\files\\" + fileName), contents);
      EXPECT_TRUE(Exists(TrashDirectory() + L"\\info\\" + fileName + L".trashinfo"));
      EmptyTrashOf(fileName);
      break;
    case Outcome::Registered:
      EXPECT_TRUE(result);
      EXPECT_EQ(ReadBytes(path), contents);
      EXPECT_TRUE(IsPendingDeletion(path));
      break;
    case Outcome::Refused:
      EXPECT_FALSE(result);
      EXPECT_FALSE(Exists(path));
      break;
  }
}

struct Case {
  Kind kind;
  Operation operation;
  Outcome expected;
};

// What each operation does to each kind of file. A file held open without sharing cannot be
// deleted, overwritten or moved; only the registration for the next start ignores it.
const Case kCases[] = {
    {Kind::Plain, Operation::Plain, Outcome::Gone},
    {Kind::Plain, Operation::Forced, Outcome::Gone},
    {Kind::Plain, Operation::Shred, Outcome::Gone},
    {Kind::Plain, Operation::Recycle, Outcome::Recycled},
    {Kind::Plain, Operation::AtRestart, Outcome::Registered},
    {Kind::ReadOnly, Operation::Plain, Outcome::Kept},
    {Kind::ReadOnly, Operation::Forced, Outcome::Gone},
    {Kind::ReadOnly, Operation::Shred, Outcome::Kept},  // never clears attributes
    {Kind::ReadOnly, Operation::Recycle, Outcome::Recycled},
    {Kind::ReadOnly, Operation::AtRestart, Outcome::Registered},
    {Kind::Hidden, Operation::Plain, Outcome::Gone},
    {Kind::Hidden, Operation::Forced, Outcome::Gone},
    {Kind::Hidden, Operation::Shred, Outcome::Gone},
    {Kind::Hidden, Operation::Recycle, Outcome::Recycled},
    {Kind::Hidden, Operation::AtRestart, Outcome::Registered},
    {Kind::System, Operation::Plain, Outcome::Gone},
    {Kind::System, Operation::Forced, Outcome::Gone},
    {Kind::System, Operation::Shred, Outcome::Gone},
    {Kind::System, Operation::Recycle, Outcome::Recycled},
    {Kind::System, Operation::AtRestart, Outcome::Registered},
    {Kind::Locked, Operation::Plain, Outcome::Kept},
    {Kind::Locked, Operation::Forced, Outcome::Kept},
    {Kind::Locked, Operation::Shred, Outcome::Kept},
    {Kind::Locked, Operation::Recycle, Outcome::Kept},
    {Kind::Locked, Operation::AtRestart, Outcome::Registered},
    {Kind::Missing, Operation::Plain, Outcome::Refused},
    {Kind::Missing, Operation::Forced, Outcome::Refused},
    {Kind::Missing, Operation::Shred, Outcome::Refused},
    {Kind::Missing, Operation::Recycle, Outcome::Refused},
};

TEST(RemovalOperations, EachOperationOnEachKindOfFile) {
  const std::wstring directory = FreshDirectory();
  for (const Case& test : kCases) Check(directory, test.kind, test.operation, test.expected, L"latin");
  ForgetPendingOperationsBelow(directory);
}

// Names outside the ANSI code page reach the system intact, whatever the operation.
TEST(RemovalOperations, NamesInAnyScript) {
  const std::wstring directory = FreshDirectory() + L"\\\u65b0\u5efa\u6587\u4ef6\u5939";  // 新建文件夹
  ASSERT_TRUE(CreateDirectoryW(directory.c_str(), nullptr));
  const std::wstring stem = L"\u62a5\u544a \u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac";  // 报告 Ελληνικά
  Check(directory, Kind::Plain, Operation::Plain, Outcome::Gone, stem);
  Check(directory, Kind::ReadOnly, Operation::Forced, Outcome::Gone, stem);
  Check(directory, Kind::Plain, Operation::Shred, Outcome::Gone, stem);
  Check(directory, Kind::Plain, Operation::Recycle, Outcome::Recycled, stem);
  Check(directory, Kind::Plain, Operation::AtRestart, Outcome::Registered, stem);
  ForgetPendingOperationsBelow(directory);
}

// When the attributes could be cleared but the file still cannot be deleted, it must not be
// left stripped of its read-only, hidden and system marks.
TEST(RemovalOperations, ForcedDeleteGivesAFileItCannotDeleteItsAttributesBack) {
  const std::wstring path = FreshDirectory() + L"\\in-use.tmp";
  const DWORD marks = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  ASSERT_TRUE(WriteBytes(path, "in use", marks));
  HANDLE lock = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  // The premise: the system lets the attributes change while the file is in use.
  ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(SetFileAttributesW(path.c_str(), marks));

  Win32RemovalOperations removal;
  EXPECT_FALSE(removal.ForcedDelete(Narrow(path)));
  CloseHandle(lock);
  EXPECT_EQ(GetFileAttributesW(path.c_str()) & marks, marks);
  EXPECT_EQ(ReadBytes(path), "in use");
}

}  // namespace
