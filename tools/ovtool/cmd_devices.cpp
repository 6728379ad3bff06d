// ovtool devices: the sound devices of the engine's driver family, numbered as
// the setup dialog numbers them (0 is the mapper).
#include "tools/ovtool/Command.h"
#include "tools/ovtool/EngineConsole.h"

namespace ov::tool {
namespace {

constexpr const char kUsage[] = "devices [--driver mme|ds|wasapi|asio]";

int Run(const std::vector<std::string>& args) {
  int32_t driver = kDriverMme;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--driver" && i + 1 < args.size() && ParseDriver(args[i + 1], driver)) {
      ++i;
    } else {
      std::fprintf(stderr, "usage: ovtool %s\n", kUsage);
      return 2;
    }
  }
  EngineSettings s;
  s.PlayRecDriverType = driver;
  EngineConsole c({}, s);
  if (!RequireDriver(c.engine, driver, "devices")) return 1;
  const std::string message = c.engine.GetMessage();
  const uint32_t outputs = c.engine.GetDeviceCount(false);
  const uint32_t inputs = c.engine.GetDeviceCount(true);
  if (outputs == 0 && inputs == 0) {
    std::fprintf(stderr, "ovtool devices: %s\n", message.c_str());
    return 1;
  }
  std::printf("Output devices:\n");
  if (outputs) {
    for (uint32_t i = 0; i <= outputs; ++i) {
      std::printf("  %u: %s\n", i, c.engine.GetDeviceName(i, false).c_str());
    }
  }
  std::printf("Input devices:\n");
  if (inputs) {
    for (uint32_t i = 0; i <= inputs; ++i) {
      std::printf("  %u: %s\n", i, c.engine.GetDeviceName(i, true).c_str());
    }
  }
  if (!message.empty()) std::printf("%s\n", message.c_str());
  return 0;
}

const Registration reg{"devices", kUsage, Run};

}  // namespace
}  // namespace ov::tool
