#include "engine/win32/utf.h"
#include "tests/ui/window_fixture.h"
#include "tests/win32/temp_tree.h"
#include "ui/resources/resource.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace mainwin;

namespace {

bool Exists(const std::string& path) {
  return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

const int kDeleteButtons[] = {IDC_PLAIN_DELETE, IDC_FORCED_DELETE, IDC_SHRED_DELETE,
                              IDC_RECYCLE_DELETE, IDC_RESTART_DELETE};

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

bool EndsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::size_t RowCount(HWND main) { return WindowDriver::Rows(ResultList(main)).size(); }

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
  Settings().WriteInt("UserType", "Count", 1);
  Settings().WriteString("UserType", "FileType1", "*.tmp");

  RunMainWindow([&](WindowDriver& driver, HWND main) {
    WindowDriver::ClickAndWait(main, IDC_TARGET_VC6);
    ASSERT_TRUE(CloseWith(OpenPatternList(driver, main), IDOK));
    EnterPattern(driver, main, IDC_TARGET_QUICK, "*.log");
    WindowDriver::ClickAndWait(main, IDC_TARGET_WORD);
    WindowDriver::ClickAndWait(main, IDC_TARGET_THUMBS);

    const std::string root = tree.Root();
    // The workspace sweep first, then the pattern walk: own patterns, quick search, Word,
    // Thumbs.db. A second scan starts from an empty list.
    for (const std::string& typed : {root, root + "\\"}) {
      Scan(main, typed);
      EXPECT_EQ(WindowDriver::Rows(ResultList(main)),
                (std::vector<std::string>{
                    "1|" + root + "\\Debug\\main.obj", "2|" + root + "\\notes.tmp",
                    "3|" + root + "\\trace.log", "4|" + root + "\\~$report.doc",
                    "5|" + root + "\\Thumbs.db"}));
    }
    EXPECT_EQ(WindowDriver::Ticks(ResultList(main)), std::vector<bool>(5, false));
    WindowDriver::ClickAndWait(main, IDC_CHECK_ALL);
    EXPECT_EQ(WindowDriver::Ticks(ResultList(main)), std::vector<bool>(5, true));
    EXPECT_TRUE(WindowDriver::SaveScreenshot(main, "main-window-after-scan"));
    WindowDriver::ClickAndWait(main, IDC_CHECK_NONE);
    EXPECT_EQ(WindowDriver::Ticks(ResultList(main)), std::vector<bool>(5, false));
  });
}

struct DeleteCase {
  const char* name;
  int button;
  int question;
  bool firstFileReadOnly;
  // The rows left, by file name, and whether the files of removed rows stay on the disk.
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
    EnterPattern(driver, main, IDC_TARGET_QUICK, "*.tmp");
    Scan(main, tree.Root());
    const std::vector<std::string> before = WindowDriver::Rows(ResultList(main));
    ASSERT_EQ(before.size(), 3u);
    for (std::size_t row = 0; row < before.size(); ++row) {
      if (!EndsWith(before[row], "\\b.tmp")) {
        WindowDriver::SetTick(ResultList(main), static_cast<int>(row), true);
      }
    }

    for (const int answer : {IDNO, IDYES}) {
      WindowDriver::Click(main, tested.button);
      const auto seen = driver.AnswerMessageBox(answer);
      ASSERT_TRUE(seen.has_value());
      EXPECT_EQ(seen->text, LoadResourceString(tested.question));
      EXPECT_TRUE(seen->hasYesNo);
      WindowDriver::Sync(main);
      ASSERT_TRUE(WaitForIdle(main));
      if (answer == IDNO) {
        EXPECT_EQ(WindowDriver::Rows(ResultList(main)), before);
        for (const char* name : {"a.tmp", "b.tmp", "c.tmp"}) EXPECT_TRUE(Exists(tree.Path(name)));
      }
    }
    // Rows that stay keep their numbers.
    std::vector<std::string> expected;
    for (const std::string& row : before) {
      const std::string name = row.substr(row.rfind('\\') + 1);
      const auto& left = tested.rowsLeft;
      const bool rowLeft = std::find(left.begin(), left.end(), name) != left.end();
      if (rowLeft) expected.push_back(row);
      EXPECT_EQ(Exists(tree.Path(name)), rowLeft || tested.removedFilesStay) << name;
    }
    EXPECT_EQ(WindowDriver::Rows(ResultList(main)), expected);
    EXPECT_EQ(driver.FindMessageBox(), nullptr) << "a run ends without a message";
  });
  SetFileAttributesW(Widen(tree.Path("a.tmp")).c_str(), FILE_ATTRIBUTE_NORMAL);
}

