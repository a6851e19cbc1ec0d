#include "ui/dialogs/window_placement.h"

#include <algorithm>

void CenterOverOwner(HWND window) {
  RECT own{};
  if (!GetWindowRect(window, &own)) return;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  HWND owner = GetWindow(window, GW_OWNER);
  GetMonitorInfoW(MonitorFromWindow(owner != nullptr ? owner : window, MONITOR_DEFAULTTONEAREST),
                  &monitor);
  const RECT area = monitor.rcWork;
  RECT around = area;
  if (owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &around);

  const LONG width = own.right - own.left;
  const LONG height = own.bottom - own.top;
  LONG left = around.left + (around.right - around.left - width) / 2;
  LONG top = around.top + (around.bottom - around.top - height) / 2;
  left = std::max(area.left, std::min(left, area.right - width));
  top = std::max(area.top, std::min(top, area.bottom - height));
  SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
