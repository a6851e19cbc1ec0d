#include "ui/app/settings_store.h"

#include "engine/win32/utf.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// Each test works below a company key of its own in the test prefix's real registry, and
// removes it afterwards, so the program's own settings are never touched.
class SettingsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    company_ = "Vellox Test " + std::to_string(GetCurrentProcessId()) + " " +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
    store_.SetRegistryRoot(company_, kApplication);
  }
  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, Widen("Software\\" + company_).c_str());
  }

  std::wstring SectionPath(const std::string& section) const {
    return Widen("Software\\" + company_ + "\\" + kApplication + "\\" + section);
  }

  // The section key as the registry holds it, or null; never creates it.
  HKEY OpenRaw(const std::string& section) const {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, SectionPath(section).c_str(), 0,
                      KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS) {
      return nullptr;
    }
    return key;
  }

  void SetRaw(const std::string& section, const std::string& entry, DWORD type,
              const void* data, DWORD size) const {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, SectionPath(section).c_str(), 0, nullptr, 0,
                              KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key, Widen(entry).c_str(), 0, type,
                             static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }

  struct RawValue {
    DWORD type = REG_NONE;
    std::vector<unsigned char> bytes;
  };
  RawValue GetRaw(const std::string& section, const std::string& entry) const {
    RawValue value;
    HKEY key = OpenRaw(section);
    if (key == nullptr) return value;
    DWORD size = 0;
    RegQueryValueExW(key, Widen(entry).c_str(), nullptr, &value.type, nullptr, &size);
    value.bytes.resize(size);
    RegQueryValueExW(key, Widen(entry).c_str(), nullptr, &value.type, value.bytes.data(), &size);
    RegCloseKey(key);
    return value;
  }

  static constexpr const char* kApplication = "Vellox";
  std::string company_;
  SettingsStore store_;
};

TEST_F(SettingsStoreTest, FirstReadsCreateTheSectionKeysWithoutValuesAndGiveDefaults) {
  EXPECT_EQ(OpenRaw("Recent"), nullptr);
  EXPECT_EQ(store_.ReadString("Recent", "Search"), "");
  EXPECT_EQ(store_.ReadString("Recent", "Search", "C:\\"), "C:\\");
  EXPECT_EQ(store_.ReadInt("UserType", "Count", 0), 0);
  EXPECT_EQ(store_.ReadInt("UserType", "Count", -7), -7);

  for (const char* section : {"Recent", "UserType"}) {
    HKEY key = OpenRaw(section);
    ASSERT_NE(key, nullptr) << section;
    DWORD values = 99;
    DWORD subkeys = 99;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                     nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(values, 0u) << section;
    EXPECT_EQ(subkeys, 0u) << section;
    RegCloseKey(key);
  }
}

TEST_F(SettingsStoreTest, TextsRoundTripAsStringValuesWithTheirTerminatingZero) {
  const std::string kTexts[] = {
      "",
      "C:\\",
      "Z:\\tmp\\清理目录\\子目录",
      "Temp\\*.tmp",
      "~$*.doc",
      "名字中有表\\",  // 表 ends in the byte of "\" in code page 936
      "emoji \xF0\x9F\xA7\xB9 outside the basic plane",
      std::string(600, 'x'),
  };
  int index = 0;
  for (const std::string& text : kTexts) {
    const std::string entry = "FileType" + std::to_string(++index);
    ASSERT_TRUE(store_.WriteString("UserType", entry, text)) << text;
    EXPECT_EQ(store_.ReadString("UserType", entry, "default"), text);

    const RawValue raw = GetRaw("UserType", entry);
    EXPECT_EQ(raw.type, DWORD{REG_SZ});
    const std::wstring wide = Widen(text);
    ASSERT_EQ(raw.bytes.size(), (wide.size() + 1) * sizeof(wchar_t)) << text;
    EXPECT_EQ(raw.bytes[raw.bytes.size() - 1], 0);
    EXPECT_EQ(raw.bytes[raw.bytes.size() - 2], 0);
  }
}

TEST_F(SettingsStoreTest, AnEmptyTextIsStoredAsJustItsZero) {
  ASSERT_TRUE(store_.WriteString("Recent", "Search", ""));
  const RawValue raw = GetRaw("Recent", "Search");
  EXPECT_EQ(raw.type, DWORD{REG_SZ});
  EXPECT_EQ(raw.bytes, std::vector<unsigned char>(sizeof(wchar_t), 0));
  EXPECT_EQ(store_.ReadString("Recent", "Search", "default"), "");
}

