// The format list window probing the real devices of the machine: for each
// driver family, direction and mode, the probe's time, the longest gap
// between two message passes of the window (how long it stays unanswered),
// and, in a second probe, the time from Stop to the button reading "&Close".
//   ov_format_list_bench [stop after ms]
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "app/engine/ConsoleEngineHost.h"
#include "app/engine/WavePlayRec.h"
#include "app/setup/FormatListForm_win.h"

namespace {

using namespace ov;

class SilentNotifier : public UserNotifier {
 public:
  NoticeAnswer Notify(std::string_view, NoticeIcon) override { return NoticeAnswer::Ok; }
};

double NowMs() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return c.QuadPart * 1000.0 / f.QuadPart;
}

// A 1 ms thread timer runs whenever the window passes its messages: the
// largest interval between two of its ticks is the longest the window went
// unanswered.
struct Watch {
  double last = 0, longestGap = 0;
};
Watch g_watch;

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
  const double now = NowMs();
  if (g_watch.last > 0) g_watch.longestGap = std::max(g_watch.longestGap, now - g_watch.last);
  g_watch.last = now;
}

int32_t Device(WavePlayRec& engine, const char* name, AudioDirection direction) {
  // Numbers start at 0 (waveform audio's 0 is the mapper, WASAPI's the
  // first endpoint).
  for (uint32_t i = 0; i <= engine.GetDeviceCount(direction); ++i) {
    if (engine.GetDeviceName(i, direction) == name) return static_cast<int32_t>(i);
  }
  return -1;
}

void Probe(WavePlayRec& engine, const char* family, bool record, bool query, double stopAfterMs) {
  const char* name = record ? "Monitor of Null Output" : "Null Output";
  const int32_t device =
      Device(engine, name, record ? AudioDirection::Input : AudioDirection::Output);
  if (device < 0) {
    std::printf("%-6s %-6s %-5s no device \"%s\" among", family, record ? "record" : "play",
                query ? "query" : "open", name);
    const AudioDirection d = record ? AudioDirection::Input : AudioDirection::Output;
    for (uint32_t i = 0; i <= engine.GetDeviceCount(d); ++i)
      std::printf(" %u \"%s\"", i, engine.GetDeviceName(i, d).c_str());
    std::printf("\n");
    return;
  }
  FormatListOptions options;
  options.record = record;
  options.deviceName = name;
  options.deviceNumber = device;
  FormatListForm form(engine, options);
  if (!form.CreateForm(nullptr)) return;
  g_watch = Watch{};
  const UINT_PTR timer = SetTimer(nullptr, 0, 1, Tick);
  // Stop comes as a user's click would, at any moment of a cell: from
  // another thread, stopAfterMs into the probe.
  std::atomic<double> stopPressedAt{0};
  std::atomic<bool> probeEnded{false};
  std::thread stopper;
  const double start = NowMs();
  if (stopAfterMs > 0) {
    stopper = std::thread([&, button = form.CloseButtonHandle()] {
      while (!probeEnded && NowMs() - start < stopAfterMs) Sleep(1);
      if (probeEnded) return;
      stopPressedAt = NowMs();
      PostMessageW(button, BM_CLICK, 0, 0);
    });
  }
  form.RunProbe(query, false);
  const double end = NowMs();
  probeEnded = true;
  if (stopper.joinable()) stopper.join();
  KillTimer(nullptr, timer);
  const FormatProbeTable& table = form.Table();
  if (stopAfterMs > 0) {
    if (stopPressedAt == 0) {
      std::printf("%-6s %-6s %-5s ended before Stop at %4.0f ms\n", family,
                  record ? "record" : "play", query ? "query" : "open", stopAfterMs);
    } else {
      std::printf("%-6s %-6s %-5s Stop at %4.0f ms: \"&Close\" %6.1f ms later (%d cells)\n", family,
                  record ? "record" : "play", query ? "query" : "open", stopAfterMs,
                  end - stopPressedAt, table.cellsTried);
    }
  } else {
    std::printf("%-6s %-6s %-5s %8.0f ms for %2d cells, longest gap %6.1f ms\n", family,
                record ? "record" : "play", query ? "query" : "open", end - start, table.cellsTried,
                g_watch.longestGap);
  }
  SendMessageW(form.CloseButtonHandle(), BM_CLICK, 0, 0);
}

}  // namespace

int main(int argc, char** argv) {
  const double stopAfterMs = argc > 1 ? std::atof(argv[1]) : 1000.0;
  ConsoleEngineHost host;
  SilentNotifier notifier;
  std::atomic<int32_t> play{0}, rec{0};
  WavePlayRec engine{host, notifier, play, rec, {}, EngineSettings{}};
  struct Family {
    const char* name;
    int32_t type;
  };
  for (const Family& f : {Family{"MME", kDriverMme}, Family{"DS", kDriverDirectSound},
                          Family{"WASAPI", kDriverWasapi}}) {
    if (engine.SetDriverType(f.type) == DriverChange::Unusable) {
      std::printf("%-6s unusable here\n", f.name);
      continue;
    }
    for (bool record : {false, true}) {
      for (bool query : {true, false}) {
        if (query && f.type != kDriverMme) continue;  // only waveform audio has a query
        Probe(engine, f.name, record, query, 0);
        if (!query) Probe(engine, f.name, record, query, stopAfterMs);
      }
    }
  }
  return 0;
}
