// What the settings readings learn from Windows: the program's folder, the
// user's default language and whether a folder exists.
#pragma once

#include <string>

#include "app/shell/SettingsFile.h"

namespace ov {

// The running program file's folder, up to and including the last backslash (UTF-8).
std::string ProgramFolder();

// True when folder (ending in a backslash) followed by "*.*" finds anything.
bool FolderExists(const std::string& folder);

// The environment of this system; the capability flags come from the main
// window's probes.
SettingsEnvironment SystemSettingsEnvironment(bool directXAvailable, bool vistaOrLater);

}  // namespace ov
