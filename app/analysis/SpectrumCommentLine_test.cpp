// The composed spectrum comment line for each option and interpolation.
#include <gtest/gtest.h>

#include "app/analysis/AnalysisTestSupport.h"
#include "app/analysis/SpectrumCommentLine.h"

namespace ov {
namespace {

TEST(SpectrumCommentLineTest, ComposesTheChosenCommentAndTheFacts) {
  struct Row {
    bool fs, n, fres;
    int32_t rate, size, interpolate;
    const char* line;
  };
  const Row rows[] = {
      {false, false, false, 44100, 4096, 0, "second"},
      {true, false, false, 44100, 4096, 0, "second  [Fs:44100]"},
      {false, true, false, 44100, 4096, 0, "second  [N:4096]"},
      {false, false, true, 44100, 4096, 0, "second  [Fs/N:10.8]"},
      {true, true, true, 44100, 4096, 0, "second  [Fs:44100 N:4096 Fs/N:10.8]"},
      // x16: 10.77/16 = 0.673; x128: 0.0841 is below 0.1.
      {false, false, true, 44100, 4096, 1, "second  [Fs/N:10.8(0.67)]"},
      {false, false, true, 44100, 4096, 2, "second  [Fs/N:10.8(0.084)]"},
      {true, false, true, 8000, 128, 1, "second  [Fs:8000 Fs/N:62.5(3.91)]"},
      {false, false, true, 8000, 131072, 1, "second  [Fs/N:0.1(0.004)]"},
      {false, false, true, 192000, 128, 2, "second  [Fs/N:1500.0(11.72)]"},
  };
  SpectrumCommentOptions options;
  options.comments[0] = "first";
  options.comments[1] = "second";
  options.selected = 1;
  for (const Row& r : rows) {
    options.sampleRate = r.fs;
    options.fftSize = r.n;
    options.resolution = r.fres;
    EXPECT_EQ(ComposeSpectrumComment(options, r.rate, r.size, r.interpolate), r.line);
  }
}

TEST(SpectrumCommentLineTest, ResetAnalysisDataRecomposesTheLine) {
  Kp05Api api = StaticKp05Api();
  test::FakeBlockSource engine;
  test::RecordingNotifier notifier;
  NoModifierKeys keys;
  FrameAnalysis a{api, engine, notifier, keys};
  a.Format = test::PcmFormat(2, 48000, 16);
  ASSERT_TRUE(a.SetAnalysisSize(1024));
  a.spectrumComment.comments[2] = "rig";
  a.spectrumComment.selected = 2;
  a.spectrumComment.fftSize = true;
  a.ResetAnalysisData(false);
  EXPECT_EQ(a.SpectrumCommentLine, "rig  [N:1024]");
}

TEST(SpectrumCommentLineTest, CommentsAreCutToEightyCharacters) {
  EXPECT_EQ(CutToCharacters(std::string(90, 'a'), 80), std::string(80, 'a'));
  const std::string kana = "\xE3\x81\x82";  // one character, three bytes
  std::string many;
  for (int i = 0; i < 85; ++i) many += kana;
  EXPECT_EQ(CutToCharacters(many, 80).size(), 80u * 3);
  // A character beyond the BMP counts two, as the edit counts it.
  EXPECT_EQ(CutToCharacters(std::string(79, 'a') + "\xF0\x9F\x8E\xB5", 80), std::string(79, 'a'));
}

}  // namespace
}  // namespace ov
