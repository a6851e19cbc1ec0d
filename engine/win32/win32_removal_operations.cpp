#include "engine/win32/win32_removal_operations.h"

#include "engine/win32/utf.h"

#include <shellapi.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

constexpr DWORD kShredBlockSize = 4096;

// The attributes that SetFileAttributesW can give back; the others are the file system's own.
constexpr DWORD kRestorableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                        FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_TEMPORARY |
                                        FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

bool ReadsOne(HKEY root, const wchar_t* key, const wchar_t* value) {
  DWORD data = 0;
  DWORD size = sizeof(data);
  return RegGetValueW(root, key, value, RRF_RT_REG_DWORD, nullptr, &data, &size) == ERROR_SUCCESS && data == 1;
}

// "\\server\share\..." or "\\?\UNC\server\share\...", but not the other "\\?\" and "\\.\"
// forms, which name local files and devices.
bool IsNetworkPath(const std::wstring& path) {
  if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0) return true;
  return path.size() > 2 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'?' && path[2] != L'.';
}

// Whether the shell would delete this file for good instead of moving it to a recycle bin, as
// far as the system lets us know before the move: no bin on network, removable and optical
// drives; none where the shell finds none for the drive; none where the user's settings or
// policy turned the bin off. When the drive cannot be determined the shell is left to try.
bool KnownToHaveNoRecycleBin(const std::wstring& path) {
  if (IsNetworkPath(path)) return true;
  // The root is never longer than the path, except for a short relative one (the current drive).
  std::vector<wchar_t> root(std::max<std::size_t>(path.size(), MAX_PATH) + 2);
  if (!GetVolumePathNameW(path.c_str(), root.data(), static_cast<DWORD>(root.size()))) return false;

  switch (GetDriveTypeW(root.data())) {
    case DRIVE_REMOTE:
    case DRIVE_REMOVABLE:
    case DRIVE_CDROM:
    case DRIVE_RAMDISK:
      return true;
    default:
      break;
  }

  SHQUERYRBINFO bin = {};
  bin.cbSize = sizeof(bin);
  if (FAILED(SHQueryRecycleBinW(root.data(), &bin))) return true;

  const wchar_t* policy = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
  if (ReadsOne(HKEY_CURRENT_USER, policy, L"NoRecycleFiles") || ReadsOne(HKEY_LOCAL_MACHINE, policy, L"NoRecycleFiles")) {
    return true;
  }

  // "\\?\Volume{guid}\": the user's per-drive choice to delete without the bin is kept by GUID.
  wchar_t volume[64] = {};
  if (GetVolumeNameForVolumeMountPointW(root.data(), volume, ARRAYSIZE(volume))) {
    std::wstring guid(volume);
    const std::wstring::size_type open = guid.find(L'{');
    const std::wstring::size_type close = guid.find(L'}');
    if (open != std::wstring::npos && close != std::wstring::npos && close > open) {
      const std::wstring key = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\BitBucket\\Volume\\" +
                               guid.substr(open, close - open + 1);
      if (ReadsOne(HKEY_CURRENT_USER, key.c_str(), L"NukeOnDelete")) return true;
    }
  }
  return false;
}

// Overwrites an open file from its start with zero blocks until the position is at or past
// the length it had. Gives whether that old length was covered: a write that fails or falls
// short (a full disk) ends the overwrite, and only the bytes actually written count. The
// position is counted from the bytes written rather than asked of the system after each
// block: a write moves it by exactly that much, and the query doubled the cost of a shred.
bool OverwriteWithZeros(HANDLE file) {
  LARGE_INTEGER length = {};
  if (!GetFileSizeEx(file, &length)) return false;
  LARGE_INTEGER start = {};
  if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return false;

  const char block[kShredBlockSize] = {};
  LONGLONG position = 0;
  do {
    DWORD written = 0;
    const BOOL wrote = WriteFile(file, block, kShredBlockSize, &written, nullptr);
    position += written;
    if (!wrote || written != kShredBlockSize) break;
  } while (position < length.QuadPart);
  return position >= length.QuadPart;
}

}  // namespace

Win32RemovalOperations::Win32RemovalOperations(std::string scanRoot,
                                               std::function<HWND()> ownerWindow)
    : scanRoot_(std::move(scanRoot)), ownerWindow_(std::move(ownerWindow)) {}

bool Win32RemovalOperations::PlainDelete(const std::string& path) { return DeleteFileW(Widen(path).c_str()) != 0; }

bool Win32RemovalOperations::ForcedDelete(const std::string& path) {
  const std::wstring name = Widen(path);
  if (DeleteFileW(name.c_str())) return true;

  const DWORD original = GetFileAttributesW(name.c_str());
  if (!SetFileAttributesW(name.c_str(), 0)) return false;
  if (DeleteFileW(name.c_str())) return true;
  // Still in use or denied: the file stays as it was, read-only, hidden or system as before.
  if (original != INVALID_FILE_ATTRIBUTES) SetFileAttributesW(name.c_str(), original & kRestorableAttributes);
  return false;
}

bool Win32RemovalOperations::ShredFile(const std::string& path) {
  const std::wstring name = Widen(path);
  // Read-only files are refused before the open, as the open itself refuses them on Windows:
  // some systems let a privileged user open them for writing, and the overwrite would then
  // destroy a file that the delete afterwards cannot remove.
  const DWORD attributes = GetFileAttributesW(name.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) != 0) return false;
  // No sharing: nobody reads the old data while it is overwritten, and a file that anybody
  // holds open is left alone before a byte is written.
  HANDLE file = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;

  const bool covered = OverwriteWithZeros(file);
  const bool flushed = FlushFileBuffers(file) != 0;
  CloseHandle(file);
  // Deleting a file whose old data may still be on the disk would lose the user's only
  // chance to shred it again: it stays, and its row with it.
  if (!covered || !flushed) return false;
  return DeleteFileW(name.c_str()) != 0;
}

bool Win32RemovalOperations::RecycleFile(const std::string& path) {
  const std::wstring name = Widen(path);
  if (KnownToHaveNoRecycleBin(name)) return false;

  HWND owner = ownerWindow_ ? ownerWindow_() : nullptr;
  if (owner == nullptr) owner = GetDesktopWindow();

  // A list of one name, closed by an empty name.
  std::wstring from = name;
  from.push_back(L'\0');
  from.push_back(L'\0');

  SHFILEOPSTRUCTW operation = {};
  operation.hwnd = owner;
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.pTo = nullptr;
  operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_NOERRORUI;
  operation.fAnyOperationsAborted = TRUE;
  operation.hNameMappings = nullptr;
  operation.lpszProgressTitle = nullptr;
  return SHFileOperationW(&operation) == 0;
}

bool Win32RemovalOperations::DeleteAtRestart(const std::string& path) {
  return MoveFileExW(Widen(path).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
}
