// ovtool record: records from a sound device into a wave file through the
// engine's record pump and the recording writer. The header is rewritten every
// second, so a killed recording still leaves a valid file.
#include <cinttypes>
#include <cstring>

#include "tools/ovtool/Command.h"
#include "tools/ovtool/EngineConsole.h"

namespace ov::tool {
namespace {

constexpr const char kUsage[] =
    "record OUT.WAV [--seconds S] [--device N] [--rate R] [--bits B] [--channels C] [--rf64] "
    "[--bwf] [--divide-bytes N] [--driver mme|ds|wasapi|asio] [--channel C]";

int Usage() {
  std::fprintf(stderr, "usage: ovtool %s\n", kUsage);
  return 2;
}

WaveFormat RecordFormat(uint32_t rate, uint16_t bits, uint16_t channels) {
  WaveFormat f{};
  f.formatTag = kWaveFormatPcm;
  f.channels = channels;
  f.samplesPerSec = rate;
  f.bitsPerSample = bits;
  f.blockAlign = static_cast<uint16_t>(channels * ((bits + 7) / 8));
  f.avgBytesPerSec = rate * f.blockAlign;
  if (channels > 2) {
    // More than two channels need the extensible record with its speaker mask.
    f.formatTag = kWaveFormatExtensible;
    f.extraSize = 22;
    f.validBitsPerSample = bits;
    f.channelMask = channels >= 32 ? 0xFFFFFFFFu : (uint32_t{1} << channels) - 1;
    std::memcpy(f.subFormat, kSubFormatPcm, sizeof f.subFormat);
  }
  return f;
}

int Run(const std::vector<std::string>& args) {
  std::string out;
  uint64_t seconds = 0, device = 0, rate = 44100, bits = 16, channels = 2, divide = 0, channel = 0;
  bool rf64 = false, bwf = false;
  int32_t driver = kDriverMme;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    uint64_t* target = a == "--seconds"        ? &seconds
                       : a == "--device"       ? &device
                       : a == "--rate"         ? &rate
                       : a == "--bits"         ? &bits
                       : a == "--channels"     ? &channels
                       : a == "--divide-bytes" ? &divide
                       : a == "--channel"      ? &channel  // first ASIO input channel
                                               : nullptr;
    if (target) {
      if (++i >= args.size() || !ParseCount(args[i], *target)) return Usage();
    } else if (a == "--driver") {
      if (++i >= args.size() || !ParseDriver(args[i], driver)) return Usage();
    } else if (a == "--rf64") {
      rf64 = true;
    } else if (a == "--bwf") {
      bwf = true;
    } else if (a.rfind("--", 0) == 0 || !out.empty()) {
      return Usage();
    } else {
      out = a;
    }
  }
  if (out.empty() || rate < 1000 || rate > 768000 || channels == 0 || channels > 32 ||
      (bits != 8 && bits != 16 && bits != 24 && bits != 32) || channel > 32) {
    return Usage();
  }

  EngineSettings s;
  s.Rec_RF64 = rf64;
  s.Rec_BWF = bwf;
  s.RecUpdateHeaderPeriod = 1;
  s.PlayRecDriverType = driver;
  EngineConsole c({}, s);
  WavePlayRec& e = c.engine;
  if (!RequireDriver(e, driver, "record")) return 1;
  if (divide) e.SetRecFileDivideBytes(divide);
  const WaveFormat f = RecordFormat(static_cast<uint32_t>(rate), static_cast<uint16_t>(bits),
                                    static_cast<uint16_t>(channels));
  RecOpenOptions options;
  options.probe = true;
  options.probeDeviceNumber = static_cast<int32_t>(device);
  if (e.OpenRec(out.c_str(), f, options) != EngineResult::Ok) {
    std::fprintf(stderr, "ovtool record: %s\n", e.GetMessage());
    return 1;
  }
  CatchInterrupt();
  if (e.StartRec(static_cast<int32_t>(device), RecStartMode::Record,
                 static_cast<int32_t>(channel)) != EngineResult::Ok) {
    std::fprintf(stderr, "ovtool record: %s\n", e.GetMessage());
    return 1;
  }
  const uint64_t wanted = seconds * rate;
  uint32_t lastPrint = TickMs();
  while (c.host.CountOf(WM_REC_END) == 0) {
    if (Interrupted() || (seconds && e.GetRecSamplePosition() >= wanted)) break;
    c.host.ProcessMessages();
    SleepMs(10);
    if (TickMs() - lastPrint >= 1000) {
      lastPrint = TickMs();
      std::printf("recording %s\n", c.host.Label(EngineLabel::Position).c_str());
      std::fflush(stdout);
    }
  }
  e.Stop();
  if (!c.host.Failures().empty()) return 1;
  std::printf("recorded %s: %s, %" PRIu64 " samples\n", e.GetPlayFileName().c_str(),
              c.host.Label(EngineLabel::Format).c_str(), e.GetDataLengthSamples());
  return 0;
}

const Registration reg{"record", kUsage, Run};

}  // namespace
}  // namespace ov::tool
