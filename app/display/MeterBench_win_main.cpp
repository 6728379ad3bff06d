// Benchmark of the level meter and the Lissajous window under the real
// platform: one meter update with 8 vertical bars (the model and the drawing
// of the bars and changed numbers into the shown window), and one Lissajous
// frame at N = 131072 (points and presenting, per draw type); time per call
// (median, 99th percentile) and allocations per call.
//   ov_meter_bench [seconds per case]
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <vector>

#include "app/display/DisplayWinTestSupport.h"
#include "app/display/LevelMeterForm_win.h"
#include "app/display/LissajousForm_win.h"

namespace {
std::atomic<uint64_t> g_allocations{0};
}  // namespace

// Counts every allocation; the program's own frees go through the same heap.
void* operator new(size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](size_t size) {
  return operator new(size);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, size_t) noexcept {
  std::free(p);
}

namespace {

double NowMs() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return c.QuadPart * 1000.0 / f.QuadPart;
}

// Runs step for `seconds`; prints calls per second, median, p99, allocations per call.
template <typename Step>
void Measure(const char* name, double seconds, Step step) {
  std::vector<double> times;
  times.reserve(1000000);
  const uint64_t allocsBefore = g_allocations.load();
  const double start = NowMs();
  uint64_t calls = 0;
  while (NowMs() - start < seconds * 1000) {
    const double t0 = NowMs();
    step(calls);
    times.push_back(NowMs() - t0);
    ++calls;
  }
  // The vector's own growth is reserved up front; what remains is the step's.
  const uint64_t allocs = g_allocations.load() - allocsBefore;
  std::sort(times.begin(), times.end());
  std::printf("%-28s %9llu calls %9.4f ms median %9.4f ms p99 %8.3f allocs/call\n", name,
              static_cast<unsigned long long>(calls), times[times.size() / 2],
              times[std::min(times.size() - 1, times.size() * 99 / 100)],
              static_cast<double>(allocs) / static_cast<double>(calls));
}

}  // namespace

int main(int argc, char** argv) {
  using namespace ov;
  const double seconds = argc > 1 ? std::atof(argv[1]) : 2.0;
  constexpr int32_t kN = 131072;
  test::TestDisplayHost host(1024, 768, 380);
  const WaveFormat format = test::PcmFormat(2, 44100, 16);
  host.CreateDisplay(format, kN);
  host.source.block = test::ToneFrames(format, kN, {{12000, 441}, {3000, 5000}});
  host.Feed(host.source.block);
  host.analysis->frameValid = true;

  // The meter: 8 vertical bars, levels that move so bars and numbers change.
  auto& m = host.Settings().LevelMeterWindow;
  m.PosX = 40;
  m.PosY = 40;
  m.Width = 200;
  m.Height = 300;
  TLevelMeterForm meter(host);
  meter.Create();
  meter.ConfigureMeter(2, 8, false);
  host.Pump();
  int32_t peaks[8], rms[8];
  Measure("meter update, 8 bars", seconds, [&](uint64_t i) {
    for (int c = 0; c < 8; ++c) {
      peaks[c] = -static_cast<int32_t>((i * 7 + c * 53) % 700);
      rms[c] = peaks[c] - 30;
    }
    meter.UpdateMeter(peaks, rms);
  });
  meter.ConfigureMeter(2, 8, true);
  Measure("meter update, margin mode", seconds, [&](uint64_t i) {
    for (int c = 0; c < 8; ++c) peaks[c] = -static_cast<int32_t>((i * 3 + c * 11) % 700);
    meter.UpdateMeter(peaks, rms);
  });
  meter.ConfigureMeter(0, 8, false);

  // The Lissajous window at 300 x 300: N = 131072 samples, one frame interval
  // of points (1000 before the first frame-rate readout, 1473 at 30 fps).
  auto& l = host.Settings().LissajousWindow;
  l.PosX = 300;
  l.PosY = 40;
  l.Width = 300;
  l.Height = 300;
  TLissajousForm lissajous(host, *host.analysis, host.display->Counters());
  lissajous.Create();
  lissajous.ShowForm();
  host.Pump();
  std::printf("Lissajous plot %d px, N = %d\n", lissajous.PlotSide(), kN);
  for (int32_t fps : {0, 30, 1}) {
    host.display->Counters().framesPerSecond = fps;
    for (int32_t type = 0; type <= 2; ++type) {
      host.Settings().Conditions.WaveDrawType = type;
      lissajous.PrepareLissajousBackground();
      char name[64];
      std::snprintf(name, sizeof name, "Lissajous %s, fps %d", kDrawTypeNames[type],
                    static_cast<int>(fps));
      Measure(name, seconds, [&](uint64_t) { lissajous.DrawLissajous(); });
    }
    std::printf("  points per frame: %d\n", static_cast<int>(lissajous.PointCount()));
  }
  return 0;
}
