#pragma once

#include "engine/published_progress.h"
#include "ui/framework/dialog.h"
#include "ui/resources/resource.h"

// The small modeless window that a worker shows while it scans or deletes: a title, a status
// line, a bar for deletions and a Cancel button. The main window owns the one instance,
// creates it hidden (Create) and destroys it with itself. Workers never touch the window: they
// publish into State(), and the window thread shows what they published.
class CProgressDlg : public Dialog {
 public:
  CProgressDlg() : Dialog(IDD_PROGRESS) {}

  // The progress operations for the workers, with CancelFlag.
  PublishedProgress& State() { return state_; }

  // Window thread: brings the window up to the newest published state. Called at display rate
  // while a worker runs and once after it has ended; a window about to hide paints its last
  // state first.
  void ShowPublishedState();

 protected:
  bool OnInitDialog() override;
  // The Cancel button, Esc and the close box. (Enter only hides the window.)
  void OnCancel() override;

 private:
  PublishedProgress state_;
  PublishedProgress::Snapshot shown_;
  HWND bar_ = nullptr;
};
