#include "engine/result_model.h"

#include "engine/wildcard.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <map>
#include <new>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <tuple>

namespace {

// Positions are ints, and so are the view's row counts.
constexpr std::size_t kMaxRows = std::numeric_limits<int>::max();
// Rows visited under one taking of the lock by ForEachRow.
constexpr std::size_t kRowsPerLock = 4096;

bool NumberMatches(std::int32_t number, std::string_view text, bool partial) {
  char digits[16];
  const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
  const std::string_view shown(digits, static_cast<std::size_t>(end - digits));
  if (partial ? shown.size() < text.size() : shown.size() != text.size()) return false;
  return shown.compare(0, text.size(), text) == 0;
}

// Gives each distinct text an id, in the order first seen; texts stay where they are.
class DistinctTexts {
 public:
  explicit DistinctTexts(std::size_t expected) : slots_(SlotCount(expected), kEmpty) {}

  std::uint32_t Id(std::string_view text) {
    std::size_t slot = Hash(text) & (slots_.size() - 1);
    while (slots_[slot] != kEmpty) {
      if (texts_[slots_[slot]] == text) return slots_[slot];
      slot = (slot + 1) & (slots_.size() - 1);
    }
    slots_[slot] = static_cast<std::uint32_t>(texts_.size());
    texts_.push_back(text);
    return slots_[slot];
  }
  const std::vector<std::string_view>& Texts() const { return texts_; }

 private:
  static constexpr std::uint32_t kEmpty = 0xFFFFFFFF;
  // A power of two at least twice the count, so that probes stay short.
  static std::size_t SlotCount(std::size_t expected) {
    std::size_t count = 16;
    while (count < 2 * expected) count *= 2;
    return count;
  }
  static std::size_t Hash(std::string_view text) {
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (const char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return static_cast<std::size_t>(hash ^ (hash >> 32));
  }

  std::vector<std::uint32_t> slots_;
  std::vector<std::string_view> texts_;
};

}  // namespace

// ---- The worker's side ----------------------------------------------------------------

int ResultModel::RowCount() {
  const std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int>(totals_.all.rows);
}

int ResultModel::AppendRow(int number, const FoundFile& file) {
  const std::string& path = file.path;
  const std::string::size_type separator = path.find_last_of("\\/");
  const std::size_t directoryLength = separator == std::string::npos ? 0 : separator + 1;
  const std::string_view directory(path.data(), directoryLength);
  const std::string_view name(path.data() + directoryLength, path.size() - directoryLength);
  const std::lock_guard<std::mutex> lock(mutex_);
  if (rows_.size() >= kMaxRows) return -1;
  try {
    if (directories_.empty() || texts_.View(directories_.back()) != directory) {
      directories_.push_back(texts_.Add(directory));
    }
    const auto directoryIndex = static_cast<std::uint32_t>(directories_.size() - 1);
    rows_.push_back(Row{file.size, texts_.Add(name), directoryIndex, number, RemovalOutcome(), 0});
  } catch (const std::bad_alloc&) {
    return -1;
  } catch (const std::length_error&) {
    return -1;
  }
  ++totals_.all.rows;
  totals_.all.bytes += file.size;
  ++totals_.shown.rows;
  totals_.shown.bytes += file.size;
  return static_cast<int>(totals_.all.rows - 1);
}

void ResultModel::SetRedraw(bool on) {
  const std::lock_guard<std::mutex> lock(mutex_);
  redraw_ = on;
}

RowHandle ResultModel::FirstRow() { return NextRow(kNoRow); }

RowHandle ResultModel::NextRow(RowHandle row) {
  const std::lock_guard<std::mutex> lock(mutex_);
  for (RowHandle next = row + 1; static_cast<std::size_t>(next) < rows_.size(); ++next) {
    if (!rows_[static_cast<std::size_t>(next)].Is(kRemoved)) return next;
  }
  return kNoRow;
}

bool ResultModel::IsRowTicked(RowHandle row) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (!Present(row)) return false;
  const Row& r = rows_[static_cast<std::size_t>(row)];
  return r.Is(kTicked) && !r.Is(kHidden);
}

