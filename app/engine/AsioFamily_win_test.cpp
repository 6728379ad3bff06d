// Driver type 2 under Wine with the project's test ASIO driver: the driver
// list against hand-made registry contents, play and record through the
// driver's loopback for each sample type, and the failures the family
// reports. The driver is registered by these tests in the test prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "app/engine/AsioFamily_win.h"
#include "app/engine/EngineTestSupport.h"
#include "app/engine/WavePlayRec.h"
#include "app/wavefile/WaveFileParse.h"
#include "tools/asio-test-driver/TestAsioControl.h"
#include "tools/asio-test-driver/TestAsioRegistration_win.h"

namespace ov {
namespace {

namespace fs = std::filesystem;
using asio_test::Config;

constexpr const char kEngineDrivers[] = "Software\\OvAsioTest\\Engine";
using asio_test::DriverPath;
using asio_test::SetString;

// The exported control functions of the test driver (loaded from the path
// COM loads it from, so both share the module).
struct Control {
  asio_test::ConfigureFn configure = nullptr;
  asio_test::CaptureFn capture = nullptr;
  asio_test::LastMonitorFn lastMonitor = nullptr;
  asio_test::CallbackCountFn callbacks = nullptr;
  asio_test::AskHostFn askHost = nullptr;
  bool Load() {
    HMODULE m = LoadLibraryA(DriverPath().c_str());
    if (!m) return false;
    Bind(m, asio_test::kConfigure, configure);
    Bind(m, asio_test::kCapture, capture);
    Bind(m, asio_test::kLastMonitor, lastMonitor);
    Bind(m, asio_test::kCallbackCount, callbacks);
    Bind(m, asio_test::kAskHost, askHost);
    return configure && capture && lastMonitor && callbacks && askHost;
  }
  template <class F>
  static void Bind(HMODULE m, const char* name, F& f) {
    FARPROC p = GetProcAddress(m, name);
    static_assert(sizeof p == sizeof f, "function pointer size");
    std::memcpy(&f, &p, sizeof f);
  }
  std::vector<uint8_t> Captured(int32_t channel) {
    std::vector<uint8_t> v(64 << 20);
    v.resize(capture(channel, v.data(), v.size()));
    return v;
  }
};

std::unique_ptr<AsioFamily> EngineFamily() {
  return std::make_unique<AsioFamily>(std::make_unique<asio::SystemAsioRegistry>(
      HKEY_CURRENT_USER, kEngineDrivers, HKEY_CLASSES_ROOT, "clsid"));
}

class AsioEngine : public testing::Test {
 protected:
  void SetUp() override {
    if (!asio_test::RegisterTestDriver(kEngineDrivers) || !control.Load())
      GTEST_SKIP() << "test ASIO driver not built";
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // One folder per test process: CTest may run several at once.
    dir = fs::temp_directory_path() / ("ov_asio_" + std::to_string(GetCurrentProcessId()));
    fs::create_directories(dir);
  }
  void TearDown() override {
    std::error_code ignored;
    if (!dir.empty()) fs::remove_all(dir, ignored);
    asio_test::UnlistTestDriver(kEngineDrivers);
  }
  void Configure(int32_t type, int32_t channels = 4) {
    cfg = Config{};
    cfg.sampleType = type;
    cfg.inputs = cfg.outputs = channels;
    cfg.captureBytes = 16 << 20;
    control.configure(&cfg);
  }
  std::unique_ptr<WavePlayRec> Engine() {
    EngineSettings s;
    s.PlayRecDriverType = kDriverAsio;
    auto f = EngineFamily();
    family = f.get();
    auto e = std::make_unique<WavePlayRec>(host, notifier, playState, recState, EngineCallbacks{},
                                           s, std::move(f));
    e->SetPlayBufferPlan(10, 4, 4096);
    e->SetRecBufferPlan(10, 4, 4096);
    return e;
  }
  // Until the play pump has posted its next end (the state is Stopped before
  // the pump starts, too).
  bool WaitPlayEnd(double seconds = 30) {
    auto ends = [&] {
      size_t n = 0;
      for (uint32_t m : host.PostedMessages()) n += m == WM_PLAY_END;
      return n;
    };
    const bool ended = host.PumpUntil([&] { return ends() > playEnds_; }, seconds);
    playEnds_ = ends();
    return ended && playState.load() == kPlayStopped;
  }
  size_t playEnds_ = 0;

