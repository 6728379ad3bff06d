// ovtool devices: the sound devices of the engine's driver family, numbered as
// the setup dialog numbers them (0 is the mapper).
#include "tools/ovtool/Command.h"
#include "tools/ovtool/EngineConsole.h"

namespace ov::tool {
namespace {

int Run(const std::vector<std::string>& args) {
  if (!args.empty()) {
    std::fprintf(stderr, "usage: ovtool devices\n");
    return 2;
  }
  EngineConsole c;
  const std::string message = c.engine.GetMessage();
  const uint32_t outputs = c.engine.GetDeviceCount(AudioDirection::Output);
  const uint32_t inputs = c.engine.GetDeviceCount(AudioDirection::Input);
  if (outputs == 0 && inputs == 0) {
    std::fprintf(stderr, "ovtool devices: %s\n", message.c_str());
    return 1;
  }
  std::printf("Output devices:\n");
  if (outputs) {
    for (uint32_t i = 0; i <= outputs; ++i) {
      std::printf("  %u: %s\n", i, c.engine.GetDeviceName(i, AudioDirection::Output).c_str());
    }
  }
  std::printf("Input devices:\n");
  if (inputs) {
    for (uint32_t i = 0; i <= inputs; ++i) {
      std::printf("  %u: %s\n", i, c.engine.GetDeviceName(i, AudioDirection::Input).c_str());
    }
  }
  if (!message.empty()) std::printf("%s\n", message.c_str());
  return 0;
}

const Registration reg{"devices", "devices", Run};

}  // namespace
}  // namespace ov::tool
