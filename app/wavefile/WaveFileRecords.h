// The records a parse of a wave file fills: the chunk table the wave
// information window shows, the markers, and the play item the play list and
// the engine keep per file. Plain structures with fixed-size buffers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "app/common/WaveFormat.h"

namespace ov {

constexpr int kChunkTableCapacity = 400;
constexpr int kMarkerCapacity = 100;
constexpr size_t kMarkerLabelBytes = 42;  // at most 40 label bytes plus terminator
constexpr size_t kMarkerLabelMax = 40;
constexpr size_t kPlayItemNameBytes = 264;  // at most 263 path bytes plus terminator

// One chunk as read from the file.
struct ChunkEntry {
  int32_t index = 0;          // 1-based reading order; 0 in the data-tail entry
  int32_t level = 0;          // 1 directly inside the form, 2+ inside LIST chunks
  uint64_t headerOffset = 0;  // file offset of the 8-byte header (data tail: first tail byte)
  char id[4] = {};            // chunk ID as stored
  uint32_t size = 0;          // size field as stored, not rounded
  char listType[4] = {};      // LIST only: first 4 content bytes (INFO, adtl, ...)
  // The bytes read; allocated one byte larger than asked, so text content can
  // always be zero-terminated by its reader.
  std::unique_ptr<uint8_t[]> content;
  uint32_t length = 0;  // bytes actually read into content

  void Clear() { *this = ChunkEntry{}; }
};

// The record of one parse of a file, filled only when a parse is asked to
// build it. Entries own their content buffers; Clear frees them all.
struct ChunkTable {
  uint8_t valid = 0;        // known format tag, a fmt chunk and a data chunk
  uint8_t formatKnown = 0;  // a fmt chunk with tag 1, 3 or 0xFFFE was read
  uint8_t fmtFound = 0;
  uint8_t dataFound = 0;
  uint8_t fileHeader[12] = {};  // ID, size, form type as stored
  uint64_t fileSize = 0;
  uint32_t budgetAtStop =
      0;  // low 32 bits of the level's budget when a zero-size chunk ended the walk
  uint64_t dataOffset = 0;  // file offset of the first data content byte
  uint8_t bextPresent = 0;
  uint8_t rf64SizesUsed = 0;  // data size came from ds64 (data size field 0xFFFFFFFF)
  uint8_t streamed = 0;       // RIFF with a RIFF or data size of 0xFFFFFFFF: to the end of the file
  uint64_t riffSize = 0;      // ds64 riffSize (RF64 only)
  uint64_t dataSize = 0;  // as the data chunk or ds64 gives it, before any cut to the file length
  uint64_t sampleCount = 0;  // ds64 sampleCount (RF64 only)
  WaveFormat format{};
  uint32_t floatWidth = 0;
  ChunkEntry dataTail;  // the last data bytes; does not count against the capacity
  int32_t count = 0;
  ChunkEntry entries[kChunkTableCapacity];

  void Clear();
};

struct Marker {
  char label[kMarkerLabelBytes] = {};  // bytes as stored in the file, zero-terminated
  uint32_t cueId = 0;                  // the cue point's dwName
  uint32_t position = 0;               // the cue point's dwPosition, in sample frames
  uint32_t length = 0;                 // ltxt sample length; 0 when there is none
};

struct MarkerTable {
  int32_t count = 0;
  Marker markers[kMarkerCapacity];

  void Clear() { *this = MarkerTable{}; }
};

// One file to play: one per play-list row, and one in the engine for a file
// opened on its own.
struct PlayItem {
  char fileName[kPlayItemNameBytes] = {};  // full path, UTF-8, zero-terminated
  WaveFormat format{};
  uint32_t floatWidth = 0;
  uint8_t valid = 0;  // set in the engine's own record; 0 in play-list records
  uint64_t dataSize = 0;
  uint32_t trailingSilence = 0;  // bytes of silence after the data
};

// The first ChunkEntry with that 4-character ID, or null.
const ChunkEntry* FindChunkIn(const ChunkTable& table, const char id[4]);

}  // namespace ov