  Control control;
  Config cfg;
  AsioFamily* family = nullptr;  // the last engine's family
  fs::path dir;
  test::TestHost host;
  test::TestNotifier notifier;
  std::atomic<int32_t> playState{0}, recState{0};
};

// A wave file of `frames` frames with random samples of `bits` (32 with
// isFloat: IEEE floats in [-1, 1)). Returns the sample bytes.
std::vector<uint8_t> WriteWave(const fs::path& p, uint32_t rate, uint16_t channels, uint16_t bits,
                               bool isFloat, uint32_t frames, uint32_t seed) {
  const uint32_t bytesPerSample = bits / 8;
  std::vector<uint8_t> data(static_cast<size_t>(frames) * channels * bytesPerSample);
  std::mt19937 rng(seed);
  for (size_t i = 0; i < data.size(); i += bytesPerSample) {
    if (isFloat) {
      const float f = std::uniform_real_distribution<float>(-1.0f, 1.0f)(rng);
      std::memcpy(&data[i], &f, 4);
    } else {
      const uint32_t v = rng();
      std::memcpy(&data[i], &v, bytesPerSample);
    }
  }
  std::string s = "RIFF";
  auto put32 = [&](uint32_t v) { s.append(reinterpret_cast<const char*>(&v), 4); };
  auto put16 = [&](uint16_t v) { s.append(reinterpret_cast<const char*>(&v), 2); };
  put32(36 + static_cast<uint32_t>(data.size()));
  s += "WAVEfmt ";
  put32(16);
  put16(isFloat ? 3 : 1);
  put16(channels);
  put32(rate);
  put32(rate * channels * bytesPerSample);
  put16(static_cast<uint16_t>(channels * bytesPerSample));
  put16(bits);
  s += "data";
  put32(static_cast<uint32_t>(data.size()));
  s.append(reinterpret_cast<const char*>(data.data()), data.size());
  std::ofstream(p, std::ios::binary) << s;
  return data;
}

int32_t Sample(const uint8_t* p, uint32_t bytes) {
  uint32_t v = 0;
  std::memcpy(&v, p, bytes);
  return static_cast<int32_t>(v << (32 - 8 * bytes));  // left-aligned in 32 bits
}

// What the driver should receive for a file sample: the file sample left-
// aligned in 32 bits (floats truncated to 24 bits first), cut to the type.
int32_t Expected(const uint8_t* p, uint16_t bits, bool isFloat) {
  if (isFloat) {
    float f;
    std::memcpy(&f, p, 4);
    double v = std::trunc(f * 8388608.0);
    if (v > 8388607) v = 8388607;
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int32_t>(v)) << 8);
  }
  return Sample(p, bits / 8);
}

struct PlayCase {
  int32_t type;
  uint16_t bits;
  bool isFloat;
};

class AsioPlay : public AsioEngine, public testing::WithParamInterface<PlayCase> {};

TEST_P(AsioPlay, WholeFileReachesTheSelectedOutputsExactly) {
  const PlayCase c = GetParam();
  Configure(c.type);
  const uint32_t frames = 12000;
  const fs::path file = dir / "play.wav";
  const std::vector<uint8_t> data = WriteWave(file, 48000, 2, c.bits, c.isFloat, frames, 7);
  auto e = Engine();
  ASSERT_EQ(e->OpenPlay(file.string().c_str()), EngineResult::Ok) << e->GetMessage();
  ASSERT_EQ(e->StartPlay(0, PlayMode::Normal, PlayOutput::Device, 2), EngineResult::Ok)
      << e->GetMessage();
  ASSERT_TRUE(WaitPlayEnd());
  EXPECT_STREQ(e->GetMessage(), "");
  const uint32_t size = asio::SampleBytes(c.type);
  const uint32_t bytesPerSample = c.bits / 8;
  for (int32_t ch = 0; ch < 2; ++ch) {
    const std::vector<uint8_t> got = control.Captured(2 + ch);
    ASSERT_GE(got.size(), static_cast<size_t>(frames) * size) << "channel " << ch;
    int mismatches = 0;
    for (uint32_t i = 0; i < frames && mismatches < 5; ++i) {
      const int32_t want =
          Expected(&data[(static_cast<size_t>(i) * 2 + ch) * bytesPerSample], c.bits, c.isFloat) &
          static_cast<int32_t>(0xFFFFFFFFu << (32 - 8 * size));
      const int32_t have = Sample(&got[static_cast<size_t>(i) * size], size);
      if (have != want) {
        ADD_FAILURE() << "channel " << ch << " frame " << i << ": " << have << " != " << want;
        ++mismatches;
      }
    }
  }
  EXPECT_TRUE(control.Captured(0).empty() || control.Captured(0).size() == 0);
}

INSTANTIATE_TEST_SUITE_P(
    Types, AsioPlay,
    testing::Values(PlayCase{asio::kInt16LSB, 16, false}, PlayCase{asio::kInt24LSB, 16, false},
                    PlayCase{asio::kInt24LSB, 24, false}, PlayCase{asio::kInt24LSB, 32, true},
                    PlayCase{asio::kInt32LSB, 16, false}, PlayCase{asio::kInt32LSB, 24, false},
                    PlayCase{asio::kInt32LSB, 32, false}, PlayCase{asio::kInt32LSB, 32, true}));

