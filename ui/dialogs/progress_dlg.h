#pragma once

#include "engine/progress_operations.h"
#include "ui/dialogs/dialog.h"
#include "ui/resources/resource.h"

#include <atomic>
#include <cstdint>
#include <string>

// The small modeless window that a worker shows while it scans or deletes: a title, a status
// line, a bar for deletions and a Cancel button. The main window owns the one instance,
// creates it hidden (Create) and destroys it with itself. The progress operations may be
// called from any thread; each is carried out on the window thread before it returns.
class CProgressDlg : public Dialog, public ProgressOperations {
 public:
  CProgressDlg() : Dialog(IDD_PROGRESS) {}

  // 1 asks the running worker to stop. Cancel sets it, and so does the main window's Exit
  // during a deletion; every show of the window and StartProgress clear it.
  std::atomic<std::int32_t>& CancelFlag() { return cancelFlag_; }

  void SetCaption(const std::string& text) override;
  void SetStatusText(const std::string& text) override;
  void ShowProgressBar(bool show) override;
  void StartProgress(std::int32_t lower, std::int32_t upper, std::int32_t step) override;
  void StepProgress() override;
  void SetStatusTextAndStep(const std::string& text) override;
  void ShowProgress() override;
  void HideProgress() override;
  bool CancelRequested() override { return cancelFlag_.load() != 0; }

 protected:
  bool OnInitDialog() override;
  void OnCancel() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

 private:
  std::atomic<std::int32_t> cancelFlag_{0};
  HWND bar_ = nullptr;
};
