// Window + forward real transform per frame, the library against FFTW
// (FFTW_MEASURE, r2c), for every analysis size. Run:
//   build/bench/bench/fft_bench --benchmark_min_time=0.2
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <cmath>
#include <vector>

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

void BM_Kp05(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  if (Create_FFT(n, 1, 1) == nullptr) {
    state.SkipWithError("no plan");
    return;
  }
  const std::vector<double> signal = Signal(n);
  std::vector<double> data(n + 2);
  for (auto _ : state) {
    std::copy(signal.begin(), signal.end(), data.begin());
    FFT_WeightWindow(data.data(), KP05_WINDOW_HANNING);
    FFT_fft(data.data(), 0);
    benchmark::DoNotOptimize(data.data());
    benchmark::ClobberMemory();
  }
  Release_FFT();
}

void BM_Fftw(benchmark::State& state) {
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

}  // namespace

BENCHMARK(BM_Kp05)->RangeMultiplier(2)->Range(128, 131072);
BENCHMARK(BM_Fftw)->RangeMultiplier(2)->Range(128, 131072);

BENCHMARK_MAIN();
