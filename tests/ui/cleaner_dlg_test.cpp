#include "engine/win32/utf.h"
#include "tests/ui/window_fixture.h"
#include "tests/win32/temp_tree.h"
#include "ui/resources/resource.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace mainwin;

namespace {

bool Exists(const std::string& path) {
  return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

const int kDeleteButtons[] = {IDC_PLAIN_DELETE, IDC_FORCED_DELETE, IDC_SHRED_DELETE,
                              IDC_RECYCLE_DELETE, IDC_RESTART_DELETE};

const char kFollowUs[] = "请关注我们的网站 ";
const char kComingSoon[] = " 不久即推出该功能";

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

bool EndsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Files spread over directories (Wine slows down with many files in one directory).
void MakeSpreadFiles(const TempTree& tree, int directories, int filesEach) {
  for (int d = 0; d < directories; ++d) {
    for (int f = 0; f < filesEach; ++f) {
      tree.MakeFile("d" + std::to_string(d) + "\\f" + std::to_string(f) + ".dat");
    }
  }
}

// Rows whose file is still on the disk, and rows in all.
int RowsWithExistingFiles(HWND main) {
  int existing = 0;
  for (const std::string& row : WindowDriver::Rows(ResultList(main))) {
    if (Exists(row.substr(row.find('|') + 1))) ++existing;
  }
  return existing;
}

int CountFiles(const std::string& directory) {
  int count = 0;
  WIN32_FIND_DATAW data;
  const HANDLE search = FindFirstFileW(Widen(directory + "\\*").c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return 0;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    count += (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0
                 ? CountFiles(directory + "\\" + Narrow(name))
                 : 1;
  } while (FindNextFileW(search, &data));
  FindClose(search);
  return count;
}

using MainWindowTest = WindowTest;

}  // namespace

TEST_F(MainWindowTest, ScanFindsEveryTargetKindInOrder) {
  TempTree tree("scan-kinds");
  tree.MakeFile("app.dsw");
  tree.MakeFile("Debug\\main.obj");
  tree.MakeFile("notes.tmp");
  tree.MakeFile("trace.log");
  tree.MakeFile("~$report.doc", FILE_ATTRIBUTE_HIDDEN);
  tree.MakeFile("Thumbs.db", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  tree.MakeFile("keep.txt");
  WriteCount(1);
  WriteSetting("UserType", "FileType1", "*.tmp");

  RunMainWindow([&](WindowDriver& driver, HWND main) {
    WindowDriver::ClickAndWait(main, IDC_TARGET_VC6);
    WindowDriver::Click(main, IDC_TARGET_CUSTOM);
    HWND list = driver.WaitForDialog(IDC_PATTERN_LIST, L"ListBox");
    ASSERT_NE(list, nullptr);
    WindowDriver::Click(list, IDOK);
    ASSERT_TRUE(WindowDriver::WaitUntil([&] { return !IsWindow(list); }));
    SetQuickSearch(driver, main, "*.log");
    WindowDriver::ClickAndWait(main, IDC_TARGET_WORD);
    WindowDriver::ClickAndWait(main, IDC_TARGET_THUMBS);

    Scan(main, tree.Root());
    const std::string root = tree.Root();
    // The workspace sweep first, then the pattern walk: own patterns, quick search, Word,
    // Thumbs.db.
    EXPECT_EQ(WindowDriver::Rows(ResultList(main)),
              (std::vector<std::string>{"1|" + root + "\\Debug\\main.obj",
                                        "2|" + root + "\\notes.tmp", "3|" + root + "\\trace.log",
                                        "4|" + root + "\\~$report.doc",
                                        "5|" + root + "\\Thumbs.db"}));
    EXPECT_EQ(WindowDriver::Ticks(ResultList(main)), std::vector<bool>(5, false));
    WindowDriver::ClickAndWait(main, IDC_CHECK_ALL);
    EXPECT_EQ(WindowDriver::Ticks(ResultList(main)), std::vector<bool>(5, true));
    EXPECT_TRUE(WindowDriver::SaveScreenshot(main, "main-window-after-scan"));
    WindowDriver::ClickAndWait(main, IDC_CHECK_NONE);
    EXPECT_EQ(WindowDriver::Ticks(ResultList(main)), std::vector<bool>(5, false));

    // A second scan starts from an empty list.
    Scan(main, root + "\\");
    EXPECT_EQ(WindowDriver::Rows(ResultList(main)).size(), 5u);
    EXPECT_EQ(WindowDriver::Rows(ResultList(main)).front(), "1|" + root + "\\Debug\\main.obj");
  });
}

TEST_F(MainWindowTest, EmptyDirectoryFieldScansNothing) {
  RunMainWindow([&](WindowDriver& driver, HWND main) {
    WindowDriver::SetItemText(main, IDC_DIRECTORY, "");
    WindowDriver::ClickAndWait(main, IDC_SCAN);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(main, IDC_SCAN)));
    EXPECT_EQ(driver.FindDialog(IDC_PROGRESS_BAR, PROGRESS_CLASSW), nullptr);
  });
}

struct DeleteCase {
  const char* name;
  int button;
  const char* question;
  bool firstFileReadOnly;
  // The rows left, by file name, and whether their files stay on the disk.
  std::vector<std::string> rowsLeft;
  bool removedFilesStay;
};

void PrintTo(const DeleteCase& tested, std::ostream* out) { *out << tested.name; }

class DeleteCommandTest : public WindowTest, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(DeleteCommandTest, NoChangesNothingAndYesRemovesTheTickedRows) {
  const DeleteCase& tested = GetParam();
  TempTree tree(std::string("delete-") + tested.name);
  tree.MakeFile("a.tmp", tested.firstFileReadOnly ? FILE_ATTRIBUTE_READONLY
                                                  : FILE_ATTRIBUTE_NORMAL);
  tree.MakeFile("b.tmp");
  tree.MakeFile("c.tmp");

