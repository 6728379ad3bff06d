// ovtool: the program's command-line front end over the same core.
#include <cstdio>
#include <cstring>
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

const std::vector<Command>& Commands() { return Registry(); }

Registration::Registration(const char* name, const char* usage, CommandFn run) {
  Registry().push_back({name, usage, run});
}

}  // namespace ov::tool

static void PrintUsage(FILE* out) {
  std::fprintf(out, "usage: ovtool COMMAND [ARGS...]\n\ncommands:\n");
  for (const auto& c : ov::tool::Commands()) std::fprintf(out, "  %s\n", c.usage);
}

int main(int argc, char** argv) {
  if (argc < 2) {
    PrintUsage(stderr);
    return 2;
  }
  if (!std::strcmp(argv[1], "help") || !std::strcmp(argv[1], "--help") ||
      !std::strcmp(argv[1], "-h")) {
    PrintUsage(stdout);
    return 0;
  }
  for (const auto& c : ov::tool::Commands()) {
    if (argv[1] == std::string(c.name)) {
      return c.run(std::vector<std::string>(argv + 2, argv + argc));
    }
  }
  std::fprintf(stderr, "ovtool: unknown command '%s'\n", argv[1]);
  PrintUsage(stderr);
  return 2;
}
