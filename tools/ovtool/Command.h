// ovtool subcommands register themselves: each cmd_*.cpp defines one
//   static const ov::tool::Registration reg{"name", "usage", Run};
#pragma once

#include <string>
#include <vector>

namespace ov::tool {

// Exit status: 0 success, 1 the work failed, 2 usage error.
using CommandFn = int (*)(const std::vector<std::string>& args);

struct Command {
  const char* name;
  const char* usage;
  CommandFn run;
};

const std::vector<Command>& Commands();

// The program's arguments after the program name, as UTF-8 (on Windows taken
// from the wide command line, so any file name survives the system code page).
std::vector<std::string> CommandLineArgs(int argc, char** argv);

struct Registration {
  Registration(const char* name, const char* usage, CommandFn run);
};

}  // namespace ov::tool
