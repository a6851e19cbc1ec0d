#pragma once

#include "engine/result_list.h"
#include "engine/text_arena.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

// The rows of the main window's list, owned by the window and shared with one worker at a
// time under one lock; the window's list view shows them and holds none itself.
//
// A removed row stays in place, marked, until the window thread compacts the rows, so the
// positions the view shows keep naming the rows the user saw while a worker removes rows
// under it. The view's positions are the model's own, and only the window thread changes
// them, in SyncView and Clear, each time in one step that the view follows at once.
class ResultModel final : public ResultList {
 public:
  // ResultList, for the worker.
  int RowCount() override;
  int AppendRow(int number, const std::string& path) override;
  void SetRedraw(bool on) override;
  RowHandle FirstRow() override;
  RowHandle NextRow(RowHandle row) override;
  bool IsRowTicked(RowHandle row) override;
  std::string RowPath(RowHandle row) override;
  void RemoveRow(RowHandle row) override;

  // Window thread: what the view must do to show the rows.
  struct ViewUpdate {
    int rowCount = 0;          // rows the view shows from now on
    bool rowsChanged = false;  // the view learns rowCount and repaints
    bool redraw = true;        // whether the view paints at all
    bool redrawChanged = false;
  };
  // While redraw is on, removed rows leave the view and appended rows join it, in one pass
  // over the rows that keeps their order; while it is off, the view's rows stay as they are.
  // viewRows (the view's selection and focus) move with their rows; one whose row went
  // becomes -1.
  ViewUpdate SyncView(int* viewRows, std::size_t count);
  // Empties the list in one step, redraw on.
  void Clear();

  // Window thread, rows by their position in the view. Column 0 is the number as decimal
  // text, column 1 the path; false past the view's rows.
  bool RowText(int row, int column, std::string& text);
  bool IsTickedAt(int row);
  void SetTickAt(int row, bool ticked);
  void ToggleTickAt(int row);
  // Every row, also those the view does not show yet.
  void SetAllTicks(bool ticked);
  // The first row from start on (then from the top, when wrap) whose number text is text,
  // or begins with it when partial, letters compared without case; -1 when none is.
  int FindRow(int start, std::string_view text, bool partial, bool wrap);

 private:
  struct Row {
    TextArena::Ref name;      // the path behind its directory
    std::uint32_t directory;  // index into directories_
    std::uint32_t sequence;   // the handle: appends since the last Clear
    std::int32_t number;
    bool ticked;
    bool removed;
  };

  // The row with this handle, or rows_.size().
  std::size_t IndexOf(RowHandle row) const;
  std::size_t IndexAfter(RowHandle row) const;
  void AppendPath(const Row& row, std::string& text) const;
  bool InView(int row) const { return row >= 0 && static_cast<std::size_t>(row) < viewCount_; }
  void Compact(int* viewRows, std::size_t count);

  std::mutex mutex_;
  std::vector<Row> rows_;
  // Rows of one directory come in a run and share its text.
  std::vector<TextArena::Ref> directories_;
  TextArena texts_;
  std::uint32_t appended_ = 0;
  std::size_t removed_ = 0;
  std::size_t viewCount_ = 0;
  bool redraw_ = true;
  bool viewRedraw_ = true;
};
