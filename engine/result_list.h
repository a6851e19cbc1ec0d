#pragma once

#include <cstdint>
#include <string>

// The delete side names a row by a handle that stays valid while rows before it go and the
// window compacts the list under the worker; handles lose their meaning when the list is
// emptied. Handles grow with the rows' order.
using RowHandle = std::int64_t;
constexpr RowHandle kNoRow = -1;

// The main window's list of found files, as the workers see it: rows in the order appended,
// each with its running number, the file's full path (UTF-8) and a tick. Rows are never
// renumbered. Each call is complete before it returns.
class ResultList {
 public:
  virtual ~ResultList() = default;

  // Scan side. The number of rows in the list.
  virtual int RowCount() = 0;
  // Appends an unticked row; gives its position, or -1 when the list can take no more rows.
  virtual int AppendRow(int number, const std::string& path) = 0;
  // Off: what the workers change is not shown until it is switched on again.
  virtual void SetRedraw(bool on) = 0;

  // Delete side. The first row, and the row after a given one (also after one just removed);
  // kNoRow past the last.
  virtual RowHandle FirstRow() = 0;
  virtual RowHandle NextRow(RowHandle row) = 0;
  // The row's tick as it stands now, whoever changed it last.
  virtual bool IsRowTicked(RowHandle row) = 0;
  virtual std::string RowPath(RowHandle row) = 0;
  virtual void RemoveRow(RowHandle row) = 0;
};
