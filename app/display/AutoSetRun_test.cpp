#include "app/display/AutoSetRun.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace ov {
namespace {

// A host whose main thread is the caller, whose clock moves only when the run
// sleeps or waits, and whose frame rate comes from a table by view, draw type
// and reading.
class FakeHost : public AutoSetHost {
 public:
  // rate(view measured, type, reading 0..2)
  std::function<uint32_t(int, int32_t, int)> rate = [](int, int32_t t, int) {
    return 100u + 10u * static_cast<uint32_t>(t);
  };
  AutoSetSettings settings;
  bool directDraw = true;
  bool recEnabled = true;
  bool displayStarts = true;
  int failStopAtCall = -1;  // SetDisplayRunning(false) call number that fails
  int abortAtWait = -1;     // wait number after which the user presses Abort
  AutoSetRun* run = nullptr;

  std::vector<std::string> memo;
  std::vector<int> progress;
  std::vector<std::string> events;
  AutoSetSettings snapshot;
  bool snapshotKept = false;
  bool recording = false;
  uint32_t clock = 0;
  int stopCalls = 0;
  int waits = 0;
  int lastSwitchedView = 0;
  int reading = 0;

  void OnMainThread(const std::function<void()>& step) override { step(); }
  bool SetDisplayRunning(bool running) override {
    if (running) return true;
    return stopCalls++ != failStopAtCall;
  }
  void WaitWake(uint32_t ms) override {
    clock += ms;
    if (waits++ == abortAtWait && run) run->RequestAbort();
  }
  uint32_t FramesPerSecond() override {
    const int32_t type =
        lastSwitchedView == kAutoSetWaveView ? settings.waveDrawType : settings.spectrumDrawType;
    return rate(lastSwitchedView, type, reading++ % 3);
  }
  void Sleep(uint32_t ms) override { clock += ms; }
  AutoSetSettings CurrentSettings() override { return settings; }
  bool DirectDrawAvailable() override { return directDraw; }
  void SetDrawType(int view, int32_t type) override {
    (view == kAutoSetWaveView ? settings.waveDrawType : settings.spectrumDrawType) = type;
    lastSwitchedView = view;
    reading = 0;
  }
  void SetVBlankCheck(int view, bool on) override {
    (view == kAutoSetWaveView ? settings.waveCheckVBlank : settings.spectrumCheckVBlank) = on;
  }
  void SetDisplayPeriod(int32_t useTimer, int32_t sleepPeriod) override {
    settings.useTimer = useTimer;
    settings.dispThreadSleepPeriod = sleepPeriod;
  }
  void SetRecToFile(bool on) override { settings.recToFile = on; }
  void KeepInSetupSnapshot(const AutoSetSettings& chosen) override {
    snapshot = chosen;
    snapshotKept = true;
  }
  bool RecButtonEnabled() override { return recEnabled && !recording; }
  void PressRecButton() override {
    events.push_back(settings.recToFile ? "rec to file" : "rec");
    recording = true;
  }
  bool StopButtonEnabled() override { return recording; }
  void PressStopButton() override {
    events.push_back("stop");
    recording = false;
  }
  bool DisplayActive() override { return recording && displayStarts; }
  void ProcessMessages() override {}
  uint32_t TickMs() override { return clock; }
  void AddMemoLine(const std::string& text) override { memo.push_back(text); }
  void SetProgress(int percent) override { progress.push_back(percent); }
  void ShowRunControls(bool running) override {
    events.push_back(running ? "controls run" : "controls idle");
  }
};

struct AutoSetFixture : ::testing::Test {
  FakeHost host;
  AutoSetRun run{host, Language::English};
  AutoSetConditions conditions;

