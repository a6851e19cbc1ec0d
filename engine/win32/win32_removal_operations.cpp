#include "engine/win32/win32_removal_operations.h"

#include "engine/win32/utf.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace {

constexpr DWORD kShredBlockSize = 4096;
constexpr ULONG kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The attributes that can be given back; the others are the file system's own.
constexpr DWORD kRestorableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                        FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_TEMPORARY |
                                        FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

bool IsLink(HANDLE file) { return (AttributesOf(file) & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

RemovalOutcome LastError() { return RemovalOutcome::SystemError(GetLastError()); }

// The names the file has, 0 where they cannot be counted: every hard link counts, the one being
// deleted too until its last handle closes.
DWORD NamesOf(HANDLE file) {
  FILE_STANDARD_INFO standard = {};
  if (!GetFileInformationByHandleEx(file, FileStandardInfo, &standard, sizeof(standard))) return 0;
  return standard.NumberOfLinks;
}

// Whether the file has data streams besides its own. A file system that cannot list streams (FAT,
// Wine) keeps none.
RemovalOutcome CheckNoNamedStreams(HANDLE file) {
  std::vector<DWORD> buffer(16384);
  if (!GetFileInformationByHandleEx(file, FileStreamInfo, buffer.data(), static_cast<DWORD>(buffer.size() * 4))) {
    const DWORD error = GetLastError();
    if (error == ERROR_INVALID_FUNCTION || error == ERROR_INVALID_PARAMETER || error == ERROR_NOT_SUPPORTED) {
      return RemovalOutcome();
    }
    return RemovalOutcome::SystemError(error);
  }
  const BYTE* entry = reinterpret_cast<const BYTE*>(buffer.data());
  for (;;) {
    const FILE_STREAM_INFO* stream = reinterpret_cast<const FILE_STREAM_INFO*>(entry);
    const std::wstring name(stream->StreamName, stream->StreamNameLength / sizeof(wchar_t));
    if (name != L"::$DATA") return RemovalOutcome::Refused(Refusal::kNamedStreams);
    if (stream->NextEntryOffset == 0) return RemovalOutcome();
    entry += stream->NextEntryOffset;
  }
}

// Why zeros written through the open file would miss some of its old data or spend new space;
// not tried where they would land on all of it and on nothing else. Compressed and encrypted data
// lies on the disk as other bytes than those written; the holes of a sparse file (allocation
// short of its length) hold no old data and would each take new space, as many zeros as the
// file is long; the data under other names (hard links) would be zeroed with it and stay; named
// streams would keep theirs.
RemovalOutcome WhyZerosWouldMiss(HANDLE file, DWORD attributes) {
  if ((attributes & (FILE_ATTRIBUTE_COMPRESSED | FILE_ATTRIBUTE_ENCRYPTED)) != 0) {
    return RemovalOutcome::Refused(Refusal::kZerosMissTheData);
  }
  FILE_STANDARD_INFO standard = {};
  if (!GetFileInformationByHandleEx(file, FileStandardInfo, &standard, sizeof(standard))) return LastError();
  if (standard.NumberOfLinks > 1) return RemovalOutcome::Refused(Refusal::kOtherNames);
  if (standard.AllocationSize.QuadPart < standard.EndOfFile.QuadPart) {
    return RemovalOutcome::Refused(Refusal::kZerosMissTheData);
  }
  return CheckNoNamedStreams(file);
}

// The file goes when its last handle closes.
RemovalOutcome MarkForDeletion(HANDLE file) {
  FILE_DISPOSITION_INFO disposition = {TRUE};
  if (!SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof(disposition))) return LastError();
  return RemovalOutcome::Removed();
}

// Zero times leave the file's times as they are.
bool SetAttributes(HANDLE file, DWORD attributes) {
  FILE_BASIC_INFO basic = {};
  basic.FileAttributes = attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
  return SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof(basic)) != 0;
}

