// Helpers shared by the writer's tests: formats, a notifier that keeps what
// it was asked to show, and little-endian field reads.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "app/common/UserNotifier.h"
#include "app/common/WaveFormat.h"

namespace ov::testing_support {

// The recording format the transport builds: tag 1 (or 3 for float) with no
// extension for 1-2 channels, extensible for more.
inline WaveFormat RecordFormat(uint16_t channels, uint32_t rate, uint16_t bits, bool isFloat) {
  WaveFormat f{};
  f.formatTag = isFloat ? kWaveFormatIeeeFloat : kWaveFormatPcm;
  f.channels = channels;
  f.samplesPerSec = rate;
  f.blockAlign = static_cast<uint16_t>(channels * (bits / 8));
  f.avgBytesPerSec = rate * f.blockAlign;
  f.bitsPerSample = bits;
  if (channels >= 3) {
    f.formatTag = kWaveFormatExtensible;
    f.extraSize = 22;
    f.validBitsPerSample = bits;
    f.channelMask = (1u << channels) - 1;
    std::memcpy(f.subFormat, isFloat ? kSubFormatIeeeFloat : kSubFormatPcm, 16);
  }
  return f;
}

class KeepingNotifier : public UserNotifier {
 public:
  std::vector<std::string> texts;
  NoticeAnswer Notify(std::string_view text, NoticeIcon) override {
    texts.emplace_back(text);
    return NoticeAnswer::Ok;
  }
};

inline uint32_t Le32(const uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline uint64_t Le64(const uint8_t* p) {
  return Le32(p) | static_cast<uint64_t>(Le32(p + 4)) << 32;
}
inline std::string Id(const uint8_t* p) {
  return std::string(reinterpret_cast<const char*>(p), 4);
}

// Bytes that differ at every position within a long run, so that a lost,
// doubled or shifted block shows.
inline void Pattern(uint64_t start, uint8_t* out, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    const uint64_t k = start + i;
    out[i] = static_cast<uint8_t>((k * 2654435761u) >> 13 ^ k >> 8);
  }
}

}  // namespace ov::testing_support
