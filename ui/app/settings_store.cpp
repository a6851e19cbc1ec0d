#include "ui/app/settings_store.h"

#include "engine/path_text.h"
#include "engine/win32/utf.h"

#include <windows.h>

#include <cstring>
#include <optional>
#include <vector>

namespace {

constexpr REGSAM kAccess = KEY_READ | KEY_WRITE;

// Creates or opens one key below parent; null when that fails.
HKEY CreateKey(HKEY parent, const std::string& name) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(parent, Widen(name).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, kAccess,
                      nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return nullptr;
  }
  return key;
}

// Closes the key when the scope ends.
class OpenKey {
 public:
  explicit OpenKey(HKEY key) : key_(key) {}
  ~OpenKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  HKEY Get() const { return key_; }
  explicit operator bool() const { return key_ != nullptr; }

 private:
  HKEY key_;
};

// HKEY_CURRENT_USER\software\<company>\<application>\<section>, every key created when missing
// (reads too); null when any step fails. Opened anew each time: nothing is cached.
HKEY OpenSectionKey(const std::string& companyKey, const std::string& applicationKey,
                    const std::string& section) {
  HKEY software = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"software", 0, kAccess, &software) != ERROR_SUCCESS) {
    return nullptr;
  }
  const OpenKey softwareKey(software);
  const OpenKey company(CreateKey(software, companyKey));
  if (!company) return nullptr;
  const OpenKey application(CreateKey(company.Get(), applicationKey));
  if (!application) return nullptr;
  return CreateKey(application.Get(), section);
}

// The stored bytes as text: whole characters and a terminating zero beyond them, so that a
// value stored without its zero (or with an odd byte count) still ends.
std::string TextOf(const std::vector<unsigned char>& bytes) {
  std::vector<wchar_t> text(bytes.size() / sizeof(wchar_t) + 2, L'\0');
  if (!bytes.empty()) std::memcpy(text.data(), bytes.data(), bytes.size());
  return Narrow(text.data());
}

// The stored type is not looked at; a value longer than 4 bytes does not fit and counts as
// missing. A shorter one fills the low bytes of a zero.
std::optional<std::int32_t> IntOf(const std::vector<unsigned char>& bytes) {
  if (bytes.size() > sizeof(std::uint32_t)) return std::nullopt;
  std::uint32_t value = 0;
  if (!bytes.empty()) std::memcpy(&value, bytes.data(), bytes.size());
  return static_cast<std::int32_t>(value);
}

std::optional<std::vector<unsigned char>> QueryValue(HKEY key, const std::string& entry) {
  const std::wstring name = Widen(entry);
  DWORD size = 0;
  if (RegQueryValueExW(key, name.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::vector<unsigned char> bytes(size);
  if (RegQueryValueExW(key, name.c_str(), nullptr, nullptr, bytes.data(), &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  bytes.resize(size);
  return bytes;
}

std::string AsciiLowered(std::string text) {
  for (char& c : text) c = AsciiLower(c);
  return text;
}

}  // namespace

std::string SettingsSection::ReadString(const std::string& entry,
                                        const std::string& defaultText) const {
  const auto value = values_.find(AsciiLowered(entry));
  return value == values_.end() ? defaultText : TextOf(value->second.bytes);
}

std::int32_t SettingsSection::ReadInt(const std::string& entry, std::int32_t defaultValue) const {
  const auto value = values_.find(AsciiLowered(entry));
  if (value == values_.end()) return defaultValue;
  return IntOf(value->second.bytes).value_or(defaultValue);
}

std::optional<std::int32_t> SettingsSection::ReadDword(const std::string& entry) const {
  const auto value = values_.find(AsciiLowered(entry));
  if (value == values_.end() || value->second.type != REG_DWORD) return std::nullopt;
  if (value->second.bytes.size() != sizeof(std::uint32_t)) return std::nullopt;
  return IntOf(value->second.bytes);
}

std::vector<std::string> SettingsSection::EntryNames() const {
  std::vector<std::string> names;
  for (const auto& value : values_) names.push_back(value.first);
  return names;
}

void SettingsStore::SetRegistryRoot(const std::string& companyKey,
                                    const std::string& applicationKey) {
  companyKey_ = companyKey;
  applicationKey_ = applicationKey;
}

std::string SettingsStore::ReadString(const std::string& section, const std::string& entry,
                                      const std::string& defaultText) const {
  const OpenKey key(OpenSectionKey(companyKey_, applicationKey_, section));
  if (!key) return defaultText;
  const auto bytes = QueryValue(key.Get(), entry);
  return bytes ? TextOf(*bytes) : defaultText;
}

bool SettingsStore::WriteString(const std::string& section, const std::string& entry,
                                const std::string& text) const {
  const OpenKey key(OpenSectionKey(companyKey_, applicationKey_, section));
  if (!key) return false;
  const std::wstring wide = Widen(text);
  const auto size = static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(key.Get(), Widen(entry).c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(wide.c_str()), size) == ERROR_SUCCESS;
}

std::int32_t SettingsStore::ReadInt(const std::string& section, const std::string& entry,
                                    std::int32_t defaultValue) const {
  const OpenKey key(OpenSectionKey(companyKey_, applicationKey_, section));
  if (!key) return defaultValue;
  const auto bytes = QueryValue(key.Get(), entry);
  return bytes ? IntOf(*bytes).value_or(defaultValue) : defaultValue;
}

bool SettingsStore::WriteInt(const std::string& section, const std::string& entry,
                             std::int32_t value) const {
  const OpenKey key(OpenSectionKey(companyKey_, applicationKey_, section));
  if (!key) return false;
  const auto stored = static_cast<DWORD>(value);
  return RegSetValueExW(key.Get(), Widen(entry).c_str(), 0, REG_DWORD,
                        reinterpret_cast<const BYTE*>(&stored), sizeof stored) == ERROR_SUCCESS;
}

SettingsSection SettingsStore::ReadSection(const std::string& section) const {
  SettingsSection read;
  const OpenKey key(OpenSectionKey(companyKey_, applicationKey_, section));
  if (!key) return read;
  DWORD count = 0;
  DWORD longestName = 0;
  DWORD largestValue = 0;
  if (RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                       &longestName, &largestValue, nullptr, nullptr) != ERROR_SUCCESS) {
    return read;
  }
  std::vector<wchar_t> name(longestName + 1);
  std::vector<unsigned char> bytes(largestValue);
  for (DWORD index = 0; index < count; ++index) {
    DWORD nameLength = static_cast<DWORD>(name.size());
    DWORD size = static_cast<DWORD>(bytes.size());
    DWORD type = REG_NONE;
    // A value that changed since the key was measured is left out.
    if (RegEnumValueW(key.Get(), index, name.data(), &nameLength, nullptr, &type, bytes.data(),
                      &size) != ERROR_SUCCESS) {
      continue;
    }
    SettingsSection::Value& value = read.values_[AsciiLowered(Narrow(name.data(), nameLength))];
    value.type = type;
    value.bytes.assign(bytes.begin(), bytes.begin() + size);
  }
  return read;
}
