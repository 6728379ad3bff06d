// ovtool info FILE... [--json]: parses each file with a chunk table, as the
// program does when it opens a file, and prints what it found.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/wavefile/WaveFileParse.h"
#include "app/wavefile/WaveFileReport.h"
#include "tools/ovtool/Command.h"

namespace {

// The settings default for the bytes of data head and tail the table keeps.
constexpr uint32_t kDataSaveBytes = 512;

int Run(const std::vector<std::string>& args) {
  bool json = false;
  std::vector<std::string> files;
  for (const std::string& a : args) {
    if (a == "--json") {
      json = true;
    } else if (a.size() > 1 && a[0] == '-' && a != "-") {
      std::fprintf(stderr, "ovtool info: unknown option '%s'\n", a.c_str());
      return 2;
    } else {
      files.push_back(a);
    }
  }
  if (files.empty()) {
    std::fprintf(stderr, "usage: ovtool info FILE... [--json]\n");
    return 2;
  }
  // The table holds 400 entries: keep it off the stack.
  auto chunks = std::make_unique<ov::ChunkTable>();
  auto markers = std::make_unique<ov::MarkerTable>();
  int status = 0;
  for (const std::string& file : files) {
    ov::ParseOptions options;
    options.chunks = chunks.get();
    options.markers = markers.get();
    options.dataSaveBytes = kDataSaveBytes;
    ov::WaveFileReport report;
    report.file = file;
    ov::ReaderMessage message;
    report.ok = ov::ParseWaveFile(file.c_str(), &report.format, &report.info, &message, options);
    report.message = message.c_str();
    report.chunks = chunks.get();
    report.markers = markers.get();
    if (!report.ok) status = 1;
    const std::string out = json ? ov::ReportJson(report) + "\n" : ov::ReportText(report);
    std::fwrite(out.data(), 1, out.size(), stdout);
  }
  return status;
}

const ov::tool::Registration reg{"info", "info FILE... [--json]", Run};

}  // namespace
