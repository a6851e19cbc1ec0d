#include "engine/win32/utf.h"
#include "tests/ui/window_fixture.h"
#include "tests/win32/temp_tree.h"
#include "ui/resources/resource.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

using namespace mainwin;
using Rows = std::vector<std::string>;

namespace {

bool Exists(const std::string& path) {
  return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

Rows RowsOf(HWND main) { return WindowDriver::Rows(ResultList(main)); }

// Clicks a row's check box as the user does.
void ClickBox(HWND list, int row) {
  RECT bounds{LVIR_BOUNDS, 0, 0, 0};
  SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&bounds));
  LVHITTESTINFO hit{{bounds.left, (bounds.top + bounds.bottom) / 2}, 0, 0, 0, 0};
  while (hit.pt.x < bounds.right && (hit.flags & LVHT_ONITEMSTATEICON) == 0) {
    SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    hit.pt.x += (hit.flags & LVHT_ONITEMSTATEICON) == 0 ? 1 : 0;
  }
  PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(hit.pt.x, hit.pt.y));
  PostMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(hit.pt.x, hit.pt.y));
}

using MainWindowTest = WindowTest;

}  // namespace

// The sweep first, then own patterns, quick search, Word, Thumbs.db; a second scan starts from
// an empty list. Every way of ticking reaches the list: a click on a box, Space on the focused
// row, a tick set from outside, Tick all and Untick all; typing a number finds its row.
TEST_F(MainWindowTest, ScanFindsEveryTargetKindInOrderAndEveryWayOfTickingCounts) {
  TempTree tree("scan-kinds");
  for (const char* file : {"app.dsw", "Debug\\main.obj", "notes.tmp", "trace.log", "keep.txt"}) {
    tree.MakeFile(file);
  }
  tree.MakeFile("~$report.doc", FILE_ATTRIBUTE_HIDDEN);
  tree.MakeFile("Thumbs.db", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  Settings().WriteInt("UserType", "Count", 1);
  Settings().WriteString("UserType", "FileType1", "*.tmp");
  RunMainWindow([&](WindowDriver& driver, HWND main) {
    for (int box : {IDC_TARGET_VC6, IDC_TARGET_WORD, IDC_TARGET_THUMBS}) {
      WindowDriver::ClickAndWait(main, box);
    }
    ASSERT_TRUE(CloseWith(OpenPatternList(driver, main), IDOK));
    EnterPattern(driver, main, IDC_TARGET_QUICK, "*.log");
    const std::string root = tree.Root();
    Rows rows = {"1|" + root + "\\Debug\\main.obj", "2|" + root + "\\notes.tmp",
                 "3|" + root + "\\trace.log", "4|" + root + "\\~$report.doc",
                 "5|" + root + "\\Thumbs.db"};
    for (const std::string& typed : {root, root + "\\"}) {
      Scan(main, typed);
      EXPECT_EQ(RowsOf(main), rows);
    }
    HWND list = ResultList(main);
    ClickBox(list, 1);
    ClickBox(list, 2);
    PostMessageW(list, WM_KEYDOWN, VK_SPACE, 0);
    WindowDriver::SetTick(list, 4, true);
    PostMessageW(list, WM_CHAR, L'4', 1);
    WindowDriver::Sync(main);
    rows[1] = "+" + rows[1];
    rows[4] = "+" + rows[4];
    EXPECT_EQ(RowsOf(main), rows);
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 3);
    WindowDriver::ClickAndWait(main, IDC_CHECK_ALL);
    for (std::string& row : rows) row = row[0] == '+' ? row : "+" + row;
    EXPECT_EQ(RowsOf(main), rows);
    WindowDriver::ClickAndWait(main, IDC_CHECK_NONE);
    for (std::string& row : rows) row = row.substr(1);
    EXPECT_EQ(RowsOf(main), rows);
  });
}