  RunMainWindow([&](WindowDriver& driver, HWND main) {
    SetQuickSearch(driver, main, "*.tmp");
    Scan(main, tree.Root());
    const std::vector<std::string> before = WindowDriver::Rows(ResultList(main));
    ASSERT_EQ(before.size(), 3u);
    TickRowsEndingWith(main, {"\\a.tmp", "\\c.tmp"});

    const auto declined = PressDelete(driver, main, tested.button, IDNO);
    EXPECT_EQ(declined.text, tested.question);
    EXPECT_EQ(declined.title, Dialog::MessageBoxTitle());
    EXPECT_TRUE(declined.hasYesNo);
    EXPECT_TRUE(declined.questionIcon);
    EXPECT_EQ(WindowDriver::Rows(ResultList(main)), before);
    for (const char* name : {"a.tmp", "b.tmp", "c.tmp"}) EXPECT_TRUE(Exists(tree.Path(name)));

    PressDelete(driver, main, tested.button, IDYES);
    std::vector<std::string> expected;
    for (const std::string& row : before) {
      for (const std::string& name : tested.rowsLeft) {
        if (EndsWith(row, "\\" + name)) expected.push_back(row);
      }
    }
    // Rows keep their numbers; a row whose file stayed keeps its tick.
    EXPECT_EQ(WindowDriver::Rows(ResultList(main)), expected);
    for (const char* name : {"a.tmp", "c.tmp"}) {
      bool rowLeft = false;
      for (const std::string& left : tested.rowsLeft) rowLeft = rowLeft || left == name;
      EXPECT_EQ(Exists(tree.Path(name)), rowLeft || tested.removedFilesStay) << name;
    }
    EXPECT_TRUE(Exists(tree.Path("b.tmp")));
    EXPECT_EQ(driver.FindMessageBox(), nullptr) << "a run ends without a message";
  });
  SetFileAttributesW(Widen(tree.Path("a.tmp")).c_str(), FILE_ATTRIBUTE_NORMAL);
}

INSTANTIATE_TEST_SUITE_P(
    EveryMode, DeleteCommandTest,
    ::testing::Values(
        DeleteCase{"plain", IDC_PLAIN_DELETE,
                   "是否<删除>所有选中的文件?\n删除后将无法还原!!\n\n删除文件:只读文件和系统文件等"
                   "无法删除的文件强被保留.",
                   true, {"a.tmp", "b.tmp"}, false},
        DeleteCase{"forced", IDC_FORCED_DELETE,
                   "是否<强制删除>所有选中的文件?\n删除后将无法还原!!\n\n强制删除:如果为文件为只"
                   "读或系统文件,同样会删除.",
                   true, {"b.tmp"}, false},
        DeleteCase{"shred", IDC_SHRED_DELETE,
                   "是否<粉碎删除>所有选中的文件?\n删除后将永远无法恢复!!\n\n粉碎删除:尝试将文件"
                   "全部写0,然后删除(比较花费时间)",
                   false, {"b.tmp"}, false},
        DeleteCase{"recycle", IDC_RECYCLE_DELETE,
                   "是否删除所有选中的文件?\n\n去回收站:文件被删去回收站(比较花费时间)", false,
                   {"b.tmp"}, false},
        DeleteCase{"restart", IDC_RESTART_DELETE,
                   "是否<重起删除>所有选中的文件?\n\n重起删除:向系统提交删除任务,重新启动系统后"
                   "删除.",
                   false, {"b.tmp"}, true}),
    [](const ::testing::TestParamInfo<DeleteCase>& param) { return param.param.name; });

TEST_F(MainWindowTest, EmptyListGuardsAndTheTwoAnnouncements) {
  TempTree tree("announcements");
  tree.MakeFile("a.tmp");
  RunMainWindow([&](WindowDriver& driver, HWND main) {
    for (int button : kDeleteButtons) {
      WindowDriver::Click(main, button);
      WindowDriver::Sync(main);
      EXPECT_EQ(driver.FindMessageBox(), nullptr) << "button " << button;
    }
    WindowDriver::Click(main, IDC_SUPER_DELETE);
    WindowDriver::Sync(main);
    EXPECT_EQ(driver.FindMessageBox(), nullptr);

    // Who is using speaks also over an empty list.
    WindowDriver::Click(main, IDC_WHO_IS_USING);
    const auto whoIsUsing = driver.AnswerMessageBox(IDYES);
    ASSERT_TRUE(whoIsUsing.has_value());
    EXPECT_TRUE(StartsWith(whoIsUsing->text,
                           "谁在使用:在系统中查找出正在使用选定文档的进程信息\n\n" +
                               std::string(kFollowUs)));
    EXPECT_TRUE(EndsWith(whoIsUsing->text, kComingSoon));
    EXPECT_TRUE(whoIsUsing->hasYesNo && whoIsUsing->questionIcon);

    SetQuickSearch(driver, main, "*.tmp");
    Scan(main, tree.Root());
    WindowDriver::ClickAndWait(main, IDC_CHECK_ALL);
    WindowDriver::Click(main, IDC_SUPER_DELETE);
    const auto super = driver.AnswerMessageBox(IDYES);
    ASSERT_TRUE(super.has_value());
    EXPECT_TRUE(StartsWith(super->text, "是否<超强删除>所有选中的文件?\n删除后将无法还原!!\n\n"));
    EXPECT_TRUE(EndsWith(super->text, kComingSoon));
    EXPECT_TRUE(super->hasYesNo && super->questionIcon);
    WindowDriver::Sync(main);
    EXPECT_EQ(driver.FindMessageBox(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(main, IDC_SCAN))) << "no worker started";
    EXPECT_EQ(WindowDriver::Rows(ResultList(main)).size(), 1u);
    EXPECT_TRUE(Exists(tree.Path("a.tmp")));
  });
}

// A tree big enough that a scan or a deletion is still running when the test acts.
class BusyWindowTest : public WindowTest {
 protected:
  static void SetUpTestSuite() {
    WindowTest::SetUpTestSuite();
    tree_ = new TempTree("busy");
    MakeSpreadFiles(*tree_, 60, 50);
  }
  static void TearDownTestSuite() {
    delete tree_;
    tree_ = nullptr;
  }
  void SetUp() override {
    WindowTest::SetUp();
    // Deletion tests remove files; put them back.
    MakeSpreadFiles(*tree_, 60, 50);
  }

