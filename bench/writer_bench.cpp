// Writing a long recording through the recording writer, in capture-buffer
// blocks, against `dd` writing the same bytes in the same block size to the
// same folder. Run from the folder to measure, or set OV_BENCH_DIR.
//   build/bench/bench/writer_bench --benchmark_counters_tabular=true
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/wavefile/RecordingWriter.h"

namespace {

// 48 kHz stereo 16-bit: the engine's default plan of two capture buffers per
// second gives 96 000-byte blocks.
constexpr uint32_t kBlock = 96000;
constexpr uint64_t kBlocks = 4096;  // 393 MB, about 34 minutes of audio
// 192 kHz, 8 channels of 32 bits: half-second buffers of 3 072 000 bytes.
constexpr uint32_t kWideBlock = 3072000;
constexpr uint64_t kWideBlocks = kBlocks * kBlock / kWideBlock;  // the same 393 MB

std::string Folder() {
  const char* dir = std::getenv("OV_BENCH_DIR");
  return dir && *dir ? dir : ".";
}

class SilentNotifier : public ov::UserNotifier {
 public:
  ov::NoticeAnswer Notify(std::string_view text, ov::NoticeIcon) override {
    std::fprintf(stderr, "writer_bench: %.*s\n", static_cast<int>(text.size()), text.data());
    return ov::NoticeAnswer::Ok;
  }
};

// Arguments: header update period in seconds (0 = none, 5 = the default),
// RF64 on or off, and the format (0: 48 kHz stereo 16-bit, 1: 192 kHz 8
// channels 32-bit).
void BM_RecordingWriter(benchmark::State& state) {
  const std::string name = Folder() + "/writer_bench.WAV";
  const bool wide = state.range(2) != 0;
  const uint32_t blockBytes = wide ? kWideBlock : kBlock;
  const uint64_t blocks = wide ? kWideBlocks : kBlocks;
  std::vector<uint8_t> block(blockBytes);
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i * 7);
  SilentNotifier notes;
  for (auto _ : state) {
    ov::RecordingFile file;
    ov::PlayReadState engine;
    ov::RecordingWriter writer(file, engine, notes);
    engine.format = wide ? ov::WaveFormat{ov::kWaveFormatExtensible,
                                          8,
                                          192000,
                                          6144000,
                                          32,
                                          32,
                                          22,
                                          32,
                                          0xFF,
                                          {}}
                         : ov::WaveFormat{ov::kWaveFormatPcm, 2, 48000, 192000, 4, 16, 0, 0, 0, {}};
    writer.SetRecUpdateHeaderPeriod(static_cast<int32_t>(state.range(0)));
    writer.SetRecRF64(state.range(1) != 0);
    std::snprintf(file.fileName, sizeof file.fileName, "%s", name.c_str());
    if (!writer.CreateRecordingFile()) {
      state.SkipWithError("cannot create the file");
      break;
    }
    for (uint64_t i = 0; i < blocks; ++i) {
      if (writer.WriteRecordedData(block.data(), blockBytes) != blockBytes) {
        state.SkipWithError("the writer stopped");
        break;
      }
    }
    writer.CloseRecordingFile(true);
    state.PauseTiming();
    unlink(name.c_str());
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * blocks * blockBytes));
}
BENCHMARK(BM_RecordingWriter)
    ->ArgNames({"period_s", "rf64", "wide"})
    ->Args({0, 0, 0})
    ->Args({5, 0, 0})
    ->Args({5, 1, 0})
    ->Args({0, 0, 1})
    ->Args({5, 1, 1})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The yardstick: dd writing the same bytes in the same blocks; with fsync 1
// it also flushes the file to the device at the end (conv=fsync).
void BM_Dd(benchmark::State& state) {
  const std::string name = Folder() + "/dd_bench.raw";
  const bool wide = state.range(1) != 0;
  const std::string cmd = "dd if=/dev/zero of='" + name +
                          "' bs=" + std::to_string(wide ? kWideBlock : kBlock) +
                          " count=" + std::to_string(wide ? kWideBlocks : kBlocks) +
                          " status=none" + (state.range(0) ? " conv=fsync" : "");
  for (auto _ : state) {
    if (std::system(cmd.c_str()) != 0) {
      state.SkipWithError("dd failed");
      break;
    }
    state.PauseTiming();
    unlink(name.c_str());
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBlocks * kBlock));
}
BENCHMARK(BM_Dd)
    ->ArgNames({"fsync", "wide"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
