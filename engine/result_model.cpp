#include "engine/result_model.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <new>
#include <stdexcept>

namespace {

// Positions are ints, and so are the view's row counts.
constexpr std::uint32_t kMaxRows = std::numeric_limits<int>::max();

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool NumberMatches(std::int32_t number, std::string_view text, bool partial) {
  char digits[16];
  const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
  const std::string_view shown(digits, static_cast<std::size_t>(end - digits));
  if (partial ? shown.size() < text.size() : shown.size() != text.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (AsciiLower(shown[i]) != AsciiLower(text[i])) return false;
  }
  return true;
}

}  // namespace

int ResultModel::RowCount() {
  const std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int>(rows_.size() - removed_);
}

int ResultModel::AppendRow(int number, const std::string& path) {
  const std::string::size_type separator = path.rfind('\\');
  const std::size_t directoryLength = separator == std::string::npos ? 0 : separator + 1;
  const std::string_view directory(path.data(), directoryLength);
  const std::string_view name(path.data() + directoryLength, path.size() - directoryLength);
  const std::lock_guard<std::mutex> lock(mutex_);
  if (appended_ >= kMaxRows) return -1;
  try {
    if (directories_.empty() || texts_.View(directories_.back()) != directory) {
      directories_.push_back(texts_.Add(directory));
    }
    const auto directoryIndex = static_cast<std::uint32_t>(directories_.size() - 1);
    rows_.push_back(Row{texts_.Add(name), directoryIndex, appended_, number, false, false});
  } catch (const std::bad_alloc&) {
    return -1;
  } catch (const std::length_error&) {
    return -1;
  }
  ++appended_;
  return static_cast<int>(rows_.size() - removed_ - 1);
}

void ResultModel::SetRedraw(bool on) {
  const std::lock_guard<std::mutex> lock(mutex_);
  redraw_ = on;
}

std::size_t ResultModel::IndexOf(RowHandle row) const {
  const std::size_t index = IndexAfter(row - 1);
  return index < rows_.size() && rows_[index].sequence == row ? index : rows_.size();
}

// Handles grow with the rows' order, which compaction keeps.
std::size_t ResultModel::IndexAfter(RowHandle row) const {
  const auto after =
      std::upper_bound(rows_.begin(), rows_.end(), row,
                       [](RowHandle handle, const Row& r) { return handle < r.sequence; });
  return static_cast<std::size_t>(after - rows_.begin());
}

RowHandle ResultModel::FirstRow() { return NextRow(kNoRow); }

RowHandle ResultModel::NextRow(RowHandle row) {
  const std::lock_guard<std::mutex> lock(mutex_);
  for (std::size_t index = IndexAfter(row); index < rows_.size(); ++index) {
    if (!rows_[index].removed) return rows_[index].sequence;
  }
  return kNoRow;
}

bool ResultModel::IsRowTicked(RowHandle row) {
  const std::lock_guard<std::mutex> lock(mutex_);
  const std::size_t index = IndexOf(row);
  return index < rows_.size() && !rows_[index].removed && rows_[index].ticked;
}

std::string ResultModel::RowPath(RowHandle row) {
  std::string path;
  const std::lock_guard<std::mutex> lock(mutex_);
  const std::size_t index = IndexOf(row);
  if (index < rows_.size()) AppendPath(rows_[index], path);
  return path;
}

void ResultModel::RemoveRow(RowHandle row) {
  const std::lock_guard<std::mutex> lock(mutex_);
  const std::size_t index = IndexOf(row);
  if (index == rows_.size() || rows_[index].removed) return;
  rows_[index].removed = true;
  ++removed_;
}

void ResultModel::AppendPath(const Row& row, std::string& text) const {
  text += texts_.View(directories_[row.directory]);
  text += texts_.View(row.name);
}

ResultModel::ViewUpdate ResultModel::SyncView(int* viewRows, std::size_t count) {
  const std::lock_guard<std::mutex> lock(mutex_);
  ViewUpdate update;
  update.redraw = redraw_;
  update.redrawChanged = redraw_ != viewRedraw_;
  viewRedraw_ = redraw_;
  if (redraw_) {
    if (removed_ != 0) {
      Compact(viewRows, count);
      update.rowsChanged = true;
    }
    if (viewCount_ != rows_.size()) {
      viewCount_ = rows_.size();
      update.rowsChanged = true;
    }
  }
  update.rowCount = static_cast<int>(viewCount_);
  return update;
}

void ResultModel::Compact(int* viewRows, std::size_t count) {
  std::size_t kept = 0;
  for (std::size_t index = 0; index < rows_.size(); ++index) {
    const bool keep = !rows_[index].removed;
    for (std::size_t k = 0; k < count; ++k) {
      if (viewRows[k] == static_cast<int>(index)) viewRows[k] = keep ? static_cast<int>(kept) : -1;
    }
    if (keep) rows_[kept++] = rows_[index];
  }
  rows_.resize(kept);
  removed_ = 0;
}

void ResultModel::Clear() {
  const std::lock_guard<std::mutex> lock(mutex_);
  // Swapped out rather than cleared, so that the memory goes too.
  std::vector<Row>().swap(rows_);
  std::vector<TextArena::Ref>().swap(directories_);
  texts_.Clear();
  appended_ = 0;
  removed_ = 0;
  viewCount_ = 0;
  redraw_ = true;
  viewRedraw_ = true;
}

bool ResultModel::RowText(int row, int column, std::string& text) {
  text.clear();
  const std::lock_guard<std::mutex> lock(mutex_);
  if (!InView(row)) return false;
  const Row& shown = rows_[static_cast<std::size_t>(row)];
  if (column == 1) {
    AppendPath(shown, text);
  } else if (column == 0) {
    char digits[16];
    text.assign(digits, std::to_chars(digits, digits + sizeof digits, shown.number).ptr);
  }
  return true;
}

bool ResultModel::IsTickedAt(int row) {
  const std::lock_guard<std::mutex> lock(mutex_);
  return InView(row) && rows_[static_cast<std::size_t>(row)].ticked;
}

void ResultModel::SetTickAt(int row, bool ticked) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (InView(row)) rows_[static_cast<std::size_t>(row)].ticked = ticked;
}

void ResultModel::ToggleTickAt(int row) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (InView(row)) {
    bool& ticked = rows_[static_cast<std::size_t>(row)].ticked;
    ticked = !ticked;
  }
}

void ResultModel::SetAllTicks(bool ticked) {
  const std::lock_guard<std::mutex> lock(mutex_);
  for (Row& row : rows_) row.ticked = ticked;
}

int ResultModel::FindRow(int start, std::string_view text, bool partial, bool wrap) {
  const std::lock_guard<std::mutex> lock(mutex_);
  const auto count = static_cast<int>(viewCount_);
  start = std::clamp(start, 0, count);
  for (int row = start; row < count; ++row) {
    if (NumberMatches(rows_[static_cast<std::size_t>(row)].number, text, partial)) return row;
  }
  for (int row = 0; wrap && row < start; ++row) {
    if (NumberMatches(rows_[static_cast<std::size_t>(row)].number, text, partial)) return row;
  }
  return -1;
}
