#include "app/display/SpectrumReadout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/display/SpectrumPoints.h"

namespace ov {
namespace {

struct Plot {
  explicit Plot(const SpectrumAxisInput& in)
      : points(in.sampleN / 2 + 1), runs(in.sampleN / 2 + 1), m(in.sampleN / 2 + 1, 1.0) {
    std::vector<Kp05Point> o1(points.size()), o2(points.size());
    ComputeSpectrumAxis(in, StaticKp05Api().DLL_PrepareCoordinatesSub,
                        SpectrumCurves{points.data(), o1.data(), o2.data(), runs.data(),
                                       static_cast<int32_t>(points.size())},
                        axis);
  }
  void Convert() {
    ConvertSpectrumToPoints(axis, axis.levelScale, m.data(), runs.data(), points.data());
  }
  SpectrumSearchInput Search(bool measure) const {
    return SpectrumSearchInput{m.data(), points.data(), runs.data(), measure};
  }
  SpectrumAxis axis;
  std::vector<Kp05Point> points;
  std::vector<int32_t> runs;
  std::vector<double> m;
};

SpectrumAxisInput Input(bool log, int32_t w = 441, int32_t h = 200) {
  SpectrumAxisInput in;
  in.sampleRate = 44100;
  in.sampleN = 4096;
  in.width = w;
  in.height = h;
  in.freqLogScale = log;
  in.dBShift = 0;
  in.freqDispRange = true;
  in.freqDispFrom = 0;
  in.freqDispTo = 22050;
  return in;
}

std::string Level(const SpectrumAxis& a, double m) {
  char text[16];
  FormatLevel(a, a.levelScale, m, text);
  return text;
}

TEST(SpectrumReadout, FormatLevelIsNineCharactersOnBothAxes) {
  Plot db(Input(true));
  EXPECT_EQ(Level(db.axis, 32768.0), "   0.00dB");
  EXPECT_EQ(Level(db.axis, 16384.0), "  -6.02dB");
  EXPECT_EQ(Level(db.axis, 327.68), " -40.00dB");
  EXPECT_EQ(Level(db.axis, 32768.0 * 0.99), "  -0.09dB");
  EXPECT_EQ(Level(db.axis, 0.0), " ---.--dB");
  EXPECT_EQ(Level(db.axis, 3.2768e-11), " ---.--dB");  // -300 dB
  // Whatever a loaded overlay holds: nine characters, no undefined conversion.
  EXPECT_EQ(Level(db.axis, NAN), " ---.--dB");
  EXPECT_EQ(Level(db.axis, -1.0), " ---.--dB");
  EXPECT_EQ(Level(db.axis, INFINITY), " 209.69dB");  // held to 1e15
  SpectrumAxisInput in = Input(true);
  in.dBShift = 200;  // the file's largest shift
  Plot shifted(in);
  EXPECT_EQ(Level(shifted.axis, 1e300), " 409.69dB");
  // The range term of a symmetric axis does not enter the readout.
  in = Input(true);
  in.dBMax = -10;
  Plot symmetric(in);
  EXPECT_EQ(Level(symmetric.axis, 32768.0), "   0.00dB");

  in = Input(true);
  in.spectrumLogScale = false;
  Plot linear(in);
  EXPECT_EQ(Level(linear.axis, 32768.0), " 32768.00");
  EXPECT_EQ(Level(linear.axis, 0.125), "     0.13");
  EXPECT_EQ(Level(linear.axis, INFINITY), "999999.99");
  EXPECT_EQ(Level(linear.axis, NAN), "     0.00");
}

TEST(SpectrumReadout, FrequencyTexts) {
  char text[32];
  FormatPanelFrequency(10000, text);
  EXPECT_STREQ(text, " 1000.0Hz");
  FormatPanelFrequency(4410, text);
  EXPECT_STREQ(text, "  441.0Hz");
  FormatPanelFrequency(999999, text);
  EXPECT_STREQ(text, "99999.9Hz");
  FormatPanelFrequency(50000000, text);  // 5 MHz at a rate of 10 MHz
  EXPECT_STREQ(text, "5000000Hz");
  FormatReadoutFrequency(1076.66, text);
  EXPECT_STREQ(text, " 1076.7Hz");
  FormatReadoutFrequency(-3.0, text);
  EXPECT_STREQ(text, "    0.0Hz");
}

TEST(SpectrumReadout, IndexUnderThePointerIsHeldToThePlot) {
  Plot log(Input(true));
  EXPECT_EQ(SpectrumIndexAt(log.axis, 0), 2);  // 20 Hz: bin 1.86, rounded
  EXPECT_EQ(SpectrumIndexAt(log.axis, -500), 2);
  EXPECT_EQ(SpectrumIndexAt(log.axis, 440), 2048);
  EXPECT_EQ(SpectrumIndexAt(log.axis, 5000), 2048);
  // 1 kHz lies at 441 x 1699 / 3042 = 246.3: bin 93 (1001 Hz).
  EXPECT_NEAR(SpectrumIndexAt(log.axis, 246), 93, 1);
  Plot linear(Input(false));
  EXPECT_EQ(SpectrumIndexAt(linear.axis, 0), 0);
  EXPECT_EQ(SpectrumIndexAt(linear.axis, -7), 0);
  EXPECT_EQ(SpectrumIndexAt(linear.axis, 440), 2048);
  EXPECT_EQ(SpectrumIndexAt(linear.axis, 220), 1024);
  EXPECT_EQ(SpectrumIndexAt(linear.axis, 9999), 2048);
  // A plot of one pixel: no division by zero.
  Plot tiny(Input(false, 1, 1));
  EXPECT_EQ(SpectrumIndexAt(tiny.axis, 0), 0);
}

TEST(SpectrumReadout, SnapFindsThePeakNearTheClick) {
  Plot p(Input(true));
  p.m[93] = 32768.0;
  p.Convert();
  const SpectrumSnap s = SnapSpectrum(p.axis, p.Search(true), 244, 0);
  EXPECT_TRUE(s.up);
  EXPECT_EQ(s.bin, 93);
  EXPECT_EQ(s.point.y, 0);
  // Below the curve (not peak only): the lowest bin of the window instead.
  p.m[90] = 0.001;
  p.Convert();
  const SpectrumSnap down = SnapSpectrum(p.axis, p.Search(true), 244, 190);
  EXPECT_FALSE(down.up);
  EXPECT_EQ(down.bin, 90);
  // Peak only: always up.
  SpectrumAxisInput in = Input(true);
  in.peakOnly = true;
  Plot peakOnly(in);
  peakOnly.m = p.m;
  peakOnly.Convert();
  EXPECT_TRUE(SnapSpectrum(peakOnly.axis, peakOnly.Search(true), 244, 190).up);
}

TEST(SpectrumReadout, SnapWindowIsHeldToTheBinsAtBothEndsOfBothAxes) {
  for (bool log : {true, false}) {
    for (bool measure : {true, false}) {
      for (int32_t x : {-100, 0, 1, 439, 440, 1000}) {
        for (int32_t y : {-5, 0, 100, 199, 400}) {
          Plot p(Input(log));
          for (size_t i = 0; i < p.m.size(); ++i) p.m[i] = 1.0 + (i % 7);
          p.Convert();
          const SpectrumSnap s = SnapSpectrum(p.axis, p.Search(measure), x, y);
          const int32_t low = log ? 1 : p.axis.firstBin;
          EXPECT_GE(s.bin, low) << log << " " << x;
          EXPECT_LE(s.bin, p.axis.lastBin) << log << " " << x;
          EXPECT_GE(s.point.y, 0);
          EXPECT_LT(s.point.y, 200);
        }
      }
    }
  }
  // A narrow linear range: fewer bins than the window would span.
  SpectrumAxisInput in = Input(false);
  in.freqDispFrom = 1000;
  in.freqDispTo = 1010;
  Plot narrow(in);
  ASSERT_LE(narrow.axis.spectrumPointCount, 3);
  narrow.m[narrow.axis.firstBin + 1] = 1000.0;
  narrow.Convert();
  for (int32_t x : {-50, 0, 220, 440, 900}) {
    const SpectrumSnap s = SnapSpectrum(narrow.axis, narrow.Search(false), x, 0);
    EXPECT_GE(s.index, 0);
    EXPECT_LT(s.index, narrow.axis.spectrumPointCount);
    EXPECT_EQ(s.bin, narrow.axis.firstBin + s.index);
  }
}

TEST(SpectrumReadout, TwoClicksOnABinSetAndRemoveTheCursor) {
  Plot p(Input(false));
  p.m[512] = 30000.0;
  p.Convert();
  int32_t cursorBin = -1, cursorX = -1;
  const SpectrumSnap s = SnapSpectrum(p.axis, p.Search(true), 110, 0);
  ASSERT_EQ(s.bin, 512);
  EXPECT_TRUE(ToggleCursor(s.bin, s.point.x, cursorBin, cursorX));
  EXPECT_EQ(cursorBin, 512);
  EXPECT_EQ(cursorX, 512 * 440 / 2048);
  const SpectrumSnap again = SnapSpectrum(p.axis, p.Search(true), 109, 0);
  EXPECT_FALSE(ToggleCursor(again.bin, again.point.x, cursorBin, cursorX));
  EXPECT_EQ(cursorBin, -1);
  EXPECT_EQ(cursorX, -1);
}

TEST(SpectrumReadout, InterpolationOnlyForAnUpSnapOfTheMainSpectrum) {
  EXPECT_TRUE(ReadoutInterpolates(true, 1, false, true, true, true));
  EXPECT_TRUE(ReadoutInterpolates(true, 2, true, true, false, false));
  EXPECT_FALSE(ReadoutInterpolates(true, 2, true, true, true, false));
  EXPECT_FALSE(ReadoutInterpolates(false, 2, false, true, false, false));
  EXPECT_FALSE(ReadoutInterpolates(true, 0, false, true, false, false));
}

}  // namespace
}  // namespace ov
