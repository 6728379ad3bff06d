// The positioning window on the real engine: a tone played paused to "Null
// Output" (the analyze mode), the window's keys and buttons moving the
// position, markers added, renamed and written back into the file, and the
// 100 ms play heard on "Monitor of Null Output".
#include "app/shell/PositioningForm_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "app/common/AppMessages.h"
#include "app/engine/ConsoleEngineHost.h"
#include "app/engine/LoopbackSignals.h"
#include "app/resources/ResourceIds.h"
#include "app/wavefile/WaveFileParse.h"

namespace ov {
namespace {

namespace fs = std::filesystem;
using namespace ov::test;

class AnsweringNotifier : public UserNotifier {
 public:
  NoticeAnswer Notify(std::string_view t, NoticeIcon icon) override {
    texts.emplace_back(t);
    return icon == NoticeIcon::Question ? answer : NoticeAnswer::Ok;
  }
  NoticeAnswer answer = NoticeAnswer::Yes;
  std::vector<std::string> texts;
};

struct Side {
  ConsoleEngineHost host;
  AnsweringNotifier notifier;
  std::atomic<int32_t> playState{0}, recState{0};
  WavePlayRec engine{host, notifier, playState, recState, {}, EngineSettings{}};
  int32_t Find(const std::string& name, bool input) {
    const AudioDirection d = input ? AudioDirection::Input : AudioDirection::Output;
    for (uint32_t i = 1; i <= engine.GetDeviceCount(d); ++i)
      if (engine.GetDeviceName(i, d) == name) return static_cast<int32_t>(i);
    return -1;
  }
};

// The main window's side as the transport does it: seeks through the engine,
// 32808 to the window while paused, the engine's 32870 forwarded as 32809.
class TransportDouble : public PositioningHost {
 public:
  explicit TransportDouble(Side& side) : side_(side) {}
  void SeekCommand(uint64_t samples, bool) override {
    ++seeks;
    const uint64_t p = side_.engine.SeekToSample(
        static_cast<int64_t>(samples > uint64_t(INT64_MAX) ? uint64_t(INT64_MAX) : samples));
    if (side_.playState.load() == kPlayPaused && form != nullptr)
      PostMessageW(form->hwnd(), WM_POSITION_SEEKED, 0, static_cast<LPARAM>(p));
  }
  bool AnalyzeWithoutDevice() const override { return device < 0; }
  int32_t PlayDeviceNumber() const override { return device; }
  uint32_t FrameLengthSamples() const override { return 4096; }
  bool EditText(HWND, const std::wstring& caption, POINT, std::wstring* text) override {
    editCaption = caption;
    shownText = *text;
    if (!editAnswer) return false;
    *text = *editAnswer;
    return true;
  }
  // Forwards the engine's frame-play end as the main window does.
  void Forward() {
    const size_t n = side_.host.CountOf(WM_FRAME_PLAY_END);
    while (forwarded < n) {
      ++forwarded;
      PostMessageW(form->hwnd(), WM_AUDITION_ENDED, 0, 0);
    }
  }

  TPositioningForm* form = nullptr;
  int32_t device = -1;
  int seeks = 0;
  std::optional<std::wstring> editAnswer;
  std::wstring editCaption, shownText;

