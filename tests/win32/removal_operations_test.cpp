#include "engine/win32/win32_removal_operations.h"

#include "engine/win32/utf.h"
#include "engine/win32/win32_file_enumeration.h"
#include "tests/win32/memory_scan_window.h"
#include "tests/win32/temp_tree.h"

#include <shellapi.h>
#include <winioctl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstring>
#include <string>
#include <thread>

namespace {

// What scripts/removal-test-files prepares natively before the tests under Wine (links, names
// that are no text, directories named alike but for case, files held open); on Windows itself
// nothing prepares them. The script fails where it cannot make the links, so under Wine a
// broken fixture fails instead of skipping.
bool FixturesPrepared() {
  return ReadBytes(EnvironmentPath("VELLOX_TEST_ROOT") + "\\links\\tree\\link.tmp") == "target";
}

const wchar_t kSessionManager[] = L"System\\CurrentControlSet\\Control\\Session Manager";
const wchar_t kPending[] = L"PendingFileRenameOperations";

// A pair of the file's name and an empty one in the list that the next start works through.
bool IsPendingDeletion(const std::string& path) {
  std::wstring list(1 << 16, L'\0');
  DWORD size = static_cast<DWORD>(list.size() * sizeof(wchar_t));
  RegGetValueW(HKEY_LOCAL_MACHINE, kSessionManager, kPending, RRF_RT_REG_MULTI_SZ, nullptr, list.data(), &size);
  return (L'\0' + list).find(L'\0' + (L"\\??\\" + Widen(path)) + L'\0' + L'\0') != std::wstring::npos;
}

// Maps a drive letter of the Wine prefix to a Linux directory with the drive type given, as
// winecfg does through Wine's mount manager; DRIVE_NO_ROOT_DIR removes it. False without Wine.
bool DefineWineDrive(wchar_t letter, const char* directory, UINT type) {
  struct { ULONG size, type, fsType; DWORD serial; ULONGLONG device; WCHAR letter; USHORT mountPoint, deviceName, label; char path[1024]; } drive = {};
  const std::size_t length = std::strlen(directory) + 1;
  if (length > sizeof(drive.path)) return false;
  std::memcpy(drive.path, directory, length);
  drive.size = static_cast<ULONG>(offsetof(decltype(drive), path) + length);
  drive.type = type;
  drive.letter = letter;
  drive.mountPoint = type == DRIVE_NO_ROOT_DIR ? 0 : static_cast<USHORT>(offsetof(decltype(drive), path));
  const HANDLE manager = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  const DWORD define = CTL_CODE(0x6d, 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
  const bool defined = DeviceIoControl(manager, define, &drive, drive.size, nullptr, 0, nullptr, nullptr) != 0;
  CloseHandle(manager);
  return defined;
}

// Answers every dialog that this process shows (the shell's questions) with a button, from a
// thread of its own, while it lives; counts the questions.
class DialogAnswerer {
 public:
  explicit DialogAnswerer(int button)
      : button_(button), thread_([this] {
          for (; !stop_; Sleep(20)) EnumWindows(AnswerIfOurs, reinterpret_cast<LPARAM>(this));
        }) {}
  ~DialogAnswerer() {
    stop_ = true;
    thread_.join();
  }
  int Questions() const { return questions_; }

 private:
  static BOOL CALLBACK AnswerIfOurs(HWND window, LPARAM self) {
    DWORD process = 0;
    wchar_t kind[8] = {};
    GetWindowThreadProcessId(window, &process);
    GetClassNameW(window, kind, 8);
    if (process != GetCurrentProcessId() || std::wstring(kind) != L"#32770" || !IsWindowVisible(window)) return TRUE;
    auto* answerer = reinterpret_cast<DialogAnswerer*>(self);
    ++answerer->questions_;
    PostMessageW(window, WM_COMMAND, answerer->button_, 0);
    while (IsWindow(window) && !answerer->stop_) Sleep(5);
    return TRUE;
  }

  int button_;
  std::atomic<bool> stop_{false};
  std::atomic<int> questions_{0};
  std::thread thread_;
};

// The outcomes of the operations, in this order, one letter each:
//   G  true; the name is free and nothing went to the recycle bin
//   K  false; contents and attributes as before
//   R  true; the file is in the recycle bin with its contents
//   P  true; the file is still there, pending deletion at the next start
//   X  false; what stands at the row's path (if anything) is no file of the tree and stays
RemovalOutcome (RemovalOperations::*const kOperations[])(const std::string&) = {
    &RemovalOperations::PlainDelete, &RemovalOperations::ForcedDelete, &RemovalOperations::ShredFile,
    &RemovalOperations::RecycleFile, &RemovalOperations::DeleteAtRestart};

// Each case and operation has a directory of its own (reached through the drive letter given as
// fixture, where one is), or shares one that the fixture made and that nothing removes from; "{}"
// in a path there stands for a file name of the operation's own (the recycle bin keeps names).
// The scan's root is `root` there; the row names `row`, or the file when that is empty.
constexpr DWORD kLocked = 0x80000000;  // held open elsewhere without sharing
constexpr DWORD kLinked = 0x40000000;  // the decoy is a second name (hard link) of the file
struct Case {
  const char* kind;
  const char* fixture;  // the fixture's directory below VELLOX_TEST_ROOT, a drive ("N:"), or null
  std::string root, file;
  DWORD attributes;        // of the file, kLocked and kLinked; FILE_ATTRIBUTE_DIRECTORY makes a directory
  std::string row, decoy;  // the decoy must keep its contents and attributes
  const char* outcomes;    // one letter per operation, as above
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
  const Case cases[] = {
      {"plain", nullptr, "", "{}", kNormal, "", "", "GGGRP"},
      {"read-only", nullptr, "", "{}", FILE_ATTRIBUTE_READONLY, "", "", "KGKRP"},
      {"hidden and system", nullptr, "", "{}", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, "", "", "GGGRP"},
      // ForcedDelete clears the marks to retry; when the file still cannot go, it gets them back.
      {"locked and marked", nullptr, "", "{}", kMarks | kLocked, "", "", "KKKKP"},
      // The zeros would reach the other name's data, a forced delete's cleared marks its attributes.
      {"with a second name outside the tree", nullptr, "tree", "tree\\{}", kLinked, "", "outside\\{}", "GGKRP"},
      {"read-only, with a second name", nullptr, "tree", "tree\\{}", FILE_ATTRIBUTE_READONLY | kLinked, "", "outside\\{}", "KGKRP"},
      {"missing", nullptr, "", "", 0, "{}", "", "XXXXX"},
      // Win32 parsing would reach the decoy, and the shell takes only parsed paths.
      {"in a directory named with a trailing dot", nullptr, "", "dir.\\{}", kNormal, "", "dir\\{}", "GGGKP"},
      {"named with a trailing blank", nullptr, "", "{}.tmp ", kNormal, "", "{}.tmp", "GGGKP"},
      {"deeper than MAX_PATH", nullptr, "", deep + "\\{}", kNormal, "", "", "GGGKP"},
      {"replaced by a directory with a file in it", nullptr, "", "", 0, "{}", "{}\\child", "XXXXX"},
      {"replaced by an empty directory", nullptr, "", "{}", FILE_ATTRIBUTE_DIRECTORY, "", "", "XXXXX"},
      {"beside the root, under a name that extends it", nullptr, "tree", "tree2\\{}", kNormal, "", "tree\\{}", "KKKKK"},
      {"reached through .. by a pattern", nullptr, "tree", "far\\{}", kNormal, "tree\\..\\far\\{}", "", "GGGRP"},
      {"below a directory replaced by a link", "links", "tree", "", 0, "tree\\swapped\\x.tmp", "outside\\x.tmp", "XXXXX"},
      // Wine opens a link's target whatever it is asked; Windows would delete the link itself.
      {"a link to a file outside the tree", "links", "tree", "", 0, "tree\\link.tmp", "outside\\target.tmp", "XXXXX"},
      // Where the file system tells case apart, an open that ignores case reaches another entry.
      {"a link to its sibling named in another case", "links", "tree", "", 0, "tree\\case.tmp", "tree\\CASE.TMP", "XXXXX"},
      {"below a directory named in another case", nullptr, "", "lower\\{}", kNormal, "LOWER\\{}", "", "XXXXX"},
      // Wine ignores the failed unlink when the handle closes.
      {"on a read-only mount", "read-only", "", "", 0, "x.tmp", "", "KKKKP"},
      // Wine lists both names that are no UTF-8 as "\ufffd.txt", and that text opens either.
      {"named with bytes that are no text, beside another such", "odd-names", "", "", 0, "\ufffd.txt", "", "XXXXX"},
      // The server decides where a network drive's data goes; neither drive keeps a recycle bin,
      // and at the next start its letter may name another medium or share.
      {"on a network drive", "N:", "", "{}", kNormal, "", "", "GGKKK"},
      {"on a removable drive", "R:", "", "{}", kNormal, "", "", "GGGKK"},
  };
  const std::string trash = EnvironmentPath("XDG_DATA_HOME") + "\\Trash\\files\\";
  ASSERT_NE(trash.front(), '\\') << "recycling needs the tests' own recycle bin";
  const std::string fixtures = EnvironmentPath("VELLOX_TEST_ROOT") + "\\";
  if (!FixturesPrepared()) GTEST_SKIP() << "RemovalFiles.Setup prepares the links (Wine only)";
  const TempTree tree("\u65b0\u5efa\u6587\u4ef6\u5939");  // 新建文件夹
  const DialogAnswerer no(IDNO);  // the shell asks before it would delete for good what the bin cannot take
  const bool drives = DefineWineDrive(L'N', std::getenv("VELLOX_TEST_ROOT"), DRIVE_REMOTE) &&
                      DefineWineDrive(L'R', std::getenv("VELLOX_TEST_ROOT"), DRIVE_REMOVABLE);
  // No later start of this Wine prefix is to delete anything, and Wine drops the first character
  // of a name that it appends to an empty list: the test begins and ends without one.
  RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kSessionManager, kPending);
  for (std::size_t c = 0; c < sizeof(cases) / sizeof(cases[0]); ++c) {
    const Case& test = cases[c];
    for (std::size_t op = 0; op < 5; ++op) {
      const std::string unique = std::to_string(c) + "-" + std::to_string(op);
      SCOPED_TRACE("operation " + std::to_string(op) + " on a file " + test.kind);
      const std::string name = "\u62a5\u544a \u0395\u03bb\u03bb\u03b7\u03bd " + unique + ".tmp";  // 报告 Ελλην
      const bool drive = test.fixture != nullptr && test.fixture[1] == ':';
      if (drive ? !drives : test.fixture != nullptr && !PathExists(fixtures + test.fixture)) continue;  // Wine, root
      const std::string base = drive ? test.fixture + tree.Path(unique).substr(TestTreeBase().size())
                                     : test.fixture != nullptr ? fixtures + test.fixture : tree.Path(unique);
      const auto at = [&](const std::string& relative) { return base + "\\" + Named(relative, name); };
      const DWORD attributes = test.attributes & ~(kLocked | kLinked);
      if (attributes == FILE_ATTRIBUTE_DIRECTORY) tree.MakeDirectory(unique + "\\" + Named(test.file, name));
      else if (!test.file.empty()) tree.MakeFile(unique + "\\" + Named(test.file, name), attributes, name);
      if ((test.attributes & kLinked) != 0) {
        const std::string decoy = unique + "\\" + Named(test.decoy, name);
        tree.MakeDirectory(decoy.substr(0, decoy.find_last_of('\\')));
        ASSERT_TRUE(CreateHardLinkW(Verbatim(at(test.decoy)).c_str(), Verbatim(at(test.file)).c_str(), nullptr));
      } else if (test.fixture == nullptr && !test.decoy.empty()) {
        tree.MakeFile(unique + "\\" + Named(test.decoy, name));
      }
      const std::string decoyBefore = test.decoy.empty() ? "" : ReadBytes(at(test.decoy));
      const DWORD decoyAttributes = test.decoy.empty() ? 0 : GetFileAttributesW(Verbatim(at(test.decoy)).c_str());
      const std::string target = at(test.file.empty() ? test.row : test.file);
      const DWORD attributesBefore = GetFileAttributesW(Verbatim(target).c_str());
      const std::string contentsBefore = ReadBytes(target);
      const int entriesBefore = EntriesOf(base);  // a fixture's directory keeps them all
      const bool locked = (test.attributes & kLocked) != 0;
      const HANDLE lock = locked ? CreateFileW(Verbatim(target).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                               nullptr) : INVALID_HANDLE_VALUE;
      ASSERT_EQ(locked, lock != INVALID_HANDLE_VALUE);
      Win32RemovalOperations removal(test.root.empty() ? base : base + "\\" + test.root);
      const bool result = (removal.*kOperations[op])(at(test.row.empty() ? test.file : test.row)).removed();
      if (locked) CloseHandle(lock);
      const char expected = test.outcomes[op];
      EXPECT_EQ(result, expected == 'G' || expected == 'R' || expected == 'P');
      EXPECT_EQ(test.decoy.empty() ? "" : ReadBytes(at(test.decoy)), decoyBefore);
      EXPECT_EQ(test.decoy.empty() ? 0 : GetFileAttributesW(Verbatim(at(test.decoy)).c_str()), decoyAttributes);
      // Wine's shell copies a file to a bin on another volume before it deletes it, and leaves the
      // copy there when the delete fails (as on a read-only mount).
      const std::string recycled = ReadBytes(trash + target.substr(target.find_last_of('\\') + 1));
      if (expected == 'R') EXPECT_EQ(recycled, name);
      else EXPECT_NE(recycled, name);
      EXPECT_EQ(IsPendingDeletion(target), expected == 'P');
      if (test.fixture != nullptr && !drive) { EXPECT_EQ(EntriesOf(base), entriesBefore); }
      const bool existed = attributesBefore != INVALID_FILE_ATTRIBUTES;
      EXPECT_EQ(PathExists(target), expected == 'X' ? existed : expected == 'K' || expected == 'P');
      if (expected == 'K' || expected == 'P') {
        EXPECT_EQ(ReadBytes(target), contentsBefore);
        EXPECT_EQ(GetFileAttributesW(Verbatim(target).c_str()), attributesBefore);
      }
    }
  }
  RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kSessionManager, kPending);
  for (const wchar_t letter : {L'N', L'R'}) DefineWineDrive(letter, "", DRIVE_NO_ROOT_DIR);
}

