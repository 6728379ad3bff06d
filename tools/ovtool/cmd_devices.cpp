// ovtool devices: the sound devices of the engine's driver family, numbered as
// the setup dialog numbers them (0 is the mapper or default device; ASIO
// drivers and WASAPI endpoints count from 0). With --info N it prints the
// setup dialog's information text of ASIO driver N or WASAPI endpoint N.
#include "tools/ovtool/AsioInfo.h"
#include "tools/ovtool/Command.h"
#include "tools/ovtool/EngineConsole.h"

namespace ov::tool {
namespace {

constexpr const char kUsage[] =
    "devices [--driver mme|ds|wasapi|asio] [--info N [--input] [--channel C (asio)] "
    "[--volume] [--timer] (wasapi)]";

int Usage() {
  std::fprintf(stderr, "usage: ovtool %s\n", kUsage);
  return 2;
}

// The information text of WASAPI endpoint `number`, prepared with the
// engine's default format (44100 Hz, 16-bit stereo).
int PrintWasapiInfo(WavePlayRec& engine, uint64_t number, bool input, bool volume) {
  const AudioDirection direction = input ? AudioDirection::Input : AudioDirection::Output;
  if (number >= engine.GetDeviceCount(direction)) {
    std::fprintf(stderr, "ovtool devices: no WASAPI %s endpoint %llu\n", input ? "input" : "output",
                 static_cast<unsigned long long>(number));
    return 1;
  }
  std::printf("%s\n",
              engine.ShowWasapiInfo(static_cast<uint32_t>(number), direction, volume).c_str());
  return 0;
}

int PrintAsioInfo(WavePlayRec& engine, uint64_t number, uint64_t channel, bool input) {
  std::string text, error;
  if (!AsioInfoText(static_cast<int32_t>(number), static_cast<int32_t>(channel), input,
                    engine.GetFormat(nullptr), text, error)) {
    std::fprintf(stderr, "ovtool devices: %s\n", error.c_str());
    return 1;
  }
  std::printf("%s\n", text.c_str());
  return 0;
}

int Run(const std::vector<std::string>& args) {
  int32_t driver = kDriverMme;
  bool info = false, input = false, volume = false, timer = false, haveChannel = false;
  uint64_t number = 0, channel = 0;
  for (size_t i = 0; i < args.size(); ++i) {
    const bool hasValue = i + 1 < args.size();
    if (args[i] == "--driver" && hasValue && ParseDriver(args[i + 1], driver)) {
      ++i;
    } else if (args[i] == "--info" && hasValue && ParseCount(args[i + 1], number)) {
      info = true;
      ++i;
    } else if (args[i] == "--channel" && hasValue && ParseCount(args[i + 1], channel)) {
      haveChannel = true;
      ++i;
    } else if (args[i] == "--input") {
      input = true;
    } else if (args[i] == "--volume") {
      volume = true;
    } else if (args[i] == "--timer") {
      timer = true;
    } else {
      return Usage();
    }
  }
  if ((input || volume || timer || haveChannel) && !info) return Usage();
  if (info && driver != kDriverWasapi && driver != kDriverAsio) {
    std::fprintf(stderr, "ovtool devices: --info needs --driver wasapi or --driver asio\n");
    return 2;
  }
  if ((driver == kDriverAsio && (volume || timer)) || (driver == kDriverWasapi && haveChannel)) {
    return Usage();
  }
  EngineSettings s;
  s.PlayRecDriverType = driver;
  s.WAS_EventMode = !timer;  // the information of a timer-driven stream
  EngineConsole c({}, s);
  if (!RequireDriver(c.engine, driver, "devices")) return 1;
  if (info) {
    return driver == kDriverWasapi ? PrintWasapiInfo(c.engine, number, input, volume)
                                   : PrintAsioInfo(c.engine, number, channel, input);
  }
  // Waveform audio and DirectSound put the default device before the devices.
  const uint32_t first = driver == kDriverWasapi || driver == kDriverAsio ? 1 : 0;
  const std::string message = c.engine.GetMessage();
  const uint32_t outputs = c.engine.GetDeviceCount(AudioDirection::Output);
  const uint32_t inputs = c.engine.GetDeviceCount(AudioDirection::Input);
  if (outputs == 0 && inputs == 0) {
    std::fprintf(stderr, "ovtool devices: %s\n", message.c_str());
    return 1;
  }
  std::printf("Output devices:\n");
  if (outputs) {
    for (uint32_t i = 0; i + first <= outputs; ++i) {
      std::printf("  %u: %s\n", i, c.engine.GetDeviceName(i, AudioDirection::Output).c_str());
    }
  }
  std::printf("Input devices:\n");
  if (inputs) {
    for (uint32_t i = 0; i + first <= inputs; ++i) {
      std::printf("  %u: %s\n", i, c.engine.GetDeviceName(i, AudioDirection::Input).c_str());
    }
  }
  if (!message.empty()) std::printf("%s\n", message.c_str());
  return 0;
}

const Registration reg{"devices", kUsage, Run};

}  // namespace
}  // namespace ov::tool
