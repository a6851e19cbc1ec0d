// The main window as its user and outside tools meet it, driven from another process.
#include "engine/removal_outcome.h"
#include "tests/support/program_driver.h"
#include "tests/win32/temp_tree.h"
#include "ui/app/settings_store.h"
#include "ui/framework/dialog.h"

#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
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
// The system's words for an error, as the 结果 column shows them.
std::string SystemMessage(DWORD error) {
  wchar_t text[512];
  const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                      text, 512, nullptr);
  const std::string message = Narrow(text, length);
  return message.substr(0, message.find_last_not_of("\r\n ") + 1);
}
// A size as the status bar writes it.
std::string ByteSize(LONGLONG bytes) {
  wchar_t text[64];
  return Narrow(StrFormatByteSizeW(bytes, text, 64));
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
  for (const char* file : {"app.dsw", "Debug\\main.obj", "trace.log", "keep.txt"}) tree.MakeFile(file);
  tree.MakeFile("notes.tmp", FILE_ATTRIBUTE_NORMAL, std::string(5000, 'n'));
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
  EXPECT_EQ(program.CellText(1, 2) + "|" + program.CellText(2, 2), "5 KB|0 KB");
  EXPECT_EQ(program.StatusText(0), "共 5 个文件，" + ByteSize(5000));
  HWND list = GetDlgItem(program.Main(), IDC_RESULT_LIST);
  ASSERT_TRUE(program.ClickTickBox(1) && program.ClickTickBox(2));
  SendMessageW(list, WM_KEYDOWN, VK_SPACE, 0);  // on the row clicked last, which has the focus
  program.SetTick(4, true);
  SendMessageW(list, WM_CHAR, L'4', 1);
  rows[1] = "+" + rows[1];
  rows[4] = "+" + rows[4];
  EXPECT_EQ(RowsOf(program), rows);
  EXPECT_EQ(program.StatusText(1), "已勾选 2 个，" + ByteSize(5000));
  const auto selected = [&] { return SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED); };
  EXPECT_EQ(selected(), 3);
  // By size, equal sizes by number; a second click reverses; ticks and selection stay with their rows.
  program.ClickHeader(2);
  EXPECT_EQ(RowsOf(program), (Rows{rows[0], rows[2], rows[3], rows[4], rows[1]}));
  EXPECT_EQ(selected(), 2);
  program.ClickHeader(2);
  EXPECT_EQ(RowsOf(program), (Rows{rows[1], rows[0], rows[2], rows[3], rows[4]}));
  program.ClickHeader(0);
  EXPECT_EQ(RowsOf(program), rows);
  EXPECT_EQ(selected(), 3);
  program.Press(IDC_CHECK_ALL);
  for (std::string& row : rows) row = row[0] == '+' ? row : "+" + row;
  EXPECT_EQ(RowsOf(program), rows);
  program.Press(IDC_CHECK_NONE);
  for (std::string& row : rows) row = row.substr(1);
  EXPECT_EQ(RowsOf(program), rows);
  // Typing narrows the list; Tick all and a removal take the rows shown only; Esc shows all
  // again, the hidden rows still ticked as they were.
  program.SetTick(0, true);
  for (const char* filter : {"~$", "", "*.TMP"}) {
    ProgramDriver::SetItemText(program.Main(), IDC_FILTER, filter);
    ASSERT_TRUE(ProgramDriver::WaitUntil([&] { return program.RowCount() == (*filter ? 1 : 5); })) << filter;
  }
  EXPECT_EQ(program.StatusText(0), "共 1 个文件，" + ByteSize(5000) + "（全部 5 个）");
  program.Press(IDC_CHECK_ALL);
  EXPECT_EQ(program.StatusText(1), "已勾选 1 个，" + ByteSize(5000));
  ASSERT_TRUE(program.PressAndAnswer(IDC_PLAIN_DELETE, IDYES) && Idle(program));
  EXPECT_EQ(program.RowCount(), 0);
  PostMessageW(GetDlgItem(program.Main(), IDC_FILTER), WM_KEYDOWN, VK_ESCAPE, 0);
  ASSERT_TRUE(ProgramDriver::WaitUntil([&] { return program.RowCount() == 4; }));
  EXPECT_EQ(RowsOf(program), (Rows{"+" + rows[0], rows[2], rows[3], rows[4]}));
  EXPECT_TRUE(IsWindow(program.Main()));
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
  const std::string data = EnvironmentPath("XDG_DATA_HOME");
  if (data.empty()) GTEST_SKIP() << "recycling needs the tests' own recycle bin: Wine's, below XDG_DATA_HOME";
  const TempTree tree("delete");
  tree.MakeFile(files[0], FILE_ATTRIBUTE_READONLY);
  for (std::size_t f = 1; f < files.size(); ++f) tree.MakeFile(files[f], FILE_ATTRIBUTE_NORMAL, "secret");
  ASSERT_TRUE(CreateHardLinkW(Verbatim(tree.Path("b.link")).c_str(), Verbatim(tree.Path(files[1])).c_str(), nullptr));
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
    if (tested.button == IDC_PLAIN_DELETE) {  // the read-only file stays, and the row says why
      EXPECT_EQ(program.CellText(static_cast<int>(at - rows.begin()), 3), SystemMessage(ERROR_ACCESS_DENIED));
      EXPECT_EQ(program.StatusText(2), "已删除 0 个，释放 " + ByteSize(0) + "，1 个未删除");
    }
    if (tested.button == IDC_FORCED_DELETE) {
      EXPECT_EQ(program.StatusText(2), "已删除 1 个，释放 " + ByteSize(0) + "，0 个未删除");
    }
    if (tested.button == IDC_SHRED_DELETE) {  // the file has a second name, and the row says so
      const std::string reason = LoadResourceString(IDS_REFUSAL_BASE + static_cast<int>(Refusal::kOtherNames));
      EXPECT_EQ(program.CellText(static_cast<int>(at - rows.begin()), 3), reason);
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
      if (way == "Cancel") {  // of the list's commands only the copies work under a worker
        program.PressListKey('I', true);
        program.PressListKey('C', true, true);
        EXPECT_TRUE(program.IsTicked(0));
        EXPECT_EQ(ProgramDriver::ClipboardText().rfind(tree.Root(), 0), 0u);
      }
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

// The rows' ticks as "+" and "-", in the list's order.
std::string Ticks(const ProgramDriver& program) {
  std::string ticks;
  for (int row = 0; row < program.RowCount(); ++row) ticks += program.IsTicked(row) ? '+' : '-';
  return ticks;
}
void SetTicks(const ProgramDriver& program, const std::string& ticks) {
  for (std::size_t row = 0; row < ticks.size(); ++row) program.SetTick(static_cast<int>(row), ticks[row] == '+');
}
void PutOnClipboard(const std::string& text) {
  const std::wstring wide = Widen(text);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * 2);
  std::copy_n(wide.c_str(), wide.size() + 1, static_cast<wchar_t*>(GlobalLock(memory)));
  GlobalUnlock(memory);
  ASSERT_TRUE(OpenClipboard(nullptr) && EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, memory));
  CloseClipboard();
}

