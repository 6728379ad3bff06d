// ovtool analyze: one analysis frame of a wave file, measured as the program's
// measure mode measures the newest block of a playing file.
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/analysis/FrameAnalysis.h"
#include "app/analysis/ReadoutText.h"
#include "app/wavefile/ByteSource.h"
#include "app/wavefile/WaveFileParse.h"
#include "tools/ovtool/Command.h"
#include "tools/ovtool/FileFrame.h"

namespace ov::tool {
namespace {

constexpr const char kUsage[] =
    "analyze FILE [--n N] [--window W] [--at FRAME] [--channel C] [--right] "
    "[--interpolate 0|1|2] [--norm 0..4] [--json]";

struct Options {
  std::string file;
  int64_t n = 4096;
  int64_t window = 1;
  int64_t at = 0;
  int64_t channel = 0;
  bool right = false;
  int64_t interpolate = 0;
  int64_t norm = 0;
  bool json = false;
};

// Returns 0 when parsed, else the exit status (2) after a message.
int ParseArguments(const std::vector<std::string>& args, Options& o) {
  struct Numeric {
    const char* name;
    int64_t* value;
    int64_t lo, hi;
  };
  const Numeric numerics[] = {
      {"--n", &o.n, 1, kMaxAnalysisSize},
      {"--window", &o.window, 0, 6},
      {"--at", &o.at, 0, INT64_MAX / 65536},
      {"--channel", &o.channel, 0, kMaxAnalysisChannels - 1},
      {"--interpolate", &o.interpolate, 0, 2},
      {"--norm", &o.norm, 0, 4},
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--right") {
      o.right = true;
      continue;
    }
    if (a == "--json") {
      o.json = true;
      continue;
    }
    const Numeric* match = nullptr;
    for (const Numeric& n : numerics) {
      if (a == n.name) match = &n;
    }
    if (match) {
      if (i + 1 >= args.size() || !ParseInteger(args[i + 1], match->lo, match->hi, *match->value)) {
        std::fprintf(stderr, "ovtool analyze: %s needs a number from %" PRId64 " to %" PRId64 "\n",
                     match->name, match->lo, match->hi);
        return 2;
      }
      ++i;
      continue;
    }
    if (!a.empty() && a[0] == '-' && a != "-") {
      std::fprintf(stderr, "ovtool analyze: unknown option '%s'\nusage: ovtool %s\n", a.c_str(),
                   kUsage);
      return 2;
    }
    if (!o.file.empty()) {
      std::fprintf(stderr, "ovtool analyze: one FILE only\nusage: ovtool %s\n", kUsage);
      return 2;
    }
    o.file = a;
  }
  if (o.file.empty()) {
    std::fprintf(stderr, "usage: ovtool %s\n", kUsage);
    return 2;
  }
  return 0;
}

void PrintJsonString(const std::string& s) {
  std::putchar('"');
  for (char c : s) {
    if (c == '"' || c == '\\') std::putchar('\\');
    std::putchar(c);
  }
  std::putchar('"');
}

void PrintLevels(const char* key, const int32_t* levels, int32_t count) {
  std::printf("\"%s\":[", key);
  for (int32_t i = 0; i < count; ++i) std::printf(i ? ",%d" : "%d", levels[i]);
  std::printf("]");
}

int Run(const std::vector<std::string>& args) {
  Options o;
  if (int status = ParseArguments(args, o)) return status;

  WaveFormat format{};
  WaveFileInfo info;
  if (int status = OpenAnalysableFile("analyze", o.file, o.channel, format, info)) return status;
  const uint16_t bits = format.bitsPerSample;

  o.n = RoundedAnalysisSize(static_cast<int32_t>(o.n));
  std::vector<uint8_t> frames;
  if (!ReadFrames("analyze", o.file, o.at, format, info, static_cast<int32_t>(o.n), frames)) {
    return 1;
  }
  FileBlock source(std::move(frames));
  Kp05Api api = StaticKp05Api();
  StderrNotifier notifier("analyze");
  NoModifierKeys keys;

  FrameAnalysis a(api, source, notifier, keys);
  a.Format = format;
  a.FormatIsFloat = info.floatWidth;
  a.WindowFunction = static_cast<int32_t>(o.window);
  a.SpectrumInterpolate = static_cast<int32_t>(o.interpolate);
  a.displayChannel = static_cast<int32_t>(o.channel);
  a.lrToggleDown = o.right;
  a.levelMeterShown = true;
  a.meterUpdatesPerSecond = 1;  // levels over the block, at most one second of it
  a.spectrumAreaHeight = 100;
  a.measureMode = true;
  a.levelScale.normalisationMode = static_cast<int32_t>(o.norm);
  if (!a.SetAnalysisSize(static_cast<int32_t>(o.n))) return 1;
  if (o.interpolate != 0 && !a.CreateInterpolationPlans()) {
    std::fprintf(stderr, "ovtool analyze: Insufficient memory.\n");
    return 1;
  }
  if (a.AcquireFrame(true) != 0) {
    std::fprintf(stderr, "ovtool analyze: no frame acquired\n");
    return 1;
  }
  a.ComputeSpectrum();

  const double* amps = a.SpectrumAmp.data();
  const double thd = a.DistortionRatio(amps, a.peakBin, false);
  const double thdN = a.DistortionRatio(amps, a.peakBin, true);
  const double snDb = SignalToNoiseDb(thdN);
  const double rmsDb = a.RmsDb();
  a.thdOn = a.rmsOn = true;
  a.snLine = false;
  const MeasurementReadouts withThdN = a.ComputeReadouts();
  a.snLine = true;
  const MeasurementReadouts withSn = a.ComputeReadouts();

  if (o.json) {
    std::printf("{\"n\":%d,\"window\":%d,\"at\":%" PRId64 ",\"channels\":%d,", a.N,
                a.WindowFunction, o.at, a.channelCount);
    PrintLevels("peakLevel", a.PeakLevel, a.channelCount);
    std::printf(",");
    PrintLevels("rmsLevel", a.RmsLevel, a.channelCount);
    std::printf(
        ",\"peakBin\":%d,\"maxAmp\":%.17g,\"peakFreq10\":%d,\"thd\":%.17g,\"thdN\":%.17g,"
        "\"snDb\":%.17g,\"rmsDb\":%.17g,\"texts\":{\"thd\":",
        a.peakBin, a.MaxAmp, a.PeakFreq10, thd, thdN, snDb, rmsDb);
    PrintJsonString(withThdN.thdLine);
    std::printf(",\"thdN\":");
    PrintJsonString(withThdN.secondLine);
    std::printf(",\"sn\":");
    PrintJsonString(withSn.secondLine);
    std::printf(",\"rms\":");
    PrintJsonString(withThdN.rmsLine);
    std::printf("}}\n");
    return 0;
  }

  std::printf("%s\n", o.file.c_str());
  std::printf("  frames %" PRId64 " ... %" PRId64 " of %u Hz, %u bits, %u channel(s); %s\n", o.at,
              o.at + a.N - 1, format.samplesPerSec, bits, format.channels, a.FftInfoText);
  std::printf("  spectrum channel %d\n", a.spectrumChannel);
  for (int32_t ch = 0; ch < a.channelCount; ++ch) {
    std::printf("  channel %d: peak %6.1f dB  RMS %6.1f dB\n", ch, a.PeakLevel[ch] / 10.0,
                a.RmsLevel[ch] / 10.0);
  }
  std::printf("  maximum: bin %d, %.1f Hz, amplitude %.3f (%.2f dB)\n", a.peakBin,
              a.PeakFreq10 / 10.0, a.MaxAmp, a.LevelOf(a.MaxAmp) / 100.0);
  std::printf("  THD   %s\n  THD+N %s\n  S/N   %s\n  RMS   %s\n", withThdN.thdLine.c_str(),
              withThdN.secondLine.c_str(), withSn.secondLine.c_str(), withThdN.rmsLine.c_str());
  return 0;
}

const Registration reg{"analyze", kUsage, Run};

}  // namespace
}  // namespace ov::tool