  void SetUp() override {
    host.run = &run;
    host.settings = {1, 4, false, true, 1, 20, false};
  }
  void RunOnce() {
    ASSERT_TRUE(run.BeginRun());
    run.Work(conditions);
    EXPECT_TRUE(run.CanStart());
  }
  bool MemoHas(const std::string& line) const {
    for (const auto& m : host.memo) {
      if (m == line) return true;
    }
    return false;
  }
};

TEST_F(AutoSetFixture, CompleteRunWritesEveryLineAndKeepsTheFastestTypes) {
  // The wave view is fastest on "Image 2", the spectrum view on "Image 1".
  host.rate = [](int view, int32_t t, int) -> uint32_t {
    if (view == kAutoSetWaveView) return t == 2 ? 300 : 100 + t;
    return t == 1 ? 250 : 50 + t;
  };
  RunOnce();
  const std::vector<std::string> expected = {
      "(Sleep time has been set to zero temporarily.)",
      " ",
      "Checking Wave drawing speed...",
      " Screen\t --> 100 fps",
      " Image 1\t --> 101 fps",
      " Image 2\t --> 300 fps",
      " DDraw 1\t --> 103 fps",
      " DDraw 2\t --> 104 fps",
      " DDraw 3\t --> 105 fps",
      "   Max: Image 2 --> 300 fps",
      "Checking Spectrum drawing speed...",
      " Screen\t --> 50 fps",
      " Image 1\t --> 250 fps",
      " Image 2\t --> 52 fps",
      " DDraw 1\t --> 53 fps",
      " DDraw 2\t --> 54 fps",
      " DDraw 3\t --> 55 fps",
      "   Max: Image 1 --> 250 fps",
      "Checking Wave drawing speed again...",
      " Screen\t --> 100 fps",
      " Image 1\t --> 101 fps",
      " Image 2\t --> 300 fps",
      " DDraw 1\t --> 103 fps",
      " DDraw 2\t --> 104 fps",
      " DDraw 3\t --> 105 fps",
      "   Max: Image 2 --> 300 fps",
      "\r\nThese results are set:",
      " Wave: Image 2\t Spectrum: Image 1",
      " ",
      "(Sleep time has been restored.)",
  };
  EXPECT_EQ(host.memo, expected);
  EXPECT_EQ(run.Results().bestWave, 2);
  EXPECT_EQ(run.Results().bestSpectrum, 1);
  EXPECT_EQ(host.settings.waveDrawType, 2);
  EXPECT_EQ(host.settings.spectrumDrawType, 1);
  // The period comes back; the V.Blank settings are the run's conditions.
  EXPECT_EQ(host.settings.useTimer, 1);
  EXPECT_EQ(host.settings.dispThreadSleepPeriod, 20);
  EXPECT_FALSE(host.settings.spectrumCheckVBlank);
  ASSERT_TRUE(host.snapshotKept);
  EXPECT_EQ(host.snapshot.waveDrawType, 2);
  EXPECT_EQ(host.snapshot.spectrumDrawType, 1);
  EXPECT_EQ(host.events,
            (std::vector<std::string>{"controls run", "rec", "stop", "controls idle"}));
}

TEST_F(AutoSetFixture, ProgressCountsEighteenStepsWithTruncation) {
  RunOnce();
  std::vector<int> expected = {0};
  for (int n = 1; n <= kAutoSetSteps; ++n) expected.push_back(n * 100 / kAutoSetSteps);
  EXPECT_EQ(host.progress, expected);
  EXPECT_EQ(host.progress[1], 5);
  EXPECT_EQ(host.progress.back(), 100);
}

TEST_F(AutoSetFixture, ThreeReadingsAverageWithTruncation) {
  host.rate = [](int, int32_t t, int reading) -> uint32_t {
    if (t != 3) return 10;
    return reading == 0 ? 100 : 101;  // 100, 101, 101 -> 100
  };
  RunOnce();
  EXPECT_EQ(run.Results().wave[3], 100u);
  EXPECT_TRUE(MemoHas(" DDraw 1\t --> 100 fps"));
}

TEST_F(AutoSetFixture, FlickerConditionSkipsTheDirectTypesInBothWavePasses) {
  conditions.waveNoFlicker = true;
  RunOnce();
  int skipped = 0;
  for (const auto& m : host.memo) skipped += m.find("Skipped") != std::string::npos;
  EXPECT_EQ(skipped, 6);  // Screen, Image 2, DDraw 2 in each wave pass
  EXPECT_TRUE(MemoHas(" Screen\t --> Skipped"));
  EXPECT_TRUE(MemoHas(" Image 2\t --> Skipped"));
  EXPECT_TRUE(MemoHas(" DDraw 2\t --> Skipped"));
  EXPECT_EQ(run.Results().wave[0], 0u);
  EXPECT_EQ(run.Results().wave[4], 0u);
  EXPECT_EQ(run.Results().wave[5], 150u);
  EXPECT_EQ(run.Results().spectrum[0], 100u);  // the spectrum view is not affected

  // With V.Blank checking ticked as well, they are measured again.
  host.memo.clear();
  conditions.waveCheckVBlank = true;
  RunOnce();
  for (const auto& m : host.memo) EXPECT_EQ(m.find("Skipped"), std::string::npos) << m;
  EXPECT_TRUE(host.settings.waveCheckVBlank);
}

TEST_F(AutoSetFixture, TiesChooseTheLowerIndexAndAnEmptyPassChoosesScreen) {
  EXPECT_EQ(ChooseFastestDrawType({5, 9, 9, 1, 9, 0}), 1);
  EXPECT_EQ(ChooseFastestDrawType({0, 0, 0, 0, 0, 0}), 0);
  EXPECT_EQ(ChooseFastestDrawType({0, 0, 0, 0, 0, 1}), 5);
  conditions.waveNoFlicker = true;
  host.rate = [](int, int32_t, int) { return 0u; };
  RunOnce();
  EXPECT_EQ(run.Results().bestWave, 0);  // skipped, yet chosen when all are 0
  EXPECT_TRUE(MemoHas("   Max: Screen --> 0 fps"));
}

TEST_F(AutoSetFixture, WithoutDirectDrawItsTypesAreSkippedAndNeverChosen) {
  host.directDraw = false;
  host.rate = [](int, int32_t t, int) -> uint32_t { return t >= 3 ? 900 : 100; };
  RunOnce();
  EXPECT_TRUE(MemoHas(" DDraw 1\t --> Skipped"));
  EXPECT_EQ(run.Results().bestWave, 0);
  EXPECT_EQ(run.Results().bestSpectrum, 0);
  EXPECT_EQ(run.Results().wave[4], 0u);
}

TEST_F(AutoSetFixture, AbortAfterAnyWaitRestoresTypesAndVBlank) {
  // 18 types, three waits each: abort after every one of the 54 waits in turn.
  for (int wait = 0; wait < 3 * kAutoSetSteps; ++wait) {
    host.settings = {1, 4, false, true, 1, 20, true};
    host.memo.clear();
    host.waits = 0;
    host.abortAtWait = wait;
    conditions.waveCheckVBlank = true;
    conditions.spectrumCheckVBlank = false;
    RunOnce();
    SCOPED_TRACE(wait);
    EXPECT_EQ(host.settings.waveDrawType, 1);
    EXPECT_EQ(host.settings.spectrumDrawType, 4);  // the type before Start set it to 0
    EXPECT_FALSE(host.settings.waveCheckVBlank);
    EXPECT_TRUE(host.settings.spectrumCheckVBlank);
    EXPECT_EQ(host.settings.dispThreadSleepPeriod, 20);
    EXPECT_TRUE(host.settings.recToFile);
    EXPECT_FALSE(host.recording);
    EXPECT_EQ(host.waits, wait + 1);  // nothing measured after the abort
    ASSERT_GE(host.memo.size(), 5u);
    const size_t n = host.memo.size();
    EXPECT_EQ(host.memo[n - 5], "*Aborted!");
    EXPECT_EQ(host.memo[n - 4], "\r\n(The setting of the drawing method has been restored.)");
    EXPECT_EQ(host.memo[n - 3], " ");
    EXPECT_EQ(host.memo[n - 2], "('Save to file' CheckBox has been restored.)");
    EXPECT_EQ(host.memo[n - 1], "(Sleep time has been restored.)");
    EXPECT_FALSE(MemoHas("\r\n--- Setting of draw type failed. ---"));
  }
}

TEST_F(AutoSetFixture, DisplayThatCannotBeParkedAbortsWithTheFailureLine) {
  host.failStopAtCall = 7;
  RunOnce();
  EXPECT_TRUE(run.StopFailed());
  EXPECT_TRUE(MemoHas("\r\n--- Setting of draw type failed. ---"));
  EXPECT_TRUE(MemoHas("*Aborted!"));
  EXPECT_EQ(host.settings.waveDrawType, 1);
  EXPECT_EQ(host.settings.spectrumDrawType, 4);
}

TEST_F(AutoSetFixture, SaveToFileIsTurnedOffForTheRunAndBackOnAfterIt) {
  host.settings.recToFile = true;
  RunOnce();
  EXPECT_EQ(host.memo[1], "('Save to file' CheckBox has been set to off temporarily.)");
  EXPECT_TRUE(MemoHas("('Save to file' CheckBox has been restored.)"));
  EXPECT_EQ(host.events[1], "rec");  // recorded without a file
  EXPECT_TRUE(host.settings.recToFile);

  host.settings.recToFile = false;
  host.memo.clear();
  RunOnce();
  EXPECT_FALSE(MemoHas("('Save to file' CheckBox has been set to off temporarily.)"));
  EXPECT_FALSE(MemoHas("('Save to file' CheckBox has been restored.)"));
}

TEST_F(AutoSetFixture, RecordingThatDoesNotStartEndsTheRunWithinItsBound) {
  host.displayStarts = false;
  RunOnce();
  EXPECT_TRUE(MemoHas("(Recording did not start, so the check is aborted.)"));
  EXPECT_TRUE(MemoHas("*Aborted!"));
  EXPECT_GE(host.clock, kAutoSetRecordStartTimeoutMs);
  EXPECT_LT(host.clock, kAutoSetRecordStartTimeoutMs + 1000);
  EXPECT_EQ(host.waits, 0);
  EXPECT_FALSE(host.recording);
}

TEST_F(AutoSetFixture, OnlyOneRunAtATime) {
  ASSERT_TRUE(run.BeginRun());
  EXPECT_FALSE(run.CanStart());
  EXPECT_FALSE(run.BeginRun());  // Start pressed again while the first one runs
  run.Work(conditions);
  EXPECT_TRUE(run.CanStart());
  EXPECT_TRUE(run.BeginRun());
}

TEST(AutoSetOpeningText, FourOpeningsInEachLanguage) {
  EXPECT_EQ(AutoSetOpeningText(true, true, Language::English),
            "[Message]\r\nBecause of first run, please click start button and set the drawing "
            "type.");
  const std::string recommended =
      "[Recommended settings] (initial settings)\r\n Driver:   MME\r\n Device:   suitable\r\n "
      "Format:   48000s/s  16bit  stereo\r\n\r\nAlso recommended sample number of FFT is 4096.";
  EXPECT_EQ(
      AutoSetOpeningText(false, false, Language::English),
      "Unable to record with current settings.\r\nPlease change settings.\r\n\r\n" + recommended);
  const std::string fromSetup = AutoSetOpeningText(false, true, Language::English);
  EXPECT_EQ(fromSetup.rfind("[Note]\r\n While check drawing speed", 0), 0u);
  EXPECT_EQ(fromSetup.substr(fromSetup.size() - recommended.size()), recommended);
  EXPECT_NE(AutoSetOpeningText(true, false, Language::English).find("But unable to record"),
            std::string::npos);
  // Only the Japanese text from the setup dialog carries the note on changing settings.
  const std::string japanese = AutoSetOpeningText(false, true, Language::Japanese);
  EXPECT_NE(japanese.find("今の設定を変更する場合"), std::string::npos);
  EXPECT_EQ(AutoSetOpeningText(false, false, Language::Japanese).find("今の設定を変更する場合"),
            std::string::npos);
}

}  // namespace
}  // namespace ov
