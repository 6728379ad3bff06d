#include "app/shell/Transport.h"

#include <gtest/gtest.h>

#include <cstring>

#include "app/common/PlayRecState.h"

namespace ov {
namespace {

TEST(TransportInputs, AnAllZeroBufferPlanBecomesTheAutomaticOne) {
  const BufferPlanInputs automatic = EngineBufferPlanInputs(0, 0, 0);
  EXPECT_EQ(automatic.perSec, 2u);
  EXPECT_EQ(automatic.count, 4u);
  EXPECT_EQ(automatic.minSamples, 131072u);
  // One value set keeps the others at 0: the engine keeps its own for those.
  const BufferPlanInputs partly = EngineBufferPlanInputs(10, 0, 0);
  EXPECT_EQ(partly.perSec, 10u);
  EXPECT_EQ(partly.count, 0u);
  EXPECT_EQ(partly.minSamples, 0u);
  const BufferPlanInputs negative = EngineBufferPlanInputs(-1, -5, -7);
  EXPECT_EQ(negative.perSec, 2u);
  EXPECT_EQ(negative.count, 4u);
}

TEST(TransportInputs, ThreadPrioritiesMoveIntoTheEnginesRange) {
  EXPECT_EQ(EngineThreadPriority(-2), 1);
  EXPECT_EQ(EngineThreadPriority(0), 3);
  EXPECT_EQ(EngineThreadPriority(2), 5);
  EXPECT_EQ(EngineThreadPriority(99), 5);
  EXPECT_EQ(EngineThreadPriority(-99), 1);
}

TEST(TransportRecordFormat, PcmFloatAndMultichannel) {
  const RecordFormat pcm = BuildRecordFormat(44100, 16, 2);
  EXPECT_EQ(pcm.format.formatTag, kWaveFormatPcm);
  EXPECT_EQ(pcm.format.blockAlign, 4);
  EXPECT_EQ(pcm.format.avgBytesPerSec, 176400u);
  EXPECT_EQ(pcm.format.extraSize, 0);
  EXPECT_EQ(pcm.floatWidth, 0u);

  const RecordFormat f = BuildRecordFormat(96000, -32, 1);
  EXPECT_EQ(f.format.formatTag, kWaveFormatIeeeFloat);
  EXPECT_EQ(f.format.bitsPerSample, 32);
  EXPECT_EQ(f.format.blockAlign, 4);
  EXPECT_EQ(f.floatWidth, 32u);
  EXPECT_EQ(FloatWidth(f.format), 32u);

  const RecordFormat multi = BuildRecordFormat(48000, 24, 6);
  EXPECT_EQ(multi.format.formatTag, kWaveFormatExtensible);
  EXPECT_EQ(multi.format.extraSize, 22);
  EXPECT_EQ(multi.format.blockAlign, 18);
  EXPECT_EQ(multi.format.validBitsPerSample, 24);
  EXPECT_EQ(multi.format.channelMask, 0x3Fu);
  EXPECT_EQ(std::memcmp(multi.format.subFormat, kSubFormatPcm, 16), 0);
  const RecordFormat multiFloat = BuildRecordFormat(48000, -32, 4);
  EXPECT_EQ(FloatWidth(multiFloat.format), 32u);
}

constexpr Language E = Language::English;

TEST(TransportFailureTexts, PlayTextForEachKindOfEngineMessage) {
  // Device in use (WASAPI), without and with the analyze fallback.
  const std::string inUse = "Unable to initialize. (AUDCLNT_E_DEVICE_IN_USE)";
  PlayFailure p = ComposePlayFailure(inUse, false, false, E);
  EXPECT_EQ(p.text,
            "Unable to play.\n\nUnable to initialize because the Device is already in use."
            "\nIf format is supported, try to change buffer size."
            "\n\n*If you press Play button /w Shift key, Analyze Mode (Precise Positioning "
            "Mode) is available.");
  EXPECT_FALSE(p.analyzeFallback);
  p = ComposePlayFailure(inUse, false, true, E);
  EXPECT_EQ(p.text,
            "Unable to play.\n\nUnable to initialize because the Device is already in use."
            "\n\nOperate on Analyze Mode (Precise Positioning Mode).");
  EXPECT_TRUE(p.analyzeFallback);

  // Format or buffer: the part from character 22 on.
  p = ComposePlayFailure("Unable to initialize. (AUDCLNT_E_UNSUPPORTED_FORMAT)", false, true, E);
  EXPECT_EQ(p.text,
            "Unable to play.\n\nUnable to initialize because of unsupported format or buffer "
            "size.\n\n(AUDCLNT_E_UNSUPPORTED_FORMAT)\n\nOperate on Analyze Mode (Precise "
            "Positioning Mode).");

  // The buffer plan never falls back.
  p = ComposePlayFailure("Buffer not enough  (1/2)", true, true, E);
  EXPECT_EQ(p.text,
            "Unable to play.\n\n(Buffer not enough  (1/2))\n\nPlease decrease FFT sample points.");
  EXPECT_FALSE(p.analyzeFallback);

  p = ComposePlayFailure("Unsupported format", false, false, E);
  EXPECT_EQ(p.text.rfind("Unable to play.  [Unsupported format]\n\n(Unsupported format)\n\n*If", 0),
            0u);
  p = ComposePlayFailure("No Wave Out device", false, true, E);
  EXPECT_EQ(p.text,
            "Unable to play.  [No Wave Output device]\n\n(No Wave Out device)\n\nOperate on "
            "Analyze Mode (Precise Positioning Mode).");
  EXPECT_TRUE(p.analyzeFallback);

  // Any other message; with Shift the fallback runs without a box.
  p = ComposePlayFailure("Something else", false, false, E);
  EXPECT_EQ(p.text.rfind("Unable to play.\n\n(Something else)\n\n*If", 0), 0u);
  p = ComposePlayFailure("Something else", true, false, E);
  EXPECT_TRUE(p.text.empty());
  EXPECT_TRUE(p.analyzeFallback);
  // "Unable to initialize" with Shift held takes the generic text (not shown).
  p = ComposePlayFailure(inUse, true, false, E);
  EXPECT_TRUE(p.analyzeFallback);
}

TEST(TransportFailureTexts, ShortMessagesNeverReadPastTheirEnd) {
  for (const char* m : {"", "U", "Unable to initialize", "Unable to initialize.", "Buffer not "}) {
    const PlayFailure p = ComposePlayFailure(m, false, false, E);
    EXPECT_FALSE(p.text.empty()) << m;
    EXPECT_FALSE(ComposeRecordFailure(m, E).empty()) << m;
  }
  EXPECT_EQ(ComposeRecordFailure("Unable to initialize", E),
            "Unable to record.\n\nUnable to initialize because of unsupported format or buffer "
            "size.\n\n\nIf format is supported, try to change buffer size.");
}

TEST(TransportFailureTexts, RecordTextsAndJapaneseTwins) {
  EXPECT_EQ(ComposeRecordFailure("Unable to initialize. (AUDCLNT_E_DEVICE_IN_USE)", E),
            "Unable to record.\n\nUnable to initialize because the Device is already in use.");
  EXPECT_EQ(ComposeRecordFailure("Buffer not enough  (1/2)", E),
            "Unable to record.\n\n(Buffer not enough  (1/2))\n\nPlease decrease FFT sample "
            "points.");
  EXPECT_EQ(ComposeRecordFailure("No Wave In device", E),
            "Unable to record.\n\n(No Wave In device)");
  EXPECT_EQ(ComposeRecordFailure("x", Language::Japanese).rfind("録音できません", 0), 0u);
  EXPECT_EQ(
      ComposePlayFailure("x", false, false, Language::Japanese).text.rfind("再生できません", 0),
      0u);
  EXPECT_EQ(ComposeOpenFailure("a.wav", "Not a wave file", E),
            "Unable to open file.\n\na.wav\n\n(Not a wave file)");
}

TEST(TransportButtons, TheEnabledButtonsOfEachState) {
  EXPECT_EQ(EnabledButtons(StateOf(kPlayStopped, kRecStopped, false)), kOpenButton | kRecButton);
  EXPECT_EQ(EnabledButtons(StateOf(kPlayStopped, kRecStopped, true)),
            kOpenButton | kPlayButton | kRecButton);
  EXPECT_EQ(EnabledButtons(StateOf(kPlayPlaying, kRecStopped, true)), kStopButton | kPauseButton);
  EXPECT_EQ(EnabledButtons(StateOf(kPlayPaused, kRecStopped, true)),
            kStopButton | kPauseButton | kOverlayButtons | kPositioningButton);
  for (int32_t rec : {kRecStarting, kRecRecording, kRecPaused})
    EXPECT_EQ(EnabledButtons(StateOf(kPlayStopped, rec, false)), kStopButton | kPauseButton);
}

}  // namespace
}  // namespace ov