 private:
  Side& side_;
  size_t forwarded = 0;
};

class PositioningWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    dir =
        fs::temp_directory_path() /
        ("ov_pos_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::create_directories(dir);
    tone = (dir / "tone.wav").string();
    WriteWave(tone, Pcm16(44100, 2), Sine(44100, 1000, 0.5, 44100 * 3));
    player = std::make_unique<Side>();
    transport = std::make_unique<TransportDouble>(*player);
    transport->device = player->Find("Null Output", false);
  }
  void TearDown() override {
    form.reset();
    if (player) player->engine.Stop();
    transport.reset();
    player.reset();
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  // Opens the tone and starts the analyze mode (paused), then the window.
  void StartAnalyze() {
    ASSERT_EQ(player->engine.OpenPlay(tone.c_str()), EngineResult::Ok);
    const PlayOutput output = transport->device < 0 ? PlayOutput::None : PlayOutput::Device;
    ASSERT_EQ(player->engine.StartPlay(transport->device < 0 ? 0 : transport->device,
                                       PlayMode::Analyze, output),
              EngineResult::Ok)
        << player->engine.GetMessage();
    ASSERT_TRUE(Until([&] { return player->playState.load() == kPlayPaused; }));
    PositioningOptions o;
    form = std::make_unique<TPositioningForm>(player->engine, *transport, player->notifier, o);
    transport->form = form.get();
    ASSERT_TRUE(form->CreateForm(nullptr));
    form->LoadMarkers();
    form->ShowForm();
    Pump();
  }
  template <class F>
  bool Until(F done, uint32_t ms = 20000) {
    return player->host.PumpUntil(
        [&] {
          if (form) transport->Forward();
          return done();
        },
        ms);
  }
  void Pump() {
    Until([] { return false; }, 60);
  }
  void Key(UINT id, WPARAM key) {
    SendMessageW(form->Control(static_cast<int>(id)), WM_KEYDOWN, key, 0);
    Pump();
  }
  void SetBox(UINT id, const wchar_t* text) {
    SetWindowTextW(form->Control(static_cast<int>(id)), text);
  }

  fs::path dir;
  std::string tone;
  std::unique_ptr<Side> player;
  std::unique_ptr<TransportDouble> transport;
  std::unique_ptr<TPositioningForm> form;
};

TEST_F(PositioningWindow, KeysAndButtonsMoveThePausedPositionExactly) {
  StartAnalyze();
  EXPECT_EQ(form->PositionText(), L"0 00m00s000");
  EXPECT_EQ(form->CellText(1, 0), L"     Label");
  EXPECT_EQ(form->CellText(3, 0), L"    Time");
  wchar_t caption[64];
  GetWindowTextW(form->hwnd(), caption, 64);
  EXPECT_STREQ(caption, L"Orlavisonic - Positioning");
  RECT client;
  GetClientRect(form->hwnd(), &client);
  EXPECT_EQ(client.right, 293);

  // Page Down three times with the initial step of 500 samples.
  for (int i = 0; i < 3; ++i) Key(IDC_POS_SAMPLE_RADIO, VK_NEXT);
  EXPECT_EQ(player->engine.GetPosition(), 1500u);
  EXPECT_EQ(form->PositionText(), L"1500 00m00s034");

  // One display frame of 4096 samples, then 100 ms in seconds mode.
  SetBox(IDC_POS_SAMPLE_COMBO, L"4096");
  form->ForwardButtonMouseDown(false);
  Pump();
  EXPECT_EQ(player->engine.GetPosition(), 5596u);
  CheckRadioButton(form->hwnd(), IDC_POS_SAMPLE_RADIO, IDC_POS_SECOND_RADIO, IDC_POS_SECOND_RADIO);
  SetBox(IDC_POS_SECOND_COMBO, L"0.1");
  form->ForwardButtonMouseDown(false);
  Pump();
  EXPECT_EQ(player->engine.GetPosition(), 5596u + 4410u);
  form->BackwardButtonMouseDown(true);  // Shift: ten times, stopped at 0
  Pump();
  EXPECT_EQ(player->engine.GetPosition(), 0u);
  EXPECT_EQ(form->PositionText(), L"0 00m00s000");

  // A step that is no number moves nothing.
  SetBox(IDC_POS_SECOND_COMBO, L"abc");
  Key(IDC_POS_SECOND_RADIO, VK_NEXT);
  EXPECT_EQ(player->engine.GetPosition(), 0u);

  // End reaches the last sample, Home the first.
  Key(IDC_POS_SAMPLE_RADIO, VK_END);
  EXPECT_EQ(player->engine.GetPosition(), player->engine.GetDataLengthSamples());
  Key(IDC_POS_SAMPLE_RADIO, VK_HOME);
  EXPECT_EQ(player->engine.GetPosition(), 0u);
}

TEST_F(PositioningWindow, MarkersAddedRenamedDeletedAndWrittenIntoTheFile) {
  StartAnalyze();
  for (int i = 0; i < 3; ++i) Key(IDC_POS_SAMPLE_RADIO, VK_NEXT);
  form->AddButtonClick();
  SetBox(IDC_POS_SAMPLE_COMBO, L"1000");
  Key(IDC_POS_SAMPLE_RADIO, VK_NEXT);
  form->AddButtonClick();
  Key(IDC_POS_SAMPLE_RADIO, VK_NEXT);
  form->AddButtonClick();
  EXPECT_EQ(form->CellText(0, 1), L" 1");
  EXPECT_EQ(form->CellText(1, 1), L"Marker 1");
  EXPECT_EQ(form->CellText(2, 1), L"1500");
  EXPECT_EQ(form->CellText(3, 3), L"00m00s079");
  EXPECT_TRUE(IsWindowEnabled(form->Control(IDC_POS_WRITE_BUTTON)));

  // Rename row 2 through the edit dialog; a name too long for 40 bytes warns.
  form->SelectRow(2);
  transport->editAnswer = L"\u00c9t\u00e9 \u2206";
  form->RenameButtonClick();
  EXPECT_EQ(transport->editCaption, L"Rename Label");
  EXPECT_EQ(transport->shownText, L"Marker 2");
  EXPECT_EQ(form->CellText(1, 2), L"\u00c9t\u00e9 \u2206");
  transport->editAnswer = std::wstring(40, L'x');
  form->RenameButtonClick();
  EXPECT_EQ(player->notifier.texts.back(), "The label name is too long.");
  EXPECT_EQ(form->CellText(1, 2), L"\u00c9t\u00e9 \u2206");

  // Delete row 1: the rows move up.
  form->SelectRow(1);
  form->DeleteButtonClick(false);
  ASSERT_EQ(form->Markers().Count(), 2);
  EXPECT_EQ(form->CellText(0, 2), L" 2");
  EXPECT_EQ(form->CellText(2, 2), L"3500");

  // Write, Yes: the project's reader finds the two markers in the file.
  form->WriteButtonClick();
  EXPECT_FALSE(form->Markers().Dirty());
  EXPECT_FALSE(IsWindowEnabled(form->Control(IDC_POS_WRITE_BUTTON)));
  EXPECT_EQ(player->engine.GetPosition(), 3500u);  // the position survives the reopen
  form.reset();
  player->engine.Stop();
  WaveFormat f{};
  WaveFileInfo info;
  ReaderMessage message;
  ChunkTable chunks;
  auto markers = std::make_unique<MarkerTable>();
  ParseOptions options;
  options.chunks = &chunks;
  options.markers = markers.get();
  ASSERT_TRUE(ParseWaveFile(tone.c_str(), &f, &info, &message, options));
  EXPECT_TRUE(info.valid);
  ASSERT_EQ(markers->count, 2);
  EXPECT_EQ(markers->markers[0].position, 2500u);
  EXPECT_STREQ(markers->markers[0].label, "\xC3\x89t\xC3\xA9 \xE2\x88\x86");
  EXPECT_EQ(markers->markers[1].position, 3500u);
  EXPECT_STREQ(markers->markers[1].label, "Marker 3");
}

TEST_F(PositioningWindow, RefusedWriteIsShownAndTheListStaysDirty) {
  StartAnalyze();
  form->AddButtonClick();
  // Another program holds the file open: the exclusive open of the write fails.
  const std::wstring wide(tone.begin(), tone.end());
  HANDLE held = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const auto size = fs::file_size(tone);
  form->WriteButtonClick();
  CloseHandle(held);
  ASSERT_FALSE(player->notifier.texts.empty());
  EXPECT_EQ(player->notifier.texts.back().rfind("Unable to write file.", 0), 0u)
      << player->notifier.texts.back();
  EXPECT_TRUE(form->Markers().Dirty());
  EXPECT_TRUE(IsWindowEnabled(form->Control(IDC_POS_WRITE_BUTTON)));
  EXPECT_EQ(fs::file_size(tone), size);
  // No for the question writes nothing.
  player->notifier.answer = NoticeAnswer::No;
  form->WriteButtonClick();
  EXPECT_TRUE(form->Markers().Dirty());
  // Shift+Del. asks, and Yes empties the list.
  player->notifier.answer = NoticeAnswer::Yes;
  form->DeleteButtonClick(true);
  EXPECT_EQ(form->Markers().Count(), 0);
  EXPECT_EQ(player->notifier.texts.back(), "All markers are deleted.\n Are you sure?");
}

TEST_F(PositioningWindow, WasapiWithALongLatencyOnlyWarns) {
  if (player->engine.SetDriverType(kDriverWasapi) != DriverChange::Changed)
    GTEST_SKIP() << "no WASAPI";
  player->engine.SetWasapiLatency(40);
  ASSERT_EQ(player->engine.OpenPlay(tone.c_str()), EngineResult::Ok);
  form = std::make_unique<TPositioningForm>(player->engine, *transport, player->notifier,
                                            PositioningOptions{});
  transport->form = form.get();
  ASSERT_TRUE(form->CreateForm(nullptr));
  CheckDlgButton(form->hwnd(), IDC_POS_PLAY_FRAME_BUTTON, BST_CHECKED);
  form->PlayFrameButtonClick();
  ASSERT_FALSE(player->notifier.texts.empty());
  EXPECT_EQ(player->notifier.texts.back(), WasapiLatencyNotice(Language::English, 40));
  EXPECT_NE(player->notifier.texts.back().find(" [Current Latency: 40ms]"), std::string::npos);
  // Nothing plays and the button does not stay down.
  EXPECT_EQ(IsDlgButtonChecked(form->hwnd(), IDC_POS_PLAY_FRAME_BUTTON), BST_UNCHECKED);
  EXPECT_FALSE(form->Busy());
  EXPECT_EQ(transport->seeks, 0);
}

TEST_F(PositioningWindow, HundredMillisecondsAreHeardAtThePosition) {
  Side recorder;
  const int32_t in = recorder.Find("Monitor of Null Output", true);
  if (transport->device < 0 || in < 0) GTEST_SKIP() << "no loopback devices";
  StartAnalyze();
  Key(IDC_POS_SAMPLE_RADIO, VK_NEXT);  // 500
  const std::string rec = (dir / "REC.WAV").string();
  RecOpenOptions ro;
  ASSERT_EQ(recorder.engine.OpenRec(rec.c_str(), Pcm16(44100, 2), ro), EngineResult::Ok);
  ASSERT_EQ(recorder.engine.StartRec(in), EngineResult::Ok);
  ASSERT_TRUE(Until([&] { return recorder.recState.load() == kRecRecording; }));
  Until([] { return false; }, 1000);

  // Space: the 100 ms play ("fra." clear), busy until the done message.
  Key(IDC_POS_SAMPLE_RADIO, VK_SPACE);
  ASSERT_TRUE(Until([&] { return !form->Busy(); }));
  EXPECT_EQ(player->engine.GetPosition(), 500u);  // returned to the position
  // Busy keeps moves from acting; the done message clears it.
  Until([] { return false; }, 1000);
  recorder.engine.Stop();
  const auto x = LeftChannel(rec);
  ASSERT_GT(x.size(), 44100u);
  const ToneRegion r = FindTone(x, 0.5);
  ASSERT_GT(r.end, r.begin) << "nothing heard";
  // 80 ms of play time plus what the device had queued: about 100 ms.
  const double ms = double(r.end - r.begin) * 1000.0 / 44100;
  EXPECT_GT(ms, 50.0);
  EXPECT_LT(ms, 400.0);
  // The first 30 ms of what was heard: the tone at the position.
  EXPECT_NEAR(ZeroCrossingFrequency(x, r.begin + 100, std::min(r.begin + 1423, r.end), 44100),
              1000.0, 5.0);
}

}  // namespace
}  // namespace ov
