#include "ui/dialogs/list_export.h"

#include "engine/csv_row.h"
#include "engine/win32/utf.h"
#include "ui/dialogs/outcome_text.h"

#include <commdlg.h>

#include <algorithm>
#include <charconv>
#include <vector>

namespace {

// Written out whenever this much has gathered: few calls, little memory.
constexpr std::size_t kWriteSize = 1 << 20;
// Rows between two looks at Cancel and steps of the bar.
constexpr int kRowsPerStep = 4096;

std::string_view Digits(std::uint64_t number, char (&buffer)[24]) {
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, number).ptr;
  return std::string_view(buffer, static_cast<std::size_t>(end - buffer));
}

bool WriteAll(HANDLE file, const std::string& text) {
  for (std::size_t done = 0; done < text.size();) {
    DWORD written = 0;
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 1u << 30));
    if (!WriteFile(file, text.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

std::wstring DirectoryOf(const std::wstring& path) {
  const std::size_t separator = path.find_last_of(L"\\/");
  return separator == std::wstring::npos ? L"." : path.substr(0, separator + 1);
}

}  // namespace

std::optional<std::wstring> AskExportTarget(HWND owner) {
  std::vector<wchar_t> file(32768, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = L"CSV (*.csv)\0*.csv\0";
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrDefExt = L"csv";
  dialog.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameW(&dialog)) return std::nullopt;
  return std::wstring(file.data());
}

void ListExport::Run(ResultModel& rows, ProgressOperations& progress) {
  const std::int64_t count = rows.CurrentTotals().all.rows;
  progress.SetCaption("正在导出...");
  progress.SetStatusText(Narrow(target_));
  progress.ShowProgressBar(true);
  progress.StartProgress(0, static_cast<std::int32_t>(count / kRowsPerStep + 1), 1);
  progress.ShowProgress();

  wchar_t temporary[MAX_PATH + 1] = {};
  bool cancelled = false;
  if (GetTempFileNameW(DirectoryOf(target_).c_str(), L"vlx", 0, temporary) == 0) {
    error_ = GetLastError();
  } else {
    const HANDLE file = CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      error_ = GetLastError();
    } else {
      const bool written = Write(file, rows, progress, cancelled);
      // Data the system still holds can fail to reach the disk only here.
      if (!CloseHandle(file) && written && !cancelled) error_ = GetLastError();
    }
    if (error_ == 0 && !cancelled && !MoveFileExW(temporary, target_.c_str(), MOVEFILE_REPLACE_EXISTING)) {
      error_ = GetLastError();
    }
    if (error_ != 0 || cancelled) DeleteFileW(temporary);
  }
  progress.HideProgress();
}

bool ListExport::Write(HANDLE file, ResultModel& rows, ProgressOperations& progress, bool& cancelled) {
  std::string text = "\xEF\xBB\xBF";
  text.reserve(kWriteSize + 4096);
  AppendCsvRow(text, {"序号", "文件", "大小", "结果", "勾选"});
  bool failed = false;
  int sinceStep = 0;
  char number[24], size[24];
  rows.ForEachRow(false, [&](const ResultModel::RowData& row) {
    if (++sinceStep == kRowsPerStep) {
      sinceStep = 0;
      progress.StepProgress();
      cancelled = progress.CancelRequested();
      if (cancelled) return false;
    }
    AppendCsvRow(text, {Digits(static_cast<std::uint64_t>(row.number), number), row.path, Digits(row.size, size),
                        OutcomeText(row.outcome), row.ticked ? "1" : "0"});
    if (text.size() < kWriteSize) return true;
    failed = !WriteAll(file, text);
    text.clear();
    return !failed;
  });
  if (!failed && !cancelled) failed = !WriteAll(file, text);
  if (failed) error_ = GetLastError();
  return !failed;
}