TEST_F(AsioEngine, PauseAndResumeKeepEverySample) {
  Configure(asio::kInt16LSB);
  const uint32_t frames = 48000;
  const fs::path file = dir / "pause.wav";
  const std::vector<uint8_t> data = WriteWave(file, 48000, 2, 16, false, frames, 3);
  auto e = Engine();
  ASSERT_EQ(e->OpenPlay(file.string().c_str()), EngineResult::Ok);
  ASSERT_EQ(e->StartPlay(0, PlayMode::Normal, PlayOutput::Device, 0), EngineResult::Ok)
      << e->GetMessage();
  host.PumpUntil([&] { return playState.load() == kPlayPlaying; });
  Sleep(250);
  e->TogglePause();
  EXPECT_EQ(playState.load(), kPlayPaused);
  const size_t atPause = control.Captured(0).size();
  Sleep(200);
  EXPECT_EQ(control.Captured(0).size(), atPause);  // nothing played while paused
  e->TogglePause();
  ASSERT_TRUE(WaitPlayEnd());
  const std::vector<uint8_t> got = control.Captured(0);
  ASSERT_GE(got.size(), static_cast<size_t>(frames) * 2);
  for (uint32_t i = 0; i < frames; ++i) {
    ASSERT_EQ(std::memcmp(&got[2 * i], &data[4 * i], 2), 0) << "frame " << i;
  }
}

TEST_F(AsioEngine, MonoPlayedAsStereoFeedsBothOutputsTheSameSample) {
  Configure(asio::kInt16LSB);
  const uint32_t frames = 6000;
  const fs::path file = dir / "mono.wav";
  const std::vector<uint8_t> data = WriteWave(file, 48000, 1, 16, false, frames, 5);
  auto e = Engine();
  e->SetPlayForceMonoStereo(true);
  ASSERT_EQ(e->OpenPlay(file.string().c_str()), EngineResult::Ok);
  ASSERT_EQ(e->StartPlay(0, PlayMode::Normal, PlayOutput::Device, 1), EngineResult::Ok)
      << e->GetMessage();
  ASSERT_TRUE(WaitPlayEnd());
  const std::vector<uint8_t> left = control.Captured(1), right = control.Captured(2);
  ASSERT_GE(left.size(), data.size());
  ASSERT_GE(right.size(), data.size());
  EXPECT_EQ(std::memcmp(left.data(), data.data(), data.size()), 0);
  EXPECT_EQ(std::memcmp(right.data(), data.data(), data.size()), 0);
}

TEST_F(AsioEngine, ChannelsBeyondTheDriverAreRefusedOrCut) {
  Configure(asio::kInt16LSB);
  cfg.plainBufferSwitch = 1;  // a driver without time information works the same
  control.configure(&cfg);
  const fs::path file = dir / "cut.wav";
  const std::vector<uint8_t> data = WriteWave(file, 48000, 2, 16, false, 4800, 9);
  auto e = Engine();
  ASSERT_EQ(e->OpenPlay(file.string().c_str()), EngineResult::Ok);
  EXPECT_EQ(e->StartPlay(0, PlayMode::Normal, PlayOutput::Device, 4), EngineResult::Failed);
  EXPECT_STREQ(e->GetMessage(), "No ASIO output channel 4 (the driver has 4)");
  // From the last output on, the range is cut to that one channel: the left one.
  ASSERT_EQ(e->StartPlay(0, PlayMode::Normal, PlayOutput::Device, 3), EngineResult::Ok)
      << e->GetMessage();
  ASSERT_TRUE(WaitPlayEnd());
  EXPECT_STREQ(e->GetMessage(), "");
  const std::vector<uint8_t> got = control.Captured(3);
  ASSERT_GE(got.size(), 4800u * 2);
  for (uint32_t i = 0; i < 4800; ++i) ASSERT_EQ(std::memcmp(&got[2 * i], &data[4 * i], 2), 0);
}

TEST_F(AsioEngine, FloatChannelsPlaySilenceAndStopWithTheTypeNumber) {
  Configure(asio::kFloat32LSB);
  const fs::path file = dir / "float.wav";
  WriteWave(file, 48000, 2, 16, false, 48000, 11);
  auto e = Engine();
  ASSERT_EQ(e->OpenPlay(file.string().c_str()), EngineResult::Ok);
  ASSERT_EQ(e->StartPlay(0, PlayMode::Normal, PlayOutput::Device, 0), EngineResult::Ok)
      << e->GetMessage();
  ASSERT_TRUE(WaitPlayEnd(10));
  EXPECT_STREQ(e->GetMessage(), "ASIO Error: Unsupported sample type 19");
  ASSERT_EQ(host.stopped.size(), 1u);
  EXPECT_EQ(host.stopped[0], "Stopped! \n\nASIO Error: Unsupported sample type 19");
  const std::vector<uint8_t> got = control.Captured(0);
  ASSERT_FALSE(got.empty());
  for (uint8_t b : got) ASSERT_EQ(b, 0);
  // The family is usable again afterwards.
  Configure(asio::kInt16LSB);
  ASSERT_EQ(e->StartPlay(0, PlayMode::Normal, PlayOutput::Device, 0), EngineResult::Ok)
      << e->GetMessage();
  ASSERT_TRUE(WaitPlayEnd());
  EXPECT_STREQ(e->GetMessage(), "");
}

