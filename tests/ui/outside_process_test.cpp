#include "engine/win32/utf.h"
#include "tests/support/program_driver.h"
#include "tests/win32/temp_tree.h"
#include "ui/resources/resource.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

// The result list as another process reads and ticks it through list view messages; a plain
// delete removes exactly the files of the rows then ticked, the other rows keep their numbers.
TEST(ProgramFromOutside, DeletesExactlyTheRowsTickedByAnotherProcess) {
  TempTree tree("outside");
  std::vector<std::string> targets = {"plain.tmp", "报告.tmp", "Übersicht.log",
                                      "сводка\\notes.tmp", "データ\\ファイル.log"};
  for (std::string& name : targets) {
    tree.MakeFile(name);
    name = tree.Path(name);
  }
  tree.MakeFile("keep.txt");
  // The build puts the program beside the tests.
  std::wstring program(MAX_PATH, L'\0');
  program.resize(GetModuleFileNameW(nullptr, program.data(), MAX_PATH));
  program = program.substr(0, program.find_last_of(L'\\') + 1) + L"Vellox.exe";
  ProgramDriver driver(program, "VelloxOutside" + std::to_string(GetCurrentProcessId()));
  ASSERT_NE(driver.Main(), nullptr);
  driver.SetDirectory(tree.Root());
  ASSERT_TRUE(driver.SetOwnPatterns({"*.log"}) && driver.SetQuickSearch("*.tmp"));
  driver.Press(IDC_SCAN);
  ASSERT_TRUE(driver.WaitUntilIdle(std::chrono::seconds(60)));

  std::vector<std::string> paths;
  for (int row = 0; row < driver.RowCount(); ++row) paths.push_back(driver.CellText(row, 1));
  ASSERT_EQ(std::set<std::string>(paths.begin(), paths.end()),
            std::set<std::string>(targets.begin(), targets.end()));
  // Rows as the user sees them: "number|path", and "|ticked" after a ticked row's path.
  const auto rows = [&] {
    std::vector<std::string> seen;
    for (int row = 0; row < driver.RowCount(); ++row) {
      seen.push_back(driver.CellText(row, 0) + "|" + driver.CellText(row, 1) +
                     (driver.IsTicked(row) ? "|ticked" : ""));
    }
    return seen;
  };
  const auto row = [&](int number, const char* tick = "") {
    return std::to_string(number) + "|" + paths[number - 1] + tick;
  };
  EXPECT_EQ(rows(), (std::vector<std::string>{row(1), row(2), row(3), row(4), row(5)}));
  for (int ticked : {1, 2, 4}) driver.SetTick(ticked, true);
  driver.SetTick(2, false);
  EXPECT_EQ(rows(), (std::vector<std::string>{row(1), row(2, "|ticked"), row(3), row(4),
                                               row(5, "|ticked")}));

  ASSERT_TRUE(driver.PressAndAnswer(IDC_PLAIN_DELETE, IDYES));
  ASSERT_TRUE(driver.WaitUntilIdle(std::chrono::seconds(60)));
  EXPECT_EQ(rows(), (std::vector<std::string>{row(1), row(3), row(4)}));
  for (std::size_t index = 0; index < paths.size(); ++index) {
    const bool exists = GetFileAttributesW(Widen(paths[index]).c_str()) != INVALID_FILE_ATTRIBUTES;
    EXPECT_EQ(exists, index != 1 && index != 4) << paths[index];
  }
  EXPECT_TRUE(driver.Exit(std::chrono::seconds(30)));
}