// Rows in nested and sibling directories, each holding a file of the same name: every row
// removes its own file, and the directories passed stay held while the run lasts.
TEST(RemovalOperations, ARunRemovesEachRowsOwnFileAcrossDirectories) {
  const TempTree tree("run");
  const std::string rows[] = {"a\\b\\f.tmp", "a\\f.tmp", "a\\b\\c\\f.tmp", "c\\f.tmp", "f.tmp", "a\\b\\g.tmp"};
  for (const std::string& row : rows) tree.MakeFile(row, FILE_ATTRIBUTE_NORMAL, row);
  Win32RemovalOperations removal(tree.Root());
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_TRUE(removal.PlainDelete(tree.Path(rows[i])).removed()) << rows[i];
    for (std::size_t later = i + 1; later < 6; ++later) EXPECT_EQ(ReadBytes(tree.Path(rows[later])), rows[later]);
  }
  EXPECT_FALSE(MoveFileW(Verbatim(tree.Path("a\\b")).c_str(), Verbatim(tree.Path("moved")).c_str()));
}

// Where the file system tells case apart, rows name a pattern's directory as the directory that
// its search reached, so that their removal reaches the file listed: the one named exactly, else
// the only one of that name in any case; where several differ in case only, none is listed.
TEST(ScanRows, NameAPatternsDirectoryAsTheOneItsSearchReached) {
  if (!FixturesPrepared()) GTEST_SKIP() << "RemovalFiles.Setup prepares the directories (Wine only)";
  const std::string root = EnvironmentPath("VELLOX_TEST_ROOT") + "\\cased";
  Win32FileEnumeration files;
  MemoryScanWindow window(files);
  window.directory = root;
  window.ticked = {TargetBox::Quick};
  const struct { TargetPattern pattern; Texts rows; } cases[] = {
      {"temp\\*.tmp", {root + "\\temp\\x.tmp"}},
      {"Temp\\*.tmp", {root + "\\Temp\\x.tmp"}},
      {"ONLY\\*.tmp", {root + "\\Only\\y.tmp"}},
      {"TEMP\\*.tmp", {}},
  };
  for (const auto& test : cases) {
    window.paths.clear();
    window.quickSearch = {test.pattern};
    window.Scan();
    EXPECT_EQ(window.paths, test.rows) << test.pattern;
  }
}