// Overwrites an open file from its start with zero blocks until the position is at or past
// the length it had. Not tried when that old length was covered; else why not: a write that
// fails or falls short (a full disk) ends the overwrite, and only the bytes actually written
// count; a cancel is honoured before any block. The position is counted from the bytes written
// rather than asked of the system after each block: a write moves it by exactly that much, and
// the query doubled the cost of a shred.
RemovalOutcome OverwriteWithZeros(HANDLE file, const std::function<bool()>& cancelRequested) {
  LARGE_INTEGER length = {};
  LARGE_INTEGER start = {};
  if (!GetFileSizeEx(file, &length) || !SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return LastError();

  const char block[kShredBlockSize] = {};
  LONGLONG position = 0;
  do {
    if (cancelRequested && cancelRequested()) return RemovalOutcome::Refused(Refusal::kCancelled);
    DWORD written = 0;
    const BOOL wrote = WriteFile(file, block, kShredBlockSize, &written, nullptr);
    position += written;
    if (!wrote && position < length.QuadPart) return LastError();
    if (!wrote || written != kShredBlockSize) break;
  } while (position < length.QuadPart);
  if (position < length.QuadPart) return RemovalOutcome::Refused(Refusal::kNotWhollyOverwritten);
  return RemovalOutcome();
}

}  // namespace

Win32RemovalOperations::Win32RemovalOperations(std::string scanRoot, std::function<HWND()> ownerWindow,
                                               std::function<bool()> cancelRequested)
    : scanRoot_(std::move(scanRoot)),
      ownerWindow_(std::move(ownerWindow)),
      cancelRequested_(std::move(cancelRequested)) {}

void Win32RemovalOperations::ExpectAnchors(const ScanAnchors& anchors) {
  std::map<std::wstring, DirectoryIdentity> exact;
  for (const auto& [text, identity] : anchors) {
    ExactPath path;
    if (ToExactPath(Widen(text), path)) exact.emplace(path.Text(), identity);
  }
  chain_.ExpectAnchors(std::move(exact));
}

UINT Win32RemovalOperations::DriveTypeOf(const RowFile& file) {
  const std::wstring anchor = file.path.OrdinaryText(file.anchor);
  auto known = driveTypes_.find(anchor);
  if (known == driveTypes_.end()) {
    std::vector<wchar_t> root(std::max<std::size_t>(anchor.size(), MAX_PATH) + 2);
    const bool found = GetVolumePathNameW(anchor.c_str(), root.data(), static_cast<DWORD>(root.size())) != 0;
    known = driveTypes_.emplace(anchor, found ? GetDriveTypeW(root.data()) : DRIVE_UNKNOWN).first;
  }
  return known->second;
}

Win32RemovalOperations::RowFile Win32RemovalOperations::Open(const std::string& path, ACCESS_MASK access,
                                                             ULONG share) {
  RowFile file;
  // U+FFFD stands where the system could not give a name as text (Wine lists bytes that are
  // no UTF-8 so): two different files may show as the same text, and the text reaches either.
  if (path.find("\xEF\xBF\xBD") != std::string::npos) {
    file.why = RemovalOutcome::Refused(Refusal::kNameNotText);
  } else if (!ToExactRowPath(scanRoot_, path, file.path, file.anchor)) {
    file.why = RemovalOutcome::Refused(Refusal::kOutsideScan);
  } else {
    file.handle = chain_.OpenFile(file.path, file.anchor, access, share, file.why);
  }
  return file;
}

RemovalOutcome Win32RemovalOperations::CheckBeforePathCall(const std::string& path, RowFile& file) {
  file = Open(path, FILE_READ_ATTRIBUTES, kShareAll);
  if (!file.handle) return file.why;
  const bool link = IsLink(file.handle.Get());
  file.handle = OwnedHandle();
  return link ? RemovalOutcome::Refused(Refusal::kNotAPlainFile) : RemovalOutcome();
}

// Not tried where the file is marked and its handle closed.
RemovalOutcome Win32RemovalOperations::MarkAndClose(const std::string& path, RowFile& file) {
  file = Open(path, DELETE, kShareAll);
  if (!file.handle) return file.why;
  const RemovalOutcome marked = MarkForDeletion(file.handle.Get());
  file.handle = OwnedHandle();
  return marked.removed() ? RemovalOutcome() : marked;
}

