// The DirectSound family against the DirectSound double: device tables,
// device numbers, buffer geometry, a lost buffer, a failing first lock, and
// whole runs of the engine whose bytes are checked end to end.
#include "app/engine/DirectSoundDriver_win.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/engine/DirectSoundDouble_win.h"
#include "app/engine/EngineTestSupport.h"
#include "app/engine/SampleRing.h"
#include "app/engine/WavePlayRec.h"
#include "app/wavefile/WaveFileParse.h"

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
using test::DsFakeSystem;

WaveFormat Pcm16(uint32_t rate, uint16_t channels) {
  WaveFormat f{};
  f.formatTag = kWaveFormatPcm;
  f.channels = channels;
  f.samplesPerSec = rate;
  f.bitsPerSample = 16;
  f.blockAlign = static_cast<uint16_t>(2 * channels);
  f.avgBytesPerSec = rate * f.blockAlign;
  return f;
}

struct Family {
  Family() {
    auto s = std::make_unique<DsFakeSystem>();
    sys = s.get();
    sys->outputs = DsFakeSystem::Devices(2, "Out ");
    sys->inputs = DsFakeSystem::Devices(2, "In ");
    driver = std::make_unique<DirectSoundDriver>(std::move(s));
  }
  DsFakeSystem* sys;
  std::unique_ptr<DirectSoundDriver> driver;
  AutoResetEvent done;
  EngineMessage message;
};

TEST(DirectSoundDevices, TablesAndTheirFailures) {
  Family f;
  f.sys->outputs = DsFakeSystem::Devices(34);  // 35 enumerated
  f.sys->outputs[3].description = std::string(90, 'd');
  DeviceCheck c = f.driver->CheckDevices();
  EXPECT_FALSE(c.unusable);
  EXPECT_EQ(c.message, "");
  EXPECT_EQ(f.driver->DeviceCount(false), 29u);  // 30 entries, the default one not counted
  EXPECT_EQ(f.driver->DeviceCount(true), 2u);
  EXPECT_EQ(f.driver->DeviceName(0, false), "Primary Sound Driver");
  EXPECT_EQ(f.driver->DeviceName(29, false), "Device 29");
  EXPECT_EQ(f.driver->DeviceName(30, false), "");
  EXPECT_EQ(f.driver->DeviceName(3, false), std::string(70, 'd'));
  EXPECT_EQ(f.driver->DeviceName(2, true), "In 2");

  f.sys->outputsFail = true;
  c = f.driver->CheckDevices();
  EXPECT_EQ(c.message, "No DSound Output device");
  EXPECT_FALSE(c.unusable);
  EXPECT_EQ(c.outputs, 0u);
  f.sys->outputsFail = false;
  f.sys->inputs.clear();
  c = f.driver->CheckDevices();
  EXPECT_EQ(c.message, "No DSound Input device");
  EXPECT_FALSE(c.unusable);
  f.sys->outputs.clear();
  c = f.driver->CheckDevices();
  EXPECT_EQ(c.message, "No DSound Input/Output device");
  EXPECT_TRUE(c.unusable);
  EXPECT_FALSE(f.driver->OpenOutput(-1, Pcm16(44100, 2), {}, f.done, f.message));
  EXPECT_STREQ(f.message.c_str(), "No DSound Output device");
  EXPECT_FALSE(f.driver->OpenInput(-1, Pcm16(44100, 2), {}, f.done, f.message));
  EXPECT_STREQ(f.message.c_str(), "No DSound Input device");
}

TEST(DirectSoundDevices, NumberZeroIsTheDefaultAndNumberNTheEntryN) {
  Family f;
  f.driver->CheckDevices();
  const WaveFormat w = Pcm16(44100, 2);
  ASSERT_TRUE(f.driver->OpenOutput(-1, w, {}, f.done, f.message)) << f.message.c_str();
  ASSERT_TRUE(f.driver->OpenOutput(1, w, {}, f.done, f.message)) << f.message.c_str();
  EXPECT_EQ(f.driver->OutputId(), 1);
  ASSERT_TRUE(f.driver->OpenInput(1, w, {}, f.done, f.message)) << f.message.c_str();
  const auto calls = f.sys->log.Calls();
  std::vector<std::string> inits;
  for (const auto& c : calls)
    if (c.rfind("Initialize", 0) == 0) inits.push_back(c);
  EXPECT_EQ(inits, (std::vector<std::string>{"Initialize output default", "Initialize output 2",
                                             "Initialize input 2"}));
  // Without a main window the family uses a hidden window of its own, at the
  // priority level.
  EXPECT_NE(std::find(calls.begin(), calls.end(), "SetCooperativeLevel 2 window"), calls.end());

  EXPECT_FALSE(f.driver->OpenOutput(2, w, {}, f.done, f.message));
  EXPECT_STREQ(f.message.c_str(), "DSound Output device 3 not found");
  EXPECT_FALSE(f.driver->OpenInput(7, w, {}, f.done, f.message));
  EXPECT_STREQ(f.message.c_str(), "DSound Input device 8 not found");
}

