#pragma once

#include <windows.h>

// Makes moving the selection of a large virtual list view (LVS_OWNERDATA, one row selected at a
// time) cost the same at a million rows as at ten. Wine's list view deselects every row of a
// virtual list, one by one, whenever the selection moves while a row is selected: about half a
// second per key press at a million rows. It deselects nothing while no row is selected, so the
// selected row is deselected alone just before a key or a click that may move the selection,
// and selected again when the key or click left no row selected but was not meant to. On
// Windows the list view does the same work either way.
//
// Window thread, once, after the list view's other subclasses; stays for the window's life.
void KeepSelectionMovesCheap(HWND list);

// The focused row of a list view, -1 for none.
int FocusedRow(HWND list);

// The selected row of such a list, -1 for none, asked the cheap ways first: to find that no row
// is selected, Wine's list view looks at every row.
int SelectedRow(HWND list);
