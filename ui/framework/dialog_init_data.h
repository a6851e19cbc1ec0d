#pragma once

// Resource type of dialog initialisation data: the entries of a dialog's combo boxes and list
// boxes. Resource scripts take it from here too; the resource compiler sees only this part.
#define RT_DLGINIT_TYPE 240

#ifndef RC_INVOKED

#include <windows.h>

// Adds the entries that a dialog template's initialisation data (resource type
// RT_DLGINIT_TYPE, same id as the template) lists to the dialog's combo boxes and list boxes.
// CreateDialog does not do this itself; call it on WM_INITDIALOG, before the dialog's own
// initialisation, so that code sees the entries. A template without such data is left alone.
// False when the data is malformed; entries before the fault have been added.
bool ApplyDialogInitData(HWND dialog, int templateId);

#endif