// Each delete button asks its question; No changes nothing, Yes removes the ticked row
// exactly when its mode's operation succeeds: a plain delete keeps a read-only file, a forced
// one does not, a shred leaves zeros where the file was (seen through a second name), a file
// recycled is in the recycle bin, one deleted at restart stays till then. The rows that stay
// keep their numbers.
TEST_F(MainWindowTest, EachDeleteButtonAsksItsQuestionAndRemovesInItsMode) {
  // The recycle bin of the tests' own, where ctest gives them one.
  const std::string xdg = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
  std::string recycled = xdg.empty() ? "" : "Z:" + xdg + "/Trash/files/c.tmp";
  std::replace(recycled.begin(), recycled.end(), '/', '\\');
  const struct {
    int button;
    int question;
    const char* file;
    bool rowGoes;
    std::string whereItIs;  // empty: gone
  } cases[] = {{IDC_PLAIN_DELETE, IDS_CONFIRM_PLAIN, "a.tmp", false, "a.tmp"},
               {IDC_FORCED_DELETE, IDS_CONFIRM_FORCED, "a.tmp", true, ""},
               {IDC_SHRED_DELETE, IDS_CONFIRM_SHRED, "b.tmp", true, ""},
               {IDC_RECYCLE_DELETE, IDS_CONFIRM_RECYCLE, "c.tmp", true, recycled},
               {IDC_RESTART_DELETE, IDS_CONFIRM_RESTART, "d.tmp", true, "d.tmp"}};
  TempTree tree("delete");
  tree.MakeFile("a.tmp", FILE_ATTRIBUTE_READONLY);
  for (const char* name : {"b.tmp", "c.tmp", "d.tmp", "e.tmp"}) tree.MakeFile(name);
  std::ofstream(Widen(tree.Path("b.tmp")).c_str()) << "secret";
  CreateHardLinkW(Widen(tree.Path("b.link")).c_str(), Widen(tree.Path("b.tmp")).c_str(), nullptr);
  if (!recycled.empty()) {
    // Wine makes the bin itself, but only inside a data directory that exists.
    RemoveTree(recycled.substr(0, recycled.find("\\Trash\\") + 6));
    MakeDirectories(recycled.substr(0, recycled.find("\\Trash\\")));
  }
  RunMainWindow([&](WindowDriver& driver, HWND main) {
    EnterPattern(driver, main, IDC_TARGET_QUICK, "*.tmp");
    Scan(main, tree.Root());
    Rows rows = RowsOf(main);
    ASSERT_EQ(rows.size(), 5u);
    for (const auto& tested : cases) {
      const auto at = std::find_if(rows.begin(), rows.end(), [&](const std::string& r) {
        return r.compare(r.size() - 5, 5, tested.file) == 0;
      });
      ASSERT_NE(at, rows.end());
      WindowDriver::ClickAndWait(main, IDC_CHECK_NONE);
      WindowDriver::SetTick(ResultList(main), static_cast<int>(at - rows.begin()), true);
      *at = "+" + *at;
      for (const int answer : {IDNO, IDYES}) {
        WindowDriver::Click(main, tested.button);
        EXPECT_EQ(driver.AnswerMessageBox(answer), LoadResourceString(tested.question));
        WindowDriver::Sync(main);  // the command goes on after its question
        ASSERT_TRUE(WaitForIdle(main));
        if (answer == IDYES && tested.rowGoes) rows.erase(at);
        EXPECT_EQ(RowsOf(main), rows) << tested.button << " " << answer;
      }
      if (!tested.rowGoes) *at = at->substr(1);
      EXPECT_EQ(Exists(tree.Path(tested.file)), tested.whereItIs == tested.file) << tested.file;
      EXPECT_TRUE(tested.whereItIs.empty() || Exists(tree.Path(tested.whereItIs)) ||
                  Exists(tested.whereItIs)) << tested.whereItIs;
    }
    std::string shredded;
    std::getline(std::ifstream(Widen(tree.Path("b.link")).c_str()), shredded);
    EXPECT_EQ(shredded.substr(0, 6), std::string(6, '\0'));
    EXPECT_EQ(driver.FindMessageBox(), nullptr) << "a run ends without a message";
  });
}

