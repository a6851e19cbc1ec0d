#include "engine/win32/win32_file_enumeration.h"

#include "engine/win32/utf.h"

#include <windows.h>

namespace {

// A search that ends in a separator names no entry: Windows and Wine both refuse it, but the
// scan relies on that (an empty pattern adds no rows), so it is decided here, not left to each
// file system driver.
bool EndsInSeparator(const std::wstring& search) {
  return !search.empty() && (search.back() == L'\\' || search.back() == L'/');
}

// Without the "\\?\" prefix Windows accepts at most MAX_PATH - 1 characters, unless the machine
// has opted into long paths; Wine has no such limit. Refusing longer ones here keeps a scan's
// result independent of either.
bool TooLong(const std::wstring& search) { return search.size() >= MAX_PATH; }

FoundEntry ToFoundEntry(const WIN32_FIND_DATAW& data) {
  FoundEntry entry;
  entry.name = Narrow(data.cFileName);
  entry.shortName = Narrow(data.cAlternateFileName);
  entry.isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  entry.isReparsePoint = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  return entry;
}

// A drive without a medium must not stop the scan with a system dialog; it simply lists nothing.
class QuietCriticalErrors {
 public:
  QuietCriticalErrors() { SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previous_); }
  ~QuietCriticalErrors() { SetThreadErrorMode(previous_, nullptr); }
  QuietCriticalErrors(const QuietCriticalErrors&) = delete;
  QuietCriticalErrors& operator=(const QuietCriticalErrors&) = delete;

 private:
  DWORD previous_ = 0;
};

}  // namespace

std::vector<FoundEntry> Win32FileEnumeration::Enumerate(const std::string& searchString) {
  std::vector<FoundEntry> entries;
  const std::wstring wide = Widen(searchString);
  // A NUL inside would silently cut the search string short and search something else.
  if (wide.empty() || wide.find(L'\0') != std::wstring::npos || EndsInSeparator(wide) ||
      TooLong(wide)) {
    return entries;
  }

  QuietCriticalErrors quiet;
  WIN32_FIND_DATAW data;
  // FindExInfoStandard, because only it fills in the short name that a caller may match against.
  const HANDLE found = FindFirstFileExW(wide.c_str(), FindExInfoStandard, &data,
                                        FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (found == INVALID_HANDLE_VALUE) return entries;
  do {
    entries.push_back(ToFoundEntry(data));
  } while (FindNextFileW(found, &data));
  FindClose(found);
  return entries;
}
