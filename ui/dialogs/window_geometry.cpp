#include "ui/dialogs/window_geometry.h"

#include "engine/result_columns.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

namespace {

constexpr char kSection[] = "Window";
constexpr char kLeft[] = "Left";
constexpr char kTop[] = "Top";
constexpr char kRight[] = "Right";
constexpr char kBottom[] = "Bottom";
constexpr char kMaximized[] = "Maximized";
// Beyond what any screen shows; window coordinates themselves stop at 32,767.
constexpr std::int64_t kLargestExtent = 16384;
constexpr int kWidestColumn = 10000;

std::string ColumnEntry(int column) { return "Column" + std::to_string(column); }

// The placement's rectangles are in workspace coordinates: relative to the primary monitor's
// work area, which a taskbar on the left or top moves away from the screen's origin.
POINT WorkspaceOrigin() {
  MONITORINFO primary{};
  primary.cbSize = sizeof(primary);
  GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &primary);
  return POINT{primary.rcWork.left - primary.rcMonitor.left, primary.rcWork.top - primary.rcMonitor.top};
}

// The stored rectangle on the screen, fitted to the work area of the monitor its title bar is
// on; none when a value is missing or absurd, or the title bar is on no monitor.
std::optional<RECT> StoredPlace(const SettingsSection& stored, SIZE minimum) {
  const auto left = stored.ReadDword(kLeft), top = stored.ReadDword(kTop);
  const auto right = stored.ReadDword(kRight), bottom = stored.ReadDword(kBottom);
  if (!left || !top || !right || !bottom) return std::nullopt;
  const std::int64_t width = std::int64_t{*right} - *left, height = std::int64_t{*bottom} - *top;
  if (width <= 0 || height <= 0 || width > kLargestExtent || height > kLargestExtent) return std::nullopt;
  const POINT origin = WorkspaceOrigin();
  RECT place{*left + origin.x, *top + origin.y, *right + origin.x, *bottom + origin.y};
  // The user must be able to see the title bar and take hold of it.
  const RECT titleBar{place.left, place.top, place.right, place.top + GetSystemMetrics(SM_CYCAPTION)};
  HMONITOR monitor = MonitorFromRect(&titleBar, MONITOR_DEFAULTTONULL);
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (monitor == nullptr || !GetMonitorInfoW(monitor, &info)) return std::nullopt;
  const RECT area = info.rcWork;
  RECT visible{};
  if (!IntersectRect(&visible, &titleBar, &area) || visible.right - visible.left < 2 * GetSystemMetrics(SM_CXSIZE)) {
    return std::nullopt;
  }
  const LONG fittedWidth = std::max(minimum.cx, std::min(place.right - place.left, area.right - area.left));
  const LONG fittedHeight = std::max(minimum.cy, std::min(place.bottom - place.top, area.bottom - area.top));
  const LONG x = std::max(area.left, std::min(place.left, area.right - fittedWidth));
  const LONG y = std::max(area.top, std::min(place.top, area.bottom - fittedHeight));
  return RECT{x, y, x + fittedWidth, y + fittedHeight};
}

}  // namespace

void RestoreWindowGeometry(const SettingsStore& settings, HWND window, HWND list, SIZE minimum) {
  const SettingsSection stored = settings.ReadSection(kSection);
  for (int column = 0; column < kColumnCount; ++column) {
    const auto width = stored.ReadDword(ColumnEntry(column));
    if (width && *width > 0 && *width <= kWidestColumn) {
      SendMessageW(list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(*width, 0));
    }
  }
  const std::optional<RECT> place = StoredPlace(stored, minimum);
  if (!place) return;
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  if (!GetWindowPlacement(window, &placement)) return;
  const POINT origin = WorkspaceOrigin();
  placement.rcNormalPosition = *place;
  OffsetRect(&placement.rcNormalPosition, -origin.x, -origin.y);
  placement.flags = 0;
  // Hidden, the dialog shows itself in its normal place once initialised; maximised, it shows now.
  placement.showCmd = stored.ReadDword(kMaximized).value_or(0) == 1 ? SW_SHOWMAXIMIZED : SW_HIDE;
  SetWindowPlacement(window, &placement);
}

void SaveWindowGeometry(const SettingsStore& settings, HWND window, HWND list) {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  if (!GetWindowPlacement(window, &placement)) return;
  const RECT& normal = placement.rcNormalPosition;
  settings.WriteInt(kSection, kLeft, normal.left);
  settings.WriteInt(kSection, kTop, normal.top);
  settings.WriteInt(kSection, kRight, normal.right);
  settings.WriteInt(kSection, kBottom, normal.bottom);
  // A window minimised from maximised comes back maximised.
  const bool maximized = placement.showCmd == SW_SHOWMAXIMIZED ||
                         (placement.showCmd == SW_SHOWMINIMIZED && (placement.flags & WPF_RESTORETOMAXIMIZED) != 0);
  settings.WriteInt(kSection, kMaximized, maximized ? 1 : 0);
  for (int column = 0; column < kColumnCount; ++column) {
    settings.WriteInt(kSection, ColumnEntry(column),
                      static_cast<std::int32_t>(SendMessageW(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0)));
  }
}
