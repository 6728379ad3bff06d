#include "app/display/SpectrumAxis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace ov {
namespace {

// The three curves and run lengths of an analysis of size n.
struct Curves {
  explicit Curves(int32_t n)
      : main(n / 2 + 1), overlay1(n / 2 + 1), overlay2(n / 2 + 1), runs(n / 2 + 1) {}
  SpectrumCurves View() {
    return SpectrumCurves{main.data(), overlay1.data(), overlay2.data(), runs.data(),
                          static_cast<int32_t>(main.size())};
  }
  std::vector<Kp05Point> main, overlay1, overlay2;
  std::vector<int32_t> runs;
};

SpectrumAxis Compute(const SpectrumAxisInput& in, Curves& curves) {
  SpectrumAxis axis;
  ComputeSpectrumAxis(in, StaticKp05Api().DLL_PrepareCoordinatesSub, curves.View(), axis);
  return axis;
}

SpectrumAxisInput Input(uint32_t rate, int32_t n, int32_t w, int32_t h) {
  SpectrumAxisInput in;
  in.sampleRate = rate;
  in.sampleN = n;
  in.width = w;
  in.height = h;
  return in;
}

std::string FrequencyLabel(const SpectrumAxis& a, int32_t line) {
  char text[16];
  FormatFrequencyLabel(a, line, text);
  return text;
}
std::string LevelLabel(const SpectrumAxis& a, int32_t line) {
  char text[16];
  FormatLevelLabel(a, line, text);
  return text;
}

TEST(SpectrumAxis, LogGridTableRunsFrom20HzTo5MHz) {
  const int32_t* t = LogGridTable();
  EXPECT_EQ(t[0], 0);      // 20 Hz
  EXPECT_EQ(t[1], 176);    // 30 Hz: 1477 - 1301
  EXPECT_EQ(t[8], 699);    // 100 Hz
  EXPECT_EQ(t[17], 1699);  // 1 kHz
  EXPECT_EQ(t[26], 2699);  // 10 kHz
  EXPECT_EQ(t[44], 4699);  // 1 MHz
  EXPECT_EQ(t[48], 5398);  // 5 MHz
}

TEST(SpectrumAxis, LogAxisAt44100And4096On441Pixels) {
  Curves c(4096);
  const SpectrumAxis a = Compute(Input(44100, 4096, 441, 200), c);
  EXPECT_NEAR(a.binWidth, 10.7666, 1e-4);
  EXPECT_EQ(a.logSpan, 3042);
  EXPECT_EQ(a.spectrumPointCount, 2048);
  EXPECT_EQ(a.firstBin, 1);
  // Bin 1 lies left of the plot; "20" on the left edge; the grid reaches 20 kHz.
  EXPECT_LT(a.columnCount, 441 + 40);
  EXPECT_LT(c.main[0].x, 0);
  ASSERT_EQ(a.frequencyLineCount, 28);
  EXPECT_EQ(a.frequencyLines[0], 0);
  EXPECT_EQ(a.frequencyLines[27], 441 * 3000 / 3042);  // 20 kHz
  EXPECT_LE(a.frequencyLines[27], 441);
  // "100", "1k", "10k" have their lines; "100k" has none.
  EXPECT_GT(a.frequencyLineCount, kLogLabelLines[3]);
  EXPECT_LE(a.frequencyLineCount, kLogLabelLines[4]);
  EXPECT_EQ(a.frequencyLines[8], 441 * 699 / 3042);
  // The columns cover every bin, at most four points each, in x order.
  int32_t bins = 0;
  for (int32_t i = 0; i < a.columnCount; ++i) bins += c.runs[i];
  EXPECT_EQ(bins, 2048);
  for (int32_t i = 1; i < a.keptCount; ++i) EXPECT_LE(c.main[i - 1].x, c.main[i].x);
  // The Nyquist bin: trunc(3042.4 x 441 / 3042), the column after the plot's last.
  EXPECT_EQ(c.main[a.keptCount - 1].x, 441);
  EXPECT_EQ(c.overlay1[5].x, c.main[5].x);
  EXPECT_EQ(c.overlay2[a.keptCount - 1].x, c.main[a.keptCount - 1].x);
}

TEST(SpectrumAxis, LinearAxisOverTheWholeBand) {
  Curves c(4096);
  SpectrumAxisInput in = Input(44100, 4096, 441, 200);
  in.freqLogScale = false;
  in.freqDispRange = true;
  in.freqDispFrom = 0;
  in.freqDispTo = 22050;
  const SpectrumAxis a = Compute(in, c);
  EXPECT_EQ(a.firstBin, 0);
  EXPECT_EQ(a.lastBin, 2048);
  EXPECT_EQ(a.spectrumPointCount, 2049);
  EXPECT_EQ(a.frequencyStep, 2000);
  EXPECT_EQ(a.firstGridFrequency, 0);
  ASSERT_EQ(a.frequencyLineCount, 12);
  for (int32_t j = 0; j < 12; ++j) {
    EXPECT_EQ(a.frequencyLines[j], static_cast<int32_t>(441.0 * j * 2000 / 22050.0)) << j;
    EXPECT_EQ(FrequencyLineLabelled(a, j), j % 2 == 0) << j;
  }
  EXPECT_EQ(FrequencyLabel(a, 0), "0");
  EXPECT_EQ(FrequencyLabel(a, 2), "4");
  EXPECT_EQ(FrequencyLabel(a, 4), "8");
  EXPECT_EQ(FrequencyLabel(a, 10), "20");
  EXPECT_STREQ(FrequencyUnit(a), "kHz");
  // Point i at i (w - 1) / d: the last bin on the right edge.
  EXPECT_EQ(c.main[0].x, 0);
  EXPECT_EQ(c.main[a.keptCount - 1].x, 440);
}

TEST(SpectrumAxis, LinearLabelsInTenthsOfKhzAndInHz) {
  Curves c(4096);
  SpectrumAxisInput in = Input(44100, 4096, 600, 200);
  in.freqLogScale = false;
  in.freqDispRange = true;
  in.freqDispFrom = 0;
  in.freqDispTo = 3000;  // span ~3000 Hz: step 200, labels "0", "0.2", ...
  SpectrumAxis a = Compute(in, c);
  EXPECT_EQ(a.frequencyStep, 200);
  EXPECT_EQ(FrequencyLabel(a, 0), "0");
  EXPECT_EQ(FrequencyLabel(a, 1), "0.2");
  EXPECT_EQ(FrequencyLabel(a, 6), "1.2");
  EXPECT_STREQ(FrequencyUnit(a), "kHz");
  in.freqDispTo = 500;  // step 50, last label below 1000: Hz
  a = Compute(in, c);
  EXPECT_EQ(a.frequencyStep, 50);
  EXPECT_EQ(FrequencyLabel(a, 3), "150");
  EXPECT_STREQ(FrequencyUnit(a), "Hz");
  // A range starting between grid lines: the first line at the next multiple.
  in.freqDispFrom = 1010;
  in.freqDispTo = 2000;
  a = Compute(in, c);
  EXPECT_EQ(a.firstBin, 94);  // round(1010 / 10.77)
  EXPECT_EQ(a.firstGridFrequency % a.frequencyStep, 0);
  EXPECT_GE(a.firstGridFrequency, static_cast<int64_t>(94 * a.binWidth));
  for (int32_t j = 0; j < a.frequencyLineCount; ++j) {
    EXPECT_GE(a.frequencyLines[j], 0);
    EXPECT_LE(a.frequencyLines[j], 600);
  }
}

TEST(SpectrumAxis, DbLevelGridsAndLabels) {
  Curves c(4096);
  SpectrumAxisInput in = Input(44100, 4096, 400, 240);
  in.dBMax = 120;
  SpectrumAxis a = Compute(in, c);
  ASSERT_EQ(a.levelLineCount, 7);
  EXPECT_EQ(a.levelLines[1], 40);
  EXPECT_EQ(a.levelLines[6], 240);
  EXPECT_EQ(LevelLabel(a, 0), "0dB");
  EXPECT_EQ(LevelLabel(a, 1), "-20");
  EXPECT_EQ(LevelLabel(a, 6), "-120");

  in.dBMax = -10;
  a = Compute(in, c);
  ASSERT_EQ(a.levelLineCount, 11);
  EXPECT_EQ(a.levelLines[5], 120);
  const char* expected[] = {"10", "8", "6", "4", "2", "0dB", "-2", "-4", "-6", "-8", "-10"};
  for (int32_t i = 0; i < 11; ++i) EXPECT_EQ(LevelLabel(a, i), expected[i]) << i;

  in.dBMax = -1;
  a = Compute(in, c);
  ASSERT_EQ(a.levelLineCount, 5);
  EXPECT_EQ(a.levelLines[1], 60);
  const char* tenths[] = {"1.0", "0.5", "0dB", "-0.5", "-1.0"};
  for (int32_t i = 0; i < 5; ++i) EXPECT_EQ(LevelLabel(a, i), tenths[i]) << i;

  in.dBMax = 10;
  a = Compute(in, c);
  ASSERT_EQ(a.levelLineCount, 6);  // 2 dB apart
  EXPECT_EQ(LevelLabel(a, 5), "-10");

  // 0 lies inside the file's range but would divide by zero: the default 120.
  in.dBMax = 0;
  a = Compute(in, c);
  EXPECT_EQ(a.dBMax, 120);
  EXPECT_EQ(a.fullScaleDivisor, 12000);
  EXPECT_EQ(a.levelLineCount, 7);
}

TEST(SpectrumAxis, LinearLevelGridPerMagnification) {
  Curves c(4096);
  SpectrumAxisInput in = Input(44100, 4096, 400, 300);
  in.spectrumLogScale = false;
  struct Case {
    int32_t rate, top, step, lines;
  };
  for (const Case k : {Case{1, 32768, 2000, 17}, Case{2, 16384, 2000, 9}, Case{5, 6553, 1000, 7},
                       Case{10, 3276, 500, 7}, Case{20, 1638, 200, 9}, Case{50, 655, 100, 7},
                       Case{100, 327, 50, 7}}) {
    in.magRate = k.rate;
    const SpectrumAxis a = Compute(in, c);
    EXPECT_EQ(a.linearTop, k.top) << k.rate;
    EXPECT_EQ(a.levelLabelStep, k.step) << k.rate;
    ASSERT_EQ(a.levelLineCount, k.lines) << k.rate;
    EXPECT_EQ(a.levelLines[0], 300);  // 0 at the bottom
    EXPECT_EQ(a.levelLines[1], 300 * (k.top - k.step) / k.top);
    EXPECT_EQ(LevelLabel(a, 2), std::to_string(2 * k.step));
  }
}

TEST(SpectrumAxis, LevelMappingConstantsFromTheShift) {
  Curves c(4096);
  SpectrumAxisInput in = Input(44100, 4096, 400, 300);
  struct Case {
    double shift;
    int32_t s;
    double r;
    int32_t mode;
  };
  in.windowFunction = 1;
  for (const Case k : {Case{-1, 0, 602.559991, 0}, Case{0, 0, 0.5, 0}, Case{6.02, 602, 0.5, 0},
                       Case{18.06, 1806, 0.5, 0}, Case{-2, 0, 0.5, 1}, Case{-3, 0, 0.5, 2},
                       Case{-4, 0, 0.5, 3}, Case{-5, 0, 0.5, 4}, Case{-20, -2000, 0.5, 0}}) {
    in.dBShift = k.shift;
    const SpectrumAxis a = Compute(in, c);
    EXPECT_EQ(a.levelScale.shift, k.s) << k.shift;
    EXPECT_DOUBLE_EQ(a.levelScale.roundingTerm, k.r) << k.shift;
    EXPECT_EQ(a.levelScale.normalisationMode, k.mode) << k.shift;
  }
  in.dBShift = -1;
  in.windowFunction = 6;
  EXPECT_DOUBLE_EQ(Compute(in, c).levelScale.roundingTerm, 1333.2873);
}

TEST(SpectrumAxis, ThreeDFrontAndOnePointPerColumn) {
  Curves c(4096);
  SpectrumAxisInput in = Input(44100, 4096, 501, 301);
  in.dispType = 1;
  in.threeD = ThreeDGeometry(501, 301, 30, 2);
  EXPECT_EQ(in.threeD.lineStep, 10);
  EXPECT_EQ(in.threeD.lineCount, 30);
  EXPECT_EQ(in.threeD.frontWidth, 440);
  EXPECT_EQ(in.threeD.halfHeight, 150);
  for (int32_t angle : {0, 1, 2}) {
    in.angle3D = angle;
    const SpectrumAxis a = Compute(in, c);
    EXPECT_EQ(a.traceWidth, 440);
    EXPECT_EQ(a.traceHeight, 150);
    EXPECT_EQ(a.frontOffset, angle == 0 ? 0 : angle == 1 ? 30 : 60);
    EXPECT_EQ(a.frequencyLines[0], a.frontOffset);
    EXPECT_EQ(a.pointsPerColumn, 1);
    EXPECT_EQ(a.keptCount, a.columnCount);
    EXPECT_EQ(a.binsBelow20Hz, 1);
  }
  // The front keeps at least half the width however deep the history.
  EXPECT_EQ(ThreeDGeometry(501, 301, 200, 20).frontWidth, 250);
  in.dispType = 0;
  in.peakOnly = true;
  EXPECT_EQ(Compute(in, c).pointsPerColumn, 1);
}

TEST(SpectrumAxis, BadInputDrawsWithoutFault) {
  // Rates up to 10 MHz, ranges reversed or beyond Nyquist, 1-pixel plots,
  // deep histories: every x finite, the columns cover every shown bin.
  struct Case {
    uint32_t rate;
    int32_t n, w, h;
    bool log;
    int32_t from, to;
    int32_t disp, lines, delta;
  };
  const Case cases[] = {
      {10000000, 131072, 800, 300, true, 0, 0, 0, 30, 2},
      {10000000, 131072, 800, 300, false, 0, 5000000, 0, 30, 2},
      {44100, 4096, 400, 200, false, 5000, 5000, 0, 30, 2},  // from = to: one bin
      {44100, 4096, 400, 200, false, 9000, 100, 0, 30, 2},   // from above to
      {44100, 4096, 400, 200, false, 0, 5000000, 0, 30, 2},  // to above Nyquist
      {44100, 4096, 400, 200, false, 5000000, 5000000, 0, 30, 2},
      {44100, 128, 1, 1, true, 0, 0, 0, 30, 2},
      {44100, 128, 1, 1, false, 0, 0, 0, 30, 2},
      {44100, 4096, 400, 200, true, 0, 0, 1, 200, 20},
      {44100, 4096, 2, 2, true, 0, 0, 1, 200, 20},
      {8000, 131072, 800, 300, true, 0, 0, 1, 10, 1},
      {1, 128, 100, 100, true, 0, 0, 0, 30, 2},
  };
  for (const Case& k : cases) {
    Curves c(k.n);
    SpectrumAxisInput in = Input(k.rate, k.n, k.w, k.h);
    in.freqLogScale = k.log;
    in.freqDispRange = true;
    in.freqDispFrom = k.from;
    in.freqDispTo = k.to;
    in.dispType = k.disp;
    in.threeD = ThreeDGeometry(k.w, k.h, k.lines, k.delta);
    const SpectrumAxis a = Compute(in, c);
    const std::string label = std::to_string(k.rate) + "/" + std::to_string(k.from) + "-" +
                              std::to_string(k.to) + "/" + std::to_string(k.w);
    ASSERT_GE(a.spectrumPointCount, 1) << label;
    EXPECT_GE(a.firstBin, 0) << label;
    EXPECT_LE(a.lastBin, k.n / 2) << label;
    EXPECT_LT(a.firstBin, a.lastBin + 1) << label;
    int32_t bins = 0;
    for (int32_t i = 0; i < a.columnCount; ++i) bins += c.runs[i];
    EXPECT_EQ(bins, a.spectrumPointCount) << label;
    for (int32_t i = 0; i < a.keptCount; ++i) EXPECT_LE(c.main[i].x, a.traceWidth) << label;
    EXPECT_LE(a.frequencyLineCount, kMaxFrequencyLines);
    for (int32_t j = 0; j < a.frequencyLineCount; ++j)
      EXPECT_LE(a.frequencyLines[j], a.frontOffset + a.traceWidth) << label;
    EXPECT_GE(a.traceWidth, 1);
    EXPECT_GE(a.traceHeight, 1);
  }
  // A start at or above the end shows one bin (and the one after it).
  Curves c(4096);
  SpectrumAxisInput in = Input(44100, 4096, 400, 200);
  in.freqLogScale = false;
  in.freqDispRange = true;
  in.freqDispFrom = 9000;
  in.freqDispTo = 100;
  const SpectrumAxis a = Compute(in, c);
  EXPECT_EQ(a.spectrumPointCount, 2);
  EXPECT_EQ(a.firstBin, 9);  // last = round(100 / 10.77) + 1 = 10, first = last - 1
}

}  // namespace
}  // namespace ov
