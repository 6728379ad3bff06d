// THD, THD+N, S/N and RMS: the sums on hand-made spectra, and whole frames of
// generated tones with known distortion.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "app/analysis/AnalysisTestSupport.h"
#include "app/analysis/FrameAnalysis.h"

namespace ov {
namespace {

using test::PcmFormat;

class MeasurementsTest : public ::testing::Test {
 protected:
  void Start(const WaveFormat& format, int32_t n) {
    analysis.Format = format;
    ASSERT_TRUE(analysis.SetAnalysisSize(n));
    analysis.spectrumAreaHeight = 200;
    analysis.measureMode = true;
    analysis.live = true;
    engine.playState = kPlayPlaying;
  }
  void Frame(const std::vector<test::Partial>& partials) {
    engine.block = test::ToneFrames(analysis.Format, analysis.N, partials);
    ASSERT_EQ(analysis.AcquireFrame(true), 0);
    analysis.ComputeSpectrum();
  }
  double Hz(double bin) const { return bin * analysis.Format.samplesPerSec / analysis.N; }

  Kp05Api api = StaticKp05Api();
  test::FakeBlockSource engine;
  test::RecordingNotifier notifier;
  NoModifierKeys keys;
  FrameAnalysis analysis{api, engine, notifier, keys};
};

TEST_F(MeasurementsTest, DistortionSumsTheBinsOfTheExamples) {
  Start(PcmFormat(1, 44100, 16), 4096);  // B = 2049
  std::vector<double> a(analysis.B, 0.0);
  a[1000] = 1000;
  a[2000] = 3;
  EXPECT_NEAR(analysis.DistortionRatio(a.data(), 1000, false), 0.003, 1e-12);

  // Bin 10: THD+N leaves out bins 0 and 1 ... 19 (w = min(64, 9)).
  std::vector<double> b(analysis.B, 0.0);
  b[10] = 100;
  for (int i = 0; i < 20; ++i) b[i] += (i == 10 ? 0 : 50);
  b[20] = 4;  // second harmonic: in THD and THD+N
  b[25] = 3;  // noise: THD+N only
  EXPECT_NEAR(analysis.DistortionRatio(b.data(), 10, false), 0.04, 1e-12);
  EXPECT_NEAR(analysis.DistortionRatio(b.data(), 10, true), 0.05, 1e-12);

  // Bin 100: w = 64 bins each side are left out.
  std::vector<double> c(analysis.B, 0.0);
  c[100] = 1;
  c[36] = 1;    // inside the skirt
  c[35] = 0.5;  // outside
  EXPECT_NEAR(analysis.DistortionRatio(c.data(), 100, true), 0.5, 1e-12);

  // Harmonics 2 ... 101 only.
  std::vector<double> d(analysis.B, 0.0);
  d[1] = 1;
  d[101] = 1;
  d[102] = 100;
  EXPECT_NEAR(analysis.DistortionRatio(d.data(), 1, false), 1.0, 1e-12);

  std::vector<double> none(analysis.B, 0.0);
  EXPECT_EQ(analysis.DistortionRatio(none.data(), 100, false), 9999.9);
  EXPECT_EQ(analysis.DistortionRatio(none.data(), 0, false), 9999.9);
  EXPECT_EQ(analysis.DistortionRatio(none.data(), analysis.B, true), 9999.9);
}

TEST_F(MeasurementsTest, SecondHarmonicAtMinus60DbReadsPointOnePercent) {
  Start(PcmFormat(2, 48000, 24), 4096);
  analysis.WindowFunction = KP05_WINDOW_RECT;
  analysis.thdOn = true;
  Frame({{30000, Hz(100)}, {30, Hz(200)}});
  const double thd = analysis.DistortionRatio(analysis.SpectrumAmp.data(), 100, false);
  EXPECT_NEAR(thd, 0.001, 1e-6);
  MeasurementReadouts r = analysis.ComputeReadouts();
  ASSERT_TRUE(r.thdShown);
  EXPECT_EQ(r.thdLine, " 0.10000%");
  EXPECT_EQ(r.thdColor, ColorRole::LineColor);

  // Harmonics 2, 3 and 5 at -60, -66 and -80 dB, and noise-free: THD+N = THD.
  const double h2 = 30, h3 = 15, h5 = 3;
  Frame({{30000, Hz(100)}, {h2, Hz(200)}, {h3, Hz(300)}, {h5, Hz(500)}});
  const double expected = std::sqrt(h2 * h2 + h3 * h3 + h5 * h5) / 30000;
  EXPECT_NEAR(analysis.DistortionRatio(analysis.SpectrumAmp.data(), 100, false), expected, 2e-6);
  EXPECT_NEAR(analysis.DistortionRatio(analysis.SpectrumAmp.data(), 100, true), expected, 2e-6);
}

TEST_F(MeasurementsTest, PureSineReadsNoDistortionAndALargeSignalToNoise) {
  Start(PcmFormat(1, 44100, 16), 4096);
  analysis.WindowFunction = KP05_WINDOW_HANNING;
  analysis.ThdButtonDown(true);  // first switch-on: S/N line
  analysis.rmsOn = true;
  Frame({{32767, Hz(100)}});
  MeasurementReadouts r = analysis.ComputeReadouts();
  ASSERT_TRUE(r.thdShown);
  // Only 16-bit quantisation noise falls on the harmonics.
  EXPECT_EQ(r.thdLine.substr(0, 6), " 0.000");
  EXPECT_EQ(r.thdLine.back(), '%');
  const double sn =
      -20 * std::log10(analysis.DistortionRatio(analysis.SpectrumAmp.data(), 100, true));
  EXPECT_GT(sn, 80.0);  // 16-bit quantisation noise only
  char expected[16];
  std::snprintf(expected, sizeof expected, "%7.2fdB", sn);
  EXPECT_EQ(r.secondLine, expected);
  ASSERT_TRUE(r.rmsShown);
  EXPECT_EQ(r.rmsLine, "  -3.01dB");

  analysis.ThdButtonDown(false);
  analysis.ThdButtonDown(true);  // back to THD+N
  r = analysis.ComputeReadouts();
  ASSERT_EQ(r.secondLine.size(), 9u);
  EXPECT_EQ(r.secondLine.back(), '%');
  EXPECT_LT(std::atof(r.secondLine.c_str()), 0.01);  // quantisation noise near -94 dB
}

TEST_F(MeasurementsTest, ReadoutSourceFollowsCursorAndShownCurves) {
  Start(PcmFormat(1, 44100, 24), 4096);  // 24 bits: quantisation noise below the printed digits
  analysis.WindowFunction = KP05_WINDOW_RECT;
  analysis.thdOn = true;
  analysis.cursorBin = 200;  // the cursor wins over the maximum at 100
  Frame({{20000, Hz(100)}, {2000, Hz(200)}, {20, Hz(400)}});
  EXPECT_EQ(analysis.peakBin, 100);
  EXPECT_EQ(analysis.ComputeReadouts().thdLine, " 1.00000%");

  // Main off with only overlay 2 shown: overlay 2 in its colour.
  analysis.cursorBin = -1;
  analysis.mainOn = false;
  analysis.overlay2.shown = true;
  std::fill(analysis.Overlay2Amp.data(), analysis.Overlay2Amp.data() + analysis.B, 0.0);
  analysis.Overlay2Amp[100] = 1000;
  analysis.Overlay2Amp[200] = 100;
  MeasurementReadouts r = analysis.ComputeReadouts();
  ASSERT_TRUE(r.thdShown);
  EXPECT_EQ(r.thdColor, ColorRole::OVL2Color);
  EXPECT_EQ(r.thdLine, " 10.0000%");

  analysis.Overlay2Amp[100] = 0;  // exactly zero at the fundamental: no text
  EXPECT_FALSE(analysis.ComputeReadouts().thdShown);
  analysis.Overlay2Amp[100] = 1e-39;  // below 1e-38: shown as dashes
  r = analysis.ComputeReadouts();
  ASSERT_TRUE(r.thdShown);
  EXPECT_EQ(r.thdLine, " ---.---%");

  analysis.measureMode = false;
  EXPECT_FALSE(analysis.ComputeReadouts().thdShown);
}

TEST_F(MeasurementsTest, RmsOfAFullScaleSine) {
  Start(PcmFormat(1, 44100, 16), 4096);
  Frame({{32767, Hz(100)}});
  EXPECT_NEAR(analysis.RmsDb(), -3.0106, 0.0005);
  analysis.WaveRMS0dBsin = true;
  EXPECT_NEAR(analysis.RmsDb(), -0.0003, 0.0005);
  analysis.rmsOn = true;
  EXPECT_EQ(analysis.ComputeReadouts().rmsLine, "   0.00dB");

  engine.block.assign(engine.block.size(), 0);  // silence: no RMS text
  ASSERT_EQ(analysis.AcquireFrame(true), 0);
  EXPECT_EQ(analysis.RmsDb(), -99999.0);
  EXPECT_FALSE(analysis.ComputeReadouts().rmsShown);
}

}  // namespace
}  // namespace ov