TEST_F(SettingsStoreTest, NumbersRoundTripAsSigned32BitDwords) {
  const std::int32_t kNumbers[] = {0, 1, 42, -1, -12345, INT32_MAX, INT32_MIN};
  for (std::int32_t number : kNumbers) {
    ASSERT_TRUE(store_.WriteInt("UserType", "Count", number));
    EXPECT_EQ(store_.ReadInt("UserType", "Count", 7), number);
    const RawValue raw = GetRaw("UserType", "Count");
    EXPECT_EQ(raw.type, DWORD{REG_DWORD});
    ASSERT_EQ(raw.bytes.size(), 4u);
    const auto stored = static_cast<std::uint32_t>(number);
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(raw.bytes[i], static_cast<unsigned char>(stored >> (8 * i)));  // little-endian
    }
  }
}

// Values that the program did not write: the stored type is not looked at, only the size.
TEST_F(SettingsStoreTest, ForeignValuesReadByTheirBytes) {
  const unsigned char eight[8] = {5, 0, 0, 0, 0, 0, 0, 0};
  SetRaw("UserType", "Count", REG_BINARY, eight, sizeof eight);
  EXPECT_EQ(store_.ReadInt("UserType", "Count", 0), 0) << "longer than 4 bytes: missing";
  const std::uint64_t quad = 3;
  SetRaw("UserType", "Count", REG_QWORD, &quad, sizeof quad);
  EXPECT_EQ(store_.ReadInt("UserType", "Count", 0), 0);

  SetRaw("UserType", "Count", REG_BINARY, eight, 4);
  EXPECT_EQ(store_.ReadInt("UserType", "Count", 0), 5) << "4 bytes of another type";
  const unsigned char two[2] = {0x34, 0x12};
  SetRaw("UserType", "Count", REG_BINARY, two, sizeof two);
  EXPECT_EQ(store_.ReadInt("UserType", "Count", 0), 0x1234) << "short: the low bytes";

  const std::wstring unterminated = L"abc";
  SetRaw("Recent", "Search", REG_SZ, unterminated.data(), 3 * sizeof(wchar_t));
  EXPECT_EQ(store_.ReadString("Recent", "Search"), "abc");
  const std::wstring inner = std::wstring(L"ab") + L'\0' + L"cd";
  SetRaw("Recent", "Search", REG_SZ, inner.data(), 6 * sizeof(wchar_t));
  EXPECT_EQ(store_.ReadString("Recent", "Search"), "ab") << "up to the first zero";
  SetRaw("Recent", "Search", REG_BINARY, "ab\0", 3);
  EXPECT_EQ(store_.ReadString("Recent", "Search"), Narrow(std::wstring(1, L'a' | 'b' << 8)))
      << "odd byte count";
}

TEST_F(SettingsStoreTest, NothingIsCachedBetweenOperations) {
  ASSERT_TRUE(store_.WriteString("Recent", "Search", "C:\\first"));
  const std::wstring changed = L"D:\\second";
  SetRaw("Recent", "Search", REG_SZ, changed.c_str(),
         static_cast<DWORD>((changed.size() + 1) * sizeof(wchar_t)));
  EXPECT_EQ(store_.ReadString("Recent", "Search"), "D:\\second");

  // Keys removed behind the store's back come back with the next operation.
  RegDeleteTreeW(HKEY_CURRENT_USER, Widen("Software\\" + company_).c_str());
  EXPECT_EQ(store_.ReadString("Recent", "Search", "gone"), "gone");
  EXPECT_TRUE(store_.WriteInt("UserType", "Count", 2));
  EXPECT_EQ(store_.ReadInt("UserType", "Count", 0), 2);
}

TEST_F(SettingsStoreTest, APathThatCannotBeCreatedGivesDefaultsAndFailedWrites) {
  // Key names are limited to 255 characters.
  SettingsStore store;
  store.SetRegistryRoot(company_, std::string(300, 'k'));
  EXPECT_EQ(store.ReadString("Recent", "Search", "default"), "default");
  EXPECT_FALSE(store.WriteString("Recent", "Search", "C:\\"));
  EXPECT_EQ(store.ReadInt("UserType", "Count", -3), -3);
  EXPECT_FALSE(store.WriteInt("UserType", "Count", 1));
}

}  // namespace
