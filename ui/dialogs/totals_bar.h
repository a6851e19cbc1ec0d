#pragma once

#include "engine/result_model.h"

#include <windows.h>

#include <string>

// The status bar along the bottom of the main window: how many rows the list holds and their
// size, how many are ticked and theirs (what a removal would free), and what the last removal
// run came to.
class TotalsBar {
 public:
  // Window thread, while the owner initialises.
  void Attach(HWND bar);
  // Shows the totals; a part whose text has not changed is left alone, so calling this at
  // display rate costs next to nothing.
  void Show(const ResultModel::Totals& totals);

  // The texts of the three parts.
  static std::string RowsText(const ResultModel::Totals& totals);
  static std::string TickedText(const ResultModel::Totals& totals);
  static std::string RunText(const ResultModel::Totals& totals);

 private:
  void SetPart(int part, const std::string& text);

  HWND bar_ = nullptr;
  std::string shown_[3];
};
