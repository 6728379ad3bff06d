// The program's ProgramStarter: starts the control-panel and volume-control
// programs and opens web pages for the setup dialog.
//
// Programs start without handle inheritance: an inherited handle (the
// instance mutex) would outlive the program in the child and make the next
// start a second instance. Threads: main thread.
#pragma once

#include <string>

#include "app/setup/SetupHost.h"

namespace ov {

class SystemProgramStarter : public ProgramStarter {
 public:
  bool StartProgram(const std::string& commandLine) override;
  bool OpenWebPage(const std::string& address) override;
};

}  // namespace ov
