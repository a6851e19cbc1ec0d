#pragma once

#include "engine/file_enumeration.h"
#include "engine/removal_outcome.h"
#include "engine/win32/exact_path.h"

#include <windows.h>

#include <utility>

#include <cstddef>
#include <map>
#include <string>
#include <vector>

// A handle that closes itself; empty when an open failed.
class OwnedHandle {
 public:
  OwnedHandle() = default;
  explicit OwnedHandle(HANDLE handle) : handle_(handle) {}
  ~OwnedHandle() { Close(); }
  OwnedHandle(OwnedHandle&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
  OwnedHandle& operator=(OwnedHandle&& other) noexcept;
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;

  HANDLE Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  void Close();
  HANDLE handle_ = nullptr;
};

// Opens files exactly where a path names them and nowhere else. From the anchor down, every
// directory is opened relative to its parent's handle, must be a plain directory (no link,
// junction or mount point) and must be the very entry of that name in its parent; the file
// likewise. Directories stay open without delete sharing, so that nothing renames, removes or
// replaces them while the chain holds them; consecutive paths share the directories they have
// in common, which spares reopening them for every file.
class PinnedDirectoryChain {
 public:
  // From now on an anchor counts only where it is one of these (keyed by ExactPath::Text) with
  // the identity given; every path below any other is refused.
  void ExpectAnchors(std::map<std::wstring, DirectoryIdentity> anchors) {
    anchors_ = std::move(anchors);
    expectsAnchors_ = true;
    directories_.clear();
  }

  // The file that `path` names below its first `anchor` names (the anchor itself is taken as
  // it is), opened without following a link or reparse point where the system can do that,
  // with the access and sharing given. Empty where any check fails or the file is a directory,
  // with the reason in `why`. Under Wine a link is followed whatever the options say; its
  // target then shows by its name and is refused.
  OwnedHandle OpenFile(const ExactPath& path, std::size_t anchor, ACCESS_MASK access, ULONG share,
                       RemovalOutcome& why);
  // Whether the file's exact name is gone from its directory, asked once every handle the
  // caller had on the file is closed: removed where it is gone, or going once the last holder
  // elsewhere closes it; refused where it is still there (some systems ignore a failed unlink
  // at the close, as on a read-only mount under Wine).
  RemovalOutcome ConfirmGone(const ExactPath& path, std::size_t anchor);

 private:
  struct Directory {
    std::wstring name;      // the name in its parent; for the anchor, its whole exact path
    OwnedHandle handle;
    std::wstring fileName;  // what the file system calls it, to compare its entries against
  };

  bool Reach(const ExactPath& path, std::size_t anchor, RemovalOutcome& why);
  bool NamedAs(HANDLE handle, const std::wstring& parentName, const std::wstring& name,
               std::wstring& fileName);

  std::vector<Directory> directories_;  // the anchor first
  std::vector<DWORD> nameBuffer_;
  std::map<std::wstring, DirectoryIdentity> anchors_;
  bool expectsAnchors_ = false;
};

// The attributes of an open file; INVALID_FILE_ATTRIBUTES where they cannot be read.
DWORD AttributesOf(HANDLE file);

// The identity of an open file or directory; false where it cannot be read.
bool IdentityOf(HANDLE file, DirectoryIdentity& identity);