std::string ResultModel::RowPath(RowHandle row) {
  std::string path;
  const std::lock_guard<std::mutex> lock(mutex_);
  if (row >= 0 && static_cast<std::size_t>(row) < rows_.size()) {
    AppendPath(rows_[static_cast<std::size_t>(row)], path);
  }
  return path;
}

void ResultModel::SetOutcome(RowHandle row, const RemovalOutcome& outcome) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (!Present(row)) return;
  Row& r = rows_[static_cast<std::size_t>(row)];
  if (!outcome.removed()) {
    r.outcome = outcome;
    if (outcome.kind() != RemovalOutcome::Kind::kNotTried) ++totals_.stayed;
    return;
  }
  ++totals_.removed.rows;
  totals_.removed.bytes += r.size;
  Tick(r, false);
  r.flags |= kRemoved;
  r.outcome = outcome;
  --totals_.all.rows;
  totals_.all.bytes -= r.size;
  if (!r.Is(kHidden)) {
    --totals_.shown.rows;
    totals_.shown.bytes -= r.size;
  }
  removedSinceSync_ = true;
}

// ---- The view -------------------------------------------------------------------------

void ResultModel::AppendPath(const Row& row, std::string& text) const {
  text += texts_.View(directories_[row.directory]);
  text += texts_.View(row.name);
}

void ResultModel::Fill(const Row& row, RowData& data) const {
  data.number = row.number;
  data.path.clear();
  AppendPath(row, data.path);
  data.size = row.size;
  data.outcome = row.outcome;
  data.ticked = row.Is(kTicked);
}

std::vector<std::uint32_t> ResultModel::MarkedRows(const int* viewRows, std::size_t count) const {
  std::vector<std::uint32_t> marked(count, kNoRowId);
  for (std::size_t k = 0; k < count; ++k) {
    if (InView(viewRows[k])) marked[k] = Shown()[static_cast<std::size_t>(viewRows[k])];
  }
  return marked;
}

void ResultModel::PlaceMarks(const std::vector<std::uint32_t>& marked, int* viewRows, std::size_t count) const {
  for (std::size_t k = 0; k < count; ++k) viewRows[k] = -1;
  const std::vector<std::uint32_t>& shown = Shown();
  for (std::size_t position = 0; position < shown.size(); ++position) {
    for (std::size_t k = 0; k < count; ++k) {
      if (marked[k] == shown[position]) viewRows[k] = static_cast<int>(position);
    }
  }
}

ResultModel::ViewUpdate ResultModel::SyncView(int* viewRows, std::size_t count) {
  const std::lock_guard<std::mutex> lock(mutex_);
  ViewUpdate update;
  update.redraw = redraw_;
  update.redrawChanged = redraw_ != viewRedraw_;
  viewRedraw_ = redraw_;
  if (redraw_ && (removedSinceSync_ || synced_ != rows_.size())) {
    const std::vector<std::uint32_t> marked = MarkedRows(viewRows, count);
    const auto removed = [this](std::uint32_t row) { return rows_[row].Is(kRemoved); };
    if (removedSinceSync_) {
      order_.erase(std::remove_if(order_.begin(), order_.end(), removed), order_.end());
      view_.erase(std::remove_if(view_.begin(), view_.end(), removed), view_.end());
      removedSinceSync_ = false;
    }
    for (; synced_ < rows_.size(); ++synced_) {
      if (rows_[synced_].Is(kRemoved)) continue;
      order_.push_back(static_cast<std::uint32_t>(synced_));
      if (narrowed_ && !rows_[synced_].Is(kHidden)) view_.push_back(static_cast<std::uint32_t>(synced_));
    }
    PlaceMarks(marked, viewRows, count);
    update.rowsChanged = true;
    ++orderChanges_;
  }
  update.rowCount = static_cast<int>(Shown().size());
  return update;
}

void ResultModel::Clear() {
  const std::lock_guard<std::mutex> lock(mutex_);
  // Swapped out rather than cleared, so that the memory goes too.
  std::vector<Row>().swap(rows_);
  std::vector<TextArena::Ref>().swap(directories_);
  std::vector<std::uint32_t>().swap(order_);
  std::vector<std::uint32_t>().swap(view_);
  texts_.Clear();
  narrowed_ = false;
  filter_ = RowFilter();
  ++orderChanges_;
  synced_ = 0;
  removedSinceSync_ = false;
  redraw_ = true;
  viewRedraw_ = true;
  totals_ = Totals();
}

