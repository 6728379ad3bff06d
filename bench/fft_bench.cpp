// Window + forward real transform per frame, the library against FFTW
// (FFTW_MEASURE, r2c), side by side for every analysis size. Both fill the
// input buffer each frame (the library's input is destroyed by the transform,
// FFTW's multiply by the window doubles as its fill). On a shared machine
// whose speed drifts, interleave the repetitions and read the "min" rows:
//   fft_bench --benchmark_repetitions=10 --benchmark_enable_random_interleaving=true
//             --benchmark_min_time=0.05 --benchmark_report_aggregates_only=true
// (bench/fft_ratio.py turns the JSON output into a table). OV_FFT_KERNELS=portable
// or avx2 holds the library to a slower kernel set than the CPU offers, to
// compare the sets; OV_FFT_LAYOUTS=1 adds the library with each layout
// forced (Kp05Passes, Kp05Tail, Kp05Quarters, Kp05Eights) beside the one its plans
// measure.
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "fft/Kp05Kernels.h"
#include "fft/Kp05Plan.h"
#include "fft/kp05.h"

namespace {

const double kPi = 3.141592653589793;

std::vector<double> Signal(int n) {
  std::vector<double> s(n);
  for (int i = 0; i < n; ++i) s[i] = 10000.0 * std::sin(2 * kPi * 1001.0 * i / n) + (i % 7);
  return s;
}

std::vector<double> Hanning(int n) {
  std::vector<double> w(n);
  for (int i = 0; i < n; ++i) w[i] = 0.5 - 0.5 * std::cos(2 * kPi * i / n);
  return w;
}

// The plan's layout is forced for the one creation (the layouts are compared
// side by side), or measured by the plan as a program's plan would be.
void Kp05(benchmark::State& state, kp05::Layout layout) {
  const int n = static_cast<int>(state.range(0));
  kp05::ForceLayout(layout);
  Kp05Plan* plan = Create_FFT(n, 1, 1);
  kp05::ForceLayout(kp05::Layout::Measured);
  if (plan == nullptr) {
    state.SkipWithError("no plan");
    return;
  }
  // Both buffers start on a cache line, as FFTW's do: glibc copies blocks of
  // this size with `rep movsb`, which some CPUs (AMD family 25 measured) run
  // about 17 times slower when source and destination differ in their
  // offsets within a cache line, and that copy would swamp the transform.
  double* signal = fftw_alloc_real(n);
  double* data = fftw_alloc_real(n + 2);
  const std::vector<double> samples = Signal(n);
  std::copy(samples.begin(), samples.end(), signal);
  for (auto _ : state) {
    std::copy(signal, signal + n, data);
    FFT_WeightWindow(data, KP05_WINDOW_HANNING);
    FFT_fft(data, 0);
    benchmark::DoNotOptimize(data);
    benchmark::ClobberMemory();
  }
  fftw_free(data);
  fftw_free(signal);
  Release_FFT();
}

void Fftw(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  double* in = fftw_alloc_real(n);
  fftw_complex* out = fftw_alloc_complex(n / 2 + 1);
  fftw_plan plan = fftw_plan_dft_r2c_1d(n, in, out, FFTW_MEASURE);
  const std::vector<double> signal = Signal(n);
  const std::vector<double> window = Hanning(n);
  for (auto _ : state) {
    for (int i = 0; i < n; ++i) in[i] = signal[i] * window[i];
    fftw_execute(plan);
    benchmark::DoNotOptimize(out);
    benchmark::ClobberMemory();
  }
  fftw_destroy_plan(plan);
  fftw_free(out);
  fftw_free(in);
}

double Min(const std::vector<double>& v) {
  return *std::min_element(v.begin(), v.end());
}

}  // namespace

int main(int argc, char** argv) {
  if (const char* set = std::getenv("OV_FFT_KERNELS")) {
    if (std::strcmp(set, "portable") == 0) kp05::LimitKernels(kp05::KernelSet::Portable);
    if (std::strcmp(set, "avx2") == 0) kp05::LimitKernels(kp05::KernelSet::Avx2);
  }
  const bool layouts = std::getenv("OV_FFT_LAYOUTS") != nullptr;
  // Each size runs the library and FFTW back to back, so both see the same load.
  for (int n = 128; n <= 131072; n *= 2) {
    benchmark::RegisterBenchmark(("Kp05/" + std::to_string(n)).c_str(), Kp05,
                                 kp05::Layout::Measured)
        ->Arg(n)
        ->ComputeStatistics("min", Min);
    if (layouts) {
      const std::pair<const char*, kp05::Layout> forced[] = {
          {"Kp05Passes/", kp05::Layout::Passes},
          {"Kp05Tail/", kp05::Layout::Tail},
          {"Kp05Quarters/", kp05::Layout::Quarters},
          {"Kp05Eights/", kp05::Layout::Eights}};
      for (const auto& [name, layout] : forced) {
        benchmark::RegisterBenchmark((name + std::to_string(n)).c_str(), Kp05, layout)
            ->Arg(n)
            ->ComputeStatistics("min", Min);
      }
    }
    benchmark::RegisterBenchmark(("Fftw/" + std::to_string(n)).c_str(), Fftw)
        ->Arg(n)
        ->ComputeStatistics("min", Min);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
