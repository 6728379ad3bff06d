#include "app/display/WaveReadout.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/display/WaveTrace.h"

namespace ov {
namespace {

WaveAxis Axis(int32_t sampleN, int32_t xMag, int32_t w, int32_t h) {
  WaveAxisInput in;
  in.sampleN = sampleN;
  in.xMag = xMag;
  in.yMag = 1;
  in.width = w;
  in.height = h;
  WaveAxis axis;
  ComputeWaveAxis(in, StaticKp05Api().DLL_PrepareCoordinatesSub, axis);
  return axis;
}

TEST(WaveReadout, IndexFollowsTheMouseAndIsClampedToThePlot) {
  const WaveAxis a = Axis(4096, 4, 512, 100);  // n = 1024, d = 1023
  EXPECT_EQ(ReadoutIndex(a, 0), 0);
  EXPECT_EQ(ReadoutIndex(a, 511), 1023);
  EXPECT_EQ(ReadoutIndex(a, 255), static_cast<int32_t>(255.0 * 1023 / 511 + 0.5));
  EXPECT_EQ(ReadoutIndex(a, -40), 0);
  EXPECT_EQ(ReadoutIndex(a, 9000), 1023);
}

// One positive and one negative spike in the shown samples.
struct SpikeFrame {
  SpikeFrame(int32_t n, int32_t high, int32_t low) : samples(n, 0) {
    samples[high] = 20000 << 16;
    samples[low] = -20000 * 65536;
  }
  std::vector<int32_t> samples;
};

TEST(WaveReadout, ClickAboveTheTraceSnapsToTheLargestSample) {
  WaveAxis a = Axis(2048, 1, 2048, 200);  // one sample per column
  SpikeFrame f(2048, 1000, 1003);
  ComputeWavePoints(a, f.samples.data());
  const PeakSnap up = SnapToPeak(a, f.samples.data(), 1001, 20);
  EXPECT_TRUE(up.up);
  EXPECT_EQ(up.index, 1000);
  EXPECT_EQ(up.x, 1000);
  EXPECT_EQ(up.y, WaveSampleY(20000 << 16, 200, 1));
  const PeakSnap down = SnapToPeak(a, f.samples.data(), 1001, 180);
  EXPECT_FALSE(down.up);
  EXPECT_EQ(down.index, 1003);
}

TEST(WaveReadout, SnappingAtBothEndsStaysInsideTheShownSamples) {
  WaveAxis a = Axis(2048, 1, 2048, 200);
  SpikeFrame f(2048, 0, 2047);
  ComputeWavePoints(a, f.samples.data());
  const PeakSnap left = SnapToPeak(a, f.samples.data(), 0, 3);  // near the top: up
  EXPECT_TRUE(left.up);
  EXPECT_EQ(left.index, 0);
  EXPECT_EQ(left.x, 0);
  const PeakSnap right = SnapToPeak(a, f.samples.data(), 2047, 197);  // near the bottom
  EXPECT_FALSE(right.up);
  EXPECT_EQ(right.index, 2047);
  EXPECT_EQ(right.x, 2047);
  // Far outside the plot (a drag beyond the edge) is clamped.
  EXPECT_EQ(SnapToPeak(a, f.samples.data(), 99999, 197).index, 2047);
  EXPECT_EQ(SnapToPeak(a, f.samples.data(), -99999, 3).index, 0);
}

TEST(WaveReadout, DenseColumnsSnapToTheirExtremePointClampedToThePlot) {
  WaveAxis a = Axis(65536, 1, 256, 100);  // 256 samples per column
  std::vector<int32_t> s(65536, 0);
  s[30000] = INT32_MAX;  // beyond the plot at x1: clamped to the top row
  ComputeWavePoints(a, s.data());
  const PeakSnap p = SnapToPeak(a, s.data(), 117, 2);
  EXPECT_EQ(p.index, 30000);
  EXPECT_EQ(p.x, 30000 * 255 / 65535);
  EXPECT_EQ(p.y, 0);
}

TEST(WaveReadout, TinyWindowWithFewSamples) {
  WaveAxis a = Axis(128, 20, 300, 100);  // 6 samples shown
  std::vector<int32_t> s(128, 0);
  s[4] = 1000 << 16;
  ComputeWavePoints(a, s.data());
  // r = 2: the window is samples 0 ... 4 for a click at the left edge.
  const PeakSnap p = SnapToPeak(a, s.data(), 0, 1);
  EXPECT_EQ(p.index, 4);
  EXPECT_EQ(p.x, 4 * 299 / 5);
}

TEST(WaveReadout, ValueTextAtEachFormatBoundary) {
  const struct {
    int32_t sample, bits;
    bool hex;
    const char* text;
  } cases[] = {
      {0x12340000, 8, true, " 0x1234  "},
      {-65536, 16, true, " 0xFFFF  "},
      {0x12345678, 24, true, "1234.5678"},
      {INT32_MIN, 32, true, "8000.0000"},
      {-32768 * 65536, 16, false, " -32768  "},
      {32767 * 65536, 8, false, "  32767  "},
      {65536 * 999 + 32768, 24, false, " 999.5000"},
      {65536 * 1000, 24, false, "  1000.00"},
      {-65536 * 1000, 32, false, " -1000.00"},
      {-65536 * 999, 32, false, "-999.0000"},
  };
  for (const auto& c : cases) {
    char text[32];
    FormatReadoutValue(c.sample, c.bits, c.hex, text);
    EXPECT_STREQ(text, c.text) << c.sample << " " << c.bits;
  }
}

TEST(WaveReadout, TimeTextInTheUnitOfTheShownSpan) {
  const struct {
    int32_t index;
    uint32_t rate;
    int64_t span;
    const char* text;
  } cases[] = {
      {3, 44100, 9999, "   68.0us"},   // 680.3 units
      {3, 44100, 10000, "  0.068ms"},  // from 1 ms on
      {441, 44100, 999999, " 10.000ms"},
      {441, 44100, 1000000, "  10.00ms"},  // from 100 ms on
      {44100, 44100, 9999999, "1000.00ms"},
      {44100, 44100, 10000000, "  1.000s"},  // from 1 s on
      {441000, 44100, 999999999, " 10.000s"},
      {441000, 44100, 1000000000, "   10.00s"},  // from 100 s on
  };
  for (const auto& c : cases) {
    char text[32];
    FormatReadoutTime(c.index, c.rate, c.span, text);
    EXPECT_STREQ(text, c.text) << c.span;
  }
}

}  // namespace
}  // namespace ov