TEST(DirectSoundBuffers, GeometryOfTheHalves) {
  Family f;
  f.driver->CheckDevices();
  std::vector<uint8_t> ring(7 * 88200);
  const RingLayout layout{ring.data(), 7, 88200, 0};
  ASSERT_TRUE(f.driver->OpenOutput(-1, Pcm16(44100, 2), {}, f.done, f.message));
  ASSERT_TRUE(f.driver->PrepareOutput(layout, f.message)) << f.message.c_str();
  ASSERT_EQ(f.sys->log.playDescs.size(), 1u);
  const DSBUFFERDESC d = f.sys->log.playDescs[0];
  EXPECT_EQ(d.dwSize, sizeof(DSBUFFERDESC));
  EXPECT_EQ(d.dwBufferBytes, 17640u);
  EXPECT_EQ(d.dwFlags, 0x18108u);
  ASSERT_EQ(f.sys->log.notifications.size(), 2u);
  EXPECT_EQ(f.sys->log.notifications[0].dwOffset, 8819u);
  EXPECT_EQ(f.sys->log.notifications[1].dwOffset, 17639u);
  EXPECT_EQ(LatencySamples(-1, 44100, f.driver->OutputLatencySeconds(), 1.1), 2425u);

  DriverOptions o;
  o.dsPlayLatencyMs = 100;
  o.dsRecLatencyMs = 20;
  ASSERT_TRUE(f.driver->OpenOutput(-1, Pcm16(44100, 2), o, f.done, f.message));
  ASSERT_TRUE(f.driver->PrepareOutput(layout, f.message)) << f.message.c_str();
  EXPECT_EQ(f.driver->PlayGeometry().halfBytes, 4410u * 4);
  ASSERT_TRUE(f.driver->OpenInput(-1, Pcm16(48000, 1), o, f.done, f.message));
  ASSERT_TRUE(f.driver->PrepareInput(layout, f.message)) << f.message.c_str();
  ASSERT_EQ(f.sys->log.captureDescs.size(), 1u);
  EXPECT_EQ(f.sys->log.captureDescs[0].dwSize, sizeof(DSCBUFFERDESC));
  EXPECT_EQ(f.sys->log.captureDescs[0].dwBufferBytes, 2u * 960 * 2);
  EXPECT_DOUBLE_EQ(f.driver->InputLatencySeconds(), 0.02);
}

TEST(DirectSoundBuffers, LostBufferIsRestoredBeforeTheFirstLock) {
  Family f;
  f.driver->CheckDevices();
  f.sys->faults.lost = true;
  f.sys->faults.lostRestores = 2;
  std::vector<uint8_t> ring(4 * 8820);
  ASSERT_TRUE(f.driver->OpenOutput(-1, Pcm16(44100, 2), {}, f.done, f.message));
  ASSERT_TRUE(f.driver->PrepareOutput({ring.data(), 4, 8820, 0}, f.message)) << f.message.c_str();
  std::vector<std::string> seen;
  for (const auto& c : f.sys->log.Calls()) {
    if (c == "GetStatus" || c == "Restore" || c.rfind("Lock", 0) == 0 ||
        c.rfind("SetCurrentPosition", 0) == 0) {
      seen.push_back(c);
    }
  }
  ASSERT_GE(seen.size(), 6u);
  EXPECT_EQ(std::vector<std::string>(seen.begin(), seen.begin() + 6),
            (std::vector<std::string>{"GetStatus", "Restore", "Restore", "Restore",
                                      "SetCurrentPosition 0", "Lock 0 17640"}));

  // A buffer that stays lost fails the preparation instead of hanging.
  f.sys->faults.lost = true;
  f.sys->faults.lostRestores = 1000;
  EXPECT_FALSE(f.driver->PrepareOutput({ring.data(), 4, 8820, 0}, f.message));
  EXPECT_STREQ(f.message.c_str(), "Unable to restore buffer");
}