TEST_F(AsioEngine, BitLengthAndRateRefusals) {
  Configure(asio::kInt16LSB);
  const fs::path f24 = dir / "b24.wav", ffloat = dir / "bf.wav", f22 = dir / "r22.wav";
  WriteWave(f24, 48000, 2, 24, false, 4800, 1);
  WriteWave(ffloat, 48000, 2, 32, true, 4800, 1);
  WriteWave(f22, 22050, 2, 16, false, 4800, 1);
  auto e = Engine();
  ASSERT_EQ(e->OpenPlay(f24.string().c_str()), EngineResult::Ok);
  EXPECT_EQ(e->StartPlay(0, PlayMode::Normal, PlayOutput::Device, 0), EngineResult::Failed);
  EXPECT_STREQ(e->GetMessage(), "Unsupported bit length. [24]");
  ASSERT_EQ(e->OpenPlay(ffloat.string().c_str()), EngineResult::Ok);
  EXPECT_EQ(e->StartPlay(0, PlayMode::Normal, PlayOutput::Device, 0), EngineResult::Failed);
  EXPECT_STREQ(e->GetMessage(), "Unsupported bit length. [F32]");
  ASSERT_EQ(e->OpenPlay(f22.string().c_str()), EngineResult::Ok);
  EXPECT_EQ(e->StartPlay(0, PlayMode::Normal, PlayOutput::Device, 0), EngineResult::Failed);
  EXPECT_STREQ(e->GetMessage(), "Unsupported sampling freq. [22050]");
  // Recording 16 bits on a 24-bit driver is refused, showing 16.
  Configure(asio::kInt24LSB);
  WaveFormat f{};
  f.formatTag = 1;
  f.channels = 2;
  f.samplesPerSec = 48000;
  f.bitsPerSample = 16;
  f.blockAlign = 4;
  f.avgBytesPerSec = 192000;
  ASSERT_EQ(e->OpenRec(nullptr, f), EngineResult::Ok);
  EXPECT_EQ(e->StartRec(0, RecStartMode::Record, 0), EngineResult::Failed);
  EXPECT_STREQ(e->GetMessage(), "Unsupported bit length. [16]");
}

TEST_F(AsioEngine, DriverThatFailsInitIsReportedAndTheEngineStaysUsable) {
  Configure(asio::kInt16LSB);
  cfg.failInit = 1;
  control.configure(&cfg);
  const fs::path file = dir / "init.wav";
  WriteWave(file, 48000, 2, 16, false, 4800, 1);
  auto e = Engine();
  ASSERT_EQ(e->OpenPlay(file.string().c_str()), EngineResult::Ok);
  EXPECT_EQ(e->StartPlay(0, PlayMode::Normal, PlayOutput::Device, 0), EngineResult::Failed);
  EXPECT_STREQ(e->GetMessage(), "Unable to initialize: Test driver refused to start");
  Configure(asio::kInt16LSB);
  ASSERT_EQ(e->StartPlay(0, PlayMode::Normal, PlayOutput::Device, 0), EngineResult::Ok)
      << e->GetMessage();
  ASSERT_TRUE(WaitPlayEnd());
  EXPECT_STREQ(e->GetMessage(), "");
}

TEST_F(AsioEngine, StopReturnsWhenTheDriverStopsCallingBack) {
  Configure(asio::kInt16LSB);
  cfg.stallAfter = 30;
  control.configure(&cfg);
  const fs::path file = dir / "stall.wav";
  WriteWave(file, 48000, 2, 16, false, 96000, 1);
  auto e = Engine();
  ASSERT_EQ(e->OpenPlay(file.string().c_str()), EngineResult::Ok);
  const uint64_t before = control.callbacks();
  ASSERT_EQ(e->StartPlay(0, PlayMode::Normal, PlayOutput::Device, 0), EngineResult::Ok)
      << e->GetMessage();
  ASSERT_TRUE(host.PumpUntil([&] { return control.callbacks() - before >= 30; }, 10));
  Sleep(300);  // the driver has gone quiet; the pump waits for a buffer
  EXPECT_EQ(playState.load(), kPlayPlaying);
  const DWORD t0 = GetTickCount();
  e->Stop();
  EXPECT_EQ(playState.load(), kPlayStopped);
  EXPECT_LT(GetTickCount() - t0, 10000u);
}

