// The draw-type auto-set window under the real platform, driving a real
// display (thread, timers, views) that draws a fixed block: the controls, the
// opening texts, one whole run that measures, chooses and keeps the fastest
// types, and an abort that puts everything back.
#include "app/display/DrawTypeAutoSetForm_win.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/display/DisplayWinTestSupport.h"
#include "app/resources/ResourceIds.h"

namespace ov {
namespace {

using test::TestDisplayHost;

// The main window and the setup dialog as far as a run needs them: settings
// changed as their handlers would, the record button starting the display.
class DisplayTarget : public AutoSetTarget {
 public:
  explicit DisplayTarget(TestDisplayHost& host) : host_(host) {}

  bool SetDisplayRunning(bool running) override {
    return host_.display->SetDisplayRunning(running);
  }
  uint32_t FramesPerSecond() override {
    return static_cast<uint32_t>(
        __atomic_load_n(&host_.display->Counters().framesPerSecond, __ATOMIC_RELAXED));
  }
  bool RecordingPossible() override { return recordingPossible; }
  AutoSetSettings CurrentSettings() override {
    const auto& c = host_.Settings().Conditions;
    return {c.WaveDrawType, c.SpectrumDrawType,      c.WaveCheckVBlank, c.SpectrumCheckVBlank,
            c.UseTimer,     c.DispThreadSleepPeriod, c.RecToFile};
  }
  bool DirectDrawAvailable() override { return host_.display->Surfaces().Available(); }
  void SetDrawType(int view, int32_t type) override {
    auto& c = host_.Settings().Conditions;
    (view == kAutoSetWaveView ? c.WaveDrawType : c.SpectrumDrawType) = type;
    host_.display->Layout();
    ++drawTypeChanges;
  }
  void SetVBlankCheck(int view, bool on) override {
    auto& c = host_.Settings().Conditions;
    (view == kAutoSetWaveView ? c.WaveCheckVBlank : c.SpectrumCheckVBlank) = on;
  }
  void SetDisplayPeriod(int32_t useTimer, int32_t sleepPeriod) override {
    auto& c = host_.Settings().Conditions;
    c.UseTimer = useTimer;
    c.DispThreadSleepPeriod = sleepPeriod;
    host_.display->PacingChanged();
  }
  void SetRecToFile(bool on) override {
    host_.Settings().Conditions.RecToFile = on;
    recToFileChanges.push_back(on);
  }
  void KeepInSetupSnapshot(const AutoSetSettings& chosen) override {
    snapshot = chosen;
    snapshotKept = true;
  }
  bool RecButtonEnabled() override { return !recording; }
  void PressRecButton() override {
    recording = true;
    ++recordings;
    host_.source.playState = kPlayPlaying;  // the fixed block stands for the recording
    host_.display->TransportStarting();
    host_.display->TransportStarted();
    host_.display->SetDisplayRunning(true);
  }
  bool StopButtonEnabled() override { return recording; }
  void PressStopButton() override {
    host_.display->SetDisplayRunning(false);
    host_.display->TransportStopped();
    recording = false;
  }
  bool DisplayActive() override { return host_.display->Thread().Active(); }

  bool recordingPossible = true;
  bool recording = false;
  int recordings = 0;
  int drawTypeChanges = 0;
  std::vector<bool> recToFileChanges;
  AutoSetSettings snapshot;
  bool snapshotKept = false;

 private:
  TestDisplayHost& host_;
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "\r\n") == 0) {
      lines.push_back(line);
      line.clear();
      ++i;
    } else {
      line += text[i];
    }
  }
  lines.push_back(line);
  return lines;
}

class DrawTypeAutoSet : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& c = host.Settings().Conditions;
    c.WaveDrawType = 1;
    c.SpectrumDrawType = 2;
    c.WaveCheckVBlank = true;
    c.SpectrumCheckVBlank = false;
    c.UseTimer = 1;
    c.DispThreadSleepPeriod = 15;
    c.RecToFile = true;
    host.CreateDisplay(test::PcmFormat(2, 44100, 16), 4096);
    host.source.block = test::ToneFrames(test::PcmFormat(2, 44100, 16), 4096, {{12000, 1000}});
    form = std::make_unique<TDrawTypeAutoSetForm>(host.MainWindow(), target, host.Runner(),
                                                  Language::English, "Orlavisonic");
    ASSERT_TRUE(form->Create());
  }
  void TearDown() override { form.reset(); }

  // Handles messages until the run has finished and its worker ended.
  bool PumpUntilIdle(std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
      host.Pump();
      if (!form->Running() && IsWindowEnabled(form->Control(IDC_AUTO_SET_CLOSE_BUTTON))) {
        host.Pump();
        return true;
      }
      Sleep(5);
    }
    return false;
  }
  void Click(int id) {
    SendMessageW(form->hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(form->Control(id)));
  }

  // The drawing benchmark's size: a 1024 x 768 window, a 380-row wave area.
  TestDisplayHost host{1024, 768, 380};
  DisplayTarget target{host};
  std::unique_ptr<TDrawTypeAutoSetForm> form;
};