// Each key of the list and each item of the row menu (by its letter) against what it does; those
// that need a row, or rows, do nothing without. Ticking by pattern ticks exactly the rows that a
// scan for the same pattern lists. The menu opened from the keyboard stands at the focused row.
TEST(MainWindow, ListKeysAndRowMenuItemsDoWhatTheirTableSays) {
  TempTree tree("keys");
  const Rows files = {"a.tmp", "b.log", "C 报告,第1版.TMP", "d.tmp.bak"};
  for (const std::string& file : files) tree.MakeFile(file);
  tree.MakeDirectory("empty");
  const ProgramDriver program(Program(), Name());
  ASSERT_TRUE(program.SetQuickSearch("*.tmp"));
  ASSERT_TRUE(Scan(program, tree.Root()));
  const int scannedRows = program.RowCount();
  ASSERT_TRUE(program.SetQuickSearch("*.*"));
  ASSERT_TRUE(Scan(program, tree.Root()));
  program.ClickHeader(1);  // in the order of files
  std::vector<std::string> path;
  for (const std::string& file : files) path.push_back(tree.Path(file));
  ASSERT_EQ(RowsOf(program), (Rows{"1|" + path[0], "2|" + path[1], "3|" + path[2], "4|" + path[3]}));
  enum Effect { kClipboard, kTicks, kPattern, kQuestion, kSave, kNothing };
  const struct {
    UINT key; bool control, shift; wchar_t letter;  // the key, or the menu item's letter
    int selected; std::string ticks;
    Effect effect; std::string expected;  // clipboard, ticks, or the question or caption
  } cases[] = {
      {'C', true, false, 0, 1, "----", kClipboard, path[1]},
      {0, false, false, 'c', 2, "----", kClipboard, path[2]},
      {'C', true, false, 0, -1, "++++", kNothing, ""},
      {'C', true, true, 0, -1, "+-+-", kClipboard, path[0] + "\r\n" + path[2] + "\r\n"},
      {0, false, false, 'p', 3, "-+--", kClipboard, path[1] + "\r\n"},
      {0, false, false, 'p', 3, "----", kNothing, ""},
      {'I', true, false, 0, 0, "+-+-", kTicks, "-+-+"},
      {0, false, false, 'i', -1, "++--", kTicks, "--++"},
      {'T', true, false, 0, -1, "----", kPattern, "按模式勾选"},
      {0, false, false, 'u', -1, "++++", kPattern, "按模式取消勾选"},
      {VK_DELETE, false, false, 0, -1, "+---", kQuestion, LoadResourceString(IDS_CONFIRM_RECYCLE)},
      {VK_DELETE, false, true, 0, -1, "+---", kQuestion, LoadResourceString(IDS_CONFIRM_PLAIN)},
      {'S', true, false, 0, -1, "----", kSave, ""},
      {0, false, false, 'e', -1, "----", kSave, ""},
      {0, false, false, 'o', -1, "----", kNothing, ""},
      {0, false, false, 'f', -1, "----", kNothing, ""},
  };
  HWND main = program.Main();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.letter != 0 ? "menu " + std::string(1, static_cast<char>(c.letter)) : "key " + std::to_string(c.key));
    program.Select(c.selected);
    SetTicks(program, c.ticks);
    PutOnClipboard("before");
    if (c.letter != 0) {
      HWND menu = program.OpenRowMenu();
      ASSERT_NE(menu, nullptr);
      ASSERT_TRUE(program.ChooseMenuItem(menu, c.letter));
    } else {
      program.PressListKey(c.key, c.control, c.shift);
    }
    const bool opens = c.effect == kQuestion || c.effect == kPattern || c.effect == kSave;
    HWND opened = nullptr;
    ProgramDriver::WaitUntil([&] { return (opened = program.FindOwnWindow(L"#32770", main)) != nullptr || !opens; }, 5000);
    EXPECT_EQ(opened != nullptr, opens);
    EXPECT_EQ(ProgramDriver::ClipboardText(), c.effect == kClipboard ? c.expected : "before");
    if (c.effect == kTicks) { EXPECT_EQ(Ticks(program), c.expected); }
    if (c.effect == kQuestion) { EXPECT_EQ(program.AnswerMessageBox(IDNO), c.expected); }
    if (c.effect == kSave) { EXPECT_TRUE(program.CloseWith(program.WaitForSaveDialog(), IDCANCEL)); }
    if (c.effect == kPattern) {
      EXPECT_EQ(ProgramDriver::Text(opened), c.expected);
      ProgramDriver::SetItemText(opened, IDC_PATTERN_EDIT, c.key != 0 ? "*.tmp" : "c*");
      ASSERT_TRUE(program.CloseWith(opened, IDOK));
      EXPECT_EQ(Ticks(program), c.key != 0 ? "+-+-" : "++-+");
      if (c.key != 0) { EXPECT_EQ(scannedRows, 2) << "the scan for *.tmp listed other rows"; }
    }
    if (c.effect != kTicks && c.effect != kPattern) { EXPECT_EQ(Ticks(program), c.ticks); }
  }
  // Paging moves the one selected row, and keeps it where there is nowhere to go.
  const auto selection = [&] { return SendDlgItemMessageW(main, IDC_RESULT_LIST, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED); };
  program.Select(0);
  for (int press = 0; press < 2; ++press) {
    program.PressListKey(VK_NEXT);
    EXPECT_EQ(selection(), 3);
    EXPECT_EQ(SendDlgItemMessageW(main, IDC_RESULT_LIST, LVM_GETSELECTEDCOUNT, 0, 0), 1);
  }
  // From the keyboard the menu opens below the focused row, at its text.
  program.Select(2);
  HWND menu = program.OpenRowMenu();
  ASSERT_NE(menu, nullptr);
  RECT shown{};
  GetWindowRect(menu, &shown);
  const RECT row = program.RowRect(2, LVIR_LABEL);
  EXPECT_EQ(shown.left, row.left);
  EXPECT_EQ(shown.top, row.bottom);
  PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
  // A folder dropped on the window is the directory to scan; a file brings its folder.
  program.Drop(path[2]);
  EXPECT_EQ(ProgramDriver::ItemText(main, IDC_DIRECTORY), tree.Root());
  program.Drop(tree.Path("empty"));
  EXPECT_EQ(ProgramDriver::ItemText(main, IDC_DIRECTORY), tree.Path("empty"));
  // With no rows nothing asks or opens.
  ASSERT_TRUE(Scan(program, tree.Path("empty")));
  for (const auto& key : {std::pair<UINT, bool>{VK_DELETE, false}, {'S', true}, {'T', true}, {'I', true}}) {
    program.PressListKey(key.first, key.second);
    EXPECT_EQ(program.FindOwnWindow(L"#32770", main), nullptr) << key.first;
  }
}

