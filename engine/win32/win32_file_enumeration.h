#pragma once

#include "engine/file_enumeration.h"

#include <string>
#include <vector>

// The scan's file enumeration on the wide-character Win32 API. Wildcards, letter case and short
// names are matched by the file system itself. The search string is used as given, without a
// "\\?\" prefix, so the classic MAX_PATH limit applies to it on every system and configuration.
class Win32FileEnumeration final : public FileEnumeration {
 public:
  std::vector<FoundEntry> Enumerate(const std::string& search) override;
};
