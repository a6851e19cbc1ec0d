#pragma once

#include "engine/removal_outcome.h"
#include "engine/result_columns.h"
#include "engine/result_list.h"
#include "engine/row_filter.h"
#include "engine/text_arena.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

// What the sort needs of the platform: its order of texts and its words for outcomes.
class DisplayTexts {
 public:
  virtual ~DisplayTexts() = default;
  // A rank for each text, such that texts in rank order stand in the order the user expects;
  // texts that compare equal get equal ranks.
  virtual std::vector<std::uint32_t> Rank(const std::vector<std::string_view>& texts) = 0;
  // What the 结果 column shows for an outcome; empty for one not tried.
  virtual std::string OutcomeText(const RemovalOutcome& outcome) = 0;
};

// The rows of the main window's list, owned by the window and shared with one worker at a
// time under one lock; the window's list view shows them and holds none itself.
//
// Rows stay in the order appended, which is their numbers' order, for their whole life; a
// removed row stays in place, marked, until the list is emptied. What the view shows is an
// index over them: every row in the order of the last sort, or of the numbers, of which a
// narrowing shows a part. Only the window thread changes that index, in SyncView, Sort and
// Clear, each time in one step that the view follows at once; ticks, numbers and outcomes stay
// with their rows through every change of it.
class ResultModel final : public ResultList {
 public:
  // ResultList, for the worker.
  int RowCount() override;
  int AppendRow(int number, const FoundFile& file) override;
  void SetRedraw(bool on) override;
  RowHandle FirstRow() override;
  RowHandle NextRow(RowHandle row) override;
  bool IsRowTicked(RowHandle row) override;
  std::string RowPath(RowHandle row) override;
  void SetOutcome(RowHandle row, const RemovalOutcome& outcome) override;

  // Window thread: what the view must do to show the rows.
  struct ViewUpdate {
    int rowCount = 0;          // rows the view shows from now on
    bool rowsChanged = false;  // the view learns rowCount and repaints
    bool redraw = true;        // whether the view paints at all
    bool redrawChanged = false;
  };
  // While redraw is on, removed rows leave the view and appended rows join it at its end, in
  // one pass that keeps the others' order; while it is off, the view's rows stay as they are.
  // viewRows (the view's selection and focus, by position) move with their rows; one whose row
  // went becomes -1. The same holds for Sort.
  ViewUpdate SyncView(int* viewRows, std::size_t count);
  // Empties the list in one step, redraw on, in number order.
  void Clear();
  // Orders every row by the column, ties by number; numbers themselves descend only when asked.
  // Paths go by directory, then by name, each in the platform's order of texts.
  void Sort(Column column, bool descending, DisplayTexts& texts, int* viewRows, std::size_t count);

  // Narrowing the view to the rows a filter takes, in three steps, so that the matching can run
  // on another thread while the window goes on painting: the window thread prepares the work,
  // any thread runs it without the lock, the window thread applies the result. The rows must
  // neither come nor go (no worker runs) nor be sorted while the work runs: it reads them and
  // the view's order without the lock. A filter that goes on from the one in force searches
  // only the rows it shows. Large lists are searched on two threads.
  class Narrowing {
   public:
    // False when `abandon` was set before the work was done.
    bool Run(const std::atomic<bool>& abandon);

   private:
    friend class ResultModel;
    // Puts the candidates from begin to end that the filter takes into `taken`.
    bool Take(std::size_t begin, std::size_t end, const std::atomic<bool>& abandon,
              std::vector<std::uint32_t>& taken) const;
    RowFilter filter_;
    const ResultModel* model_ = nullptr;
    const std::vector<std::uint32_t>* candidates_ = nullptr;  // the view's rows, in its order
    std::vector<std::uint32_t> taken_;
    std::uint64_t order_ = 0;
    bool done_ = false;
  };
  Narrowing PrepareNarrowing(std::string_view text);
  // Shows what the narrowing took, in the view's order; false, changing nothing, when it was
  // not run to its end or the order changed since it was prepared (a sort, rows gone): then
  // prepare it again.
  bool ApplyNarrowing(Narrowing& narrowing);
  // The text of the filter in force.
  const std::string& FilterText() const { return filter_.Text(); }
  // Rows by an id that survives every change of the view: for a mark whose row a narrowing
  // hides for a while. kNoRowId for no row; -1 for a row the view does not show.
  static constexpr std::uint32_t kNoRowId = 0xFFFFFFFF;
  std::uint32_t RowIdAt(int position);
  int PositionOf(std::uint32_t rowId);

