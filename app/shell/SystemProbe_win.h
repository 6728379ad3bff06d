// What the main window asks the system at creation: whether DirectDraw can be
// created, and the operating system's version.
#pragma once

#include "app/shell/SystemCapabilities.h"

namespace ov {

// Loads "DDRAW.DLL", creates a DirectDraw object with DirectDrawCreateEx and
// releases it again; true when that worked.
bool ProbeDirectDraw();

// The running system's version (RtlGetVersion, which reports the real version
// whatever the program's manifest declares).
OsVersion RunningOsVersion();

}  // namespace ov
