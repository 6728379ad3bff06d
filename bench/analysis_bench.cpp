// One display frame of analysis against the window and transform alone.
//   WindowTransform: weighting and forward transform of N fresh samples (the
//     copy that refreshes the destroyed input is included).
//   WholeFrame: the engine's block copy of a 24-bit stereo block, unpacking,
//     levels over one meter period, transform input, window, transform,
//     amplitudes, maximum, THD and THD+N.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "app/analysis/AnalysisTestSupport.h"
#include "app/analysis/FrameAnalysis.h"

namespace ov {
namespace {

void WindowTransform(benchmark::State& state) {
  const int32_t n = static_cast<int32_t>(state.range(0));
  const Kp05Api api = StaticKp05Api();
  api.Create_FFT(n, 1, 1);
  std::vector<double> input(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) input[i] = 20000.0 * std::sin(2 * test::kPi * 1000.7 * i / 48000);
  std::vector<double> buffer(2 * static_cast<size_t>(n) + 2);
  for (auto _ : state) {
    std::memcpy(buffer.data(), input.data(), sizeof(double) * n);
    api.FFT_WeightWindow(buffer.data(), KP05_WINDOW_HANNING);
    api.FFT_fft(buffer.data(), 0);
    benchmark::DoNotOptimize(buffer.data());
  }
  api.Release_FFT();
}

void WholeFrame(benchmark::State& state) {
  const int32_t n = static_cast<int32_t>(state.range(0));
  const Kp05Api api = StaticKp05Api();
  test::FakeBlockSource engine;
  test::RecordingNotifier notifier;
  NoModifierKeys keys;
  FrameAnalysis a(api, engine, notifier, keys);
  a.Format = test::PcmFormat(2, 48000, 24);
  if (!a.SetAnalysisSize(n)) {
    state.SkipWithError("analysis buffers not allocated");
    return;
  }
  engine.block = test::ToneFrames(a.Format, n, {{20000, 1000.7}, {20, 2001.4}, {2, 3002.1}});
  engine.playState = kPlayPlaying;
  a.WindowFunction = KP05_WINDOW_HANNING;
  a.spectrumAreaHeight = 200;
  a.levelMeterShown = true;
  a.meterUpdatesPerSecond = 30;
  a.live = true;
  a.measureMode = true;
  double thd = 0;
  for (auto _ : state) {
    a.AcquireFrame(true);
    a.ComputeSpectrum();
    thd += a.DistortionRatio(a.SpectrumAmp.data(), a.peakBin, false);
    thd += a.DistortionRatio(a.SpectrumAmp.data(), a.peakBin, true);
    benchmark::DoNotOptimize(thd);
  }
}

// The parts of the whole frame outside the transform: acquisition with the
// transform skipped (Shift+Ctrl+Alt held: copy, unpack, levels, window), and
// the spectrum computation with THD and THD+N on a transformed frame.
void AcquireWithoutTransform(benchmark::State& state) {
  const int32_t n = static_cast<int32_t>(state.range(0));
  const Kp05Api api = StaticKp05Api();
  test::FakeBlockSource engine;
  test::RecordingNotifier notifier;
  test::HeldModifierKeys keys;
  keys.held = true;
  FrameAnalysis a(api, engine, notifier, keys);
  a.Format = test::PcmFormat(2, 48000, 24);
  if (!a.SetAnalysisSize(n)) {
    state.SkipWithError("analysis buffers not allocated");
    return;
  }
  engine.block = test::ToneFrames(a.Format, n, {{20000, 1000.7}});
  engine.playState = kPlayPlaying;
  a.spectrumAreaHeight = 200;
  a.levelMeterShown = true;
  a.meterUpdatesPerSecond = 30;
  for (auto _ : state) {
    a.AcquireFrame(true);
    benchmark::DoNotOptimize(a.FftBuf.data());
  }
}

void SpectrumAndThd(benchmark::State& state) {
  const int32_t n = static_cast<int32_t>(state.range(0));
  const Kp05Api api = StaticKp05Api();
  test::FakeBlockSource engine;
  test::RecordingNotifier notifier;
  NoModifierKeys keys;
  FrameAnalysis a(api, engine, notifier, keys);
  a.Format = test::PcmFormat(2, 48000, 24);
  if (!a.SetAnalysisSize(n)) {
    state.SkipWithError("analysis buffers not allocated");
    return;
  }
  engine.block = test::ToneFrames(a.Format, n, {{20000, 1000.7}, {20, 2001.4}});
  engine.playState = kPlayPlaying;
  a.spectrumAreaHeight = 200;
  a.live = true;
  a.measureMode = true;
  a.AcquireFrame(true);
  double thd = 0;
  for (auto _ : state) {
    a.ComputeSpectrum();
    thd += a.DistortionRatio(a.SpectrumAmp.data(), a.peakBin, false);
    thd += a.DistortionRatio(a.SpectrumAmp.data(), a.peakBin, true);
    benchmark::DoNotOptimize(thd);
  }
}

BENCHMARK(WindowTransform)->Arg(4096)->Arg(131072)->Unit(benchmark::kMicrosecond);
BENCHMARK(WholeFrame)->Arg(4096)->Arg(131072)->Unit(benchmark::kMicrosecond);
BENCHMARK(AcquireWithoutTransform)->Arg(4096)->Arg(131072)->Unit(benchmark::kMicrosecond);
BENCHMARK(SpectrumAndThd)->Arg(4096)->Arg(131072)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace ov

BENCHMARK_MAIN();
