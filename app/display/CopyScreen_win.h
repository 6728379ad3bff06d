// The screen copy (Ctrl+C): a bitmap of the main window, its wave and
// spectrum areas or the spectrum area with its measure panel (CaptureMode),
// optionally with the mouse pointer drawn in, put on the clipboard.
#pragma once

#include "app/display/DisplayHost_win.h"

namespace ov {

// Main thread. False when the copy could not be made or handed to the
// clipboard (nothing of it stays allocated then).
bool CopyScreen(DisplayHost& host, int32_t captureMode, bool withCursor);

}  // namespace ov
