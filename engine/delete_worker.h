#pragma once

#include "engine/delete_window.h"

// The body of a deletion run, for a thread of its own: removes the file of every ticked row of
// the window's result list with the removal operation that the window's DeleteMode selects at
// that moment, and takes a row off the list exactly when its removal succeeds. The rows that
// stay keep their numbers and ticks. BusyFlag is 1 for the whole run; a cancel request is
// honoured before the next row, after the removal in hand has finished. A command starts it
// with the window as its only argument and never waits for it; a null window does nothing.
// Nothing is thrown out of it.
void DeleteWorker(DeleteWindow* window);
