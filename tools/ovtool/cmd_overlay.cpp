// ovtool overlay: writes the spectrum of one frame of a wave file as the
// program's Save writes an overlay, and loads an overlay file as the
// program's Load does.
#include <cinttypes>
#include <cstdio>
#include <string>
#include <vector>

#include "app/analysis/FrameAnalysis.h"
#include "app/analysis/OverlayFile.h"
#include "app/analysis/OverlayStorage.h"
#include "app/wavefile/WaveFileReport.h"
#include "tools/ovtool/Command.h"
#include "tools/ovtool/FileFrame.h"

namespace ov::tool {
namespace {

constexpr const char kUsage[] =
    "overlay write WAV OUT.OVO [--n N] [--window W] [--at FRAME] [--channel C] [--comment TEXT]\n"
    "  overlay read FILE.OVO [--rate R] [--n N] [--json]";

struct Numeric {
  const char* name;
  int64_t* value;
  int64_t lo, hi;
};

int Usage(const char* problem) {
  if (problem) std::fprintf(stderr, "ovtool overlay: %s\n", problem);
  std::fprintf(stderr, "usage: ovtool %s\n", kUsage);
  return 2;
}

// Splits args into positional names and the options in numerics / texts.
// Returns 0, or 2 after a message.
int ParseOptions(const std::vector<std::string>& args, const std::vector<Numeric>& numerics,
                 std::vector<std::string>& names, std::string* comment, bool* json) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (json && a == "--json") {
      *json = true;
      continue;
    }
    if (comment && a == "--comment") {
      if (i + 1 >= args.size()) return Usage("--comment needs a text");
      *comment = args[++i];
      continue;
    }
    const Numeric* match = nullptr;
    for (const Numeric& n : numerics) {
      if (a == n.name) match = &n;
    }
    if (match) {
      if (i + 1 >= args.size() || !ParseInteger(args[i + 1], match->lo, match->hi, *match->value)) {
        std::fprintf(stderr, "ovtool overlay: %s needs a number from %" PRId64 " to %" PRId64 "\n",
                     match->name, match->lo, match->hi);
        return 2;
      }
      ++i;
      continue;
    }
    if (a.size() > 1 && a[0] == '-') {
      std::fprintf(stderr, "ovtool overlay: unknown option '%s'\n", a.c_str());
      return Usage(nullptr);
    }
    names.push_back(a);
  }
  return 0;
}

int Write(const std::vector<std::string>& args) {
  int64_t n = 4096, window = 1, at = 0, channel = 0;
  std::string comment;
  std::vector<std::string> names;
  const std::vector<Numeric> numerics = {{"--n", &n, 1, kMaxAnalysisSize},
                                         {"--window", &window, 0, 6},
                                         {"--at", &at, 0, INT64_MAX / 65536},
                                         {"--channel", &channel, 0, kMaxAnalysisChannels - 1}};
  if (int status = ParseOptions(args, numerics, names, &comment, nullptr)) return status;
  if (names.size() != 2) return Usage("write needs WAV and OUT.OVO");

  WaveFormat format{};
  WaveFileInfo info;
  if (int status = OpenAnalysableFile("overlay", names[0], channel, format, info)) return status;
  const int32_t size = RoundedAnalysisSize(static_cast<int32_t>(n));
  std::vector<uint8_t> frames;
  if (!ReadFrames("overlay", names[0], at, format, info, size, frames)) return 1;

  FileBlock source(std::move(frames));
  Kp05Api api = StaticKp05Api();
  StderrNotifier notifier("overlay");
  NoModifierKeys keys;
  FrameAnalysis a(api, source, notifier, keys);
  a.Format = format;
  a.FormatIsFloat = info.floatWidth;
  a.WindowFunction = static_cast<int32_t>(window);
  a.displayChannel = static_cast<int32_t>(channel);
  a.spectrumAreaHeight = 100;
  a.measureMode = true;
  if (!a.SetAnalysisSize(size)) return 1;
  if (a.AcquireFrame(true) != 0) {
    std::fprintf(stderr, "ovtool overlay: no frame acquired\n");
    return 1;
  }
  a.ComputeSpectrum();
  const std::string text = FormatOverlayFile(comment, static_cast<int32_t>(format.samplesPerSec),
                                             a.N, a.SpectrumAmp.data(), a.B);
  const std::string message =
      SaveOverlayFile(SystemTextFiles(), names[1].c_str(), text, Language::English);
  if (!message.empty()) {
    std::fprintf(stderr, "ovtool overlay: %s\n", message.c_str());
    return 1;
  }
  return 0;
}

int Read(const std::vector<std::string>& args) {
  int64_t rate = -1, n = -1;
  bool json = false;
  std::vector<std::string> names;
  const std::vector<Numeric> numerics = {{"--rate", &rate, 0, INT32_MAX},
                                         {"--n", &n, kMinAnalysisSize, kMaxAnalysisSize}};
  if (int status = ParseOptions(args, numerics, names, nullptr, &json)) return status;
  if (names.size() != 1) return Usage("read needs one FILE.OVO");

  OverlayExpectation expected;
  if (rate >= 0) expected.sampleRate = static_cast<int32_t>(rate);
  if (n >= 0) expected.n = static_cast<int32_t>(n);
  OverlayFileContents contents;
  const std::string message =
      LoadOverlayFile(SystemTextFiles(), names[0].c_str(), expected, Language::English, contents);
  const bool ok = message.empty();
  if (json) {
    std::string out = "{\"ok\":";
    out += ok ? "true" : "false";
    out += ",\"message\":" + JsonString(message);
    out += ",\"comment\":" + JsonString(contents.comment);
    char number[48];
    std::snprintf(number, sizeof number, ",\"samplingFrequency\":%d,\"fftSamples\":%d",
                  contents.sampleRate, contents.n);
    out += number;
    std::snprintf(number, sizeof number, ",\"amplitudeCount\":%d,\"values\":[",
                  contents.amplitudeCount);
    out += number;
    for (size_t k = 0; k < contents.amplitudes.size(); ++k) {
      std::snprintf(number, sizeof number, k ? ",%.17g" : "%.17g", contents.amplitudes[k]);
      out += number;
    }
    out += "]}\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
    return ok ? 0 : 1;
  }
  if (!ok) {
    std::fprintf(stderr, "ovtool overlay: %s: %s\n", names[0].c_str(), message.c_str());
    return 1;
  }
  std::printf("%s\n  comment \"%s\"\n  sampling frequency %d, FFT samples %d, %d amplitudes\n",
              names[0].c_str(), contents.comment.c_str(), contents.sampleRate, contents.n,
              contents.amplitudeCount);
  for (size_t k = 0; k < contents.amplitudes.size(); ++k) {
    std::printf("  %zu %.17g\n", k, contents.amplitudes[k]);
  }
  return 0;
}

int Run(const std::vector<std::string>& args) {
  if (args.empty()) return Usage(nullptr);
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (args[0] == "write") return Write(rest);
  if (args[0] == "read") return Read(rest);
  return Usage("the first word is write or read");
}

const Registration reg{"overlay", kUsage, Run};

}  // namespace
}  // namespace ov::tool
