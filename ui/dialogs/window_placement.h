#pragma once

#include <windows.h>

// Centres a dialog over the window that owns it, or in the work area when it has no owner,
// and keeps it inside the work area of its monitor.
void CenterOverOwner(HWND window);