// The driver's messages while a file plays: the answers of the host's table,
// the requests recorded, and a run that goes on to its end byte for byte.
TEST_F(AsioEngine, MessagesAreAnsweredAndRecordedWhilePlayGoesOn) {
  Configure(asio::kInt16LSB);
  const uint32_t frames = 24000;
  const fs::path file = dir / "messages.wav";
  const std::vector<uint8_t> data = WriteWave(file, 48000, 2, 16, false, frames, 13);
  auto e = Engine();
  ASSERT_EQ(e->OpenPlay(file.string().c_str()), EngineResult::Ok);
  ASSERT_EQ(e->StartPlay(0, PlayMode::Normal, PlayOutput::Device, 0), EngineResult::Ok)
      << e->GetMessage();
  ASSERT_TRUE(host.PumpUntil([&] { return playState.load() == kPlayPlaying; }));
  for (int32_t v = 0; v <= 10; ++v) {
    EXPECT_EQ(control.askHost(asio::kSelectorSupported, v), v >= 2 && v <= 9 ? 1 : 0)
        << "selector supported? " << v;
  }
  EXPECT_EQ(control.askHost(asio::kEngineVersion, 0), 2);
  EXPECT_EQ(control.askHost(asio::kResyncRequest, 0), 1);
  EXPECT_EQ(control.askHost(asio::kLatenciesChanged, 0), 1);
  EXPECT_EQ(control.askHost(asio::kSupportsTimeInfo, 0), 1);
  EXPECT_EQ(control.askHost(8, 0), 0);  // time code: not supported
  EXPECT_EQ(control.askHost(asio::kMessageSelector9, 0), 1);
  EXPECT_EQ(control.askHost(10, 0), 0);
  EXPECT_EQ(control.askHost(0, 0), 0);
  // Bits 0..7 for selectors 2..9: all but the reset (3) and size change (4).
  EXPECT_EQ(family->RequestFlags(), 0xF9u);
  ASSERT_TRUE(WaitPlayEnd());
  EXPECT_STREQ(e->GetMessage(), "");
  const std::vector<uint8_t> got = control.Captured(0);
  ASSERT_GE(got.size(), static_cast<size_t>(frames) * 2);
  for (uint32_t i = 0; i < frames; ++i) {
    ASSERT_EQ(std::memcmp(&got[2 * i], &data[4 * i], 2), 0) << "frame " << i;
  }
}

// A reset request or a changed buffer size during a run: the driver's buffers
// no longer hold what it uses, so the run ends with the reason, the file
// recorded so far stays valid, and the next start works.
TEST_F(AsioEngine, AResetOrBufferSizeChangeEndsTheRunWithItsReason) {
  Configure(asio::kInt16LSB);
  const fs::path file = dir / "reset.wav";
  WriteWave(file, 48000, 2, 16, false, 480000, 17);  // 10 s
  auto e = Engine();
  ASSERT_EQ(e->OpenPlay(file.string().c_str()), EngineResult::Ok);
  ASSERT_EQ(e->StartPlay(0, PlayMode::Normal, PlayOutput::Device, 0), EngineResult::Ok)
      << e->GetMessage();
  ASSERT_TRUE(host.PumpUntil([&] { return playState.load() == kPlayPlaying; }));
  host.PumpUntil([] { return false; }, 0.2);
  EXPECT_EQ(control.askHost(asio::kResetRequest, 0), 1);
  ASSERT_TRUE(WaitPlayEnd(10)) << "the run did not end after the reset request";
  EXPECT_STREQ(e->GetMessage(), "ASIO driver requested a reset");
  ASSERT_EQ(host.stopped.size(), 1u);
  EXPECT_EQ(host.stopped[0], "Stopped! \n\nASIO driver requested a reset");

  // A request while nothing runs changes nothing for the next run.
  EXPECT_EQ(control.askHost(asio::kResetRequest, 0), 1);
  ASSERT_EQ(e->StartPlay(0, PlayMode::Normal, PlayOutput::Device, 0), EngineResult::Ok)
      << e->GetMessage();
  ASSERT_TRUE(host.PumpUntil([&] { return playState.load() == kPlayPlaying; }));
  host.PumpUntil([] { return false; }, 0.3);
  e->Stop();
  EXPECT_STREQ(e->GetMessage(), "");

  const fs::path rec = dir / "reset_rec.wav";
  WaveFormat f{};
  f.formatTag = 1;
  f.channels = 2;
  f.samplesPerSec = 48000;
  f.bitsPerSample = 16;
  f.blockAlign = 4;
  f.avgBytesPerSec = 192000;
  ASSERT_EQ(e->OpenRec(rec.string().c_str(), f), EngineResult::Ok) << e->GetMessage();
  ASSERT_EQ(e->StartRec(0, RecStartMode::Record, 0), EngineResult::Ok) << e->GetMessage();
  ASSERT_TRUE(host.PumpUntil([&] { return recState.load() == kRecRecording; }));
  host.PumpUntil([] { return false; }, 0.4);
  EXPECT_EQ(control.askHost(asio::kBufferSizeChange, 512), 1);
  ASSERT_TRUE(host.PumpUntil([&] { return recState.load() == kRecStopped; }, 10))
      << "the recording did not end after the buffer size change";
  EXPECT_STREQ(e->GetMessage(), "ASIO driver changed its buffer size");
  WaveFormat got{};
  WaveFileInfo info;
  ReaderMessage m;
  ASSERT_TRUE(ParseWaveFile(rec.string().c_str(), &got, &info, &m, ParseOptions{})) << m.c_str();
  EXPECT_TRUE(info.valid);
  EXPECT_GT(info.dataSize, 0u);
  EXPECT_EQ(info.dataSize % 4, 0u);
}

