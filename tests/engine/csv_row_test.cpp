#include "engine/csv_row.h"

#include <gtest/gtest.h>

namespace {

// Each row as a spreadsheet must read it back: quotes only where a field needs them.
TEST(CsvRow, QuotesExactlyTheFieldsThatNeedIt) {
  const struct { std::initializer_list<std::string_view> fields; const char* line; } cases[] = {
      {{"1", "C:\\a\\b.tmp", "0", "", "1"}, "1,C:\\a\\b.tmp,0,,1\r\n"},        // empty field
      {{"C:\\a,b.tmp"}, "\"C:\\a,b.tmp\"\r\n"},                                // comma
      {{"say \"hi\".txt"}, "\"say \"\"hi\"\".txt\"\r\n"},                      // quotes doubled
      {{"\"", "\"\""}, "\"\"\"\",\"\"\"\"\"\"\r\n"},                           // nothing but quotes
      {{"line\r\nbreak", "lf\n"}, "\"line\r\nbreak\",\"lf\n\"\r\n"},           // line breaks
      {{"C:\\报告\\数据.xls", "拒绝访问。"}, "C:\\报告\\数据.xls,拒绝访问。\r\n"},  // Chinese as it is
      {{" lead", "trail ", "\tx", "in side"}, "\" lead\",\"trail \",\"\tx\",in side\r\n"},
      {{""}, "\r\n"},
  };
  for (const auto& c : cases) {
    std::string text = "x";
    AppendCsvRow(text, c.fields);
    EXPECT_EQ(text, std::string("x") + c.line);
  }
}

}  // namespace