// The question texts themselves are checked with the string table.
INSTANTIATE_TEST_SUITE_P(
    EveryMode, DeleteCommandTest,
    ::testing::Values(
        DeleteCase{"plain", IDC_PLAIN_DELETE, IDS_CONFIRM_PLAIN, true, {"a.tmp", "b.tmp"}, false},
        DeleteCase{"forced", IDC_FORCED_DELETE, IDS_CONFIRM_FORCED, true, {"b.tmp"}, false},
        DeleteCase{"shred", IDC_SHRED_DELETE, IDS_CONFIRM_SHRED, false, {"b.tmp"}, false},
        DeleteCase{"recycle", IDC_RECYCLE_DELETE, IDS_CONFIRM_RECYCLE, false, {"b.tmp"}, false},
        DeleteCase{"restart", IDC_RESTART_DELETE, IDS_CONFIRM_RESTART, false, {"b.tmp"}, true}),
    [](const ::testing::TestParamInfo<DeleteCase>& param) { return param.param.name; });

TEST_F(MainWindowTest, EmptyListGuardsAndTheTwoAnnouncements) {
  struct Case {
    int button;
    bool afterScan;
    const char* questionStart;  // null: no question at all
  };
  const Case cases[] = {
      {IDC_PLAIN_DELETE, false, nullptr},
      {IDC_FORCED_DELETE, false, nullptr},
      {IDC_SHRED_DELETE, false, nullptr},
      {IDC_RECYCLE_DELETE, false, nullptr},
      {IDC_RESTART_DELETE, false, nullptr},
      {IDC_SUPER_DELETE, false, nullptr},
      {IDC_WHO_IS_USING, false,
       "谁在使用:在系统中查找出正在使用选定文档的进程信息\n\n请关注我们的网站 "},
      {IDC_SUPER_DELETE, true, "是否<超强删除>所有选中的文件?\n删除后将无法还原!!\n\n"},
  };
  TempTree tree("announcements");
  tree.MakeFile("a.tmp");
  RunMainWindow([&](WindowDriver& driver, HWND main) {
    // An empty directory field scans nothing.
    WindowDriver::SetItemText(main, IDC_DIRECTORY, "");
    WindowDriver::ClickAndWait(main, IDC_SCAN);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(main, IDC_SCAN)));
    EXPECT_EQ(driver.FindDialog(IDC_PROGRESS_BAR, PROGRESS_CLASSW), nullptr);

    for (const Case& tested : cases) {
      if (tested.afterScan && RowCount(main) == 0) {
        EnterPattern(driver, main, IDC_TARGET_QUICK, "*.tmp");
        Scan(main, tree.Root());
        WindowDriver::ClickAndWait(main, IDC_CHECK_ALL);
      }
      WindowDriver::Click(main, tested.button);
      WindowDriver::Sync(main);
      if (tested.questionStart == nullptr) {
        EXPECT_EQ(driver.FindMessageBox(), nullptr) << "button " << tested.button;
        continue;
      }
      const auto seen = driver.AnswerMessageBox(IDYES);
      ASSERT_TRUE(seen.has_value()) << "button " << tested.button;
      EXPECT_TRUE(StartsWith(seen->text, tested.questionStart)) << seen->text;
      EXPECT_TRUE(EndsWith(seen->text, " 不久即推出该功能")) << seen->text;
      WindowDriver::Sync(main);
      EXPECT_EQ(driver.FindMessageBox(), nullptr);
      EXPECT_TRUE(IsWindowEnabled(GetDlgItem(main, IDC_SCAN))) << "no worker started";
    }
    EXPECT_EQ(RowCount(main), 1u);
    EXPECT_TRUE(Exists(tree.Path("a.tmp")));
  });
}

