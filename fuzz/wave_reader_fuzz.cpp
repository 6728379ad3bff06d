// Fuzzes the wave file parse and the streaming read through the memory
// source: no crash, leak, hang or over-allocation on any input, and what the
// reader reports always lies inside the input.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "app/wavefile/ByteSourceMemory.h"
#include "app/wavefile/WaveFileParse.h"
#include "app/wavefile/WaveReader.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// Validation only, as the play list does it.
void Validate(const uint8_t* data, size_t size, bool ctrl) {
  ov::MemoryByteSource source(data, size);
  ov::WaveFormat format{};
  ov::WaveFileInfo info;
  ov::ReaderMessage message;
  if (ov::ParseWaveSource(source, &format, &info, &message, {}, ctrl) && info.valid) {
    Check(info.dataOffset + info.dataSize <= size);
  }
}

// The engine's open and play of the same bytes.
void OpenAndStream(const uint8_t* data, size_t size) {
  auto state = std::make_unique<ov::PlayReadState>();
  state->dataSaveBytes = 64;
  state->opener = [data, size](const char*) -> std::unique_ptr<ov::ByteSource> {
    return std::make_unique<ov::MemoryByteSource>(data, size);
  };
  if (!ov::OpenForPlay(*state, "input.wav", false)) return;
  const ov::ChunkTable& table = state->chunks;
  Check(table.count >= 0 && table.count <= ov::kChunkTableCapacity);
  for (int i = 0; i < table.count; ++i) {
    const ov::ChunkEntry& e = table.entries[i];
    Check(e.headerOffset + 8 + e.length <= size);
  }
  Check(state->markers.count >= 0 && state->markers.count <= ov::kMarkerCapacity);
  Check(state->dataOffset + state->dataBytes <= size);

  // A play list of the same bytes once more, so the stream continues into it.
  ov::PlayItem first, next;
  std::memcpy(first.fileName, "input.wav", 10);
  std::memcpy(next.fileName, "next.wav", 9);
  first.format = next.format = state->format;
  next.trailingSilence = size % 7;
  state->currentItem = &first;
  state->onPlayListCursor = [&](bool) -> const ov::PlayItem* {
    return state->currentItem == &first ? &next : nullptr;
  };

  std::vector<uint8_t> block(1000);
  uint64_t total = 0;
  for (int round = 0; round < 4; ++round) {
    const uint32_t n = ov::ReadStream(*state, block.data(), uint32_t(block.size()));
    total += n;
    if (n < block.size()) break;
  }
  // Two items' data and the second one's silence at most.
  Check(total <= 2 * state->dataBytes + next.trailingSilence);
  // A seek to a position taken from the input, even far past the end.
  if (size >= 8) {
    uint64_t position;
    std::memcpy(&position, data + size - 8, 8);
    state->position = position;
    state->reprime = true;
    const uint32_t n = ov::ReadStream(*state, block.data(), uint32_t(block.size()));
    Check(state->reprimeStartBytes <= state->dataBytes);
    Check(n <= block.size());
  }
  ov::CloseReadFile(*state);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Validate(data, size, false);
  Validate(data, size, true);
  OpenAndStream(data, size);
  return 0;
}
