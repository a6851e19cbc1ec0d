#pragma once

#include "ui/app/settings_store.h"

#include <windows.h>

// The main window's place, size and maximised state and the widths of its list's columns,
// kept in the settings' section "Window" when the window ends and given back at the next start,
// through the system's window placement.
//
// Window thread. Restore runs while the window initialises, hidden, at its template size
// (minimum): stored values that are missing, not 32-bit numbers, absurd or off every monitor
// leave the window as the template made it, to be centred; a size below minimum grows to it,
// one beyond its monitor's work area shrinks to it, and the window is moved inside that area.
// Column widths are judged one by one; a missing or absurd width keeps the column's default.
void RestoreWindowGeometry(const SettingsStore& settings, HWND window, HWND list, SIZE minimum);
void SaveWindowGeometry(const SettingsStore& settings, HWND window, HWND list);
