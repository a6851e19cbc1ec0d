#include "ui/framework/anchor_layout.h"

#include <algorithm>

void AnchorLayout::Capture(HWND window, const Rule* rules, std::size_t count) {
  window_ = window;
  RECT client{};
  GetClientRect(window, &client);
  client_ = {client.right, client.bottom};
  RECT outer{};
  GetWindowRect(window, &outer);
  minimum_ = {outer.right - outer.left, outer.bottom - outer.top};
  placed_.clear();
  for (std::size_t i = 0; i < count; ++i) {
    HWND control = GetDlgItem(window, rules[i].controlId);
    if (control == nullptr) continue;
    RECT start{};
    GetWindowRect(control, &start);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&start), 2);
    placed_.push_back({control, start, rules[i].anchors});
  }
}

void AnchorLayout::Apply(int clientWidth, int clientHeight) const {
  if (window_ == nullptr || placed_.empty()) return;
  // Smaller than captured only while minimised or on a screen too small for the window.
  const int dx = std::max(0, clientWidth - static_cast<int>(client_.cx));
  const int dy = std::max(0, clientHeight - static_cast<int>(client_.cy));
  HDWP positions = BeginDeferWindowPos(static_cast<int>(placed_.size()));
  for (const Placed& placed : placed_) {
    RECT at = placed.start;
    if (placed.anchors & kMoveX) OffsetRect(&at, dx, 0);
    if (placed.anchors & kMoveY) OffsetRect(&at, 0, dy);
    if (placed.anchors & kStretchX) at.right += dx;
    if (placed.anchors & kStretchY) at.bottom += dy;
    constexpr UINT kFlags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS;
    if (positions != nullptr) {
      positions = DeferWindowPos(positions, placed.control, nullptr, at.left, at.top, at.right - at.left,
                                 at.bottom - at.top, kFlags);
    } else {
      SetWindowPos(placed.control, nullptr, at.left, at.top, at.right - at.left, at.bottom - at.top, kFlags);
    }
  }
  if (positions != nullptr) EndDeferWindowPos(positions);
  // Group boxes and frames paint only their outlines: what they covered before must go.
  InvalidateRect(window_, nullptr, TRUE);
}

void AnchorLayout::LimitTracking(MINMAXINFO& limits) const {
  if (minimum_.cx == 0) return;
  limits.ptMinTrackSize.x = std::max(limits.ptMinTrackSize.x, minimum_.cx);
  limits.ptMinTrackSize.y = std::max(limits.ptMinTrackSize.y, minimum_.cy);
}
