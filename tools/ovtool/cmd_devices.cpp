// ovtool devices: the sound devices of the engine's driver family, numbered as
// the setup dialog numbers them (0 is the mapper; ASIO drivers count from 0).
// With --info N (ASIO) it prints driver N's information text instead.
#include "tools/ovtool/AsioInfo.h"
#include "tools/ovtool/Command.h"
#include "tools/ovtool/EngineConsole.h"

namespace ov::tool {
namespace {

constexpr const char kUsage[] =
    "devices [--driver mme|ds|wasapi|asio] [--info N [--channel C] [--input]]";

int Run(const std::vector<std::string>& args) {
  int32_t driver = kDriverMme;
  uint64_t info = 0, channel = 0;
  bool wantInfo = false, input = false;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--driver" && i + 1 < args.size() && ParseDriver(args[i + 1], driver)) {
      ++i;
    } else if (args[i] == "--info" && i + 1 < args.size() && ParseCount(args[i + 1], info)) {
      wantInfo = true;
      ++i;
    } else if (args[i] == "--channel" && i + 1 < args.size() && ParseCount(args[i + 1], channel)) {
      ++i;
    } else if (args[i] == "--input") {
      input = true;
    } else {
      std::fprintf(stderr, "usage: ovtool %s\n", kUsage);
      return 2;
    }
  }
  if (wantInfo && driver != kDriverAsio) {
    std::fprintf(stderr, "ovtool devices: --info needs --driver asio\n");
    return 2;
  }
  EngineSettings s;
  s.PlayRecDriverType = driver;
  EngineConsole c({}, s);
  if (!RequireDriver(c.engine, driver, "devices")) return 1;
  if (wantInfo) {
    std::string text, error;
    if (!AsioInfoText(static_cast<int32_t>(info), static_cast<int32_t>(channel), input,
                      c.engine.GetFormat(nullptr), text, error)) {
      std::fprintf(stderr, "ovtool devices: %s\n", error.c_str());
      return 1;
    }
    std::printf("%s\n", text.c_str());
    return 0;
  }
  // Waveform audio, DirectSound and WASAPI number a default device 0 first.
  const uint32_t last = driver == kDriverAsio ? 1 : 0;
  const std::string message = c.engine.GetMessage();
  const uint32_t outputs = c.engine.GetDeviceCount(AudioDirection::Output);
  const uint32_t inputs = c.engine.GetDeviceCount(AudioDirection::Input);
  if (outputs == 0 && inputs == 0) {
    std::fprintf(stderr, "ovtool devices: %s\n", message.c_str());
    return 1;
  }
  std::printf("Output devices:\n");
  if (outputs) {
    for (uint32_t i = 0; i + last <= outputs; ++i) {
      std::printf("  %u: %s\n", i, c.engine.GetDeviceName(i, AudioDirection::Output).c_str());
    }
  }
  std::printf("Input devices:\n");
  if (inputs) {
    for (uint32_t i = 0; i + last <= inputs; ++i) {
      std::printf("  %u: %s\n", i, c.engine.GetDeviceName(i, AudioDirection::Input).c_str());
    }
  }
  if (!message.empty()) std::printf("%s\n", message.c_str());
  return 0;
}

const Registration reg{"devices", kUsage, Run};

}  // namespace
}  // namespace ov::tool
