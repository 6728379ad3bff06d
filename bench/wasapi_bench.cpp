// ConvertOut / ConvertIn for every pair of the WASAPI conversion tables at
// 1024 frames x 8 channels, as the transfer threads call them once per
// device period. Throughput is counted in endpoint bytes.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "app/engine/WasapiConvert.h"

namespace {

ov::WasapiSampleLayout Layout(int64_t deviceBits, int64_t sourceBits, bool deviceFloat, bool mono) {
  ov::WasapiSampleLayout l;
  l.deviceBits = static_cast<int32_t>(deviceBits);
  l.sourceBits = static_cast<int32_t>(sourceBits);
  l.deviceFloat = deviceFloat;
  l.channels = mono ? 4 : 8;  // mono-to-stereo doubles the endpoint channels
  l.monoToStereo = mono;
  return l;
}

constexpr uint32_t kFrames = 1024;

// Arguments: device bits, source bits (-32 float), device float, mono-to-stereo.
void BM_ConvertOut(benchmark::State& state) {
  const auto l = Layout(state.range(0), state.range(1), state.range(2) != 0, state.range(3) != 0);
  std::vector<uint8_t> ring(size_t{kFrames} * ov::RingFrameBytes(l));
  std::vector<uint8_t> device(size_t{kFrames} * ov::DeviceFrameBytes(l, true));
  for (size_t i = 0; i < ring.size(); ++i) ring[i] = static_cast<uint8_t>(i * 7 + 3);
  if (l.sourceBits == -32) {
    auto* f = reinterpret_cast<float*>(ring.data());
    for (size_t i = 0; i < ring.size() / 4; ++i) f[i] = static_cast<float>(i % 200) / 100 - 1;
  }
  size_t bytes = 0;
  for (auto _ : state) {
    bytes += ov::ConvertOut(l, ring.data(), kFrames, device.data());
    benchmark::DoNotOptimize(device.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
}

void BM_ConvertIn(benchmark::State& state) {
  const auto l = Layout(state.range(0), state.range(1), state.range(2) != 0, false);
  std::vector<uint8_t> device(size_t{kFrames} * ov::DeviceFrameBytes(l, false));
  std::vector<uint8_t> ring(size_t{kFrames} * ov::RingFrameBytes(l));
  for (size_t i = 0; i < device.size(); ++i) device[i] = static_cast<uint8_t>(i * 13 + 5);
  size_t bytes = 0;
  for (auto _ : state) {
    if (ov::ConvertIn(l, device.data(), kFrames, ring.data())) bytes += device.size();
    benchmark::DoNotOptimize(ring.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
}

BENCHMARK(BM_ConvertOut)
    ->ArgNames({"dev", "src", "float", "mono"})
    ->Args({16, 8, 0, 0})
    ->Args({16, 16, 0, 0})
    ->Args({24, 8, 0, 0})
    ->Args({24, 16, 0, 0})
    ->Args({24, 24, 0, 0})
    ->Args({24, -32, 0, 0})
    ->Args({32, 8, 0, 0})
    ->Args({32, 16, 0, 0})
    ->Args({32, 24, 0, 0})
    ->Args({32, 32, 0, 0})
    ->Args({32, -32, 0, 0})
    ->Args({32, -32, 1, 0})
    ->Args({32, 16, 1, 0})
    ->Args({16, 16, 0, 1})
    ->Args({24, 16, 0, 1});

BENCHMARK(BM_ConvertIn)
    ->ArgNames({"dev", "ring", "float"})
    ->Args({16, 16, 0})
    ->Args({24, 24, 0})
    ->Args({24, -32, 0})
    ->Args({32, 32, 0})
    ->Args({32, 24, 0})
    ->Args({32, -32, 0})
    ->Args({32, -32, 1});

}  // namespace

BENCHMARK_MAIN();
