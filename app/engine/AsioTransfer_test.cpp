#include "app/engine/AsioTransfer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace ov::asio {
namespace {

TEST(AsioSample, DriverSamplesTo16BitsRoundAwayFromZeroWithoutOverflow) {
  EXPECT_EQ(Int32To16(0), 0);  // silence stays silence
  EXPECT_EQ(Int32To16(INT32_MAX), 32767);
  EXPECT_EQ(Int32To16(INT32_MIN), -32768);
  EXPECT_EQ(Int32To16(0x7FFF0000), 32767);
  EXPECT_EQ(Int32To16(0x1234F000), 0x1235);  // pushed over the next step
  EXPECT_EQ(Int32To16(0x12340FFF), 0x1234);
  EXPECT_EQ(Int32To16(-0x10000), -2);  // -1.0 LSB pushed one step further down
  EXPECT_EQ(Int32To16(-1), -1);
  EXPECT_EQ(Int24To16(8388607), 32767);
  EXPECT_EQ(Int24To16(-8388608), -32768);
  EXPECT_EQ(Int24To16(0), 0);
  EXPECT_EQ(Int24To16(0x123400), 0x1234);
}

TEST(AsioSample, FloatConversionsAtTheExtremes) {
  EXPECT_FLOAT_EQ(Int32ToFloat(INT32_MIN), -1.0f);
  EXPECT_NEAR(Int32ToFloat(INT32_MAX), 1.0f, 1e-6);
  EXPECT_FLOAT_EQ(Int24ToFloat(-8388608), -1.0f);
  EXPECT_FLOAT_EQ(Int24ToFloat(4194304), 0.5f);
  EXPECT_EQ(FloatTo24(1.0f), 8388607);
  EXPECT_EQ(FloatTo24(-1.0f), -8388608);
  EXPECT_EQ(FloatTo24(0.5f), 4194304);
  EXPECT_EQ(FloatTo24(-0.99999994f), -8388607);  // truncated towards zero
  EXPECT_EQ(FloatTo24(7.0f), 8388607);
  EXPECT_EQ(FloatTo24(-7.0f), -8388608);  // kept in 24 bits, not wrapped
  EXPECT_EQ(FloatTo24(std::numeric_limits<float>::quiet_NaN()), 0);
  EXPECT_EQ(FloatTo24(std::numeric_limits<float>::infinity()), 8388607);
}

// A ring of `frames` frames of `channels` samples of `bytes` bytes.
struct Ring {
  Ring(uint32_t frames, uint32_t channels, int32_t bits)
      : bytes(bits == -32 ? 4 : static_cast<uint32_t>(bits) / 8),
        data(static_cast<size_t>(frames) * channels * bytes) {
    side.Attach(data.data(), data.size(), channels, bits, channels * bytes,
                static_cast<uint32_t>(data.size() / 2));
  }
  uint8_t* At(uint32_t frame, uint32_t ch) { return &data[(frame * side.channels + ch) * bytes]; }
  uint32_t bytes;
  std::vector<uint8_t> data;
  RingSide side;
};

int32_t Get(const uint8_t* p, uint32_t bytes) {
  if (bytes == 1) return p[0];
  if (bytes == 2) return static_cast<int16_t>(p[0] | p[1] << 8);
  if (bytes == 3) return Load24(p);
  int32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
void Put(uint8_t* p, uint32_t bytes, int32_t v) {
  if (bytes == 1) p[0] = static_cast<uint8_t>(v);
  if (bytes == 2) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
  }
  if (bytes == 3) Store24(p, v);
  if (bytes == 4) std::memcpy(p, &v, 4);
}
float GetFloat(const uint8_t* p) {
  float f;
  std::memcpy(&f, p, 4);
  return f;
}
void PutFloat(uint8_t* p, float f) {
  std::memcpy(p, &f, 4);
}

struct OutCase {
  int32_t type;
  int32_t ringBits;
  double ringValue;  // ring sample (float when ringBits is -32)
  int32_t expected;  // driver sample
};

TEST(AsioConvert, OutputEveryTypeAndRingWidthAtTheExtremes) {
  const OutCase cases[] = {
      {kInt16LSB, 8, 0, -32768},
      {kInt16LSB, 8, 255, 32512},
      {kInt16LSB, 8, 128, 0},
      {kInt16LSB, 16, -32768, -32768},
      {kInt16LSB, 16, 32767, 32767},
      {kInt24LSB, 8, 0, -8388608},
      {kInt24LSB, 8, 255, 127 << 16},
      {kInt24LSB, 16, -32768, -8388608},
      {kInt24LSB, 16, 32767, 32767 * 256},
      {kInt24LSB, 24, -8388608, -8388608},
      {kInt24LSB, 24, 8388607, 8388607},
      {kInt24LSB, -32, 1.0, 8388607},
      {kInt24LSB, -32, -1.0, -8388608},
      {kInt24LSB, -32, 2.5, 8388607},
      {kInt24LSB, -32, -2.5, -8388608},
      {kInt32LSB, 8, 0, INT32_MIN},
      {kInt32LSB, 8, 255, 127 << 24},
      {kInt32LSB, 16, -32768, INT32_MIN},
      {kInt32LSB, 16, 32767, 32767 << 16},
      {kInt32LSB, 24, 8388607, 8388607 * 256},
      {kInt32LSB, 24, -8388608, INT32_MIN},
      {kInt32LSB, 32, INT32_MAX, INT32_MAX},
      {kInt32LSB, 32, INT32_MIN, INT32_MIN},
      {kInt32LSB, -32, 1.0, 8388607 * 256},
      {kInt32LSB, -32, -1.0, INT32_MIN},
  };
  for (const OutCase& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "type " << c.type << " ring " << c.ringBits << " value " << c.ringValue);
    Ring r(4, 2, c.ringBits);
    // Second channel of frame 1 carries the value; its neighbours differ.
    for (uint32_t f = 0; f < 4; ++f) {
      for (uint32_t ch = 0; ch < 2; ++ch) {
        if (c.ringBits == -32) {
          PutFloat(r.At(f, ch), f == 1 && ch == 1 ? static_cast<float>(c.ringValue) : 0.25f);
        } else {
          Put(r.At(f, ch), r.bytes, f == 1 && ch == 1 ? static_cast<int32_t>(c.ringValue) : 100);
        }
      }
    }
    const uint32_t sb = SampleBytes(c.type);
    std::vector<uint8_t> out(4 * sb, 0xEE);
    EXPECT_EQ(ConvertOutput(out.data(), c.type, r.side, r.At(1, 0), 1, 1), 0);
    EXPECT_EQ(Get(out.data(), sb), c.expected);
    EXPECT_EQ(out[sb], 0xEE);  // only one sample written
  }
}