// A tree big enough that a scan or a deletion is still running when the test acts. Files are
// spread over directories: Wine slows down with many files in one directory.
class BusyWindowTest : public WindowTest {
 protected:
  static void SetUpTestSuite() {
    WindowTest::SetUpTestSuite();
    tree_ = new TempTree("busy");
  }
  static void TearDownTestSuite() {
    delete tree_;
    tree_ = nullptr;
  }
  // Makes the files again (deletions remove them) and gives how many there are.
  static int MakeOrCountFiles(bool make) {
    int count = 0;
    for (int d = 0; d < 60; ++d) {
      for (int f = 0; f < 50; ++f) {
        const std::string name = "d" + std::to_string(d) + "\\f" + std::to_string(f) + ".dat";
        if (make) tree_->MakeFile(name);
        count += Exists(tree_->Path(name)) ? 1 : 0;
      }
    }
    return count;
  }
  void SetUp() override {
    WindowTest::SetUp();
    MakeOrCountFiles(true);
  }
  // Starts a scan for every file and waits for its progress window.
  static void StartScan(const WindowDriver& driver, HWND main) {
    EnterPattern(driver, main, IDC_TARGET_QUICK, "*.*");
    WindowDriver::SetItemText(main, IDC_DIRECTORY, tree_->Root());
    WindowDriver::ClickAndWait(main, IDC_SCAN);
    ASSERT_NE(driver.WaitForDialog(IDC_PROGRESS_BAR, PROGRESS_CLASSW), nullptr);
  }

  static constexpr std::size_t kFiles = 60 * 50;
  static TempTree* tree_;
};

TempTree* BusyWindowTest::tree_ = nullptr;

TEST_F(BusyWindowTest, CancelOrExitDuringADeletionStopsIt) {
  // Cancel in the progress window, or Exit in the main window: Exit only cancels the run,
  // a second Exit closes the window and saves the settings.
  for (const bool exit : {false, true}) {
    if (exit) {
      RemoveTestSettings();
      MakeOrCountFiles(true);
    }
    const INT_PTR result = RunMainWindow([&](WindowDriver& driver, HWND main) {
      EnterPattern(driver, main, IDC_TARGET_QUICK, "*.dat");
      Scan(main, tree_->Root());
      ASSERT_EQ(RowCount(main), kFiles);
      WindowDriver::ClickAndWait(main, IDC_CHECK_ALL);
      WindowDriver::Click(main, exit ? IDC_SHRED_DELETE : IDC_PLAIN_DELETE);
      ASSERT_TRUE(driver.AnswerMessageBox(IDYES).has_value());
      HWND progress = driver.WaitForDialog(IDC_PROGRESS_BAR, PROGRESS_CLASSW);
      ASSERT_NE(progress, nullptr);
      EXPECT_EQ(WindowDriver::Text(progress), "正在删除...");
      Sleep(300);
      EXPECT_TRUE(exit || WindowDriver::SaveScreenshot(progress, "progress-window-deleting"));
      WindowDriver::Click(exit ? main : progress, IDCANCEL);
      WindowDriver::Sync(main);
      EXPECT_TRUE(IsWindow(main));
      ASSERT_TRUE(WaitForIdle(main));
      EXPECT_FALSE(IsWindowVisible(progress));
      const std::size_t rowsLeft = RowCount(main);
      EXPECT_GT(rowsLeft, 0u) << "the run went to its end despite the cancel";
      EXPECT_EQ(static_cast<std::size_t>(MakeOrCountFiles(false)), rowsLeft);
      EXPECT_EQ(Settings().ReadString("Recent", "Search", "<missing>"), "<missing>");
      EXPECT_TRUE(!exit || CloseWith(main, IDCANCEL));
    });
    if (exit) {
      EXPECT_EQ(result, IDCANCEL);
      EXPECT_EQ(Settings().ReadString("Recent", "Search", "<missing>"), tree_->Root());
    }
  }
}

TEST_F(BusyWindowTest, ExitDuringAScanEndsTheWindowOnceTheScanHasStoppedAndEnterSavesNothing) {
  const struct {
    int command;
    const char* saved;
  } cases[] = {{IDCANCEL, nullptr}, {IDOK, "<missing>"}};
  for (const auto& tested : cases) {
    RemoveTestSettings();
    const INT_PTR result = RunMainWindow([&](WindowDriver& driver, HWND main) {
      StartScan(driver, main);
      PostMessageW(main, WM_COMMAND, tested.command, 0);
      EXPECT_TRUE(WindowDriver::WaitUntil([&] { return !IsWindow(main); }));
    });
    EXPECT_EQ(result, tested.command);
    EXPECT_EQ(Settings().ReadString("Recent", "Search", "<missing>"),
              tested.saved != nullptr ? tested.saved : tree_->Root());
  }
}

