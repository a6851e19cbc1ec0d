#pragma once

#include "engine/removal_outcome.h"

#include <cstdint>
#include <string>

// A file a scan found: what a row holds of it.
struct FoundFile {
  std::string path;  // full, UTF-8
  std::uint64_t size = 0;
};

// The delete side names a row by a handle that stays valid while rows before it go; handles
// lose their meaning when the list is emptied. Handles grow with the rows' order.
using RowHandle = std::int64_t;
constexpr RowHandle kNoRow = -1;

// The main window's list of found files, as the workers see it: rows in the order appended,
// each with its running number, the file's full path and size, a tick, and what became of the
// last removal tried on it. Rows are never renumbered. Each call is complete before it
// returns.
class ResultList {
 public:
  virtual ~ResultList() = default;

  // Scan side. The number of rows in the list.
  virtual int RowCount() = 0;
  // Appends an unticked row; gives its position, or -1 when the list can take no more rows.
  virtual int AppendRow(int number, const FoundFile& file) = 0;
  // Off: what the workers change is not shown until it is switched on again.
  virtual void SetRedraw(bool on) = 0;

  // Delete side. The first row, and the row after a given one (also after one just removed);
  // kNoRow past the last.
  virtual RowHandle FirstRow() = 0;
  virtual RowHandle NextRow(RowHandle row) = 0;
  // Whether a removal takes the row as things stand now: ticked, by whoever changed it last,
  // and shown.
  virtual bool IsRowTicked(RowHandle row) = 0;
  virtual std::string RowPath(RowHandle row) = 0;
  // What the removal of the row's file came to: a removed file's row leaves the list, any other
  // keeps its tick and shows why it stayed.
  virtual void SetOutcome(RowHandle row, const RemovalOutcome& outcome) = 0;
};