struct InCase {
  int32_t type;
  int32_t driverValue;
  int32_t ringBits;
  double expected;
};

TEST(AsioConvert, InputEveryTypeAndRingWidthAtTheExtremes) {
  const InCase cases[] = {
      {kInt16LSB, -32768, 16, -32768},
      {kInt16LSB, 32767, 16, 32767},
      {kInt24LSB, -8388608, 24, -8388608},
      {kInt24LSB, 8388607, 24, 8388607},
      {kInt24LSB, -8388608, 16, -32768},
      {kInt24LSB, 8388607, 16, 32767},
      {kInt24LSB, 0, 16, 0},
      {kInt24LSB, -8388608, -32, -1.0},
      {kInt24LSB, 4194304, -32, 0.5},
      {kInt32LSB, INT32_MIN, 32, INT32_MIN},
      {kInt32LSB, INT32_MAX, 32, INT32_MAX},
      {kInt32LSB, INT32_MAX, 24, 8388607},
      {kInt32LSB, INT32_MIN, 24, -8388608},
      {kInt32LSB, INT32_MAX, 16, 32767},
      {kInt32LSB, INT32_MIN, 16, -32768},
      {kInt32LSB, INT32_MIN, -32, -1.0},
      {kInt32LSB, 0x40000000, -32, 0.5},
  };
  for (const InCase& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "type " << c.type << " value " << c.driverValue << " ring " << c.ringBits);
    Ring r(4, 2, c.ringBits);
    std::memset(r.data.data(), 0x11, r.data.size());
    const uint32_t sb = SampleBytes(c.type);
    std::vector<uint8_t> in(sb);
    Put(in.data(), sb, c.driverValue);
    EXPECT_EQ(ConvertInput(in.data(), c.type, r.side, r.At(2, 0), 1, 1), 0);
    if (c.ringBits == -32) {
      EXPECT_FLOAT_EQ(GetFloat(r.At(2, 1)), static_cast<float>(c.expected));
    } else {
      EXPECT_EQ(Get(r.At(2, 1), r.bytes), static_cast<int32_t>(c.expected));
    }
    EXPECT_EQ(*r.At(2, 0), 0x11);  // the other channel untouched
  }
}

TEST(AsioConvert, UnsupportedTypesZeroOutputsAndAreReported) {
  Ring r(4, 2, 16);
  std::vector<uint8_t> out(4 * 8, 0xEE);
  EXPECT_EQ(ConvertOutput(out.data(), kFloat32LSB, r.side, r.side.start, 0, 4), 19);
  EXPECT_EQ(out[15], 0);
  EXPECT_EQ(out[16], 0xEE);
  EXPECT_EQ(ConvertOutput(out.data(), kFloat64LSB, r.side, r.side.start, 0, 4), 20);
  EXPECT_EQ(out[31], 0);
  EXPECT_EQ(ConvertOutput(out.data(), kInt32LSB24, r.side, r.side.start, 0, 1), 27);
  EXPECT_EQ(ConvertOutput(out.data(), kInt16MSB, r.side, r.side.start, 0, 1), -999);
  EXPECT_EQ(ConvertInput(out.data(), kFloat32LSB, r.side, r.side.start, 0, 1), 19);
  EXPECT_EQ(ConvertInput(out.data(), 99, r.side, r.side.start, 0, 1), -999);
  // A supported type with a ring width it has no conversion for is left alone.
  std::fill(out.begin(), out.end(), 0xEE);
  Ring r32(4, 2, 32);
  EXPECT_EQ(ConvertOutput(out.data(), kInt16LSB, r32.side, r32.side.start, 0, 4), 0);
  EXPECT_EQ(out[0], 0xEE);
}

