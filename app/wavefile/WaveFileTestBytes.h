// Test helpers: build wave files byte by byte in memory, and serve them to
// the reader by name.
#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "app/wavefile/ByteSourceMemory.h"
#include "app/wavefile/WaveFileParse.h"

namespace ov::testbytes {

using Bytes = std::vector<uint8_t>;

inline Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

inline Bytes Le16(uint16_t v) {
  return {uint8_t(v), uint8_t(v >> 8)};
}
inline Bytes Le32(uint32_t v) {
  return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
}
inline Bytes Le64(uint64_t v) {
  return Le32(uint32_t(v)) + Le32(uint32_t(v >> 32));
}
inline Bytes Text(const char* s) {
  return Bytes(s, s + std::strlen(s));
}
inline Bytes Fill(size_t n, uint8_t value) {
  return Bytes(n, value);
}
// Bytes 0, 1, 2, ... (mod 251, so block boundaries do not line up with the pattern).
inline Bytes Ramp(size_t n, uint8_t start = 0) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = uint8_t((start + i) % 251);
  return b;
}

// A chunk with an explicit size field (may disagree with the content).
inline Bytes RawChunk(const char* id, uint32_t sizeField, const Bytes& content) {
  return Text(id) + Le32(sizeField) + content;
}
// A well-formed chunk: size of the content, pad byte after odd content.
inline Bytes Chunk(const char* id, const Bytes& content) {
  Bytes b = RawChunk(id, uint32_t(content.size()), content);
  if (content.size() & 1) b.push_back(0);
  return b;
}

inline Bytes FmtContent(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
  const uint16_t align = uint16_t(channels * ((bits + 7) / 8));
  return Le16(tag) + Le16(channels) + Le32(rate) + Le32(rate * align) + Le16(align) + Le16(bits);
}
inline Bytes Fmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
  return Chunk("fmt ", FmtContent(tag, channels, rate, bits));
}
inline Bytes Pcm16Stereo() {
  return Fmt(1, 2, 44100, 16);
}

// A RIFF form around chunks; the size field is right unless given.
inline Bytes Riff(const Bytes& chunks, const char* form = "WAVE") {
  return Text("RIFF") + Le32(uint32_t(4 + chunks.size())) + Text(form) + chunks;
}
inline Bytes RiffSized(uint32_t sizeField, const Bytes& chunks, const char* form = "WAVE") {
  return Text("RIFF") + Le32(sizeField) + Text(form) + chunks;
}
// An RF64 form whose first chunk is ds64; riffSize counts from offset 8.
inline Bytes Rf64(const Bytes& chunksAfterDs64, uint64_t dataSize, uint64_t sampleCount = 0,
                  uint32_t sizeField = 0xFFFFFFFFu) {
  const uint64_t riffSize = 4 + 36 + chunksAfterDs64.size();
  return Text("RF64") + Le32(sizeField) + Text("WAVE") +
         Chunk("ds64", Le64(riffSize) + Le64(dataSize) + Le64(sampleCount) + Le32(0)) +
         chunksAfterDs64;
}

// Named in-memory files for the reader's source opener.
struct MemoryFiles {
  std::map<std::string, Bytes> files;

  SourceOpener Opener() {
    return [this](const char* name) -> std::unique_ptr<ByteSource> {
      auto it = files.find(name);
      if (it == files.end()) return nullptr;
      return std::make_unique<MemoryByteSource>(it->second.data(), it->second.size());
    };
  }
};

}  // namespace ov::testbytes