// The driver's buffers serve one direction at a time: a recording started
// while a file plays on the driver is refused with the reason, instead of
// releasing the driver under the play pump (which then waited for ever), and
// the engine records afterwards.
TEST_F(AsioEngine, RecordingWhilePlayingIsRefusedWithItsReason) {
  Configure(asio::kInt16LSB);
  const fs::path file = dir / "busy.wav";
  WriteWave(file, 48000, 2, 16, false, 96000, 19);  // 2 s
  const fs::path rec = dir / "busy_rec.wav";
  WaveFormat f{};
  f.formatTag = 1;
  f.channels = 2;
  f.samplesPerSec = 48000;
  f.bitsPerSample = 16;
  f.blockAlign = 4;
  f.avgBytesPerSec = 192000;
  auto e = Engine();
  ASSERT_EQ(e->OpenPlay(file.string().c_str()), EngineResult::Ok);
  ASSERT_EQ(e->OpenRec(rec.string().c_str(), f), EngineResult::Ok) << e->GetMessage();
  ASSERT_EQ(e->StartPlay(0, PlayMode::Normal, PlayOutput::Device, 0), EngineResult::Ok)
      << e->GetMessage();
  ASSERT_TRUE(host.PumpUntil([&] { return playState.load() == kPlayPlaying; }));
  const uint64_t before = control.callbacks();
  EXPECT_EQ(e->StartRec(0, RecStartMode::Record, 0), EngineResult::Failed);
  EXPECT_STREQ(e->GetMessage(), "ASIO driver is in use by playback");
  // The driver still runs for the play: its callbacks go on.
  ASSERT_TRUE(host.PumpUntil([&] { return control.callbacks() > before + 10; }, 10));
  // The engine's one message text ends the play run with that reason; it
  // ends (no wait for ever) and the driver is free for the recording.
  ASSERT_TRUE(WaitPlayEnd(10));
  ASSERT_EQ(e->StartRec(0, RecStartMode::Record, 0), EngineResult::Ok) << e->GetMessage();
  ASSERT_TRUE(host.PumpUntil([&] { return recState.load() == kRecRecording; }));
  host.PumpUntil([] { return false; }, 0.3);
  e->Stop();
  EXPECT_STREQ(e->GetMessage(), "");
  WaveFormat got{};
  WaveFileInfo info;
  ReaderMessage m;
  ASSERT_TRUE(ParseWaveFile(rec.string().c_str(), &got, &info, &m, ParseOptions{})) << m.c_str();
  EXPECT_GT(info.dataSize, 0u);
}

struct RecCase {
  int32_t type;
  uint16_t bits;
};

class AsioRecord : public AsioEngine, public testing::WithParamInterface<RecCase> {};

