#pragma once

#include "engine/progress_operations.h"

// Progress that shows nothing and never asks to stop: with it, a run costs what the file
// system and the list cost.
class SilentProgress : public ProgressOperations {
 public:
  void SetCaption(const std::string&) override {}
  void SetStatusText(const std::string&) override {}
  void ShowProgressBar(bool) override {}
  void StartProgress(std::int32_t, std::int32_t, std::int32_t) override {}
  void StepProgress() override {}
  void ShowProgress() override {}
  void HideProgress() override {}
  bool CancelRequested() override { return false; }
};
