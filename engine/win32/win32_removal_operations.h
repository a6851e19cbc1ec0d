#pragma once

#include "engine/removal_operations.h"

#include <windows.h>

#include <functional>
#include <string>

// The removal operations on the Win32 file and shell services. Paths go to the system exactly
// as given; no operation shows a window, asks or retries. One object serves one deletion run,
// on the worker's thread.
class Win32RemovalOperations final : public RemovalOperations {
 public:
  // scanRoot is the root text of the scan whose rows the run removes: every path given begins
  // with it. ownerWindow names the window that owns the shell's recycle-bin operation (the
  // application's main window); when it is empty or gives null, the desktop window owns it.
  explicit Win32RemovalOperations(std::string scanRoot = std::string(),
                                  std::function<HWND()> ownerWindow = nullptr);

  bool PlainDelete(const std::string& path) override;
  // A plain delete; when that fails, clears the attributes and deletes again. A file that still
  // cannot be deleted gets its attributes back.
  bool ForcedDelete(const std::string& path) override;
  // Overwrites the file once with zeros, in 4096-byte blocks to the first multiple of 4096 at
  // or past its end, flushes it to the disk and deletes it. Read-only files and files that
  // anybody holds open are not touched. A file that could not be overwritten to its old end,
  // or not flushed, stays where it is and gives false.
  bool ShredFile(const std::string& path) override;
  // Moves the file to the recycle bin without any shell window. A file on a drive that has no
  // recycle bin would be deleted for good by the shell, so it is left in place and gives false.
  bool RecycleFile(const std::string& path) override;
  // Registers the file for deletion at the next system start; it stays until then.
  bool DeleteAtRestart(const std::string& path) override;

 private:
  std::string scanRoot_;
  std::function<HWND()> ownerWindow_;
};
