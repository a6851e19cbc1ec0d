#pragma once

#include "engine/directory_reader.h"
#include "engine/scan_window.h"

// The body of a scan thread: reads the request from the window, runs the build-workspace sweep
// when its box is ticked, then the pattern walk over the root, and leaves the progress window
// hidden and the result list redrawing. A null window does nothing.
void ScanWorker(ScanWindow* window);

// The same with a chosen way of asking the file system; ScanWorker(window) uses SharedListing.
void ScanWorker(ScanWindow* window, ScanStrategy strategy);
