// Building the wave information window's hex and text dump of a 1 MiB chunk in
// each character code. The dump should reach 50 MB/s.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/wavefile/WaveInfoText.h"

namespace {

// Text-like bytes: ASCII with Shift-JIS and UTF-8 characters mixed in.
std::vector<uint8_t> Bytes() {
  std::vector<uint8_t> b;
  const char* pieces[] = {"chunk text ", "\x82\xA0\x82\xA2", "\xE3\x81\x82\xE3\x81\x84",
                          "\x01\x02"};
  for (size_t i = 0; b.size() < (size_t{1} << 20); ++i) {
    const char* p = pieces[i % 4];
    b.insert(b.end(), p, p + std::strlen(p));
  }
  b.resize(size_t{1} << 20);
  return b;
}

void BM_Dump(benchmark::State& state) {
  const std::vector<uint8_t> bytes = Bytes();
  const auto code = static_cast<ov::CharCode>(state.range(0));
  for (auto _ : state) {
    std::string out;
    ov::AppendDump(out, bytes.data(), bytes.size(), 0x2C, code);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_Dump)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// A whole node view, as the window builds it on selection.
void BM_NodeView(benchmark::State& state) {
  static ov::ChunkTable table;
  std::memcpy(table.fileHeader, "RIFF\0\0\0\0WAVE", 12);
  table.count = 1;
  ov::ChunkEntry& e = table.entries[0];
  std::memcpy(e.id, "big ", 4);
  e.level = 1;
  e.headerOffset = 12;
  const std::vector<uint8_t> bytes = Bytes();
  e.size = e.length = static_cast<uint32_t>(bytes.size());
  e.content.reset(new uint8_t[bytes.size() + 1]);
  std::memcpy(e.content.get(), bytes.data(), bytes.size());
  ov::WaveInfoOptions options;
  for (auto _ : state) {
    ov::NodeView v = ov::BuildNodeView(table, 1, options);
    benchmark::DoNotOptimize(v.memo1.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_NodeView)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
