#include "engine/win32/pinned_directory_chain.h"

#include <winternl.h>

#include <cstdint>

namespace {

// Directories are held with read access, which takes part in sharing, and without delete
// sharing: an open for renaming or removing one of them then fails while the chain holds it.
constexpr ACCESS_MASK kDirectoryAccess = FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES;
constexpr ULONG kDirectorySharing = FILE_SHARE_READ | FILE_SHARE_WRITE;
constexpr ULONG kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

using NtCreateFileFunction = NTSTATUS(NTAPI*)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES, PIO_STATUS_BLOCK,
                                              PLARGE_INTEGER, ULONG, ULONG, ULONG, ULONG, PVOID, ULONG);
using NtQueryObjectFunction = NTSTATUS(NTAPI*)(HANDLE, OBJECT_INFORMATION_CLASS, PVOID, ULONG, PULONG);
using NtStatusToErrorFunction = ULONG(NTAPI*)(NTSTATUS);
constexpr OBJECT_INFORMATION_CLASS kObjectNameInformation = static_cast<OBJECT_INFORMATION_CLASS>(1);

// Only the native calls open a name relative to a directory handle and tell the name of what
// a handle holds. Every Windows since NT and Wine export them; they are looked up rather than
// linked, as the MinGW and MSVC import libraries differ.
template <typename Function>
Function NtdllEntry(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name)));
}

// Opens `name` relative to `directory`, or an absolute "\??\" name when `directory` is null.
// Case is ignored, as Win32 opens ignore it. A failure gives the system's error in `why`.
OwnedHandle OpenRelative(HANDLE directory, const std::wstring& name, ACCESS_MASK access, ULONG share,
                         ULONG options, RemovalOutcome& why) {
  static const NtCreateFileFunction create = NtdllEntry<NtCreateFileFunction>("NtCreateFile");
  static const NtStatusToErrorFunction toError = NtdllEntry<NtStatusToErrorFunction>("RtlNtStatusToDosError");
  if (create == nullptr || toError == nullptr || name.size() > 32767) {
    why = RemovalOutcome::SystemError(ERROR_FILENAME_EXCED_RANGE);
    return OwnedHandle();
  }
  UNICODE_STRING text;
  text.Buffer = const_cast<wchar_t*>(name.c_str());
  text.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
  text.MaximumLength = text.Length;
  OBJECT_ATTRIBUTES attributes;
  InitializeObjectAttributes(&attributes, &text, OBJ_CASE_INSENSITIVE, directory, nullptr);
  IO_STATUS_BLOCK status;
  HANDLE handle = nullptr;
  const NTSTATUS result = create(&handle, access | SYNCHRONIZE, &attributes, &status, nullptr, 0, share, FILE_OPEN,
                                 options | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
  if (result != 0) {
    // The system's own mapping makes a pending deletion "access denied", which says less.
    constexpr NTSTATUS kDeletePending = static_cast<NTSTATUS>(0xC0000056);
    why = RemovalOutcome::SystemError(result == kDeletePending ? ERROR_DELETE_PENDING : toError(result));
    return OwnedHandle();
  }
  return OwnedHandle(handle);
}

// Wine names a file whose name ends in dots or blanks without them; elsewhere they are kept.
std::wstring WithoutTrailingDotsAndBlanks(const std::wstring& name) {
  return name.substr(0, name.find_last_not_of(L". ") + 1);
}

}  // namespace

OwnedHandle& OwnedHandle::operator=(OwnedHandle&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = other.handle_;
    other.handle_ = nullptr;
  }
  return *this;
}

void OwnedHandle::Close() {
  if (handle_ != nullptr) CloseHandle(handle_);
  handle_ = nullptr;
}

DWORD AttributesOf(HANDLE file) {
  FILE_ATTRIBUTE_TAG_INFO tag = {};
  if (!GetFileInformationByHandleEx(file, FileAttributeTagInfo, &tag, sizeof(tag))) return INVALID_FILE_ATTRIBUTES;
  return tag.FileAttributes;
}

