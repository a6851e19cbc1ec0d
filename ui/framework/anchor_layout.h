#pragma once

#include <windows.h>

#include <cstddef>
#include <vector>

// Keeps a resizable window's controls in place as its size changes: each listed control keeps
// its distance from the edges it is anchored to, so it moves with the right or bottom edge, or
// stretches between the two edges of one direction. Controls not listed stay where they are.
// The size the window had when the layout was captured is the least it can be made.
class AnchorLayout {
 public:
  enum Anchor : unsigned {
    kMoveX = 1,     // keeps its distance from the right edge
    kMoveY = 2,     // keeps its distance from the bottom edge
    kStretchX = 4,  // keeps its left edge and its distance from the right edge
    kStretchY = 8,  // keeps its top edge and its distance from the bottom edge
  };
  struct Rule {
    int controlId;
    unsigned anchors;
  };

  // Window thread, once the controls stand in their template places and the window has its
  // template size (WM_INITDIALOG).
  void Capture(HWND window, const Rule* rules, std::size_t count);
  template <std::size_t Count>
  void Capture(HWND window, const Rule (&rules)[Count]) {
    Capture(window, rules, Count);
  }
  // WM_SIZE: places the controls for the client area's new size. Before Capture it does
  // nothing; below the captured size the controls keep their captured places.
  void Apply(int clientWidth, int clientHeight) const;
  // WM_GETMINMAXINFO: no smaller than the captured window.
  void LimitTracking(MINMAXINFO& limits) const;
  SIZE MinimumWindowSize() const { return minimum_; }

 private:
  struct Placed {
    HWND control;
    RECT start;  // in the client area, as captured
    unsigned anchors;
  };
  HWND window_ = nullptr;
  SIZE client_{};
  SIZE minimum_{};
  std::vector<Placed> placed_;
};
