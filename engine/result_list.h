#pragma once

#include <string>

// The main window's list of found files, as the workers see it. Rows are addressed by position
// from 0; column 0 holds the row's running number, column 1 the file's full path (UTF-8). Each
// call is complete before it returns, so rows keep the order in which they were appended.
class ResultList {
 public:
  virtual ~ResultList() = default;
  virtual int RowCount() = 0;
  // Appends an unticked row with the given number text; gives its position, or -1 on failure.
  virtual int AppendRow(const std::string& numberText) = 0;
  virtual void SetRowPath(int row, const std::string& path) = 0;
  virtual bool IsRowTicked(int row) = 0;
  virtual std::string RowPath(int row) = 0;
  virtual void RemoveRow(int row) = 0;
  virtual void SetRedraw(bool on) = 0;
};