  static constexpr int kFiles = 60 * 50;
  static TempTree* tree_;
};

TempTree* BusyWindowTest::tree_ = nullptr;

TEST_F(BusyWindowTest, CancelInTheProgressWindowStopsADeletion) {
  RunMainWindow([&](WindowDriver& driver, HWND main) {
    SetQuickSearch(driver, main, "*.dat");
    Scan(main, tree_->Root());
    ASSERT_EQ(WindowDriver::Rows(ResultList(main)).size(), static_cast<std::size_t>(kFiles));
    WindowDriver::ClickAndWait(main, IDC_CHECK_ALL);

    WindowDriver::Click(main, IDC_PLAIN_DELETE);
    ASSERT_TRUE(driver.AnswerMessageBox(IDYES).has_value());
    HWND progress = driver.WaitForDialog(IDC_PROGRESS_BAR, PROGRESS_CLASSW);
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(WindowDriver::Text(progress), "正在删除...");
    Sleep(300);
    EXPECT_TRUE(WindowDriver::SaveScreenshot(progress, "progress-window-deleting"));
    WindowDriver::Click(progress, IDCANCEL);
    ASSERT_TRUE(WaitForIdle(main));

    EXPECT_FALSE(IsWindowVisible(progress));
    const int rowsLeft = static_cast<int>(WindowDriver::Rows(ResultList(main)).size());
    EXPECT_GT(rowsLeft, 0) << "the run went to its end despite Cancel";
    EXPECT_EQ(RowsWithExistingFiles(main), rowsLeft);
    EXPECT_EQ(CountFiles(tree_->Root()), rowsLeft);
  });
}

TEST_F(BusyWindowTest, ExitDuringADeletionCancelsItAndASecondExitCloses) {
  const INT_PTR result = RunMainWindow([&](WindowDriver& driver, HWND main) {
    SetQuickSearch(driver, main, "*.dat");
    Scan(main, tree_->Root());
    WindowDriver::ClickAndWait(main, IDC_CHECK_ALL);
    WindowDriver::Click(main, IDC_SHRED_DELETE);
    ASSERT_TRUE(driver.AnswerMessageBox(IDYES).has_value());
    HWND progress = driver.WaitForDialog(IDC_PROGRESS_BAR, PROGRESS_CLASSW);
    ASSERT_NE(progress, nullptr);
    Sleep(200);

    WindowDriver::Click(main, IDCANCEL);
    WindowDriver::Sync(main);
    EXPECT_TRUE(IsWindow(main)) << "Exit during a deletion only cancels it";
    ASSERT_TRUE(WaitForIdle(main));
    EXPECT_FALSE(IsWindowVisible(progress));
    const int rowsLeft = static_cast<int>(WindowDriver::Rows(ResultList(main)).size());
    EXPECT_GT(rowsLeft, 0);
    EXPECT_EQ(CountFiles(tree_->Root()), rowsLeft);
    EXPECT_EQ(ReadSetting("Recent", "Search"), "<missing>") << "nothing saved yet";

    WindowDriver::Click(main, IDCANCEL);
    EXPECT_TRUE(WindowDriver::WaitUntil([&] { return !IsWindow(main); }));
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(ReadSetting("Recent", "Search"), tree_->Root());
}

TEST_F(BusyWindowTest, ExitDuringAScanEndsTheWindowOnceTheScanHasStopped) {
  const INT_PTR result = RunMainWindow([&](WindowDriver& driver, HWND main) {
    SetQuickSearch(driver, main, "*.*");
    WindowDriver::SetItemText(main, IDC_DIRECTORY, tree_->Root());
    WindowDriver::ClickAndWait(main, IDC_SCAN);
    ASSERT_NE(driver.WaitForDialog(IDC_PROGRESS_BAR, PROGRESS_CLASSW), nullptr);
    WindowDriver::Click(main, IDCANCEL);
    EXPECT_TRUE(WindowDriver::WaitUntil([&] { return !IsWindow(main); }));
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(ReadSetting("Recent", "Search"), tree_->Root());
}

TEST_F(BusyWindowTest, EnterDuringAScanEndsTheWindowWithoutSaving) {
  const INT_PTR result = RunMainWindow([&](WindowDriver& driver, HWND main) {
    SetQuickSearch(driver, main, "*.*");
    WindowDriver::SetItemText(main, IDC_DIRECTORY, tree_->Root());
    WindowDriver::ClickAndWait(main, IDC_SCAN);
    ASSERT_NE(driver.WaitForDialog(IDC_PROGRESS_BAR, PROGRESS_CLASSW), nullptr);
    PostMessageW(main, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WindowDriver::WaitUntil([&] { return !IsWindow(main); }));
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(ReadSetting("Recent", "Search"), "<missing>");
}

TEST_F(BusyWindowTest, NoSecondWorkerStartsWhileOneRuns) {
  RunMainWindow([&](WindowDriver& driver, HWND main) {
    SetQuickSearch(driver, main, "*.*");
    WindowDriver::SetItemText(main, IDC_DIRECTORY, tree_->Root());
    WindowDriver::ClickAndWait(main, IDC_SCAN);
    HWND progress = driver.WaitForDialog(IDC_PROGRESS_BAR, PROGRESS_CLASSW);
    ASSERT_NE(progress, nullptr);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(main, IDC_SCAN)));
    for (int button : kDeleteButtons) {
      EXPECT_FALSE(IsWindowEnabled(GetDlgItem(main, button))) << button;
      // Even a command that reaches the window asks nothing and starts nothing.
      SendMessageW(main, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
      EXPECT_EQ(driver.FindMessageBox(), nullptr) << button;
    }
    SendMessageW(main, WM_COMMAND, MAKEWPARAM(IDC_SCAN, BN_CLICKED), 0);
    ASSERT_TRUE(WaitForIdle(main));
    // One scan's rows: every file once, numbered 1 to n.
    const std::vector<std::string> rows = WindowDriver::Rows(ResultList(main));
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(kFiles));
    for (std::size_t row = 0; row < rows.size(); ++row) {
      EXPECT_TRUE(StartsWith(rows[row], std::to_string(row + 1) + "|")) << rows[row];
    }
    for (int button : kDeleteButtons) EXPECT_TRUE(IsWindowEnabled(GetDlgItem(main, button)));
  });
}

TEST_F(MainWindowTest, SettingsAreKeptAcrossRuns) {
  const std::string directory = "Z:\\no such place\\最近的目录";
  const std::vector<std::string> patterns = {"*.bak", "Temp\\*.tmp", "*.old", "~*.*", "*.chk"};
  // First run: a typed directory and five own patterns.
  RunMainWindow([&](WindowDriver& driver, HWND main) {
    EXPECT_EQ(WindowDriver::ItemText(main, IDC_DIRECTORY), "");
    WindowDriver::SetItemText(main, IDC_DIRECTORY, directory);
    WindowDriver::Click(main, IDC_TARGET_CUSTOM);
    HWND list = driver.WaitForDialog(IDC_PATTERN_LIST, L"ListBox");
    ASSERT_NE(list, nullptr);
    for (const std::string& pattern : patterns) {
      WindowDriver::Click(list, IDC_ADD_PATTERN);
      HWND entry = driver.WaitForDialog(IDC_PATTERN_EDIT, L"ComboBox");
      ASSERT_NE(entry, nullptr);
      WindowDriver::SetItemText(entry, IDC_PATTERN_EDIT, pattern);
      WindowDriver::Click(entry, IDOK);
      ASSERT_TRUE(WindowDriver::WaitUntil([&] { return !IsWindow(entry); }));
    }
    EXPECT_TRUE(WindowDriver::SaveScreenshot(list, "own-pattern-list"));
    WindowDriver::Click(list, IDOK);
    ASSERT_TRUE(WindowDriver::WaitUntil([&] { return !IsWindow(list); }));
    EXPECT_TRUE(WindowDriver::IsChecked(main, IDC_TARGET_CUSTOM));
    WindowDriver::Click(main, IDCANCEL);
    EXPECT_TRUE(WindowDriver::WaitUntil([&] { return !IsWindow(main); }));
  });
  EXPECT_EQ(ReadSetting("Recent", "Search"), directory);
  ASSERT_EQ(ReadCount(), 5);
  for (std::size_t k = 0; k < patterns.size(); ++k) {
    EXPECT_EQ(ReadSetting("UserType", "FileType" + std::to_string(k + 1)), patterns[k]);
  }

  // Second run: the same directory and patterns; shrink the list to two.
  RunMainWindow([&](WindowDriver& driver, HWND main) {
    EXPECT_EQ(WindowDriver::ItemText(main, IDC_DIRECTORY), directory);
    EXPECT_FALSE(WindowDriver::IsChecked(main, IDC_TARGET_CUSTOM));
    WindowDriver::Click(main, IDC_TARGET_CUSTOM);
    HWND list = driver.WaitForDialog(IDC_PATTERN_LIST, L"ListBox");
    ASSERT_NE(list, nullptr);
    HWND box = GetDlgItem(list, IDC_PATTERN_LIST);
    ASSERT_EQ(SendMessageW(box, LB_GETCOUNT, 0, 0), 5);
    for (int removed = 0; removed < 3; ++removed) {
      SendMessageW(box, LB_SETCURSEL, 1, 0);
      WindowDriver::ClickAndWait(list, IDC_REMOVE_PATTERN);
    }
    WindowDriver::Click(list, IDOK);
    ASSERT_TRUE(WindowDriver::WaitUntil([&] { return !IsWindow(list); }));
  });
  ASSERT_EQ(ReadCount(), 2);
  EXPECT_EQ(ReadSetting("UserType", "FileType1"), patterns[0]);
  EXPECT_EQ(ReadSetting("UserType", "FileType2"), patterns[4]);
  // Entries above the count keep their old texts.
  EXPECT_EQ(ReadSetting("UserType", "FileType3"), patterns[2]);
  EXPECT_EQ(ReadSetting("UserType", "FileType5"), patterns[4]);

  // Third run: two patterns are loaded.
  RunMainWindow([&](WindowDriver& driver, HWND main) {
    WindowDriver::Click(main, IDC_TARGET_CUSTOM);
    HWND list = driver.WaitForDialog(IDC_PATTERN_LIST, L"ListBox");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(SendMessageW(GetDlgItem(list, IDC_PATTERN_LIST), LB_GETCOUNT, 0, 0), 2);
  });
}

TEST_F(MainWindowTest, OwnPatternsLoadWithGapsAndIgnoreACountBelowOne) {
  struct Stored {
    std::int32_t count;
    std::vector<std::pair<std::string, std::string>> entries;
    std::vector<std::string> listed;
  };
  const Stored cases[] = {
      {3, {{"FileType1", "*.a"}, {"FileType3", "*.c"}}, {"*.a", "", "*.c"}},
      {0, {{"FileType1", "*.a"}}, {}},
      {-2, {{"FileType1", "*.a"}}, {}},
  };
  for (const Stored& stored : cases) {
    RemoveTestSettings();
    WriteCount(stored.count);
    for (const auto& entry : stored.entries) WriteSetting("UserType", entry.first, entry.second);
    RunMainWindow([&](WindowDriver& driver, HWND main) {
      WindowDriver::Click(main, IDC_TARGET_CUSTOM);
      HWND list = driver.WaitForDialog(IDC_PATTERN_LIST, L"ListBox");
      ASSERT_NE(list, nullptr);
      HWND box = GetDlgItem(list, IDC_PATTERN_LIST);
      std::vector<std::string> listed;
      const auto count = static_cast<int>(SendMessageW(box, LB_GETCOUNT, 0, 0));
      for (int row = 0; row < count; ++row) {
        wchar_t text[256] = {};
        SendMessageW(box, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text));
        listed.push_back(Narrow(text));
      }
      EXPECT_EQ(listed, stored.listed) << "count " << stored.count;
      // Cancel writes nothing.
      WindowDriver::Click(list, IDCANCEL);
      ASSERT_TRUE(WindowDriver::WaitUntil([&] { return !IsWindow(list); }));
    });
    EXPECT_EQ(ReadCount(), stored.count);
  }
}

TEST_F(MainWindowTest, QuickSearchCaptionFollowsTheEnteredPattern) {
  RunMainWindow([&](WindowDriver& driver, HWND main) {
    const std::string original = WindowDriver::ItemText(main, IDC_TARGET_QUICK);
    EXPECT_EQ(original, "选择这里,进行快速文件查找...");

    // Cancel keeps the box ticked and the caption as it was.
    WindowDriver::Click(main, IDC_TARGET_QUICK);
    HWND entry = driver.WaitForDialog(IDC_PATTERN_EDIT, L"ComboBox");
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(WindowDriver::SaveScreenshot(entry, "pattern-entry"));
    WindowDriver::Click(entry, IDCANCEL);
    ASSERT_TRUE(WindowDriver::WaitUntil([&] { return !IsWindow(entry); }));
    EXPECT_TRUE(WindowDriver::IsChecked(main, IDC_TARGET_QUICK));
    EXPECT_EQ(WindowDriver::ItemText(main, IDC_TARGET_QUICK), original);

    // Unticking opens nothing; ticking again asks again.
    WindowDriver::ClickAndWait(main, IDC_TARGET_QUICK);
    EXPECT_FALSE(WindowDriver::IsChecked(main, IDC_TARGET_QUICK));
    SetQuickSearch(driver, main, "*.log");
    EXPECT_EQ(WindowDriver::ItemText(main, IDC_TARGET_QUICK), "指定文件: *.log");
    WindowDriver::ClickAndWait(main, IDC_TARGET_QUICK);
    EXPECT_EQ(WindowDriver::ItemText(main, IDC_TARGET_QUICK), "指定文件: *.log");
    SetQuickSearch(driver, main, "Temp\\*.*");
    EXPECT_EQ(WindowDriver::ItemText(main, IDC_TARGET_QUICK), "指定文件: Temp\\*.*");
    EXPECT_TRUE(WindowDriver::IsChecked(main, IDC_TARGET_QUICK));
  });
}

static BOOL CALLBACK FindToolTip(HWND window, LPARAM found) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (std::wstring(name) != TOOLTIPS_CLASSW) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

TEST_F(MainWindowTest, InitialisationGivesTitleNoticeAndTheFiveTips) {
  RunMainWindow([&](WindowDriver&, HWND main) {
    const std::string title = WindowDriver::Text(main);
    EXPECT_TRUE(StartsWith(title, "Vellox磁盘清理/文件查找程序 - "));
    EXPECT_GT(title.size(), std::string("Vellox磁盘清理/文件查找程序 - ").size());
    EXPECT_FALSE(WindowDriver::ItemText(main, IDC_NOTICE).empty());

    HWND tips = nullptr;
    EnumThreadWindows(GetWindowThreadProcessId(main, nullptr), FindToolTip,
                      reinterpret_cast<LPARAM>(&tips));
    ASSERT_NE(tips, nullptr);
    const struct {
      int control;
      const char* text;
    } tipped[] = {
        {IDC_TARGET_VC6,
         "VC6工程文件目录中的Debug(U)和Release(U)目录下的VC6编译临时文件，*.obj *.res *.pdb...."},
        {IDC_TARGET_CUSTOM, "自定义自己常见的垃圾文件，自动保存入注册表中，下次直接使用"},
        {IDC_TARGET_QUICK, "选择后直接输入一个文件或一种类型，可用于文件查找"},
        {IDC_TARGET_WORD, "WORD编译文件时非法关闭，未删除的隐藏临时文件"},
        {IDC_TARGET_THUMBS, "选择预览图片文件夹后在该文件夹中产生的临时文件"},
    };
    ASSERT_EQ(SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), 5);
    for (int index = 0; index < 5; ++index) {
      TOOLINFOW tool{};
      tool.cbSize = TTTOOLINFOW_V2_SIZE;
      ASSERT_TRUE(SendMessageW(tips, TTM_ENUMTOOLSW, index, reinterpret_cast<LPARAM>(&tool)));
      EXPECT_EQ(reinterpret_cast<HWND>(tool.uId), GetDlgItem(main, tipped[index].control));
      wchar_t text[256] = {};
      tool.lpszText = text;
      SendMessageW(tips, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
      EXPECT_EQ(Narrow(text), tipped[index].text);
    }
  });
}

TEST_F(MainWindowTest, OpenWithoutAnAssociatedProgramSaysSo) {
  TempTree tree("open");
  tree.MakeFile("data.zzqx");
  RunMainWindow([&](WindowDriver& driver, HWND main) {
    SetQuickSearch(driver, main, "*.zzqx");
    Scan(main, tree.Root());
    WindowDriver::ClickAndWait(main, IDC_OPEN);
    EXPECT_EQ(driver.FindMessageBox(), nullptr) << "nothing selected, nothing opened";
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    SendMessageW(ResultList(main), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
    WindowDriver::Click(main, IDC_OPEN);
    const auto seen = driver.AnswerMessageBox(IDOK);
    ASSERT_TRUE(seen.has_value());
    EXPECT_EQ(seen->text, "没有关联任何程序用于打开该文件");
    EXPECT_TRUE(seen->hasOkOnly && seen->errorIcon);
    EXPECT_EQ(WindowDriver::Rows(ResultList(main)).size(), 1u);
  });
}
