#include "app/analysis/SampleConversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace ov {
namespace {

int32_t UnpackOne(std::vector<uint8_t> frame, uint32_t bits) {
  int32_t out[2] = {7, 7};
  int32_t* channels[1] = {out};
  UnpackFrames(frame.data(), 1, static_cast<uint32_t>(frame.size()), bits, 1, channels);
  return out[0];
}

TEST(SampleConversion, UnpacksEveryWidthLeftJustified) {
  EXPECT_EQ(UnpackOne({128}, 8), 0);  // 8-bit silence
  EXPECT_EQ(UnpackOne({0}, 8), INT32_MIN);
  EXPECT_EQ(UnpackOne({255}, 8), 127 << 24);
  EXPECT_EQ(UnpackOne({0x00, 0x80}, 16), INT32_MIN);  // -32768
  EXPECT_EQ(UnpackOne({0xFF, 0x7F}, 16), 32767 * 65536);
  EXPECT_EQ(UnpackOne({0xFF, 0xFF}, 16), -65536);
  EXPECT_EQ(UnpackOne({0xFF, 0xFF, 0x7F}, 24), 2147483392);
  EXPECT_EQ(UnpackOne({0x00, 0x00, 0x80}, 24), INT32_MIN);
  EXPECT_EQ(UnpackOne({0x01, 0x00, 0x00}, 24), 256);
  EXPECT_EQ(UnpackOne({0x78, 0x56, 0x34, 0x92}, 32), static_cast<int32_t>(0x92345678u));
}

TEST(SampleConversion, UnpacksInterleavedChannelsWithPadding) {
  // 24-bit stereo in a 4-byte-per-sample frame of 8 bytes: channel 1 starts at byte 3.
  const uint8_t frames[16] = {0, 0, 1, 0, 0, 2, 9, 9, 0, 0, 0xFF, 0, 0, 0x80, 9, 9};
  int32_t left[2], right[2];
  int32_t* channels[2] = {left, right};
  UnpackFrames(frames, 2, 8, 24, 2, channels);
  EXPECT_EQ(left[0], 1 << 24);
  EXPECT_EQ(right[0], 2 << 24);
  EXPECT_EQ(left[1], -(1 << 24));
  EXPECT_EQ(right[1], INT32_MIN);
}

TEST(SampleConversion, PackedTwentyFourBitStereoWithTransformInput) {
  // Tightly packed frames: the last sample of the block ends the buffer, so a
  // read past it would show under the address sanitizer.
  std::vector<uint8_t> frames = {0x00, 0x00, 0x80, 0xFF, 0xFF, 0x7F, 0x01, 0x02, 0x03,
                                 0xFE, 0xFF, 0xFF, 0x10, 0x00, 0x00, 0x00, 0x00, 0xC0};
  int32_t left[3], right[3];
  int32_t* channels[2] = {left, right};
  std::vector<double> input(3);
  UnpackFrames(frames.data(), 3, 6, 24, 2, channels, 1, input.data());
  EXPECT_EQ(left[0], INT32_MIN);
  EXPECT_EQ(right[0], 2147483392);
  EXPECT_EQ(left[1], 0x03020100);
  EXPECT_EQ(right[1], -512);
  EXPECT_EQ(left[2], 0x1000);
  EXPECT_EQ(right[2], -(1 << 30));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(input[i], right[i] / 65536.0);
}

TEST(SampleConversion, FloatsClipToIntegerFullScaleAndNaNReadsZero) {
  const float in[] = {1.0f,
                      1.5f,
                      -1.0f,
                      -1.5f,
                      0.5f,
                      -0.25f,
                      1e-10f,
                      std::numeric_limits<float>::quiet_NaN(),
                      std::numeric_limits<float>::infinity()};
  constexpr size_t n = sizeof in / sizeof in[0];
  uint8_t bytes[4 * n + 1];
  std::memcpy(bytes + 1, in, sizeof in);  // deliberately unaligned
  FloatSamplesToInt32InPlace(bytes + 1, n);
  int32_t out[n];
  std::memcpy(out, bytes + 1, sizeof out);
  EXPECT_EQ(out[0], 2147483647);
  EXPECT_EQ(out[1], 2147483647);
  EXPECT_EQ(out[2], INT32_MIN);
  EXPECT_EQ(out[3], INT32_MIN);
  EXPECT_EQ(out[4], 1073741824);
  EXPECT_EQ(out[5], -536870912);
  EXPECT_EQ(out[6], 0);  // truncated toward zero
  EXPECT_EQ(out[7], 0);
  EXPECT_EQ(out[8], 2147483647);
}

TEST(SampleConversion, SpectrumInputIsInSixteenBitUnits) {
  const int32_t in[] = {INT32_MIN, 32767 * 65536, 256, -65536};
  double out[4];
  ToSpectrumInput(in, 4, out);
  EXPECT_EQ(out[0], -32768.0);
  EXPECT_EQ(out[1], 32767.0);
  EXPECT_EQ(out[2], 1.0 / 256.0);
  EXPECT_EQ(out[3], -1.0);
}

TEST(SampleConversion, ChannelLevelsOfFullScaleSineAndSilence) {
  std::vector<int32_t> sine(4410);
  for (size_t i = 0; i < sine.size(); ++i) {
    sine[i] = static_cast<int32_t>(
                  std::lround(32767.0 * std::sin(2 * 3.141592653589793 * 1000 * i / 44100.0))) *
              65536;
  }
  ChannelLevels levels = MeasureChannelLevels(sine.data(), sine.size(), false);
  EXPECT_EQ(levels.peak, 0);   // 32767 x 65536 against 2147483647
  EXPECT_EQ(levels.rms, -30);  // -3.01 dB
  EXPECT_EQ(MeasureChannelLevels(sine.data(), sine.size(), true).rms, 0);

  const std::vector<int32_t> silence(100, 0);
  levels = MeasureChannelLevels(silence.data(), silence.size(), false);
  EXPECT_EQ(levels.peak, -1866);  // one unit of 2^31
  EXPECT_EQ(levels.rms, static_cast<int32_t>(std::floor(200 * std::log10(0.01 / 32767) + 0.5)));

  const int32_t extremes[] = {INT32_MIN, 5};
  EXPECT_EQ(MeasureChannelLevels(extremes, 2, false).peak, 0);
}

}  // namespace
}  // namespace ov
