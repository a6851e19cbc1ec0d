#pragma once

#include <cstdint>
#include <string>

// The per-user settings in the registry, under
// HKEY_CURRENT_USER\Software\<company key>\<application key>\<section>. Every operation opens
// the path anew (creating missing keys, reads included) and closes it before returning;
// nothing is cached. Texts are UTF-8 here and REG_SZ in the registry.
class SettingsStore {
 public:
  void SetRegistryRoot(const std::string& companyKey, const std::string& applicationKey);

  // A read that fails leaves the default.
  std::string ReadString(const std::string& section, const std::string& entry,
                         const std::string& defaultText = std::string()) const;
  bool WriteString(const std::string& section, const std::string& entry,
                   const std::string& text) const;
  std::int32_t ReadInt(const std::string& section, const std::string& entry,
                       std::int32_t defaultValue) const;
  bool WriteInt(const std::string& section, const std::string& entry, std::int32_t value) const;

 private:
  std::string companyKey_;
  std::string applicationKey_;
};
