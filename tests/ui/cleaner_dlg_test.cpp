// The main window as its user and outside tools meet it, driven from another process.
#include "tests/support/program_driver.h"
#include "tests/win32/temp_tree.h"
#include "ui/app/settings_store.h"
#include "ui/dialogs/dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Rows = std::vector<std::string>;

// Of the program's copy, its settings key and its message boxes' title.
std::string Name() { return "VelloxTest" + std::to_string(GetCurrentProcessId()); }
SettingsStore Settings() {
  SettingsStore settings;
  settings.SetRegistryRoot("Software by Quorvane", Name());
  return settings;
}
std::wstring Program() {  // built beside the tests
  wchar_t path[MAX_PATH];
  const std::wstring tests(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
  return tests.substr(0, tests.find_last_of(L'\\') + 1) + L"Vellox.exe";
}
bool Idle(const ProgramDriver& program) { return program.WaitUntilIdle(std::chrono::seconds(60)).has_value(); }
bool Scan(const ProgramDriver& program, const std::string& directory) {
  program.SetDirectory(directory);
  program.Press(IDC_SCAN);
  return Idle(program);
}
// The rows as "number|path", ticked ones with "+" in front.
Rows RowsOf(const ProgramDriver& program) {
  Rows rows;
  for (int row = 0; row < program.RowCount(); ++row) {
    rows.push_back((program.IsTicked(row) ? "+" : "") + program.CellText(row, 0) + "|" + program.CellText(row, 1));
  }
  return rows;
}
Rows ListBoxRows(HWND box) {
  Rows rows(static_cast<std::size_t>(SendMessageW(box, LB_GETCOUNT, 0, 0)));
  wchar_t text[256];
  for (std::size_t row = 0; row < rows.size(); ++row) {
    const LRESULT length = SendMessageW(box, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text));
    rows[row] = Narrow(text, static_cast<std::size_t>(length));
  }
  return rows;
}
// Sends a button's command as a click would if it were enabled; a question asked after all is
// answered No. True when none was asked.
bool CommandAsksNothing(const ProgramDriver& program, int button) {
  const bool returned = SendMessageTimeoutW(program.Main(), WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0,
                                            SMTO_NORMAL, 3000, nullptr) != 0;
  if (program.FindMessageBox() == nullptr) return returned;
  program.AnswerMessageBox(IDNO);
  return false;
}

// A fresh start writes no settings. Rows come sweep first, then own patterns, quick search, Word,
// Thumbs.db; a second scan starts afresh. Every way of ticking counts: a click on a box, Space,
// a tick set from outside, Tick all and Untick all; typing a number finds its row.
TEST(MainWindow, ScanFindsEveryTargetKindInOrderAndEveryWayOfTickingCounts) {
  TempTree tree("scan-kinds");
  for (const char* file : {"app.dsw", "Debug\\main.obj", "notes.tmp", "trace.log", "keep.txt"}) tree.MakeFile(file);
  tree.MakeFile("~$report.doc", FILE_ATTRIBUTE_HIDDEN);
  tree.MakeFile("Thumbs.db", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  const ProgramDriver program(Program(), Name());
  ASSERT_NE(program.Main(), nullptr);
  for (const char* section : {"Recent", "UserType"}) EXPECT_TRUE(Settings().ReadSection(section).EntryNames().empty());
  for (int box : {IDC_TARGET_VC6, IDC_TARGET_WORD}) program.SetBox(box, true);
  HWND ownPatterns = program.OpenOwnPatterns();
  ASSERT_TRUE(program.EnterPattern(ownPatterns, IDC_ADD_PATTERN, "*.tmp") && program.CloseWith(ownPatterns, IDOK));
  ASSERT_TRUE(program.SetQuickSearch("*.log"));
  const std::string root = tree.Root();
  Rows rows = {"1|" + root + "\\Debug\\main.obj", "2|" + root + "\\notes.tmp", "3|" + root + "\\trace.log",
               "4|" + root + "\\~$report.doc", "5|" + root + "\\Thumbs.db"};
  ASSERT_TRUE(Scan(program, root));
  EXPECT_EQ(RowsOf(program), Rows(rows.begin(), rows.end() - 1));
  program.SetBox(IDC_TARGET_THUMBS, true);
  ASSERT_TRUE(Scan(program, root + "\\"));
  EXPECT_EQ(RowsOf(program), rows);
  HWND list = GetDlgItem(program.Main(), IDC_RESULT_LIST);
  ASSERT_TRUE(program.ClickTickBox(1) && program.ClickTickBox(2));
  SendMessageW(list, WM_KEYDOWN, VK_SPACE, 0);  // on the row clicked last, which has the focus
  program.SetTick(4, true);
  SendMessageW(list, WM_CHAR, L'4', 1);
  rows[1] = "+" + rows[1];
  rows[4] = "+" + rows[4];
  EXPECT_EQ(RowsOf(program), rows);
  EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 3);
  program.Press(IDC_CHECK_ALL);
  for (std::string& row : rows) row = row[0] == '+' ? row : "+" + row;
  EXPECT_EQ(RowsOf(program), rows);
  program.Press(IDC_CHECK_NONE);
  for (std::string& row : rows) row = row.substr(1);
  EXPECT_EQ(RowsOf(program), rows);
}

