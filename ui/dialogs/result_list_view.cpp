#include "ui/dialogs/result_list_view.h"

#include "engine/win32/utf.h"

#include <commctrl.h>

#include <algorithm>

namespace {

// Beyond any real row count, so an inserted row goes to the end.
constexpr int kAppendPosition = 0xFFFFFF;
constexpr UINT kTickStateMask = LVIS_STATEIMAGEMASK;

void AppendColumn(HWND list, const wchar_t* title, int width) {
  LVCOLUMNW column{};
  column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH;
  column.fmt = LVCFMT_LEFT;
  column.cx = width;
  column.pszText = const_cast<wchar_t*>(title);
  SendMessageW(list, LVM_INSERTCOLUMNW, 65535, reinterpret_cast<LPARAM>(&column));
}

}  // namespace

void ResultListView::Attach(HWND list) {
  list_ = list;
  SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
               LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
  AppendColumn(list_, L"序号", 60);
  AppendColumn(list_, L"文件", 420);
  SyncRowCount();
}

int ResultListView::RowCount() { return rowCount_.load(); }

int ResultListView::AppendRow(const std::string& numberText) {
  FlushRemovals();
  block_.clear();
  // A full batch goes out before the next row joins, so the row just appended always takes
  // its path here rather than in the list view.
  if (appends_.size() >= kBatch) FlushAppends();
  appends_.push_back({numberText, std::string()});
  return rowCount_.fetch_add(1);
}

void ResultListView::SetRowPath(int row, const std::string& path) {
  const int firstPending = rowCount_.load() - static_cast<int>(appends_.size());
  if (row >= firstPending && row < rowCount_.load()) {
    appends_[static_cast<std::size_t>(row - firstPending)].path = path;
    return;
  }
  Flush();
  owner_.RunOnWindowThread([&] {
    LVITEMW item{};
    item.iSubItem = 1;
    const std::wstring text = Widen(path);
    item.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(list_, LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
  });
}

bool ResultListView::IsRowTicked(int row) {
  if (!frozen_) {
    Flush();
    bool ticked = false;
    owner_.RunOnWindowThread([&] { ticked = TickedNow(row); });
    return ticked;
  }
  if (CachedRow(row) == nullptr) ReadBlockFrom(row);
  const ReadRow* cached = CachedRow(row);
  return cached != nullptr && cached->ticked;
}

std::string ResultListView::RowPath(int row) {
  if (!frozen_) {
    Flush();
    std::string path;
    owner_.RunOnWindowThread([&] { path = PathNow(row); });
    return path;
  }
  if (CachedRow(row) == nullptr) ReadBlockFrom(row);
  const ReadRow* cached = CachedRow(row);
  if (cached != nullptr && cached->ticked) return cached->path;
  // Paths are read ahead for ticked rows only.
  FlushRemovals();
  std::string path;
  owner_.RunOnWindowThread([&] { path = PathNow(row); });
  return path;
}

void ResultListView::RemoveRow(int row) {
  if (row < 0 || row >= rowCount_.load()) return;
  if (!frozen_) {
    Flush();
    owner_.RunOnWindowThread([&] {
      SendMessageW(list_, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
      SyncRowCount();
    });
    return;
  }
  FlushAppends();
  if (CachedRow(row) != nullptr) {
    block_.erase(block_.begin() + (row - blockStart_));
  } else {
    block_.clear();
  }
  removals_.push_back(row);
  rowCount_.fetch_sub(1);
  if (removals_.size() >= kBatch) FlushRemovals();
}

void ResultListView::SetRedraw(bool on) {
  Flush();
  frozen_ = !on;
  owner_.RunOnWindowThread([&] { SendMessageW(list_, WM_SETREDRAW, on ? TRUE : FALSE, 0); });
}

void ResultListView::Flush() {
  FlushAppends();
  FlushRemovals();
  block_.clear();
}

void ResultListView::FlushAppends() {
  if (appends_.empty()) return;
  owner_.RunOnWindowThread([&] {
    for (const PendingRow& row : appends_) InsertRow(row);
    SyncRowCount();
  });
  appends_.clear();
}

void ResultListView::FlushRemovals() {
  if (removals_.empty()) return;
  owner_.RunOnWindowThread([&] {
    for (int row : removals_) SendMessageW(list_, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
    SyncRowCount();
  });
  removals_.clear();
}

void ResultListView::ReadBlockFrom(int row) {
  FlushAppends();
  FlushRemovals();
  block_.clear();
  blockStart_ = row;
  owner_.RunOnWindowThread([&] {
    blockTickChanges_ = tickChanges_.load();
    const int count = VisibleRowCount();
    const int end = std::min(count, row + static_cast<int>(kBatch));
    for (int current = row; current < end && current >= 0; ++current) {
      ReadRow read;
      read.ticked = TickedNow(current);
      if (read.ticked) read.path = PathNow(current);
      block_.push_back(std::move(read));
    }
  });
}

const ResultListView::ReadRow* ResultListView::CachedRow(int row) const {
  if (tickChanges_.load() != blockTickChanges_) return nullptr;
  if (row < blockStart_ || row >= blockStart_ + static_cast<int>(block_.size())) return nullptr;
  return &block_[static_cast<std::size_t>(row - blockStart_)];
}

void ResultListView::DeleteAllRows() {
  appends_.clear();
  removals_.clear();
  block_.clear();
  frozen_ = false;
  SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
  SyncRowCount();
}

int ResultListView::VisibleRowCount() const {
  return static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
}

void ResultListView::SetAllTicks(bool ticked) const {
  const int count = VisibleRowCount();
  LVITEMW item{};
  item.stateMask = kTickStateMask;
  item.state = INDEXTOSTATEIMAGEMASK(ticked ? 2 : 1);
  for (int row = 0; row < count; ++row) {
    SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
  }
}

std::optional<std::string> ResultListView::SelectedRowPath() const {
  const int row = static_cast<int>(
      SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  if (row < 0) return std::nullopt;
  return PathNow(row);
}

void ResultListView::OnItemChanged(const NMLISTVIEW& change) {
  if ((change.uChanged & LVIF_STATE) != 0 &&
      ((change.uOldState ^ change.uNewState) & kTickStateMask) != 0) {
    ++tickChanges_;
  }
}

void ResultListView::InsertRow(const PendingRow& row) const {
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = kAppendPosition;
  const std::wstring number = Widen(row.numberText);
  item.pszText = const_cast<wchar_t*>(number.c_str());
  const int position =
      static_cast<int>(SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  if (position < 0) return;
  LVITEMW pathItem{};
  pathItem.iSubItem = 1;
  const std::wstring path = Widen(row.path);
  pathItem.pszText = const_cast<wchar_t*>(path.c_str());
  SendMessageW(list_, LVM_SETITEMTEXTW, static_cast<WPARAM>(position),
               reinterpret_cast<LPARAM>(&pathItem));
}

bool ResultListView::TickedNow(int row) const {
  const auto state = static_cast<UINT>(
      SendMessageW(list_, LVM_GETITEMSTATE, static_cast<WPARAM>(row), kTickStateMask));
  // The state image index less one: 0 is unticked; anything else counts as ticked.
  return static_cast<int>(state >> 12) - 1 != 0;
}

std::string ResultListView::PathNow(int row) const {
  std::wstring buffer(260, L'\0');
  for (;;) {
    LVITEMW item{};
    item.iSubItem = 1;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    const auto length = static_cast<std::size_t>(SendMessageW(
        list_, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
    if (length + 1 < buffer.size()) return Narrow(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

void ResultListView::SyncRowCount() { rowCount_.store(VisibleRowCount()); }
