// Fuzzes the wave information texts: any file the reader gets through gives a
// tree whose parents come before their children, and every node's view in
// every character code builds within the bytes the chunk table holds.
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "app/wavefile/ByteSourceMemory.h"
#include "app/wavefile/WaveFileParse.h"
#include "app/wavefile/WaveInfoText.h"

namespace {
void Check(bool condition) {
  if (!condition) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static auto table = std::make_unique<ov::ChunkTable>();
  static auto markers = std::make_unique<ov::MarkerTable>();
  table->Clear();
  markers->Clear();
  ov::MemoryByteSource source(data, size);
  ov::WaveFormat format{};
  ov::WaveFileInfo info;
  ov::ReaderMessage message;
  ov::ParseOptions options;
  options.chunks = table.get();
  options.markers = markers.get();
  options.dataSaveBytes = 64;
  ov::ParseWaveSource(source, &format, &info, &message, options, false);
  const auto nodes = ov::BuildChunkTree(*table);
  ov::WaveInfoOptions o;
  o.dumpLimit = 4096;
  for (const ov::ChunkNode& n : nodes) {
    Check(n.parent < n.index);
    for (ov::CharCode code : {ov::CharCode::Ascii, ov::CharCode::ShiftJis, ov::CharCode::Utf8}) {
      o.code = code;
      const ov::NodeView v = ov::BuildNodeView(*table, n.index, o);
      Check(v.dumpBytes <= 12 + 8 + 2 * o.dumpLimit);
    }
  }
  ov::BuildSummaryFields(*table, ",");
  return 0;
}
