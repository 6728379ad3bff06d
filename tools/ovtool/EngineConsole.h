// What the audio subcommands (devices, play, record) share: an engine on a
// windowless host, a notifier that prints, Ctrl+C as a stop request, and the
// number parsing of their options.
#pragma once

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/engine/ConsoleEngineHost.h"
#include "app/engine/WavePlayRec.h"

namespace ov::tool {

class PrintingNotifier final : public UserNotifier {
 public:
  NoticeAnswer Notify(std::string_view text, NoticeIcon) override {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    return NoticeAnswer::Ok;
  }
};

// Ctrl+C ends a run cleanly: the loops poll the flag and call Stop.
inline std::atomic<bool>& Interrupted() {
  static std::atomic<bool> flag{false};
  return flag;
}
inline void CatchInterrupt() {
  std::signal(SIGINT, [](int) { Interrupted() = true; });
}

struct EngineConsole {
  explicit EngineConsole(EngineCallbacks callbacks = {}, const EngineSettings& s = EngineSettings{})
      : host(true), engine(host, notifier, playState, recState, std::move(callbacks), s) {}
  ConsoleEngineHost host;
  PrintingNotifier notifier;
  std::atomic<int32_t> playState{0}, recState{0};
  WavePlayRec engine;
};

// A non-negative decimal option value; false when it is not one.
inline bool ParseCount(const std::string& text, uint64_t& value) {
  if (text.empty() || text[0] == '-') return false;
  char* end = nullptr;
  value = std::strtoull(text.c_str(), &end, 10);
  return end && *end == '\0';
}

// The driver family named by a `--driver` value: the numbers are those of the
// setting PlayRecDriverType (mme 0, ds 1, asio 2, wasapi 3). False for any other name.
inline bool ParseDriver(const std::string& text, int32_t& type) {
  static const struct {
    const char* name;
    int32_t type;
  } kFamilies[] = {{"mme", kDriverMme},
                   {"ds", kDriverDirectSound},
                   {"asio", kDriverAsio},
                   {"wasapi", kDriverWasapi}};
  for (const auto& f : kFamilies) {
    if (text == f.name) {
      type = f.type;
      return true;
    }
  }
  return false;
}

// The engine falls back to waveform audio when the configured family cannot be
// used; a command that asked for a family says why instead of running on another.
inline bool RequireDriver(WavePlayRec& engine, int32_t requested, const char* command) {
  if (engine.GetDriverType() == requested) return true;
  const char* reason = engine.GetMessage();
  std::fprintf(stderr, "ovtool %s: the driver family cannot be used: %s\n", command,
               *reason ? reason : "no device");
  return false;
}

}  // namespace ov::tool
