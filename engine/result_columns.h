#pragma once

// The columns of the list of found files, in the order shown. The list view, the sort and the
// export name them by this one enum, so that a further column is one change.
enum class Column : int {
  kNumber,   // 序号: the row's running number
  kPath,     // 文件: the file's full path
  kSize,     // 大小: the file's size as the scan's listing gave it
  kOutcome,  // 结果: why the file stayed after a removal was tried
};
constexpr int kColumnCount = 4;
