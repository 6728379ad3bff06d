#include "app/display/WaveTrace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace ov {
namespace {

constexpr double kPi = 3.14159265358979323846;

WaveAxis Axis(int32_t sampleN, int32_t xMag, int32_t yMag, int32_t w, int32_t h) {
  WaveAxisInput in;
  in.sampleN = sampleN;
  in.xMag = xMag;
  in.yMag = yMag;
  in.width = w;
  in.height = h;
  WaveAxis axis;
  ComputeWaveAxis(in, StaticKp05Api().DLL_PrepareCoordinatesSub, axis);
  return axis;
}

TEST(WaveTrace, FullScaleSpansThePlotTimesTheMagnification) {
  EXPECT_EQ(WaveSampleY(0, 200, 1), 100 - 1 / 2);
  EXPECT_EQ(WaveSampleY(32767 << 16, 200, 1), 100 - (32767LL * 200 + 32768) / 65536);
  EXPECT_EQ(WaveSampleY(INT32_MIN, 200, 1), 100 - (-32768LL * 200 + 32768) / 65536);
  // x3: a third of full scale reaches the plot's top edge.
  EXPECT_NEAR(WaveSampleY(10923 << 16, 200, 3), 0, 1);
}

// Brute force: every column from its own samples, straight from the rule.
TEST(WaveTrace, ColumnFoldingMatchesBruteForce) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int32_t> value(INT32_MIN, INT32_MAX);
  for (int32_t w : {3, 50, 333, 1024, 2000}) {
    for (int32_t xMag : {1, 3, 20}) {
      WaveAxis axis = Axis(4096, xMag, 2, w, 181);
      std::vector<int32_t> samples(4096);
      for (auto& s : samples) s = value(rng);
      ComputeWavePoints(axis, samples.data());
      int32_t first = 0, point = 0;
      for (int32_t c = 0; c < axis.columnCount; ++c) {
        const int32_t run = axis.columnRuns[c];
        auto y = [&](int32_t j) { return WaveSampleY(samples[first + j], 181, 2); };
        if (run <= 4) {
          for (int32_t j = 0; j < run; ++j) ASSERT_EQ(axis.points[point + j].y, y(j));
          point += run;
        } else {
          int32_t lo = y(1), hi = y(1);
          for (int32_t j = 2; j <= run - 2; ++j) {
            lo = std::min(lo, y(j));
            hi = std::max(hi, y(j));
          }
          ASSERT_EQ(axis.points[point].y, y(0));
          ASSERT_EQ(axis.points[point + 1].y, lo);
          ASSERT_EQ(axis.points[point + 2].y, hi);
          ASSERT_EQ(axis.points[point + 3].y, y(run - 1)) << c;
          point += 4;
        }
        first += run;
      }
      EXPECT_EQ(point, axis.pointCount);
      EXPECT_EQ(first, axis.n);
    }
  }
}

std::vector<int32_t> Sine(int32_t count, double period, double phase, int32_t amplitude16) {
  std::vector<int32_t> s(count);
  for (int32_t i = 0; i < count; ++i)
    s[i] = static_cast<int32_t>(std::lround(amplitude16 * std::sin(2 * kPi * i / period + phase))) *
           65536;
  return s;
}

TEST(WaveTrace, TriggerFindsTheFirstRisingZeroCrossing) {
  // Starts at a crest: the first rising crossing lies three quarters in.
  const auto s = Sine(4096, 100.0, kPi / 2, 20000);
  const int32_t start = TriggerStart(s.data(), 4096, 4, 3, true);
  EXPECT_GE(start, 74);
  EXPECT_LE(start, 75);
  EXPECT_LT(s[start], s[start + 1]);
  EXPECT_GE(s[start + 1], 0);
}

TEST(WaveTrace, NoTriggerAtMagnificationOneOrWhenNotLive) {
  const auto s = Sine(4096, 100.0, kPi / 2, 20000);
  EXPECT_EQ(TriggerStart(s.data(), 4096, 1, 3, true), 0);
  EXPECT_EQ(TriggerStart(s.data(), 4096, 4, 3, false), 0);
}

TEST(WaveTrace, SilenceOrNoiseBelowThresholdStartsAtTheSearchEnd) {
  std::vector<int32_t> silence(4096, 0);
  EXPECT_EQ(TriggerStart(silence.data(), 4096, 4, 3, true), 2047);
  std::vector<int32_t> big(131072, 0);
  EXPECT_EQ(TriggerStart(big.data(), 131072, 4, 3, true), 8191);
  std::vector<int32_t> tiny(128, 0);
  EXPECT_EQ(TriggerStart(tiny.data(), 128, 20, 1, true), 63);
}

}  // namespace
}  // namespace ov
