#pragma once

#include "tests/support/window_driver.h"

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

// Runs a copy of the built program under a name of its own in another process and drives its
// main window from outside as a user or an outside tool would: by control ids, window classes,
// visibility, enabled state and list view messages. The name names the settings key, which is
// removed before the start and after the end: every run starts from fresh settings.
class ProgramDriver {
 public:
  using Clock = std::chrono::steady_clock;

  ProgramDriver(const std::wstring& program, const std::string& name);
  // Exits as a user would if the program still runs, then removes the copy and its settings.
  ~ProgramDriver();
  ProgramDriver(const ProgramDriver&) = delete;
  ProgramDriver& operator=(const ProgramDriver&) = delete;

  HWND Main() const { return main_; }  // null when the window did not show
  void SetDirectory(const std::string& path) const;
  // An option box that opens nothing when ticked.
  void SetBox(int box, bool ticked) const;
  // Tick the box and enter the patterns in the dialog that it opens.
  bool SetQuickSearch(const std::string& pattern) const;
  bool SetOwnPatterns(const std::vector<std::string>& patterns) const;

  // A button whose command opens no modal window; returns once the command has run.
  void Press(int button) const { WindowDriver::ClickAndWait(main_, button); }
  // A button whose command asks first: the moment of the answer, once the command has gone on.
  std::optional<Clock::time_point> PressAndAnswer(int button, int answer) const;
  // The end of a worker as a user sees it: Scan enabled again, the progress window hidden and
  // the row count holding still. Gives the moment that state began.
  std::optional<Clock::time_point> WaitUntilIdle(std::chrono::seconds limit) const;

  int RowCount() const;
  std::string CellText(int row, int column) const;
  bool IsTicked(int row) const;
  void SetTick(int row, bool ticked) const;

  HANDLE Process() const { return process_.hProcess; }
  // Presses Exit; true when the process then ended with exit code 0 within the limit.
  bool Exit(std::chrono::seconds limit) const;

 private:
  bool EnterPattern(HWND owner, int button, const std::string& pattern) const;
  // A list view message whose LVITEMW the list view reads and writes in the program's memory.
  LRESULT SendItem(UINT message, int row, const LVITEMW& item) const;

  std::wstring copy_;
  std::wstring settingsKey_;
  PROCESS_INFORMATION process_{};
  HWND main_ = nullptr;
  WindowDriver windows_;
  void* remote_ = nullptr;  // an LVITEMW and then its text, in the program's memory
};
