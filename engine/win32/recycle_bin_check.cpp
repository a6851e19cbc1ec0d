#include "engine/win32/recycle_bin_check.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>

namespace {

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

// The user's per-drive choice to delete without the bin is kept by the volume's GUID.
bool NukedOnDelete(const std::wstring& root) {
  wchar_t volume[64] = {};  // "\\?\Volume{guid}\"
  if (!GetVolumeNameForVolumeMountPointW(root.c_str(), volume, ARRAYSIZE(volume))) return false;
  const std::wstring name(volume);
  const std::wstring::size_type open = name.find(L'{');
  const std::wstring::size_type close = name.find(L'}');
  if (open == std::wstring::npos || close == std::wstring::npos || close < open) return false;
  const std::wstring key = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\BitBucket\\Volume\\" +
                           name.substr(open, close - open + 1);
  return ReadsOne(HKEY_CURRENT_USER, key.c_str(), L"NukeOnDelete");
}

bool VolumeKnownToHaveNoBin(const std::wstring& root) {
  switch (GetDriveTypeW(root.c_str())) {
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
  if (FAILED(SHQueryRecycleBinW(root.c_str(), &bin))) return true;
  const wchar_t* policy = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
  return ReadsOne(HKEY_CURRENT_USER, policy, L"NoRecycleFiles") ||
         ReadsOne(HKEY_LOCAL_MACHINE, policy, L"NoRecycleFiles") || NukedOnDelete(root);
}

}  // namespace

bool RecycleBinCheck::KnownToHaveNoBin(const std::wstring& directory) {
  if (IsNetworkPath(directory)) return true;
  auto volume = volumes_.find(directory);
  if (volume == volumes_.end()) {
    std::vector<wchar_t> root(std::max<std::size_t>(directory.size(), MAX_PATH) + 2);
    if (!GetVolumePathNameW(directory.c_str(), root.data(), static_cast<DWORD>(root.size()))) root[0] = L'\0';
    volume = volumes_.emplace(directory, root.data()).first;
  }
  if (volume->second.empty()) return false;
  auto answer = answers_.find(volume->second);
  if (answer == answers_.end()) {
    answer = answers_.emplace(volume->second, VolumeKnownToHaveNoBin(volume->second)).first;
  }
  return answer->second;
}