// Engine runs over the double: what the device played must be the file, byte
// for byte, and what the engine recorded must be the device's stream.
// The format list: the device of the direction opened once, each format
// tried as a device buffer.
TEST(DirectSoundFormats, TheGridIsWhatTheDeviceBuffersTake) {
  Family f;
  // Play: 16-bit mono and stereo up to 48 kHz; capture: 24-bit stereo only.
  f.sys->acceptsFormat = [](const WAVEFORMATEX& w, bool capture) {
    if (capture) return w.wBitsPerSample == 24 && w.nChannels == 2;
    return w.wFormatTag == WAVE_FORMAT_PCM && w.wBitsPerSample == 16 && w.nChannels <= 2 &&
           w.nSamplesPerSec <= 48000 && w.nBlockAlign == 2 * w.nChannels &&
           w.nAvgBytesPerSec == w.nSamplesPerSec * w.nBlockAlign;
  };
  f.driver->CheckDevices();
  FormatProbeRequest request;
  std::unique_ptr<FormatTrier> trier = f.driver->CreateFormatTrier(1, false, DriverOptions{});
  ASSERT_TRUE(trier);
  EXPECT_TRUE(f.driver->OutputOpen());
  int callbacks = 0;
  FormatProbeTable t = RunFormatProbe(*trier, request, [&](uint16_t, int, int) {
    ++callbacks;
    return false;
  });
  trier.reset();
  EXPECT_FALSE(f.driver->OutputOpen());  // released with the trier
  EXPECT_EQ(callbacks, kProbeRates * kProbeWidths);
  for (int r = 0; r < kProbeRates; ++r) {
    for (int w = 0; w < kProbeWidths; ++w) {
      const uint16_t want = w == 1 && kProbeRateList[r] <= 48000 ? 0x3 : 0;
      EXPECT_EQ(t.cells[r][w], want) << kProbeRateList[r] << " Hz, width " << w;
    }
  }
  const auto calls = f.sys->log.Calls();
  EXPECT_NE(std::find(calls.begin(), calls.end(), "Initialize output 2"), calls.end());

  request.input = true;
  trier = f.driver->CreateFormatTrier(-1, true, DriverOptions{});
  ASSERT_TRUE(trier);
  t = RunFormatProbe(*trier, request, [](uint16_t, int, int) { return false; });
  trier.reset();
  EXPECT_FALSE(f.driver->InputOpen());
  for (int r = 0; r < kProbeRates; ++r) {
    for (int w = 0; w < kProbeWidths; ++w) EXPECT_EQ(t.cells[r][w], w == 2 ? 0x2 : 0);
  }
  // A device number beyond the table opens nothing.
  EXPECT_FALSE(f.driver->CreateFormatTrier(5, false, DriverOptions{}));
  EXPECT_FALSE(f.driver->CreateFormatTrier(5, true, DriverOptions{}));
}