// A run removes nothing below an anchor that is no longer the directory the scan recorded: the
// root renamed away and another put in its place, or now a link to another directory; a
// directory that a pattern's ".." reached, replaced or never recorded.
TEST(RemovalOperations, NothingGoesBelowAnAnchorThatIsNoLongerTheScannedDirectory) {
  if (!FixturesPrepared()) GTEST_SKIP() << "RemovalFiles.Setup prepares the links (Wine only)";
  const TempTree tree("anchors");
  const std::string links = EnvironmentPath("VELLOX_TEST_ROOT") + "\\links";
  // Below the case's own directory (with root\x.tmp, other\x.tmp and far\y.tmp) or the fixture's
  // links; the identities recorded for the root and for the directory above it are those of
  // `scanned` and `above` (none where empty), taken before `other` is renamed to root where asked.
  const struct { const char* kind; bool inLinks; std::string root, row, scanned, above; bool swap, removed; } cases[] = {
      {"the scanned root", false, "root", "root\\x.tmp", "root", "", false, true},
      {"the root renamed away, another renamed in", false, "root", "root\\x.tmp", "root", "", true, false},
      {"the root now a link to another directory", true, "tree\\swapped", "tree\\swapped\\x.tmp", "tree", "", false, false},
      {"reached through .. as scanned", false, "root", "root\\..\\far\\y.tmp", "root", ".", false, true},
      {"reached through .., another directory", false, "root", "root\\..\\far\\y.tmp", "root", "other", false, false},
      {"reached through .., not recorded", false, "root", "root\\..\\far\\y.tmp", "root", "", false, false},
  };
  for (std::size_t c = 0; c < sizeof(cases) / sizeof(cases[0]); ++c) {
    const auto& test = cases[c];
    SCOPED_TRACE(test.kind);
    const std::string base = test.inLinks ? links : tree.Path(std::to_string(c));
    for (const char* file : {"root\\x.tmp", "other\\x.tmp", "far\\y.tmp"}) {
      if (!test.inLinks) tree.MakeFile(std::to_string(c) + "\\" + file, FILE_ATTRIBUTE_NORMAL, file);
    }
    ScanAnchors anchors;
    DirectoryIdentity identity;
    Win32FileEnumeration files;
    ASSERT_TRUE(files.IdentifyDirectory(base + "\\" + test.scanned, identity));
    anchors.emplace_back(base + "\\" + test.root + "\\", identity);
    if (!test.above.empty() && files.IdentifyDirectory(base + "\\" + test.above, identity)) {
      anchors.emplace_back(base + "\\" + test.root + "\\..\\", identity);
    }
    if (test.swap) {
      ASSERT_TRUE(MoveFileW(Verbatim(base + "\\root").c_str(), Verbatim(base + "\\old").c_str()) &&
                  MoveFileW(Verbatim(base + "\\other").c_str(), Verbatim(base + "\\root").c_str()));
    }
    const std::string before = ReadBytes(base + "\\" + test.row);
    Win32RemovalOperations removal(base + "\\" + test.root);
    removal.ExpectAnchors(anchors);
    EXPECT_EQ(removal.PlainDelete(base + "\\" + test.row),
              test.removed ? RemovalOutcome::Removed() : RemovalOutcome::Refused(Refusal::kAnchorReplaced));
    EXPECT_EQ(ReadBytes(base + "\\" + test.row), test.removed ? "<unreadable>" : before);
  }
}

