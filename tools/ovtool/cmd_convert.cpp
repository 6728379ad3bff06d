// ovtool convert IN OUT [--rf64] [--bwf] [--divide-bytes N] [--update-period SECONDS]
//                       [--block-bytes N]
// Re-records IN into OUT as a recording is written (RecordingConvert), then
// prints for every file written what `ovtool info` prints.
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/wavefile/RecordingConvert.h"
#include "app/wavefile/WaveFileReport.h"
#include "tools/ovtool/Command.h"

namespace {

constexpr const char kUsage[] =
    "convert IN OUT [--rf64] [--bwf] [--divide-bytes N] [--update-period SECONDS] "
    "[--block-bytes N]";

// The writer's message boxes, on the terminal.
class StderrNotifier : public ov::UserNotifier {
 public:
  ov::NoticeAnswer Notify(std::string_view text, ov::NoticeIcon) override {
    std::fprintf(stderr, "ovtool convert: %.*s\n", static_cast<int>(text.size()), text.data());
    return ov::NoticeAnswer::Ok;
  }
};

// Decimal or 0x-hex, no sign.
bool ParseCount(const std::string& text, uint64_t* value) {
  if (text.empty() || text[0] == '-' || text[0] == '+') return false;
  errno = 0;
  char* end = nullptr;
  const unsigned long long v = std::strtoull(text.c_str(), &end, 0);
  if (errno || *end) return false;
  *value = v;
  return true;
}

void PrintReport(const std::string& name) {
  auto chunks = std::make_unique<ov::ChunkTable>();
  auto markers = std::make_unique<ov::MarkerTable>();
  ov::ParseOptions options;
  options.chunks = chunks.get();
  options.markers = markers.get();
  ov::WaveFileReport report;
  report.file = name;
  ov::ReaderMessage message;
  report.ok = ov::ParseWaveFile(name.c_str(), &report.format, &report.info, &message, options);
  report.message = message.c_str();
  report.chunks = chunks.get();
  report.markers = markers.get();
  const std::string out = ov::ReportText(report);
  std::fwrite(out.data(), 1, out.size(), stdout);
}

int Usage(const char* problem) {
  if (problem) std::fprintf(stderr, "ovtool convert: %s\n", problem);
  std::fprintf(stderr, "usage: ovtool %s\n", kUsage);
  return 2;
}

int Run(const std::vector<std::string>& args) {
  std::vector<std::string> names;
  ov::ConvertOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    uint64_t v = 0;
    if (a == "--rf64") {
      options.rf64 = true;
    } else if (a == "--bwf") {
      options.bwf = true;
    } else if (a == "--divide-bytes" && hasValue) {
      if (!ParseCount(args[++i], &options.divideBytes)) return Usage("bad --divide-bytes");
    } else if (a == "--update-period" && hasValue) {
      if (!ParseCount(args[++i], &v) || v > 10000) {
        return Usage("--update-period takes 0..10000 seconds");
      }
      options.updatePeriod = static_cast<int32_t>(v);
    } else if (a == "--block-bytes" && hasValue) {
      if (!ParseCount(args[++i], &v) || v == 0 || v > ov::kMaxConvertBlockBytes) {
        return Usage("--block-bytes takes 1..67108864");
      }
      options.blockBytes = v;
    } else if (a.size() > 1 && a[0] == '-') {
      return Usage(("unknown option '" + a + "'").c_str());
    } else {
      names.push_back(a);
    }
  }
  if (names.size() != 2) return Usage(nullptr);

  StderrNotifier notifier;
  const ov::ConvertResult result =
      ov::ConvertRecording(names[0].c_str(), names[1].c_str(), options, notifier);
  for (const std::string& file : result.files) PrintReport(file);
  if (!result.ok) {
    std::fprintf(stderr, "ovtool convert: %s: %s\n", names[0].c_str(), result.error.c_str());
    return 1;
  }
  return 0;
}

const ov::tool::Registration reg{"convert", kUsage, Run};

}  // namespace
