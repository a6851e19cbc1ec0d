#pragma once

#include "engine/delete_mode.h"
#include "engine/delete_window.h"
#include "engine/scan_window.h"
#include "engine/target_pattern.h"
#include "engine/win32/win32_file_enumeration.h"
#include "engine/win32/win32_removal_operations.h"
#include "ui/dialogs/dialog.h"
#include "ui/dialogs/progress_dlg.h"
#include "ui/dialogs/result_list_view.h"
#include "ui/resources/resource.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>

// The program's only top-level window, on template IDD_CLEANER_DIALOG: the scan options, the
// list of found files and every command. It is what the workers work on: each call a worker
// makes of it is carried out on the window thread.
//
// One worker at a time: while a scan or a deletion runs, Scan and the five delete buttons are
// disabled, and the window does not end under a running worker; a request to end it cancels
// the worker and ends the window once the worker has finished.
class CCleanerDlg : public Dialog, public ScanWindow, public DeleteWindow {
 public:
  CCleanerDlg();
  ~CCleanerDlg() override;

  // The user's own patterns (kept in the settings) and the quick-search pattern (at most
  // one). Window thread only; a worker gets copies.
  TargetPatternList CustomTargetList;
  TargetPatternList QuickSearchList;

  // ScanWindow and DeleteWindow, for the workers.
  std::string DirectoryText() override;
  bool IsBoxTicked(TargetBox box) override;
  TargetPatternList CopyCustomTargetList() override;
  TargetPatternList CopyQuickSearchList() override;
  ResultList& Results() override { return results_; }
  ProgressOperations& Progress() override { return progress_; }
  FileEnumeration& Files() override { return files_; }
  RemovalOperations& Removal() override { return removal_; }
  std::atomic<std::int32_t>& BusyFlag() override { return busyFlag_; }
  std::atomic<std::int32_t>& DeleteModeWord() override { return deleteMode_; }

  void LoadCustomTargets();
  void SaveCustomTargets() const;

 protected:
  bool PreTranslateMessage(MSG& message) override;
  bool OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override { OnExit(); }
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

 private:
  // Commands.
  void OnBrowse();
  void OnScan();
  void OnLocate();
  void OnOpenFile();
  void OnCheckAll();
  void OnCheckNone();
  void OnExit();
  void OnPlainDelete();
  void OnForcedDelete();
  void OnShredDelete();
  void OnRecycleDelete();
  void OnRestartDelete();
  void OnSuperDelete();
  void OnWhoIsUsing();
  void OnCustomTargets();
  void OnQuickSearch();

  // Messages.
  INT_PTR OnPaint(WPARAM, LPARAM);
  INT_PTR OnQueryDragIcon(WPARAM, LPARAM);
  INT_PTR OnNotify(WPARAM, LPARAM lParam);
  void OnDestroy();
  INT_PTR OnWorkerFinished(WPARAM, LPARAM);
  INT_PTR OnTimer(WPARAM timer, LPARAM);

  bool LoadNotice();
  void AddToolTips();
  void RunDeleteCommand(int questionId, DeleteMode mode);
  // Starts body on a worker thread; false when the thread cannot be started.
  bool StartWorker(void (*body)(CCleanerDlg&));
  void EnableWorkerCommands(bool enable) const;
  // Ends the window now, or once the running worker has finished.
  void EndWhenIdle(INT_PTR result);
  void SaveDirectory() const;
  static bool ShellOpen(const std::string& file, int showCommand, const std::string& parameters,
                        const std::string& directory);

  ResultListView results_;
  HICON icon_ = nullptr;
  CProgressDlg progress_;
  HWND toolTip_ = nullptr;
  std::atomic<std::int32_t> deleteMode_{ModePlain};
  std::atomic<std::int32_t> busyFlag_{0};

  Win32FileEnumeration files_;
  Win32RemovalOperations removal_;
  std::thread worker_;
  bool workerRunning_ = false;
  // The result to end with once the running worker has finished, when an end was asked for.
  std::optional<INT_PTR> pendingEnd_;
};