bool ResultModel::ReadRow(int position, RowData& row) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (!InView(position)) return false;
  Fill(RowAt(position), row);
  return true;
}

// ---- Ticks ----------------------------------------------------------------------------

void ResultModel::Tick(Row& row, bool ticked) {
  if (row.Is(kTicked) == ticked) return;
  row.flags ^= kTicked;
  if (row.Is(kRemoved) || row.Is(kHidden)) return;
  totals_.ticked.rows += ticked ? 1 : -1;
  if (ticked) {
    totals_.ticked.bytes += row.size;
  } else {
    totals_.ticked.bytes -= row.size;
  }
}

template <typename Visit>
void ResultModel::ForEachShownRow(Visit visit) {
  for (Row& row : rows_) {
    if (!row.Is(kRemoved) && !row.Is(kHidden)) visit(row);
  }
}

bool ResultModel::IsTickedAt(int position) {
  const std::lock_guard<std::mutex> lock(mutex_);
  return InView(position) && RowAt(position).Is(kTicked);
}

void ResultModel::SetTickAt(int position, bool ticked) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (InView(position)) Tick(RowAt(position), ticked);
}

void ResultModel::ToggleTickAt(int position) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (InView(position)) Tick(RowAt(position), !RowAt(position).Is(kTicked));
}

void ResultModel::SetAllTicks(bool ticked) {
  const std::lock_guard<std::mutex> lock(mutex_);
  ForEachShownRow([ticked](Row& row) { row.flags = ticked ? row.flags | kTicked : row.flags & ~kTicked; });
  totals_.ticked = ticked ? totals_.shown : Tally();
}

void ResultModel::InvertTicks() {
  const std::lock_guard<std::mutex> lock(mutex_);
  ForEachShownRow([](Row& row) { row.flags ^= kTicked; });
  totals_.ticked.rows = totals_.shown.rows - totals_.ticked.rows;
  totals_.ticked.bytes = totals_.shown.bytes - totals_.ticked.bytes;
}

std::size_t ResultModel::TickMatching(std::string_view pattern, bool ticked) {
  const std::lock_guard<std::mutex> lock(mutex_);
  std::size_t matched = 0;
  ForEachShownRow([&](Row& row) {
    if (!NameMatchesPattern(pattern, texts_.View(row.name))) return;
    ++matched;
    Tick(row, ticked);
  });
  return matched;
}

int ResultModel::FindRow(int start, std::string_view text, bool partial, bool wrap) {
  const std::lock_guard<std::mutex> lock(mutex_);
  const auto count = static_cast<int>(Shown().size());
  start = std::clamp(start, 0, count);
  for (int position = start; position < count; ++position) {
    if (NumberMatches(RowAt(position).number, text, partial)) return position;
  }
  for (int position = 0; wrap && position < start; ++position) {
    if (NumberMatches(RowAt(position).number, text, partial)) return position;
  }
  return -1;
}

// ---- Reading every row ----------------------------------------------------------------

void ResultModel::ForEachRow(bool tickedOnly, const std::function<bool(const RowData&)>& visit) {
  RowData data;
  std::vector<RowData> chunk;
  for (std::size_t next = 0;;) {
    chunk.clear();
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      for (; next < rows_.size() && chunk.size() < kRowsPerLock; ++next) {
        const Row& row = rows_[next];
        if (row.Is(kRemoved) || (tickedOnly && (!row.Is(kTicked) || row.Is(kHidden)))) continue;
        Fill(row, data);
        chunk.push_back(data);
      }
    }
    if (chunk.empty()) return;
    for (const RowData& row : chunk) {
      if (!visit(row)) return;
    }
  }
}

// ---- Totals ---------------------------------------------------------------------------

ResultModel::Totals ResultModel::CurrentTotals() {
  const std::lock_guard<std::mutex> lock(mutex_);
  Totals totals = totals_;
  totals.narrowed = narrowed_;
  return totals;
}

void ResultModel::BeginRemovalRun() {
  const std::lock_guard<std::mutex> lock(mutex_);
  totals_.ranRemoval = true;
  totals_.removed = Tally();
  totals_.stayed = 0;
}