TEST_F(DrawTypeAutoSet, ControlsTextsAndOpening) {
  RECT client;
  GetClientRect(form->hwnd(), &client);
  EXPECT_EQ(client.right, 330);
  EXPECT_EQ(client.bottom, 371);
  wchar_t text[128];
  GetWindowTextW(form->hwnd(), text, 128);
  EXPECT_STREQ(text, L"Orlavisonic - Drawing type auto set");
  RECT start;
  GetWindowRect(form->Control(IDC_AUTO_SET_START_BUTTON), &start);
  MapWindowPoints(nullptr, form->hwnd(), reinterpret_cast<POINT*>(&start), 2);
  EXPECT_EQ(start.left, 258);
  EXPECT_EQ(start.top, 76);
  EXPECT_EQ(start.right - start.left, 64);
  GetWindowTextW(form->Control(IDC_AUTO_SET_WAVE_CHECK_VBLANK), text, 128);
  EXPECT_STREQ(text, L"enable V.Blank checking (Wave)");
  EXPECT_FALSE(IsWindowVisible(form->Control(IDC_AUTO_SET_PROGRESS)));

  form->FormShow(true);
  EXPECT_EQ(Lines(form->MemoText())[0], "[Message]");
  EXPECT_TRUE(IsWindowEnabled(form->Control(IDC_AUTO_SET_START_BUTTON)));
  target.recordingPossible = false;
  form->FormShow(false);
  const auto lines = Lines(form->MemoText());
  EXPECT_EQ(lines[0], "Unable to record with current settings.");
  EXPECT_EQ(lines[3], "[Recommended settings] (initial settings)");
  EXPECT_FALSE(IsWindowEnabled(form->Control(IDC_AUTO_SET_START_BUTTON)));
}

TEST_F(DrawTypeAutoSet, JapaneseModeKeepsTheJapaneseTexts) {
  TDrawTypeAutoSetForm japanese(host.MainWindow(), target, host.Runner(), Language::Japanese,
                                "Orlavisonic");
  ASSERT_TRUE(japanese.Create());
  wchar_t text[128];
  GetWindowTextW(japanese.hwnd(), text, 128);
  EXPECT_STREQ(text, L"Orlavisonic - 描画方法自動設定");
  GetWindowTextW(japanese.Control(IDC_AUTO_SET_START_BUTTON), text, 128);
  EXPECT_STREQ(text, L"スタート");
  japanese.FormShow(true);
  EXPECT_EQ(Lines(japanese.MemoText())[0], "[メッセージ]");
}

TEST_F(DrawTypeAutoSet, AFullRunMeasuresChoosesAndKeepsTheFastestTypes) {
  form->FormShow(false);
  ShowWindow(form->hwnd(), SW_SHOWNOACTIVATE);
  Click(IDC_AUTO_SET_START_BUTTON);
  ASSERT_TRUE(form->Running());
  wchar_t caption[16];
  GetWindowTextW(form->Control(IDC_AUTO_SET_START_BUTTON), caption, 16);
  EXPECT_STREQ(caption, L"Abort");
  EXPECT_FALSE(IsWindowEnabled(form->Control(IDC_AUTO_SET_CLOSE_BUTTON)));
  // A second press would abort, not start another run; do not press it.
  ASSERT_TRUE(PumpUntilIdle(std::chrono::seconds(240)));

  const std::string memo = form->MemoText();
  const auto lines = Lines(memo);
  const AutoSetResults& r = form->Results();
  for (const auto& l : lines) std::printf("memo| %s\n", l.c_str());  // the measured rates
  int measured = 0, skipped = 0;
  for (const auto& l : lines) {
    if (l.find("\t --> ") != std::string::npos) {
      if (l.find("Skipped") != std::string::npos)
        ++skipped;
      else
        ++measured;
    }
  }
  EXPECT_EQ(measured + skipped, 18) << memo;
  // DirectDraw types are measured only while their surfaces exist.
  EXPECT_EQ(skipped, host.display->Surfaces().Available() ? 0 : 9) << memo;
  EXPECT_NE(memo.find("   Max: " + std::string(DrawTypeName(r.bestWave)) + " --> " +
                      std::to_string(r.wave[r.bestWave]) + " fps"),
            std::string::npos)
      << memo;
  EXPECT_NE(memo.find("   Max: " + std::string(DrawTypeName(r.bestSpectrum)) + " --> " +
                      std::to_string(r.spectrum[r.bestSpectrum]) + " fps"),
            std::string::npos);
  EXPECT_GT(r.wave[r.bestWave], 0u);  // the display really drew
  for (uint32_t rate : r.wave) EXPECT_LE(rate, r.wave[r.bestWave]);
  EXPECT_EQ(r.bestWave, ChooseFastestDrawType(r.wave));
  EXPECT_NE(memo.find("These results are set:"), std::string::npos);
  EXPECT_EQ(memo.find("*Aborted!"), std::string::npos);

  // The chosen types stay, the setup dialog keeps them; the rest comes back.
  const auto& c = host.Settings().Conditions;
  EXPECT_EQ(c.WaveDrawType, r.bestWave);
  EXPECT_EQ(c.SpectrumDrawType, r.bestSpectrum);
  ASSERT_TRUE(target.snapshotKept);
  EXPECT_EQ(target.snapshot.waveDrawType, r.bestWave);
  EXPECT_EQ(target.snapshot.spectrumDrawType, r.bestSpectrum);
  EXPECT_FALSE(c.WaveCheckVBlank);  // the run's conditions: none ticked
  EXPECT_EQ(c.UseTimer, 1);
  EXPECT_EQ(c.DispThreadSleepPeriod, 15);
  EXPECT_TRUE(c.RecToFile);
  EXPECT_EQ(target.recToFileChanges, (std::vector<bool>{false, true}));
  EXPECT_EQ(target.recordings, 1);
  EXPECT_FALSE(target.recording);
  EXPECT_FALSE(IsWindowVisible(form->Control(IDC_AUTO_SET_PROGRESS)));
}

