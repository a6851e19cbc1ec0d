#pragma once

#include <map>
#include <string>

// Whether the shell would delete a file for good instead of moving it to a recycle bin, as far
// as the system lets us know before the move: no bin on network, removable and optical drives;
// none where the shell finds none for the drive; none where the user's settings or policy turned
// the bin off. The shell's query sums up the whole bin each time it is asked, so one object
// asks once per volume and keeps the answer: it serves one deletion run.
class RecycleBinCheck {
 public:
  // `directory` is an absolute ordinary path; the answer holds for the files below it that are
  // reached through no mount point. When the volume cannot be determined the shell is left to
  // try.
  bool KnownToHaveNoBin(const std::wstring& directory);

 private:
  std::map<std::wstring, std::wstring> volumes_;  // directory -> the root of its volume
  std::map<std::wstring, bool> answers_;          // volume root -> known to have no bin
};
