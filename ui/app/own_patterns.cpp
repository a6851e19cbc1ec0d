#include "ui/app/own_patterns.h"

#include <cstdint>
#include <optional>
#include <string>

namespace {

constexpr char kSection[] = "UserType";
constexpr char kCountEntry[] = "Count";
constexpr char kPatternEntry[] = "FileType";

std::string PatternEntry(std::int64_t number) { return kPatternEntry + std::to_string(number); }

// k for an entry named "FileType" followed by k in decimal, as PatternEntry writes it (the
// name in lower case).
std::optional<std::int64_t> PatternNumber(const std::string& lowerName) {
  const std::string prefix = "filetype";
  if (lowerName.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
  const std::string digits = lowerName.substr(prefix.size());
  if (digits.empty() || digits.size() > 10 || digits[0] == '0') return std::nullopt;
  std::int64_t number = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    number = number * 10 + (c - '0');
  }
  return number;
}

}  // namespace

TargetPatternList LoadOwnPatterns(const SettingsStore& settings) {
  const SettingsSection section = settings.ReadSection(kSection);
  const std::int32_t count = section.ReadInt(kCountEntry, 0);
  std::int64_t last = 0;
  for (const std::string& name : section.EntryNames()) {
    const std::optional<std::int64_t> number = PatternNumber(name);
    if (number && *number <= count && *number > last) last = *number;
  }
  TargetPatternList patterns;
  for (std::int64_t number = 1; number <= last; ++number) {
    patterns.push_back(section.ReadString(PatternEntry(number)));
  }
  return patterns;
}

void SaveOwnPatterns(const SettingsStore& settings, const TargetPatternList& patterns) {
  settings.WriteInt(kSection, kCountEntry, static_cast<std::int32_t>(patterns.size()));
  for (std::size_t index = 0; index < patterns.size(); ++index) {
    settings.WriteString(kSection, PatternEntry(static_cast<std::int64_t>(index) + 1),
                         patterns[index]);
  }
}