bool IdentityOf(HANDLE file, DirectoryIdentity& identity) {
  BY_HANDLE_FILE_INFORMATION information = {};
  if (!GetFileInformationByHandle(file, &information)) return false;
  identity.volume = information.dwVolumeSerialNumber;
  identity.file = (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow;
  return true;
}

OwnedHandle PinnedDirectoryChain::OpenFile(const ExactPath& path, std::size_t anchor, ACCESS_MASK access,
                                           ULONG share, RemovalOutcome& why) {
  if (anchor >= path.names.size()) {
    why = RemovalOutcome::Refused(Refusal::kOutsideScan);
    return OwnedHandle();
  }
  if (!Reach(path, anchor, why)) return OwnedHandle();
  const Directory& parent = directories_.back();
  const std::wstring& name = path.names.back();
  OwnedHandle file = OpenRelative(parent.handle.Get(), name, access, share,
                                  FILE_NON_DIRECTORY_FILE | FILE_OPEN_REPARSE_POINT, why);
  if (!file) {
    // A directory that took the file's place.
    if (why == RemovalOutcome::SystemError(ERROR_FILE_NOT_FOUND) ||
        why == RemovalOutcome::SystemError(ERROR_ACCESS_DENIED)) {
      RemovalOutcome ignored;
      if (OpenRelative(parent.handle.Get(), name, FILE_READ_ATTRIBUTES, kShareAll, FILE_DIRECTORY_FILE, ignored)) {
        why = RemovalOutcome::Refused(Refusal::kNotAPlainFile);
      }
    }
    return OwnedHandle();
  }
  std::wstring fileName;
  if (!NamedAs(file.Get(), parent.fileName, name, fileName)) {
    why = RemovalOutcome::Refused(Refusal::kNotAPlainFile);
    return OwnedHandle();
  }
  return file;
}

RemovalOutcome PinnedDirectoryChain::ConfirmGone(const ExactPath& path, std::size_t anchor) {
  RemovalOutcome why;
  if (anchor >= path.names.size() || !Reach(path, anchor, why)) return why;
  // One open of the name in the directory the chain holds: the cheapest question found that
  // Wine answers from the file system (its attribute query ignores the directory handle). Wine
  // ignores letter case in it too, so what it finds counts only under the name's exact form.
  const Directory& parent = directories_.back();
  const std::wstring& name = path.names.back();
  const OwnedHandle found =
      OpenRelative(parent.handle.Get(), name, FILE_READ_ATTRIBUTES, kShareAll, FILE_OPEN_REPARSE_POINT, why);
  if (!found) {
    // Gone, or going once the last holder elsewhere closes it.
    if (why == RemovalOutcome::SystemError(ERROR_FILE_NOT_FOUND) ||
        why == RemovalOutcome::SystemError(ERROR_DELETE_PENDING)) {
      return RemovalOutcome::Removed();
    }
    return why;
  }
  std::wstring fileName;
  return NamedAs(found.Get(), parent.fileName, name, fileName) ? RemovalOutcome::Refused(Refusal::kStillThere)
                                                                : RemovalOutcome::Removed();
}

// Makes the chain hold the anchor and every directory of the path below it.
bool PinnedDirectoryChain::Reach(const ExactPath& path, std::size_t anchor, RemovalOutcome& why) {
  const std::wstring anchorText = path.Text(anchor);
  if (directories_.empty() || directories_.front().name != anchorText) {
    directories_.clear();
    // The anchor is where the user (or a pattern's "..") chose to be: opened as named, links
    // and all, and checked no further.
    OwnedHandle handle = OpenRelative(nullptr, L"\\??\\" + anchorText.substr(4), kDirectoryAccess,
                                      kDirectorySharing, FILE_DIRECTORY_FILE, why);
    std::wstring fileName;
    if (!handle) return false;
    if (!NamedAs(handle.Get(), std::wstring(), std::wstring(), fileName)) {
      why = RemovalOutcome::SystemError(ERROR_INVALID_HANDLE);
      return false;
    }
    // The text may name another directory than the scan walked: the root or a directory above
    // it renamed and another (or a link to one) put in its place, another medium in the drive.
    if (expectsAnchors_) {
      const auto expected = anchors_.find(anchorText);
      DirectoryIdentity identity;
      if (expected == anchors_.end() || !IdentityOf(handle.Get(), identity) || !(identity == expected->second)) {
        why = RemovalOutcome::Refused(Refusal::kAnchorReplaced);
        return false;
      }
    }
    directories_.push_back(Directory{anchorText, std::move(handle), fileName});
  }
  const std::size_t last = path.names.size() - 1;  // the file's own name
  std::size_t held = 1;
  while (held < directories_.size() && anchor + held - 1 < last &&
         directories_[held].name == path.names[anchor + held - 1]) {
    ++held;
  }
  directories_.resize(held);
  for (std::size_t i = anchor + held - 1; i < last; ++i) {
    const Directory& parent = directories_.back();
    OwnedHandle handle = OpenRelative(parent.handle.Get(), path.names[i], kDirectoryAccess, kDirectorySharing,
                                      FILE_DIRECTORY_FILE | FILE_OPEN_REPARSE_POINT, why);
    std::wstring fileName;
    if (!handle) return false;
    if ((AttributesOf(handle.Get()) & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ||
        !NamedAs(handle.Get(), parent.fileName, path.names[i], fileName)) {
      why = RemovalOutcome::Refused(Refusal::kLinkOnTheWay);
      return false;
    }
    directories_.push_back(Directory{path.names[i], std::move(handle), fileName});
  }
  return true;
}

// Whether the file system names the open file as the entry `name` of the directory it calls
// `parentName`: a file reached through a link that the open followed names its target. The names
// compare exactly, letter case included: where the file system tells case apart (Wine on Linux),
// an open that ignores case reaches "A.TMP" when "a.tmp" is gone or is a link to it, and only
// the name the file system gives tells. With an empty `name`, only fetches the file system's
// name for the file.
bool PinnedDirectoryChain::NamedAs(HANDLE handle, const std::wstring& parentName, const std::wstring& name,
                                   std::wstring& fileName) {
  static const NtQueryObjectFunction query = NtdllEntry<NtQueryObjectFunction>("NtQueryObject");
  // One call that is a single round trip to the server under Wine, where a file information
  // query first fetches the file descriptor in another.
  nameBuffer_.resize((sizeof(UNICODE_STRING) + 65536 * sizeof(wchar_t)) / sizeof(DWORD));
  const UNICODE_STRING* info = reinterpret_cast<const UNICODE_STRING*>(nameBuffer_.data());
  ULONG length = 0;
  if (query == nullptr || query(handle, kObjectNameInformation, nameBuffer_.data(),
                                static_cast<ULONG>(nameBuffer_.size() * sizeof(DWORD)), &length) != 0) {
    return false;
  }
  fileName.assign(info->Buffer, info->Length / sizeof(wchar_t));
  if (name.empty()) return true;
  const std::wstring::size_type separator = fileName.find_last_of(L'\\');
  if (separator == std::wstring::npos) return false;
  std::wstring parent = parentName;
  if (!parent.empty() && parent.back() == L'\\') parent.pop_back();
  return fileName.compare(0, separator, parent) == 0 &&
         WithoutTrailingDotsAndBlanks(fileName.substr(separator + 1)) == WithoutTrailingDotsAndBlanks(name);
}