RemovalOutcome Win32RemovalOperations::PlainDelete(const std::string& path) {
  RowFile file;
  const RemovalOutcome marked = MarkAndClose(path, file);
  return marked.kind() != RemovalOutcome::Kind::kNotTried ? marked : chain_.ConfirmGone(file.path, file.anchor);
}

RemovalOutcome Win32RemovalOperations::ForcedDelete(const std::string& path) {
  const RemovalOutcome plain = PlainDelete(path);
  if (plain.kind() != RemovalOutcome::Kind::kSystemError) return plain;
  // Attributes only: such a handle takes no part in sharing, so the attributes are cleared
  // even where a reader holds the file; the delete that follows decides.
  RowFile file = Open(path, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, kShareAll);
  if (!file.handle) return file.why;
  const DWORD original = AttributesOf(file.handle.Get());
  if (original == INVALID_FILE_ATTRIBUTES || !SetAttributes(file.handle.Get(), FILE_ATTRIBUTE_NORMAL)) {
    return LastError();
  }
  RowFile deleted;
  const RemovalOutcome marked = MarkAndClose(path, deleted);
  // The attributes belong to the file, not to one of its names: a file that stays, or that
  // keeps another name, gets them back, read-only, hidden or system as before. The handle
  // still open holds off the end of the deleted name until then.
  if (marked.kind() != RemovalOutcome::Kind::kNotTried || NamesOf(file.handle.Get()) != 1) {
    SetAttributes(file.handle.Get(), original & kRestorableAttributes);
  }
  file.handle = OwnedHandle();
  return marked.kind() != RemovalOutcome::Kind::kNotTried ? marked : chain_.ConfirmGone(file.path, file.anchor);
}

RemovalOutcome Win32RemovalOperations::ShredFile(const std::string& path) {
  // No sharing: nobody reads the old data while it is overwritten, and a file that anybody
  // holds open is left alone before a byte is written.
  RowFile file = Open(path, GENERIC_READ | GENERIC_WRITE | DELETE, 0);
  if (!file.handle) return file.why;
  // A link is refused, for its target is no file of the tree. Read-only files are refused
  // before the first write, as the open itself refuses them on Windows: some systems let a
  // privileged user open them for writing, and the overwrite would then destroy a file that the
  // delete afterwards cannot remove.
  const DWORD attributes = AttributesOf(file.handle.Get());
  if (attributes == INVALID_FILE_ATTRIBUTES) return LastError();
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return RemovalOutcome::Refused(Refusal::kNotAPlainFile);
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) return RemovalOutcome::Refused(Refusal::kReadOnly);
  // On a network drive the server decides where written data goes.
  if (DriveTypeOf(file) == DRIVE_REMOTE) return RemovalOutcome::Refused(Refusal::kNetworkDrive);
  const RemovalOutcome missed = WhyZerosWouldMiss(file.handle.Get(), attributes);
  if (missed.kind() != RemovalOutcome::Kind::kNotTried) return missed;
  // Deleting a file whose old data may still be on the disk would lose the user's only
  // chance to shred it again: it stays, and its row with it. So does a file whose shred the
  // user cancelled, under its own name.
  const RemovalOutcome overwrite = OverwriteWithZeros(file.handle.Get(), cancelRequested_);
  if (overwrite.kind() != RemovalOutcome::Kind::kNotTried) return overwrite;
  if (!FlushFileBuffers(file.handle.Get())) return LastError();
  const RemovalOutcome marked = MarkForDeletion(file.handle.Get());
  if (!marked.removed()) return marked;
  file.handle = OwnedHandle();
  return chain_.ConfirmGone(file.path, file.anchor);
}

