// Compares the main window's real list view with an in-memory result list, side by side in one
// run: a scan that lists every file of a synthetic tree (the quick search "*.*"), then a plain
// delete of all those files. Both sides use the same engine workers, a real progress window
// each and the same file system calls; only the result list differs. The list view side scans
// through the Scan command; its deletion runs the delete worker directly (the command would
// first ask its question).
//
//   listview_bench [files] [files per directory]     (defaults: 100000 and 100)
//
// Under Wine, run it with a display and say whether it was pinned to a core, e.g.
//   taskset -c 0 scripts/with-display build/windows
//       scripts/wine-exec build/windows build/windows/listview_bench.exe

#include "engine/delete_worker.h"
#include "engine/scan_worker.h"
#include "engine/win32/utf.h"
#include "engine/win32/win32_file_enumeration.h"
#include "engine/win32/win32_removal_operations.h"
#include "tests/win32/silent_progress.h"
#include "tests/win32/temp_tree.h"
#include "ui/dialogs/cleaner_dlg.h"
#include "ui/dialogs/progress_dlg.h"

#include <commctrl.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The in-memory side: rows in a vector, every call answered at once.
class MemoryResultList : public ResultList {
 public:
  struct Row {
    std::string number;
    std::string path;
    bool ticked = false;
  };
  // The delete worker removes from the front; a deque does that in constant time.
  std::deque<Row> rows;

  int RowCount() override { return static_cast<int>(rows.size()); }
  int AppendRow(const std::string& numberText) override {
    rows.push_back({numberText, std::string(), false});
    return static_cast<int>(rows.size()) - 1;
  }
  void SetRowPath(int row, const std::string& path) override {
    rows[static_cast<std::size_t>(row)].path = path;
  }
  bool IsRowTicked(int row) override { return rows[static_cast<std::size_t>(row)].ticked; }
  std::string RowPath(int row) override { return rows[static_cast<std::size_t>(row)].path; }
  void RemoveRow(int row) override { rows.erase(rows.begin() + row); }
  void SetRedraw(bool) override {}
};

// What the workers need of a window, with a chosen result list and progress; everything else
// is fixed: the root, the quick search "*.*", plain delete.
class BenchWindow : public ScanWindow, public DeleteWindow {
 public:
  BenchWindow(std::string root, ResultList& results, ProgressOperations& progress)
      : root_(std::move(root)), results_(results), progress_(progress) {}

  std::string DirectoryText() override { return root_; }
  bool IsBoxTicked(TargetBox box) override { return box == TargetBox::Quick; }
  TargetPatternList CopyCustomTargetList() override { return {}; }
  TargetPatternList CopyQuickSearchList() override { return {"*.*"}; }
  ResultList& Results() override { return results_; }
  ProgressOperations& Progress() override { return progress_; }
  FileEnumeration& Files() override { return files_; }
  RemovalOperations& Removal() override { return removal_; }
  std::atomic<std::int32_t>& BusyFlag() override { return busy_; }
  std::atomic<std::int32_t>& DeleteModeWord() override { return mode_; }

 private:
  std::string root_;
  ResultList& results_;
  ProgressOperations& progress_;
  Win32FileEnumeration files_;
  Win32RemovalOperations removal_;
  std::atomic<std::int32_t> busy_{0};
  std::atomic<std::int32_t> mode_{ModePlain};
};

