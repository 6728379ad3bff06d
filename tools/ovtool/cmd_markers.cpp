// ovtool markers FILE [--json]: the file's markers as the positioning window
// loads them.
// ovtool markers write FILE [--keep] [--delete ROW]... [--rename ROW TEXT]...
//   [--add POSITION]... [--plan]: edits a marker list (the file's rows with
// --keep, else none) in the order given, and writes it into the file as the
// window's Write does. --plan prints the plan and touches nothing.
// Exit 0 written (or planned), 1 refused with the file unchanged, 2 usage.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/wavefile/Disk.h"
#include "app/wavefile/MarkerList.h"
#include "app/wavefile/MarkerWriteBack.h"
#include "app/wavefile/PositioningTexts.h"
#include "app/wavefile/WaveFileParse.h"
#include "app/wavefile/WaveFileReport.h"
#include "tools/ovtool/Command.h"

namespace {

constexpr const char kUsage[] =
    "markers FILE [--json] | markers write FILE [--keep] [--delete ROW]... "
    "[--rename ROW TEXT]... [--add POSITION]... [--plan]";

struct OpenFile {
  bool ok = false;
  std::string message;
  ov::WaveFormat format{};
  ov::WaveFileInfo info;
  std::unique_ptr<ov::ChunkTable> chunks = std::make_unique<ov::ChunkTable>();
  std::unique_ptr<ov::MarkerTable> markers = std::make_unique<ov::MarkerTable>();
};

// Parses as the program does when it opens a file for play.
void Open(const std::string& file, OpenFile* out) {
  ov::ParseOptions options;
  options.chunks = out->chunks.get();
  options.markers = out->markers.get();
  ov::ReaderMessage message;
  out->ok = ov::ParseWaveFile(file.c_str(), &out->format, &out->info, &message, options);
  out->message = message.c_str();
}

std::string Hex(const char* bytes) {
  std::string out;
  char two[3];
  for (const char* p = bytes; *p; ++p) {
    std::snprintf(two, sizeof two, "%02x", static_cast<unsigned char>(*p));
    out += two;
  }
  return out;
}

bool ParseUnsigned(const std::string& s, uint64_t* value) {
  if (s.empty() || s.find_first_not_of("0123456789") != std::string::npos || s.size() > 19)
    return false;
  *value = std::strtoull(s.c_str(), nullptr, 10);
  return true;
}

int List(const std::vector<std::string>& args) {
  bool json = false;
  std::string file;
  for (const std::string& a : args) {
    if (a == "--json") {
      json = true;
    } else if (a.size() > 1 && a[0] == '-') {
      std::fprintf(stderr, "ovtool markers: unknown option '%s'\n", a.c_str());
      return 2;
    } else if (file.empty()) {
      file = a;
    } else {
      std::fprintf(stderr, "usage: ovtool %s\n", kUsage);
      return 2;
    }
  }
  if (file.empty()) {
    std::fprintf(stderr, "usage: ovtool %s\n", kUsage);
    return 2;
  }
  OpenFile f;
  Open(file, &f);
  ov::MarkerList list;
  if (f.ok) list.Load(*f.markers, f.chunks.get());
  const uint32_t rate = f.format.samplesPerSec;
  const uint64_t length = f.format.blockAlign ? f.info.dataSize / f.format.blockAlign : 0;
  std::string out;
  char line[256];
  if (json) {
    out = "{\"file\":" + ov::JsonString(file) + ",\"ok\":" + (f.ok ? "true" : "false") +
          ",\"message\":" + ov::JsonString(f.message);
    std::snprintf(line, sizeof line, ",\"rate\":%u,\"lengthSamples\":%" PRIu64 ",\"markers\":[",
                  rate, length);
    out += line;
    for (int r = 1; r <= list.Count(); ++r) {
      const ov::MarkerRow& row = list.Row(r);
      std::snprintf(line, sizeof line,
                    "%s{\"row\":%d,\"cueId\":%u,\"position\":%" PRIu64 ",\"length\":%u,\"label\":",
                    r > 1 ? "," : "", r, row.loadedCueId, row.position, row.length);
      out += line;
      out += ov::JsonString(row.label) + ",\"labelHex\":\"" + Hex(row.label) + "\",\"time\":\"" +
             ov::MarkerTimeText(row.position, rate) + "\"}";
    }
    out += "]}\n";
  } else {
    out = file + (f.ok ? "\n" : "\n  parse failed: " + f.message + "\n");
    std::snprintf(line, sizeof line, "  rate %u, length %" PRIu64 " samples (%s), %d markers\n",
                  rate, length, ov::MarkerTimeText(length, rate).c_str(), list.Count());
    out += line;
    for (int r = 1; r <= list.Count(); ++r) {
      const ov::MarkerRow& row = list.Row(r);
      std::snprintf(line, sizeof line, "  %2d  %10" PRIu64 "  %s  ", r, row.position,
                    ov::MarkerTimeText(row.position, rate).c_str());
      out += line + ov::JsonString(row.label) + "\n";
    }
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return f.ok ? 0 : 1;
}

std::string PlanJson(const ov::MarkerWritePlan& plan, bool ok, const std::string& message,
                     bool written) {
  std::string out = std::string("{\"ok\":") + (ok ? "true" : "false") +
                    ",\"written\":" + (written ? "true" : "false") +
                    ",\"message\":" + ov::JsonString(message) + ",\"junk\":[";
  char text[256];
  for (size_t i = 0; i < plan.junk.size(); ++i) {
    std::snprintf(text, sizeof text, "%s%" PRIu64, i ? "," : "", plan.junk[i]);
    out += text;
  }
  std::snprintf(text, sizeof text,
                "],\"cutAt\":%" PRIu64 ",\"appendAt\":%" PRIu64 ",\"blockBytes\":%" PRIu64
                ",\"moved\":[",
                plan.cutAt, plan.appendAt, plan.blockBytes);
  out += text;
  for (size_t i = 0; i < plan.moved.size(); ++i) {
    const ov::MarkerWritePlan::Moved& m = plan.moved[i];
    out += (i ? ",{\"id\":" : "{\"id\":") + ov::JsonString(std::string(m.id, 4));
    std::snprintf(text, sizeof text, ",\"offset\":%" PRIu64 ",\"size\":%" PRIu64 "}", m.offset,
                  m.size);
    out += text;
  }
  std::snprintf(text, sizeof text, "],\"newFileSize\":%" PRIu64 "}\n", plan.newFileSize);
  return out + text;
}

int Refused(const std::string& message) {
  std::fputs(PlanJson(ov::MarkerWritePlan{}, false, message, false).c_str(), stdout);
  return 1;
}

int Write(const std::vector<std::string>& args) {
  std::string file;
  bool keep = false, planOnly = false;
  struct Edit {
    char kind;  // 'd' delete, 'r' rename, 'a' add
    uint64_t number;
    std::string text;
  };
  std::vector<Edit> edits;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    uint64_t n = 0;
    if (a == "--keep") {
      keep = true;
    } else if (a == "--plan") {
      planOnly = true;
    } else if ((a == "--delete" || a == "--add") && i + 1 < args.size() &&
               ParseUnsigned(args[i + 1], &n)) {
      edits.push_back({a == "--delete" ? 'd' : 'a', n, {}});
      ++i;
    } else if (a == "--rename" && i + 2 < args.size() && ParseUnsigned(args[i + 1], &n)) {
      edits.push_back({'r', n, args[i + 2]});
      i += 2;
    } else if (a.empty() || a[0] == '-' || !file.empty()) {
      std::fprintf(stderr, "usage: ovtool %s\n", kUsage);
      return 2;
    } else {
      file = a;
    }
  }
  if (file.empty()) {
    std::fprintf(stderr, "usage: ovtool %s\n", kUsage);
    return 2;
  }
  OpenFile f;
  Open(file, &f);
  if (!f.ok) return Refused(f.message);
  ov::MarkerList list;
  if (keep) list.Load(*f.markers, f.chunks.get());
  for (const Edit& e : edits) {
    const int row = e.number > 1000 ? 0 : static_cast<int>(e.number);
    if (e.kind == 'a') {
      const ov::MarkerAddResult r = list.Add(e.number);
      if (r == ov::MarkerAddResult::ListFull) return Refused("The marker list is full.");
      if (r == ov::MarkerAddResult::PositionTooLarge)
        return Refused("The position does not fit a cue point.");
    } else if (row < 1 || row > list.Count()) {
      return Refused("No marker in row " + std::to_string(e.number) + ".");
    } else if (e.kind == 'd') {
      list.Delete(row);
    } else if (list.Rename(row, e.text) == ov::MarkerRenameResult::TooLong) {
      return Refused(ov::positioning_text::kLabelTooLong.english);
    }
  }
  const std::vector<uint8_t> block = list.BuildBlock();
  if (planOnly) {
    const ov::MarkerWritePlan plan = ov::PlanMarkerWrite(*f.chunks, block.size());
    std::fputs(PlanJson(plan, plan.ok, plan.message, false).c_str(), stdout);
    return plan.ok ? 0 : 1;
  }
  const ov::MarkerWriteResult r =
      ov::WriteMarkerBlock(ov::SystemDisk(), file.c_str(), *f.chunks, block.data(), block.size());
  std::fputs(PlanJson(r.plan, r.written, r.message, r.written).c_str(), stdout);
  return r.written ? 0 : 1;
}

int Run(const std::vector<std::string>& args) {
  if (!args.empty() && args[0] == "write") return Write({args.begin() + 1, args.end()});
  return List(args);
}

const ov::tool::Registration reg{"markers", kUsage, Run};

}  // namespace
