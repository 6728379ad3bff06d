// The wave format record shared by every part that handles samples: the
// 40-byte extensible layout of a `fmt ` chunk, little-endian as stored.
#pragma once

#include <cstdint>
#include <cstring>

namespace ov {

constexpr uint16_t kWaveFormatPcm = 1;
constexpr uint16_t kWaveFormatIeeeFloat = 3;
constexpr uint16_t kWaveFormatExtensible = 0xFFFE;

// Sub-format GUIDs as their 16 stored bytes.
constexpr uint8_t kSubFormatPcm[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                       0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71};
constexpr uint8_t kSubFormatIeeeFloat[16] = {0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                             0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71};

#pragma pack(push, 1)
struct WaveFormat {
  uint16_t formatTag;
  uint16_t channels;
  uint32_t samplesPerSec;
  uint32_t avgBytesPerSec;
  uint16_t blockAlign;
  uint16_t bitsPerSample;
  uint16_t extraSize;
  uint16_t validBitsPerSample;
  uint32_t channelMask;
  uint8_t subFormat[16];
};
#pragma pack(pop)
static_assert(sizeof(WaveFormat) == 40, "WaveFormat is the 40-byte extensible fmt layout");

// Bits per sample for IEEE float data (tag 3, or extensible with the float
// sub-format); 0 for integer data.
inline uint32_t FloatWidth(const WaveFormat& f) {
  if (f.formatTag == kWaveFormatIeeeFloat ||
      (f.formatTag == kWaveFormatExtensible &&
       std::memcmp(f.subFormat, kSubFormatIeeeFloat, sizeof f.subFormat) == 0)) {
    return f.bitsPerSample;
  }
  return 0;
}

inline bool SameFormat(const WaveFormat& a, const WaveFormat& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace ov
