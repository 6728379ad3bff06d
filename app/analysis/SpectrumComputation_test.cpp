// Amplitudes, levels, normalisation, averaging, peak hold and interpolation
// through the real transform.
#include <gtest/gtest.h>

#include <cmath>

#include "app/analysis/AnalysisTestSupport.h"
#include "app/analysis/FrameAnalysis.h"

namespace ov {
namespace {

using test::BinHz;
using test::Partial;
using test::PcmFormat;

// Stands in for the spectrum view: counts conversions and clears the stale
// flags of the overlays it would convert.
class ConvertingViews : public AnalysisViews {
 public:
  int conversions = 0;
  int overlay2Conversions = 0;
  void ConvertSpectrumCurves(FrameAnalysis& a) override {
    ++conversions;
    if (a.overlay2.stale) ++overlay2Conversions;
    a.overlay1.stale = a.overlay2.stale = false;
  }
};

class SpectrumTest : public ::testing::Test {
 protected:
  void Start(const WaveFormat& format, int32_t n) {
    analysis.Format = format;
    ASSERT_TRUE(analysis.SetAnalysisSize(n));
    ASSERT_TRUE(analysis.CreateInterpolationPlans());
    analysis.spectrumAreaHeight = 200;
    analysis.live = true;
    engine.playState = kPlayPlaying;
  }
  // One display frame of the given tone.
  void Frame(const std::vector<Partial>& partials) {
    engine.block = test::ToneFrames(analysis.Format, analysis.N, partials);
    ASSERT_EQ(analysis.AcquireFrame(true), 0);
    analysis.ComputeSpectrum();
  }
  double Hz(double bin) const { return bin * analysis.Format.samplesPerSec / analysis.N; }