// Input channel c carries the driver's pattern; the file gets its upper bytes.
TEST_P(AsioRecord, InputChannelsReachTheFileExactly) {
  const RecCase c = GetParam();
  Configure(c.type);
  const fs::path file =
      dir / ("rec" + std::to_string(c.type) + "_" + std::to_string(c.bits) + ".wav");
  fs::remove(file);
  WaveFormat f{};
  f.formatTag = 1;
  f.channels = 2;
  f.samplesPerSec = 48000;
  f.bitsPerSample = c.bits;
  f.blockAlign = static_cast<uint16_t>(2 * c.bits / 8);
  f.avgBytesPerSec = 48000u * f.blockAlign;
  auto e = Engine();
  const uint64_t callbacksBefore = control.callbacks();
  ASSERT_EQ(e->OpenRec(file.string().c_str(), f), EngineResult::Ok) << e->GetMessage();
  ASSERT_EQ(e->StartRec(0, RecStartMode::Record, 1), EngineResult::Ok) << e->GetMessage();
  ASSERT_TRUE(host.PumpUntil([&] { return recState.load() == kRecRecording; }));
  host.PumpUntil([] { return false; }, 0.25);
  e->TogglePause();  // pause and resume lose nothing
  host.PumpUntil([] { return false; }, 0.15);
  e->TogglePause();
  host.PumpUntil([] { return false; }, 0.35);
  e->Stop();
  EXPECT_STREQ(e->GetMessage(), "");
  WaveFormat got{};
  WaveFileInfo info;
  ReaderMessage m;
  ASSERT_TRUE(ParseWaveFile(file.string().c_str(), &got, &info, &m, ParseOptions{})) << m.c_str();
  EXPECT_EQ(got.bitsPerSample, c.bits);
  const uint32_t bytes = c.bits / 8;
  const uint64_t frames = info.dataSize / f.blockAlign;
  EXPECT_GE(frames, 4800u * 3);
  // Every frame the driver delivered, the partly filled ring buffer at the
  // stop included: 256 frames per buffer switch.
  EXPECT_EQ(frames, 256 * (control.callbacks() - callbacksBefore));
  std::ifstream in(file, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(info.dataOffset));
  std::vector<uint8_t> data(info.dataSize);
  in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size()));
  for (uint64_t n = 0; n < frames; ++n) {
    for (int32_t ch = 0; ch < 2; ++ch) {
      const int32_t pattern = asio_test::Pattern(n, 1 + ch);
      // The driver's type keeps the pattern's upper bytes; the file the upper `bits`.
      const uint32_t typeBytes = asio::SampleBytes(c.type);
      const int32_t driverSample = static_cast<int32_t>(static_cast<uint32_t>(pattern) &
                                                        (0xFFFFFFFFu << (32 - 8 * typeBytes)));
      const int32_t want = static_cast<int32_t>(static_cast<uint32_t>(driverSample) &
                                                (0xFFFFFFFFu << (32 - 8 * bytes)));
      const int32_t have = Sample(&data[(n * 2 + ch) * bytes], bytes);
      ASSERT_EQ(have, want) << "frame " << n << " channel " << ch;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Pairs, AsioRecord,
                         testing::Values(RecCase{asio::kInt16LSB, 16}, RecCase{asio::kInt24LSB, 24},
                                         RecCase{asio::kInt32LSB, 32},
                                         RecCase{asio::kInt32LSB, 24}));

// The format list through the test driver: its sample type decides the
// widths, its rate list the rows; play and record each open their side.
TEST_F(AsioEngine, FormatListFollowsTheSampleTypeAndTheDriverRates) {
  struct Case {
    int32_t type;
    uint16_t play[kProbeWidths], record[kProbeWidths];
  };
  const Case cases[] = {
      {asio::kInt16LSB, {0x3, 0x8003, 0, 0, 0}, {0, 0x8003, 0, 0, 0}},
      {asio::kInt24LSB, {0x3, 0x3, 0x8003, 0, 0x3}, {0, 0, 0x8003, 0, 0}},
      {asio::kInt32LSB, {0x3, 0x3, 0x3, 0x8003, 0x3}, {0, 0, 0x3, 0x8003, 0x3}},
      {asio::kFloat32LSB, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    Configure(c.type);
    for (double& r : cfg.rates) r = 0;
    cfg.rates[0] = 44100;
    cfg.rates[1] = 48000;
    control.configure(&cfg);
    std::unique_ptr<AsioFamily> family = EngineFamily();
    ASSERT_FALSE(family->CheckDevices().unusable);
    for (bool input : {false, true}) {
      FormatProbeRequest request;
      request.input = input;
      std::unique_ptr<FormatTrier> trier = family->CreateFormatTrier(-1, input, DriverOptions{});
      ASSERT_TRUE(trier) << c.type;
      const FormatProbeTable t =
          RunFormatProbe(*trier, request, [](uint16_t, int, int) { return false; });
      trier.reset();
      EXPECT_FALSE(input ? family->InputOpen() : family->OutputOpen());
      for (int r = 0; r < kProbeRates; ++r) {
        const bool rateTaken = kProbeRateList[r] == 44100 || kProbeRateList[r] == 48000;
        for (int w = 0; w < kProbeWidths; ++w) {
          const uint16_t want = rateTaken ? (input ? c.record[w] : c.play[w]) : 0;
          EXPECT_EQ(t.cells[r][w], want) << "type " << c.type << (input ? " record " : " play ")
                                         << kProbeRateList[r] << " Hz, width " << w;
        }
      }
    }
  }
}

TEST_F(AsioEngine, DirectMonitorReportsWhatTheDriverAnswered) {
  Configure(asio::kInt16LSB);
  AsioFamily f(std::make_unique<asio::SystemAsioRegistry>(HKEY_CURRENT_USER, kEngineDrivers,
                                                          HKEY_CLASSES_ROOT, "clsid"));
  f.CheckDevices();
  EngineMessage m;
  EXPECT_TRUE(f.SetDirectMonitor(0, true, m)) << m.c_str();
  int32_t v[5] = {};
  ASSERT_TRUE(control.lastMonitor(v));
  EXPECT_EQ(v[0], -1);
  EXPECT_EQ(v[1], 0);
  EXPECT_EQ(v[2], 0x20000000);
  EXPECT_EQ(v[3], 1);
  EXPECT_EQ(v[4], 0x40000000);
  cfg.futureAnswer = asio::kInvalidParameter;
  control.configure(&cfg);
  EXPECT_FALSE(f.SetDirectMonitor(0, false, m));
  ASSERT_TRUE(control.lastMonitor(v));
  EXPECT_EQ(v[3], 0);
}

TEST_F(AsioEngine, ZeroRateFallsBackTo44100AndTheInformationTextDescribesTheDriver) {
  Configure(asio::kInt24LSB);
  cfg.rate = 0;
  cfg.outputReady = 0;
  control.configure(&cfg);
  AsioFamily f(std::make_unique<asio::SystemAsioRegistry>(HKEY_CURRENT_USER, kEngineDrivers,
                                                          HKEY_CLASSES_ROOT, "clsid"));
  f.CheckDevices();
  EngineMessage m;
  ASSERT_TRUE(f.TestDriver(0, false, m)) << m.c_str();
  EXPECT_EQ(f.SampleRate(), 44100);
  EXPECT_EQ(f.OutputChannels(), 4);
  EXPECT_EQ(f.ChannelName(3), "Out 4");
  WaveFormat fmt{};
  fmt.formatTag = 1;
  fmt.channels = 2;
  fmt.samplesPerSec = 48000;
  fmt.bitsPerSample = 16;
  fmt.blockAlign = 4;
  std::string text;
  ASSERT_TRUE(f.Information(0, 0, false, fmt, text, m)) << m.c_str();
  EXPECT_EQ(text,
            "========= ASIO Information =========\n[ Orlavisonic Test ]\n\n"
            "Input Channels:\t 4\nOutput Channels:\t 4\n"
            "Sample Rate:\t 48000\nBits/Sample:\t 24  (type:17)\n"
            "Buffer size min:\t 256\n               max:\t 256\n        preferred:\t 256\n"
            "       granuarity:\t 0\n"
            "Input Latency:\t 256  (5.3ms)\nOutput Latency:\t 512  (10.7ms)\n"
            "OutputReady support:  no");
  EXPECT_FALSE(f.Information(0, 9, false, fmt, text, m));
  EXPECT_STREQ(m.c_str(), "No ASIO output channel 9 (the driver has 4)");
}

// ---------------------------------------------------------------- driver list

class AsioList : public testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, base.c_str());
    dll = (fs::temp_directory_path() / "ov_asio_list.dll").string();
    std::ofstream(dll) << "x";
    fs::create_directories(fs::temp_directory_path() / "ov_asio_dir");
  }
  void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, base.c_str()); }
  void Add(const std::string& key, const std::string& clsid, const std::string& description,
           const std::string& server) {
    const std::string k = base + "\\asio\\" + key;
    RegCreateKeyA(HKEY_CURRENT_USER, k.c_str(), &tmp);
    RegCloseKey(tmp);
    if (!clsid.empty()) SetString(HKEY_CURRENT_USER, k, "clsid", clsid);
    if (!description.empty()) SetString(HKEY_CURRENT_USER, k, "description", description);
    if (!server.empty()) {
      SetString(HKEY_CURRENT_USER, base + "\\clsid\\" + clsid + "\\InprocServer32", nullptr,
                server);
    }
  }
  std::unique_ptr<asio::AsioRegistry> Registry() {
    return std::make_unique<asio::SystemAsioRegistry>(HKEY_CURRENT_USER, base + "\\asio",
                                                      HKEY_CURRENT_USER, base + "\\clsid");
  }
  std::string Clsid(int n) {
    char b[40];
    std::snprintf(b, sizeof b, "{%08X-1234-5678-9ABC-DEF012345678}", n);
    return b;
  }
  // One key per test process: CTest may run several at once.
  const std::string base = "Software\\OvAsioTest\\List" + std::to_string(GetCurrentProcessId());
  std::string dll;
  HKEY tmp{};
};

