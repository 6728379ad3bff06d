// Streaming a large wave file through ReadStream in play-buffer-sized blocks,
// beside `cat FILE > /dev/null` over the same file from the page cache. The
// reader should reach at least 80% of cat's throughput.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/wavefile/WaveReader.h"

namespace {

// 16-bit stereo at 44.1 kHz; the play buffer is half a second (the engine's
// default of two buffers per second).
constexpr uint32_t kBlockAlign = 4;
constexpr uint32_t kRate = 44100;
constexpr uint32_t kPlayBufferBytes = kRate / 2 * kBlockAlign;
constexpr uint64_t kDataBytes = 512ull << 20;

void PutLe(std::FILE* f, uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) std::fputc(int(v >> (8 * i)) & 0xFF, f);
}

const std::string& LargeFile() {
  static const std::string path = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string p =
        std::string(tmp ? tmp : "/tmp") + "/ov_reader_bench_" + std::to_string(::getpid()) + ".wav";
    std::FILE* f = std::fopen(p.c_str(), "wb");
    if (!f) std::abort();
    std::fputs("RIFF", f);
    PutLe(f, 36 + kDataBytes, 4);
    std::fputs("WAVEfmt ", f);
    PutLe(f, 16, 4);
    PutLe(f, 1, 2);
    PutLe(f, 2, 2);
    PutLe(f, kRate, 4);
    PutLe(f, kRate * kBlockAlign, 4);
    PutLe(f, kBlockAlign, 2);
    PutLe(f, 16, 2);
    std::fputs("data", f);
    PutLe(f, kDataBytes, 4);
    std::vector<uint8_t> chunk(1 << 20);
    for (size_t i = 0; i < chunk.size(); ++i) chunk[i] = uint8_t(i * 7);
    for (uint64_t done = 0; done < kDataBytes; done += chunk.size()) {
      std::fwrite(chunk.data(), 1, chunk.size(), f);
    }
    std::fclose(f);
    std::atexit([] { std::remove(LargeFile().c_str()); });
    // Bring it into the page cache before either side is measured.
    std::system(("cat '" + p + "' > /dev/null").c_str());
    return p;
  }();
  return path;
}

void BM_ReadStreamPlayBlocks(benchmark::State& state) {
  const std::string& path = LargeFile();
  std::vector<uint8_t> buffer(kPlayBufferBytes);
  auto reader = std::make_unique<ov::PlayReadState>();
  for (auto _ : state) {
    if (!ov::OpenForPlay(*reader, path.c_str(), false)) {
      state.SkipWithError(reader->message.c_str());
      return;
    }
    uint64_t total = 0;
    for (;;) {
      const uint32_t n = ov::ReadStream(*reader, buffer.data(), kPlayBufferBytes);
      total += n;
      if (n < kPlayBufferBytes) break;
    }
    ov::CloseReadFile(*reader);
    benchmark::DoNotOptimize(total);
    if (total != kDataBytes) state.SkipWithError("short stream");
  }
  state.SetBytesProcessed(int64_t(state.iterations() * kDataBytes));
}
BENCHMARK(BM_ReadStreamPlayBlocks)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

void BM_CatToDevNull(benchmark::State& state) {
  const std::string command = "cat '" + LargeFile() + "' > /dev/null";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError("cat failed");
  }
  state.SetBytesProcessed(int64_t(state.iterations() * kDataBytes));
}
BENCHMARK(BM_CatToDevNull)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

}  // namespace

// Parsing every file of the shared corpus (chunk table and markers built, as
// when a file is opened); the time is for all files ("files" of them).
void BM_ParseCorpus(benchmark::State& state) {
  const std::filesystem::path dir = std::filesystem::path(OV_SHARED_DIR) / "testdata" / "wav";
  std::vector<std::string> files;
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(dir, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_regular_file()) files.push_back(it->path().string());
  }
  if (files.empty()) {
    state.SkipWithError("the shared corpus is absent");
    return;
  }
  auto chunks = std::make_unique<ov::ChunkTable>();
  auto markers = std::make_unique<ov::MarkerTable>();
  for (auto _ : state) {
    for (const std::string& f : files) {
      ov::ParseOptions options;
      options.chunks = chunks.get();
      options.markers = markers.get();
      ov::WaveFormat format{};
      ov::WaveFileInfo info;
      ov::ReaderMessage message;
      benchmark::DoNotOptimize(ov::ParseWaveFile(f.c_str(), &format, &info, &message, options));
    }
  }
  state.counters["files"] = static_cast<double>(files.size());
}
BENCHMARK(BM_ParseCorpus)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
