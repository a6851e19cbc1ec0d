// Whole scans (the engine's ScanWorker with the real file enumeration) over real trees.
#include "engine/win32/win32_file_enumeration.h"
#include "tests/win32/memory_scan_window.h"
#include "tests/win32/temp_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The link tree is made natively by the ctest fixture (scripts/link-tree): real\deeper\cycle
// leads back to real, real\outside leads out of it. Neither the sweep nor the pattern walk
// enters them.
TEST(Win32Scan, DoesNotFollowDirectoryLinks) {
  const std::string real = TestTreeBase() + "\\links\\real";
  Win32FileEnumeration files;
  const std::vector<FoundEntry> deeper = files.Enumerate(real + "\\deeper\\*");
  const auto cycle = std::find_if(deeper.begin(), deeper.end(),
                                  [](const FoundEntry& entry) { return entry.name == "cycle"; });
  if (cycle == deeper.end()) GTEST_SKIP() << "no link tree; ctest makes it (scripts/link-tree)";
  ASSERT_TRUE(cycle->isDirectory && cycle->isReparsePoint);

  MemoryScanWindow window(files);
  window.directory = real;
  window.ticked = {TargetBox::Vc6, TargetBox::Quick};
  window.quickSearch = {"*.tmp"};
  window.Scan();
  EXPECT_EQ(window.paths, (Texts{real + "\\a.tmp", real + "\\deeper\\b.tmp"}));
  EXPECT_EQ(window.statusTexts, (Texts{real, real + "\\deeper", real, real + "\\deeper"}));
}

}  // namespace