// Runs work on a worker thread while this thread, which owns the windows, keeps carrying out
// the worker's calls, as the main window's modal loop does. Gives the seconds taken.
double TimeOnWorker(const std::function<void()>& work) {
  std::atomic<bool> done{false};
  const DWORD windowThread = GetCurrentThreadId();
  const auto start = Clock::now();
  std::thread worker([&] {
    work();
    done = true;
    PostThreadMessageW(windowThread, WM_NULL, 0, 0);
  });
  MSG message;
  while (!done && GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  worker.join();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The Scan command of the real window over directory, timed until the window is idle again.
double TimeScanCommand(HWND window, const std::string& directory) {
  SetDlgItemTextW(window, IDC_DIRECTORY, Widen(directory).c_str());
  const auto start = Clock::now();
  SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_SCAN, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_SCAN)));
  MSG message;
  while (!IsWindowEnabled(GetDlgItem(window, IDC_SCAN)) &&
         GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void MakeTree(const std::string& root, int files, int filesPerDirectory) {
  for (int file = 0; file < files; ++file) {
    const int directory = file / filesPerDirectory;
    // Two levels, so that the walk enters many directories of several depths.
    const std::string folder = root + "\\g" + std::to_string(directory / 32) + "\\d" +
                               std::to_string(directory);
    if (file % filesPerDirectory == 0) MakeDirectories(folder);
    const HANDLE handle = CreateFileW(Widen(folder + "\\f" + std::to_string(file) + ".dat").c_str(),
                                      GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
}

void Report(const char* what, int rows, double memory, double listView) {
  std::printf("%-7s %7d rows   in-memory list %8.2f s (%8.0f rows/s)   list view %8.2f s (%8.0f rows/s)   ratio %.2f\n",
              what, rows, memory, rows / memory, listView, rows / listView, listView / memory);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  const int files = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100000;
  const int perDirectory = argc > 2 ? std::max(1, std::atoi(argv[2])) : 100;
  // "shown": the real progress window on both sides; "silent" (default): a progress that shows
  // nothing, so that the figures are those of the lists themselves.
  const bool shown = argc > 3 && std::string(argv[3]) == "shown";
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  const std::string base = TestTreeBase();
  const std::string root = base + "\\listview-bench";
  const std::string empty = base + "\\listview-bench-empty";
  RemoveTree(root);
  MakeDirectories(empty);
  auto started = Clock::now();
  MakeTree(root, files, perDirectory);
  std::printf("tree: %d files in %d directories under %s, made in %.1f s; progress %s\n", files,
              (files + perDirectory - 1) / perDirectory, root.c_str(),
              std::chrono::duration<double>(Clock::now() - started).count(),
              shown ? "shown" : "silent");

  CCleanerDlg window;
  if (!window.Create(nullptr)) {
    std::printf("the main window cannot be created\n");
    return 1;
  }
  const HWND list = GetDlgItem(window.Handle(), IDC_RESULT_LIST);
  CProgressDlg progressWindow;
  progressWindow.Create(nullptr);
  SilentProgress silent;
  ProgressOperations& progress = shown ? static_cast<ProgressOperations&>(progressWindow) : silent;

  MemoryResultList memoryList;
  BenchWindow memory(root, memoryList, progress);
  BenchWindow listView(root, window.Results(), progress);

  // Scans into an empty list, in the order in-memory, list view, list view, in-memory, so that
  // a warming cache favours neither. The Scan command empties the real list (over an empty
  // directory), which is timed on its own.
  double memoryScan = 0;
  double listScan = 0;
  double clearFull = 0;
  for (int round = 0; round < 2; ++round) {
    for (int side = 0; side < 2; ++side) {
      if ((round + side) % 2 == 1) {
        const double clear = TimeScanCommand(window.Handle(), empty);
        if (round == 1) clearFull = clear;
        listScan += TimeOnWorker([&] { ScanWorker(&listView); });
      } else {
        memoryList.rows.clear();
        memoryScan += TimeOnWorker([&] { ScanWorker(&memory); });
      }
    }
  }
  const int listed = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  if (listed != files || static_cast<int>(memoryList.rows.size()) != files) {
    std::printf("scan rows differ: list view %d, in memory %zu, files %d\n", listed,
                memoryList.rows.size(), files);
  }
  Report("scan", files, memoryScan / 2, listScan / 2);
  TimeScanCommand(window.Handle(), empty);
  const double clearNothing = TimeScanCommand(window.Handle(), empty);
  std::printf("        the Scan command's emptying of the list view's %d rows: %.2f s\n", files,
              clearFull - clearNothing);

  // Deletions: every row ticked, plain delete; the tree is made anew between the two.
  TimeScanCommand(window.Handle(), empty);
  TimeOnWorker([&] { ScanWorker(&listView); });
  SendMessageW(window.Handle(), WM_COMMAND, MAKEWPARAM(IDC_CHECK_ALL, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(window.Handle(), IDC_CHECK_ALL)));
  const double listDelete = TimeOnWorker([&] { DeleteWorker(&listView); });
  const int listLeft = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  MakeTree(root, files, perDirectory);
  for (auto& row : memoryList.rows) row.ticked = true;
  const double memoryDelete = TimeOnWorker([&] { DeleteWorker(&memory); });
  const int memoryLeft = static_cast<int>(memoryList.rows.size());
  if (listLeft != 0 || memoryLeft != 0) {
    std::printf("rows left after the deletion: list view %d, in memory %d\n", listLeft,
                memoryLeft);
  }
  Report("delete", files, memoryDelete, listDelete);

  window.Destroy();
  progressWindow.Destroy();
  RemoveTree(root);
  RemoveTree(empty);
  return 0;
}