// Where the shell would delete a file for good although asked to recycle it, the file stays.
// Runs under its own ctest entry, with a recycle bin that cannot exist.
TEST(RecycleFileWithoutABin, LeavesTheFileWhereTheShellWouldDeleteItForGood) {
  if (std::getenv("VELLOX_NO_RECYCLE_BIN") == nullptr) GTEST_SKIP() << "runs under its own ctest entry";
  const TempTree tree("no-bin");
  tree.MakeFile("precious.tmp", FILE_ATTRIBUTE_NORMAL, "precious");
  SHQUERYRBINFO bin = {sizeof(bin), 0, 0};
  ASSERT_TRUE(FAILED(SHQueryRecycleBinW(L"C:\\", &bin))) << "the premise: the system reports no recycle bin";
  EXPECT_EQ(Win32RemovalOperations(tree.Root()).RecycleFile(tree.Path("precious.tmp")),
            RemovalOutcome::Refused(Refusal::kNoRecycleBin));
  EXPECT_EQ(ReadBytes(tree.Path("precious.tmp")), "precious");
}

// Where the bin cannot take a file after all (here its volume is a 64 KiB file system that the
// fixture mounted), the shell asks before it deletes the file for good: No keeps the file, Yes
// deletes it. Runs under its own ctest entry, with that bin.
TEST(RecycleFileToASmallBin, AsksBeforeDeletingForGoodAndNoKeepsTheFile) {
  if (std::getenv("VELLOX_SMALL_BIN") == nullptr) GTEST_SKIP() << "runs under its own ctest entry";
  if (!PathExists(EnvironmentPath("XDG_DATA_HOME"))) GTEST_SKIP() << "the fixture could not mount a file system (needs root)";
  const TempTree tree("small-bin");
  for (const int answer : {IDNO, IDYES}) {
    const std::string path = tree.Path(std::to_string(answer) + ".tmp");
    tree.MakeFile(std::to_string(answer) + ".tmp", FILE_ATTRIBUTE_NORMAL, std::string(256 << 10, 'b'));
    const DialogAnswerer answerer(answer);
    EXPECT_EQ(Win32RemovalOperations(tree.Root()).RecycleFile(path),
              answer == IDNO ? RemovalOutcome::Refused(Refusal::kKeptOutOfBin) : RemovalOutcome::Removed());
    EXPECT_EQ(answerer.Questions(), 1);
    EXPECT_EQ(ReadBytes(path, 0, 1 << 20), answer == IDNO ? std::string(256 << 10, 'b') : "<unreadable>");
  }
}

