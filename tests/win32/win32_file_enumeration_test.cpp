#include "engine/win32/win32_file_enumeration.h"

#include "engine/win32/utf.h"
#include "tests/win32/temp_tree.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// The directory part is searched as written (a trailing dot or blank belongs to a name, "." and
// ".." step as in Win32, a relative one starts at the current directory, no length limit); the
// pattern loses trailing dots and blanks as Win32 drops them. Any script, hidden and system files
// come back. "\" marks a directory, "@" a reparse point: the links of the ctest fixture
// (scripts/link-tree) must show as such, or a scan would follow them out of the tree.
TEST(Win32FileEnumeration, SearchesTheDirectoryExactlyAndThePatternAsWin32Would) {
  const std::string links = TestTreeBase() + "\\links\\real";
  if (!PathExists(links)) GTEST_SKIP() << "no links: scripts/link-tree makes them before the tests (Wine only)";
  const TempTree tree("enumeration");
  const std::string deep = std::string(100, 'd') + "\\" + std::string(100, 'e') + "\\" + std::string(100, 'f');
  for (const std::string& file : {std::string("dir.\\in dotted.tmp"), std::string("dir\\in plain.tmp"),
                                  std::string("a.tmp"), std::string("blank "), deep + "\\deep.tmp",
                                  std::string("新建文件夹\\Ελληνικά café 😀.tmp")}) tree.MakeFile(file);
  tree.MakeFile("hidden.tmp", FILE_ATTRIBUTE_HIDDEN);
  tree.MakeFile("system.tmp", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
  const std::string root = tree.Root();
  const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
      {root + "\\dir.\\*.tmp", {"in dotted.tmp"}},
      {root + "/dir\\..\\.\\dir./*", {".\\", "..\\", "in dotted.tmp"}},
      {root + "\\" + deep + "\\*.tmp", {"deep.tmp"}},
      {root + "\\" + deep + "\\..\\..\\..\\dir", {"dir\\"}},
      {root + "\\*.tmp", {"a.tmp", "hidden.tmp", "system.tmp"}},
      {root + "\\新建文件夹\\*", {".\\", "..\\", "Ελληνικά café 😀.tmp"}},
      {links + "\\deeper\\*", {".\\", "..\\", "b.tmp", "cycle@"}},
      {links + "\\*", {".\\", "..\\", "a.tmp", "deeper\\", "outside@"}},
      {"dir\\*.tmp", {"in plain.tmp"}},
      {"   \\*.tmp", {}},  // a directory named with blanks, not the current one
      {root + "\\a.tmp. .", {"a.tmp"}},
      {root + "\\blank ", {}},
      {root + "\\blank*", {"blank "}},
      {root + "/", {}},  // no pattern
      {root + "\\. .", {}},
      {std::string(), {}},
      {root + std::string("\\*\0.tmp", 7), {}},  // a NUL would cut it to "\*"
  };
  wchar_t current[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, current);
  SetCurrentDirectoryW(Widen(root).c_str());
  Win32FileEnumeration files;
  for (const auto& test : cases) {
    std::vector<std::string> names;
    for (const FoundEntry& entry : files.Enumerate(test.first)) {
      names.push_back(entry.name + (entry.isReparsePoint ? "@" : entry.isDirectory ? "\\" : ""));
    }
    EXPECT_THAT(names, ::testing::UnorderedElementsAreArray(test.second)) << test.first;
  }
  SetCurrentDirectoryW(current);
}

// What the system lists comes back to it: a UTF-16 surrogate without its partner, which a Windows
// name may hold, keeps its code through the program's UTF-8 text; bytes that are no such text
// become U+FFFD, one for each byte that starts no character.
TEST(Utf, EveryWideTextComesBackAndBytesThatAreNoTextBecomeReplacements) {
  const std::wstring high(1, static_cast<wchar_t>(0xD800)), low(1, static_cast<wchar_t>(0xDFFF));
  const struct { std::wstring wide; std::string narrow; bool narrowed; } cases[] = {  // narrowed: Narrow gives it
      {L"a.tmp", "a.tmp", true},
      {L"\u62a5\u544a \u00e9 \U0001F600", "\xE6\x8A\xA5\xE5\x91\x8A \xC3\xA9 \xF0\x9F\x98\x80", true},
      {high + L".tmp", "\xED\xA0\x80.tmp", true},
      {L"x" + low, "x\xED\xBF\xBF", true},
      {low + high, "\xED\xBF\xBF\xED\xA0\x80", true},  // in this order, no pair
      {L"\ufffd.txt", "\xFF.txt", false},
      {L"\ufffd\ufffd\ufffd", "\xC0\x80\xE6", false},  // too long a form, then cut short
      {L"\ufffd\ufffd\ufffd\ufffd", "\xF4\x90\x80\x80", false},  // beyond U+10FFFF
  };
  for (const auto& test : cases) {
    EXPECT_EQ(Widen(test.narrow), test.wide) << test.narrow;
    if (test.narrowed) { EXPECT_EQ(Narrow(test.wide), test.narrow); }
  }
}

}  // namespace
