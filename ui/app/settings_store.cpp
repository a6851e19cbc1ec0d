#include "ui/app/settings_store.h"

#include "engine/win32/utf.h"

#include <windows.h>

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

}  // namespace

void SettingsStore::SetRegistryRoot(const std::string& companyKey,
                                    const std::string& applicationKey) {
  companyKey_ = companyKey;
  applicationKey_ = applicationKey;
}

std::string SettingsStore::ReadString(const std::string& section, const std::string& entry,
                                      const std::string& defaultText) const {
  const OpenKey key(OpenSectionKey(companyKey_, applicationKey_, section));
  if (!key) return defaultText;
  const std::wstring name = Widen(entry);
  DWORD size = 0;
  if (RegQueryValueExW(key.Get(), name.c_str(), nullptr, nullptr, nullptr, &size) !=
      ERROR_SUCCESS) {
    return defaultText;
  }
  // Whole characters and a terminating zero beyond the stored bytes, so that a value stored
  // without its zero (or with an odd byte count) still ends.
  std::vector<wchar_t> text(size / sizeof(wchar_t) + 2, L'\0');
  if (RegQueryValueExW(key.Get(), name.c_str(), nullptr, nullptr,
                       reinterpret_cast<BYTE*>(text.data()), &size) != ERROR_SUCCESS) {
    return defaultText;
  }
  return Narrow(text.data());
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

// The stored type is not looked at; a value longer than 4 bytes does not fit and counts as
// missing. A shorter one fills the low bytes of a zero.
std::int32_t SettingsStore::ReadInt(const std::string& section, const std::string& entry,
                                    std::int32_t defaultValue) const {
  const OpenKey key(OpenSectionKey(companyKey_, applicationKey_, section));
  if (!key) return defaultValue;
  std::uint32_t value = 0;
  DWORD size = sizeof value;
  if (RegQueryValueExW(key.Get(), Widen(entry).c_str(), nullptr, nullptr,
                       reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS) {
    return defaultValue;
  }
  return static_cast<std::int32_t>(value);
}

bool SettingsStore::WriteInt(const std::string& section, const std::string& entry,
                             std::int32_t value) const {
  const OpenKey key(OpenSectionKey(companyKey_, applicationKey_, section));
  if (!key) return false;
  const auto stored = static_cast<DWORD>(value);
  return RegSetValueExW(key.Get(), Widen(entry).c_str(), 0, REG_DWORD,
                        reinterpret_cast<const BYTE*>(&stored), sizeof stored) == ERROR_SUCCESS;
}