TEST_F(DrawTypeAutoSet, AbortRestoresTheTypesAndTheCloseBoxWaitsForTheRun) {
  form->FormShow(false);
  ShowWindow(form->hwnd(), SW_SHOWNOACTIVATE);
  Click(IDC_AUTO_SET_START_BUTTON);
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (std::chrono::steady_clock::now() < until) {
    host.Pump();
    Sleep(5);
  }
  ASSERT_TRUE(form->Running());
  Click(IDC_AUTO_SET_START_BUTTON);  // Abort
  EXPECT_FALSE(IsWindowEnabled(form->Control(IDC_AUTO_SET_START_BUTTON)));
  Click(IDC_AUTO_SET_START_BUTTON);  // disabled: no second run
  ASSERT_TRUE(PumpUntilIdle(std::chrono::seconds(30)));
  const std::string memo = form->MemoText();
  EXPECT_NE(memo.find("*Aborted!"), std::string::npos) << memo;
  EXPECT_NE(memo.find("(The setting of the drawing method has been restored.)"), std::string::npos);
  const auto& c = host.Settings().Conditions;
  EXPECT_EQ(c.WaveDrawType, 1);
  EXPECT_EQ(c.SpectrumDrawType, 2);  // the value before Start set it to "Screen"
  EXPECT_TRUE(c.WaveCheckVBlank);
  EXPECT_EQ(c.UseTimer, 1);
  EXPECT_EQ(c.DispThreadSleepPeriod, 15);
  EXPECT_TRUE(c.RecToFile);
  EXPECT_FALSE(target.snapshotKept);
  EXPECT_FALSE(target.recording);
  EXPECT_EQ(target.recordings, 1);
  EXPECT_TRUE(IsWindowEnabled(form->Control(IDC_AUTO_SET_START_BUTTON)));

  // The close box during a run aborts it and closes the window afterwards.
  Click(IDC_AUTO_SET_START_BUTTON);
  ASSERT_TRUE(form->Running());
  SendMessageW(form->hwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindowVisible(form->hwnd()));
  ASSERT_TRUE(PumpUntilIdle(std::chrono::seconds(30)));
  for (int i = 0; i < 50 && IsWindowVisible(form->hwnd()); ++i) {
    host.Pump();
    Sleep(10);
  }
  EXPECT_FALSE(IsWindowVisible(form->hwnd()));
  EXPECT_FALSE(target.recording);
  EXPECT_EQ(c.WaveDrawType, 1);
}

TEST_F(DrawTypeAutoSet, DestroyingTheWindowDuringARunEndsItCleanly) {
  form->FormShow(false);
  Click(IDC_AUTO_SET_START_BUTTON);
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  while (std::chrono::steady_clock::now() < until) {
    host.Pump();
    Sleep(5);
  }
  form.reset();  // aborts, waits for the worker, restores
  EXPECT_FALSE(target.recording);
  EXPECT_EQ(host.Settings().Conditions.WaveDrawType, 1);
  EXPECT_EQ(host.Settings().Conditions.DispThreadSleepPeriod, 15);
}

}  // namespace
}  // namespace ov