// The export writes every row still in the list in number order, whatever the list's order, as
// UTF-8 CSV with a byte order mark. An existing file is replaced only after the Save dialog's own
// question; one that cannot be replaced gives the system's words and keeps what it held, and no
// file of the export's stays behind.
TEST(MainWindow, ExportWritesEveryRowAsCsvAndReplacesAFileOnlyWhenComplete) {
  TempTree tree("export");
  tree.MakeFile("报告,第1版.tmp", FILE_ATTRIBUTE_NORMAL, std::string(1234, 'x'));
  tree.MakeFile("b.tmp", FILE_ATTRIBUTE_READONLY);
  tree.MakeDirectory("out");
  const std::string target = tree.Path("out\\列表.csv");
  ASSERT_TRUE(WriteAt(target, 0, "old"));
  const ProgramDriver program(Program(), Name());
  ASSERT_TRUE(program.SetQuickSearch("*.tmp"));
  ASSERT_TRUE(Scan(program, tree.Root()));
  ASSERT_EQ(program.RowCount(), 2);
  const int readOnly = program.CellText(0, 1) == tree.Path("b.tmp") ? 0 : 1;
  program.SetTick(readOnly, true);
  ASSERT_TRUE(program.PressAndAnswer(IDC_PLAIN_DELETE, IDYES) && Idle(program));
  std::string expected = "\xEF\xBB\xBF序号,文件,大小,结果,勾选\r\n";
  for (int row = 0; row < 2; ++row) {
    expected += row == readOnly ? program.CellText(row, 0) + "," + tree.Path("b.tmp") + ",0," + SystemMessage(ERROR_ACCESS_DENIED) + ",1\r\n"
                                : program.CellText(row, 0) + ",\"" + tree.Path("报告,第1版.tmp") + "\",1234,,0\r\n";
  }
  program.ClickHeader(0);
  program.ClickHeader(0);  // numbers descending
  const auto exportOver = [&](int answer) {
    program.PressListKey('S', true);
    HWND save = program.WaitForSaveDialog();
    ProgramDriver::SaveAs(save, target);
    HWND question = nullptr;
    ASSERT_TRUE(ProgramDriver::WaitUntil([&] { return (question = program.FindOwnWindow(L"#32770", save)) != nullptr; }));
    ProgramDriver::Click(question, answer);
    if (answer == IDNO) {
      ASSERT_TRUE(program.CloseWith(save, IDCANCEL));
    }
    ASSERT_TRUE(ProgramDriver::WaitUntil([&] { return !IsWindow(save); }) && Idle(program));
  };
  exportOver(IDNO);
  EXPECT_EQ(ReadBytes(target), "old");
  exportOver(IDYES);
  EXPECT_EQ(ReadBytes(target), expected);
  // Held open, as a spreadsheet program holds the file it shows.
  ASSERT_TRUE(DeleteFileW(Verbatim(target).c_str()) && WriteAt(target, 0, "kept"));
  const HANDLE held = CreateFileW(Verbatim(target).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  exportOver(IDYES);
  EXPECT_EQ(program.AnswerMessageBox(IDOK), "无法导出到 " + target + "\n\n" + SystemMessage(ERROR_ACCESS_DENIED));
  CloseHandle(held);
  EXPECT_EQ(ReadBytes(target), "kept");
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW(Verbatim(tree.Path("out\\*")).c_str(), &found);
  int entries = 0;
  for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) ++entries;
  FindClose(search);
  EXPECT_EQ(entries, 3) << "., .. and the target";
}

