// Accuracy against tones made by an independent generator (sox), read back
// through the wave reader: the THD they were built with, and the frequency of
// a tone between bins.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/analysis/AnalysisTestSupport.h"
#include "app/analysis/FrameAnalysis.h"
#include "app/wavefile/ByteSource.h"
#include "app/wavefile/WaveFileParse.h"

namespace ov {
namespace {

class GeneratedTonesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::system("sox --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "sox is not installed";
    char pattern[] = "/tmp/ov_analysis_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    if (!dir_.empty()) std::system(("rm -rf '" + dir_ + "'").c_str());
  }

  // Runs sox with the synth arguments into a 24-bit mono file at 48 kHz
  // (no dither) and analyses its first n frames.
  void Analyse(const std::string& synth, int32_t n, int32_t window, int32_t interpolate) {
    const std::string file = dir_ + "/tone.wav";
    const std::string command =
        "sox -D -r 48000 -n -b 24 '" + file + "' synth 0.5 " + synth + " 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    WaveFileInfo info;
    ReaderMessage message;
    ASSERT_TRUE(ParseWaveFile(file.c_str(), &analysis.Format, &info, &message, ParseOptions{}))
        << message.c_str();
    ASSERT_TRUE(info.valid);
    ASSERT_EQ(analysis.Format.channels, 1);
    engine.block.resize(static_cast<size_t>(n) * analysis.Format.blockAlign);
    std::unique_ptr<ByteSource> source = OpenFileSource(file.c_str());
    ASSERT_TRUE(source && source->SeekTo(info.dataOffset));
    ASSERT_EQ(source->Read(engine.block.data(), engine.block.size()), engine.block.size());

    ASSERT_TRUE(analysis.SetAnalysisSize(n));
    ASSERT_TRUE(analysis.CreateInterpolationPlans());
    analysis.WindowFunction = window;
    analysis.SpectrumInterpolate = interpolate;
    analysis.spectrumAreaHeight = 100;
    analysis.measureMode = true;
    engine.playState = kPlayPlaying;
    ASSERT_EQ(analysis.AcquireFrame(true), 0);
    analysis.ComputeSpectrum();
  }
  double BinHz() const { return 48000.0 / analysis.N; }

  std::string dir_;
  Kp05Api api = StaticKp05Api();
  test::FakeBlockSource engine;
  test::RecordingNotifier notifier;
  NoModifierKeys keys;
  FrameAnalysis analysis{api, engine, notifier, keys};
};

TEST_F(GeneratedTonesTest, SecondHarmonicAtMinus60DbOnBinReadsPointOnePercent) {
  // Bin 85 of 4096 at 48 kHz, its second harmonic 60 dB lower, noise near -100 dB.
  Analyse("sine 996.09375 sine 1992.1875 whitenoise channels 3 remix 1v0.5,2v0.0005,3v0.00001",
          4096, KP05_WINDOW_HANNING, 0);
  EXPECT_EQ(analysis.peakBin, 85);
  const double thd = analysis.DistortionRatio(analysis.SpectrumAmp.data(), 85, false);
  EXPECT_NEAR(thd, 0.001, 0.00002);
  // THD+N also takes the harmonic's Hanning skirt (two neighbours at half
  // its amplitude: sqrt(1.5) x THD) and the noise, which adds little at -100 dB.
  const double thdN = analysis.DistortionRatio(analysis.SpectrumAmp.data(), 85, true);
  EXPECT_NEAR(thdN, thd * std::sqrt(1.5), thd * 0.01);
  EXPECT_NEAR(analysis.RmsDb(), 20 * std::log10(0.5 / std::sqrt(2.0)), 0.01);
}

TEST_F(GeneratedTonesTest, ToneBetweenBinsIsInterpolatedToItsTrueFrequency) {
  for (int mode : {1, 2}) {
    const double q = mode == 2 ? 128 : 16;
    for (double hz : {1000.0, 3210.5, 15000.3}) {
      for (int32_t window : {KP05_WINDOW_HANNING, KP05_WINDOW_BLACKMAN_HARRIS7}) {
        SCOPED_TRACE(testing::Message() << hz << " Hz, mode " << mode << ", window " << window);
        Analyse("sine " + std::to_string(hz) + " vol 0.7", 8192, window, mode);
        const double measured = analysis.PeakFreq10 / 10.0;
        // Within 1/q bin (plus the 0.05 Hz of the tenths), and closer than the bin centre.
        EXPECT_LE(std::fabs(measured - hz), BinHz() / q + 0.05);
        EXPECT_LT(std::fabs(measured - hz), std::fabs(analysis.peakBin * BinHz() - hz));
      }
    }
  }
}

}  // namespace
}  // namespace ov
