#include "engine/path_text.h"

#include <gtest/gtest.h>

TEST(PathText, JoinRemovesEveryTrailingSeparatorOfTheDirectory) {
  EXPECT_EQ(JoinPath("D:\\data", "a.tmp"), "D:\\data\\a.tmp");
  EXPECT_EQ(JoinPath("D:\\data\\", "a.tmp"), "D:\\data\\a.tmp");
  EXPECT_EQ(JoinPath("D:\\data\\\\", "a.tmp"), "D:\\data\\a.tmp");
  EXPECT_EQ(JoinPath("C:", "a.tmp"), "C:\\a.tmp");
  EXPECT_EQ(JoinPath("C:\\", "a.tmp"), "C:\\a.tmp");
  // A root of separators only, or of blanks, is used like any other text.
  EXPECT_EQ(JoinPath("\\", "a"), "\\a");
  EXPECT_EQ(JoinPath("  ", "a"), "  \\a");
}