  // A row as the window shows, copies and exports it.
  struct RowData {
    std::int32_t number = 0;
    std::string path;
    std::uint64_t size = 0;
    RemovalOutcome outcome;
    bool ticked = false;
  };
  // Window thread, rows by their position in the view; false past the view's rows.
  bool ReadRow(int position, RowData& row);
  bool IsTickedAt(int position);
  void SetTickAt(int position, bool ticked);
  void ToggleTickAt(int position);
  // Every row the view shows or is yet to show (not those a narrowing hides).
  void SetAllTicks(bool ticked);
  void InvertTicks();
  // Ticks or unticks the rows whose file name (the path behind its last "\" or "/") matches the
  // pattern as NameMatchesPattern judges; gives how many matched.
  std::size_t TickMatching(std::string_view pattern, bool ticked);
  // The first position from start on (then from the top, when wrap) whose number text is text,
  // or begins with it when partial; -1 when none is.
  int FindRow(int start, std::string_view text, bool partial, bool wrap);

  // Every row still in the list, in number order, or only those a removal would take (ticked
  // and shown); visit gives false to stop. The lock is taken a few thousand rows at a time, so
  // the window goes on painting while another thread exports a long list.
  void ForEachRow(bool tickedOnly, const std::function<bool(const RowData&)>& visit);

  struct Tally {
    std::int64_t rows = 0;
    std::uint64_t bytes = 0;
  };
  struct Totals {
    Tally all;     // the rows in the list
    Tally shown;   // of them, those not hidden by a narrowing
    Tally ticked;  // of the shown, the ticked ones: what a removal would take
    bool narrowed = false;  // a filter hides rows
    // The last removal run since the list was filled.
    bool ranRemoval = false;
    Tally removed;       // rows removed and the bytes their files held
    std::int64_t stayed = 0;  // ticked rows whose removal was tried and failed
  };
  // Kept as rows come, go and change their ticks, never counted afresh.
  Totals CurrentTotals();
  // A removal run begins: the last run's tally starts from zero.
  void BeginRemovalRun();

 private:
  enum Flag : std::uint8_t { kTicked = 1, kRemoved = 2, kHidden = 4 };
  struct Row {
    std::uint64_t size;
    TextArena::Ref name;      // the path behind its directory
    std::uint32_t directory;  // index into directories_
    std::int32_t number;
    RemovalOutcome outcome;
    std::uint8_t flags;
    bool Is(Flag flag) const { return (flags & flag) != 0; }
  };

  // The rows the view shows, by position.
  const std::vector<std::uint32_t>& Shown() const { return narrowed_ ? view_ : order_; }
  bool InView(int position) const {
    return position >= 0 && static_cast<std::size_t>(position) < Shown().size();
  }
  Row& RowAt(int position) { return rows_[Shown()[static_cast<std::size_t>(position)]]; }
  bool Present(RowHandle row) const {
    return row >= 0 && static_cast<std::size_t>(row) < rows_.size() && !rows_[static_cast<std::size_t>(row)].Is(kRemoved);
  }
  void AppendPath(const Row& row, std::string& text) const;
  void Fill(const Row& row, RowData& data) const;
  // Ticks or unticks a row, keeping the ticked tally.
  void Tick(Row& row, bool ticked);
  // Visits every row that is present and not hidden.
  template <typename Visit>
  void ForEachShownRow(Visit visit);
  std::vector<std::uint32_t> MarkedRows(const int* viewRows, std::size_t count) const;
  void PlaceMarks(const std::vector<std::uint32_t>& marked, int* viewRows, std::size_t count) const;
  // The sort's keys for a column, one per entry of order_.
  struct SortKey {
    std::uint64_t primary;
    std::uint32_t secondary;
    std::int32_t number;
    std::uint32_t row;
  };
  std::vector<SortKey> SortKeys(Column column, DisplayTexts& texts) const;
  std::vector<std::uint32_t> PathRanks(DisplayTexts& texts, std::vector<std::uint32_t>& nameRanks) const;

  std::mutex mutex_;
  std::vector<Row> rows_;
  // Rows of one directory come in a run and share its text.
  std::vector<TextArena::Ref> directories_;
  TextArena texts_;
  // Every row that was present at the last sync, in the order of the last sort.
  std::vector<std::uint32_t> order_;
  // While narrowed_, the part of order_ the view shows.
  std::vector<std::uint32_t> view_;
  bool narrowed_ = false;
  RowFilter filter_;
  // Counts the changes of order_, which make a narrowing prepared before them stale.
  std::uint64_t orderChanges_ = 0;
  std::size_t synced_ = 0;        // rows_ the view has taken in
  bool removedSinceSync_ = false;
  bool redraw_ = true;
  bool viewRedraw_ = true;
  Totals totals_;
};
