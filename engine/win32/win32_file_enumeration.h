#pragma once

#include "engine/file_enumeration.h"

#include <string>
#include <vector>

// The scan's file enumeration on the wide-character Win32 API. Wildcards, letter case and short
// names are matched by the file system itself. The directory part of the search goes to the
// system exactly, in its "\\?\" form: names ending in a dot or a blank are searched as they are,
// and paths may be as long as the file system allows.
class Win32FileEnumeration final : public FileEnumeration {
 public:
  std::vector<FoundEntry> Enumerate(const std::string& search) override;
  bool IdentifyDirectory(const std::string& directory, DirectoryIdentity& identity) override;
};