// Each delete button asks its question; No changes nothing, Yes removes the ticked row exactly
// when its mode's operation succeeds, the modes told apart by the files (shred alone keeps a
// file with a second name, whose data the zeros would reach). With no rows only "who is using"
// asks. The rows that stay keep their numbers.
TEST(MainWindow, EachButtonAsksItsQuestionAndRemovesTheTickedRowInItsMode) {
  enum Outcome { kKept, kGone, kRecycled, kPending };  // the row goes unless the file is kept
  const Rows files = {"a 报告.tmp", "b Übersicht.tmp", "c сводка.tmp", "d データ.tmp", "e 😀.tmp"};
  const struct { int button, question; std::string file; Outcome outcome; } cases[] = {
      {IDC_PLAIN_DELETE, IDS_CONFIRM_PLAIN, files[0], kKept},
      {IDC_FORCED_DELETE, IDS_CONFIRM_FORCED, files[0], kGone},
      {IDC_SHRED_DELETE, IDS_CONFIRM_SHRED, files[1], kKept},
      {IDC_RECYCLE_DELETE, IDS_CONFIRM_RECYCLE, files[2], kRecycled},
      {IDC_RESTART_DELETE, IDS_CONFIRM_RESTART, files[3], kPending},
      {IDC_SUPER_DELETE, IDS_CONFIRM_SUPER, files[4], kKept},
      {IDC_WHO_IS_USING, IDS_WHO_IS_USING, files[4], kKept}};
  const TempTree tree("delete");
  tree.MakeFile(files[0], FILE_ATTRIBUTE_READONLY);
  for (std::size_t f = 1; f < files.size(); ++f) tree.MakeFile(files[f], FILE_ATTRIBUTE_NORMAL, "secret");
  ASSERT_TRUE(CreateHardLinkW(Verbatim(tree.Path("b.link")).c_str(), Verbatim(tree.Path(files[1])).c_str(), nullptr));
  const std::string data = EnvironmentPath("XDG_DATA_HOME");
  ASSERT_FALSE(data.empty()) << "recycling needs the tests' own recycle bin";
  RemoveTree(data + "\\Trash");
  MakeDirectories(data);  // Wine makes the bin itself, but only inside a data directory that exists
  const ProgramDriver program(Program(), Name());
  ASSERT_TRUE(program.SetQuickSearch("*.tmp"));
  program.Press(IDC_SCAN);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(program.Main(), IDC_SCAN))) << "a scan without a directory";
  for (const auto& tested : cases) {
    EXPECT_TRUE(tested.button == IDC_WHO_IS_USING || CommandAsksNothing(program, tested.button)) << tested.button;
  }
  ProgramDriver::Click(program.Main(), IDC_WHO_IS_USING);
  EXPECT_EQ(program.AnswerMessageBox(IDYES), LoadResourceString(IDS_WHO_IS_USING));
  ASSERT_TRUE(Scan(program, tree.Root() + "\\"));
  Rows rows = RowsOf(program);
  ASSERT_EQ(rows.size(), files.size());
  for (const auto& tested : cases) {
    const auto at = std::find_if(rows.begin(), rows.end(), [&](const std::string& row) {
      return row.substr(row.find('|') + 1) == tree.Path(tested.file);
    });
    ASSERT_NE(at, rows.end());
    program.Press(IDC_CHECK_NONE);
    program.SetTick(static_cast<int>(at - rows.begin()), true);
    *at = "+" + *at;
    for (const int answer : {IDNO, IDYES}) {
      ProgramDriver::Click(program.Main(), tested.button);
      EXPECT_EQ(program.AnswerMessageBox(answer), LoadResourceString(tested.question));
      ASSERT_TRUE(Idle(program));
      if (answer == IDYES && tested.outcome != kKept) rows.erase(at);
      EXPECT_EQ(RowsOf(program), rows) << tested.button << " " << answer;
    }
    if (tested.outcome == kKept) *at = at->substr(1);
    EXPECT_EQ(PathExists(tree.Path(tested.file)), tested.outcome == kKept || tested.outcome == kPending);
    const std::string recycled = ReadBytes(data + "\\Trash\\files\\" + tested.file);
    EXPECT_EQ(recycled, tested.outcome == kRecycled ? "secret" : "<unreadable>");
  }
  EXPECT_EQ(ReadBytes(tree.Path("b.link")), "secret");
}