// The same for the user's settings that turn the bin off, asked once per drive and run (the
// query sums up the whole bin): a run that began before the change still recycles.
TEST(RecycleFile, LeavesTheFileWhereTheUserTurnedTheBinOffBeforeTheRun) {
  const TempTree tree("bin-off");
  wchar_t root[MAX_PATH + 1] = {};
  wchar_t volume[64] = {};  // "\\?\Volume{guid}\"
  ASSERT_TRUE(GetVolumePathNameW(Widen(tree.Root()).c_str(), root, MAX_PATH + 1) &&
              GetVolumeNameForVolumeMountPointW(root, volume, ARRAYSIZE(volume)));
  const std::wstring windows = L"Software\\Microsoft\\Windows\\CurrentVersion\\";
  const struct { HKEY root; std::wstring key; const wchar_t* value; } cases[] = {
      {HKEY_CURRENT_USER, windows + L"Policies\\Explorer", L"NoRecycleFiles"},
      {HKEY_LOCAL_MACHINE, windows + L"Policies\\Explorer", L"NoRecycleFiles"},
      {HKEY_CURRENT_USER, windows + L"Explorer\\BitBucket\\Volume\\" + std::wstring(volume + 10, 38), L"NukeOnDelete"}};
  for (std::size_t i = 0; i < 3; ++i) {
    const auto file = [&](const char* name) { return tree.Path(std::to_string(i) + name); };
    for (const char* name : {"first", "kept", "late"}) tree.MakeFile(std::to_string(i) + name);
    Win32RemovalOperations earlier(tree.Root());
    ASSERT_TRUE(earlier.RecycleFile(file("first")).removed());
    const DWORD on = 1;
    ASSERT_EQ(RegSetKeyValueW(cases[i].root, cases[i].key.c_str(), cases[i].value, REG_DWORD, &on, sizeof(on)), 0);
    EXPECT_EQ(Win32RemovalOperations(tree.Root()).RecycleFile(file("kept")), RemovalOutcome::Refused(Refusal::kNoRecycleBin)) << i;
    EXPECT_TRUE(earlier.RecycleFile(file("late")).removed() && PathExists(file("kept"))) << i;
    RegDeleteKeyValueW(cases[i].root, cases[i].key.c_str(), cases[i].value);
  }
}