TEST(AsioTransfer, CopiesInterleavedWrapsAtTheRingEndAndSignalsPerRingBuffer) {
  // Ring: 6 frames of stereo 16-bit, buffers of 3 frames; halves of 4 frames.
  std::vector<uint8_t> ring(6 * 4);
  for (size_t i = 0; i < ring.size() / 2; ++i) {
    const int16_t v = static_cast<int16_t>(1000 + i);
    std::memcpy(&ring[2 * i], &v, 2);
  }
  TransferSet set;
  set.frames = 4;
  set.out.Attach(ring.data(), ring.size(), 2, 16, 4, 12);
  set.out.running = true;
  int16_t halves[2][2][4] = {};
  for (uint32_t c = 0; c < 2; ++c) {
    set.channels[c].input = false;
    set.channels[c].type = kInt16LSB;
    set.channels[c].halves[0] = halves[c][0];
    set.channels[c].halves[1] = halves[c][1];
    set.channels[c].place = c;
  }
  set.count = 2;
  EXPECT_EQ(Transfer(set, 0), 0);
  EXPECT_EQ(halves[0][0][0], 1000);
  EXPECT_EQ(halves[1][0][0], 1001);
  EXPECT_EQ(halves[0][0][3], 1006);
  EXPECT_TRUE(Account(set.out, 4, false));  // 16 bytes passed the first 12
  EXPECT_EQ(Transfer(set, 1), 0);
  // Frames 4, 5, then 0, 1 after the wrap.
  EXPECT_EQ(halves[0][1][0], 1008);
  EXPECT_EQ(halves[1][1][1], 1011);
  EXPECT_EQ(halves[0][1][2], 1000);
  EXPECT_EQ(halves[1][1][3], 1003);
  EXPECT_TRUE(Account(set.out, 4, false));  // 32 >= 24
  EXPECT_EQ(Transfer(set, 0), 0);
  EXPECT_TRUE(Account(set.out, 4, false));  // 48 >= 36
  EXPECT_EQ(Transfer(set, 1), 0);
  EXPECT_TRUE(Account(set.out, 4, false));  // 64 >= 48
  EXPECT_EQ(set.out.cursor, ring.data() + (16 % 6) * 4);
  EXPECT_TRUE(Account(set.out, 0, false));   // 64 >= 60: the next call makes up the lag
  EXPECT_FALSE(Account(set.out, 0, false));  // 64 < 72
  EXPECT_TRUE(Account(set.out, 0, true));    // a failure always wakes the pump
  set.out.running = false;
  EXPECT_FALSE(Account(set.out, 100, true));
}

TEST(AsioTransfer, MonoRingFeedsBothOutputsFromTheSameSample) {
  std::vector<int16_t> ring = {10, 20, 30, 40};
  TransferSet set;
  set.frames = 4;
  set.out.Attach(reinterpret_cast<uint8_t*>(ring.data()), 8, 1, 16, 2, 4);
  int16_t left[4] = {}, right[4] = {};
  set.channels[0] = {false, kInt16LSB, {left, left}, PlaceInFrame(0, 1)};
  set.channels[1] = {false, kInt16LSB, {right, right}, PlaceInFrame(1, 1)};
  set.count = 2;
  Transfer(set, 0);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(left[i], ring[i]);
    EXPECT_EQ(right[i], ring[i]);
  }
}

TEST(AsioTransfer, ZeroFillClearsEveryOutputBufferEvenAfterInputs) {
  TransferSet set;
  set.frames = 8;
  uint8_t in[2][24], o16[2][16], o24[2][24], of[2][32];
  std::memset(in, 0x55, sizeof in);
  std::memset(o16, 0x55, sizeof o16);
  std::memset(o24, 0x55, sizeof o24);
  std::memset(of, 0x55, sizeof of);
  set.channels[0] = {true, kInt24LSB, {in[0], in[1]}, 0};
  set.channels[1] = {true, kInt24LSB, {in[0], in[1]}, 1};
  set.channels[2] = {false, kInt16LSB, {o16[0], o16[1]}, 0};
  set.channels[3] = {false, kInt24LSB, {o24[0], o24[1]}, 1};
  set.channels[4] = {false, kFloat32LSB, {of[0], of[1]}, 2};
  set.count = 5;
  ZeroOutputs(set);
  for (int h = 0; h < 2; ++h) {
    for (uint8_t b : o16[h]) EXPECT_EQ(b, 0);
    for (uint8_t b : o24[h]) EXPECT_EQ(b, 0);
    for (uint8_t b : of[h]) EXPECT_EQ(b, 0);
    for (uint8_t b : in[h]) EXPECT_EQ(b, 0x55);
  }
}

}  // namespace
}  // namespace ov::asio
