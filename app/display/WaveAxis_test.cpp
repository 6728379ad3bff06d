#include "app/display/WaveAxis.h"

#include <gtest/gtest.h>

#include <string>

namespace ov {
namespace {

WaveAxis Axis(const WaveAxisInput& in) {
  WaveAxis axis;
  ComputeWaveAxis(in, StaticKp05Api().DLL_PrepareCoordinatesSub, axis);
  return axis;
}

TEST(WaveAxis, FourMillisecondLinesFor1024SamplesAt44100) {
  WaveAxisInput in;
  in.sampleN = 4096;
  in.xMag = 4;
  in.sampleRate = 44100;
  in.width = 800;
  in.height = 200;
  const WaveAxis a = Axis(in);
  EXPECT_EQ(a.n, 1024);
  EXPECT_EQ(a.span, 231973);
  EXPECT_EQ(a.gridStep, 50000);
  ASSERT_EQ(a.timeLineCount, 4);
  for (int k = 1; k <= 4; ++k) {
    EXPECT_EQ(a.timeLines[k - 1], static_cast<int32_t>(k * 50000LL * 799 / 231973));
    char label[24];
    FormatTimeLabel(a.gridStep, k, label);
    EXPECT_EQ(std::string(label), std::to_string(5 * k));
  }
  EXPECT_STREQ(TimeUnit(a.gridStep), "ms");
}

TEST(WaveAxis, GridStepLadder) {
  const struct {
    int64_t span, step;
  } cases[] = {{0, 1},
               {10, 1},
               {11, 2},
               {19, 2},
               {20, 5},
               {49, 5},
               {50, 10},
               {99, 10},
               {100, 20},
               {231973, 50000},
               {1999999999, 200000000},
               {2000000000, 500000000},
               {4999999999LL, 500000000},
               {5000000000LL, 1000000000},
               {90000000000LL, 1000000000}};
  for (const auto& c : cases) EXPECT_EQ(TimeGridStep(c.span), c.step) << c.span;
}

TEST(WaveAxis, TimeLabelsInEachUnit) {
  const struct {
    int64_t step;
    int32_t k;
    const char *label, *unit;
  } cases[] = {{1, 3, "0.3", "us"},        {5, 3, "1.5", "us"},        {20, 2, "4", "us"},
               {500, 3, "150", "us"},      {1000, 3, "0.3", "ms"},     {5000, 3, "1.5", "ms"},
               {50000, 3, "15", "ms"},     {500000, 2, "100", "ms"},   {1000000, 3, "0.3", "sec"},
               {5000000, 3, "1.5", "sec"}, {100000000, 2, "20", "sec"}};
  for (const auto& c : cases) {
    char label[24];
    FormatTimeLabel(c.step, c.k, label);
    EXPECT_STREQ(label, c.label) << c.step;
    EXPECT_STREQ(TimeUnit(c.step), c.unit) << c.step;
  }
}

TEST(WaveAxis, AmplitudeGridAndLabels) {
  WaveAxisInput in;
  in.width = 300;
  in.height = 201;
  in.yMag = 3;
  const WaveAxis a = Axis(in);
  // half 100, d = 100 * 30000 / 32768 = 91
  EXPECT_EQ(a.amplitudeLines[0], 9);
  EXPECT_EQ(a.amplitudeLines[1], 100);
  EXPECT_EQ(a.amplitudeLines[2], 191);
  char text[12];
  FormatAmplitudeLabel(3, 0, text);
  EXPECT_STREQ(text, "10000");
  FormatAmplitudeLabel(3, 1, text);
  EXPECT_STREQ(text, "0");
  FormatAmplitudeLabel(3, 2, text);
  EXPECT_STREQ(text, "-10000");
  FormatAmplitudeLabel(20, 0, text);
  EXPECT_STREQ(text, "1500");
}

TEST(WaveAxis, ColumnsHoldEverySampleAtMostFourPointsEach) {
  // Magnifications the dialog never offers (5) and the largest at the
  // smallest size (x20 at N = 128: six samples) still give a consistent axis.
  for (const auto& mag : {std::pair{4096, 1}, {4096, 5}, {128, 20}, {65536, 4}, {131072, 1}}) {
    for (int32_t width : {1, 2, 7, 640, 5000}) {
      WaveAxisInput in;
      in.sampleN = mag.first;
      in.xMag = mag.second;
      in.width = width;
      in.height = 100;
      const WaveAxis a = Axis(in);
      ASSERT_EQ(a.n, mag.first / mag.second);
      int64_t samples = 0, points = 0;
      for (int32_t c = 0; c < a.columnCount; ++c) {
        ASSERT_GT(a.columnRuns[c], 0);
        samples += a.columnRuns[c];
        points += std::min(a.columnRuns[c], kPointsPerColumn);
      }
      EXPECT_EQ(samples, a.n) << width;
      EXPECT_EQ(points, a.pointCount) << width;
      EXPECT_LE(a.columnCount, width);
      for (int32_t i = 0; i < a.pointCount; ++i) {
        ASSERT_GE(a.points[i].x, 0);
        ASSERT_LT(a.points[i].x, std::max(width, 1));
      }
    }
  }
}

TEST(WaveAxis, LissajousHasASquareGridAndNoTimeScale) {
  WaveAxisInput in;
  in.lissajous = true;
  in.width = 200;
  in.height = 200;
  const WaveAxis a = Axis(in);
  ASSERT_EQ(a.timeLineCount, 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(a.timeLines[i], a.amplitudeLines[i]);
  EXPECT_EQ(a.columnCount, 0);
  EXPECT_EQ(a.points.size(), 4096u);  // room for the figure
}

TEST(WaveAxis, ZeroRateGivesNoTimeLines) {
  WaveAxisInput in;
  in.sampleRate = 0;
  in.width = 100;
  in.height = 50;
  const WaveAxis a = Axis(in);
  EXPECT_EQ(a.span, 0);
  EXPECT_EQ(a.timeLineCount, 0);
}

}  // namespace
}  // namespace ov
