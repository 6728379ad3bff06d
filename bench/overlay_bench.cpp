// Writing and parsing an overlay file of the largest analysis size (131072
// points, 65537 values) in memory. Parsing should reach 5 million values a
// second.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "app/analysis/OverlayFile.h"

namespace {

constexpr int32_t kN = 131072;
constexpr int32_t kCount = kN / 2 + 1;

// Spectrum-like amplitudes over many decades, all with 15 significant digits
// in the file.
const std::vector<double>& Amplitudes() {
  static const std::vector<double> amps = [] {
    std::mt19937_64 random(44);
    std::uniform_real_distribution<double> exponent(-6.0, 4.5);
    std::vector<double> a(kCount);
    for (double& v : a) v = std::pow(10.0, exponent(random));
    return a;
  }();
  return amps;
}

void BM_FormatOverlayFile(benchmark::State& state) {
  for (auto _ : state) {
    std::string file = ov::FormatOverlayFile("bench", 44100, kN, Amplitudes().data(), kCount);
    benchmark::DoNotOptimize(file.data());
  }
  state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_FormatOverlayFile)->Unit(benchmark::kMillisecond);

void BM_ParseOverlayFile(benchmark::State& state) {
  const std::string file = ov::FormatOverlayFile("bench", 44100, kN, Amplitudes().data(), kCount);
  ov::OverlayFileContents out;
  for (auto _ : state) {
    const std::string message = ov::ParseOverlayFile(file, {44100, kN}, ov::Language::English, out);
    if (!message.empty()) state.SkipWithError(message.c_str());
    benchmark::DoNotOptimize(out.amplitudes.data());
  }
  state.SetItemsProcessed(state.iterations() * kCount);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(file.size()));
}
BENCHMARK(BM_ParseOverlayFile)->Unit(benchmark::kMillisecond);

}  // namespace
BENCHMARK_MAIN();
