#include "app/display/LissajousPoints.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace ov {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Samples left-justified to 32 bits at `amplitude` of full scale.
std::vector<int32_t> Tone(uint32_t n, double amplitude, double phase) {
  std::vector<int32_t> s(n);
  for (uint32_t i = 0; i < n; ++i) {
    const double v = amplitude * 32767.0 * std::sin(2 * kPi * i / 100.0 + phase);
    s[i] = static_cast<int32_t>(std::lround(v)) * 65536;
  }
  return s;
}

TEST(LissajousPoints, SineAndCosineDrawACircle) {
  const auto left = Tone(1000, 0.5, 0), right = Tone(1000, 0.5, kPi / 2);
  std::vector<PlotPoint> p(1000);
  ASSERT_EQ(ComputeLissajousPoints(left.data(), right.data(), 1000, 1, 200, 200, p.data()), 1000u);
  for (const PlotPoint& q : p) {
    const double r = std::hypot(q.x - 100.0, q.y - 100.0);
    EXPECT_NEAR(r, 50.0, 1.0) << q.x << "," << q.y;
  }
}

TEST(LissajousPoints, EqualChannelsDrawTheDiagonalAndASilentOneAVerticalLine) {
  const auto tone = Tone(500, 0.9, 0.3);
  const std::vector<int32_t> silence(500, 0);
  std::vector<PlotPoint> p(500);
  ComputeLissajousPoints(tone.data(), tone.data(), 500, 1, 300, 300, p.data());
  for (const PlotPoint& q : p) EXPECT_EQ(q.x - 150, -(q.y - 150));
  // The display channel is vertical: a silent following channel keeps x at w / 2.
  ComputeLissajousPoints(tone.data(), silence.data(), 500, 1, 300, 200, p.data());
  int32_t top = 1000, bottom = -1000;
  for (const PlotPoint& q : p) {
    EXPECT_EQ(q.x, 150);
    top = std::min(top, q.y);
    bottom = std::max(bottom, q.y);
  }
  // 0.9 of full scale reaches 0.9 of half the square's side (200 / 2).
  EXPECT_NEAR(top, 10, 1);
  EXPECT_NEAR(bottom, 190, 1);
  // The magnification scales it; one beyond full scale must not divide by 0.
  ComputeLissajousPoints(silence.data(), tone.data(), 500, 40000, 300, 300, p.data());
}

TEST(LissajousPoints, CountsChannelsGridAndPlotSide) {
  EXPECT_EQ(LissajousPointCount(44100, 30, 4096), 1473u);
  EXPECT_EQ(LissajousPointCount(44100, 0, 4096), 1000u);
  EXPECT_EQ(LissajousPointCount(44100, 0, 512), 512u);
  EXPECT_EQ(LissajousPointCount(44100, 1, 131072), 44103u);
  EXPECT_EQ(LissajousTracePoints(1000), 1000u);  // a start point and 333 segments
  EXPECT_EQ(LissajousTracePoints(1001), 1000u);
  EXPECT_EQ(LissajousTracePoints(44103), 16381u);
  EXPECT_EQ(LissajousTracePoints(0), 0u);
  EXPECT_EQ(LissajousFollowingChannel(1, 2), 0);
  EXPECT_EQ(LissajousFollowingChannel(0, 2), 1);
  EXPECT_EQ(LissajousFollowingChannel(7, 8), 0);
  EXPECT_EQ(LissajousFollowingChannel(0, 1), 0);
  const LissajousGrid g = ComputeLissajousGrid(190);
  EXPECT_EQ(g.lines[0], 9);
  EXPECT_EQ(g.lines[1], 95);
  EXPECT_EQ(g.lines[2], 181);
  EXPECT_EQ(LissajousPlotSide(200, 150), 140);
  EXPECT_EQ(LissajousPlotSide(200, 200), 190);
  EXPECT_EQ(LissajousPlotSide(5, 5), 0);
}

}  // namespace
}  // namespace ov
