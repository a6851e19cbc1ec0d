#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// One section's values as they were when it was read, looked up as SettingsStore reads them.
class SettingsSection {
 public:
  std::string ReadString(const std::string& entry,
                         const std::string& defaultText = std::string()) const;
  std::int32_t ReadInt(const std::string& entry, std::int32_t defaultValue) const;
  // Only a value stored as a 32-bit number (REG_DWORD) counts; anything else is missing.
  std::optional<std::int32_t> ReadDword(const std::string& entry) const;
  // The entries' names, ASCII letters in lower case (the registry ignores their case).
  std::vector<std::string> EntryNames() const;

 private:
  friend class SettingsStore;
  struct Value {
    unsigned long type = 0;
    std::vector<unsigned char> bytes;
  };
  std::map<std::string, Value> values_;
};

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
  // Every value of the section with one opening of its key; empty when it cannot be read.
  SettingsSection ReadSection(const std::string& section) const;

 private:
  std::string companyKey_;
  std::string applicationKey_;
};