// An empty directory scans nothing. On an empty list the delete buttons ask nothing, while
// "who is using" still announces; with rows, super delete announces. Neither starts anything.
TEST_F(MainWindowTest, EmptyListGuardsAndTheTwoAnnouncements) {
  const struct {
    int button;
    int announcement;  // 0: no message at all
  } cases[] = {{IDC_PLAIN_DELETE, 0},   {IDC_FORCED_DELETE, 0},  {IDC_SHRED_DELETE, 0},
               {IDC_RECYCLE_DELETE, 0}, {IDC_RESTART_DELETE, 0}, {IDC_SUPER_DELETE, 0},
               {IDC_WHO_IS_USING, IDS_WHO_IS_USING}, {IDC_SUPER_DELETE, IDS_CONFIRM_SUPER}};
  TempTree tree("announcements");
  tree.MakeFile("a.tmp");
  RunMainWindow([&](WindowDriver& driver, HWND main) {
    Scan(main, "");
    EXPECT_EQ(driver.FindDialog(IDC_PROGRESS_BAR, PROGRESS_CLASSW), nullptr) << "scanned";
    for (const auto& tested : cases) {
      if (&tested == &cases[7]) {
        EnterPattern(driver, main, IDC_TARGET_QUICK, "*.tmp");
        Scan(main, tree.Root());
        WindowDriver::ClickAndWait(main, IDC_CHECK_ALL);
      }
      WindowDriver::Click(main, tested.button);
      WindowDriver::Sync(main);
      if (tested.announcement != 0) {
        EXPECT_EQ(driver.AnswerMessageBox(IDYES), LoadResourceString(tested.announcement));
      }
      WindowDriver::Sync(main);
      EXPECT_EQ(driver.FindMessageBox(), nullptr) << tested.button;
      EXPECT_TRUE(IsWindowEnabled(GetDlgItem(main, IDC_SCAN))) << "no worker started";
    }
    EXPECT_EQ(RowsOf(main).size() * Exists(tree.Path("a.tmp")), 1u);
  });
}

