// The engine on real waveform-audio devices under the test environment's
// loopback: what is played to "Null Output" is recorded from "Monitor of Null
// Output". Assertions are on content and order, never on speed.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "app/engine/ConsoleEngineHost.h"
#include "app/engine/WavePlayRec.h"
#include "app/wavefile/WaveFileParse.h"

namespace ov {
namespace {

namespace fs = std::filesystem;
constexpr double kPi = 3.14159265358979323846;

class QuietNotifier : public UserNotifier {
 public:
  NoticeAnswer Notify(std::string_view t, NoticeIcon) override {
    texts.emplace_back(t);
    return NoticeAnswer::Ok;
  }
  std::vector<std::string> texts;
};

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

void Put32(std::string& s, uint32_t v) {
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
}

void WriteWave(const fs::path& p, const WaveFormat& f, const std::vector<int16_t>& samples) {
  const uint32_t bytes = static_cast<uint32_t>(samples.size() * 2);
  std::string s = "RIFF";
  Put32(s, 36 + bytes);
  s += "WAVEfmt ";
  Put32(s, 16);
  s.append(reinterpret_cast<const char*>(&f), 16);
  s += "data";
  Put32(s, bytes);
  s.append(reinterpret_cast<const char*>(samples.data()), bytes);
  std::ofstream(p, std::ios::binary) << s;
}

// A stereo sine of `amplitude` (full scale 1) starting at phase `phase0`.
std::vector<int16_t> Sine(uint32_t rate, double freq, double amplitude, size_t frames,
                          size_t phase0 = 0) {
  std::vector<int16_t> v(frames * 2);
  for (size_t i = 0; i < frames; ++i) {
    const double x = amplitude * 32767 * std::sin(2 * kPi * freq * double(i + phase0) / rate);
    v[2 * i] = v[2 * i + 1] = static_cast<int16_t>(std::lround(x));
  }
  return v;
}

// The left channel of a 16-bit stereo file.
std::vector<double> LeftChannel(const std::string& name, WaveFileInfo* infoOut = nullptr) {
  WaveFormat f{};
  WaveFileInfo info;
  ReaderMessage m;
  if (!ParseWaveFile(name.c_str(), &f, &info, &m, ParseOptions{}) || !info.valid) return {};
  if (infoOut) *infoOut = info;
  std::ifstream in(name, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(info.dataOffset));
  std::vector<int16_t> raw(info.dataSize / 2);
  in.read(reinterpret_cast<char*>(raw.data()), static_cast<std::streamsize>(raw.size() * 2));
  std::vector<double> left(raw.size() / 2);
  for (size_t i = 0; i < left.size(); ++i) left[i] = raw[2 * i];
  return left;
}

struct ToneRegion {
  size_t begin = 0, end = 0;  // samples where the level is above the threshold
};
// The first and last 10 ms block above a quarter of `amplitude`, and the
// longest run of quiet blocks between them (a dropout), in samples.
ToneRegion FindTone(const std::vector<double>& x, double amplitude, size_t* longestGap) {
  const size_t blk = 441;
  ToneRegion r;
  bool found = false;
  size_t run = 0;
  *longestGap = 0;
  std::vector<bool> loud;
  for (size_t i = 0; i + blk <= x.size(); i += blk) {
    double s = 0;
    for (size_t k = i; k < i + blk; ++k) s += x[k] * x[k];
    loud.push_back(std::sqrt(s / blk) > amplitude * 32767 / std::sqrt(2.0) / 4);
  }
  for (size_t b = 0; b < loud.size(); ++b) {
    if (!loud[b]) continue;
    if (!found) r.begin = b * blk;
    found = true;
    r.end = (b + 1) * blk;
  }
  for (size_t b = r.begin / blk; found && b < r.end / blk; ++b) {
    run = loud[b] ? 0 : run + 1;
    if (run * blk > *longestGap) *longestGap = run * blk;
  }
  return r;
}

// Frequency from the interpolated zero crossings of x[a, b).
double ZeroCrossingFrequency(const std::vector<double>& x, size_t a, size_t b, uint32_t rate) {
  double first = -1, last = -1;
  int count = 0;
  for (size_t i = a + 1; i < b; ++i) {
    if (x[i - 1] < 0 && x[i] >= 0) {
      const double t = double(i - 1) + (-x[i - 1]) / (x[i] - x[i - 1]);
      if (first < 0) first = t;
      last = t;
      ++count;
    }
  }
  return count > 1 ? (count - 1) * rate / (last - first) : 0;
}

// The median of the frequencies of 100 ms windows: a glitch of the test
// environment's sound server in one window does not move it.
double MedianFrequency(const std::vector<double>& x, size_t a, size_t b, uint32_t rate) {
  std::vector<double> f;
  for (size_t w = a; w + rate / 10 <= b; w += rate / 10) {
    f.push_back(ZeroCrossingFrequency(x, w, w + rate / 10, rate));
  }
  if (f.empty()) return 0;
  std::nth_element(f.begin(), f.begin() + f.size() / 2, f.end());
  return f[f.size() / 2];
}

double RmsDb(const std::vector<double>& x, size_t a, size_t b) {
  double s = 0;
  for (size_t i = a; i < b; ++i) s += x[i] * x[i];
  return 20 * std::log10(std::sqrt(s / double(b - a)) / 32768);
}

// Largest deviation from the sine recursion x[n] = 2cos(w)x[n-1] - x[n-2]:
// a few LSB for a clean sine, thousands at a gap or a phase jump.
double LargestSineResidual(const std::vector<double>& x, size_t a, size_t b, double freq,
                           uint32_t rate) {
  const double c = 2 * std::cos(2 * kPi * freq / rate);
  double worst = 0;
  for (size_t i = a + 2; i < b; ++i)
    worst = std::max(worst, std::abs(x[i] - c * x[i - 1] + x[i - 2]));
  return worst;
}

class EngineMme : public ::testing::Test {
 protected:
  void SetUp() override {
    dir =
        fs::temp_directory_path() /
        ("ov_mme_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::create_directories(dir);
    player = std::make_unique<Side>();
    recorder = std::make_unique<Side>();
    out = FindDevice(player->engine, "Null Output", false);
    in = FindDevice(recorder->engine, "Monitor of Null Output", true);
    if (out < 0 || in < 0) GTEST_SKIP() << "no loopback devices (Null Output / its monitor)";
  }
  void TearDown() override {
    player.reset();
    recorder.reset();
    std::error_code ec;
    if (!std::getenv("OV_KEEP_TEST_FILES")) fs::remove_all(dir, ec);
  }
  static int32_t FindDevice(WavePlayRec& e, const std::string& name, bool input) {
    const AudioDirection d = input ? AudioDirection::Input : AudioDirection::Output;
    for (uint32_t i = 1; i <= e.GetDeviceCount(d); ++i) {
      if (e.GetDeviceName(i, d) == name) return static_cast<int32_t>(i);
    }
    return -1;
  }

  struct Side {
    explicit Side(EngineCallbacks cb = {}, EngineSettings s = {})
        : engine(host, notifier, playState, recState, std::move(cb), s) {}
    ConsoleEngineHost host;
    QuietNotifier notifier;
    std::atomic<int32_t> playState{0}, recState{0};
    WavePlayRec engine;
  };

  // Pumps both sides' messages (they share the main thread).
  template <class F>
  bool Until(F done, uint32_t ms = 30000) {
    return player->host.PumpUntil(done, ms);
  }
  void Idle(uint32_t ms) {
    const uint32_t start = TickMs();
    Until([&] { return TickMs() - start >= ms; }, ms + 1000);
  }
  bool StartRecording(const std::string& name, const WaveFormat& f) {
    RecOpenOptions options;
    options.probe = true;
    options.probeDeviceNumber = in;
    if (recorder->engine.OpenRec(name.c_str(), f, options) != EngineResult::Ok) return false;
    if (recorder->engine.StartRec(in) != EngineResult::Ok) return false;
    if (!Until([&] { return recorder->recState.load() == kRecRecording; })) return false;
    // A new capture stream runs at an unsteady clock for a moment under the
    // test environment's sound server; the tone starts once it has settled.
    Idle(1000);
    return true;
  }
  bool PlayToEnd(const std::string& file, const PlayItem* item = nullptr) {
    if (player->engine.OpenPlay(file.c_str(), item) != EngineResult::Ok) return false;
    const size_t ends = player->host.CountOf(WM_PLAY_END);
    if (player->engine.StartPlay(out) != EngineResult::Ok) return false;
    return Until([&] { return player->host.CountOf(WM_PLAY_END) > ends; }, 60000);
  }

  fs::path dir;
  std::unique_ptr<Side> player, recorder;
  int32_t out = -1, in = -1;
};

TEST_F(EngineMme, PlayedToneIsRecordedBackAtItsFrequencyAndLevel) {
  const WaveFormat f = Pcm16(44100, 2);
  const std::string tone = (dir / "tone.wav").string(), rec = (dir / "REC.WAV").string();
  WriteWave(tone, f, Sine(44100, 1000, 0.5, 44100 * 3));
  ASSERT_TRUE(StartRecording(rec, f)) << recorder->engine.GetMessage();

  // Measure the process's CPU time over the play run (reported, not asserted).
  FILETIME c0, e0, k0, u0, c1, e1, k1, u1;
  GetProcessTimes(GetCurrentProcess(), &c0, &e0, &k0, &u0);
  const uint32_t t0 = TickMs();
  ASSERT_TRUE(PlayToEnd(tone)) << player->engine.GetMessage();
  GetProcessTimes(GetCurrentProcess(), &c1, &e1, &k1, &u1);
  const uint32_t wall = TickMs() - t0;
  auto ticks = [](const FILETIME& a) {
    return (uint64_t(a.dwHighDateTime) << 32) | a.dwLowDateTime;
  };
  const double cpuMs = double(ticks(k1) - ticks(k0) + ticks(u1) - ticks(u0)) / 1e4;
  const double pump = player->engine.PlayPumpCpuMs();
  std::printf(
      "[ CPU      ] playing 44.1 kHz stereo: play pump %.1f ms CPU in %u ms = %.2f%% of one core;"
      " whole process (recording, test loop, sound server client) %.2f%%\n",
      pump, wall, 100.0 * pump / wall, 100.0 * cpuMs / wall);
  RecordProperty("play_pump_cpu_percent", std::to_string(100.0 * pump / wall));

  Idle(600);
  recorder->engine.Stop();
  EXPECT_TRUE(recorder->host.Failures().empty());
  EXPECT_TRUE(player->host.Failures().empty());

  const auto x = LeftChannel(rec);
  ASSERT_GT(x.size(), 44100u * 3);
  size_t gap = 0;
  const ToneRegion r = FindTone(x, 0.5, &gap);
  ASSERT_GT(r.end, r.begin);
  EXPECT_NEAR(double(r.end - r.begin), 44100.0 * 3, 44100 * 0.05);
  // No dropout as long as one buffer (half a second with the default plan).
  EXPECT_LT(gap, 22050u);
  const size_t a = r.begin + 4410, b = r.end - 4410;
  EXPECT_NEAR(MedianFrequency(x, a, b, 44100), 1000.0, 0.5);
  EXPECT_NEAR(RmsDb(x, a, b), 20 * std::log10(0.5 / std::sqrt(2.0)), 0.5);
}

TEST_F(EngineMme, TwoItemsOfEqualFormatPlayWithoutAGap) {
  const WaveFormat f = Pcm16(44100, 2);
  // One sine cut at a non-zero sample into two files.
  const size_t cut = 44100 + 1234;
  const auto whole = Sine(44100, 440, 0.5, 44100 * 3);
  const std::vector<int16_t> first(whole.begin(), whole.begin() + 2 * cut);
  const std::vector<int16_t> second(whole.begin() + 2 * cut, whole.end());
  std::vector<PlayItem> items(2);
  const std::string names[2] = {(dir / "one.wav").string(), (dir / "two.wav").string()};
  WriteWave(names[0], f, first);
  WriteWave(names[1], f, second);
  for (int i = 0; i < 2; ++i) {
    std::snprintf(items[i].fileName, sizeof items[i].fileName, "%s", names[i].c_str());
    items[i].format = f;
    items[i].dataSize = (i ? second.size() : first.size()) * 2;
  }
  int current = -1;
  EngineCallbacks cb;
  cb.OnPlayListCursor = [&](bool peek) -> const PlayItem* {
    if (peek) return current + 1 < 2 ? &items[current + 1] : nullptr;
    if (current + 1 < 2) ++current;
    return nullptr;
  };
  player = std::make_unique<Side>(std::move(cb));
  const std::string rec = (dir / "GAPLESS.WAV").string();
  ASSERT_TRUE(StartRecording(rec, f)) << recorder->engine.GetMessage();
  ASSERT_TRUE(PlayToEnd(names[0], &items[0])) << player->engine.GetMessage();
  EXPECT_EQ(current, 1);                               // the caption followed into the second item
  EXPECT_EQ(player->host.CountOf(WM_PLAY_BEGIN), 1u);  // one run, no reopen
  Idle(600);
  recorder->engine.Stop();

  const auto x = LeftChannel(rec);
  size_t gap = 0;
  const ToneRegion r = FindTone(x, 0.5, &gap);
  ASSERT_GT(r.end, r.begin + 44100u);
  EXPECT_NEAR(double(r.end - r.begin), 44100.0 * 3, 44100 * 0.05);
  // Around the join of the two items the sine goes on without a gap or a
  // phase jump (the tone region starts within one 10 ms block of the first sample).
  const size_t join = r.begin + cut;
  EXPECT_LT(LargestSineResidual(x, join - 2205, join + 2205, 440, 44100), 64);
}

TEST_F(EngineMme, ItemsOfAnotherFormatReopenTheDevice) {
  const WaveFormat f = Pcm16(44100, 2), g = Pcm16(48000, 2);
  std::vector<PlayItem> items(2);
  const std::string names[2] = {(dir / "a44.wav").string(), (dir / "b48.wav").string()};
  WriteWave(names[0], f, Sine(44100, 1000, 0.5, 44100));
  WriteWave(names[1], g, Sine(48000, 2000, 0.5, 48000));
  for (int i = 0; i < 2; ++i) {
    std::snprintf(items[i].fileName, sizeof items[i].fileName, "%s", names[i].c_str());
    items[i].format = i ? g : f;
    items[i].dataSize = i ? 48000 * 4 : 44100 * 4;
  }
  int current = -1;
  EngineCallbacks cb;
  cb.OnPlayListCursor = [&](bool peek) -> const PlayItem* {
    if (peek) return current + 1 < 2 ? &items[current + 1] : nullptr;
    if (current + 1 < 2) ++current;
    return nullptr;
  };
  player = std::make_unique<Side>(std::move(cb));
  const std::string rec = (dir / "TWO.WAV").string();
  ASSERT_TRUE(StartRecording(rec, f)) << recorder->engine.GetMessage();
  ASSERT_TRUE(PlayToEnd(names[0], &items[0])) << player->engine.GetMessage();
  EXPECT_EQ(current, 1);
  EXPECT_EQ(player->engine.GetFormat(nullptr).samplesPerSec, 48000u);
  EXPECT_EQ(player->host.Label(EngineLabel::Format), "48000Hz 16bit 2ch");
  EXPECT_TRUE(player->host.Failures().empty());
  Idle(600);
  recorder->engine.Stop();
  // Both items reached the device: the 1 kHz tone, then the 2 kHz tone.
  const auto x = LeftChannel(rec);
  size_t gap = 0;
  const ToneRegion r = FindTone(x, 0.5, &gap);
  ASSERT_GT(r.end, r.begin + 44100u);
  EXPECT_NEAR(MedianFrequency(x, r.begin + 4410, r.begin + 44100 - 4410, 44100), 1000.0, 1.0);
  EXPECT_NEAR(MedianFrequency(x, r.end - 44100 + 4410, r.end - 4410, 44100), 2000.0, 2.0);
}

TEST_F(EngineMme, PauseSeekAndResumeOnTheDevice) {
  const WaveFormat f = Pcm16(44100, 2);
  const std::string file = (dir / "long.wav").string();
  std::vector<int16_t> samples(44100 * 2 * 6);
  for (size_t i = 0; i < samples.size(); ++i)
    samples[i] = static_cast<int16_t>((i * 2654435761u) >> 16);
  WriteWave(file, f, samples);
  WavePlayRec& e = player->engine;
  ASSERT_EQ(e.OpenPlay(file.c_str()), EngineResult::Ok);
  ASSERT_EQ(e.StartPlay(out), EngineResult::Ok);
  ASSERT_TRUE(Until([&] { return player->playState.load() == kPlayPlaying; }));
  Idle(700);
  const uint64_t before = e.GetPosition();
  EXPECT_GT(before, 0u);

  // Paused: the position holds and the display gets silence.
  const uint64_t paused = e.TogglePause();
  EXPECT_EQ(player->playState.load(), kPlayPaused);
  EXPECT_EQ(e.GetPausedPosition(), paused);
  EXPECT_GE(paused + 44100, before);
  Idle(300);
  EXPECT_EQ(e.GetPausedPosition(), paused);
  std::vector<uint8_t> block(4096 * 4);
  e.CopyNewestPlayBlock(block.data(), block.size(), false);
  EXPECT_EQ(block, std::vector<uint8_t>(block.size(), 0));

  // A seek while paused re-reads the ring: the block is the file at the new position.
  EXPECT_EQ(e.SeekToSample(3 * 44100), 3u * 44100);
  EXPECT_EQ(e.GetPausedPosition(), 3u * 44100);
  e.CopyNewestPlayBlock(block.data(), block.size(), false);
  const uint8_t* at = reinterpret_cast<const uint8_t*>(samples.data()) + 3 * 44100 * 4;
  EXPECT_EQ(block, std::vector<uint8_t>(at, at + block.size()));

  // Resume: playing continues from the seek position.
  e.TogglePause();
  EXPECT_EQ(player->playState.load(), kPlayPlaying);
  Idle(400);
  EXPECT_GE(e.GetPosition(), 3u * 44100);
  EXPECT_LT(e.GetPosition(), 3u * 44100 + 2 * 44100);

  // A seek while playing re-primes from the new position.
  EXPECT_EQ(e.SeekToSample(44100), 44100u);
  ASSERT_TRUE(Until([&] { return e.GetPosition() >= 44100 && e.GetPosition() < 3 * 44100; }));
  const size_t ends = player->host.CountOf(WM_PLAY_END);
  ASSERT_TRUE(Until([&] { return player->host.CountOf(WM_PLAY_END) > ends; }, 30000));
  EXPECT_EQ(player->playState.load(), kPlayStopped);
  EXPECT_TRUE(player->host.Failures().empty());
}

TEST_F(EngineMme, StopWhilePrimingShortFileAndStopWithNothingRunning) {
  WavePlayRec& e = player->engine;
  e.Stop();  // nothing running
  EXPECT_EQ(player->playState.load(), kPlayStopped);
  const WaveFormat f = Pcm16(44100, 2);
  const std::string shortFile = (dir / "short.wav").string();
  WriteWave(shortFile, f, Sine(44100, 1000, 0.5, 4410));  // 0.1 s: less than one buffer
  ASSERT_TRUE(PlayToEnd(shortFile)) << e.GetMessage();
  EXPECT_TRUE(player->host.Failures().empty());
  const std::string longFile = (dir / "long.wav").string();
  WriteWave(longFile, f, Sine(44100, 1000, 0.5, 44100 * 5));
  ASSERT_EQ(e.OpenPlay(longFile.c_str()), EngineResult::Ok);
  ASSERT_EQ(e.StartPlay(out), EngineResult::Ok);
  e.Stop();
  EXPECT_EQ(player->playState.load(), kPlayStopped);
  EXPECT_EQ(e.ActiveMask(), 0u);
  EXPECT_TRUE(player->host.Failures().empty());
}

TEST_F(EngineMme, RecordsRf64ReadyBwfAndDividesOnRequest) {
  EngineSettings s;
  s.Rec_RF64 = false;
  s.Rec_BWF = true;
  s.RecUpdateHeaderPeriod = 1;
  recorder = std::make_unique<Side>(EngineCallbacks{}, s);
  const WaveFormat f = Pcm16(44100, 2);
  const std::string rec = (dir / "DIV.WAV").string();
  ASSERT_TRUE(StartRecording(rec, f)) << recorder->engine.GetMessage();
  Idle(1500);
  recorder->engine.RequestDivide();
  ASSERT_TRUE(Until([&] { return fs::exists(dir / "DIV_01.WAV"); }));
  Idle(1500);
  recorder->engine.Stop();
  EXPECT_TRUE(recorder->host.Failures().empty());
  for (const char* n : {"DIV.WAV", "DIV_01.WAV"}) {
    WaveFileInfo info;
    const auto x = LeftChannel((dir / n).string(), &info);
    EXPECT_FALSE(x.empty()) << n;
    EXPECT_TRUE(info.bext) << n;
    EXPECT_FALSE(info.rf64) << n;
  }
  // The finished recording became the engine's open file.
  EXPECT_EQ(recorder->engine.GetPlayFileName(), (dir / "DIV_01.WAV").string());

  s.Rec_RF64 = true;
  s.Rec_BWF = false;
  recorder = std::make_unique<Side>(EngineCallbacks{}, s);
  const std::string rf = (dir / "RF.WAV").string();
  ASSERT_TRUE(StartRecording(rf, f)) << recorder->engine.GetMessage();
  Idle(1000);
  recorder->engine.Stop();
  WaveFileInfo info;
  ASSERT_FALSE(LeftChannel(rf, &info).empty());
  EXPECT_EQ(info.dataOffset, 80u);  // the JUNK chunk keeps room for ds64
  EXPECT_EQ(recorder->host.Label(EngineLabel::Format), "44100Hz 16bit 2ch");
}

// The monitor plays what is recorded to the output of the same number, here
// "Null Output", whose monitor is the recording's own input: a tone burst
// played once comes back into the recording again, after the burst has ended,
// at its frequency and level. Without the monitor that stretch stays silent.
TEST_F(EngineMme, RecordMonitorPlaysWhileRecording) {
  if (FindDevice(recorder->engine, "Null Output", false) != in)
    GTEST_SKIP() << "the monitor's output (same number as the input) is not Null Output";
  const WaveFormat f = Pcm16(44100, 2);
  const std::string burst = (dir / "burst.wav").string(), rec = (dir / "MON.WAV").string();
  WriteWave(burst, f, Sine(44100, 1000, 0.5, 44100 * 3 / 10));  // 0.3 s
  WavePlayRec& e = recorder->engine;
  RecOpenOptions monitor;
  monitor.monitor = true;
  monitor.monitorWithFile = true;
  ASSERT_EQ(e.OpenRec(rec.c_str(), f, monitor), EngineResult::Ok) << e.GetMessage();
  ASSERT_EQ(e.StartRec(in), EngineResult::Ok) << e.GetMessage();
  ASSERT_TRUE(Until([&] { return recorder->recState.load() == kRecRecording; }));
  Idle(1000);  // the capture stream settles
  ASSERT_TRUE(PlayToEnd(burst)) << player->engine.GetMessage();
  Idle(2500);  // two record buffers (0.5 s each) and the output's latency, with room
  std::vector<uint8_t> block(4096 * 4);
  e.CopyNewestRecBlock(block.data(), block.size());
  e.Stop();
  EXPECT_EQ(recorder->recState.load(), kRecStopped);
  EXPECT_TRUE(recorder->host.Failures().empty());
  EXPECT_EQ(recorder->host.CountOf(WM_REC_BEGIN), 1u);
  EXPECT_EQ(recorder->host.CountOf(WM_REC_END), 1u);

  const auto x = LeftChannel(rec);
  ASSERT_GT(x.size(), 44100u * 3);
  // The burst as played: the first loud stretch.
  const size_t blk = 441;
  const double threshold = 0.5 * 32767 / std::sqrt(2.0) / 4;
  size_t first = x.size();
  for (size_t i = 0; i + blk <= x.size(); i += blk) {
    double s = 0;
    for (size_t k = i; k < i + blk; ++k) s += x[k] * x[k];
    if (std::sqrt(s / blk) > threshold) {
      first = i;
      break;
    }
  }
  ASSERT_LT(first, x.size()) << "the burst was not recorded at all";
  // Past its end (0.3 s) and a block of margin, only the monitor can make sound.
  const size_t after = first + 44100 * 3 / 10 + 2 * blk;
  size_t echo = x.size();
  for (size_t i = after; i + blk <= x.size(); i += blk) {
    double s = 0;
    for (size_t k = i; k < i + blk; ++k) s += x[k] * x[k];
    if (std::sqrt(s / blk) > threshold) {
      echo = i;
      break;
    }
  }
  ASSERT_LT(echo, x.size()) << "nothing came back through the monitor";
  ASSERT_LE(echo + 4410 + 44100 / 5, x.size());
  // Its first 0.2 s (after a 100 ms settling margin) is the burst again.
  const size_t a = echo + 4410, b = a + 44100 / 5;
  EXPECT_NEAR(ZeroCrossingFrequency(x, a, b, 44100), 1000.0, 2.0);
  EXPECT_NEAR(RmsDb(x, a, b), 20 * std::log10(0.5 / std::sqrt(2.0)), 1.0);
  std::printf("[ MONITOR  ] burst recorded at %.3f s, back through the monitor at %.3f s\n",
              double(first) / 44100, double(echo) / 44100);
}

// Pause and resume on the real device: while paused the position stands
// still, after the resume it goes on from where it stood, and the loopback
// hears the whole file once: two stretches of tone around the pause whose
// lengths add up to the file's.
TEST_F(EngineMme, PauseAndResumeGoOnWhereThePlayStopped) {
  const WaveFormat f = Pcm16(44100, 2);
  const std::string tone = (dir / "tone3.wav").string(), rec = (dir / "PAUSE.WAV").string();
  WriteWave(tone, f, Sine(44100, 1000, 0.5, 44100 * 3));
  ASSERT_TRUE(StartRecording(rec, f)) << recorder->engine.GetMessage();
  WavePlayRec& e = player->engine;
  ASSERT_EQ(e.OpenPlay(tone.c_str()), EngineResult::Ok);
  ASSERT_EQ(e.StartPlay(out), EngineResult::Ok) << e.GetMessage();
  ASSERT_TRUE(Until([&] { return e.GetPosition() >= 44100; }));
  const uint64_t paused = e.TogglePause();
  ASSERT_EQ(player->playState.load(), kPlayPaused);
  EXPECT_GE(paused, 44100u - 4410);
  EXPECT_LE(paused, 44100u * 2);
  const uint64_t shownAtPause = e.GetPosition();
  Idle(800);
  EXPECT_EQ(e.GetPosition(), shownAtPause) << "the position moved while paused";
  EXPECT_EQ(e.GetPlaySamplePosition(), 0u);
  EXPECT_EQ(e.GetPausedPosition(), paused);
  e.TogglePause();
  ASSERT_EQ(player->playState.load(), kPlayPlaying);
  // The first positions after the resume continue from the paused one.
  uint64_t firstAfter = 0;
  ASSERT_TRUE(Until([&] {
    firstAfter = e.GetPosition();
    return firstAfter != shownAtPause;
  }));
  EXPECT_GE(firstAfter + 4410, paused) << "the position went back at the resume";
  // Positions follow each filled buffer (half a second with the default plan).
  EXPECT_LT(firstAfter, paused + 44100) << "the position jumped at the resume";
  const size_t ends = player->host.CountOf(WM_PLAY_END);
  ASSERT_TRUE(Until([&] { return player->host.CountOf(WM_PLAY_END) > ends; }, 60000));
  Idle(600);
  recorder->engine.Stop();
  EXPECT_TRUE(player->host.Failures().empty());

  const auto x = LeftChannel(rec);
  size_t gap = 0;
  const ToneRegion r = FindTone(x, 0.5, &gap);
  ASSERT_GT(r.end, r.begin);
  // One pause: the longest quiet run inside the tone is the pause itself.
  EXPECT_GT(gap, 44100u * 6 / 10) << "the pause was not heard";
  EXPECT_LT(gap, 44100u * 2) << "the pause lasted far longer than it was held";
  // Every sample of the file once: tone time = the file's 3 s.
  EXPECT_NEAR(double(r.end - r.begin - gap), 44100.0 * 3, 44100 * 0.05);
}

// Runs of 10 ms blocks louder than a quarter of `amplitude`, in samples.
std::vector<ToneRegion> LoudRuns(const std::vector<double>& x, double amplitude) {
  const size_t blk = 441;
  std::vector<ToneRegion> runs;
  bool inRun = false;
  for (size_t i = 0; i + blk <= x.size(); i += blk) {
    double s = 0;
    for (size_t k = i; k < i + blk; ++k) s += x[k] * x[k];
    const bool loud = std::sqrt(s / blk) > amplitude * 32767 / std::sqrt(2.0) / 4;
    if (loud && !inRun) runs.push_back({i, i + blk});
    if (loud) runs.back().end = i + blk;
    inRun = loud;
  }
  return runs;
}

// Frame play on the real output while play is paused: one pass is heard once
// for the frame's length; a looping frame plays on seamlessly until Stop,
// which ends it (nothing is heard afterwards).
TEST_F(EngineMme, FramePlayIsHeardOnceOrLoopsUntilStop) {
  const WaveFormat f = Pcm16(44100, 2);
  const std::string file = (dir / "quiet.wav").string(), rec = (dir / "FRAME.WAV").string();
  WriteWave(file, f, std::vector<int16_t>(44100 * 2 * 2, 0));  // 2 s of silence
  // 100 ms of 2 kHz: exactly 200 periods, so passes join without a seam.
  const std::vector<int16_t> frame = Sine(44100, 2000, 0.5, 4410);
  ASSERT_TRUE(StartRecording(rec, f)) << recorder->engine.GetMessage();
  WavePlayRec& e = player->engine;
  ASSERT_EQ(e.OpenPlay(file.c_str()), EngineResult::Ok);
  ASSERT_EQ(e.StartPlay(out, PlayMode::Analyze), EngineResult::Ok) << e.GetMessage();
  ASSERT_TRUE(Until([&] { return player->playState.load() == kPlayPaused; }));
  const auto* data = reinterpret_cast<const uint8_t*>(frame.data());
  const uint32_t bytes = static_cast<uint32_t>(frame.size() * 2);
  ASSERT_EQ(e.StartFramePlay(out, data, bytes, FrameRepeat::Once), EngineResult::Ok)
      << e.GetMessage();
  ASSERT_TRUE(Until([&] { return player->host.CountOf(WM_FRAME_PLAY_END) == 1; }, 10000));
  EXPECT_FALSE(e.FrameBusy());
  Idle(700);
  ASSERT_EQ(e.StartFramePlay(out, data, bytes, FrameRepeat::Loop), EngineResult::Ok)
      << e.GetMessage();
  Idle(1500);
  EXPECT_TRUE(e.FrameBusy());
  e.Stop();
  EXPECT_FALSE(e.FrameBusy()) << "Stop left the frame playing";
  EXPECT_EQ(player->playState.load(), kPlayStopped);
  ASSERT_TRUE(Until([&] { return player->host.CountOf(WM_FRAME_PLAY_END) == 2; }, 10000));
  Idle(1000);
  recorder->engine.Stop();
  EXPECT_TRUE(player->host.Failures().empty());

  const auto x = LeftChannel(rec);
  const std::vector<ToneRegion> runs = LoudRuns(x, 0.5);
  for (const ToneRegion& t : runs) {
    std::printf("[ FRAME    ] tone from %.3f s to %.3f s\n", t.begin / 44100.0, t.end / 44100.0);
  }
  ASSERT_GE(runs.size(), 2u) << "expected one pass, then a looping stretch";
  const double once = double(runs[0].end - runs[0].begin) / 44.1;
  EXPECT_NEAR(once, 100, 25) << "ms heard of the single pass";
  // The looping frame: one header written again after each completion, so
  // passes may be parted by the output's turnaround (seen: one 20 ms gap
  // after the first pass), never by a missing pass (100 ms).
  for (size_t i = 2; i < runs.size(); ++i) {
    EXPECT_LT(runs[i].begin - runs[i - 1].end, 44100u / 20) << "gap before stretch " << i;
  }
  const ToneRegion& last = runs.back();
  const double looped = double(last.end - runs[1].begin) / 44.1;
  EXPECT_GT(looped, 1000) << "ms heard of the looping frame";
  const ToneRegion longest = *std::max_element(
      runs.begin() + 1, runs.end(),
      [](const ToneRegion& a, const ToneRegion& b) { return a.end - a.begin < b.end - b.begin; });
  ASSERT_GT(longest.end - longest.begin, 44100u / 5);
  EXPECT_NEAR(ZeroCrossingFrequency(x, longest.begin + 2205, longest.end - 2205, 44100), 2000.0,
              1.0);
  // After the stop the output is quiet to the end of the recording.
  EXPECT_GT(x.size() - last.end, 44100u * 8 / 10);
  std::printf("[ FRAME    ] single pass heard %.1f ms, looping frame %.1f ms\n", once, looped);
}

TEST_F(EngineMme, FailureTexts) {
  WavePlayRec& e = player->engine;
  EXPECT_EQ(e.OpenPlay((dir / "missing.wav").string().c_str()), EngineResult::Failed);
  EXPECT_STREQ(e.GetMessage(), "file not found");
  EXPECT_EQ(e.GetDeviceName(0, AudioDirection::Output), "Wave Mapper");
  // A family that cannot be used leaves MME in place (type 7 names no family;
  // the ASIO tests may have registered their driver in this prefix).
  EXPECT_EQ(e.SetDriverType(7), DriverChange::Unusable);
  EXPECT_EQ(e.GetDriverType(), kDriverMme);
  // A format the device refuses: the probe at opening reports it.
  WaveFormat odd = Pcm16(44100, 2);
  odd.samplesPerSec = 768000;
  odd.bitsPerSample = 24;
  odd.channels = 32;
  odd.blockAlign = 96;
  odd.avgBytesPerSec = 768000 * 96;
  WavePlayRec& r = recorder->engine;
  RecOpenOptions probe;
  probe.probe = true;
  probe.probeDeviceNumber = in;
  EXPECT_EQ(r.OpenRec(nullptr, odd, probe), EngineResult::Failed);
  EXPECT_STREQ(r.GetMessage(), "Unsupported format:  768000Hz 24bit 32ch");
}

}  // namespace
}  // namespace ov