// ---- Sorting --------------------------------------------------------------------------

// Ranks of every directory (by index into directories_) and of every row's name (by index
// into rows_): each distinct text is ranked once, however many rows share it.
std::vector<std::uint32_t> ResultModel::PathRanks(DisplayTexts& texts, std::vector<std::uint32_t>& nameRanks) const {
  DistinctTexts directories(directories_.size());
  std::vector<std::uint32_t> directoryIds(directories_.size());
  for (std::size_t d = 0; d < directories_.size(); ++d) directoryIds[d] = directories.Id(texts_.View(directories_[d]));
  const std::vector<std::uint32_t> directoryRanks = texts.Rank(directories.Texts());
  for (std::uint32_t& id : directoryIds) id = directoryRanks[id];

  DistinctTexts names(order_.size());
  nameRanks.assign(rows_.size(), 0);
  for (const std::uint32_t row : order_) nameRanks[row] = names.Id(texts_.View(rows_[row].name));
  const std::vector<std::uint32_t> ranks = texts.Rank(names.Texts());
  for (const std::uint32_t row : order_) nameRanks[row] = ranks[nameRanks[row]];
  return directoryIds;
}

std::vector<ResultModel::SortKey> ResultModel::SortKeys(Column column, DisplayTexts& texts) const {
  std::vector<SortKey> keys(order_.size());
  for (std::size_t i = 0; i < order_.size(); ++i) {
    const Row& row = rows_[order_[i]];
    keys[i] = SortKey{0, 0, row.number, order_[i]};
    if (column == Column::kNumber) keys[i].primary = static_cast<std::uint32_t>(row.number);
    if (column == Column::kSize) keys[i].primary = row.size;
  }
  if (column == Column::kPath) {
    std::vector<std::uint32_t> nameRanks;
    const std::vector<std::uint32_t> directoryRanks = PathRanks(texts, nameRanks);
    for (SortKey& key : keys) {
      key.primary = directoryRanks[rows_[key.row].directory];
      key.secondary = nameRanks[key.row];
    }
  } else if (column == Column::kOutcome) {
    // Few outcomes differ: each is named and ranked once.
    const auto byValue = [](const RemovalOutcome& a, const RemovalOutcome& b) {
      return std::make_tuple(a.kind(), a.code()) < std::make_tuple(b.kind(), b.code());
    };
    std::map<RemovalOutcome, std::uint32_t, decltype(byValue)> outcomes(byValue);
    for (const SortKey& key : keys) outcomes.emplace(rows_[key.row].outcome, 0);
    std::vector<std::string> words;
    for (const auto& outcome : outcomes) words.push_back(texts.OutcomeText(outcome.first));
    const std::vector<std::uint32_t> ranks = texts.Rank(std::vector<std::string_view>(words.begin(), words.end()));
    std::size_t next = 0;
    for (auto& outcome : outcomes) outcome.second = ranks[next++];
    for (SortKey& key : keys) key.primary = outcomes[rows_[key.row].outcome];
  }
  return keys;
}

void ResultModel::Sort(Column column, bool descending, DisplayTexts& texts, int* viewRows, std::size_t count) {
  const std::lock_guard<std::mutex> lock(mutex_);
  const std::vector<std::uint32_t> marked = MarkedRows(viewRows, count);
  std::vector<SortKey> keys = SortKeys(column, texts);
  std::sort(keys.begin(), keys.end(), [descending](const SortKey& a, const SortKey& b) {
    if (a.primary != b.primary || a.secondary != b.secondary) {
      return descending != (std::tie(a.primary, a.secondary) < std::tie(b.primary, b.secondary));
    }
    return a.number < b.number;
  });
  for (std::size_t i = 0; i < keys.size(); ++i) order_[i] = keys[i].row;
  ++orderChanges_;
  if (narrowed_) {
    view_.clear();
    for (const std::uint32_t row : order_) {
      if (!rows_[row].Is(kHidden)) view_.push_back(row);
    }
  }
  PlaceMarks(marked, viewRows, count);
}

// ---- Narrowing ------------------------------------------------------------------------

