// ovtool formats: the device format list of one device of a driver family, as
// the setup dialog's format-list window probes and shows it.
#include <chrono>
#include <cinttypes>

#include "app/wavefile/WaveFileReport.h"
#include "tools/ovtool/Command.h"
#include "tools/ovtool/EngineConsole.h"

namespace ov::tool {
namespace {

constexpr const char kUsage[] =
    "formats --driver mme|ds|wasapi|asio --device N [--input] [--query] [--all-channels] "
    "[--channels C] [--extensible] [--direct] [--stop-after K] [--json]";

int Usage() {
  std::fprintf(stderr, "usage: ovtool %s\n", kUsage);
  return 2;
}

const char* DriverName(int32_t type) {
  switch (type) {
    case kDriverDirectSound:
      return "ds";
    case kDriverAsio:
      return "asio";
    case kDriverWasapi:
      return "wasapi";
    default:
      return "mme";
  }
}

void PrintJson(const FormatProbeTable& t, int32_t driver, uint64_t device,
               const std::string& deviceName, const FormatProbeRequest& r, int64_t elapsedMs) {
  std::printf("{\"driver\":\"%s\",\"device\":%" PRIu64 ",\"deviceName\":%s,", DriverName(driver),
              device, JsonString(deviceName).c_str());
  std::printf("\"input\":%s,\"query\":%s,\"allChannels\":%s,\"extraChannels\":%u,",
              r.input ? "true" : "false", r.queryOnly ? "true" : "false",
              r.allChannels ? "true" : "false", static_cast<unsigned>(r.extraChannels));
  std::printf("\"rates\":[");
  for (int i = 0; i < kProbeRates; ++i) {
    std::printf("%s%u", i ? "," : "", static_cast<unsigned>(kProbeRateList[i]));
  }
  std::printf("],\"widths\":[");
  for (int w = 0; w < kProbeWidths; ++w) std::printf("%s\"%s\"", w ? "," : "", ProbeWidthName(w));
  std::printf("],\"cells\":[");
  for (int i = 0; i < kProbeRates; ++i) {
    std::printf("%s[", i ? "," : "");
    for (int w = 0; w < kProbeWidths; ++w) {
      std::printf("%s%u", w ? "," : "", static_cast<unsigned>(t.cells[i][w]));
    }
    std::printf("]");
  }
  std::printf("],\"texts\":[");
  for (int i = 0; i < kProbeRates; ++i) {
    std::printf("%s[", i ? "," : "");
    for (int w = 0; w < kProbeWidths; ++w) {
      std::printf("%s%s", w ? "," : "",
                  JsonString(FormatCellText(t.cells[i][w], t.tried[i][w])).c_str());
    }
    std::printf("]");
  }
  std::printf("],\"cellsTried\":%d,\"cancelled\":%s,\"elapsedMs\":%" PRId64 "}\n", t.cellsTried,
              t.cancelled ? "true" : "false", elapsedMs);
}

int Run(const std::vector<std::string>& args) {
  int32_t driver = -1;
  uint64_t device = 0, channels = 0, stopAfter = 0;
  bool haveDevice = false, json = false, extensible = false, direct = false;
  FormatProbeRequest request;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--driver") {
      if (!hasValue || !ParseDriver(args[++i], driver)) return Usage();
    } else if (a == "--device") {
      if (!hasValue || !ParseCount(args[++i], device)) return Usage();
      haveDevice = true;
    } else if (a == "--channels") {
      if (!hasValue || !ParseCount(args[++i], channels) || channels > 8) return Usage();
    } else if (a == "--stop-after") {
      if (!hasValue || !ParseCount(args[++i], stopAfter)) return Usage();
    } else if (a == "--input") {
      request.input = true;
    } else if (a == "--query") {
      request.queryOnly = true;
    } else if (a == "--all-channels") {
      request.allChannels = true;
    } else if (a == "--extensible") {
      extensible = true;
    } else if (a == "--direct") {
      direct = true;
    } else if (a == "--json") {
      json = true;
    } else {
      return Usage();
    }
  }
  if (driver < 0 || !haveDevice || device > 1000) return Usage();

  EngineSettings s;
  s.PlayRecDriverType = driver;
  s.Use_WF_EXTENSIBLE = extensible;
  s.Use_WF_DIRECT = direct;
  EngineConsole c({}, s);
  WavePlayRec& e = c.engine;
  if (!RequireDriver(e, driver, "formats")) return 1;
  const uint32_t count =
      e.GetDeviceCount(request.input ? AudioDirection::Input : AudioDirection::Output);
  if (count == 0 || device > count) {
    std::fprintf(stderr, "ovtool formats: no %s device %" PRIu64 " (the family has %u)\n",
                 request.input ? "input" : "output", device, count);
    return 1;
  }
  request.extraChannels = static_cast<uint16_t>(channels);
  const std::string name =
      e.GetDeviceName(static_cast<uint32_t>(device),
                      request.input ? AudioDirection::Input : AudioDirection::Output);
  uint64_t cells = 0;
  const auto start = std::chrono::steady_clock::now();
  const FormatProbeTable table =
      e.ProbeFormats(static_cast<int32_t>(device), request,
                     [&](uint16_t, int, int) { return stopAfter && ++cells >= stopAfter; });
  const int64_t elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                              std::chrono::steady_clock::now() - start)
                              .count();
  if (json) {
    PrintJson(table, driver, device, name, request, elapsed);
  } else {
    // Rows end in "\n": the console's text mode gives the window's CR LF on Windows.
    std::string text = FormatGridText(table);
    for (size_t p = 0; (p = text.find("\r\n", p)) != std::string::npos;) text.erase(p, 1);
    std::fputs(text.c_str(), stdout);
  }
  return 0;
}

const Registration reg{"formats", kUsage, Run};

}  // namespace
}  // namespace ov::tool
