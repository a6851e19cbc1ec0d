#include "engine/win32/exact_path.h"

#include "engine/path_text.h"
#include "engine/win32/utf.h"

#include <windows.h>

#include <algorithm>

namespace {

const wchar_t kVerbatim[] = L"\\\\?\\";

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool HasDrive(const std::wstring& path) { return path.size() >= 2 && path[1] == L':'; }

// "\\?\..." and "\\.\...": a volume named by the system's own form.
bool IsDeviceForm(const std::wstring& path) {
  return path.size() >= 4 && IsSeparator(path[0]) && IsSeparator(path[1]) &&
         (path[2] == L'?' || path[2] == L'.') && IsSeparator(path[3]);
}

bool IsUncForm(const std::wstring& path) {
  return path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
}

std::vector<std::wstring> SplitNames(const std::wstring& text) {
  std::vector<std::wstring> names;
  std::wstring name;
  for (const wchar_t c : text) {
    if (!IsSeparator(c)) {
      name += c;
    } else if (!name.empty()) {
      names.push_back(std::move(name));
      name.clear();
    }
  }
  if (!name.empty()) names.push_back(std::move(name));
  return names;
}

// Appends the names of `text`, resolving "." and ".." as Win32 does; `lowest` keeps the fewest
// names the path held on the way.
void AppendNames(ExactPath& exact, const std::wstring& text, std::size_t& lowest) {
  for (std::wstring& name : SplitNames(text)) {
    if (name == L".") continue;
    if (name == L"..") {
      if (!exact.names.empty()) exact.names.pop_back();
      lowest = std::min(lowest, exact.names.size());
      continue;
    }
    exact.names.push_back(std::move(name));
  }
}

// A system call that fills a buffer and gives the length it needs when the buffer is short.
template <typename Call>
std::wstring Filled(Call call) {
  std::wstring text(MAX_PATH, L'\0');
  DWORD length = call(static_cast<DWORD>(text.size()), text.data());
  if (length >= text.size()) {
    text.resize(length);
    length = call(static_cast<DWORD>(text.size()), text.data());
  }
  text.resize(length < text.size() ? length : 0);
  return text;
}

// The path made absolute as Win32 resolves a relative one, its names left as written.
std::wstring Absolute(const std::wstring& path) {
  if (IsDeviceForm(path) || IsUncForm(path)) return path;
  if (HasDrive(path) && path.size() >= 3 && IsSeparator(path[2])) return path;
  if (HasDrive(path)) {
    // The drive's own current directory, or its root when it has none.
    const std::wstring drive = path.substr(0, 2);
    return Filled([&](DWORD size, wchar_t* buffer) {
             return GetFullPathNameW(drive.c_str(), size, buffer, nullptr);
           }) +
           L"\\" + path.substr(2);
  }
  if (!path.empty() && IsSeparator(path[0])) {
    // The root of the current directory's drive or share.
    return Filled([](DWORD size, wchar_t* buffer) {
             return GetFullPathNameW(L"\\", size, buffer, nullptr);
           }) +
           path;
  }
  return Filled([](DWORD size, wchar_t* buffer) { return GetCurrentDirectoryW(size, buffer); }) +
         L"\\" + path;
}

// Parses an absolute path; false for one that names no volume.
bool ParseAbsolute(const std::wstring& path, ExactPath& exact, std::size_t& lowest) {
  exact = ExactPath();
  std::wstring rest;
  if (IsDeviceForm(path) || IsUncForm(path)) {
    const bool device = IsDeviceForm(path);
    std::vector<std::wstring> names = SplitNames(path.substr(device ? 4 : 2));
    const bool unc = !device || (!names.empty() && CompareStringOrdinal(names[0].c_str(), -1, L"UNC", -1,
                                                                        TRUE) == CSTR_EQUAL);
    const std::size_t volumeNames = device ? (unc ? 3 : 1) : 2;
    if (names.size() < volumeNames) return false;
    exact.volume = unc ? std::wstring(kVerbatim) + L"UNC" : std::wstring(kVerbatim) + names[0];
    for (std::size_t i = device ? 1 : 0; i < volumeNames; ++i) exact.volume += L"\\" + names[i];
    for (std::size_t i = volumeNames; i < names.size(); ++i) rest += L"\\" + names[i];
  } else if (HasDrive(path)) {
    exact.volume = kVerbatim + path.substr(0, 2);
    rest = path.substr(2);
  } else {
    return false;
  }
  lowest = 0;
  AppendNames(exact, rest, lowest);
  lowest = exact.names.size();
  return true;
}

bool HoldsNul(const std::wstring& text) { return text.find(L'\0') != std::wstring::npos; }

}  // namespace

std::wstring ExactPath::Text(std::size_t count) const {
  std::wstring text = volume;
  for (std::size_t i = 0; i < count; ++i) text += L"\\" + names[i];
  if (count == 0) text += L"\\";
  return text;
}

std::wstring ExactPath::OrdinaryText(std::size_t count) const {
  std::wstring text = Text(count);
  const std::wstring unc = std::wstring(kVerbatim) + L"UNC\\";
  if (text.compare(0, unc.size(), unc) == 0) return L"\\\\" + text.substr(unc.size());
  if (HasDrive(volume.substr(4))) return text.substr(4);
  return text;
}

bool ToExactPath(const std::wstring& ordinary, ExactPath& exact) {
  std::size_t lowest = 0;
  return !HoldsNul(ordinary) && ParseAbsolute(Absolute(ordinary), exact, lowest);
}

bool ToExactRowPath(const std::string& root, const std::string& path, ExactPath& exact,
                    std::size_t& anchor) {
  const std::wstring widePath = Widen(path);
  if (root.empty()) {
    anchor = 0;
    return ToExactPath(widePath, exact) && !exact.names.empty();
  }
  const std::string prefix = WithoutTrailingSeparators(root) + "\\";
  if (path.compare(0, prefix.size(), prefix) != 0) return false;
  const std::wstring widePrefix = Widen(prefix);
  if (HoldsNul(widePath) || !ParseAbsolute(Absolute(widePrefix), exact, anchor)) return false;
  AppendNames(exact, Widen(path.substr(prefix.size())), anchor);
  return exact.names.size() > anchor;
}

bool ParsesUnchanged(const std::wstring& ordinary) {
  if (ordinary.size() >= MAX_PATH) return false;
  wchar_t parsed[MAX_PATH];
  const DWORD length = GetFullPathNameW(ordinary.c_str(), MAX_PATH, parsed, nullptr);
  return length == ordinary.size() && ordinary.compare(0, length, parsed, length) == 0;
}

std::wstring ToExactSearch(const std::wstring& search) {
  std::wstring::size_type split = search.find_last_of(L"\\/");
  if (split != std::wstring::npos) {
    ++split;
  } else {
    split = HasDrive(search) ? 2 : 0;
  }
  std::wstring pattern = search.substr(split);
  pattern.erase(pattern.find_last_not_of(L". ") + 1);
  ExactPath directory;
  if (pattern.empty() || HoldsNul(search) || !ToExactPath(search.substr(0, split), directory)) {
    return std::wstring();
  }
  const std::wstring text = directory.Text();
  return text.back() == L'\\' ? text + pattern : text + L"\\" + pattern;
}