TEST_F(BusyWindowTest, NoSecondWorkerStartsWhileOneRuns) {
  RunMainWindow([&](WindowDriver& driver, HWND main) {
    StartScan(driver, main);
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
    ASSERT_EQ(rows.size(), kFiles);
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
    HWND list = OpenPatternList(driver, main);
    for (const std::string& pattern : patterns) {
      EnterPattern(driver, list, IDC_ADD_PATTERN, pattern);
    }
    EXPECT_TRUE(WindowDriver::SaveScreenshot(list, "own-pattern-list"));
    ASSERT_TRUE(CloseWith(list, IDOK));
    EXPECT_TRUE(WindowDriver::IsChecked(main, IDC_TARGET_CUSTOM));
    EXPECT_TRUE(CloseWith(main, IDCANCEL));
  });
  EXPECT_EQ(Settings().ReadString("Recent", "Search", "<missing>"), directory);

  // Second run: the same directory and patterns; shrink the list to two.
  RunMainWindow([&](WindowDriver& driver, HWND main) {
    EXPECT_EQ(WindowDriver::ItemText(main, IDC_DIRECTORY), directory);
    EXPECT_FALSE(WindowDriver::IsChecked(main, IDC_TARGET_CUSTOM));
    HWND list = OpenPatternList(driver, main);
    HWND box = GetDlgItem(list, IDC_PATTERN_LIST);
    ASSERT_EQ(SendMessageW(box, LB_GETCOUNT, 0, 0), 5);
    for (int removed = 0; removed < 3; ++removed) {
      SendMessageW(box, LB_SETCURSEL, 1, 0);
      WindowDriver::ClickAndWait(list, IDC_REMOVE_PATTERN);
    }
    ASSERT_TRUE(CloseWith(list, IDOK));
  });
  ASSERT_EQ(Settings().ReadInt("UserType", "Count", -1), 2);
  EXPECT_EQ(Settings().ReadString("UserType", "FileType1", ""), patterns[0]);
  EXPECT_EQ(Settings().ReadString("UserType", "FileType2", ""), patterns[4]);
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
    ASSERT_TRUE(CloseWith(entry, IDCANCEL));
    EXPECT_TRUE(WindowDriver::IsChecked(main, IDC_TARGET_QUICK));
    EXPECT_EQ(WindowDriver::ItemText(main, IDC_TARGET_QUICK), original);

    // Unticking opens nothing and keeps the caption; ticking again asks again.
    WindowDriver::ClickAndWait(main, IDC_TARGET_QUICK);
    EXPECT_FALSE(WindowDriver::IsChecked(main, IDC_TARGET_QUICK));
    EnterPattern(driver, main, IDC_TARGET_QUICK, "*.log");
    EXPECT_EQ(WindowDriver::ItemText(main, IDC_TARGET_QUICK), "指定文件: *.log");
    WindowDriver::ClickAndWait(main, IDC_TARGET_QUICK);
    EXPECT_EQ(WindowDriver::ItemText(main, IDC_TARGET_QUICK), "指定文件: *.log");
  });
}

namespace {

// The tool tip control is a popup of its own, owned by the main window.
HWND ToolTipOf(HWND main) {
  struct Search {
    HWND owner;
    HWND found;
  } search{main, nullptr};
  EnumThreadWindows(
      GetWindowThreadProcessId(main, nullptr),
      [](HWND window, LPARAM lParam) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lParam);
        wchar_t className[64] = {};
        GetClassNameW(window, className, 64);
        if (GetWindow(window, GW_OWNER) == s->owner && lstrcmpiW(className, TOOLTIPS_CLASSW) == 0) {
          s->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

TEST_F(MainWindowTest, InitialisationGivesTitleNoticeAndTheFiveTips) {
  RunMainWindow([&](WindowDriver&, HWND main) {
    EXPECT_EQ(WindowDriver::Text(main), "Vellox磁盘清理/文件查找程序 - support@vellox.example");
    EXPECT_TRUE(StartsWith(WindowDriver::ItemText(main, IDC_NOTICE), "Vellox"));
    HWND tip = ToolTipOf(main);
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 5);
  });
}
