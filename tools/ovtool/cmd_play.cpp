// ovtool play: plays wave files through the engine, several as a play list
// (gapless where the formats match), printing the position once a second.
// M3U list files add their items with the silences they give.
#include <cinttypes>
#include <cstring>
#include <memory>
#include <vector>

#include "app/wavefile/PlayList.h"
#include "app/wavefile/WaveFileParse.h"
#include "tools/ovtool/Command.h"
#include "tools/ovtool/EngineConsole.h"

namespace ov::tool {
namespace {

constexpr const char kUsage[] =
    "play FILE|LIST.M3U... [--device N] [--driver mme|ds|wasapi|asio] [--channel C] [--analyze]";

bool IsM3u(const std::string& name) {
  return name.size() > 4 && (name[name.size() - 4] == '.') &&
         (name[name.size() - 3] | 0x20) == 'm' && name[name.size() - 2] == '3' &&
         (name[name.size() - 1] | 0x20) == 'u';
}

int Usage() {
  std::fprintf(stderr, "usage: ovtool %s\n", kUsage);
  return 2;
}

int Run(const std::vector<std::string>& args) {
  std::vector<std::string> files;
  uint64_t device = 0, channel = 0;
  bool analyze = false;
  int32_t driver = kDriverMme;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--device") {
      if (++i >= args.size() || !ParseCount(args[i], device)) return Usage();
    } else if (args[i] == "--driver") {
      if (++i >= args.size() || !ParseDriver(args[i], driver)) return Usage();
    } else if (args[i] == "--channel") {  // first ASIO output channel
      if (++i >= args.size() || !ParseCount(args[i], channel) || channel > 32) return Usage();
    } else if (args[i] == "--analyze") {
      analyze = true;
    } else if (args[i].rfind("--", 0) == 0) {
      return Usage();
    } else {
      files.push_back(args[i]);
    }
  }
  if (files.empty()) return Usage();

  // The play list: one item per file, validated as the play list validates.
  std::vector<PlayItem> items;
  for (const std::string& file : files) {
    if (IsM3u(file)) {
      auto list = std::make_unique<PlayList>();
      const PlayListLoad load = LoadM3u(file, list.get(), 0, Language::English);
      for (const std::string& m : load.messages)
        std::fprintf(stderr, "ovtool play: %s\n", m.c_str());
      if (!load.ok) return 1;
      for (int r = 1; r <= list->Count(); ++r) items.push_back(*list->ItemAt(r));
      continue;
    }
    PlayItem item;
    WaveFileInfo info;
    ReaderMessage m;
    if (!ParseWaveFile(file.c_str(), &item.format, &info, &m, ParseOptions{}) || !info.valid) {
      std::fprintf(stderr, "ovtool play: %s: %s\n", file.c_str(),
                   m.Empty() ? "This file is not valid PCM wave file." : m.c_str());
      return 1;
    }
    std::snprintf(item.fileName, sizeof item.fileName, "%s", file.c_str());
    item.floatWidth = info.floatWidth;
    item.dataSize = info.dataSize;
    items.push_back(item);
  }
  if (items.empty()) return 1;
  int current = -1;
  EngineCallbacks cb;
  cb.OnPlayListCursor = [&](bool peek) -> const PlayItem* {
    if (peek) return current + 1 < static_cast<int>(items.size()) ? &items[current + 1] : nullptr;
    if (current + 1 < static_cast<int>(items.size())) ++current;
    std::printf("playing %s\n", items[current].fileName);
    std::fflush(stdout);
    return nullptr;
  };

  EngineSettings s;
  s.PlayRecDriverType = driver;
  EngineConsole c(std::move(cb), s);
  WavePlayRec& e = c.engine;
  if (!RequireDriver(e, driver, "play")) return 1;
  if (e.OpenPlay(items[0].fileName, &items[0]) != EngineResult::Ok) {
    std::fprintf(stderr, "ovtool play: %s\n", e.GetMessage());
    return 1;
  }
  CatchInterrupt();
  const PlayMode mode = analyze ? PlayMode::Analyze : PlayMode::Normal;
  if (e.StartPlay(static_cast<int32_t>(device), mode, PlayOutput::Device,
                  static_cast<int32_t>(channel)) != EngineResult::Ok) {
    std::fprintf(stderr, "ovtool play: %s\n",
                 *e.GetMessage() ? e.GetMessage() : "the file holds no sample data");
    return 1;
  }
  if (analyze) {
    // The analyze mode primes the ring paused; the first resume starts the device.
    c.host.PumpUntil([&] { return c.playState.load() == kPlayPaused; }, 5000);
    std::printf("analyze: primed and paused at sample %" PRIu64 "\n", e.GetPausedPosition());
    e.TogglePause();
  }
  const uint32_t rate = e.GetFormat(nullptr).samplesPerSec;
  uint32_t lastPrint = TickMs();
  while (c.host.CountOf(WM_PLAY_END) == 0) {
    if (Interrupted()) {
      e.Stop();
      break;
    }
    c.host.ProcessMessages();
    SleepMs(10);
    if (TickMs() - lastPrint >= 1000) {
      lastPrint = TickMs();
      const uint64_t pos = e.GetPosition();
      std::printf("%s  sample %" PRIu64 " (%.1f s)\n", c.host.Label(EngineLabel::Position).c_str(),
                  pos, rate ? static_cast<double>(pos) / rate : 0.0);
      std::fflush(stdout);
    }
  }
  e.Stop();
  const auto failures = c.host.Failures();
  return failures.empty() ? 0 : 1;
}

const Registration reg{"play", kUsage, Run};

}  // namespace
}  // namespace ov::tool
