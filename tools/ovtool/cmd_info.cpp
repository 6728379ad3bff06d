// ovtool info FILE... [--json]: parses each file with a chunk table, as the
// program does when it opens a file, and prints what it found.
// ovtool info FILE --chunks-text|--chunks-json [--node K] [--code ascii|sjis|utf8]
// [--data-save-bytes N]: the wave information window's texts for each node
// (or node K) of the file's chunk tree.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/wavefile/TextDecode.h"
#include "app/wavefile/WaveFileParse.h"
#include "app/wavefile/WaveFileReport.h"
#include "app/wavefile/WaveInfoText.h"
#include "tools/ovtool/Command.h"
#include "tools/ovtool/FileFrame.h"

namespace {

constexpr const char kUsage[] =
    "info FILE... [--json]\n"
    "  info FILE --chunks-text|--chunks-json [--node K] [--code ascii|sjis|utf8] "
    "[--data-save-bytes N]";

// The settings default for the bytes of data head and tail the table keeps.
constexpr uint32_t kDataSaveBytes = 512;

int Usage(const char* problem) {
  if (problem) std::fprintf(stderr, "ovtool info: %s\n", problem);
  std::fprintf(stderr, "usage: ovtool %s\n", kUsage);
  return 2;
}

void Print(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
}

// The window's texts of every node (or one) in UTF-8 with "," separators.
int PrintChunks(const ov::ChunkTable& table, bool json, int64_t onlyNode, ov::CharCode code) {
  const std::vector<ov::ChunkNode> nodes = ov::BuildChunkTree(table);
  if (onlyNode >= static_cast<int64_t>(nodes.size())) {
    std::fprintf(stderr, "ovtool info: --node %lld: the tree has %zu nodes\n",
                 static_cast<long long>(onlyNode), nodes.size());
    return 2;
  }
  ov::WaveInfoOptions options;
  options.code = code;
  const ov::SummaryFields summary = ov::BuildSummaryFields(table, ",");
  std::string out = json ? "{\"nodes\":[" : "";
  bool first = true;
  for (const ov::ChunkNode& node : nodes) {
    if (onlyNode >= 0 && node.index != onlyNode) continue;
    const ov::NodeView v = ov::BuildNodeView(table, node.index, options);
    const std::string memo1 = ov::DecodeToUtf8(v.memo1, v.memo1Encoding);
    const std::string memo2 = ov::DecodeToUtf8(v.memo2, v.memo2Encoding);
    if (json) {
      if (!first) out += ',';
      out += "{\"index\":" + std::to_string(node.index) +
             ",\"parent\":" + std::to_string(node.parent) + ",\"id\":" + ov::JsonString(node.id) +
             ",\"name\":" + ov::JsonString(v.name) + ",\"offset\":" + ov::JsonString(v.offset) +
             ",\"size\":" + ov::JsonString(v.size) + ",\"memo1\":" + ov::JsonString(memo1) +
             ",\"ruler2\":" + ov::JsonString(v.ruler2) + ",\"memo2\":" + ov::JsonString(memo2) +
             "}";
    } else {
      out += std::string(2 * static_cast<size_t>(node.depth), ' ') + node.id + "\n";
      out += "name:" + v.name + "\noffset:" + v.offset + "\nsize:" + v.size + "\n";
      out += v.ruler1 + "\n" + memo1 + v.ruler2 + "\n" + memo2 + "\n";
    }
    first = false;
  }
  if (json) {
    out += "],\"summary\":{\"format\":" + ov::JsonString(summary.format) +
           ",\"samples\":" + ov::JsonString(summary.samples) +
           ",\"time\":" + ov::JsonString(summary.time) + "}}\n";
  } else {
    out += "format:" + summary.format + "\nsamples:" + summary.samples + "\ntime:" + summary.time +
           "\n";
  }
  Print(out);
  return 0;
}

int Run(const std::vector<std::string>& args) {
  bool json = false, chunksText = false, chunksJson = false;
  int64_t node = -1, dataSaveBytes = kDataSaveBytes;
  ov::CharCode code = ov::CharCode::Ascii;
  std::vector<std::string> files;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--json") {
      json = true;
    } else if (a == "--chunks-text") {
      chunksText = true;
    } else if (a == "--chunks-json") {
      chunksJson = true;
    } else if (a == "--node") {
      if (!hasValue || !ov::tool::ParseInteger(args[++i], 0, ov::kChunkTableCapacity, node)) {
        return Usage("--node needs a node number");
      }
    } else if (a == "--data-save-bytes") {
      if (!hasValue || !ov::tool::ParseInteger(args[++i], 16, 2147483647, dataSaveBytes)) {
        return Usage("--data-save-bytes needs a number from 16 to 2147483647");
      }
    } else if (a == "--code") {
      const std::string c = hasValue ? args[++i] : "";
      if (c == "ascii") {
        code = ov::CharCode::Ascii;
      } else if (c == "sjis") {
        code = ov::CharCode::ShiftJis;
      } else if (c == "utf8") {
        code = ov::CharCode::Utf8;
      } else {
        return Usage("--code is ascii, sjis or utf8");
      }
    } else if (a.size() > 1 && a[0] == '-' && a != "-") {
      std::fprintf(stderr, "ovtool info: unknown option '%s'\n", a.c_str());
      return Usage(nullptr);
    } else {
      files.push_back(a);
    }
  }
  const bool chunks = chunksText || chunksJson;
  if (files.empty()) return Usage(nullptr);
  if (chunks && (files.size() != 1 || json || (chunksText && chunksJson))) {
    return Usage("--chunks-text or --chunks-json takes one FILE");
  }
  // The table holds 400 entries: keep it off the stack.
  auto table = std::make_unique<ov::ChunkTable>();
  auto markers = std::make_unique<ov::MarkerTable>();
  int status = 0;
  for (const std::string& file : files) {
    ov::ParseOptions options;
    options.chunks = table.get();
    options.markers = markers.get();
    options.dataSaveBytes = static_cast<uint32_t>(dataSaveBytes);
    ov::WaveFileReport report;
    report.file = file;
    ov::ReaderMessage message;
    report.ok = ov::ParseWaveFile(file.c_str(), &report.format, &report.info, &message, options);
    report.message = message.c_str();
    report.chunks = table.get();
    report.markers = markers.get();
    if (chunks) {
      if (!report.ok) {
        std::fprintf(stderr, "ovtool info: %s: %s\n", file.c_str(),
                     report.message.empty() ? "file not found" : report.message.c_str());
        // What was read before the failure is shown, as the window shows it.
        if (table->count == 0 && table->fileSize == 0) return 1;
        status = 1;
      }
      const int printed = PrintChunks(*table, chunksJson, node, code);
      return printed ? printed : status;
    }
    if (!report.ok) status = 1;
    Print(json ? ov::ReportJson(report) + "\n" : ov::ReportText(report));
  }
  return status;
}

const ov::tool::Registration reg{"info", kUsage, Run};

}  // namespace
