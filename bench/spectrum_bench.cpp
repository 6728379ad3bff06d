// The spectrum view's per-frame conversion: the y of the main curve from
// SpectrumAmp at N = 131072 on an 800-pixel plot (the goal is 0.5 ms), on
// the log and the linear axis, with four points and one point per column
// ("3D" and peak only), and the 3D front polygon. Counts heap allocations
// during the timed loops (there must be none).
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <random>
#include <vector>

#include "app/display/SpectrumPoints.h"

// operator new and delete are replaced by malloc and free to count
// allocations; the compiler cannot see that they match.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

namespace {

std::atomic<long> allocations{0};

}  // namespace

void* operator new(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

namespace {

struct Frame {
  Frame(bool log, bool threeD, bool peakOnly) {
    ov::SpectrumAxisInput in;
    in.sampleRate = 44100;
    in.sampleN = 131072;
    in.width = 800;
    in.height = 300;
    in.freqLogScale = log;
    in.peakOnly = peakOnly;
    in.dispType = threeD ? 1 : 0;
    in.threeD = ov::ThreeDGeometry(800, 300, 30, 2);
    in.dBShift = 0;
    const size_t bins = 131072 / 2 + 1;
    points.resize(bins);
    runs.resize(bins);
    polygon.resize(bins + 3);
    std::vector<Kp05Point> o1(bins), o2(bins);
    ov::ComputeSpectrumAxis(in, ov::StaticKp05Api().DLL_PrepareCoordinatesSub,
                            ov::SpectrumCurves{points.data(), o1.data(), o2.data(), runs.data(),
                                               static_cast<int32_t>(bins)},
                            axis);
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> e(-3.0, 4.5);
    magnitudes.resize(bins);
    for (double& m : magnitudes) m = std::pow(10.0, e(rng));
  }
  ov::SpectrumAxis axis;
  std::vector<Kp05Point> points, polygon;
  std::vector<int32_t> runs;
  std::vector<double> magnitudes;
};

void Convert(benchmark::State& state, bool log, bool threeD, bool peakOnly) {
  Frame f(log, threeD, peakOnly);
  Kp05Point peak{0, 0};
  const long before = allocations.load();
  for (auto _ : state) {
    ov::ConvertSpectrumToPoints(f.axis, f.axis.levelScale, f.magnitudes.data(), f.runs.data(),
                                f.points.data(), 4000, &peak);
    if (threeD)
      benchmark::DoNotOptimize(
          ov::BuildFrontPolygon(f.axis, f.points.data(), 0, 150, f.polygon.data()));
    benchmark::DoNotOptimize(f.points.data());
  }
  state.counters["allocations"] = static_cast<double>(allocations.load() - before);
  state.counters["columns"] = f.axis.columnCount;
}

void BM_ConvertLogNormal(benchmark::State& s) {
  Convert(s, true, false, false);
}
void BM_ConvertLinearNormal(benchmark::State& s) {
  Convert(s, false, false, false);
}
void BM_ConvertLogPeakOnly(benchmark::State& s) {
  Convert(s, true, false, true);
}
void BM_ConvertLog3DFrame(benchmark::State& s) {
  Convert(s, true, true, false);
}
BENCHMARK(BM_ConvertLogNormal)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ConvertLinearNormal)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ConvertLogPeakOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ConvertLog3DFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