// Place, size, maximised state and column widths come back at the next start and are kept at the
// end; stored values nobody could use give the template's size, centred, and the columns'
// defaults. The list takes what the window gains, the buttons below it keep their distance from
// the bottom edge, those on the right from the right edge too; nothing makes the window smaller.
TEST(MainWindow, KeepsItsGeometryAndRefusesStoredValuesNobodyCouldUse) {
  struct Value { const char* name; std::int64_t number; bool text = false; };
  const std::vector<Value> kept = {{"Left", 100}, {"Top", 60}, {"Right", 900}, {"Bottom", 760}};
  const auto with = [&](std::vector<Value> more) { return more.insert(more.begin(), kept.begin(), kept.end()), more; };
  enum Place { kCentred, kKept, kGrownToTheLeast };
  const struct { const char* what; std::vector<Value> stored; Place place; bool maximised; std::vector<int> columns; } cases[] = {
      {"nothing", {}, kCentred, false, {50, 280, 70, 100}},
      {"as kept", with({{"Maximized", 0}, {"Column0", 60}, {"Column1", 500}, {"Column2", 90}, {"Column3", 200}}), kKept,
       false, {60, 500, 90, 200}},
      {"maximised", with({{"Maximized", 1}}), kKept, true, {50, 280, 70, 100}},
      {"text", {{"Left", 100, true}, {"Top", 60}, {"Right", 900}, {"Bottom", 760}}, kCentred, false, {50, 280, 70, 100}},
      {"off every monitor", {{"Left", -30000}, {"Top", -30000}, {"Right", -29000}, {"Bottom", -29300}}, kCentred, false,
       {50, 280, 70, 100}},
      {"no width", {{"Left", 100}, {"Top", 60}, {"Right", 100}, {"Bottom", 760}}, kCentred, false, {50, 280, 70, 100}},
      {"upside down", {{"Left", 100}, {"Top", 760}, {"Right", 900}, {"Bottom", 60}}, kCentred, false, {50, 280, 70, 100}},
      {"huge", {{"Left", 100}, {"Top", 60}, {"Right", 100100}, {"Bottom", 760}}, kCentred, false, {50, 280, 70, 100}},
      {"too small", {{"Left", 100}, {"Top", 60}, {"Right", 200}, {"Bottom", 100}}, kGrownToTheLeast, false, {50, 280, 70, 100}},
      {"absurd columns", {{"Column0", 0}, {"Column1", -5}, {"Column2", 1000000}, {"Column3", 90, true}}, kCentred, false,
       {50, 280, 70, 100}},
  };
  RECT least{};  // the template's size, centred
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const ProgramDriver program(Program(), Name(), [&] {
      for (const Value& v : c.stored) {
        v.text ? Settings().WriteString("Window", v.name, std::to_string(v.number))
               : Settings().WriteInt("Window", v.name, static_cast<std::int32_t>(v.number));
      }
    });
    HWND main = program.Main();
    ASSERT_NE(main, nullptr);
    RECT at{};  // the placement's normal place cannot be read from another process under Wine
    GetWindowRect(main, &at);
    if (c.place == kCentred && least.right == 0) least = at;
    const RECT expected = c.place == kCentred ? least
                          : c.place == kKept  ? RECT{100, 60, 900, 760}
                                              : RECT{100, 60, 100 + least.right - least.left, 60 + least.bottom - least.top};
    EXPECT_TRUE(c.maximised || EqualRect(&at, &expected)) << at.left << "," << at.top << " " << at.right << "," << at.bottom;
    EXPECT_EQ(IsZoomed(main) != FALSE, c.maximised);
    for (int column = 0; column < 4; ++column) {
      EXPECT_EQ(SendDlgItemMessageW(main, IDC_RESULT_LIST, LVM_GETCOLUMNWIDTH, column, 0), c.columns[column]) << column;
    }
    if (c.place == kCentred && c.stored.empty()) {
      const auto place = [&](int id) {
        RECT r{};
        GetWindowRect(GetDlgItem(main, id), &r);
        return std::to_string(r.left - at.left) + "," + std::to_string(r.top - at.top) + " " +
               std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
      };
      const int ids[] = {IDC_RESULT_LIST, IDC_DIRECTORY, IDC_BROWSE, IDC_CHECK_ALL, IDCANCEL, IDC_TARGET_QUICK};
      std::vector<std::string> before;
      for (int id : ids) before.push_back(place(id));
      SetWindowPos(main, nullptr, 0, 0, least.right - least.left + 200, least.bottom - least.top + 100, SWP_NOMOVE | SWP_NOZORDER);
      const auto moved = [](const std::string& text, int dx, int dy, int growX, int growY) {
        int x, y, w, h;
        std::sscanf(text.c_str(), "%d,%d %dx%d", &x, &y, &w, &h);
        return std::to_string(x + dx) + "," + std::to_string(y + dy) + " " + std::to_string(w + growX) + "x" + std::to_string(h + growY);
      };
      const std::vector<std::string> after = {moved(before[0], 0, 0, 200, 100), moved(before[1], 0, 0, 200, 0),
                                              moved(before[2], 200, 0, 0, 0),   moved(before[3], 0, 100, 0, 0),
                                              moved(before[4], 200, 100, 0, 0), before[5]};
      for (std::size_t i = 0; i < after.size(); ++i) EXPECT_EQ(place(ids[i]), after[i]) << ids[i];
      SetWindowPos(main, nullptr, 0, 0, 100, 100, SWP_NOMOVE | SWP_NOZORDER);
      RECT now{};
      GetWindowRect(main, &now);
      EXPECT_EQ(now.right - now.left, least.right - least.left);
      EXPECT_EQ(now.bottom - now.top, least.bottom - least.top);
      SendDlgItemMessageW(main, IDC_RESULT_LIST, LVM_SETCOLUMNWIDTH, 1, 333);
    }
    const int width = static_cast<int>(SendDlgItemMessageW(main, IDC_RESULT_LIST, LVM_GETCOLUMNWIDTH, 1, 0));
    ASSERT_TRUE(program.Exit(std::chrono::seconds(30)));
    const SettingsSection stored = Settings().ReadSection("Window");
    const RECT saved{stored.ReadInt("Left", -1), stored.ReadInt("Top", -1), stored.ReadInt("Right", -1),
                     stored.ReadInt("Bottom", -1)};
    EXPECT_TRUE(EqualRect(&saved, &expected)) << saved.left << "," << saved.top << " " << saved.right << "," << saved.bottom;
    EXPECT_EQ(stored.ReadInt("Maximized", -1), c.maximised ? 1 : 0);
    EXPECT_EQ(stored.ReadInt("Column1", -1), width);
  }
}

}  // namespace
