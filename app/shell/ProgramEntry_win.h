// The program's entry: decides whether this process becomes instance 1,
// instance 2, or only hands its command line to instance 1 (or brings
// instance 2 forward), then creates the main window and runs the message loop.
#pragma once

namespace ov {

// Runs the program; returns the process exit code.
int RunProgram();

}  // namespace ov
