#pragma once

#include "engine/delete_mode.h"
#include "engine/result_model.h"
#include "engine/scan_worker.h"
#include "engine/target_pattern.h"
#include "ui/app/settings_store.h"
#include "ui/dialogs/list_export.h"
#include "ui/dialogs/progress_dlg.h"
#include "ui/dialogs/narrowing_thread.h"
#include "ui/dialogs/result_list_view.h"
#include "ui/dialogs/totals_bar.h"
#include "ui/framework/anchor_layout.h"
#include "ui/framework/dialog.h"
#include "ui/framework/worker_thread.h"
#include "ui/resources/resource.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

// The program's only top-level window, on template IDD_CLEANER_DIALOG: the scan options, the
// list of found files and every command. The workers are handed what they need of it when a
// command starts them; they never reach its windows. The settings (the recent directory, the
// user's own patterns) are the caller's and must outlive the window.
//
// One worker at a time: while a scan or a deletion runs, Scan and the five delete buttons are
// disabled, and the window does not end under a running worker; a request to end it stops the
// worker and ends the window once the worker has finished.
class CCleanerDlg : public Dialog {
 public:
  explicit CCleanerDlg(SettingsStore& settings);

  // The user's own patterns (kept in the settings) and the quick-search pattern (at most
  // one). Window thread only; a scan gets copies.
  TargetPatternList CustomTargetList;
  TargetPatternList QuickSearchList;

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
  void OnFilterChange();

  // Messages.
  INT_PTR OnPaint(WPARAM, LPARAM);
  INT_PTR OnQueryDragIcon(WPARAM, LPARAM);
  INT_PTR OnNotify(WPARAM, LPARAM lParam);
  void OnDestroy();
  INT_PTR OnWorkerFinished(WPARAM, LPARAM);
  INT_PTR OnTimer(WPARAM timer, LPARAM);
  INT_PTR OnNarrowed(WPARAM, LPARAM);

  // The window's frame: its size, its place kept between runs, folders dropped on it
  // (cleaner_dlg_frame.cpp).
  void InitFrame();
  void SaveFrame() const;
  INT_PTR OnSize(WPARAM, LPARAM lParam);
  INT_PTR OnGetMinMaxInfo(WPARAM, LPARAM lParam);
  INT_PTR OnDropFiles(WPARAM drop, LPARAM);

  // The list's keys and row menu, and what they do (cleaner_dlg_list.cpp). Menu and keys give
  // the same commands, each allowed only when ListCommandEnabled says.
  bool TranslateListKey(MSG& message) const;
  bool OnListCommand(int id);
  bool ListCommandEnabled(int id);
  INT_PTR OnContextMenu(WPARAM window, LPARAM at);
  void CopyPaths(bool tickedOnly);
  void TickByPattern(bool ticked);
  void OnExportList();
  void FinishExport();

  bool LoadNotice();
  void AddToolTips();
  void RunDeleteCommand(int questionId, DeleteMode mode);
  // Starts body on the worker thread; false when it cannot be started.
  bool StartWorker(std::function<void()> body);
  // Shows what the worker has published: its progress, and the rows when withRows.
  void ShowWorkerState(bool withRows);
  void EnableWorkerCommands(bool enable) const;
  // Ends the window now, or once the running worker has finished.
  void EndWhenIdle(INT_PTR result);
  void SaveDirectory() const;
  // Shows the filter's text without narrowing the list again.
  void SetFilterText(const std::string& text);
  static bool ShellOpen(const std::string& file, int showCommand, const std::string& parameters,
                        const std::string& directory);

  SettingsStore& settings_;
  ResultModel rows_;
  ResultListView results_;
  // After the rows, so that it goes first: it reads them.
  NarrowingThread narrower_;
  bool settingFilter_ = false;
  TotalsBar totals_;
  HICON icon_ = nullptr;
  CProgressDlg progress_;
  HWND toolTip_ = nullptr;
  std::atomic<std::int32_t> deleteMode_{ModePlain};
  std::atomic<std::int32_t> busyFlag_{0};
  // The root of the scan whose rows the list holds, and the directories its rows hang from.
  std::string scanRoot_;
  ScanAnchors scanAnchors_;
  // Refresh timer ticks since the running worker started.
  unsigned refreshes_ = 0;
  // The result to end with once the running worker has finished, when an end was asked for.
  std::optional<INT_PTR> pendingEnd_;
  AnchorLayout layout_;
  bool framed_ = false;  // the frame is set up, and is to be kept when the window ends
  HACCEL listKeys_ = nullptr;
  // The export the running worker carries out, if it is one.
  std::unique_ptr<ListExport> export_;
  // Last, so that it goes first: no worker outlives what it works on.
  WorkerThread worker_;
};
