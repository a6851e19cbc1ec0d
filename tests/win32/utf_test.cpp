#include "engine/win32/utf.h"

#include <gtest/gtest.h>

TEST(Utf, RoundTripsTextsInAnyScript) {
  for (const std::string text : {"", "a.tmp", "新建文件夹\\报告.doc", "Ελληνικά", "😀.txt"}) {
    EXPECT_EQ(Narrow(Widen(text)), text);
  }
  EXPECT_EQ(Widen("中"), std::wstring(L"\u4e2d"));
  EXPECT_EQ(Narrow(std::wstring(L"\U0001F600")), "\xF0\x9F\x98\x80");
}
