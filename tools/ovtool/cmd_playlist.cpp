// ovtool playlist read LIST.M3U [--json]: loads the list as the play list
// window's Open does and prints its rows and the boxes it would show.
// ovtool playlist write OUT.M3U [--title T] [--silence S] FILE...: validates
// each FILE (the options apply to the next FILE) and saves the list as Save
// does. Exit 0 done, 1 refused, 2 usage.
#include <cinttypes>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/wavefile/PlayList.h"
#include "app/wavefile/WaveFileReport.h"
#include "tools/ovtool/Command.h"

namespace {

constexpr const char kUsage[] =
    "playlist read LIST.M3U [--json] | playlist write OUT.M3U [--title T] [--silence S] FILE...";

int Usage() {
  std::fprintf(stderr, "usage: ovtool %s\n", kUsage);
  return 2;
}

std::string RowsJson(const ov::PlayList& list) {
  std::string out = "[";
  char text[128];
  for (int r = 1; r <= list.Count(); ++r) {
    const ov::PlayListRow& row = list.Row(r);
    std::snprintf(text, sizeof text, "%s{\"row\":%d,\"path\":", r > 1 ? "," : "", r);
    out += text + ov::JsonString(row.item.fileName) + ",\"title\":" + ov::JsonString(row.title) +
           ",\"time\":" + ov::JsonString(ov::PlayListTimeText(row.durationSeconds)) +
           ",\"format\":" +
           ov::JsonString(ov::PlayListFormatText(row.item.format, row.item.floatWidth));
    std::snprintf(text, sizeof text, ",\"silence\":%d,\"trailingSilenceBytes\":%u}",
                  row.silenceSeconds, row.item.trailingSilence);
    out += text;
  }
  return out + "]";
}

int Read(const std::vector<std::string>& args) {
  bool json = false;
  std::string name;
  for (const std::string& a : args) {
    if (a == "--json") {
      json = true;
    } else if (!a.empty() && a[0] != '-' && name.empty()) {
      name = a;
    } else {
      return Usage();
    }
  }
  if (name.empty()) return Usage();
  auto list = std::make_unique<ov::PlayList>();
  const ov::PlayListLoad load = ov::LoadM3u(name, list.get(), 0, ov::Language::English);
  const std::string total = ov::PlayListTotalText(list->TotalSeconds());
  std::string out;
  if (json) {
    out = std::string("{\"ok\":") + (load.ok ? "true" : "false") + ",\"messages\":[";
    for (size_t i = 0; i < load.messages.size(); ++i)
      out += (i ? "," : "") + ov::JsonString(load.messages[i]);
    out += "],\"rows\":" + RowsJson(*list) + ",\"totalTime\":" + ov::JsonString(total) +
           ",\"leftOut\":" + std::to_string(load.leftOut) + "}\n";
  } else {
    for (const std::string& m : load.messages) out += "message: " + m + "\n";
    for (int r = 1; r <= list->Count(); ++r) {
      const ov::PlayListRow& row = list->Row(r);
      char line[96];
      std::snprintf(line, sizeof line, "%3d %s %s %3d  ", r,
                    ov::PlayListTimeText(row.durationSeconds).c_str(),
                    ov::PlayListFormatText(row.item.format, row.item.floatWidth).c_str(),
                    row.silenceSeconds);
      out += line + row.title + "  " + row.item.fileName + "\n";
    }
    out += "Total Time: " + total + "\n";
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return load.ok ? 0 : 1;
}

int Write(const std::vector<std::string>& args) {
  if (args.empty() || args[0].empty() || args[0][0] == '-') return Usage();
  const std::string name = args[0];
  auto list = std::make_unique<ov::PlayList>();
  int silence = 0;
  int files = 0;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--title" && i + 1 < args.size()) {
      list->SetPendingTitle(args[++i]);
    } else if (a == "--silence" && i + 1 < args.size()) {
      const std::string& s = args[++i];
      if (s.empty() || s.size() > 2 || s.find_first_not_of("0123456789") != std::string::npos)
        return Usage();
      silence = std::stoi(s);
    } else if (!a.empty() && a[0] == '-') {
      return Usage();
    } else {
      std::string message;
      const ov::AddResult r = list->AddFile(a, silence, &message);
      ++files;
      if (r == ov::AddResult::ListFull) message = "The list holds 99 files.";
      if (r != ov::AddResult::Added) {
        std::fprintf(stderr, "ovtool playlist: %s\n", message.c_str());
        return 1;
      }
      silence = 0;
    }
  }
  if (files == 0) return Usage();
  const std::string failure = ov::SaveM3u(name, *list, ov::Language::English);
  if (!failure.empty()) {
    std::fprintf(stderr, "ovtool playlist: %s\n", failure.c_str());
    return 1;
  }
  return 0;
}

int Run(const std::vector<std::string>& args) {
  if (args.empty()) return Usage();
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (args[0] == "read") return Read(rest);
  if (args[0] == "write") return Write(rest);
  return Usage();
}

const ov::tool::Registration reg{"playlist", kUsage, Run};

}  // namespace
