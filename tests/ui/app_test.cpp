// The start-up's pieces: the application's name, the own patterns in the settings, the notice.
#include "ui/app/cleaner_app.h"
#include "ui/app/notice.h"
#include "ui/app/own_patterns.h"
#include "ui/app/settings_store.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

TEST(ApplicationName, IsTheExecutablesFileNameWithoutExtension) {
  const struct { const wchar_t* path; const char* name; const wchar_t* helpFile; } cases[] = {
      {L"C:\\a.b\\My.Tool.exe", "My.Tool", L"C:\\a.b\\My.Tool.HLP"},  // last dot only
      {L"C:\\a.b\\Vellox", "Vellox", L"C:\\a.b\\Vellox.HLP"},          // a dot in a directory
      {L"C:/x/forward.exe", "forward", L"C:/x/forward.HLP"},
      {L"C:drive.exe", "drive", L"C:drive.HLP"},
      {L"C:\\工具\\清理程序.exe", "清理程序", L"C:\\工具\\清理程序.HLP"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ApplicationNameFromPath(c.path), c.name);
    EXPECT_EQ(HelpFilePathFromPath(c.path), c.helpFile) << c.name;
  }
}

// Whatever Count says, loading takes no time and ends at the last stored pattern that Count
// covers; one missing below it loads empty. A Count that is no 32-bit number loads nothing.
TEST(OwnPatterns, LoadAsFarAsStoredValuesBackTheCount) {
  // A count beyond 32 bits is stored as 8 bytes.
  const struct { std::int64_t count; std::vector<int> stored; std::vector<std::string> loaded; } cases[] = {
      {3, {1, 3, 4}, {"*.1", "", "*.3"}}, {100000, {}, {}}, {2147483647, {1, 3}, {"*.1", "", "*.3"}},
      {-2147483647 - 1, {1}, {}},         {1ll << 32 | 2, {1}, {}}};
  const std::wstring key = L"Software\\Vellox Tests\\own patterns";
  SettingsStore settings;
  settings.SetRegistryRoot("Vellox Tests", "own patterns");
  for (const auto& tested : cases) {
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    settings.WriteInt("UserType", "Count", static_cast<std::int32_t>(tested.count));
    if (tested.count > INT32_MAX) {
      RegSetKeyValueW(HKEY_CURRENT_USER, (key + L"\\UserType").c_str(), L"Count", REG_BINARY,
                      &tested.count, sizeof tested.count);
    }
    for (int k : tested.stored) {
      settings.WriteString("UserType", "FileType" + std::to_string(k), "*." + std::to_string(k));
    }
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(LoadOwnPatterns(settings), tested.loaded) << tested.count;
    EXPECT_LT(GetTickCount64() - start, 1000u) << tested.count;
  }
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Vellox Tests");
}

// The notice deciphers to text for a multi-line edit (lines end in CR LF); any change fails.
TEST(Notice, DeciphersToCrLfTextAndAnyChangeFailsTheCheck) {
  const auto notice = LoadNoticeResource();
  ASSERT_TRUE(notice.has_value());
  EXPECT_NE(notice->find("回收站"), std::string::npos);
  const auto lineFeeds = std::count(notice->begin(), notice->end(), '\n');
  EXPECT_GE(lineFeeds, 2);
  EXPECT_EQ(std::count(notice->begin(), notice->end(), '\r'), lineFeeds);
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC resource = FindResourceW(module, L"IDR_MY_MEMO", L"ENCRYPT");
  const std::string original(static_cast<const char*>(LockResource(LoadResource(module, resource))),
                             SizeofResource(module, resource));
  const struct { const char* change; void (*apply)(std::string&); } changes[] = {
      {"format mark", [](std::string& s) { s[0] ^= 0x01; }},
      {"length grown", [](std::string& s) { s[4] = static_cast<char>(s[4] + 1); }},
      {"text byte", [](std::string& s) { s[s.size() / 2] ^= 0x01; }},
      {"tag", [](std::string& s) { s.back() ^= 0x01; }},
      {"nothing left", [](std::string& s) { s.clear(); }},
  };
  for (const auto& change : changes) {
    std::string tampered = original;
    change.apply(tampered);
    EXPECT_EQ(DecipherNotice(tampered), std::nullopt) << change.change;
  }
}

}  // namespace