// The fixture holds each file open natively, so its data stays readable through /proc after the
// shred deleted its one name. Past 4 GiB a 32-bit length or position would end the overwrite
// early; it costs about 15 s under Wine, for its million block writes.
TEST(ShredFile, OverwritesWithZerosToTheNextWholeBlockBeforeDeleting) {
  if (!FixturesPrepared()) GTEST_SKIP() << "RemovalFiles.Setup prepares the files and holds them open (Wine only)";
  const std::string directory = EnvironmentPath("VELLOX_TEST_ROOT") + "\\shred";
  const std::string held = "Z:\\proc\\" + ReadBytes(directory + "\\holder") + "\\fd\\";
  constexpr LONGLONG kFourGiB = 1LL << 32;
  const struct { LONGLONG length, lengthAtDeletion; } cases[] = {  // as scripts/removal-test-files made them
      {0, 4096}, {4096, 4096}, {5000, 8192}, {8192, 8192}, {kFourGiB + 5000, kFourGiB + 8192}};
  Win32RemovalOperations removal(directory);
  int descriptor = 3;
  for (const auto& test : cases) {
    SCOPED_TRACE(test.length);
    const std::string path = directory + "\\" + std::to_string(test.length) + ".tmp";
    const std::string data = held + std::to_string(descriptor++);
    ASSERT_EQ(ReadBytes(data, 0, 1), test.length == 0 ? "" : "x");
    EXPECT_TRUE(removal.ShredFile(path).removed());
    EXPECT_FALSE(PathExists(path));
    const std::size_t end = static_cast<std::size_t>(std::min<LONGLONG>(test.lengthAtDeletion, 8192));
    EXPECT_EQ(ReadBytes(data, 0, 8192), std::string(end, '\0'));
    EXPECT_EQ(ReadBytes(data, test.lengthAtDeletion - end, 8192), std::string(end, '\0'));  // and no more
  }
}

