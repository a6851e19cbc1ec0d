#include "engine/win32/win32_file_enumeration.h"

#include "engine/win32/exact_path.h"
#include "engine/win32/pinned_directory_chain.h"
#include "engine/win32/utf.h"

#include <windows.h>

#include <cstdint>

namespace {

// CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, from Windows 10 1803 on; older systems refuse the
// timer and the pause falls back to Sleep(1).
constexpr DWORD kHighResolutionTimer = 0x00000002;

FoundEntry ToFoundEntry(const WIN32_FIND_DATAW& data) {
  FoundEntry entry;
  entry.name = Narrow(data.cFileName);
  entry.shortName = Narrow(data.cAlternateFileName);
  entry.isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  entry.isReparsePoint = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  if (!entry.isDirectory) entry.size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
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

Win32FileEnumeration::~Win32FileEnumeration() {
  if (timer_ != nullptr) CloseHandle(timer_);
}

// The first pause tells which way keeps to a millisecond: Sleep(1) where the system's timer
// is fine enough (under Wine it lasts about 1.1 ms, where the timer's two calls take 1.3),
// else the high-resolution timer.
void Win32FileEnumeration::Pause() {
  if (!timerTried_) {
    timerTried_ = true;
    LARGE_INTEGER start, end, frequency;
    QueryPerformanceCounter(&start);
    Sleep(1);
    QueryPerformanceCounter(&end);
    QueryPerformanceFrequency(&frequency);
    const bool sleepIsCoarse = (end.QuadPart - start.QuadPart) * 2000 > frequency.QuadPart * 3;  // > 1.5 ms
    if (sleepIsCoarse) timer_ = CreateWaitableTimerExW(nullptr, nullptr, kHighResolutionTimer, TIMER_ALL_ACCESS);
    return;
  }
  LARGE_INTEGER due;
  due.QuadPart = -10000;  // 1 ms from now, in 100 ns units
  if (timer_ != nullptr && SetWaitableTimer(timer_, &due, 0, nullptr, nullptr, FALSE) &&
      WaitForSingleObject(timer_, INFINITE) == WAIT_OBJECT_0) {
    return;
  }
  Sleep(1);
}

std::vector<FoundEntry> Win32FileEnumeration::Enumerate(const std::string& searchString) {
  std::vector<FoundEntry> entries;
  // Empty for a search that ends in a separator: Windows and Wine both refuse one, but the scan
  // relies on that (an empty pattern adds no rows), so it is decided here, not left to each
  // file system driver. Likewise for a NUL, which would cut the search short.
  const std::wstring search = ToExactSearch(Widen(searchString));
  if (search.empty()) return entries;

  QuietCriticalErrors quiet;
  WIN32_FIND_DATAW data;
  // FindExInfoStandard, because only it fills in the short name that a caller may match against.
  const HANDLE found = FindFirstFileExW(search.c_str(), FindExInfoStandard, &data, FindExSearchNameMatch, nullptr,
                                        FIND_FIRST_EX_LARGE_FETCH);
  if (found == INVALID_HANDLE_VALUE) return entries;
  do {
    entries.push_back(ToFoundEntry(data));
  } while (FindNextFileW(found, &data));
  FindClose(found);
  return entries;
}

bool Win32FileEnumeration::IdentifyDirectory(const std::string& directory, DirectoryIdentity& identity) {
  ExactPath exact;
  if (!ToExactPath(Widen(directory), exact)) return false;
  QuietCriticalErrors quiet;
  const HANDLE opened = CreateFileW(exact.Text().c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  const OwnedHandle handle(opened == INVALID_HANDLE_VALUE ? nullptr : opened);
  return handle && IdentityOf(handle.Get(), identity);
}
