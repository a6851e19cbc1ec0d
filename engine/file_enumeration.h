#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

// One entry of a directory listing. Names are UTF-8 and carry no directory.
struct FoundEntry {
  std::string name;
  std::string shortName;  // the 8.3 alias where the file system keeps one, else empty
  bool isDirectory = false;
  bool isReparsePoint = false;  // junction, symbolic link or mount point
  std::uint64_t size = 0;       // in bytes, as the listing gives it; 0 for a directory
};

// The one file-system operation of the scan side. Given a search string (a directory,
// a separator and a pattern, "D:\src\*.*"), yields the entries of that one directory whose long
// or short name matches the pattern, in the file system's own order: wildcards and letter case
// are the file system's, hidden and system entries and "." and ".." are included. A
// search string that cannot be searched (missing or unreadable directory, too long, ending in
// "\") yields nothing and reports nothing.
class FileEnumeration {
 public:
  virtual ~FileEnumeration() = default;
  virtual std::vector<FoundEntry> Enumerate(const std::string& search) = 0;
  // Gives the rest of the system about a millisecond; the walks do so now and then.
  virtual void Pause() { std::this_thread::sleep_for(std::chrono::milliseconds(1)); }
};
