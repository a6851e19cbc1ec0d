#include "ui/app/settings_store.h"

#include "engine/win32/utf.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

// Below a company key of the test's own, removed afterwards. A read creates the section's key
// and gives the default; texts, an empty one included (stored as one zero), and counts as
// signed 32-bit numbers come back as written; a value longer than 4 bytes reads as no count.
TEST(SettingsStore, RoundTripsTextsAndCountsAndReadsWhatDoesNotFitAsMissing) {
  const std::string company = "Vellox Test " + std::to_string(GetCurrentProcessId());
  const std::wstring section = Widen("Software\\" + company + "\\Vellox\\UserType");
  SettingsStore store;
  store.SetRegistryRoot(company, "Vellox");
  EXPECT_EQ(store.ReadString("UserType", "Name", "C:\\"), "C:\\");
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, section.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
  for (const std::string text : {"Z:\\tmp\\清理目录\\子目录", "名字中有表\\", ""}) {
    ASSERT_TRUE(store.WriteString("UserType", "Name", text));
    EXPECT_EQ(store.ReadString("UserType", "Name", "default"), text);
  }
  DWORD type = REG_NONE;
  DWORD size = 0;
  RegQueryValueExW(key, L"Name", nullptr, &type, nullptr, &size);
  EXPECT_EQ(type * 100 + size, DWORD{REG_SZ} * 100 + sizeof(wchar_t));
  RegCloseKey(key);
  for (std::int32_t number : {0, -1, INT32_MAX, INT32_MIN}) {
    ASSERT_TRUE(store.WriteInt("UserType", "Count", number));
    EXPECT_EQ(store.ReadInt("UserType", "Count", 7), number);
    EXPECT_EQ(store.ReadSection("UserType").ReadInt("COUNT", 7), number);
  }
  const std::uint64_t five = 5;
  RegSetKeyValueW(HKEY_CURRENT_USER, section.c_str(), L"Count", REG_BINARY, &five, sizeof five);
  EXPECT_EQ(store.ReadInt("UserType", "Count", 0), 0);
  EXPECT_EQ(store.ReadSection("UserType").ReadInt("Count", 0), 0);
  RegDeleteTreeW(HKEY_CURRENT_USER, Widen("Software\\" + company).c_str());
}

}  // namespace