// On a small file system that the fixture mounted a shred spends no new space: a sparse file
// (allocation short of its length) is refused before a byte is written, with room or without;
// a file whose allocation holds its length goes, even with the volume full.
TEST(ShredFile, OnASmallVolumeWritesOnlyWhereTheDataLies) {
  const std::string directory = EnvironmentPath("VELLOX_TEST_ROOT") + "\\full-disk";
  if (!PathExists(directory + "\\mounted")) GTEST_SKIP() << "the fixture could not mount a file system (needs root)";
  const std::string filler = directory + "\\filler";
  const std::string path = directory + "\\victim.tmp";
  const struct { LONGLONG data, length; bool full, shredded; } cases[] = {  // "x" bytes, then "x" at length - 1
      {0, 1LL << 30, false, false}, {4096, 32768, true, false}, {0, 0, true, true}, {8192, 8192, true, true}};
  Win32RemovalOperations removal(directory);
  for (const auto& test : cases) {
    SCOPED_TRACE(test.length);
    ASSERT_TRUE(WriteAt(path, 0, std::string(static_cast<std::size_t>(test.data), 'x')));
    ASSERT_TRUE(test.length == test.data || WriteAt(path, test.length - 1, "x"));
    int blocks = 0;
    while (test.full && WriteAt(filler, blocks * 4096LL, std::string(4096, 'f')) && blocks < 1024) ++blocks;
    ASSERT_LT(blocks, 1024) << "the file system never filled up";
    EXPECT_EQ(removal.ShredFile(path), test.shredded ? RemovalOutcome::Removed() : RemovalOutcome::Refused(Refusal::kZerosMissTheData));
    EXPECT_EQ(ReadBytes(path, test.length - 1, 2), test.shredded ? "<unreadable>" : "x");  // its old end
    RemoveTree(path);
    RemoveTree(filler);
  }
}

// A cancel between blocks stops the shred in hand: the file stays under its name, zeroed up to
// the block the cancel came before.
TEST(ShredFile, ACancelBetweenBlocksKeepsTheFileUnderItsName) {
  const TempTree tree("cancel");
  tree.MakeFile("large.tmp", FILE_ATTRIBUTE_NORMAL, std::string(64 * 4096, 'x'));
  int asked = 0;
  Win32RemovalOperations removal(tree.Root(), nullptr, [&asked] { return ++asked > 3; });
  EXPECT_EQ(removal.ShredFile(tree.Path("large.tmp")), RemovalOutcome::Refused(Refusal::kCancelled));
  EXPECT_EQ(ReadBytes(tree.Path("large.tmp"), 0, 3 * 4096 + 1), std::string(3 * 4096, '\0') + "x");
}

}  // namespace