  Kp05Api api = StaticKp05Api();
  test::FakeBlockSource engine;
  test::RecordingNotifier notifier;
  NoModifierKeys keys;
  ConvertingViews views;
  FrameAnalysis analysis{api, engine, notifier, keys, &views};
};

TEST_F(SpectrumTest, FullScaleSineOnBin100ReadsItsAmplitudeAndLevel) {
  Start(PcmFormat(1, 44100, 16), 4096);
  analysis.WindowFunction = KP05_WINDOW_RECT;
  Frame({{32767, Hz(100)}});
  EXPECT_NEAR(analysis.SpectrumAmp[100], 32767, 1.0);
  EXPECT_LT(analysis.SpectrumAmp[99], 1.0);
  EXPECT_EQ(analysis.LevelOf(analysis.SpectrumAmp[100]), 0);

  analysis.WindowFunction = KP05_WINDOW_HANNING;
  Frame({{32767, Hz(100)}});
  EXPECT_NEAR(analysis.SpectrumAmp[100], 16383.5, 1.0);
  EXPECT_NEAR(analysis.SpectrumAmp[101], 8191.75, 1.0);  // the Hanning skirt
  EXPECT_EQ(analysis.LevelOf(analysis.SpectrumAmp[100]), -602);
  analysis.levelScale.roundingTerm = 602.559991;  // the view's "Auto" correction
  EXPECT_EQ(analysis.LevelOf(analysis.SpectrumAmp[100]), 0);
  EXPECT_EQ(views.conversions, 2);
}

TEST_F(SpectrumTest, EightBitSilenceGivesAZeroSpectrumAtTheLowestLevel) {
  Start(PcmFormat(2, 8000, 8), 512);
  analysis.measureMode = true;
  engine.block.assign(512 * 2, 128);
  ASSERT_EQ(analysis.AcquireFrame(true), 0);
  analysis.ComputeSpectrum();
  for (int k = 0; k < analysis.B; ++k) ASSERT_EQ(analysis.SpectrumAmp[k], 0.0) << k;
  EXPECT_EQ(analysis.WaveData[1][17], 0);
  EXPECT_EQ(analysis.LevelOf(0.0), -30000);
  EXPECT_EQ(analysis.peakBin, 0);  // first on ties
}

TEST_F(SpectrumTest, NormalisationPutsTheReferenceAtZeroDb) {
  Start(PcmFormat(1, 44100, 16), 4096);
  analysis.WindowFunction = KP05_WINDOW_RECT;
  analysis.levelScale.normalisationMode = 1;  // "Norm": the maximum
  Frame({{1000, Hz(100)}, {100, Hz(300)}});
  EXPECT_EQ(analysis.peakBin, 100);
  EXPECT_EQ(analysis.LevelOf(analysis.SpectrumAmp[100]), 0);
  EXPECT_EQ(analysis.LevelOf(analysis.SpectrumAmp[300]), -2000);
  Frame({{50, Hz(100)}, {100, Hz(300)}});  // every frame again
  EXPECT_EQ(analysis.LevelOf(analysis.SpectrumAmp[300]), 0);

  // "Norm1k": bin trunc(1000 / 10.77 + 0.5) = 93 reads 0 dB, whatever the maximum.
  analysis.levelScale.normalisationMode = 3;
  Frame({{1000, Hz(93)}, {10000, Hz(300)}});
  EXPECT_EQ(analysis.LevelOf(analysis.SpectrumAmp[93]), 0);
  EXPECT_EQ(analysis.LevelOf(analysis.SpectrumAmp[300]), 2000);
}

TEST_F(SpectrumTest, Norm10kBeyondTheLastBinTakesTheTinyReference) {
  Start(PcmFormat(1, 8000, 16), 1024);
  analysis.levelScale.normalisationMode = 4;
  Frame({{1000, 1000}});
  // Reference amplitude 0 taken as 1e-38: 9031 - trunc(-75999.5) + 0.5.
  EXPECT_EQ(analysis.levelScale.roundingTerm, 9031 + 75999 + 0.5);
}

TEST_F(SpectrumTest, AverageReplacesOverlay2OncePerBlockWithTheMean) {
  Start(PcmFormat(2, 44100, 16), 1024);
  analysis.WindowFunction = KP05_WINDOW_RECT;
  analysis.measureMode = true;
  bool layout;
  analysis.AverageCountChanged("4", layout);
  analysis.overlay1.stale = analysis.overlay2.stale = false;  // as after the next layout
  int changes[3] = {};
  int changeCount = 0;
  for (int frame = 1; frame <= 12; ++frame) {
    const double before = analysis.Overlay2Amp[100];
    Frame({{1000.0 * frame, Hz(100)}});
    if (analysis.Overlay2Amp[100] != before) {
      ASSERT_LT(changeCount, 3);
      changes[changeCount++] = frame;
      EXPECT_TRUE(analysis.overlay2.dirty);
      // The mean of the last four frames' amplitudes.
      EXPECT_NEAR(analysis.Overlay2Amp[100], 1000.0 * (frame - 1.5), 0.5);
      EXPECT_EQ(analysis.averageCounter, 0);
    }
  }
  EXPECT_EQ(changeCount, 3);
  EXPECT_EQ(changes[0], 4);
  EXPECT_EQ(changes[1], 8);
  EXPECT_EQ(changes[2], 12);
  EXPECT_EQ(views.overlay2Conversions, 3);

  // Paused: nothing accumulates.
  analysis.live = false;
  Frame({{30000, Hz(100)}});
  Frame({{30000, Hz(100)}});
  EXPECT_EQ(analysis.averageCounter, 0);
  EXPECT_EQ(analysis.AverageAcc[100], 0.0);
}

TEST_F(SpectrumTest, PeakHoldKeepsTheLargestAmplitudeWithoutDecay) {
  Start(PcmFormat(2, 44100, 24), 2048);
  analysis.WindowFunction = KP05_WINDOW_RECT;
  analysis.measureMode = true;
  analysis.PeakButtonDown(true);
  for (double amplitude : {3000.0, 9000.0, 2000.0, 0.0})
    Frame({{amplitude, Hz(100)}, {500, Hz(40)}});
  EXPECT_NEAR(analysis.Overlay1Amp[100], 9000, 0.5);
  EXPECT_NEAR(analysis.Overlay1Amp[40], 500, 0.5);
  EXPECT_TRUE(analysis.overlay1.dirty);

  analysis.ClearPeakHold();
  EXPECT_EQ(analysis.Overlay1Amp[100], 0.0);
  analysis.live = false;  // paused: the held frame is not collected again
  Frame({{9000, Hz(100)}});
  EXPECT_EQ(analysis.Overlay1Amp[100], 0.0);
}

TEST_F(SpectrumTest, CapturesCopyTheMainSpectrum) {
  Start(PcmFormat(1, 48000, 16), 1024);
  analysis.measureMode = true;
  analysis.overlay2.capture = true;
  Frame({{4000, Hz(50)}});
  EXPECT_FALSE(analysis.overlay2.capture);
  EXPECT_TRUE(analysis.overlay2.dirty);
  for (int k : {0, 49, 50, 51, 512}) EXPECT_EQ(analysis.Overlay2Amp[k], analysis.SpectrumAmp[k]);
  Frame({{100, Hz(50)}});
  EXPECT_NE(analysis.Overlay2Amp[50], analysis.SpectrumAmp[50]);
}

TEST_F(SpectrumTest, InterpolatePeakAtTheEdgesOfTheSpectrum) {
  Start(PcmFormat(1, 44100, 16), 4096);
  analysis.WindowFunction = KP05_WINDOW_RECT;
  Frame({{10000, Hz(1)}});
  double amplitude = analysis.SpectrumAmp[1];
  double f = Hz(1);
  analysis.InterpolatePeak(1, amplitude, 1, f);  // L = 4 from bin 0
  EXPECT_NEAR(f, Hz(1), 1e-9);
  EXPECT_NEAR(amplitude, 10000, 2);

  // Bin N/2: the bins above it read as zero, whatever the buffer holds there.
  const int top = analysis.N / 2;
  analysis.FftBuf[2 * top] = 300.0;
  analysis.FftBuf[2 * top - 2] = 100.0;
  double clean = 0, cleanF = 0;
  analysis.InterpolatePeak(top, clean, 2, cleanF);
  analysis.FftBuf[2 * top + 2] = 1e6;
  double poisoned = 0, poisonedF = 0;
  analysis.InterpolatePeak(top, poisoned, 2, poisonedF);
  EXPECT_EQ(poisoned, clean);
  EXPECT_EQ(poisonedF, cleanF);
  EXPECT_GE(cleanF, Hz(top - 2));
  EXPECT_LE(cleanF, Hz(top + 1));
}

TEST_F(SpectrumTest, OffBinToneIsInterpolatedToItsTrueFrequency) {
  Start(PcmFormat(1, 44100, 16), 4096);
  analysis.measureMode = true;
  for (int mode : {1, 2}) {
    const int q = mode == 2 ? 128 : 16;
    analysis.SpectrumInterpolate = mode;
    for (double bin : {100.3, 523.7, 1500.5, 30.21}) {
      // Windows whose main lobe the 8 interpolated bins hold. (The
      // rectangular window's slow side lobes limit it to about 1/20 bin; the
      // flat top's flat lobe leaves the frequency of its maximum undefined.)
      for (int window : {KP05_WINDOW_HANNING, KP05_WINDOW_BLACKMAN, KP05_WINDOW_BLACKMAN_HARRIS4}) {
        analysis.WindowFunction = window;
        Frame({{20000, Hz(bin)}});
        const double truth = Hz(bin);
        const double measured = analysis.PeakFreq10 / 10.0;
        const double binCentre = Hz(analysis.peakBin);
        SCOPED_TRACE(testing::Message()
                     << "mode " << mode << " bin " << bin << " window " << window);
        EXPECT_LE(std::fabs(measured - truth), Hz(1) / q + 0.05);
        EXPECT_LT(std::fabs(measured - truth), std::fabs(binCentre - truth));
      }
    }
  }
  analysis.WindowFunction = KP05_WINDOW_RECT;
  analysis.SpectrumInterpolate = 2;
  for (double bin : {100.3, 523.7, 1500.5, 30.21}) {
    Frame({{20000, Hz(bin)}});
    const double error = std::fabs(analysis.PeakFreq10 / 10.0 - Hz(bin));
    EXPECT_LE(error, Hz(1) / 16) << bin;
    EXPECT_LT(error, std::fabs(Hz(analysis.peakBin) - Hz(bin))) << bin;
  }
}

TEST_F(SpectrumTest, CursorReadsItsBinAndInterpolatesOnlyOnTheMainCurve) {
  Start(PcmFormat(1, 44100, 16), 4096);
  analysis.measureMode = true;
  analysis.SpectrumInterpolate = 1;
  analysis.cursorBin = 200;
  Frame({{20000, Hz(100)}, {2000, Hz(200.25)}});
  EXPECT_EQ(analysis.peakBin, 100);
  EXPECT_NEAR(analysis.CursorFreq10 / 10.0, Hz(200.25), Hz(1) / 16 + 0.05);
  EXPECT_GT(analysis.CursorAmp, analysis.SpectrumAmp[200]);

  analysis.overlay1.shown = true;  // an overlay shown: the plain bin
  Frame({{20000, Hz(100)}, {2000, Hz(200.25)}});
  EXPECT_EQ(analysis.CursorFreq10, static_cast<int32_t>(std::trunc(Hz(200) * 10 + 0.5)));
  EXPECT_EQ(analysis.CursorAmp, analysis.SpectrumAmp[200]);

  analysis.cursorBin = 5000;  // beyond the bins: no cursor
  Frame({{20000, Hz(100)}});
  EXPECT_EQ(analysis.CursorFreq10, -1);
}

}  // namespace
}  // namespace ov