// Between the check and the shell's own open the file itself may still be replaced; its
// directories cannot, for the chain holds them.
RemovalOutcome Win32RemovalOperations::RecycleFile(const std::string& path) {
  RowFile file;
  const RemovalOutcome checked = CheckBeforePathCall(path, file);
  if (checked.kind() != RemovalOutcome::Kind::kNotTried) return checked;
  const std::wstring name = file.path.OrdinaryText();
  if (!ParsesUnchanged(name)) return RemovalOutcome::Refused(Refusal::kNameChangedByParsing);
  if (bins_.KnownToHaveNoBin(file.path.OrdinaryText(file.anchor))) {
    return RemovalOutcome::Refused(Refusal::kNoRecycleBin);
  }

  HWND owner = ownerWindow_ ? ownerWindow_() : nullptr;
  if (owner == nullptr) owner = GetDesktopWindow();

  // A list of one name, closed by an empty name.
  std::wstring from = name;
  from.push_back(L'\0');
  from.push_back(L'\0');

  // Where the bin cannot take the file after all (its volume full, the file too large for it),
  // the shell would delete it for good without a word; with the nuke warning it asks the user
  // first, and No aborts.
  SHFILEOPSTRUCTW operation = {};
  operation.hwnd = owner;
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.pTo = nullptr;
  operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_NOERRORUI | FOF_WANTNUKEWARNING;
  operation.fAnyOperationsAborted = FALSE;
  operation.hNameMappings = nullptr;
  operation.lpszProgressTitle = nullptr;
  const int result = SHFileOperationW(&operation);
  if (result != 0) return RemovalOutcome::SystemError(static_cast<std::uint32_t>(result));
  if (operation.fAnyOperationsAborted) return RemovalOutcome::Refused(Refusal::kKeptOutOfBin);
  return chain_.ConfirmGone(file.path, file.anchor);
}

// The registration names a path: whatever stands there at the next start is deleted, so the
// check can only vouch for the file as it is now. A drive letter may name another medium or
// share by then, so none on a removable or network drive is registered, and the file is named
// through its volume's own name (\\?\Volume{...}\) where that reaches it now. Wine resolves no
// such name, and its start-up processing passes one on as a relative path that deletes nothing
// (tried with wineboot -r): there the drive letter is registered.
RemovalOutcome Win32RemovalOperations::DeleteAtRestart(const std::string& path) {
  RowFile file = Open(path, FILE_READ_ATTRIBUTES, kShareAll);
  if (!file.handle) return file.why;
  DirectoryIdentity identity;
  if (IsLink(file.handle.Get())) return RemovalOutcome::Refused(Refusal::kNotAPlainFile);
  if (!IdentityOf(file.handle.Get(), identity)) return LastError();
  file.handle = OwnedHandle();
  const UINT drive = DriveTypeOf(file);
  if (drive == DRIVE_REMOVABLE || drive == DRIVE_CDROM || drive == DRIVE_REMOTE) {
    return RemovalOutcome::Refused(Refusal::kChangeableDrive);
  }
  std::wstring registered = file.path.Text();
  const std::wstring byVolume = VolumeNamePath(file);
  DirectoryIdentity reached;
  const HANDLE opened = byVolume.empty() ? INVALID_HANDLE_VALUE
                                         : CreateFileW(byVolume.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                                       OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  const OwnedHandle check(opened == INVALID_HANDLE_VALUE ? nullptr : opened);
  if (check && IdentityOf(check.Get(), reached) && reached == identity) registered = byVolume;
  if (!MoveFileExW(registered.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) return LastError();
  return RemovalOutcome::Removed();
}

// Nothing below the anchor is a mount point (the chain refuses them), so the file lies on the
// anchor's volume.
std::wstring Win32RemovalOperations::VolumeNamePath(const RowFile& file) {
  std::wstring anchor = file.path.OrdinaryText(file.anchor);
  if (anchor.back() != L'\\') anchor += L'\\';
  std::vector<wchar_t> root(anchor.size() + MAX_PATH);
  wchar_t volume[64] = {};
  if (!GetVolumePathNameW(anchor.c_str(), root.data(), static_cast<DWORD>(root.size())) ||
      !GetVolumeNameForVolumeMountPointW(root.data(), volume, ARRAYSIZE(volume))) {
    return std::wstring();
  }
  const std::wstring mountPoint = root.data();
  const std::wstring ordinary = file.path.OrdinaryText();
  if (ordinary.size() <= mountPoint.size() ||
      CompareStringOrdinal(ordinary.c_str(), static_cast<int>(mountPoint.size()), mountPoint.c_str(),
                           static_cast<int>(mountPoint.size()), TRUE) != CSTR_EQUAL) {
    return std::wstring();
  }
  return volume + ordinary.substr(mountPoint.size());
}
