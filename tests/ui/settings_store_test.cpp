#include "ui/app/settings_store.h"

#include "engine/win32/utf.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

// Each test works below a company key of its own and removes it afterwards, so the program's own
// settings are never touched.
class SettingsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    company_ = "Vellox Test " + std::to_string(GetCurrentProcessId());
    store_.SetRegistryRoot(company_, "Vellox");
  }
  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, Widen("Software\\" + company_).c_str());
  }

  std::wstring SectionPath(const std::string& section) const {
    return Widen("Software\\" + company_ + "\\Vellox\\" + section);
  }
  // The section key as the registry holds it, or null; never creates it.
  HKEY OpenSection(const std::string& section) const {
    HKEY key = nullptr;
    RegOpenKeyExW(HKEY_CURRENT_USER, SectionPath(section).c_str(), 0, KEY_READ, &key);
    return key;
  }

  std::string company_;
  SettingsStore store_;
};

TEST_F(SettingsStoreTest, ReadsCreateTheSectionKeysAndGiveDefaults) {
  ASSERT_EQ(OpenSection("Recent"), nullptr);
  EXPECT_EQ(store_.ReadString("Recent", "Search", "C:\\"), "C:\\");
  EXPECT_EQ(store_.ReadInt("UserType", "Count", -7), -7);
  for (const char* section : {"Recent", "UserType"}) {
    HKEY key = OpenSection(section);
    EXPECT_NE(key, nullptr) << section;
    RegCloseKey(key);
  }
}

TEST_F(SettingsStoreTest, TextsRoundTripAndAnEmptyTextIsStoredAsOneZero) {
  // 表 ends in the byte of "\" in code page 936.
  for (const std::string text : {"Z:\\tmp\\清理目录\\子目录", "名字中有表\\", ""}) {
    ASSERT_TRUE(store_.WriteString("Recent", "Search", text)) << text;
    EXPECT_EQ(store_.ReadString("Recent", "Search", "default"), text);
  }
  HKEY key = OpenSection("Recent");
  unsigned char bytes[8] = {1, 1, 1, 1};
  DWORD type = REG_NONE;
  DWORD size = sizeof bytes;
  EXPECT_EQ(RegQueryValueExW(key, L"Search", nullptr, &type, bytes, &size), ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(type, DWORD{REG_SZ});
  EXPECT_EQ(size, sizeof(wchar_t));
  EXPECT_EQ(bytes[0] | bytes[1], 0);
}

TEST_F(SettingsStoreTest, CountsRoundTripAsSigned32BitAndLongerValuesReadAsMissing) {
  for (std::int32_t number : {0, -1, 42, INT32_MAX, INT32_MIN}) {
    ASSERT_TRUE(store_.WriteInt("UserType", "Count", number));
    EXPECT_EQ(store_.ReadInt("UserType", "Count", 7), number);
  }
  const std::uint64_t five = 5;
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, SectionPath("UserType").c_str(), L"Count",
                            REG_BINARY, &five, sizeof five),
            ERROR_SUCCESS);
  EXPECT_EQ(store_.ReadInt("UserType", "Count", 0), 0);
}

}  // namespace