// A worker still running when the test acts: shredding a large file first, then small ones,
// each in a directory of its own so that a scan takes a while too.
class BusyWindowTest : public WindowTest {
 protected:
  static void SetUpTestSuite() {
    WindowTest::SetUpTestSuite();
    tree_ = new TempTree("busy");
    MakeFiles();
  }
  static void TearDownTestSuite() { delete tree_; }
  static void MakeFiles() {
    for (std::size_t d = 0; d < kSmallFiles; ++d) {
      const std::string name = "d" + std::to_string(d) + "\\f.dat";
      if (!Exists(tree_->Path(name))) tree_->MakeFile(name);
    }
    const HANDLE file = CreateFileW(Widen(tree_->Path("big.dat")).c_str(), GENERIC_WRITE, 0,
                                    nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    LARGE_INTEGER size;
    size.QuadPart = 256ll << 20;
    SetFilePointerEx(file, size, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
  }
  // Scans for the files, ticks them all, starts shredding and waits for its progress window.
  static HWND StartShredding(const WindowDriver& driver, HWND main) {
    MakeFiles();
    EnterPattern(driver, main, IDC_TARGET_QUICK, "*.dat");
    Scan(main, tree_->Root());
    WindowDriver::ClickAndWait(main, IDC_CHECK_ALL);
    WindowDriver::Click(main, IDC_SHRED_DELETE);
    driver.AnswerMessageBox(IDYES);
    return driver.WaitForDialog(IDC_PROGRESS_BAR, PROGRESS_CLASSW);
  }

  static constexpr std::size_t kSmallFiles = 400;
  static TempTree* tree_;
};

TempTree* BusyWindowTest::tree_ = nullptr;

// Cancel in the progress window, or Exit in the main window: the file in hand is shredded to
// the end and the run stops there. Exit only cancels; a second Exit closes the window.
TEST_F(BusyWindowTest, CancelOrExitDuringADeletionStopsItAfterTheFileInHand) {
  for (const bool exit : {false, true}) {
    RemoveTestSettings();
    const INT_PTR result = RunMainWindow([&](WindowDriver& driver, HWND main) {
      HWND progress = StartShredding(driver, main);
      ASSERT_EQ(WindowDriver::Text(progress), "正在删除...");
      WindowDriver::ClickAndWait(exit ? main : progress, IDCANCEL);
      EXPECT_EQ(IsWindowVisible(progress), exit ? TRUE : FALSE);
      ASSERT_TRUE(WaitForIdle(main));
      EXPECT_FALSE(IsWindowVisible(progress) || Exists(tree_->Path("big.dat")));
      EXPECT_EQ(RowsOf(main).size(), kSmallFiles);
      EXPECT_EQ(Settings().ReadString("Recent", "Search", "<missing>"), "<missing>");
      EXPECT_TRUE(!exit || CloseWith(main, IDCANCEL));
    });
    EXPECT_EQ(result, IDCANCEL);
  }
  EXPECT_EQ(Settings().ReadString("Recent", "Search", "<missing>"), tree_->Root());
}

// While a worker runs, no command starts a second one, even one that reaches the window.
TEST_F(BusyWindowTest, NoSecondWorkerStartsWhileOneRuns) {
  RunMainWindow([&](WindowDriver& driver, HWND main) {
    StartShredding(driver, main);
    for (int button : {IDC_SCAN, IDC_PLAIN_DELETE, IDC_FORCED_DELETE, IDC_SHRED_DELETE,
                       IDC_RECYCLE_DELETE, IDC_RESTART_DELETE}) {
      EXPECT_FALSE(IsWindowEnabled(GetDlgItem(main, button))) << button;
      PostMessageW(main, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
      WindowDriver::Sync(main);
      EXPECT_EQ(driver.FindMessageBox(), nullptr) << button;
    }
    ASSERT_TRUE(WaitForIdle(main));
    EXPECT_TRUE(RowsOf(main).empty());
  });
}

// Exit (saving the directory) or Enter (saving nothing) during a scan ends the window once
// the scan has stopped.
TEST_F(BusyWindowTest, ExitOrEnterDuringAScanEndsTheWindowOnceTheScanHasStopped) {
  for (const int command : {IDCANCEL, IDOK}) {
    RemoveTestSettings();
    const INT_PTR result = RunMainWindow([&](WindowDriver& driver, HWND main) {
      WindowDriver::ClickAndWait(main, IDC_TARGET_VC6);
      WindowDriver::SetItemText(main, IDC_DIRECTORY, tree_->Root());
      WindowDriver::ClickAndWait(main, IDC_SCAN);
      ASSERT_NE(driver.WaitForDialog(IDC_PROGRESS_BAR, PROGRESS_CLASSW), nullptr);
      PostMessageW(main, WM_COMMAND, command, 0);
      EXPECT_TRUE(WindowDriver::WaitUntil([&] { return !IsWindow(main); }));
    });
    EXPECT_EQ(result, command);
    EXPECT_EQ(Settings().ReadString("Recent", "Search", "<missing>"),
              command == IDCANCEL ? tree_->Root() : "<missing>");
  }
}

// The first run shows the title, the notice and five tips, keeps the quick-search caption
// through a cancelled entry, and saves the own patterns and, on Exit, the directory. The
// second run finds both and shrinks the list, which leaves the values above Count behind.
TEST_F(MainWindowTest, SettingsAreKeptAcrossRuns) {
  const std::string directory = "Z:\\no such place\\最近的目录";
  const Rows patterns = {"*.bak", "Temp\\*.tmp", "*.old", "~*.*", "*.chk"};
  RunMainWindow([&](WindowDriver& driver, HWND main) {
    EXPECT_EQ(WindowDriver::Text(main), "Vellox磁盘清理/文件查找程序 - support@vellox.example");
    EXPECT_EQ(WindowDriver::ItemText(main, IDC_NOTICE).rfind("Vellox", 0), 0u);
    HWND tip = nullptr;
    do tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr);
    while (tip != nullptr && GetWindow(tip, GW_OWNER) != main);
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 5);
    const std::string caption = WindowDriver::ItemText(main, IDC_TARGET_QUICK);
    WindowDriver::Click(main, IDC_TARGET_QUICK);
    ASSERT_TRUE(CloseWith(driver.WaitForDialog(IDC_PATTERN_EDIT, L"ComboBox"), IDCANCEL));
    EXPECT_TRUE(WindowDriver::IsChecked(main, IDC_TARGET_QUICK));
    EXPECT_EQ(WindowDriver::ItemText(main, IDC_TARGET_QUICK), caption);
    WindowDriver::ClickAndWait(main, IDC_TARGET_QUICK);  // unticking asks nothing
    EnterPattern(driver, main, IDC_TARGET_QUICK, "*.log");
    EXPECT_EQ(WindowDriver::ItemText(main, IDC_TARGET_QUICK), "指定文件: *.log");
    WindowDriver::SetItemText(main, IDC_DIRECTORY, directory);
    HWND list = OpenPatternList(driver, main);
    for (const std::string& pattern : patterns) EnterPattern(driver, list, IDC_ADD_PATTERN, pattern);
    ASSERT_TRUE(CloseWith(list, IDOK));
    EXPECT_TRUE(CloseWith(main, IDCANCEL));
  });
  RunMainWindow([&](WindowDriver& driver, HWND main) {
    EXPECT_EQ(WindowDriver::ItemText(main, IDC_DIRECTORY), directory);
    HWND list = OpenPatternList(driver, main);
    HWND box = GetDlgItem(list, IDC_PATTERN_LIST);
    ASSERT_EQ(WindowDriver::ListBoxRows(box), patterns);
    for (int removed = 0; removed < 3; ++removed) {
      SendMessageW(box, LB_SETCURSEL, 1, 0);
      WindowDriver::ClickAndWait(list, IDC_REMOVE_PATTERN);
    }
    ASSERT_TRUE(CloseWith(list, IDOK));
  });
  EXPECT_EQ(Settings().ReadInt("UserType", "Count", -1), 2);
  for (int k = 1; k <= 5; ++k) {
    EXPECT_EQ(Settings().ReadString("UserType", "FileType" + std::to_string(k)),
              patterns[k == 2 ? 4 : k - 1]);
  }
}

// Whatever Count says, the window shows at once, and the list ends at the last stored pattern
// that Count covers; a pattern missing below it loads empty. A Count that is no 32-bit number
// loads nothing.
TEST_F(MainWindowTest, OwnPatternsLoadAsFarAsStoredValuesBackTheCount) {
  const struct {
    std::int64_t count;  // beyond 32 bits: stored as 8 bytes
    std::vector<int> stored;
    Rows loaded;
  } cases[] = {{3, {1, 3, 4}, {"*.1", "", "*.3"}},
               {100000, {}, {}},
               {2147483647, {1, 3}, {"*.1", "", "*.3"}},
               {-2147483647 - 1, {1}, {}},
               {1ll << 32 | 2, {1}, {}}};
  for (const auto& tested : cases) {
    RemoveTestSettings();
    Settings().WriteInt("UserType", "Count", static_cast<std::int32_t>(tested.count));
    if (tested.count > INT32_MAX) {
      RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Vellox UI Tests\\ui_tests\\UserType",
                      L"Count", REG_BINARY, &tested.count, sizeof tested.count);
    }
    for (int k : tested.stored) {
      Settings().WriteString("UserType", "FileType" + std::to_string(k), "*." + std::to_string(k));
    }
    const ULONGLONG start = GetTickCount64();
    RunMainWindow([&](WindowDriver& driver, HWND main) {
      EXPECT_LT(GetTickCount64() - start, 1000u) << tested.count;
      HWND list = OpenPatternList(driver, main);
      EXPECT_EQ(WindowDriver::ListBoxRows(GetDlgItem(list, IDC_PATTERN_LIST)), tested.loaded);
    });
  }
}