ResultModel::Narrowing ResultModel::PrepareNarrowing(std::string_view text) {
  const std::lock_guard<std::mutex> lock(mutex_);
  Narrowing narrowing;
  narrowing.filter_ = RowFilter(text);
  narrowing.model_ = this;
  narrowing.candidates_ = narrowed_ && narrowing.filter_.Narrows(filter_) ? &view_ : &order_;
  narrowing.order_ = orderChanges_;
  return narrowing;
}

bool ResultModel::Narrowing::Run(const std::atomic<bool>& abandon) {
  constexpr std::size_t kRowsForTwoThreads = 200000;
  const std::vector<std::uint32_t>& candidates = *candidates_;
  const std::size_t half = candidates.size() >= kRowsForTwoThreads ? candidates.size() / 2 : candidates.size();
  std::vector<std::uint32_t> secondHalf;
  bool secondDone = true;
  std::thread second;
  if (half < candidates.size()) {
    try {
      second = std::thread([&] { secondDone = Take(half, candidates.size(), abandon, secondHalf); });
    } catch (const std::system_error&) {
      // No second thread: this one takes it all.
    }
  }
  bool firstDone = Take(0, second.joinable() ? half : candidates.size(), abandon, taken_);
  if (second.joinable()) second.join();
  taken_.insert(taken_.end(), secondHalf.begin(), secondHalf.end());
  done_ = firstDone && secondDone;
  return done_;
}

bool ResultModel::Narrowing::Take(std::size_t begin, std::size_t end, const std::atomic<bool>& abandon,
                                  std::vector<std::uint32_t>& taken) const {
  constexpr std::size_t kRowsBetweenLooks = 4096;
  const ResultModel& model = *model_;
  const std::vector<std::uint32_t>& candidates = *candidates_;
  // Whether each directory's text holds the filter's, asked once a directory: -1 not yet.
  std::vector<std::int8_t> directoryTaken(filter_.DirectoryDecides() ? model.directories_.size() : 0, -1);
  taken.clear();
  taken.reserve(end - begin);
  for (std::size_t i = begin; i < end; ++i) {
    if ((i - begin) % kRowsBetweenLooks == 0 && abandon.load(std::memory_order_relaxed)) return false;
    const Row& row = model.rows_[candidates[i]];
    if (filter_.DirectoryDecides()) {
      std::int8_t& decided = directoryTaken[row.directory];
      if (decided < 0) decided = filter_.MatchesDirectory(model.texts_.View(model.directories_[row.directory])) ? 1 : 0;
      if (decided == 1) {
        taken.push_back(candidates[i]);
        continue;
      }
    }
    if (filter_.MatchesName(model.texts_.View(model.directories_[row.directory]), model.texts_.View(row.name))) {
      taken.push_back(candidates[i]);
    }
  }
  return true;
}

bool ResultModel::ApplyNarrowing(Narrowing& narrowing) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (!narrowing.done_ || narrowing.model_ != this || narrowing.order_ != orderChanges_) return false;
  for (Row& row : rows_) row.flags |= kHidden;
  totals_.shown = Tally();
  totals_.ticked = Tally();
  for (const std::uint32_t index : narrowing.taken_) {
    Row& row = rows_[index];
    row.flags &= ~kHidden;
    ++totals_.shown.rows;
    totals_.shown.bytes += row.size;
    if (row.Is(kTicked)) {
      ++totals_.ticked.rows;
      totals_.ticked.bytes += row.size;
    }
  }
  filter_ = narrowing.filter_;
  narrowed_ = !filter_.TakesAll();
  if (narrowed_) {
    view_.swap(narrowing.taken_);
  } else {
    std::vector<std::uint32_t>().swap(view_);
  }
  return true;
}

std::uint32_t ResultModel::RowIdAt(int position) {
  const std::lock_guard<std::mutex> lock(mutex_);
  return InView(position) ? Shown()[static_cast<std::size_t>(position)] : kNoRowId;
}

int ResultModel::PositionOf(std::uint32_t rowId) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (rowId == kNoRowId) return -1;
  const std::vector<std::uint32_t>& shown = Shown();
  const auto at = std::find(shown.begin(), shown.end(), rowId);
  return at == shown.end() ? -1 : static_cast<int>(at - shown.begin());
}