TEST_F(AsioList, HandMadeRegistryContents) {
  Add("A First", Clsid(1), "First Driver", dll);
  Add("B Missing Dll", Clsid(2), "Missing", "C:\\nowhere\\gone.dll");
  Add("C Key Name", Clsid(3), "", dll);
  Add("D No Clsid", "", "x", "");
  Add("E Not A Guid", "not-a-guid", "x", dll);
  Add("F Directory", Clsid(6), "x", (fs::temp_directory_path() / "ov_asio_dir").string());
  Add("G Unregistered", Clsid(7), "x", "");
  // Registered in upper case, named in lower case.
  Add("H Case", Clsid(8), "Case Driver", dll);
  SetString(HKEY_CURRENT_USER, base + "\\asio\\H Case", "clsid",
            "{00000008-1234-5678-9abc-def012345678}");
  Add("I Long", Clsid(9), std::string(40, 'L'), dll);
  asio::AsioHost host(Registry());
  std::vector<std::string> names;
  for (const auto& d : host.Drivers()) names.push_back(d.name);
  EXPECT_EQ(names, (std::vector<std::string>{"First Driver", "C Key Name", "Case Driver",
                                             std::string(40, 'L')}));
  AsioFamily f(Registry());
  const DeviceCheck c = f.CheckDevices();
  EXPECT_EQ(c.outputs, 4u);
  EXPECT_EQ(f.DeviceName(3, false), std::string(28, 'L') + "...");
  // A driver that is listed but whose file is no COM server cannot be loaded.
  EngineMessage m;
  EXPECT_FALSE(f.TestDriver(0, false, m));
  EXPECT_STREQ(m.c_str(), "Unable to load: First Driver");
}

TEST_F(AsioList, TwelveDriversListTen) {
  for (int i = 0; i < 12; ++i) Add("Driver " + std::to_string(10 + i), Clsid(100 + i), "", dll);
  AsioFamily f(Registry());
  const DeviceCheck c = f.CheckDevices();
  EXPECT_EQ(c.outputs, 10u);
  EXPECT_EQ(f.DeviceName(9, true), "Driver 19");
  EXPECT_EQ(f.DeviceName(10, true), "");
}

TEST_F(AsioList, NoDriverMakesTheFamilyUnusable) {
  AsioFamily f(Registry());
  const DeviceCheck c = f.CheckDevices();
  EXPECT_TRUE(c.unusable);
  EXPECT_EQ(c.message, "No ASIO driver");
}

}  // namespace
}  // namespace ov
