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

// What tells a directory from every other while it exists: its volume and its number there.
struct DirectoryIdentity {
  std::uint64_t volume = 0;
  std::uint64_t file = 0;
  friend bool operator==(const DirectoryIdentity& a, const DirectoryIdentity& b) {
    return a.volume == b.volume && a.file == b.file;
  }
};

// The file-system operations of the scan side. Given a search string (a directory,
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
  // The identity of the directory that the text names (links followed), as it is now; false
  // where it cannot be told.
  virtual bool IdentifyDirectory(const std::string& directory, DirectoryIdentity& identity) {
    static_cast<void>(directory);
    static_cast<void>(identity);
    return false;
  }
};
