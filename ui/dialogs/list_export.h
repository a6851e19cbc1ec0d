#pragma once

#include "engine/progress_operations.h"
#include "engine/result_model.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

// Asks for the file to export the list to with the system's Save dialog, which asks itself
// before an existing file is replaced; none when the user cancels.
std::optional<std::wstring> AskExportTarget(HWND owner);

// One export of the list: every row still in it, in number order, as a UTF-8 CSV file with a
// byte order mark (which spreadsheet programs take as the sign of UTF-8), a header row and the
// columns 序号, 文件, 大小 (bytes), 结果 (as the list shows it) and 勾选 (1 or 0).
//
// The rows go to a new file beside the target, which replaces the target only once complete:
// a failure or a cancel deletes it and leaves whatever the target held before untouched.
class ListExport {
 public:
  explicit ListExport(std::wstring target) : target_(std::move(target)) {}

  // Worker thread; rows are read a few thousand at a time, so the window goes on painting.
  void Run(ResultModel& rows, ProgressOperations& progress);

  // Window thread, once the worker has ended.
  const std::wstring& Target() const { return target_; }
  // The system's error code for a file that could not be written; 0 when written or cancelled.
  std::uint32_t Error() const { return error_; }

 private:
  // False, with error_ set, when the file cannot be written.
  bool Write(HANDLE file, ResultModel& rows, ProgressOperations& progress, bool& cancelled);

  std::wstring target_;
  std::uint32_t error_ = 0;
};
