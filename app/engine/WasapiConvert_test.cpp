// The conversion tables at the extremes of every width, against hand-worked
// device bytes, both ways; pairs outside the tables write nothing.
#include "app/engine/WasapiConvert.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace ov {
namespace {

WasapiSampleLayout Layout(int32_t deviceBits, int32_t sourceBits, uint32_t channels = 1,
                          bool deviceFloat = false, bool mono = false) {
  WasapiSampleLayout l;
  l.deviceBits = deviceBits;
  l.deviceFloat = deviceFloat;
  l.sourceBits = sourceBits;
  l.channels = channels;
  l.monoToStereo = mono;
  return l;
}

std::vector<uint8_t> Bytes(std::initializer_list<int> b) {
  std::vector<uint8_t> v;
  for (int x : b) v.push_back(static_cast<uint8_t>(x));
  return v;
}
std::vector<uint8_t> S16(std::initializer_list<int16_t> s) {
  std::vector<uint8_t> v(s.size() * 2);
  std::memcpy(v.data(), s.begin(), v.size());
  return v;
}
std::vector<uint8_t> S32(std::initializer_list<int32_t> s) {
  std::vector<uint8_t> v(s.size() * 4);
  std::memcpy(v.data(), s.begin(), v.size());
  return v;
}
std::vector<uint8_t> F32(std::initializer_list<float> s) {
  std::vector<uint8_t> v(s.size() * 4);
  std::memcpy(v.data(), s.begin(), v.size());
  return v;
}

// Converts out one frame per sample and returns the device bytes.
std::vector<uint8_t> Out(const WasapiSampleLayout& l, const std::vector<uint8_t>& ring) {
  const uint32_t frames = static_cast<uint32_t>(ring.size() / RingFrameBytes(l));
  std::vector<uint8_t> dev(size_t{frames} * DeviceFrameBytes(l, true) + 8, 0xEE);
  const size_t n = ConvertOut(l, ring.data(), frames, dev.data());
  dev.resize(n);
  return dev;
}
std::vector<uint8_t> In(const WasapiSampleLayout& l, const std::vector<uint8_t>& dev) {
  const uint32_t frames = static_cast<uint32_t>(dev.size() / DeviceFrameBytes(l, false));
  std::vector<uint8_t> ring(size_t{frames} * RingFrameBytes(l) + 8, 0xEE);
  const size_t n = ConvertIn(l, dev.data(), frames, ring.data());
  ring.resize(n);
  return ring;
}

const float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(WasapiConvertOut, EightBitSourcesWidenToEveryContainer) {
  const auto ring = Bytes({0, 128, 255, 1});
  EXPECT_EQ(Out(Layout(16, 8), ring), S16({-32768, 0, 32512, -32512}));
  EXPECT_EQ(Out(Layout(24, 8), ring), Bytes({0, 0, 0x80, 0, 0, 0, 0, 0, 0x7F, 0, 0, 0x81}));
  EXPECT_EQ(Out(Layout(32, 8), ring), S32({INT32_MIN, 0, 0x7F000000, -0x7F000000}));
}

TEST(WasapiConvertOut, SixteenBitSourcesCopyOrShiftExactly) {
  const auto ring = S16({-32768, 32767, -1, 1});
  EXPECT_EQ(Out(Layout(16, 16), ring), ring);
  EXPECT_EQ(Out(Layout(24, 16), ring),
            Bytes({0, 0x00, 0x80, 0, 0xFF, 0x7F, 0, 0xFF, 0xFF, 0, 0x01, 0x00}));
  EXPECT_EQ(Out(Layout(32, 16), ring), S32({INT32_MIN, 32767 * 65536, -65536, 65536}));
}

TEST(WasapiConvertOut, TwentyFourAndThirtyTwoBitSources) {
  const auto s24 = Bytes({0x00, 0x00, 0x80, 0xFF, 0xFF, 0x7F, 0x01, 0x02, 0x03});
  EXPECT_EQ(Out(Layout(24, 24), s24), s24);
  EXPECT_EQ(Out(Layout(32, 24), s24), S32({INT32_MIN, 0x7FFFFF00, 0x03020100}));
  const auto s32 = S32({INT32_MIN, INT32_MAX, 5});
  EXPECT_EQ(Out(Layout(32, 32), s32), s32);
}

TEST(WasapiConvertOut, FloatsTruncateAndClipAtBothEndsNanIsZero) {
  const auto ring = F32({1.0f, -1.0f, 1.5f, -1.5f, kNaN, 0.5f, -0.25f, 1.0f / 8388608.0f * 2.7f});
  // trunc(f x 8388608): 1.0 -> 8388608 clipped to 8388607; -1.0 -> -8388608;
  // 2.7 LSB truncates to 2.
  EXPECT_EQ(Out(Layout(24, -32), ring),
            Bytes({0xFF, 0xFF, 0x7F, 0x00, 0x00, 0x80, 0xFF, 0xFF, 0x7F, 0x00, 0x00, 0x80,
                   0,    0,    0,    0x00, 0x00, 0x40, 0x00, 0x00, 0xE0, 0x02, 0x00, 0x00}));
  EXPECT_EQ(Out(Layout(32, -32), ring),
            S32({0x7FFFFF00, INT32_MIN, 0x7FFFFF00, INT32_MIN, 0, 0x40000000, -0x20000000, 0x200}));
}

TEST(WasapiConvertOut, FloatEndpointReceivesFloats) {
  const auto f = F32({1.0f, -1.5f, 0.125f});
  EXPECT_EQ(Out(Layout(32, -32, 1, true), f), f);
  EXPECT_EQ(Out(Layout(32, 16, 1, true), S16({-32768, 16384})), F32({-1.0f, 0.5f}));
  EXPECT_EQ(Out(Layout(32, 8, 1, true), Bytes({0, 192})), F32({-1.0f, 0.5f}));
  EXPECT_EQ(Out(Layout(32, 24, 1, true), Bytes({0, 0, 0x80, 0, 0, 0x40})), F32({-1.0f, 0.5f}));
  EXPECT_EQ(Out(Layout(32, 32, 1, true), S32({INT32_MIN, 0x40000000})), F32({-1.0f, 0.5f}));
}

TEST(WasapiConvertOut, MonoToStereoWritesEachSampleTwice) {
  EXPECT_EQ(Out(Layout(16, 16, 1, false, true), S16({7, -9})), S16({7, 7, -9, -9}));
  EXPECT_EQ(Out(Layout(32, 16, 1, false, true), S16({1, -1})), S32({65536, 65536, -65536, -65536}));
  EXPECT_EQ(Out(Layout(16, 8, 1, false, true), Bytes({129})), S16({256, 256}));
}

TEST(WasapiConvertOut, PairsOutsideTheTableWriteNothing) {
  std::vector<uint8_t> dev(16, 0xEE);
  const auto ring = S32({1, 2});
  for (const auto& l : {Layout(16, 24), Layout(16, 32), Layout(16, -32), Layout(24, 32),
                        Layout(8, 8), Layout(24, 16, 1, true)}) {
    EXPECT_EQ(ConvertOut(l, ring.data(), 1, dev.data()), 0u);
  }
  EXPECT_EQ(dev, std::vector<uint8_t>(16, 0xEE));
}

TEST(WasapiConvertIn, EveryPairOfTheTable) {
  const auto s16 = S16({-32768, 32767});
  EXPECT_EQ(In(Layout(16, 16), s16), s16);
  const auto s24 = Bytes({0x00, 0x00, 0x80, 0xFF, 0xFF, 0x7F});
  EXPECT_EQ(In(Layout(24, 24), s24), s24);
  // (s24 x 256) x 2^-31: -1.0 exactly, (2^23 - 1) / 2^23.
  EXPECT_EQ(In(Layout(24, -32), s24), F32({-1.0f, 8388607.0f / 8388608.0f}));
  const auto s32 = S32({INT32_MIN, 0x7FFFFF00, 0x12345678});
  EXPECT_EQ(In(Layout(32, 32), s32), s32);
  EXPECT_EQ(In(Layout(32, 24), s32), Bytes({0x00, 0x00, 0x80, 0xFF, 0xFF, 0x7F, 0x56, 0x34, 0x12}));
  EXPECT_EQ(In(Layout(32, -32), S32({INT32_MIN, 0x40000000})), F32({-1.0f, 0.5f}));
  const auto f = F32({0.75f, -2.0f});
  EXPECT_EQ(In(Layout(32, -32, 1, true), f), f);
}

TEST(WasapiConvertIn, PairsOutsideTheTableWriteNothing) {
  std::vector<uint8_t> ring(16, 0xEE);
  const auto dev = S32({1, 2});
  for (const auto& l :
       {Layout(16, 24), Layout(24, 16), Layout(32, 16), Layout(16, -32), Layout(32, 16, 1, true)}) {
    EXPECT_EQ(ConvertIn(l, dev.data(), 1, ring.data()), 0u);
  }
  EXPECT_EQ(ring, std::vector<uint8_t>(16, 0xEE));
}

TEST(WasapiConvert, FloatToS24Limits) {
  EXPECT_EQ(FloatToS24(std::numeric_limits<float>::infinity()), 8388607);
  EXPECT_EQ(FloatToS24(-std::numeric_limits<float>::infinity()), -8388608);
  EXPECT_EQ(FloatToS24(-1.0f / 8388608.0f * 0.9f), 0);
  EXPECT_EQ(FloatToS24(kNaN), 0);
}

}  // namespace
}  // namespace ov
