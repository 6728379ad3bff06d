// ovtool: the program's command-line front end over the same core.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/ovtool/Command.h"

namespace ov::tool {

namespace {
std::vector<Command>& Registry() {
  static std::vector<Command> commands;
  return commands;
}
}  // namespace

const std::vector<Command>& Commands() {
  return Registry();
}

Registration::Registration(const char* name, const char* usage, CommandFn run) {
  Registry().push_back({name, usage, run});
}

}  // namespace ov::tool

static void PrintUsage(FILE* out) {
  std::fprintf(out, "usage: ovtool COMMAND [ARGS...]\n\ncommands:\n");
  for (const auto& c : ov::tool::Commands()) std::fprintf(out, "  %s\n", c.usage);
}

int main(int argc, char** argv) {
  const std::vector<std::string> args = ov::tool::CommandLineArgs(argc, argv);
  if (args.empty()) {
    PrintUsage(stderr);
    return 2;
  }
  if (args[0] == "help" || args[0] == "--help" || args[0] == "-h") {
    PrintUsage(stdout);
    return 0;
  }
  for (const auto& c : ov::tool::Commands()) {
    if (args[0] == c.name) return c.run(std::vector<std::string>(args.begin() + 1, args.end()));
  }
  std::fprintf(stderr, "ovtool: unknown command '%s'\n", args[0].c_str());
  PrintUsage(stderr);
  return 2;
}