class DirectSoundEngine : public ::testing::Test {
 protected:
  void SetUp() override {
    dir =
        fs::temp_directory_path() /
        ("ov_dsd_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::create_directories(dir);
  }
  void TearDown() override {
    engine.reset();
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  void Make(EngineSettings s = {}) {
    auto sys = std::make_unique<DsFakeSystem>();
    fake = sys.get();
    fake->outputs = DsFakeSystem::Devices(1);
    fake->inputs = DsFakeSystem::Devices(1);
    fake->tickMs = 2;
    s.PlayRecDriverType = kDriverDirectSound;
    s.NofPlayBufPerSec = s.NofRecBufPerSec = 20;  // 50 ms ring buffers: many laps
    s.PlayBufSampleSizeMin = s.RecBufSampleSizeMin = 8192;
    s.DS_PlayLatency = s.DS_RecLatency = 30;  // halves straddle the ring's buffers
    auto driver = std::make_unique<DirectSoundDriver>(std::move(sys));
    drv = driver.get();
    engine = std::make_unique<WavePlayRec>(host, notifier, playState, recState, EngineCallbacks{},
                                           s, std::move(driver));
  }
  // The device's ramp, from its first byte, in order, with nothing lost or
  // repeated across the ring's laps.
  static void ExpectRamp(const std::string& rec, const WaveFileInfo& info) {
    std::ifstream in(rec, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(info.dataOffset));
    std::vector<uint8_t> got(info.dataSize);
    in.read(reinterpret_cast<char*>(got.data()), static_cast<std::streamsize>(got.size()));
    for (size_t i = 0; i < got.size(); ++i) ASSERT_EQ(got[i], i % 251) << "byte " << i;
  }
  // Plays 1.3 s of bytes that never repeat within a ring lap and checks that
  // the device got the file without a gap.
  void PlayAndCompare() {
    ASSERT_TRUE(engine->DirectXAvailable());
    ASSERT_EQ(engine->GetDriverType(), kDriverDirectSound) << engine->GetMessage();
    // 1.3 s of bytes that never repeat within a ring lap.
    std::vector<uint8_t> data(44100 * 4 * 13 / 10);
    for (size_t i = 0; i < data.size(); ++i)
      data[i] = static_cast<uint8_t>((i * 2654435761u) >> 13);
    const std::string file = WriteFile(data);
    ASSERT_EQ(engine->OpenPlay(file.c_str()), EngineResult::Ok);
    ASSERT_EQ(engine->StartPlay(0), EngineResult::Ok) << engine->GetMessage();
    ASSERT_TRUE(host.PumpUntil([&] { return PlayEnded(); }, 30));
    EXPECT_TRUE(host.stopped.empty()) << host.stopped[0];
    const std::vector<uint8_t> played = fake->lastPlay->Played();
    // The first half went out as silence before the two halves primed from the
    // ring; from there on the device got the file without a gap.
    auto at = std::search(played.begin(), played.end(), data.begin(), data.begin() + 64);
    ASSERT_NE(at, played.end());
    const size_t start = static_cast<size_t>(at - played.begin());
    ASSERT_GE(played.size() - start, data.size());
    EXPECT_TRUE(std::equal(data.begin(), data.end(), played.begin() + start));
    // After the end the device plays silence, not older ring contents.
    const auto tail = played.begin() + static_cast<std::ptrdiff_t>(start + data.size());
    EXPECT_EQ(std::count(tail, played.end(), 0), played.end() - tail);
    EXPECT_GT(drv->TransferCpuMs(false), -1.0);
  }
  bool PlayEnded() {
    const auto m = host.PostedMessages();
    return std::find(m.begin(), m.end(), WM_PLAY_END) != m.end();
  }
  std::string WriteFile(const std::vector<uint8_t>& data) {
    const std::string name = (dir / "in.wav").string();
    const WaveFormat f = Pcm16(44100, 2);
    std::string s = "RIFF";
    auto put = [&](uint32_t v) {
      for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
    };
    put(36 + static_cast<uint32_t>(data.size()));
    s += "WAVEfmt ";
    put(16);
    s.append(reinterpret_cast<const char*>(&f), 16);
    s += "data";
    put(static_cast<uint32_t>(data.size()));
    s.append(reinterpret_cast<const char*>(data.data()), data.size());
    std::ofstream(name, std::ios::binary) << s;
    return name;
  }

  fs::path dir;
  test::TestHost host;
  test::TestNotifier notifier;
  std::atomic<int32_t> playState{0}, recState{0};
  DsFakeSystem* fake = nullptr;
  DirectSoundDriver* drv = nullptr;
  std::unique_ptr<WavePlayRec> engine;
};

TEST_F(DirectSoundEngine, PlaysTheFileByteForByte) {
  Make();
  PlayAndCompare();
}

TEST_F(DirectSoundEngine, RecordsTheDeviceStreamIntoTheFile) {
  Make();
  fake->captureStepBytes = 1000;  // a stop finds a half partly captured
  const std::string rec = (dir / "REC.WAV").string();
  ASSERT_EQ(engine->OpenRec(rec.c_str(), Pcm16(44100, 2), Probe(0)), EngineResult::Ok)
      << engine->GetMessage();
  ASSERT_EQ(engine->StartRec(0), EngineResult::Ok) << engine->GetMessage();
  ASSERT_TRUE(host.PumpUntil([&] { return recState.load() == kRecRecording; }, 10));
  ASSERT_TRUE(host.PumpUntil([&] { return engine->GetRecSamplePosition() > 44100; }, 30));
  engine->Stop();
  EXPECT_TRUE(host.stopped.empty());
  WaveFormat f{};
  WaveFileInfo info;
  ReaderMessage m;
  ASSERT_TRUE(ParseWaveFile(rec.c_str(), &f, &info, &m, ParseOptions{})) << m.c_str();
  // Every byte the device captured up to the stop, the partly filled half
  // and ring buffer included.
  ASSERT_GE(info.dataSize, 44100u * 4);
  EXPECT_EQ(info.dataSize, fake->lastCapture->Captured());
  ExpectRamp(rec, info);
}

TEST_F(DirectSoundEngine, PausedRecordingKeepsEveryCapturedByte) {
  Make();
  fake->captureStepBytes = 1000;
  const std::string rec = (dir / "REC.WAV").string();
  ASSERT_EQ(engine->OpenRec(rec.c_str(), Pcm16(44100, 2), Probe(0)), EngineResult::Ok)
      << engine->GetMessage();
  ASSERT_EQ(engine->StartRec(0), EngineResult::Ok) << engine->GetMessage();
  ASSERT_TRUE(host.PumpUntil([&] { return recState.load() == kRecRecording; }, 10));
  for (int k = 0; k < 3; ++k) {
    const uint64_t at = engine->GetRecSamplePosition();
    ASSERT_TRUE(host.PumpUntil([&] { return engine->GetRecSamplePosition() > at + 9000; }, 30));
    engine->TogglePause();
    ASSERT_EQ(recState.load(), kRecPaused);
    host.PumpUntil([] { return false; }, 0.1);
    engine->TogglePause();
    ASSERT_EQ(recState.load(), kRecRecording);
  }
  const uint64_t at = engine->GetRecSamplePosition();
  ASSERT_TRUE(host.PumpUntil([&] { return engine->GetRecSamplePosition() > at + 9000; }, 30));
  engine->Stop();
  EXPECT_TRUE(host.stopped.empty());
  WaveFormat f{};
  WaveFileInfo info;
  ReaderMessage m;
  ASSERT_TRUE(ParseWaveFile(rec.c_str(), &f, &info, &m, ParseOptions{})) << m.c_str();
  EXPECT_EQ(info.dataSize, fake->lastCapture->Captured());
  ExpectRamp(rec, info);
}

TEST_F(DirectSoundEngine, FailingFirstLockEndsTheStartInsteadOfHanging) {
  Make();
  const std::string file = WriteFile(std::vector<uint8_t>(44100 * 4, 7));
  ASSERT_EQ(engine->OpenPlay(file.c_str()), EngineResult::Ok);
  // The transfer thread's own lock of its first half (30 ms at 44.1 kHz).
  fake->faults.failLockOfBytes = 1323 * 4;
  EXPECT_EQ(engine->StartPlay(0), EngineResult::Failed);
  EXPECT_STREQ(engine->GetMessage(), "Unable to lock buffer");
  EXPECT_EQ(playState.load(), kPlayStopped);
  EXPECT_EQ(engine->ActiveMask(), 0u);
  // The engine stays usable.
  fake->faults.failLockOfBytes = 0;
  ASSERT_EQ(engine->StartPlay(0), EngineResult::Ok) << engine->GetMessage();
  ASSERT_TRUE(host.PumpUntil([&] { return playState.load() == kPlayPlaying; }, 10));
  engine->Stop();
  EXPECT_EQ(playState.load(), kPlayStopped);
}

TEST_F(DirectSoundEngine, UnsupportedFormatAndFullVolume) {
  Make();
  fake->faults.createBuffer = DSERR_BADFORMAT;
  const std::string rec = (dir / "REC.WAV").string();
  WaveFormat f24 = Pcm16(44100, 2);
  f24.bitsPerSample = 24;
  f24.blockAlign = 6;
  f24.avgBytesPerSec = 44100 * 6;
  EXPECT_EQ(engine->OpenRec(nullptr, f24, Probe(0)), EngineResult::Failed);
  EXPECT_STREQ(engine->GetMessage(), "Unsupported format:  44100Hz 24bit 2ch");
  fake->faults.createBuffer = DS_OK;
  EXPECT_EQ(engine->OpenRec(nullptr, Pcm16(44100, 2), Probe(0)), EngineResult::Ok);

  engine->SetPlayWithFullVol(true);
  const std::string file = WriteFile(std::vector<uint8_t>(44100, 0));
  ASSERT_EQ(engine->OpenPlay(file.c_str()), EngineResult::Ok);
  ASSERT_EQ(engine->StartPlay(0), EngineResult::Ok) << engine->GetMessage();
  ASSERT_TRUE(host.PumpUntil([&] { return playState.load() == kPlayPlaying; }, 10));
  engine->Stop();
  const auto calls = fake->log.Calls();
  EXPECT_NE(std::find(calls.begin(), calls.end(), "SetVolume 0"), calls.end());
}

}  // namespace
}  // namespace ov
