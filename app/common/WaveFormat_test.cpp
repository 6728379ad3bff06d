#include "app/common/WaveFormat.h"

#include <gtest/gtest.h>

namespace ov {
namespace {

WaveFormat Format(uint16_t tag, uint16_t bits, const uint8_t* subFormat = nullptr) {
  WaveFormat f{};
  f.formatTag = tag;
  f.bitsPerSample = bits;
  if (subFormat) std::memcpy(f.subFormat, subFormat, 16);
  return f;
}

TEST(FloatWidth, FloatTagsGiveTheirBitsIntegerTagsZero) {
  EXPECT_EQ(FloatWidth(Format(kWaveFormatIeeeFloat, 32)), 32u);
  EXPECT_EQ(FloatWidth(Format(kWaveFormatIeeeFloat, 64)), 64u);
  EXPECT_EQ(FloatWidth(Format(kWaveFormatExtensible, 32, kSubFormatIeeeFloat)), 32u);
  EXPECT_EQ(FloatWidth(Format(kWaveFormatExtensible, 32, kSubFormatPcm)), 0u);
  EXPECT_EQ(FloatWidth(Format(kWaveFormatPcm, 32)), 0u);
  // An extensible record with no sub-format at all is not float.
  EXPECT_EQ(FloatWidth(Format(kWaveFormatExtensible, 32)), 0u);
}

TEST(WaveFormat, LaysOutLikeTheFmtChunk) {
  // The extensible fmt content of 24-bit stereo 48 kHz PCM, as stored.
  const uint8_t stored[40] = {0xFE, 0xFF, 2,    0,    0x80, 0xBB, 0,    0,    0x00, 0x65,
                              0x04, 0,    6,    0,    24,   0,    22,   0,    24,   0,
                              3,    0,    0,    0,    0x01, 0x00, 0x00, 0x00, 0x00, 0x00,
                              0x10, 0x00, 0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71};
  WaveFormat f;
  std::memcpy(&f, stored, sizeof f);
  EXPECT_EQ(f.formatTag, kWaveFormatExtensible);
  EXPECT_EQ(f.channels, 2);
  EXPECT_EQ(f.samplesPerSec, 48000u);
  EXPECT_EQ(f.avgBytesPerSec, 288000u);
  EXPECT_EQ(f.blockAlign, 6);
  EXPECT_EQ(f.validBitsPerSample, 24);
  EXPECT_EQ(f.channelMask, 3u);
  EXPECT_EQ(FloatWidth(f), 0u);
}

}  // namespace
}  // namespace ov