// While a deletion runs no command starts a second worker. Cancel hides the progress at once;
// Exit only cancels; Enter ends the window once the worker has. Each way the shred of the file in
// hand (a large one) stops between its blocks, leaving the file under its name and its row; no
// cancel carries over. Exit during a scan ends the window once the
// scan has stopped, keeping the directory, which Enter does not keep.
TEST(MainWindow, OneWorkerAtATimeAndCancelExitOrEnterStopsItWithTheFileInHand) {
  const TempTree tree("busy");
  constexpr int kSmallFiles = 400;  // each in a directory of its own, so that a scan takes a while
  for (int d = 0; d < kSmallFiles; ++d) tree.MakeFile("d" + std::to_string(d) + "\\f.dat");
  {
    const ProgramDriver program(Program(), Name());
    ASSERT_TRUE(program.SetQuickSearch("*.dat"));
    for (const std::string way : {"Cancel", "Exit", "Enter"}) {
      SCOPED_TRACE(way);
      ASSERT_TRUE(WriteAt(tree.Path("big.dat"), 0, std::string(256 << 20, 'x')));  // allocated: a sparse one is refused
      ASSERT_TRUE(Scan(program, tree.Root()));
      program.Press(IDC_CHECK_ALL);
      ASSERT_TRUE(program.PressAndAnswer(IDC_SHRED_DELETE, IDYES));
      HWND progress = program.WaitForDialog(IDC_PROGRESS_BAR, PROGRESS_CLASSW);
      ASSERT_EQ(ProgramDriver::Text(progress), "正在删除...");
      for (int button : {IDC_SCAN, IDC_PLAIN_DELETE, IDC_FORCED_DELETE, IDC_SHRED_DELETE, IDC_RECYCLE_DELETE,
                         IDC_RESTART_DELETE}) {
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(program.Main(), button))) << button;
        EXPECT_TRUE(way != "Cancel" || CommandAsksNothing(program, button)) << button;
      }
      if (way == "Enter") {
        PostMessageW(program.Main(), WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(ProgramDriver::WaitUntil([&] { return !IsWindow(program.Main()); }));
        EXPECT_EQ(ReadBytes(tree.Path("big.dat"), (256 << 20) - 1, 1), "x");
        break;
      }
      SendMessageW(way == "Exit" ? program.Main() : progress, WM_COMMAND, IDCANCEL, 0);
      EXPECT_EQ(IsWindowVisible(progress) != FALSE, way == "Exit");
      ASSERT_TRUE(Idle(program));
      EXPECT_EQ(ReadBytes(tree.Path("big.dat"), (256 << 20) - 1, 1), "x");
      EXPECT_EQ(program.RowCount(), kSmallFiles + 1);
    }
    EXPECT_EQ(WaitForSingleObject(program.Process(), 20000), WAIT_OBJECT_0);
    EXPECT_EQ(Settings().ReadString("Recent", "Search", "<missing>"), "<missing>");
  }
  const ProgramDriver program(Program(), Name());
  program.SetBox(IDC_TARGET_VC6, true);
  program.SetDirectory(tree.Root());
  program.Press(IDC_SCAN);
  ASSERT_NE(program.WaitForDialog(IDC_PROGRESS_BAR, PROGRESS_CLASSW), nullptr);
  PostMessageW(program.Main(), WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(WaitForSingleObject(program.Process(), 20000), WAIT_OBJECT_0);
  EXPECT_EQ(Settings().ReadString("Recent", "Search", "<missing>"), tree.Root());
}

