#include "engine/win32/win32_removal_operations.h"

#include "tests/win32/temp_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

LONGLONG SizeOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(Verbatim(path).c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Text that holds no zero byte, so any byte that an overwrite missed shows.
std::string Pattern(std::size_t length) {
  std::string text(length, '\0');
  for (std::size_t i = 0; i < length; ++i) text[i] = static_cast<char>('A' + i % 26);
  return text;
}

// A second name of the file keeps its data readable after ShredFile deleted the first one, so
// the test sees what the overwrite left on the disk. Past 4 GiB a 32-bit length or position
// would end the overwrite after the first blocks; the file is sparse, so only the shred itself
// costs time: about 15 s under Wine, for its million block writes.
TEST(ShredFile, OverwritesWithZerosToTheNextWholeBlockBeforeDeleting) {
  constexpr LONGLONG kFourGiB = 1LL << 32;
  const struct {
    LONGLONG length;
    LONGLONG lengthAtDeletion;
  } cases[] = {{0, 4096}, {4096, 4096}, {5000, 8192}, {8192, 8192}, {kFourGiB + 5000, kFourGiB + 8192}};
  const TempTree tree("shred");
  Win32RemovalOperations removal(tree.Root());
  for (const auto& test : cases) {
    SCOPED_TRACE(test.length);
    const std::string path = tree.Path(std::to_string(test.length) + ".tmp");
    const std::string link = path + ".link";
    const LONGLONG head = std::min<LONGLONG>(test.length, 8192);
    ASSERT_TRUE(WriteAt(path, 0, Pattern(static_cast<std::size_t>(head))));
    ASSERT_TRUE(WriteAt(path, test.length - 10 < head ? 0 : test.length - 10, test.length > head ? Pattern(10) : ""));
    ASSERT_TRUE(CreateHardLinkW(Verbatim(link).c_str(), Verbatim(path).c_str(), nullptr));

    EXPECT_TRUE(removal.ShredFile(path));
    EXPECT_FALSE(PathExists(path));
    EXPECT_EQ(SizeOf(link), test.lengthAtDeletion);
    const std::size_t end = static_cast<std::size_t>(std::min<LONGLONG>(test.lengthAtDeletion, 8192));
    EXPECT_EQ(ReadBytes(link, 0, 8192), std::string(end, '\0'));
    EXPECT_EQ(ReadBytes(link, test.lengthAtDeletion - end, 8192), std::string(end, '\0'));
    DeleteFileW(Verbatim(link).c_str());
  }
}

// On a small file system that the fixture mounted. Old data that could not be overwritten must
// not be hidden by a delete that reports success: the file stays, to be shredded once there is
// room. A file whose old length was covered before the disk filled goes.
TEST(ShredFile, OnAFullDiskDeletesOnlyAFileWhoseOldLengthWasCovered) {
  const std::string directory = EnvironmentPath("VELLOX_TEST_ROOT") + "\\full-disk";
  if (!PathExists(directory + "\\mounted")) GTEST_SKIP() << "the fixture could not mount a small file system (needs root)";
  const std::string filler = directory + "\\filler";
  const std::string path = directory + "\\victim.tmp";
  const struct {
    LONGLONG length;  // the first block holds data, the rest is a hole that needs new space
    bool shredded;
  } cases[] = {{32768, false}, {0, true}};
  Win32RemovalOperations removal(directory);
  for (const auto& test : cases) {
    SCOPED_TRACE(test.length);
    ASSERT_TRUE(WriteAt(path, 0, Pattern(test.length == 0 ? 0 : 4096)));
    ASSERT_TRUE(test.length == 0 || WriteAt(path, test.length - 1, "x"));
    int blocks = 0;
    while (WriteAt(filler, blocks * 4096LL, std::string(4096, 'f')) && blocks < 1024) ++blocks;
    ASSERT_LT(blocks, 1024) << "the file system never filled up";

    EXPECT_EQ(removal.ShredFile(path), test.shredded);
    EXPECT_EQ(SizeOf(path), test.shredded ? -1 : test.length);
    RemoveTree(path);
    RemoveTree(filler);
  }
}

}  // namespace
