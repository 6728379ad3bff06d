// The engine on real DirectSound devices under the test environment's
// loopback: what is played to "Null Output" is captured from "Monitor of Null
// Output", by DirectSound and across families with waveform audio.
// Assertions are on content and order, never on speed.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "app/engine/ConsoleEngineHost.h"
#include "app/engine/DirectSoundDriver_win.h"
#include "app/engine/LoopbackSignals.h"
#include "app/engine/ProcessStart_win_test.h"
#include "app/engine/WavePlayRec.h"

namespace ov {
namespace {

namespace fs = std::filesystem;

// Opening for recording with the device opened once with the format.
RecOpenOptions Probe(int32_t deviceNumber) {
  RecOpenOptions o;
  o.probe = true;
  o.probeDeviceNumber = deviceNumber;
  return o;
}
using namespace ov::test;

class QuietNotifier : public UserNotifier {
 public:
  NoticeAnswer Notify(std::string_view, NoticeIcon) override { return NoticeAnswer::Ok; }
};

struct Side {
  // family: the driver type; with DirectSound the driver is kept for the
  // transfer threads' processor time.
  explicit Side(int32_t family, EngineCallbacks cb = {}, EngineSettings s = {}) {
    s.PlayRecDriverType = family;
    std::unique_ptr<AudioDriver> d;
    if (family == kDriverDirectSound) {
      d = CreateDirectSoundDriver();
      ds = static_cast<DirectSoundDriver*>(d.get());
    }
    engine = std::make_unique<WavePlayRec>(host, notifier, playState, recState, std::move(cb), s,
                                           std::move(d));
  }
  int32_t Find(const std::string& name, bool input) {
    for (uint32_t i = 1;
         i <= engine->GetDeviceCount(input ? AudioDirection::Input : AudioDirection::Output); ++i)
      if (engine->GetDeviceName(i, input ? AudioDirection::Input : AudioDirection::Output) == name)
        return static_cast<int32_t>(i);
    return -1;
  }
  ConsoleEngineHost host;
  QuietNotifier notifier;
  std::atomic<int32_t> playState{0}, recState{0};
  DirectSoundDriver* ds = nullptr;
  std::unique_ptr<WavePlayRec> engine;
};

class EngineDs : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("ov_ds_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::create_directories(dir);
    Side probe(kDriverDirectSound);
    if (probe.engine->GetDriverType() != kDriverDirectSound ||
        probe.Find("Null Output", false) < 0 || probe.Find("Monitor of Null Output", true) < 0) {
      GTEST_SKIP() << "no DirectSound loopback devices: " << probe.engine->GetMessage();
    }
  }
  void TearDown() override {
    player.reset();
    recorder.reset();
    std::error_code ec;
    if (!std::getenv("OV_KEEP_TEST_FILES")) fs::remove_all(dir, ec);
  }
  template <class F>
  bool Until(F done, uint32_t ms = 30000) {
    return (player ? player : recorder)->host.PumpUntil(done, ms);
  }
  void Idle(uint32_t ms) {
    const uint32_t start = TickMs();
    Until([&] { return TickMs() - start >= ms; }, ms + 1000);
  }
  bool StartRecording(const std::string& name, const WaveFormat& f) {
    const int32_t in = recorder->Find("Monitor of Null Output", true);
    if (recorder->engine->OpenRec(name.c_str(), f, Probe(in)) != EngineResult::Ok) return false;
    if (recorder->engine->StartRec(in) != EngineResult::Ok) return false;
    if (!Until([&] { return recorder->recState.load() == kRecRecording; })) return false;
    Idle(1000);  // a new capture stream settles first under the test's sound server
    return true;
  }
  bool PlayToEnd(const std::string& file) {
    WavePlayRec& e = *player->engine;
    if (e.OpenPlay(file.c_str()) != EngineResult::Ok) return false;
    const size_t ends = player->host.CountOf(WM_PLAY_END);
    if (e.StartPlay(player->Find("Null Output", false)) != EngineResult::Ok) return false;
    return Until([&] { return player->host.CountOf(WM_PLAY_END) > ends; }, 60000);
  }
  // Plays a 1 kHz tone of 3 s and checks the recording: where it is, its
  // frequency, its level and that nothing dropped out.
  void ToneRoundTrip(uint32_t rate) {
    const WaveFormat f = Pcm16(rate, 2);
    const std::string tone = (dir / "tone.wav").string(), rec = (dir / "REC.WAV").string();
    WriteWave(tone, f, Sine(rate, 1000, 0.5, rate * 3));
    ASSERT_TRUE(StartRecording(rec, f)) << recorder->engine->GetMessage();
    ASSERT_TRUE(PlayToEnd(tone)) << player->engine->GetMessage();
    Idle(600);
    recorder->engine->Stop();
    EXPECT_TRUE(recorder->host.Failures().empty());
    EXPECT_TRUE(player->host.Failures().empty());
    const auto x = LeftChannel(rec);
    ASSERT_GT(x.size(), rate * 3u);
    const ToneRegion r = FindTone(x, 0.5);
    ASSERT_GT(r.end, r.begin);
    // The tone's whole length within 50 ms: neither its head nor its tail is
    // lost between the two streams' starts and stops; the dropout check below
    // catches any gap inside it.
    std::printf("[ LENGTH   ] tone of 3000 ms came back as %.1f ms\n",
                double(r.end - r.begin) * 1000.0 / rate);
    EXPECT_NEAR(double(r.end - r.begin), rate * 3.0, rate * 0.05);
    EXPECT_LT(r.longestGap, rate / 50);  // no dropout of 20 ms or more
    const size_t a = r.begin + rate / 10, b = r.end - rate / 10;
    EXPECT_NEAR(MedianFrequency(x, a, b, rate), 1000.0, 0.5);
    EXPECT_NEAR(RmsDb(x, a, b), 20 * std::log10(0.5 / std::sqrt(2.0)), 0.5);
  }

