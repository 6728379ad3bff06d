#include "app/display/SpectrumPoints.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace ov {
namespace {

struct CurveSetup {
  explicit CurveSetup(const SpectrumAxisInput& in)
      : n(in.sampleN), points(n / 2 + 1), runs(n / 2 + 1) {
    std::vector<Kp05Point> o1(n / 2 + 1), o2(n / 2 + 1);
    ComputeSpectrumAxis(in, StaticKp05Api().DLL_PrepareCoordinatesSub,
                        SpectrumCurves{points.data(), o1.data(), o2.data(), runs.data(),
                                       static_cast<int32_t>(points.size())},
                        axis);
  }
  int32_t n;
  SpectrumAxis axis;
  std::vector<Kp05Point> points;
  std::vector<int32_t> runs;
};

SpectrumAxisInput Input(int32_t n, int32_t w, int32_t h) {
  SpectrumAxisInput in;
  in.sampleRate = 44100;
  in.sampleN = n;
  in.width = w;
  in.height = h;
  return in;
}

// The reference: every bin's y straight from the level formula, then the
// columns folded on y as the wave view folds its samples.
int64_t ReferenceY(const SpectrumAxis& a, const LevelScale& s, double m) {
  if (std::isnan(m) || m < 0) m = 0;
  if (m > 1e15) m = 1e15;
  int64_t y;
  if (!a.in.spectrumLogScale) {
    const int64_t o = 32768 / a.in.magRate;
    y = int64_t{a.traceHeight} * (o - static_cast<int64_t>(m + 0.5)) / o - 1;
  } else {
    int64_t level =
        static_cast<int64_t>(std::floor(2000.0 * std::log10(std::max(m, 1e-38)) + s.roundingTerm)) +
        s.shift - 9031;
    const int32_t dbMax = a.in.dBMax == 0 ? 120 : a.in.dBMax;
    if (dbMax < 0) level += dbMax * 100;
    if (level < -30000) level = -30000;
    const int64_t e = dbMax < 0 ? -2 * dbMax * 100 : dbMax * 100;
    y = int64_t{a.traceHeight} * -level / e;
  }
  return std::clamp<int64_t>(y, -(1 << 22), 1 << 22);
}

std::vector<int32_t> ReferencePoints(const SpectrumAxis& a, const LevelScale& s,
                                     const std::vector<double>& m,
                                     const std::vector<int32_t>& runs) {
  std::vector<int32_t> ys;
  int32_t bin = a.firstBin;
  for (int32_t c = 0; c < a.columnCount; ++c) {
    const int32_t run = runs[c];
    std::vector<int64_t> y;
    for (int32_t j = 0; j < run; ++j) y.push_back(ReferenceY(a, s, m[bin + j]));
    if (run <= a.pointsPerColumn) {
      for (int64_t v : y) ys.push_back(static_cast<int32_t>(v));
    } else if (a.pointsPerColumn == 1) {
      ys.push_back(static_cast<int32_t>(*std::min_element(y.begin(), y.end())));
    } else {
      ys.push_back(static_cast<int32_t>(y[0]));
      ys.push_back(static_cast<int32_t>(*std::min_element(y.begin() + 1, y.end() - 1)));
      ys.push_back(static_cast<int32_t>(*std::max_element(y.begin() + 1, y.end() - 1)));
      ys.push_back(static_cast<int32_t>(y[run - 1]));
    }
    bin += run;
  }
  return ys;
}

std::vector<double> RandomSpectrum(std::mt19937& rng, int32_t bins, bool wild) {
  std::uniform_real_distribution<double> exponent(-2.0, 5.5);
  std::uniform_int_distribution<int> pick(0, 99);
  std::vector<double> m(bins);
  for (double& v : m) {
    v = std::pow(10.0, exponent(rng));
    const int p = pick(rng);
    if (p < 3) v = 0.0;
    if (wild && p == 3) v = std::numeric_limits<double>::quiet_NaN();
    if (wild && p == 4) v = std::numeric_limits<double>::infinity();
    if (wild && p == 5) v = 1e300;
    if (wild && p == 6) v = -5.0;
  }
  return m;
}

TEST(SpectrumPoints, MatchesTheBruteForceReferenceOnRandomSpectra) {
  std::mt19937 rng(1234);
  struct Case {
    int32_t n, w, h;
    bool log, db, peakOnly;
    int32_t dbMax;
    double shift;
    int32_t disp;
  };
  const Case cases[] = {
      {4096, 441, 200, true, true, false, 120, 0, 0},
      {4096, 441, 200, true, true, false, -10, 0, 0},
      {4096, 441, 200, true, true, true, 120, 6.02, 0},
      {131072, 800, 300, true, true, false, 120, -1, 0},
      {131072, 800, 300, false, true, false, -3, 0, 0},
      {131072, 800, 300, false, false, false, 120, 0, 0},
      {8192, 50, 100, false, true, false, 60, -2, 0},
      {8192, 50, 100, true, false, true, 60, 0, 0},
      {16384, 600, 300, true, true, false, 120, 0, 1},
      {128, 1, 1, true, true, false, -1, 0, 0},
  };
  for (const Case& k : cases) {
    SpectrumAxisInput in = Input(k.n, k.w, k.h);
    in.freqLogScale = k.log;
    in.spectrumLogScale = k.db;
    in.peakOnly = k.peakOnly;
    in.dBMax = k.dbMax;
    in.dBShift = k.shift;
    in.dispType = k.disp;
    in.threeD = ThreeDGeometry(k.w, k.h, 30, 2);
    in.freqDispRange = true;
    in.freqDispFrom = 100;
    in.freqDispTo = 15000;
    CurveSetup s(in);
    LevelScale scale = s.axis.levelScale;
    if (scale.normalisationMode)
      scale.roundingTerm = 9031 - 9000 + 0.5;  // as ComputeSpectrum sets it
    for (bool wild : {false, true}) {
      const std::vector<double> m = RandomSpectrum(rng, k.n / 2 + 1, wild);
      std::vector<Kp05Point> points = s.points;
      ConvertSpectrumToPoints(s.axis, scale, m.data(), s.runs.data(), points.data());
      const std::vector<int32_t> expected = ReferencePoints(s.axis, scale, m, s.runs);
      ASSERT_EQ(static_cast<int32_t>(expected.size()), s.axis.keptCount);
      int32_t mismatches = 0;
      for (int32_t i = 0; i < s.axis.keptCount; ++i) mismatches += points[i].y != expected[i];
      EXPECT_EQ(mismatches, 0) << "n " << k.n << " w " << k.w << " log " << k.log << " db " << k.db
                               << " wild " << wild;
    }
  }
}

TEST(SpectrumPoints, FullScaleAtTheTopOrTheMiddleAndSilenceAt300Db) {
  SpectrumAxisInput in = Input(4096, 400, 240);
  in.dBShift = 0;
  CurveSetup positive(in);
  EXPECT_EQ(SpectrumPointY(positive.axis, positive.axis.levelScale, 32768.0), 0);
  // 0 is taken as 1e-38 and shown at -300 dB: 2.5 heights below the top of 120 dB.
  EXPECT_EQ(SpectrumPointY(positive.axis, positive.axis.levelScale, 0.0), 600);
  EXPECT_EQ(SpectrumPointY(positive.axis, positive.axis.levelScale, 1e-300), 600);
  in.dBMax = -10;
  CurveSetup symmetric(in);
  EXPECT_EQ(SpectrumPointY(symmetric.axis, symmetric.axis.levelScale, 32768.0), 120);
  EXPECT_EQ(SpectrumPointY(symmetric.axis, symmetric.axis.levelScale, 32768.0 * 3.1622777),
            0);  // +10 dB at the top
  // The shift raises every level: 6.02 dB moves -6.02 dB to the top.
  in.dBMax = 120;
  in.dBShift = 6.02;
  CurveSetup shifted(in);
  EXPECT_EQ(SpectrumPointY(shifted.axis, shifted.axis.levelScale, 16384.0), 0);
  // "Auto" with the Hanning window: half amplitude reads 0 dB.
  in.dBShift = -1;
  in.windowFunction = 1;
  CurveSetup autoShift(in);
  EXPECT_EQ(SpectrumPointY(autoShift.axis, autoShift.axis.levelScale, 16383.5), 0);
  // Linear: 0 on the bottom line, the top value on the top line.
  in.spectrumLogScale = false;
  in.magRate = 10;
  CurveSetup linear(in);
  EXPECT_EQ(SpectrumPointY(linear.axis, linear.axis.levelScale, 0.0), 239);
  EXPECT_EQ(SpectrumPointY(linear.axis, linear.axis.levelScale, 3276.0), -1);
  // Not-a-number, infinity and negative values stay inside the integer range.
  EXPECT_EQ(SpectrumPointY(linear.axis, linear.axis.levelScale, NAN), 239);
  EXPECT_EQ(SpectrumPointY(linear.axis, linear.axis.levelScale, INFINITY), -kMaxPointY);
  EXPECT_EQ(SpectrumPointY(positive.axis, positive.axis.levelScale, -1.0), 600);
  LevelScale broken = positive.axis.levelScale;
  broken.roundingTerm = -INFINITY;  // a normalisation reference of infinity
  EXPECT_EQ(SpectrumPointY(positive.axis, broken, 32768.0), 0);
}

TEST(SpectrumPoints, PeakPointIsTheColumnXAndThePeakLevel) {
  SpectrumAxisInput in = Input(4096, 441, 200);
  in.dBShift = 0;
  CurveSetup s(in);
  std::vector<double> m(2049, 1.0);
  m[100] = 32768.0;   // a sparse column on the log axis
  m[1500] = 16384.0;  // a dense one
  Kp05Point peak{0, 0};
  ConvertSpectrumToPoints(s.axis, s.axis.levelScale, m.data(), s.runs.data(), s.points.data(), 100,
                          &peak);
  // Bin 100's point: index 99 on the log axis, in a column of its own here.
  const int32_t x100 = static_cast<int32_t>(
      std::trunc((1000.0 * std::log10(100 * s.axis.binWidth) - 1301) * 441 / s.axis.logSpan));
  EXPECT_EQ(peak.x, x100);
  EXPECT_EQ(peak.y, 0);
  ConvertSpectrumToPoints(s.axis, s.axis.levelScale, m.data(), s.runs.data(), s.points.data(), 1500,
                          &peak);
  EXPECT_EQ(peak.y, SpectrumPointY(s.axis, s.axis.levelScale, 16384.0));
  // The dense column's highest point is the peak's.
  int32_t top = 1 << 30;
  for (int32_t i = 0; i < s.axis.keptCount; ++i)
    if (s.points[i].x == peak.x) top = std::min(top, s.points[i].y);
  EXPECT_EQ(top, peak.y);
  // Bin 0 is not shown on the log axis; a bin beyond the arrays neither.
  ConvertSpectrumToPoints(s.axis, s.axis.levelScale, m.data(), s.runs.data(), s.points.data(), 0,
                          &peak);
  EXPECT_EQ(peak.x, -1);
  EXPECT_EQ(peak.y, -1);
  ConvertSpectrumToPoints(s.axis, s.axis.levelScale, m.data(), s.runs.data(), s.points.data(), 5000,
                          &peak);
  EXPECT_EQ(peak.x, -1);
}

// The 3D history as a grid of pixels, moved by the scroll's rectangles.
struct History {
  History(int32_t w, int32_t h) : w(w), h(h), px(w * h, 0) {}
  void Apply(const ThreeDScroll& s) {
    std::vector<int> next = px;
    for (int32_t y = s.source.top; y < s.source.bottom; ++y)
      for (int32_t x = s.source.left; x < s.source.right; ++x) {
        const int32_t tx = x + s.shift, ty = y - s.source.top;
        if (tx >= 0 && tx < w && ty >= 0 && ty < h) next[ty * w + tx] = px[y * w + x];
      }
    for (const Rect32& r : s.clear)
      for (int32_t y = std::max(0, r.top); y < std::min(h, r.bottom); ++y)
        for (int32_t x = std::max(0, r.left); x < std::min(w, r.right); ++x) next[y * w + x] = 0;
    px = next;
  }
  int32_t w, h;
  std::vector<int> px;
};

TEST(SpectrumPoints, ThreeDHistoryMovesRightUpOrLeftByDeltaPerLine) {
  const int32_t w = 100, h = 60, step = 3;
  for (int32_t angle : {0, 1, 2}) {
    for (int32_t delta : {1, 2, 5, 20}) {
      History history(w, h);
      const int32_t x0 = 50, y0 = 50;
      history.px[y0 * w + x0] = 7;
      const ThreeDScroll s = ThreeDScrollFor(angle, delta, step, w, h);
      history.Apply(s);
      history.Apply(s);
      const int32_t dx = angle == 0 ? delta : angle == 1 ? 0 : -delta;
      int32_t found = -1;
      for (int32_t i = 0; i < w * h; ++i)
        if (history.px[i] == 7) found = i;
      ASSERT_GE(found, 0) << angle << " " << delta;
      EXPECT_EQ(found % w, x0 + 2 * dx) << angle << " " << delta;
      EXPECT_EQ(found / w, y0 - 2 * step) << angle << " " << delta;
      // The uncovered strips are cleared: the bottom line step and the edge.
      for (int32_t x = 0; x < w; ++x) EXPECT_EQ(history.px[(h - 1) * w + x], 0);
    }
  }
  // Degenerate sizes keep the rectangles ordered.
  const ThreeDScroll tiny = ThreeDScrollFor(1, 20, 200, 1, 1);
  EXPECT_LE(tiny.source.left, tiny.source.right);
  EXPECT_LE(tiny.source.top, tiny.source.bottom);
}

TEST(SpectrumPoints, FrontPolygonClosesOnTheBaseline) {
  SpectrumAxisInput in = Input(4096, 301, 201);
  in.dispType = 1;
  in.threeD = ThreeDGeometry(301, 201, 30, 2);
  CurveSetup s(in);
  std::vector<double> m(2049, 32768.0);
  ConvertSpectrumToPoints(s.axis, s.axis.levelScale, m.data(), s.runs.data(), s.points.data());
  std::vector<Kp05Point> polygon(2049 + 3);
  const int32_t count = BuildFrontPolygon(s.axis, s.points.data(), 10, 100, polygon.data());
  ASSERT_EQ(count, s.axis.keptCount - s.axis.binsBelow20Hz + 3);
  const int32_t baseline = 100 + s.axis.traceHeight;
  EXPECT_EQ(polygon[count - 3].y, baseline);
  EXPECT_EQ(polygon[count - 3].x, polygon[count - 4].x);
  EXPECT_EQ(polygon[count - 2].y, baseline);
  EXPECT_EQ(polygon[count - 2].x, polygon[0].x);
  EXPECT_EQ(polygon[count - 1].x, polygon[0].x);
  EXPECT_EQ(polygon[count - 1].y, polygon[0].y);
  EXPECT_EQ(polygon[0].y, 100 + SpectrumPointY(s.axis, s.axis.levelScale, 32768.0));
}

}  // namespace
}  // namespace ov
