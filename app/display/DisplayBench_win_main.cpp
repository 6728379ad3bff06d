// Drawing benchmark of the wave view under the real platform: for each draw
// type, the drawing step's time per frame (median, 99th percentile) on the
// main thread, the frame rate of the real display loop with a sleep of 0 ms,
// the allocations per frame, and the processor time of a parked display;
// then both views at the draw-type auto-set's conditions.
//   ov_display_bench [seconds per draw type]
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include "app/display/DisplayWinTestSupport.h"

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

double ProcessCpuMs() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto ms = [](const FILETIME& f) {
    return ((static_cast<uint64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 10000.0;
  };
  return ms(kernel) + ms(user);
}

double NowMs() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return c.QuadPart * 1000.0 / f.QuadPart;
}

// The real loop: display thread, hand-over and sleep 0, for `seconds`; the
// frames drawn per second.
double LoopFps(ov::test::TestDisplayHost& host, double seconds) {
  host.display->TransportStarting();
  host.display->TransportStarted();
  const uint64_t turns0 = host.display->Thread().Turns();
  host.display->SetDisplayRunning(true);
  const double loopStart = NowMs();
  // The main thread waits for its messages as the program's message loop
  // does: a loop that spun here would take a processor from the display
  // thread and from the system's own drawing threads.
  while (NowMs() - loopStart < seconds * 1000) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    host.Pump();
  }
  host.display->SetDisplayRunning(false);
  const double fps = (host.display->Thread().Turns() - turns0) * 1000.0 / (NowMs() - loopStart);
  host.display->TransportStopped();
  return fps;
}

// Both views in a 1024 x 768 client area (wave 380 rows, spectrum 388) at
// the auto-set's conditions (N = 4096, sleep 0): the loop's rate for each
// wave type with the spectrum on "Screen", then for each spectrum type with
// the wave on "Screen", as the auto-set's first two passes measure them.
void BothViews(double seconds) {
  using namespace ov;
  test::SpectrumAreaHost host(1024, 380, 388);
  auto& c = host.Settings().Conditions;
  c.UseTimer = 0;
  c.DispThreadSleepPeriod = 0;
  const WaveFormat format = test::PcmFormat(2, 44100, 16);
  host.CreateBothViews(format, 4096);
  host.source.block = test::ToneFrames(format, 4096, {{12000, 441}, {3000, 5000}});
  host.source.playState = kPlayPlaying;
  host.analysis->live = true;
  std::printf("both views, 1024 x 768, N = 4096, sleep 0 ms, %.1f s per type\n", seconds);
  std::printf("%-8s %14s %18s\n", "type", "wave pass fps", "spectrum pass fps");
  double wave[kDrawTypeCount] = {}, spectrum[kDrawTypeCount] = {};
  for (int32_t view = 0; view < 2; ++view) {
    for (int32_t type = 0; type < kDrawTypeCount; ++type) {
      c.WaveDrawType = view == 0 ? type : 0;
      c.SpectrumDrawType = view == 1 ? type : 0;
      host.display->Layout();
      host.Repaint();
      host.RepaintSpectrum();
      (view == 0 ? wave : spectrum)[type] = LoopFps(host, seconds);
    }
  }
  for (int32_t type = 0; type < kDrawTypeCount; ++type)
    std::printf("%-8s %14.0f %18.0f\n", kDrawTypeNames[type], wave[type], spectrum[type]);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace ov;
  const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
  constexpr int32_t kN = 65536;
  // The wave view alone, then both views: one display (and one set of
  // DirectDraw surfaces) at a time, as in the program.
  auto host = std::make_unique<test::TestDisplayHost>(1024, 768, 380);
  auto& c = host->Settings().Conditions;
  c.UseTimer = 0;
  c.DispThreadSleepPeriod = 0;
  c.WaveXDispMagRate = 4;
  c.WaveYDispMagRate = 3;
  const WaveFormat format = test::PcmFormat(2, 44100, 16);
  host->CreateDisplay(format, kN);
  host->source.block = test::ToneFrames(format, kN, {{12000, 441}, {3000, 5000}});
  host->source.playState = kPlayPlaying;
  host->analysis->live = true;
  // A spectrum area of the main window's usual height: without one the
  // analysis skips the transform and sleeps 5 ms a frame instead.
  host->analysis->spectrumAreaHeight = 300;
  std::printf("wave area 1024 x 380 (plot %ld x %ld), N = %d, sleep 0 ms, %.1f s per type\n",
              host->WavePlot().right - host->WavePlot().left,
              host->WavePlot().bottom - host->WavePlot().top, kN, seconds);
  // The display thread's step alone (fetch, transform, spectrum and levels),
  // here on the main thread: the loop's rate is about 1 / (acquire + draw).
  {
    std::vector<double> acquires;
    acquires.reserve(300);
    const uint64_t allocsBefore = g_allocations.load();
    for (int i = 0; i < 300; ++i) {
      const double t0 = NowMs();
      host->display->AcquireFrame();
      acquires.push_back(NowMs() - t0);
    }
    const uint64_t allocs = g_allocations.load() - allocsBefore;
    std::sort(acquires.begin(), acquires.end());
    std::printf("acquire: median %.3f ms, p99 %.3f ms, %.3f allocs/frame\n",
                acquires[acquires.size() / 2], acquires[acquires.size() * 99 / 100],
                static_cast<double>(allocs) / acquires.size());
  }
  std::printf("%-8s %9s %9s %9s %11s %12s\n", "type", "step fps", "median", "p99", "loop fps",
              "allocs/frame");
  for (int32_t type = 0; type < kDrawTypeCount; ++type) {
    c.WaveDrawType = type;
    host->display->Layout();
    host->Repaint();
    // The drawing step alone, on the main thread.
    std::vector<double> steps;
    steps.reserve(100000);
    host->display->AcquireFrame();
    const double start = NowMs();
    const uint64_t allocsBefore = g_allocations.load();
    uint64_t frames = 0;
    while (NowMs() - start < seconds * 1000) {
      const double t0 = NowMs();
      host->display->DrawFrame();
      steps.push_back(NowMs() - t0);
      ++frames;
    }
    const double stepMs = NowMs() - start;
    const uint64_t allocs = g_allocations.load() - allocsBefore;
    std::vector<double> sorted = steps;
    std::sort(sorted.begin(), sorted.end());
    const double median = sorted[sorted.size() / 2];
    const double p99 = sorted[std::min(sorted.size() - 1, sorted.size() * 99 / 100)];
    const double loopFps = LoopFps(*host, seconds);
    std::printf("%-8s %9.0f %8.3fms %8.3fms %11.0f %12.3f\n", kDrawTypeNames[type],
                frames * 1000.0 / stepMs, median, p99, loopFps,
                static_cast<double>(allocs) / frames);
  }
  host.reset();
  BothViews(seconds);
  // Parked: processor time of the whole process over 5 s with the thread parked.
  const double cpu0 = ProcessCpuMs();
  Sleep(5000);
  std::printf("parked: %.2f ms of processor time in 5 s (whole process)\n", ProcessCpuMs() - cpu0);
  return 0;
}
