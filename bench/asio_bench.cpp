// The ASIO buffer switch's copy step: one buffer half of 256 frames between
// the driver's channel buffers and the engine's ring, per sample type and ring
// width (stereo). This is all the host does on the driver's thread besides
// signalling an event.
#include <benchmark/benchmark.h>

#include <vector>

#include "app/engine/AsioTransfer.h"

namespace {

using namespace ov::asio;

void BM_BufferSwitch(benchmark::State& state) {
  const int32_t type = static_cast<int32_t>(state.range(0));
  const int32_t ringBits = static_cast<int32_t>(state.range(1));
  const bool input = state.range(2) != 0;
  const uint32_t frames = 256, channels = 2;
  const uint32_t ringSample = ringBits == -32 ? 4 : static_cast<uint32_t>(ringBits) / 8;
  const uint32_t align = channels * ringSample;
  std::vector<uint8_t> ring(static_cast<size_t>(align) * 4800 * 4, 1);
  std::vector<uint8_t> halves(2 * channels * frames * SampleBytes(type), 1);
  TransferSet set;
  set.frames = frames;
  RingSide& side = input ? set.in : set.out;
  side.Attach(ring.data(), ring.size(), channels, ringBits, align, align * 4800);
  side.running = true;
  for (uint32_t c = 0; c < channels; ++c) {
    uint8_t* base = halves.data() + c * 2 * frames * SampleBytes(type);
    set.channels[c] = {input, type, {base, base + frames * SampleBytes(type)}, c};
  }
  set.count = channels;
  int32_t index = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(Transfer(set, index));
    benchmark::DoNotOptimize(Account(side, frames, false));
    index ^= 1;
  }
  state.SetItemsProcessed(state.iterations() * frames);
}

BENCHMARK(BM_BufferSwitch)
    ->ArgNames({"type", "ringBits", "input"})
    ->Args({kInt16LSB, 16, 0})
    ->Args({kInt24LSB, 16, 0})
    ->Args({kInt32LSB, 16, 0})
    ->Args({kInt32LSB, -32, 0})
    ->Args({kInt24LSB, 24, 1})
    ->Args({kInt32LSB, 16, 1})
    ->Args({kInt32LSB, -32, 1});

}  // namespace

BENCHMARK_MAIN();
