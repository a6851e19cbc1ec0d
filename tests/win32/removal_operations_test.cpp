#include "engine/win32/win32_removal_operations.h"

#include "engine/win32/utf.h"
#include "tests/win32/temp_tree.h"

#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

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
bool IsPendingDeletion(const std::string& path) {
  const std::wstring entry = std::wstring(1, L'\0') + L"\\??\\" + Widen(path) + std::wstring(2, L'\0');
  return (L'\0' + PendingOperations()).find(entry) != std::wstring::npos;
}

enum Outcome {
  Gone,        // true; the name is free and nothing went to the recycle bin
  Kept,        // false; contents and attributes as before
  Recycled,    // true; the file is in the recycle bin with its contents
  Registered,  // true; the file is still there, due for deletion at the next start
  Refused,     // false; what stands at the row's path (if anything) is no file of the tree and stays
  Unchecked,   // up to the system; only the decoy is checked
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

// Each case and operation has a directory of its own, or shares the fixture's links; "{}" in a
// path there stands for a file name of the operation's own (the recycle bin keeps names). The
// scan's root is `root` there; the row names `row`, or the file when empty.
struct Case {
  const char* kind;
  bool inLinks;
  std::string root, file;
  DWORD attributes;        // of the file
  bool locked;             // held open elsewhere without sharing
  std::string row, decoy;  // the decoy must keep its contents
  const Outcome* outcomes;  // five, in the order of kOperations
};

std::string Named(std::string path, const std::string& name) {
  const std::string::size_type at = path.find("{}");
  return at == std::string::npos ? path : path.replace(at, 2, name);
}

// Names outside the ANSI code page, in a directory named so too, must reach the system intact.
TEST(RemovalOperations, EachOperationActsOnlyOnTheFileItsRowNames) {
  constexpr DWORD kNormal = FILE_ATTRIBUTE_NORMAL;
  constexpr DWORD kMarks = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  const std::string deep = std::string(90, 'd') + "\\" + std::string(90, 'e') + "\\" + std::string(90, 'f');
  const Outcome removed[] = {Gone, Gone, Gone, Recycled, Registered};
  const Outcome exact[] = {Gone, Gone, Gone, Kept, Registered};  // the shell takes only parsed paths
  const Outcome locked[] = {Kept, Kept, Kept, Kept, Registered};
  const Outcome readOnly[] = {Kept, Gone, Kept, Recycled, Registered};
  const Outcome kept[] = {Kept, Kept, Kept, Kept, Kept};
  const Outcome refused[] = {Refused, Refused, Refused, Refused, Refused};
  // Where the system can open a link itself (Windows), a delete may remove the link.
  const Outcome link[] = {Unchecked, Unchecked, Refused, Refused, Refused};
  const Case cases[] = {
      {"plain", false, "", "{}", kNormal, false, "", "", removed},
      {"read-only", false, "", "{}", FILE_ATTRIBUTE_READONLY, false, "", "", readOnly},
      {"hidden", false, "", "{}", FILE_ATTRIBUTE_HIDDEN, false, "", "", removed},
      {"system", false, "", "{}", FILE_ATTRIBUTE_SYSTEM, false, "", "", removed},
      {"locked", false, "", "{}", kNormal, true, "", "", locked},
      // ForcedDelete clears the marks to retry; when the file still cannot go, it gets them back.
      {"locked and marked", false, "", "{}", kMarks, true, "", "", locked},
      {"missing", false, "", "", 0, false, "{}", "", refused},
      // Win32 parsing would reach the decoy.
      {"in a directory named with a trailing dot", false, "", "dir.\\{}", kNormal, false, "", "dir\\{}", exact},
      {"named with a trailing blank", false, "", "{}.tmp ", kNormal, false, "", "{}.tmp", exact},
      {"deeper than MAX_PATH", false, "", deep + "\\{}", kNormal, false, "", "", exact},
      {"replaced by a directory with a file in it", false, "", "", 0, false, "{}", "{}\\child", refused},
      {"replaced by an empty directory", false, "", "{}", FILE_ATTRIBUTE_DIRECTORY, false, "", "", refused},
      {"beside the root, under a name that extends it", false, "tree", "tree2\\{}", kNormal, false, "", "tree\\{}",
       kept},
      {"reached through .. by a pattern", false, "tree", "far\\{}", kNormal, false, "tree\\..\\far\\{}", "", removed},
      {"below a directory replaced by a link", true, "tree", "", 0, false, "tree\\swapped\\x.tmp", "outside\\x.tmp",
       refused},
      {"a link to a file outside the tree", true, "tree", "", 0, false, "tree\\link.tmp", "outside\\target.tmp", link},
  };
  ASSERT_TRUE(std::getenv("XDG_DATA_HOME") != nullptr) << "recycling needs the tests' own recycle bin";
  const std::string trash = EnvironmentPath("XDG_DATA_HOME") + "\\Trash\\files\\";
  const std::string links = EnvironmentPath("VELLOX_TEST_ROOT") + "\\links";
  ASSERT_EQ(ReadBytes(links + "\\tree\\link.tmp"), "target") << "RemovalFiles.Setup makes the links";
  const TempTree tree("\u65b0\u5efa\u6587\u4ef6\u5939");  // 新建文件夹
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

  for (std::size_t c = 0; c < sizeof(cases) / sizeof(cases[0]); ++c) {
    const Case& test = cases[c];
    for (std::size_t op = 0; op < 5; ++op) {
      SCOPED_TRACE(std::string(kOperations[op].name) + " on a file " + test.kind);
      const std::string unique = std::to_string(c) + "-" + std::to_string(op);
      const std::string name = "\u62a5\u544a \u0395\u03bb\u03bb\u03b7\u03bd " + unique + ".tmp";  // 报告 Ελλην
      const std::string base = test.inLinks ? links : tree.Path(unique);
      const auto at = [&](const std::string& relative) { return base + "\\" + Named(relative, name); };
      const std::string contents = "contents of " + name;
      if (test.attributes == FILE_ATTRIBUTE_DIRECTORY) {
        tree.MakeDirectory(unique + "\\" + Named(test.file, name));
      } else if (!test.file.empty()) {
        tree.MakeFile(unique + "\\" + Named(test.file, name), test.attributes, contents);
      }
      if (!test.inLinks && !test.decoy.empty()) tree.MakeFile(unique + "\\" + Named(test.decoy, name));
      const std::string decoyBefore = test.decoy.empty() ? "" : ReadBytes(at(test.decoy));
      const std::string target = at(test.file.empty() ? test.row : test.file);
      const DWORD attributesBefore = GetFileAttributesW(Verbatim(target).c_str());
      HANDLE lock = test.locked ? CreateFileW(Verbatim(target).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                              nullptr)
                                : INVALID_HANDLE_VALUE;
      ASSERT_EQ(test.locked, lock != INVALID_HANDLE_VALUE);

      Win32RemovalOperations removal(test.root.empty() ? base : base + "\\" + test.root);
      const bool result = (removal.*kOperations[op].apply)(at(test.row.empty() ? test.file : test.row));
      if (test.locked) CloseHandle(lock);

      EXPECT_EQ(test.decoy.empty() ? "" : ReadBytes(at(test.decoy)), decoyBefore);
      const Outcome expected = test.outcomes[op];
      if (expected == Unchecked) continue;
      EXPECT_EQ(result, expected == Gone || expected == Recycled || expected == Registered);
      EXPECT_EQ(ReadBytes(trash + target.substr(target.find_last_of('\\') + 1)),
                expected == Recycled ? contents : "<unreadable>");
      EXPECT_EQ(IsPendingDeletion(target), expected == Registered);
      EXPECT_EQ(PathExists(target), expected == Refused ? attributesBefore != INVALID_FILE_ATTRIBUTES
                                                        : expected == Kept || expected == Registered);
      if (expected == Kept || expected == Registered) {
        EXPECT_EQ(ReadBytes(target), contents);
        EXPECT_EQ(GetFileAttributesW(Verbatim(target).c_str()), attributesBefore);
      }
    }
  }
  restorePending();  // no later start of this Wine prefix is to delete anything
}

// One run over rows in nested and sibling directories, each holding a file of the same name:
// every row removes its own file, and the directories it passed stay held while the run lasts.
TEST(RemovalOperations, ARunRemovesEachRowsOwnFileAcrossDirectories) {
  const TempTree tree("run");
  const std::string rows[] = {"a\\b\\f.tmp", "a\\f.tmp", "a\\b\\c\\f.tmp", "c\\f.tmp", "f.tmp", "a\\b\\g.tmp"};
  for (const std::string& row : rows) tree.MakeFile(row, FILE_ATTRIBUTE_NORMAL, row);
  Win32RemovalOperations removal(tree.Root());
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_TRUE(removal.PlainDelete(tree.Path(rows[i]))) << rows[i];
    for (std::size_t later = i + 1; later < 6; ++later) EXPECT_EQ(ReadBytes(tree.Path(rows[later])), rows[later]);
  }
  EXPECT_FALSE(MoveFileW(Verbatim(tree.Path("a\\b")).c_str(), Verbatim(tree.Path("moved")).c_str()));
}

