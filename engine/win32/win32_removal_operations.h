#pragma once

#include "engine/removal_operations.h"
#include "engine/scan_worker.h"
#include "engine/win32/pinned_directory_chain.h"
#include "engine/win32/recycle_bin_check.h"

#include <windows.h>

#include <functional>
#include <map>
#include <string>

// The removal operations on the Win32 file and shell services. Each acts only on the file its
// row names, as it is at the moment of removal, and under no other of its names: the path goes
// to the system exactly (no name loses a trailing dot or blank, no length limit short of the
// file system's), and a directory, a link or junction on the way below the scan's root, an entry
// whose name differs from the row's in anything but trailing dots and blanks, a directory or
// link standing where the file was, or a name that the system could not give as text makes the
// operation refuse. A removal counts only once the name is gone. No operation retries; none
// shows a window or asks, but for the shell's question before a file to recycle would be deleted
// for good. One object serves one deletion run, on the worker's thread.
class Win32RemovalOperations final : public RemovalOperations {
 public:
  // scanRoot is the root text of the scan whose rows the run removes: every path given must
  // begin with it, or is refused. The directories below the root are checked; where a row's
  // ".." steps (from a pattern) climb above it, those below the point they reach. Without a
  // root every directory below the path's drive is checked. ownerWindow names the window that
  // owns the shell's recycle-bin operation (the application's main window); when it is empty or
  // gives null, the desktop window owns it. cancelRequested, when given, is asked between the
  // blocks of a shred.
  explicit Win32RemovalOperations(std::string scanRoot = std::string(),
                                  std::function<HWND()> ownerWindow = nullptr,
                                  std::function<bool()> cancelRequested = nullptr);

  // From now on a row counts only below one of the scan's anchors, still the very directory the
  // scan recorded; the rest are refused. Without this call any anchor counts.
  void ExpectAnchors(const ScanAnchors& anchors);

  // Deletes the file. Where the system opens a link itself (Windows), a link is deleted as a
  // link; where it cannot (Wine), a link is refused.
  RemovalOutcome PlainDelete(const std::string& path) override;
  // A plain delete; when the system refuses that, clears the attributes and deletes again. A file
  // that still cannot be deleted, or that keeps other names (hard links), gets its attributes
  // back.
  RemovalOutcome ForcedDelete(const std::string& path) override;
  // Overwrites the file once with zeros, in 4096-byte blocks to the first multiple of 4096 at
  // or past its end, flushes it to the disk and deletes it. Not touched: read-only files, links,
  // files with other names (hard links), files whose data the zeros would miss or that would
  // take new space for them (sparse, compressed, encrypted, with named streams, on a network
  // drive) and files that anybody holds open. A file that could not be overwritten to its old
  // end, or not flushed, or whose shred was cancelled, stays where it is under its name.
  RemovalOutcome ShredFile(const std::string& path) override;
  // Moves the file to the recycle bin. The shell takes only ordinary paths and parses them, so a
  // file that parsing would not reach (a name ending in a dot or blank, a path of MAX_PATH or
  // more) is left in place; so is a file on a drive that has no recycle bin, which the shell
  // would delete for good. Where the bin turns out unable to take the file, the shell asks
  // whether to delete it for good (its one window); No leaves it in place.
  RemovalOutcome RecycleFile(const std::string& path) override;
  // Registers the file for deletion at the next system start; it stays until then. Whatever
  // stands at its path at that start is deleted, through links put in since. Refused on
  // removable and network drives, whose letter may then name another medium or share.
  RemovalOutcome DeleteAtRestart(const std::string& path) override;

 private:
  // A row's file, opened through the chain; the handle is empty where the path is not below
  // the root or a check failed, and `why` says which.
  struct RowFile {
    ExactPath path;
    std::size_t anchor = 0;
    OwnedHandle handle;
    RemovalOutcome why;
  };
  RowFile Open(const std::string& path, ACCESS_MASK access, ULONG share);
  // Opens the file for deletion, marks it and closes it; not tried where all that succeeded.
  // Whether the name went with the handle is for ConfirmGone to tell.
  RemovalOutcome MarkAndClose(const std::string& path, RowFile& file);
  // The kind of drive below the row's anchor (GetDriveTypeW), asked once per anchor and run.
  UINT DriveTypeOf(const RowFile& file);
  // The file's path through its volume's own name ("\\?\Volume{...}\..."); empty where there is
  // none.
  std::wstring VolumeNamePath(const RowFile& file);
  // Opens the file to check it is a plain file, and closes it again, for the system calls that
  // take a path and do their own opening. Not tried where the check passed.
  RemovalOutcome CheckBeforePathCall(const std::string& path, RowFile& file);

  std::string scanRoot_;
  std::function<HWND()> ownerWindow_;
  std::function<bool()> cancelRequested_;
  std::map<std::wstring, UINT> driveTypes_;  // anchor -> drive type
  PinnedDirectoryChain chain_;
  RecycleBinCheck bins_;
};
