// The WASAPI family through the endpoint double: endpoint tables, the format
// attempt order, the alignment retry, refusals, the information text, and
// whole files played and recorded through the engine in event and timer mode,
// compared byte for byte with what the endpoint received or delivered.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <vector>

#include "app/engine/ConsoleEngineHost.h"
#include "app/engine/WasapiDouble_win_test.h"
#include "app/engine/WasapiDriver_win.h"
#include "app/engine/WavePlayRec.h"
#include "app/wavefile/WaveFileParse.h"

namespace ov {
namespace {

namespace fs = std::filesystem;

RecOpenOptions ProbeOn(int32_t device) {
  RecOpenOptions o;
  o.probe = true;
  o.probeDeviceNumber = device;
  return o;
}

using test::DoubleEndpoint;

class QuietNotifier : public UserNotifier {
 public:
  NoticeAnswer Notify(std::string_view t, NoticeIcon) override {
    texts.emplace_back(t);
    return NoticeAnswer::Ok;
  }
  std::vector<std::string> texts;
};

WaveFormat Format(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
  WaveFormat f{};
  f.formatTag = tag;
  f.channels = channels;
  f.samplesPerSec = rate;
  f.bitsPerSample = bits;
  f.blockAlign = static_cast<uint16_t>(channels * bits / 8);
  f.avgBytesPerSec = rate * f.blockAlign;
  return f;
}

void Put32(std::string& s, uint32_t v) {
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
}

void WriteWave(const fs::path& p, const WaveFormat& f, const std::vector<uint8_t>& data) {
  const uint32_t fmtBytes = f.formatTag == kWaveFormatPcm ? 16 : 18;
  std::string s = "RIFF";
  Put32(s, 20 + fmtBytes + static_cast<uint32_t>(data.size()));
  s += "WAVEfmt ";
  Put32(s, fmtBytes);
  WaveFormat plain = f;
  plain.extraSize = 0;
  s.append(reinterpret_cast<const char*>(&plain), fmtBytes);
  s += "data";
  Put32(s, static_cast<uint32_t>(data.size()));
  s.append(reinterpret_cast<const char*>(data.data()), data.size());
  std::ofstream(p, std::ios::binary) << s;
}

std::vector<uint8_t> WaveData(const fs::path& p) {
  WaveFormat f{};
  WaveFileInfo info;
  ReaderMessage m;
  if (!ParseWaveFile(p.string().c_str(), &f, &info, &m, ParseOptions{}) || !info.valid) return {};
  std::ifstream in(p, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(info.dataOffset));
  std::vector<uint8_t> d(info.dataSize);
  in.read(reinterpret_cast<char*>(d.data()), static_cast<std::streamsize>(d.size()));
  return d;
}

// Noise-like 16-bit samples, never zero, extremes included.
std::vector<int16_t> Samples16(size_t n) {
  std::vector<int16_t> v(n);
  uint32_t x = 12345;
  for (size_t i = 0; i < n; ++i) {
    x = x * 1103515245u + 12345u;
    v[i] = static_cast<int16_t>((x >> 16) | 1);
  }
  v[1] = -32768;
  v[2] = 32767;
  return v;
}

std::vector<uint8_t> Bytes(const std::vector<int16_t>& v) {
  std::vector<uint8_t> b(v.size() * 2);
  std::memcpy(b.data(), v.data(), b.size());
  return b;
}

// s16 sent in 24-bit containers: low byte 0, then the 16-bit value.
std::vector<uint8_t> As24(const std::vector<int16_t>& v) {
  std::vector<uint8_t> b;
  for (int16_t s : v) {
    const auto u = static_cast<uint16_t>(s);
    b.insert(b.end(), {0, static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8)});
  }
  return b;
}

// Where `expected` begins in what the endpoint played: everything before it
// and after it must be silence (the first start plays one silent buffer).
::testing::AssertionResult PlayedExactly(const std::vector<uint8_t>& played,
                                         const std::vector<uint8_t>& expected) {
  if (expected.size() < 64 || played.size() < expected.size()) {
    return ::testing::AssertionFailure()
           << "played " << played.size() << " bytes, expected " << expected.size();
  }
  size_t at = 0;
  while (at + expected.size() <= played.size() &&
         std::memcmp(played.data() + at, expected.data(), 64) != 0) {
    ++at;
  }
  if (at + expected.size() > played.size()) {
    return ::testing::AssertionFailure() << "the file was not played from its start to its end";
  }
  for (size_t i = 0; i < at; ++i) {
    if (played[i]) return ::testing::AssertionFailure() << "non-silence before the file at " << i;
  }
  for (size_t i = 0; i < expected.size(); ++i) {
    if (played[at + i] != expected[i]) {
      return ::testing::AssertionFailure() << "byte " << i << " of the file differs";
    }
  }
  for (size_t i = at + expected.size(); i < played.size(); ++i) {
    if (played[i]) return ::testing::AssertionFailure() << "non-silence after the file at " << i;
  }
  return ::testing::AssertionSuccess();
}

class WasapiDouble : public ::testing::Test {
 protected:
  void SetUp() override {
    EngineMessage m;
    ASSERT_TRUE(mmcss.Bind(m)) << m.c_str();
    ASSERT_TRUE(mmcss.MmcssAvailable());
    dir = fs::temp_directory_path() /
          ("ov_wasapi_" +
           std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::create_directories(dir);
    speakers.name = L"Speakers (double)";
    speakers.id = L"{0.0.0.00000000}.{speakers}";
    mic.name = L"Microphone (double)";
    mic.id = L"{0.0.1.00000000}.{mic}";
    mic.capture = true;
  }
  void TearDown() override {
    EngineMessage m;
    mmcss.Free(m);
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  std::unique_ptr<WasapiDriver> Driver() {
    auto d = std::make_unique<WasapiDriver>(&mmcss, test::DoubleEnumerator({&speakers, &mic}));
    return d;
  }

  struct Side {
    Side(std::unique_ptr<AudioDriver> d, const EngineSettings& s)
        : engine(host, notifier, playState, recState, {}, s, std::move(d)) {}
    ConsoleEngineHost host;
    QuietNotifier notifier;
    std::atomic<int32_t> playState{0}, recState{0};
    WavePlayRec engine;
  };
  static EngineSettings Settings(bool eventMode, int32_t latencyMs = 20) {
    EngineSettings s;
    s.PlayRecDriverType = kDriverWasapi;
    s.WAS_EventMode = eventMode;
    s.WAS_Latency = latencyMs;
    // Short ring buffers, so that a short file crosses many of them.
    s.NofPlayBufPerSec = s.NofRecBufPerSec = 20;
    s.PlayBufSampleSizeMin = s.RecBufSampleSizeMin = 4096;
    return s;
  }

  // Plays a file through the engine to the end; the driver stays inspectable.
  bool PlayFile(const fs::path& file, const EngineSettings& s, bool monoToStereo = false,
                double* transferCpuMs = nullptr) {
    auto driver = Driver();
    WasapiDriver* d = driver.get();
    Side side(std::move(driver), s);
    side.engine.SetPlayForceMonoStereo(monoToStereo);
    if (side.engine.OpenPlay(file.string().c_str()) != EngineResult::Ok) {
      ADD_FAILURE() << side.engine.GetMessage();
      return false;
    }
    if (side.engine.StartPlay(0) != EngineResult::Ok) {
      ADD_FAILURE() << side.engine.GetMessage();
      return false;
    }
    const bool ended =
        side.host.PumpUntil([&] { return side.host.CountOf(WM_PLAY_END) > 0; }, 60000);
    EXPECT_STREQ(side.engine.GetMessage(), "");
    if (transferCpuMs) *transferCpuMs = d->TransferCpuMs(false);
    return ended;
  }

  AvrtBinding mmcss{CreateSystemLibraryLoader()};
  DoubleEndpoint speakers, mic;
  fs::path dir;
};

TEST_F(WasapiDouble, EndpointTablesListAtMostThirtyAndReportMissingDirections) {
  std::vector<std::unique_ptr<DoubleEndpoint>> many;
  std::vector<DoubleEndpoint*> all;
  for (int i = 0; i < 33; ++i) {
    many.push_back(std::make_unique<DoubleEndpoint>());
    many.back()->name = L"Out " + std::to_wstring(i) + L" \u00e9";
    many.back()->id = L"out" + std::to_wstring(i);
    all.push_back(many.back().get());
  }
  WasapiDriver d(&mmcss, test::DoubleEnumerator(all));
  DeviceCheck c = d.CheckDevices();
  EXPECT_EQ(c.message, "No WASAPI Input device");
  EXPECT_FALSE(c.unusable);
  EXPECT_EQ(d.DeviceCount(false), 30u);
  EXPECT_EQ(d.ReportedCount(false), 33u);
  EXPECT_EQ(d.DeviceName(0, false), "Out 0 \xc3\xa9");
  EXPECT_EQ(d.DeviceName(29, false), "Out 29 \xc3\xa9");
  EXPECT_EQ(d.DeviceName(30, false), "");

  WasapiDriver onlyMic(&mmcss, test::DoubleEnumerator({&mic}));
  c = onlyMic.CheckDevices();
  EXPECT_EQ(c.message, "No WASAPI Output device");
  EXPECT_FALSE(c.unusable);
  EngineMessage m;
  AutoResetEvent e;
  EXPECT_FALSE(onlyMic.OpenOutput(-1, Format(1, 2, 48000, 16), DriverOptions{}, e, m));
  EXPECT_STREQ(m.c_str(), "No WASAPI Output device");

  WasapiDriver none(&mmcss, test::DoubleEnumerator({}));
  c = none.CheckDevices();
  EXPECT_EQ(c.message, "No WASAPI Input/Output device");
  EXPECT_TRUE(c.unusable);
  WasapiDriver noEnumerator(&mmcss, [](IMMDeviceEnumerator**) { return E_NOINTERFACE; });
  c = noEnumerator.CheckDevices();
  EXPECT_EQ(c.message, "No WASAPI Input/Output device");
  EXPECT_TRUE(c.unusable);
  WasapiDriver noMmcss(nullptr, test::DoubleEnumerator({&speakers}));
  c = noMmcss.CheckDevices();
  EXPECT_EQ(c.message, "Windows Vista SP1 or later required");
  EXPECT_TRUE(c.unusable);
}

TEST_F(WasapiDouble, SixteenBitOnATwentyFourBitEndpointIsRetriedWiderAndSentShifted) {
  speakers.accepted = {{24, false}};
  const WaveFormat f = Format(1, 2, 48000, 16);
  const auto samples = Samples16(48000 / 2 * 2);
  WriteWave(dir / "s16.wav", f, Bytes(samples));
  ASSERT_TRUE(PlayFile(dir / "s16.wav", Settings(true)));
  const auto inits = speakers.Inits();
  ASSERT_EQ(inits.size(), 2u);
  EXPECT_EQ(inits[0].bits, 16);
  EXPECT_EQ(inits[0].result, AUDCLNT_E_UNSUPPORTED_FORMAT);
  EXPECT_EQ(inits[1].bits, 24);
  EXPECT_EQ(inits[1].validBits, 24);
  EXPECT_EQ(inits[1].flags, static_cast<DWORD>(AUDCLNT_STREAMFLAGS_EVENTCALLBACK));
  EXPECT_EQ(inits[1].result, S_OK);
  EXPECT_TRUE(PlayedExactly(speakers.Loopback(), As24(samples)));
}

TEST_F(WasapiDouble, WholeFilePlaysByteForByteInTimerMode) {
  const WaveFormat f = Format(1, 2, 44100, 16);
  const auto samples = Samples16(44100 / 2 * 2 + 6);  // not a whole ring buffer
  WriteWave(dir / "timer.wav", f, Bytes(samples));
  double cpuMs = -1;
  ASSERT_TRUE(PlayFile(dir / "timer.wav", Settings(false), false, &cpuMs));
  const auto inits = speakers.Inits();
  ASSERT_EQ(inits.size(), 1u);
  EXPECT_EQ(inits[0].flags, 0u);
  EXPECT_TRUE(PlayedExactly(speakers.Loopback(), Bytes(samples)));
  EXPECT_GE(cpuMs, 0.0);
}

TEST_F(WasapiDouble, MonoWithForceMonoStereoOpensTwoChannelsAndWritesEachSampleTwice) {
  const WaveFormat f = Format(1, 1, 48000, 16);
  const auto samples = Samples16(48000 / 2);
  WriteWave(dir / "mono.wav", f, Bytes(samples));
  double cpuMs = -1;
  ASSERT_TRUE(PlayFile(dir / "mono.wav", Settings(true), true, &cpuMs));
  const auto inits = speakers.Inits();
  ASSERT_EQ(inits.size(), 1u);
  EXPECT_EQ(inits[0].channels, 2);
  std::vector<int16_t> twice;
  for (int16_t s : samples) twice.insert(twice.end(), {s, s});
  EXPECT_TRUE(PlayedExactly(speakers.Loopback(), Bytes(twice)));
  std::printf("[ measure  ] transfer thread CPU for 0.5 s at 48 kHz stereo (event mode): %.1f ms\n",
              cpuMs);
}

TEST_F(WasapiDouble, FloatFileTriesFloatThenTwentyFourThenThirtyTwoBitPcm) {
  const WaveFormat f = Format(3, 1, 48000, 32);
  std::vector<float> x(24000);
  for (size_t i = 0; i < x.size(); ++i) x[i] = static_cast<float>(std::sin(i * 0.01) * 1.2);
  x[0] = 1.0f;
  x[1] = -1.5f;
  x[2] = std::numeric_limits<float>::quiet_NaN();
  x[3] = 0.5f;
  std::vector<uint8_t> bytes(x.size() * 4);
  std::memcpy(bytes.data(), x.data(), bytes.size());
  WriteWave(dir / "float.wav", f, bytes);

  // Accepted only as 32-bit PCM: min(trunc(f x 8388608), 8388607) x 256, -1.5 clipped.
  speakers.accepted = {{32, false}};
  ASSERT_TRUE(PlayFile(dir / "float.wav", Settings(true)));
  auto inits = speakers.Inits();
  ASSERT_EQ(inits.size(), 3u);
  EXPECT_TRUE(inits[0].isFloat);
  EXPECT_EQ(inits[0].bits, 32);
  EXPECT_FALSE(inits[1].isFloat);
  EXPECT_EQ(inits[1].bits, 24);
  EXPECT_FALSE(inits[2].isFloat);
  EXPECT_EQ(inits[2].bits, 32);
  std::vector<uint8_t> expected32;
  std::vector<uint8_t> expected24;
  for (float v : x) {
    double t = std::isnan(v) ? 0 : std::trunc(static_cast<double>(v) * 8388608.0);
    t = std::min(std::max(t, -8388608.0), 8388607.0);
    const auto s = static_cast<int32_t>(t);
    const auto u = static_cast<uint32_t>(s) << 8;
    expected32.insert(expected32.end(),
                      {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8),
                       static_cast<uint8_t>(u >> 16), static_cast<uint8_t>(u >> 24)});
    expected24.insert(expected24.end(), {static_cast<uint8_t>(s), static_cast<uint8_t>(s >> 8),
                                         static_cast<uint8_t>(s >> 16)});
  }
  EXPECT_TRUE(PlayedExactly(speakers.Loopback(), expected32));

  // Accepted as 24-bit PCM at the second attempt.
  DoubleEndpoint second;
  second.name = L"24";
  second.id = L"24";
  second.accepted = {{24, false}};
  {
    auto driver = std::make_unique<WasapiDriver>(&mmcss, test::DoubleEnumerator({&second, &mic}));
    Side side(std::move(driver), Settings(true));
    ASSERT_EQ(side.engine.OpenPlay((dir / "float.wav").string().c_str()), EngineResult::Ok);
    ASSERT_EQ(side.engine.StartPlay(0), EngineResult::Ok) << side.engine.GetMessage();
    ASSERT_TRUE(side.host.PumpUntil([&] { return side.host.CountOf(WM_PLAY_END) > 0; }, 60000));
  }
  EXPECT_EQ(second.Inits().size(), 2u);
  EXPECT_TRUE(PlayedExactly(second.Loopback(), expected24));

  // An endpoint that takes floats receives the floats themselves.
  DoubleEndpoint native;
  native.name = L"float";
  native.id = L"float";
  native.accepted = {{32, true}};
  {
    auto driver = std::make_unique<WasapiDriver>(&mmcss, test::DoubleEnumerator({&native, &mic}));
    Side side(std::move(driver), Settings(false));
    ASSERT_EQ(side.engine.OpenPlay((dir / "float.wav").string().c_str()), EngineResult::Ok);
    ASSERT_EQ(side.engine.StartPlay(0), EngineResult::Ok) << side.engine.GetMessage();
    ASSERT_TRUE(side.host.PumpUntil([&] { return side.host.CountOf(WM_PLAY_END) > 0; }, 60000));
  }
  EXPECT_EQ(native.Inits().size(), 1u);
  EXPECT_TRUE(PlayedExactly(native.Loopback(), bytes));
}

TEST_F(WasapiDouble, LatencyAsksForWholeFramesAndRetriesOnceWithTheAlignedSize) {
  auto d = Driver();
  ASSERT_TRUE(d->CheckDevices().message.empty());
  DriverOptions o;
  o.wasapiLatencyMs = 20;
  EngineMessage m;
  AutoResetEvent done;
  ASSERT_TRUE(d->OpenOutput(-1, Format(1, 2, 48000, 16), o, done, m)) << m.c_str();
  auto inits = speakers.Inits();
  ASSERT_EQ(inits.size(), 1u);
  EXPECT_EQ(inits[0].duration, 200000);  // 960 frames
  EXPECT_EQ(d->BufferFramesOf(false), 960u);
  d->CloseOutput(m);

  speakers.inits.clear();
  speakers.alignFrames = 128;  // 960 is not a multiple: the endpoint wants 1024
  const int before = speakers.activations.load();
  ASSERT_TRUE(d->OpenOutput(-1, Format(1, 2, 48000, 16), o, done, m)) << m.c_str();
  inits = speakers.Inits();
  ASSERT_EQ(inits.size(), 2u);
  EXPECT_EQ(inits[0].result, AUDCLNT_E_BUFFER_SIZE_NOT_ALIGNED);
  EXPECT_EQ(inits[1].duration, 213333);  // trunc(1024 x 10^7 / 48000 + 0.5)
  EXPECT_EQ(inits[1].bits, 16);          // the same format again
  EXPECT_EQ(inits[1].result, S_OK);
  EXPECT_EQ(d->BufferFramesOf(false), 1024u);
  EXPECT_EQ(speakers.activations.load() - before, 2);  // a fresh client for the retry
  d->CloseOutput(m);

  // A size that stays unaligned is retried once only, then the next width.
  speakers.inits.clear();
  speakers.alignFrames = 0;
  speakers.accepted = {};
  EXPECT_FALSE(d->OpenOutput(-1, Format(1, 2, 48000, 16), o, done, m));
  EXPECT_STREQ(m.c_str(), "Unable to initialize. (AUDCLNT_E_UNSUPPORTED_FORMAT)");
  EXPECT_EQ(speakers.Inits().size(), 3u);  // 16, 24, 32
  EXPECT_FALSE(d->OutputOpen());
}

TEST_F(WasapiDouble, SixteenBitRecordingOnAnEndpointRefusingItFailsWithoutWidening) {
  mic.accepted = {{24, false}, {32, false}};
  Side side(Driver(), Settings(true));
  EXPECT_EQ(side.engine.OpenRec(nullptr, Format(1, 2, 48000, 16), ProbeOn(0)),
            EngineResult::Failed);
  EXPECT_STREQ(side.engine.GetMessage(), "Unable to initialize. (AUDCLNT_E_UNSUPPORTED_FORMAT)");
  EXPECT_EQ(std::string(side.engine.GetMessage()).substr(22), "(AUDCLNT_E_UNSUPPORTED_FORMAT)");
  ASSERT_EQ(mic.Inits().size(), 1u);
  EXPECT_EQ(mic.Inits()[0].bits, 16);
}

TEST_F(WasapiDouble, RefusalsNameTheirCauseAndTheEngineStaysUsable) {
  auto d = Driver();
  d->CheckDevices();
  EngineMessage m;
  AutoResetEvent done;
  const WaveFormat f = Format(1, 2, 48000, 16);
  speakers.channelCountResult = E_NOTIMPL;
  EXPECT_FALSE(d->OpenOutput(-1, f, DriverOptions{}, done, m));
  EXPECT_STREQ(m.c_str(), "Unable to GetChannelCount.");
  speakers.channelCountResult = S_OK;
  speakers.initializeResult = AUDCLNT_E_DEVICE_IN_USE;
  EXPECT_FALSE(d->OpenOutput(-1, f, DriverOptions{}, done, m));
  EXPECT_STREQ(m.c_str(), "Unable to initialize. (AUDCLNT_E_DEVICE_IN_USE)");
  speakers.initializeResult = static_cast<HRESULT>(0x88890077);
  EXPECT_FALSE(d->OpenOutput(-1, f, DriverOptions{}, done, m));
  EXPECT_STREQ(m.c_str(), "Unable to initialize. (0x88890077)");
  speakers.initializeResult = S_OK;
  speakers.eventAllowed = false;
  EXPECT_FALSE(d->OpenOutput(-1, f, DriverOptions{}, done, m));
  EXPECT_STREQ(m.c_str(), "Unable to initialize. (AUDCLNT_E_DEVICE_IN_USE)");
  DriverOptions timer;
  timer.wasapiEventMode = false;
  EXPECT_TRUE(d->OpenOutput(-1, f, timer, done, m)) << m.c_str();
  d->CloseOutput(m);
  EXPECT_FALSE(d->OpenOutput(5, f, DriverOptions{}, done, m));
  EXPECT_STREQ(m.c_str(), "Unable to get device.");
}

TEST_F(WasapiDouble, InformationTextAfterATrialPreparation) {
  auto d = Driver();
  d->CheckDevices();
  DriverOptions o;
  speakers.volumeAvailable = false;
  std::string t = d->DeviceInfo(0, false, Format(1, 2, 48000, 16), o, false);
  EXPECT_EQ(t,
            "========== WASAPI Information ==========\n[ Speakers (double) ]\n\n"
            "Output Channels:\t 2?\nSample Rate:\t 48000\nBits/Sample:\t 16\n"
            "Buffer size min:\t 144  (3.0ms)\n\t default:\t 480  (10.0ms)\n"
            "\t actual:\t 960  (20.0ms)\nStream latency:\t 480  (10.0ms)\n\n"
            "Mode:\t\t exclusive-mode\nBuffering:  \t event-driven\nMMCSS task:\t \"Pro Audio\"\n");
  mic.volumeChannels = 1;
  o.wasapiEventMode = false;
  t = d->DeviceInfo(0, true, Format(1, 1, 44100, 24), o, true);
  EXPECT_NE(t.find("[ Microphone (double) ]\n\nInput Channels:\t 1 \nSample Rate:\t 44100\n"
                   "Bits/Sample:\t 24\n"),
            std::string::npos)
      << t;
  EXPECT_NE(t.find("Buffering:  \t timer-driven\n"), std::string::npos);
  EXPECT_NE(t.find("\nMaster Volume:\t -3.00dB  (0.75)\nCh.1 Volume:\t -0.00dB  (1.00)\n"
                   "Volume Min:\t -60.00dB\n"),
            std::string::npos)
      << t;
  EXPECT_NE(
      t.find("Mute:\t\t Off\nHardware support:\n\t Volume:\t No\n\t Mute:\t Yes\n\t Meter:\t No"),
      std::string::npos);
  mic.accepted = {};
  t = d->DeviceInfo(0, true, Format(1, 2, 44100, 16), o, false);
  EXPECT_EQ(t,
            "========== WASAPI Information ==========\n[ Microphone (double) ]\n\n"
            "Sample Rate:\t 44100\nBits/Sample:\t 16\n\n\n"
            " Error: Unable to initialize. (AUDCLNT_E_UNSUPPORTED_FORMAT)");
}

// What the endpoint played, without the silence around it, is the file from
// its start up to some point, then the file from `resumeAt` to its end.
::testing::AssertionResult PlayedPrefixThenTail(std::vector<uint8_t> played,
                                                const std::vector<uint8_t>& file, size_t resumeAt) {
  while (!played.empty() && played.back() == 0) played.pop_back();
  size_t start = 0;
  while (start < played.size() && played[start] == 0) ++start;
  const size_t tail = file.size() - resumeAt;
  if (played.size() - start < tail) return ::testing::AssertionFailure() << "too short";
  const size_t split = played.size() - tail;
  if (!std::equal(file.begin() + resumeAt, file.end(), played.begin() + split)) {
    return ::testing::AssertionFailure() << "the end differs from the file after the seek";
  }
  if (split - start > file.size() ||
      !std::equal(played.begin() + start, played.begin() + split, file.begin())) {
    return ::testing::AssertionFailure() << "the part before the seek is not the file's start";
  }
  return ::testing::AssertionSuccess() << split - start << " bytes before the seek";
}

TEST_F(WasapiDouble, PauseResumeAndSeekWhilePausedLoseAndRepeatNothing) {
  for (const bool eventMode : {true, false}) {
    DoubleEndpoint out;
    out.name = L"out";
    out.id = L"out";
    const WaveFormat f = Format(1, 2, 48000, 16);
    const auto samples = Samples16(48000 * 2 * 3 / 2);  // 1.5 s
    const auto bytes = Bytes(samples);
    WriteWave(dir / "long.wav", f, bytes);
    auto driver = std::make_unique<WasapiDriver>(&mmcss, test::DoubleEnumerator({&out, &mic}));
    Side side(std::move(driver), Settings(eventMode));
    WavePlayRec& e = side.engine;
    ASSERT_EQ(e.OpenPlay((dir / "long.wav").string().c_str()), EngineResult::Ok);
    ASSERT_EQ(e.StartPlay(0), EngineResult::Ok) << e.GetMessage();
    auto played = [&] { return out.Loopback().size(); };
    ASSERT_TRUE(side.host.PumpUntil([&] { return played() > 48000 * 4 / 5; }, 30000));
    e.TogglePause();
    const size_t atPause = played();
    side.host.PumpUntil([] { return false; }, 300);
    EXPECT_LE(played(), atPause + 4 * 960 * 4) << "the endpoint went on while paused";
    e.TogglePause();  // resume where it stopped
    ASSERT_TRUE(side.host.PumpUntil([&] { return played() > atPause + 48000 * 4 / 5; }, 30000));
    e.TogglePause();
    EXPECT_EQ(e.SeekToSample(48000), 48000u);  // back to 1.0 s while paused
    e.TogglePause();
    ASSERT_TRUE(side.host.PumpUntil([&] { return side.host.CountOf(WM_PLAY_END) > 0; }, 60000));
    EXPECT_STREQ(e.GetMessage(), "");
    EXPECT_TRUE(PlayedPrefixThenTail(out.Loopback(), bytes, 48000 * 4))
        << (eventMode ? "event mode" : "timer mode");
  }
}

// The play position the engine's start waits on: ring frames moved to the
// endpoint plus the clock's time since the last transfer, in frames. It is
// never behind what the endpoint has played of the file (nothing plays that
// was not moved), never further ahead than the endpoint's buffer and a
// little time, falls back between readings by no more than it may run
// ahead, and reaches the file's length.
TEST_F(WasapiDouble, OutputPositionFollowsWhatTheEndpointPlays) {
  for (const bool eventMode : {true, false}) {
    DoubleEndpoint out;
    out.name = L"out";
    out.id = L"out";
    const WaveFormat f = Format(1, 2, 48000, 16);
    const uint64_t fileFrames = 48000;
    WriteWave(dir / "pos.wav", f, Bytes(Samples16(fileFrames * 2)));  // no zero sample
    auto driver = std::make_unique<WasapiDriver>(&mmcss, test::DoubleEnumerator({&out, &mic}));
    WasapiDriver* d = driver.get();
    Side side(std::move(driver), Settings(eventMode));
    ASSERT_EQ(side.engine.OpenPlay((dir / "pos.wav").string().c_str()), EngineResult::Ok);
    ASSERT_EQ(side.engine.StartPlay(0), EngineResult::Ok) << side.engine.GetMessage();
    struct Reading {
      uint64_t position;
      size_t playedBefore, playedAfter;  // endpoint frames around the reading
    };
    std::vector<Reading> readings;
    auto played = [&] { return out.Loopback().size() / 4; };
    ASSERT_TRUE(side.host.PumpUntil(
        [&] {
          if (side.host.CountOf(WM_PLAY_END) > 0) return true;
          if (!d->OutputOpen()) return false;
          Reading r{};
          r.playedBefore = played();
          d->OutputPosition(r.position);
          r.playedAfter = played();
          readings.push_back(r);
          return false;
        },
        60000));
    EXPECT_STREQ(side.engine.GetMessage(), "");
    // The first start plays one endpoint buffer of silence before the file.
    const std::vector<uint8_t> all = out.Loopback();
    size_t lead = 0;
    while (lead < all.size() && all[lead] == 0) ++lead;
    const size_t leadFrames = lead / 4;
    const uint64_t buffer = d->BufferFramesOf(false);
    ASSERT_GT(readings.size(), 50u);
    ASSERT_GT(buffer, 0u);
    uint64_t highest = 0, previous = 0;
    const char* mode = eventMode ? "event mode" : "timer mode";
    for (size_t i = 0; i < readings.size(); ++i) {
      const Reading& r = readings[i];
      const uint64_t before = r.playedBefore > leadFrames ? r.playedBefore - leadFrames : 0;
      const uint64_t after = r.playedAfter > leadFrames ? r.playedAfter - leadFrames : 0;
      // Once the file has been played the drain ends the stream's count;
      // the engine then no longer asks the device for a position.
      if (after >= fileFrames) break;
      EXPECT_GE(r.position, before) << mode << ", reading " << i;
      // Moved ahead of the device by at most the endpoint buffer, plus 100 ms
      // of interpolation while a transfer is late on a loaded machine.
      EXPECT_LE(r.position, after + 2 * buffer + 4800) << mode << ", reading " << i;
      // A late transfer lets the interpolation run ahead; the next one moves
      // only what the endpoint has room for, so a reading may fall back by
      // as much as it could run ahead.
      if (i > 0) {
        EXPECT_GE(r.position + 2 * buffer + 4800, previous) << mode << ", reading " << i;
      }
      previous = r.position;
      highest = std::max(highest, r.position);
    }
    // The last readings before the end are within a buffer of the end.
    EXPECT_GE(highest + 2 * buffer, fileFrames) << mode;
  }
}

class WasapiRecord : public WasapiDouble, public ::testing::WithParamInterface<bool> {};

TEST_P(WasapiRecord, RecordingIsWrittenByteForByte) {
  const bool eventMode = GetParam();
  // 24-bit capture into a 24-bit file, and into a float file from a 24-bit endpoint.
  std::vector<uint8_t> source(48000 * 2 * 3 * 2);
  uint32_t x = 777;
  for (auto& b : source) b = static_cast<uint8_t>((x = x * 1664525u + 1013904223u) >> 24);
  mic.source = source;
  mic.accepted = {{24, false}};
  for (const bool asFloat : {false, true}) {
    const WaveFormat f = asFloat ? Format(3, 2, 48000, 32) : Format(1, 2, 48000, 24);
    const fs::path file = dir / (asFloat ? "rec_float.wav" : "rec24.wav");
    mic.sourceRead = 0;
    {
      Side side(Driver(), Settings(eventMode, eventMode ? 20 : 100));
      ASSERT_EQ(side.engine.OpenRec(file.string().c_str(), f, ProbeOn(0)), EngineResult::Ok)
          << side.engine.GetMessage();
      ASSERT_EQ(side.engine.StartRec(0), EngineResult::Ok) << side.engine.GetMessage();
      // About a second of the source, then stop.
      ASSERT_TRUE(side.host.PumpUntil(
          [&] {
            std::lock_guard<std::mutex> l(mic.m);
            return mic.sourceRead >= source.size() / 2;
          },
          60000));
      side.engine.Stop();
      EXPECT_STREQ(side.engine.GetMessage(), "");
    }
    const std::vector<uint8_t> data = WaveData(file);
    std::vector<uint8_t> expected;
    if (!asFloat) {
      expected = source;
    } else {
      for (size_t i = 0; i + 3 <= source.size(); i += 3) {
        const int32_t s24 =
            ((source[i] | (source[i + 1] << 8) | (source[i + 2] << 16)) ^ 0x800000) - 0x800000;
        const float v = static_cast<float>(s24) / 8388608.0f;
        const auto* p = reinterpret_cast<const uint8_t*>(&v);
        expected.insert(expected.end(), p, p + 4);
      }
    }
    const size_t wanted = (asFloat ? 8u : 6u) * 48000 / 2;
    ASSERT_GE(data.size(), wanted) << "recorded too little";
    ASSERT_LE(data.size(), expected.size());
    EXPECT_TRUE(std::equal(data.begin(), data.end(), expected.begin()))
        << (asFloat ? "float" : "24-bit") << " recording differs from what the endpoint delivered";
  }
}

INSTANTIATE_TEST_SUITE_P(EventAndTimerMode, WasapiRecord, ::testing::Bool());

}  // namespace
}  // namespace ov
