// Sizing, allocation failures, resets and frame acquisition.
#include "app/analysis/FrameAnalysis.h"

#include <gtest/gtest.h>

#include "app/analysis/AnalysisTestSupport.h"

namespace ov {
namespace {

using test::FakeBlockSource;
using test::HeldModifierKeys;
using test::PcmFormat;
using test::RecordingNotifier;

class FrameAnalysisTest : public ::testing::Test {
 protected:
  Kp05Api api = StaticKp05Api();
  FakeBlockSource engine;
  RecordingNotifier notifier;
  HeldModifierKeys keys;

  // A 16-bit stereo analysis of 256 frames whose source hands out a 1 kHz tone.
  void SetUpToneFrame(FrameAnalysis& a, FakeBlockSource& source) {
    a.Format = PcmFormat(2, 44100, 16);
    ASSERT_TRUE(a.SetAnalysisSize(256));
    a.spectrumAreaHeight = 100;
    source.block = test::ToneFrames(a.Format, 256, {{1000, 1000}});
  }
};

TEST_F(FrameAnalysisTest, AnalysisSizeRoundsDownToAPowerOfTwoInRange) {
  FrameAnalysis a(api, engine, notifier, keys);
  a.Format = PcmFormat(2, 44100, 16);
  ASSERT_TRUE(a.SetAnalysisSize(3000));
  EXPECT_EQ(a.N, 2048);
  EXPECT_EQ(a.B, 1025);
  EXPECT_EQ(engine.playPlanMinSamples, 2048);
  EXPECT_EQ(engine.recPlanMinSamples, 2048);
  EXPECT_EQ(a.DataBuf.size(), 2048u * 4);
  EXPECT_EQ(a.FftBuf.size(), 2u * 2048 + 2);
  EXPECT_EQ(a.SpectrumAmp.size(), 1025u);
  EXPECT_EQ(a.Polygon3D.size(), 1028u);
  EXPECT_STREQ(a.FftInfoText, " 2048 Hanning");

  // The current size again changes nothing, not even the held state.
  a.peakHold = true;
  ASSERT_TRUE(a.SetAnalysisSize(2048));
  EXPECT_TRUE(a.peakHold);

  ASSERT_TRUE(a.SetAnalysisSize(131072));
  EXPECT_EQ(a.N, 131072);
  EXPECT_FALSE(a.peakHold);
  ASSERT_TRUE(a.SetAnalysisSize(1 << 20));  // beyond the range: the largest size
  EXPECT_EQ(a.N, 131072);
  ASSERT_TRUE(a.SetAnalysisSize(100));  // below the range: the smallest size
  EXPECT_EQ(a.N, 128);
  a.WindowFunction = 6;
  ASSERT_TRUE(a.SetAnalysisSize(4096));
  EXPECT_STREQ(a.FftInfoText, " 4096 Flat top");
  EXPECT_TRUE(notifier.texts.empty());
}

TEST_F(FrameAnalysisTest, AllocationFailuresNameTheirStep) {
  struct Case {
    WaveFormat format;
    size_t limit;
    Language language;
    const char* text;
  };
  // N = 4096: DataBuf N x block align, WaveData 4N, point arrays 8N, FftBuf 16N + 16.
  const Case cases[] = {
      {PcmFormat(2, 44100, 16), 60000, Language::English,
       "Insufficient memory.(FFT: No.2)\n\nTerminate this application."},
      {PcmFormat(8, 44100, 32), 60000, Language::English,
       "Insufficient memory.(DataBuf: No.3)\n\nTerminate this application."},
      {PcmFormat(1, 44100, 8), 8192, Language::English,
       "Insufficient memory.(WaveData: No.4)\n\nTerminate this application."},
      {PcmFormat(2, 44100, 16), 20000, Language::Japanese,
       "メモリーが確保できませんでした。(FFT: No.5)\n\nアプリケーションを終了します。"},
  };
  for (const Case& c : cases) {
    RecordingNotifier notices;
    FrameAnalysis a(api, engine, notices, keys);
    a.Format = c.format;
    a.language = c.language;
    a.maxBufferBytes = c.limit;
    EXPECT_FALSE(a.SetAnalysisSize(4096));
    ASSERT_EQ(notices.texts.size(), 1u);
    EXPECT_EQ(notices.texts[0], c.text);
    EXPECT_EQ(notices.icons[0], NoticeIcon::Error);
    // Nothing half-sized is left to draw from.
    EXPECT_EQ(a.N, 0);
    engine.playState = kPlayPlaying;
    EXPECT_EQ(a.AcquireFrame(true), -1);
    engine.playState = kPlayStopped;
  }
}

TEST_F(FrameAnalysisTest, FormatBuffersFollowTheFormatAndKeepAtLeastTwoChannels) {
  FrameAnalysis a(api, engine, notifier, keys);
  a.Format = PcmFormat(1, 48000, 24);
  ASSERT_TRUE(a.SetAnalysisSize(1024));
  EXPECT_EQ(a.channelCount, 1);
  EXPECT_EQ(a.waveDataCount, 2);
  EXPECT_EQ(a.DataBuf.size(), 1024u * 3);

  a.Format = PcmFormat(10, 48000, 16);  // channels beyond the eighth are ignored
  ASSERT_TRUE(a.PrepareFormatBuffers());
  EXPECT_EQ(a.channelCount, 8);
  EXPECT_EQ(a.waveDataCount, 8);
  EXPECT_EQ(a.DataBuf.size(), 1024u * 20);

  // A block align too small for its channels unpacks only what fits.
  WaveFormat broken = PcmFormat(4, 48000, 32);
  broken.blockAlign = 6;
  a.Format = broken;
  ASSERT_TRUE(a.PrepareFormatBuffers());
  EXPECT_EQ(a.channelCount, 1);
  engine.playState = kPlayPlaying;
  a.spectrumAreaHeight = 100;
  EXPECT_EQ(a.AcquireFrame(true), 0);
}

TEST_F(FrameAnalysisTest, APausedFrameComesFromTheRingStartWithoutTouchingTheStates) {
  FrameAnalysis a(api, engine, notifier, keys);
  ASSERT_NO_FATAL_FAILURE(SetUpToneFrame(a, engine));
  engine.playState = kPlayPlaying;
  EXPECT_EQ(a.AcquirePausedFrame(), -1);  // only while paused
  EXPECT_EQ(engine.playCopies, 0);
  engine.playState = kPlayPaused;
  EXPECT_EQ(a.AcquirePausedFrame(), 0);
  EXPECT_EQ(engine.ringStartCopies, 1);
  EXPECT_EQ(engine.playState, kPlayPaused);
  EXPECT_NE(a.WaveData[0][64], 0);  // the fetched tone, not the held silence
}

// The engine pauses on the main thread while the display thread fetches: a
// copy that finds the play paused hands out silence, which must not replace
// the frame the pause holds (a capture taken then would keep silence).
class PausingBlockSource : public FakeBlockSource {
 public:
  bool pauseDuringCopy = false;
  void CopyNewestPlayBlock(uint8_t* destination, size_t byteCount, bool fromRingStart) override {
    if (!pauseDuringCopy) {
      FakeBlockSource::CopyNewestPlayBlock(destination, byteCount, fromRingStart);
      return;
    }
    playState = kPlayPaused;
    std::memset(destination, 0, byteCount);
  }
};

TEST_F(FrameAnalysisTest, APauseDuringTheFetchKeepsTheFrameItHolds) {
  PausingBlockSource pausing;
  FrameAnalysis a(api, pausing, notifier, keys);
  ASSERT_NO_FATAL_FAILURE(SetUpToneFrame(a, pausing));
  pausing.playState = kPlayPlaying;
  ASSERT_EQ(a.AcquireFrame(true), 0);
  const std::vector<int32_t> wave(a.WaveData[0].data(), a.WaveData[0].data() + 256);
  const std::vector<double> fft(a.FftBuf.data(), a.FftBuf.data() + 256);
  ASSERT_NE(wave[64], 0);

  pausing.pauseDuringCopy = true;
  EXPECT_EQ(a.AcquireFrame(true), -1);  // nothing new to draw
  EXPECT_EQ(std::vector<int32_t>(a.WaveData[0].data(), a.WaveData[0].data() + 256), wave);
  EXPECT_EQ(std::vector<double>(a.FftBuf.data(), a.FftBuf.data() + 256), fft);
  // Paused, the held frame is drawn again as it was.
  EXPECT_EQ(a.AcquireFrame(true), 0);
  EXPECT_EQ(std::vector<double>(a.FftBuf.data(), a.FftBuf.data() + 256), fft);
}

TEST_F(FrameAnalysisTest, AcquireFollowsThePlayAndRecordStates) {
  FrameAnalysis a(api, engine, notifier, keys);
  ASSERT_NO_FATAL_FAILURE(SetUpToneFrame(a, engine));

  EXPECT_EQ(a.AcquireFrame(true), -1);  // stopped: nothing to draw
  engine.playState = kPlayPaused;
  EXPECT_EQ(a.AcquireFrame(true), 0);  // paused: redraw the held frame
  EXPECT_EQ(engine.playCopies + engine.recCopies, 0);
  engine.playState = kPlayStopped;
  engine.recState = kRecPaused;
  EXPECT_EQ(a.AcquireFrame(true), 0);
  engine.recState = kRecStarting;
  EXPECT_EQ(a.AcquireFrame(true), -1);

  engine.recState = kRecRecording;
  EXPECT_EQ(a.AcquireFrame(true), 0);
  EXPECT_EQ(engine.recCopies, 1);
  EXPECT_EQ(engine.lastByteCount, 256u * 4);
  engine.playState = kPlayPlaying;  // play wins over record
  EXPECT_EQ(a.AcquireFrame(true), 0);
  EXPECT_EQ(engine.playCopies, 1);
  EXPECT_EQ(a.WaveData[0][5], static_cast<int32_t>(uint32_t{engine.block[21]} << 24 |
                                                   uint32_t{engine.block[20]} << 16));

  // A changed format without PrepareFormatBuffers never copies past DataBuf.
  a.Format = PcmFormat(8, 44100, 32);
  EXPECT_EQ(a.AcquireFrame(true), -1);
  EXPECT_EQ(engine.playCopies, 1);
}

TEST_F(FrameAnalysisTest, FloatBlocksAreConvertedOnceAndChannelsSelected) {
  FrameAnalysis a(api, engine, notifier, keys);
  a.Format = test::FloatFormat(2, 44100);
  a.FormatIsFloat = 32;
  ASSERT_TRUE(a.SetAnalysisSize(128));
  a.spectrumAreaHeight = 100;
  engine.block.assign(128 * 8, 0);
  const float frame0[2] = {1.5f, -0.5f};
  std::memcpy(engine.block.data(), frame0, sizeof frame0);
  engine.recState = kRecRecording;

  ASSERT_EQ(a.AcquireFrame(true), 0);
  EXPECT_EQ(a.WaveData[0][0], 2147483647);
  EXPECT_EQ(a.WaveData[1][0], -1073741824);
  EXPECT_EQ(a.spectrumChannel, 0);
  EXPECT_EQ(a.waveChannel2, 1);

  // Re-running on the held block (new channel choice) must not convert twice.
  a.lrToggleDown = true;
  ASSERT_EQ(a.AcquireFrame(false), 0);
  EXPECT_EQ(a.WaveData[1][0], -1073741824);
  EXPECT_EQ(a.spectrumChannel, 1);
  EXPECT_EQ(a.selectedSamples, a.WaveData[1].data());

  // Display channel 1 with the toggle wraps to the first channel; a display
  // channel beyond the format falls back to the first.
  a.displayChannel = 1;
  ASSERT_EQ(a.AcquireFrame(false), 0);
  EXPECT_EQ(a.spectrumChannel, 0);
  EXPECT_EQ(a.waveChannel1, 1);
  EXPECT_EQ(a.waveChannel2, 0);
  a.displayChannel = 5;
  ASSERT_EQ(a.AcquireFrame(false), 0);
  EXPECT_EQ(a.waveChannel1, 0);
}

TEST_F(FrameAnalysisTest, MonoPlayedAsStereoShowsTheOneChannelTwice) {
  FrameAnalysis a(api, engine, notifier, keys);
  a.Format = PcmFormat(1, 44100, 16);
  ASSERT_TRUE(a.SetAnalysisSize(1024));
  a.spectrumAreaHeight = 100;
  a.levelMeterShown = true;
  a.meterUpdatesPerSecond = 50;
  engine.block = test::ToneFrames(a.Format, 1024, {{16384, 441}});
  engine.playState = kPlayPlaying;

  ASSERT_EQ(a.AcquireFrame(true), 0);
  EXPECT_EQ(a.waveChannel2, 1);  // the zero-filled second array
  EXPECT_EQ(a.PeakLevel[1], -960);
  EXPECT_EQ(a.WaveData[1][100], 0);

  a.PlayForceMonoStereo = true;
  ASSERT_EQ(a.AcquireFrame(true), 0);
  EXPECT_EQ(a.waveChannel2, 0);
  EXPECT_EQ(a.PeakLevel[0], -60);  // half scale
  EXPECT_EQ(a.PeakLevel[1], a.PeakLevel[0]);
  EXPECT_EQ(a.RmsLevel[1], a.RmsLevel[0]);
}

TEST_F(FrameAnalysisTest, LowSpectrumAreaSkipsTheTransformButNotTheLevels) {
  FrameAnalysis a(api, engine, notifier, keys);
  a.Format = PcmFormat(2, 44100, 16);
  ASSERT_TRUE(a.SetAnalysisSize(256));
  a.levelMeterShown = true;
  a.WindowFunction = 1;
  engine.block = test::ToneFrames(a.Format, 256, {{8192, 44100.0 * 16 / 256}});
  engine.playState = kPlayPlaying;

  a.spectrumAreaHeight = 9;
  ASSERT_EQ(a.AcquireFrame(true), 0);
  EXPECT_EQ(a.PeakLevel[0], -120);  // quarter scale, meter computed
  // FftBuf keeps the unweighted input.
  EXPECT_EQ(a.FftBuf[7], a.WaveData[0][7] / 65536.0);
  a.measureMode = true;
  a.ComputeSpectrum();
  EXPECT_EQ(a.peakBin, -1);  // nothing computed
  EXPECT_EQ(a.SpectrumAmp[16], 0.0);

  // Shift+Ctrl+Alt: weighted samples stay in FftBuf (Hanning is 0 at index 0).
  a.spectrumAreaHeight = 10;
  keys.held = true;
  ASSERT_EQ(a.AcquireFrame(true), 0);
  EXPECT_EQ(a.FftBuf[0], 0.0);
  EXPECT_NEAR(a.FftBuf[128], a.WaveData[0][128] / 65536.0, 1e-9);
  EXPECT_NEAR(a.FftBuf[64], a.WaveData[0][64] / 65536.0 * 0.5, 1e-9);
}

TEST_F(FrameAnalysisTest, ResetsClearWhatTheyOwn) {
  FrameAnalysis a(api, engine, notifier, keys);
  a.Format = PcmFormat(2, 44100, 16);
  ASSERT_TRUE(a.SetAnalysisSize(256));
  a.spectrumAreaHeight = 100;
  a.levelMeterShown = true;
  engine.block = test::ToneFrames(a.Format, 256, {{8192, 1000}});
  engine.playState = kPlayPlaying;
  ASSERT_EQ(a.AcquireFrame(true), 0);
  a.ComputeSpectrum();

  a.ResetAnalysisData(true);  // levels only
  EXPECT_EQ(a.PeakLevel[0], -960);
  EXPECT_NE(a.WaveData[0][1], 0);
  a.ResetAnalysisData(false);
  EXPECT_EQ(a.WaveData[0][1], 0);
  EXPECT_EQ(a.SpectrumAmp[5], 0.0);
  EXPECT_EQ(a.Polygon3D[3].x, -1);
  EXPECT_EQ(a.Overlay1Points[3].y, -1);
  EXPECT_EQ(a.Overlay2Points[3].y, -1);

  a.peakHold = true;
  a.Overlay1Amp[4] = 3.0;
  a.overlay1.dirty = true;
  a.ClearPeakHold();
  EXPECT_EQ(a.Overlay1Amp[4], 0.0);
  EXPECT_FALSE(a.overlay1.dirty);
  a.peakHold = false;  // a captured overlay is not peak hold: it stays
  a.Overlay1Amp[4] = 3.0;
  a.ClearPeakHold();
  EXPECT_EQ(a.Overlay1Amp[4], 3.0);

  a.overlay2.shown = a.overlay1.stale = true;
  a.cursorBin = a.peakBin = 7;
  a.ResetSpectrumState();
  EXPECT_FALSE(a.overlay2.shown);
  EXPECT_FALSE(a.overlay1.stale);
  EXPECT_EQ(a.cursorBin, -1);
  EXPECT_EQ(a.peakBin, -1);
  EXPECT_TRUE(a.mainOn);
}

TEST_F(FrameAnalysisTest, MeasurePanelButtonsKeepTheMainOnRule) {
  FrameAnalysis a(api, engine, notifier, keys);
  a.Format = PcmFormat(2, 44100, 16);
  ASSERT_TRUE(a.SetAnalysisSize(256));

  a.MainButtonDown(false);  // no overlay shown: main stays on
  EXPECT_TRUE(a.mainOn);
  EXPECT_TRUE(a.PeakButtonDown(true));
  EXPECT_TRUE(a.overlay1.shown && a.overlay1.stale && a.overlay2.stale);
  a.MainButtonDown(false);
  EXPECT_FALSE(a.mainOn);

  bool layout = false;
  EXPECT_EQ(a.AverageCountChanged("x 40 frames", layout), 40);
  EXPECT_TRUE(layout);
  EXPECT_TRUE(a.overlay2.shown);
  EXPECT_EQ(a.AverageCountChanged("1", layout), 1);
  EXPECT_FALSE(layout);
  EXPECT_EQ(a.AverageCountChanged("", layout), 1);
  EXPECT_EQ(a.AverageCountChanged("99999999999999999999999", layout), 1000);

  a.ThdButtonDown(true);
  EXPECT_TRUE(a.snLine);
  a.ThdButtonDown(false);
  EXPECT_TRUE(a.snLine);
  a.ThdButtonDown(true);
  EXPECT_FALSE(a.snLine);
}

}  // namespace
}  // namespace ov