// Where the shell would delete a file for good although asked to keep it recoverable, the file
// stays. Run under its own ctest entry with a recycle bin that cannot exist, which the shell's
// query reports.
TEST(RecycleFileWithoutABin, LeavesTheFileWhereTheShellWouldDeleteItForGood) {
  if (std::getenv("VELLOX_NO_RECYCLE_BIN") == nullptr) GTEST_SKIP() << "runs under its own ctest entry";
  const TempTree tree("no-bin");
  tree.MakeFile("precious.tmp", FILE_ATTRIBUTE_NORMAL, "precious");
  SHQUERYRBINFO bin = {};
  bin.cbSize = sizeof(bin);
  ASSERT_TRUE(FAILED(SHQueryRecycleBinW(L"C:\\", &bin))) << "the premise: the system reports no recycle bin";
  EXPECT_FALSE(Win32RemovalOperations(tree.Root()).RecycleFile(tree.Path("precious.tmp")));
  EXPECT_EQ(ReadBytes(tree.Path("precious.tmp")), "precious");
}

// The same for the user's settings that turn the bin off. A run asks once per drive (the query
// sums up the whole bin), so a run that began before the change still recycles.
TEST(RecycleFile, LeavesTheFileWhereTheUserTurnedTheBinOffBeforeTheRun) {
  const TempTree tree("bin-off");
  wchar_t root[MAX_PATH + 1] = {};
  wchar_t volume[64] = {};
  ASSERT_TRUE(GetVolumePathNameW(Widen(tree.Root()).c_str(), root, MAX_PATH + 1) &&
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
  int number = 0;
  for (const auto& test : cases) {
    SCOPED_TRACE(Narrow(test.key + L"\\" + test.value));
    const std::string prefix = "bin-off " + std::to_string(++number);
    for (const char* name : {" first.tmp", " kept.tmp", " late.tmp"}) tree.MakeFile(prefix + name);
    Win32RemovalOperations earlier(tree.Root());
    ASSERT_TRUE(earlier.RecycleFile(tree.Path(prefix + " first.tmp")));
    const DWORD on = 1;
    ASSERT_EQ(RegSetKeyValueW(test.root, test.key.c_str(), test.value, REG_DWORD, &on, sizeof(on)), ERROR_SUCCESS);
    const bool recycled = Win32RemovalOperations(tree.Root()).RecycleFile(tree.Path(prefix + " kept.tmp"));
    const bool recycledLate = earlier.RecycleFile(tree.Path(prefix + " late.tmp"));
    RegDeleteKeyValueW(test.root, test.key.c_str(), test.value);
    EXPECT_FALSE(recycled);
    EXPECT_TRUE(PathExists(tree.Path(prefix + " kept.tmp")));
    EXPECT_TRUE(recycledLate);
  }
}

}  // namespace
