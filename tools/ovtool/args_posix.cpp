#include "tools/ovtool/Command.h"

namespace ov::tool {

std::vector<std::string> CommandLineArgs(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

}  // namespace ov::tool