  fs::path dir;
  std::unique_ptr<Side> player, recorder;
};

TEST_F(EngineDs, ToneComesBackAtItsFrequencyAndLevel48k) {
  recorder = std::make_unique<Side>(kDriverDirectSound);
  // The round trip at DS_PlayLatency 0: the player's start gate reads where
  // the recording is when the play buffer starts.
  std::atomic<uint64_t> recAtStart{0};
  EngineCallbacks cb;
  cb.OnSyncStart = [&](bool isRec) {
    if (!isRec) recAtStart = recorder->engine->GetRecSamplePosition();
    return false;
  };
  player = std::make_unique<Side>(kDriverDirectSound, std::move(cb));
  const uint32_t t0 = TickMs();
  ToneRoundTrip(48000);
  const uint32_t wall = TickMs() - t0;

  // Measurements (reported, not asserted): processor time of the pumps and
  // the transfer threads, and the round-trip latency.
  const double pumps = player->engine->PlayPumpCpuMs() + recorder->engine->RecPumpCpuMs();
  const double transfers = player->ds->TransferCpuMs(false) + recorder->ds->TransferCpuMs(true);
  std::printf(
      "[ CPU      ] 48 kHz stereo, %u ms: play pump %.1f ms, record pump %.1f ms, "
      "play transfer %.1f ms, record transfer %.1f ms: %.2f%% of one core together\n",
      wall, player->engine->PlayPumpCpuMs(), recorder->engine->RecPumpCpuMs(),
      player->ds->TransferCpuMs(false), recorder->ds->TransferCpuMs(true),
      100.0 * (pumps + transfers) / wall);
  RecordProperty("ds_threads_cpu_percent", std::to_string(100.0 * (pumps + transfers) / wall));
  const auto x = LeftChannel((dir / "REC.WAV").string());
  const size_t onset = ToneOnset(x, 0.5);
  if (onset < x.size() && recAtStart.load() > 0) {
    std::printf("[ LATENCY  ] round trip at DS_PlayLatency 0: %.1f ms\n",
                (double(onset) - double(recAtStart.load())) * 1000.0 / 48000);
  }
}

TEST_F(EngineDs, AcrossFamilies) {
  // DirectSound plays, waveform audio records.
  recorder = std::make_unique<Side>(kDriverMme);
  player = std::make_unique<Side>(kDriverDirectSound);
  ToneRoundTrip(44100);
  // Waveform audio plays, DirectSound records.
  recorder = std::make_unique<Side>(kDriverDirectSound);
  player = std::make_unique<Side>(kDriverMme);
  ToneRoundTrip(44100);
}

TEST_F(EngineDs, PauseSeekAndResume) {
  player = std::make_unique<Side>(kDriverDirectSound);
  const WaveFormat f = Pcm16(44100, 2);
  const std::string file = (dir / "long.wav").string();
  std::vector<int16_t> samples(44100 * 2 * 6);
  for (size_t i = 0; i < samples.size(); ++i)
    samples[i] = static_cast<int16_t>((i * 2654435761u) >> 16);
  WriteWave(file, f, samples);
  WavePlayRec& e = *player->engine;
  ASSERT_EQ(e.OpenPlay(file.c_str()), EngineResult::Ok);
  ASSERT_EQ(e.StartPlay(player->Find("Null Output", false)), EngineResult::Ok) << e.GetMessage();
  ASSERT_TRUE(Until([&] { return player->playState.load() == kPlayPlaying; }));
  Idle(700);
  const uint64_t before = e.GetPosition();
  EXPECT_GT(before, 0u);

  const uint64_t paused = e.TogglePause();
  EXPECT_EQ(player->playState.load(), kPlayPaused);
  EXPECT_GE(paused + 44100, before);
  Idle(300);
  EXPECT_EQ(e.GetPausedPosition(), paused);

  // A seek while paused re-reads the ring: the block is the file at the new position.
  EXPECT_EQ(e.SeekToSample(3 * 44100), 3u * 44100);
  std::vector<uint8_t> block(4096 * 4);
  e.CopyNewestPlayBlock(block.data(), block.size(), false);
  const uint8_t* at = reinterpret_cast<const uint8_t*>(samples.data()) + 3 * 44100 * 4;
  EXPECT_EQ(block, std::vector<uint8_t>(at, at + block.size()));

  e.TogglePause();
  EXPECT_EQ(player->playState.load(), kPlayPlaying);
  Idle(400);
  EXPECT_GE(e.GetPosition(), 3u * 44100);
  EXPECT_LT(e.GetPosition(), 3u * 44100 + 2 * 44100);

  // A seek while playing re-primes from the new position and plays to the end.
  EXPECT_EQ(e.SeekToSample(44100), 44100u);
  ASSERT_TRUE(Until([&] { return e.GetPosition() >= 44100 && e.GetPosition() < 3 * 44100; }));
  const size_t ends = player->host.CountOf(WM_PLAY_END);
  ASSERT_TRUE(Until([&] { return player->host.CountOf(WM_PLAY_END) > ends; }, 30000));
  EXPECT_EQ(player->playState.load(), kPlayStopped);
  EXPECT_TRUE(player->host.Failures().empty());
}

TEST_F(EngineDs, FileShorterThanOneHalfIsHeard) {
  recorder = std::make_unique<Side>(kDriverDirectSound);
  player = std::make_unique<Side>(kDriverDirectSound);
  const WaveFormat f = Pcm16(44100, 2);
  const std::string tone = (dir / "short.wav").string(), rec = (dir / "REC.WAV").string();
  WriteWave(tone, f, Sine(44100, 1000, 0.5, 1323));  // 30 ms: less than one 50 ms half
  ASSERT_TRUE(StartRecording(rec, f)) << recorder->engine->GetMessage();
  ASSERT_TRUE(PlayToEnd(tone)) << player->engine->GetMessage();
  EXPECT_TRUE(player->host.Failures().empty());
  Idle(400);
  recorder->engine->Stop();
  const auto x = LeftChannel(rec);
  const ToneRegion r = FindTone(x, 0.5, 147);
  ASSERT_GT(r.end, r.begin) << "the tone was not heard";
  EXPECT_NEAR(double(r.end - r.begin), 1323.0, 2 * 147.0);
}

TEST_F(EngineDs, RefusedFormatAndDeviceNumberLeaveTheEngineUsable) {
  recorder = std::make_unique<Side>(kDriverDirectSound);
  WavePlayRec& r = *recorder->engine;
  const int32_t in = recorder->Find("Monitor of Null Output", true);
  WaveFormat f24 = Pcm16(44100, 2);
  f24.bitsPerSample = 24;
  f24.blockAlign = 6;
  f24.avgBytesPerSec = 44100 * 6;
  EXPECT_EQ(r.OpenRec(nullptr, f24, Probe(in)), EngineResult::Failed);
  EXPECT_STREQ(r.GetMessage(), "Unsupported format:  44100Hz 24bit 2ch");
  EXPECT_EQ(r.OpenRec(nullptr, Pcm16(44100, 2), Probe(40)), EngineResult::Failed);
  EXPECT_STREQ(r.GetMessage(), "DSound Input device 40 not found");
  // A format it takes still records.
  ASSERT_EQ(r.OpenRec(nullptr, Pcm16(44100, 2), Probe(in)), EngineResult::Ok) << r.GetMessage();
  ASSERT_EQ(r.StartRec(in), EngineResult::Ok) << r.GetMessage();
  ASSERT_TRUE(Until([&] { return r.GetRecSamplePosition() > 22050; }));
  r.Stop();
  EXPECT_TRUE(recorder->host.Failures().empty());
}

// ---------------------------------------------------------------- format list

// What a device buffer created directly through DirectSound answers for each
// cell of the grid (1 and 2 channels), on the device described as `name`.
FormatProbeTable DirectlyCreated(const std::string& name, bool input) {
  FormatProbeTable t;
  std::unique_ptr<DsSystem> sys = CreateSystemDirectSound();
  GUID guid{};
  bool found = false;
  auto each = [&](const GUID* g, const char* description) {
    if (g && name == description) {
      guid = *g;
      found = true;
      return false;
    }
    return true;
  };
  if (!(input ? sys->EnumerateInputs(each) : sys->EnumerateOutputs(each)) || !found) return t;
  HWND window =
      CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  std::unique_ptr<DsOutputDevice> out;
  std::unique_ptr<DsInputDevice> in;
  const bool opened =
      input ? SUCCEEDED(sys->CreateInputDevice(in)) && in && SUCCEEDED(in->Initialize(&guid))
            : SUCCEEDED(sys->CreateOutputDevice(out)) && out && SUCCEEDED(out->Initialize(&guid)) &&
                  SUCCEEDED(out->SetCooperativeLevel(window, DSSCL_PRIORITY));
  for (int r = 0; opened && r < kProbeRates; ++r) {
    for (int w = 0; w < kProbeWidths; ++w) {
      for (uint16_t ch : {1, 2}) {
        WaveFormat f = ProbeFormat(kProbeRateList[r], w, ch, false);
        const DWORD bytes = f.avgBytesPerSec / 5 / f.blockAlign * f.blockAlign;  // 200 ms
        auto* wfx = reinterpret_cast<WAVEFORMATEX*>(&f);
        bool works = false;
        if (input) {
          DSCBUFFERDESC d{};
          d.dwSize = sizeof d;
          d.dwBufferBytes = bytes;
          d.lpwfxFormat = wfx;
          std::unique_ptr<DsCaptureBuffer> b;
          works = SUCCEEDED(in->CreateCaptureBuffer(d, b)) && b;
        } else {
          DSBUFFERDESC d{};
          d.dwSize = sizeof d;
          d.dwFlags = DSBCAPS_GLOBALFOCUS | DSBCAPS_GETCURRENTPOSITION2;
          d.dwBufferBytes = bytes;
          d.lpwfxFormat = wfx;
          std::unique_ptr<DsPlayBuffer> b;
          works = SUCCEEDED(out->CreateSoundBuffer(d, b)) && b;
        }
        if (works) t.cells[r][w] |= static_cast<uint16_t>(1u << (ch - 1));
      }
      t.tried[r][w] = true;
    }
  }
  out.reset();
  in.reset();
  if (window) DestroyWindow(window);
  return t;
}

// Each cell of the engine's grid on the loopback devices is what creating
// that buffer directly answers; none is hard-coded.
TEST_F(EngineDs, FormatGridIsWhatDirectBufferCreationAnswers) {
  Side side(kDriverDirectSound);
  for (const bool input : {false, true}) {
    const std::string name = input ? "Monitor of Null Output" : "Null Output";
    const int32_t number = side.Find(name, input);
    ASSERT_GT(number, 0);
    FormatProbeRequest request;
    request.input = input;
    const FormatProbeTable probed = side.engine->ProbeFormats(number, request, nullptr);
    const FormatProbeTable direct = DirectlyCreated(name, input);
    int working = 0;
    for (int r = 0; r < kProbeRates; ++r) {
      for (int w = 0; w < kProbeWidths; ++w) {
        EXPECT_EQ(probed.cells[r][w], direct.cells[r][w])
            << name << ": " << kProbeRateList[r] << " Hz, " << ProbeWidthName(w);
        working += direct.cells[r][w] != 0;
      }
    }
    // The comparison means something only when the device takes some formats.
    EXPECT_GT(working, 0) << name;
    std::printf("[ GRID     ] %s\n%s", name.c_str(), FormatGridText(probed).c_str());
  }
}

// ---------------------------------------------------------------- ovtool

fs::path OvtoolPath() {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  return fs::path(self).parent_path().parent_path().parent_path() / "tools" / "ovtool" /
         "ovtool.exe";
}

TEST(OvtoolDirectSound, KilledRecordingLeavesAValidFile) {
  const fs::path tool = OvtoolPath();
  if (!fs::exists(tool)) GTEST_SKIP() << "ovtool.exe not built beside the tests";
  Side probe(kDriverDirectSound);
  const int32_t in = probe.Find("Monitor of Null Output", true);
  if (in < 0) GTEST_SKIP() << "no DirectSound loopback input";
  const fs::path dir = fs::temp_directory_path() / "ov_ds_kill";
  fs::create_directories(dir);
  std::mt19937 rng(std::random_device{}());
  for (int round = 0; round < 2; ++round) {
    const fs::path file = dir / ("KILL" + std::to_string(round) + ".WAV");
    std::wstring cmd = L"\"" + tool.wstring() + L"\" record \"" + file.wstring() +
                       L"\" --seconds 60 --driver ds --device " + std::to_wstring(in);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    const test::ProcessStart started = test::StartProcess(cmd, false, CREATE_NO_WINDOW, si);
    ASSERT_TRUE(started.started) << "ovtool did not start (" << started.errors << ")";
    const PROCESS_INFORMATION pi = started.info;
    // Past the first header rewrites, then a random moment.
    const DWORD start = GetTickCount();
    std::error_code ec;
    while ((!fs::exists(file, ec) || fs::file_size(file, ec) < 3ull * 176400) &&
           GetTickCount() - start < 60000) {
      Sleep(50);
    }
    Sleep(std::uniform_int_distribution<DWORD>(0, 1500)(rng));
    TerminateProcess(pi.hProcess, 9);
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    WaveFileInfo info;
    const auto x = LeftChannel(file.string(), &info);
    EXPECT_TRUE(info.valid) << "round " << round;
    EXPECT_GE(info.dataSize, 176400u) << "round " << round;
    EXPECT_EQ(info.dataSize % 4, 0u);
    EXPECT_LE(info.dataOffset + info.dataSize, fs::file_size(file));
  }
  std::error_code ignored;
  fs::remove_all(dir, ignored);
}

}  // namespace
}  // namespace ov