// Settings and message box titles go by the program's own name. Own patterns load as Count and
// FileType1..n back them; one is not added where a row begins with it in any case; Cancel keeps
// the list; a shrunk list leaves the values above Count. The quick-search box keeps its caption
// through a cancelled entry. The directory shown at the start is kept on Exit.
TEST(MainWindow, SettingsAreKeptUnderTheProgramsOwnName) {
  const Rows patterns = {"*.bak", "Temp\\*.tmp", "*.old", "~*.*", "*.chk"};
  const ProgramDriver program(Program(), Name(), [&] {
    Settings().WriteString("Recent", "Search", "Z:\\no such place\\最近的目录");
    Settings().WriteInt("UserType", "Count", 5);
    for (int k = 1; k <= 5; ++k) Settings().WriteString("UserType", "FileType" + std::to_string(k), patterns[k - 1]);
  });
  HWND main = program.Main();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(ProgramDriver::Text(main), "Vellox磁盘清理/文件查找程序 - support@vellox.example");
  EXPECT_EQ(ProgramDriver::ItemText(main, IDC_NOTICE).rfind("Vellox", 0), 0u);
  HWND tip = nullptr;
  do tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr);
  while (tip != nullptr && GetWindow(tip, GW_OWNER) != main);
  EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 5);
  PostMessageW(main, WM_KEYDOWN, VK_F1, 1);
  EXPECT_EQ(program.AnswerMessageBox(IDOK), "启动帮助失败。");
  EXPECT_EQ(ProgramDriver::ItemText(main, IDC_DIRECTORY), "Z:\\no such place\\最近的目录");
  HWND list = program.OpenOwnPatterns();
  for (const char* added : {"*.b", "*.OLD", "*.bakx"}) ASSERT_TRUE(program.EnterPattern(list, IDC_ADD_PATTERN, added));
  Rows listed = patterns;
  listed.push_back("*.bakx");
  EXPECT_EQ(ListBoxRows(GetDlgItem(list, IDC_PATTERN_LIST)), listed);
  ASSERT_TRUE(program.CloseWith(list, IDCANCEL));
  list = program.OpenOwnPatterns();
  HWND box = GetDlgItem(list, IDC_PATTERN_LIST);
  ASSERT_EQ(ListBoxRows(box), patterns);
  for (int removed = 0; removed < 3; ++removed) {
    SendMessageW(box, LB_SETCURSEL, 1, 0);
    program.Press(IDC_REMOVE_PATTERN, list);
  }
  ASSERT_TRUE(program.CloseWith(list, IDOK));
  EXPECT_EQ(Settings().ReadInt("UserType", "Count", -1), 2);
  for (int k = 1; k <= 5; ++k) {
    EXPECT_EQ(Settings().ReadString("UserType", "FileType" + std::to_string(k)), patterns[k == 2 ? 4 : k - 1]);
  }
  const std::string caption = ProgramDriver::ItemText(main, IDC_TARGET_QUICK);
  ProgramDriver::Click(main, IDC_TARGET_QUICK);
  ASSERT_TRUE(program.CloseWith(program.WaitForDialog(IDC_PATTERN_EDIT, WC_COMBOBOXW), IDCANCEL));
  EXPECT_EQ(SendDlgItemMessageW(main, IDC_TARGET_QUICK, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(ProgramDriver::ItemText(main, IDC_TARGET_QUICK), caption);
  ASSERT_TRUE(program.SetQuickSearch("*.log"));  // unticking asks nothing
  EXPECT_EQ(ProgramDriver::ItemText(main, IDC_TARGET_QUICK), "指定文件: *.log");
  program.SetDirectory("D:\\别的目录");
  EXPECT_TRUE(program.Exit(std::chrono::seconds(30)));
  EXPECT_EQ(Settings().ReadString("Recent", "Search"), "D:\\别的目录");
}

}  // namespace
