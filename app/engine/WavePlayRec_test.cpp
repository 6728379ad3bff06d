// The engine's pumps against a simulated device: content and order of what is
// played and recorded, never timing.
#include "app/engine/WavePlayRec.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/engine/EngineTestSupport.h"
#include "app/wavefile/MarkerList.h"
#include "app/wavefile/WaveFileParse.h"

namespace ov {
namespace {

namespace fs = std::filesystem;
using test::FakeDriver;
using test::TestHost;
using test::TestNotifier;

WaveFormat Pcm(uint32_t rate, uint16_t channels, uint16_t bits) {
  WaveFormat f{};
  f.formatTag = kWaveFormatPcm;
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

// A plain 44-byte-header wave file holding data.
void WriteWave(const fs::path& p, const WaveFormat& f, const std::vector<uint8_t>& data) {
  std::string s = "RIFF";
  Put32(s, static_cast<uint32_t>(36 + data.size()));
  s += "WAVEfmt ";
  Put32(s, 16);
  s.append(reinterpret_cast<const char*>(&f), 16);
  s += "data";
  Put32(s, static_cast<uint32_t>(data.size()));
  s.append(data.begin(), data.end());
  std::ofstream(p, std::ios::binary) << s;
}

std::vector<uint8_t> Pattern(size_t n, uint32_t seed) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>((i * 7 + seed + i / 256) & 0xFF);
  return v;
}

std::vector<uint8_t> ReadWaveData(const std::string& name, WaveFormat* f = nullptr) {
  WaveFormat format{};
  WaveFileInfo info;
  ReaderMessage m;
  ParseOptions o;
  if (!ParseWaveFile(name.c_str(), &format, &info, &m, o) || !info.valid) return {};
  std::ifstream in(name, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(info.dataOffset));
  std::vector<uint8_t> v(info.dataSize);
  in.read(reinterpret_cast<char*>(v.data()), static_cast<std::streamsize>(v.size()));
  if (f) *f = format;
  return v;
}

class EnginePumps : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("ov_engine_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir);
  }
  void TearDown() override {
    engine.reset();
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  void Make(uint32_t bufferMs = 2, EngineCallbacks cb = {}) {
    auto d = std::make_unique<FakeDriver>(bufferMs);
    driver = d.get();
    EngineSettings s;
    engine = std::make_unique<WavePlayRec>(host, notifier, playState, recState, std::move(cb), s,
                                           std::move(d));
  }
  // Waits for the end of the next play run (its WM_PLAY_END).
  bool WaitPlayStopped() {
    const size_t want = ++playRuns;
    return host.PumpUntil([&] {
      const auto p = host.PostedMessages();
      return static_cast<size_t>(std::count(p.begin(), p.end(), WM_PLAY_END)) >= want;
    }) && playState.load() == kPlayStopped;
  }
  size_t playRuns = 0;

  fs::path dir;
  TestHost host;
  TestNotifier notifier;
  std::atomic<int32_t> playState{0}, recState{0};
  FakeDriver* driver = nullptr;
  std::unique_ptr<WavePlayRec> engine;
};

TEST_F(EnginePumps, PlaysTheWholeFileInOrderAndEnds) {
  Make();
  const WaveFormat f = Pcm(8000, 1, 16);
  const auto data = Pattern(10300, 1);
  WriteWave(dir / "a.wav", f, data);
  ASSERT_EQ(engine->OpenPlay((dir / "a.wav").string().c_str()), EngineResult::Ok);
  EXPECT_EQ(host.labels[2], " 8000Hz 16bit 1ch");
  EXPECT_EQ(host.labels[1], "00m00s");
  engine->SetPlayBuffers(4, 1000, 3);
  ASSERT_EQ(engine->StartPlay(1), EngineResult::Ok);
  ASSERT_TRUE(WaitPlayStopped());
  EXPECT_EQ(driver->Played(), data);
  const auto posted = host.PostedMessages();
  const auto begin = std::find(posted.begin(), posted.end(), WM_PLAY_BEGIN);
  const auto end = std::find(posted.begin(), posted.end(), WM_PLAY_END);
  ASSERT_NE(begin, posted.end());
  ASSERT_NE(end, posted.end());
  EXPECT_LT(begin, end);
  EXPECT_TRUE(host.stopped.empty());
  EXPECT_TRUE(host.enabled[static_cast<int>(EngineButton::Play)]);
  EXPECT_EQ(engine->GetPosition(), 0u);
  // A second run of the same file reuses the ring.
  ASSERT_EQ(engine->StartPlay(1), EngineResult::Ok);
  ASSERT_TRUE(WaitPlayStopped());
  EXPECT_EQ(driver->Played().size(), 2 * data.size());
}

TEST_F(EnginePumps, FileShorterThanTheAheadBuffersStartsAndEnds) {
  Make();
  const WaveFormat f = Pcm(8000, 1, 16);
  const auto data = Pattern(1500, 2);
  WriteWave(dir / "short.wav", f, data);
  ASSERT_EQ(engine->OpenPlay((dir / "short.wav").string().c_str()), EngineResult::Ok);
  engine->SetPlayBuffers(6, 1000, 5);
  ASSERT_EQ(engine->StartPlay(0), EngineResult::Ok);
  ASSERT_TRUE(WaitPlayStopped());
  EXPECT_EQ(driver->Played(), data);
  EXPECT_EQ(driver->openedIds.front(), -1);  // device number 0 is the mapper
}

TEST_F(EnginePumps, FileWithoutDataDoesNotStart) {
  Make();
  WriteWave(dir / "empty.wav", Pcm(8000, 1, 16), {});
  ASSERT_EQ(engine->OpenPlay((dir / "empty.wav").string().c_str()), EngineResult::Ok);
  EXPECT_EQ(engine->StartPlay(1), EngineResult::NoData);
  EXPECT_STREQ(engine->GetMessage(), "");
  EXPECT_EQ(engine->OpenPlay((dir / "missing.wav").string().c_str()), EngineResult::Failed);
  EXPECT_STREQ(engine->GetMessage(), "file not found");
}

TEST_F(EnginePumps, PlayListContinuesGaplessAndReopensForAnotherFormat) {
  const WaveFormat f = Pcm(8000, 1, 16);
  const WaveFormat g = Pcm(16000, 1, 16);
  const auto a = Pattern(4100, 3), b = Pattern(3300, 4), c = Pattern(2000, 5);
  WriteWave(dir / "a.wav", f, a);
  WriteWave(dir / "b.wav", f, b);
  WriteWave(dir / "c.wav", g, c);
  std::vector<PlayItem> items(3);
  const std::vector<std::pair<std::string, std::pair<WaveFormat, size_t>>> files = {
      {"a.wav", {f, a.size()}}, {"b.wav", {f, b.size()}}, {"c.wav", {g, c.size()}}};
  for (size_t i = 0; i < 3; ++i) {
    std::snprintf(items[i].fileName, sizeof items[i].fileName, "%s",
                  (dir / files[i].first).string().c_str());
    items[i].format = files[i].second.first;
    items[i].dataSize = files[i].second.second;
  }
  int current = -1;
  std::vector<int> captions;
  EngineCallbacks cb;
  cb.OnPlayListCursor = [&](bool peek) -> const PlayItem* {
    if (peek) return current + 1 < 3 ? &items[current + 1] : nullptr;
    ++current;
    captions.push_back(current);
    return nullptr;
  };
  Make(2, std::move(cb));
  ASSERT_EQ(engine->OpenPlay(items[0].fileName, &items[0]), EngineResult::Ok);
  engine->SetPlayBuffers(4, 1000, 3);
  ASSERT_EQ(engine->StartPlay(1), EngineResult::Ok);
  ASSERT_TRUE(WaitPlayStopped());
  std::vector<uint8_t> expected = a;
  expected.insert(expected.end(), b.begin(), b.end());
  expected.insert(expected.end(), c.begin(), c.end());
  EXPECT_EQ(driver->Played(), expected);
  ASSERT_EQ(driver->outputFormats.size(), 2u);
  EXPECT_EQ(driver->outputFormats[1].samplesPerSec, 16000u);
  EXPECT_EQ(driver->openedIds[1], 7);  // the identifier the first open reported
  EXPECT_EQ(captions, (std::vector<int>{0, 1, 2}));
}

TEST_F(EnginePumps, StopWhilePrimingAndStopWithNothingRunning) {
  Make(50);
  engine->Stop();
  EXPECT_EQ(playState.load(), kPlayStopped);
  EXPECT_EQ(recState.load(), kRecStopped);
  WriteWave(dir / "a.wav", Pcm(8000, 1, 16), Pattern(40000, 6));
  ASSERT_EQ(engine->OpenPlay((dir / "a.wav").string().c_str()), EngineResult::Ok);
  engine->SetPlayBuffers(8, 1000, 7);
  ASSERT_EQ(engine->StartPlay(1), EngineResult::Ok);
  engine->Stop();
  EXPECT_EQ(playState.load(), kPlayStopped);
  EXPECT_EQ(engine->ActiveMask(), 0u);
  EXPECT_TRUE(host.stopped.empty());
  EXPECT_LT(driver->Played().size(), 40000u);
}

TEST_F(EnginePumps, PauseSeekAndResume) {
  Make();
  const WaveFormat f = Pcm(8000, 1, 16);
  const auto data = Pattern(60000, 7);
  WriteWave(dir / "a.wav", f, data);
  ASSERT_EQ(engine->OpenPlay((dir / "a.wav").string().c_str()), EngineResult::Ok);
  engine->SetPlayBuffers(4, 1000, 3);
  ASSERT_EQ(engine->StartPlay(1), EngineResult::Ok);
  ASSERT_TRUE(host.PumpUntil([&] { return driver->Played().size() >= 4000; }));
  engine->TogglePause();
  EXPECT_EQ(playState.load(), kPlayPaused);
  EXPECT_EQ(engine->GetPlaySamplePosition(), 0u);
  std::vector<uint8_t> block(600);
  engine->CopyNewestPlayBlock(block.data(), block.size(), false);
  EXPECT_EQ(block, std::vector<uint8_t>(600, 0));  // paused: silence

  EXPECT_EQ(engine->SeekToSample(12345), 12345u);
  EXPECT_EQ(engine->GetPausedPosition(), 12345u);
  engine->CopyNewestPlayBlock(block.data(), block.size(), false);
  EXPECT_EQ(block, std::vector<uint8_t>(data.begin() + 24690, data.begin() + 24690 + 600));
  EXPECT_EQ(engine->SeekToSample(-5), 0u);
  EXPECT_EQ(engine->SeekToSample(1u << 30), 30000u);  // the end of the data
  EXPECT_EQ(engine->SeekToSample(20000), 20000u);

  const size_t before = driver->Played().size();
  engine->TogglePause();
  EXPECT_EQ(playState.load(), kPlayPlaying);
  ASSERT_TRUE(WaitPlayStopped());
  const auto played = driver->Played();
  // After the resume the device plays the file from the seek position to its end.
  const std::vector<uint8_t> tail(data.begin() + 40000, data.end());
  ASSERT_GE(played.size(), before + tail.size());
  EXPECT_TRUE(std::equal(tail.begin(), tail.end(), played.end() - tail.size()));
}

TEST_F(EnginePumps, AnalyzeModeWithoutDeviceSeeksInPlace) {
  Make();
  const WaveFormat f = Pcm(8000, 2, 16);
  const auto data = Pattern(80000, 8);
  WriteWave(dir / "a.wav", f, data);
  ASSERT_EQ(engine->OpenPlay((dir / "a.wav").string().c_str()), EngineResult::Ok);
  ASSERT_EQ(engine->StartPlay(1, PlayMode::Analyze, PlayOutput::None), EngineResult::Ok);
  std::vector<uint8_t> block(2048);
  const std::vector<uint8_t> head(data.begin(), data.begin() + 2048);
  // The pump primes the ring in the background; the ring start then holds the file's head.
  ASSERT_TRUE(host.PumpUntil([&] {
    engine->CopyNewestPlayBlock(block.data(), block.size(), true);
    return block == head;
  }));
  EXPECT_EQ(playState.load(), kPlayPaused);
  EXPECT_EQ(engine->SeekToSample(5000), 5000u);
  EXPECT_EQ(engine->GetPosition(), 5000u);
  engine->CopyNewestPlayBlock(block.data(), block.size(), false);
  EXPECT_EQ(block, std::vector<uint8_t>(data.begin() + 20000, data.begin() + 22048));
  EXPECT_TRUE(driver->openedIds.empty());
  engine->Stop();
  EXPECT_EQ(playState.load(), kPlayStopped);
}

TEST_F(EnginePumps, SnippetAndFramePlayWhilePaused) {
  Make();
  const WaveFormat f = Pcm(8000, 1, 16);
  const auto data = Pattern(80000, 10);
  WriteWave(dir / "a.wav", f, data);
  ASSERT_EQ(engine->OpenPlay((dir / "a.wav").string().c_str()), EngineResult::Ok);
  engine->SetPlayBuffers(4, 1000, 3);
  ASSERT_EQ(engine->StartPlay(1, PlayMode::Analyze),
            EngineResult::Ok);  // analyze mode: primed and paused
  std::vector<uint8_t> block(1000);
  ASSERT_TRUE(host.PumpUntil([&] {
    engine->CopyNewestPlayBlock(block.data(), block.size(), true);
    return std::equal(block.begin(), block.end(), data.begin());
  }));
  EXPECT_EQ(engine->SeekToSample(10000), 10000u);

  // A snippet plays from the paused position and returns there.
  const size_t before = driver->Played().size();
  EXPECT_EQ(engine->PlaySnippet(100), EngineResult::Ok);
  EXPECT_EQ(playState.load(), kPlayPaused);
  EXPECT_EQ(engine->GetPosition(), 10000u);
  const auto played = driver->Played();
  ASSERT_GT(played.size(), before);
  EXPECT_TRUE(std::equal(played.begin() + before, played.end(), data.begin() + 20000));
  EXPECT_EQ(host.PostedMessages().back(), WM_FRAME_PLAY_END);

  // A frame loops until the loop flag is cleared, then ends with its notification.
  const std::vector<uint8_t> frame(data.begin(), data.begin() + 512);
  ASSERT_EQ(engine->StartFramePlay(1, frame.data(), 512, FrameRepeat::Loop), EngineResult::Ok);
  // Busy with the frame:
  EXPECT_EQ(engine->StartFramePlay(1, frame.data(), 512, FrameRepeat::Loop), EngineResult::Failed);
  EXPECT_EQ(engine->PlaySnippet(100), EngineResult::Failed);
  ASSERT_TRUE(host.PumpUntil([&] { return driver->framePasses.load() >= 3; }));
  engine->SetFrameLoop(false);
  ASSERT_TRUE(host.PumpUntil([&] { return !engine->FrameBusy(); }));
  EXPECT_EQ(driver->frame_, frame);
  engine->Stop();
  EXPECT_EQ(playState.load(), kPlayStopped);
}

TEST_F(EnginePumps, DeviceErrorEndsTheRunWithItsText) {
  Make();
  WriteWave(dir / "a.wav", Pcm(8000, 1, 16), Pattern(20000, 9));
  ASSERT_EQ(engine->OpenPlay((dir / "a.wav").string().c_str()), EngineResult::Ok);
  engine->SetPlayBuffers(4, 1000, 3);
  driver->failSubmit = true;
  ASSERT_EQ(engine->StartPlay(1), EngineResult::Ok);
  ASSERT_TRUE(WaitPlayStopped());
  ASSERT_EQ(host.stopped.size(), 1u);
  EXPECT_EQ(host.stopped[0], "Stopped! \n\nError: waveOutWrite()");
}

TEST_F(EnginePumps, RecordsIntoAFileInOrder) {
  Make();
  const WaveFormat f = Pcm(8000, 1, 16);
  const std::string name = (dir / "REC.WAV").string();
  RecOpenOptions probe;
  probe.probe = true;
  probe.probeDeviceNumber = 1;
  ASSERT_EQ(engine->OpenRec(name.c_str(), f, probe), EngineResult::Ok);
  engine->SetRecBuffers(4, 800);
  ASSERT_EQ(engine->StartRec(1), EngineResult::Ok);
  ASSERT_TRUE(host.PumpUntil([&] { return recState.load() == kRecRecording; }));
  ASSERT_TRUE(host.PumpUntil([&] { return driver->Recorded().size() >= 8000; }));
  // While recording, the newest block is a contiguous piece of the ramp.
  std::vector<uint8_t> block(1000);
  engine->CopyNewestRecBlock(block.data(), block.size());
  int steps = 0;
  for (size_t i = 1; i < block.size(); ++i) steps += block[i] == (block[i - 1] + 1) % 251;
  EXPECT_GE(steps, 990);
  engine->Stop();
  EXPECT_EQ(recState.load(), kRecStopped);
  const auto rec = driver->Recorded();
  const auto file = ReadWaveData(name);
  // Everything the device captured until the stop is in the file, in order,
  // including buffers the pump had not yet taken when the stop came.
  EXPECT_EQ(file, rec);
  EXPECT_EQ(host.labels[2], " 8000Hz 16bit 1ch");
  EXPECT_TRUE(host.stopped.empty());
}

TEST_F(EnginePumps, RecordDividesOnRequestWithoutLosingABlock) {
  Make();
  const WaveFormat f = Pcm(8000, 1, 16);
  const std::string name = (dir / "DIV.WAV").string();
  ASSERT_EQ(engine->OpenRec(name.c_str(), f), EngineResult::Ok);
  engine->SetRecBuffers(4, 800);
  ASSERT_EQ(engine->StartRec(1), EngineResult::Ok);
  ASSERT_TRUE(host.PumpUntil([&] { return driver->Recorded().size() >= 4000; }));
  engine->RequestDivide();
  ASSERT_TRUE(host.PumpUntil([&] { return fs::exists(dir / "DIV_01.WAV"); }));
  ASSERT_TRUE(host.PumpUntil([&] { return driver->Recorded().size() >= 12000; }));
  engine->Stop();
  auto first = ReadWaveData(name);
  const auto second = ReadWaveData((dir / "DIV_01.WAV").string());
  ASSERT_FALSE(first.empty());
  ASSERT_FALSE(second.empty());
  first.insert(first.end(), second.begin(), second.end());
  const auto rec = driver->Recorded();
  ASSERT_LE(first.size(), rec.size());
  EXPECT_TRUE(std::equal(first.begin(), first.end(), rec.begin()));
}

TEST_F(EnginePumps, RecordMonitorPlaysTheRecordedBlocks) {
  Make();
  const WaveFormat f = Pcm(8000, 1, 16);
  RecOpenOptions monitor;
  monitor.monitor = true;
  ASSERT_EQ(engine->OpenRec(nullptr, f, monitor), EngineResult::Ok);
  engine->SetRecBuffers(4, 800);
  ASSERT_EQ(engine->StartRec(1), EngineResult::Ok);
  ASSERT_TRUE(host.PumpUntil([&] { return driver->Played().size() >= 4000; }));
  engine->Stop();
  const auto played = driver->Played();
  const auto rec = driver->Recorded();
  ASSERT_LE(played.size(), rec.size());
  EXPECT_TRUE(std::equal(played.begin(), played.end(), rec.begin()));
  EXPECT_EQ(driver->outputFormats.size(), 1u);
}

// A slow pass (here a slow monitor hook) lets the device finish the next
// buffer before the pump waits for it. The record position and the newest
// block must still end at the newest finished buffer, never one ahead.
TEST_F(EnginePumps, RecordBlockEndsAtTheNewestBufferAfterASlowPass) {
  std::atomic<int> hookCalls{0};
  std::atomic<bool> release{false};
  EngineCallbacks cb;
  cb.OnRecordedData = [&](uint32_t bytes, uint8_t*) {
    if (hookCalls.fetch_add(1) == 0) {
      while (!release.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return bytes;
  };
  Make(2, std::move(cb));
  driver->SetManualInput(true);
  const WaveFormat f = Pcm(8000, 1, 16);
  RecOpenOptions noFile;
  ASSERT_EQ(engine->OpenRec(nullptr, f, noFile), EngineResult::Ok);
  engine->SetRecBuffers(4, 800);  // 400 samples per buffer
  ASSERT_EQ(engine->StartRec(1), EngineResult::Ok);
  ASSERT_TRUE(host.PumpUntil([&] { return recState.load() == kRecRecording; }));
  ASSERT_TRUE(driver->CompleteInput());  // buffer 0
  ASSERT_TRUE(host.PumpUntil([&] { return hookCalls.load() == 1; }));
  ASSERT_TRUE(driver->CompleteInput());  // buffer 1, during the slow pass
  release = true;
  ASSERT_TRUE(host.PumpUntil([&] { return hookCalls.load() == 2; }));
  // Long enough for the position's interpolation to reach its one-buffer cap.
  host.PumpUntil([] { return false; }, 0.3);
  // Two buffers done: at most the interpolated third one may be counted.
  EXPECT_LE(engine->GetRecSamplePosition(), 3u * 400u);
  // The automatic latency correction of the fake (50 ms = 400 samples at
  // 8000 Hz, times 1.25) is 500 samples: the two-buffer block ends 500 samples
  // before the position.
  std::vector<uint8_t> block(1600);
  engine->CopyNewestRecBlock(block.data(), block.size());
  const auto rec = driver->Recorded();
  ASSERT_EQ(rec.size(), 1600u);
  // Position 1200 samples (2400 bytes) minus 1000 bytes of latency: the block
  // holds bytes [-200, 1400) of the recording, i.e. ring bytes 3000.. wrapping.
  const std::vector<uint8_t> expectedTail(rec.begin(), rec.begin() + 1400);
  EXPECT_TRUE(std::equal(expectedTail.begin(), expectedTail.end(), block.begin() + 200));
  engine->Stop();
}

// A seek while paused whose re-read reaches the end of the current play-list
// item stays in that item: the resume plays its rest and then the next item.
TEST_F(EnginePumps, PausedSeekNearAnItemsEndStaysInThatItem) {
  const WaveFormat f = Pcm(8000, 1, 16);
  const auto a = Pattern(12000, 21), b = Pattern(9000, 22);
  WriteWave(dir / "a.wav", f, a);
  WriteWave(dir / "b.wav", f, b);
  std::vector<PlayItem> items(2);
  const char* names[2] = {"a.wav", "b.wav"};
  for (size_t i = 0; i < 2; ++i) {
    std::snprintf(items[i].fileName, sizeof items[i].fileName, "%s",
                  (dir / names[i]).string().c_str());
    items[i].format = f;
    items[i].dataSize = i == 0 ? a.size() : b.size();
  }
  int current = -1;
  EngineCallbacks cb;
  cb.OnPlayListCursor = [&](bool peek) -> const PlayItem* {
    if (peek) return current + 1 < 2 ? &items[current + 1] : nullptr;
    ++current;  // the caption update: the next item became current
    return nullptr;
  };
  Make(2, std::move(cb));
  ASSERT_EQ(engine->OpenPlay(items[0].fileName, &items[0]), EngineResult::Ok);
  engine->SetPlayBuffers(4, 1000, 3);
  ASSERT_EQ(engine->StartPlay(1, PlayMode::Analyze), EngineResult::Ok);
  ASSERT_TRUE(host.PumpUntil([&] { return playState.load() == kPlayPaused; }));
  // 1500 bytes before a's end: the 4000-byte re-read would run into b.
  EXPECT_EQ(engine->SeekToSample(5250), 5250u);
  const size_t before = driver->Played().size();
  engine->TogglePause();
  ASSERT_TRUE(WaitPlayStopped());
  const auto played = driver->Played();
  std::vector<uint8_t> expected(a.begin() + 10500, a.end());
  expected.insert(expected.end(), b.begin(), b.end());
  ASSERT_EQ(played.size() - before, expected.size());
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), played.begin() + before));
  EXPECT_TRUE(host.stopped.empty());
}

// Seeks while playing, also while the stream has already switched to the next
// item: the pump alone touches the reader, and after the last seek the device
// plays from its position on (at most the one buffer it was playing before).
TEST_F(EnginePumps, SeeksWhilePlayingAcrossAnItemSwitch) {
  const WaveFormat f = Pcm(8000, 1, 16);
  const auto a = Pattern(16000, 31), b = Pattern(16000, 32);
  WriteWave(dir / "a.wav", f, a);
  WriteWave(dir / "b.wav", f, b);
  std::vector<PlayItem> items(2);
  const char* names[2] = {"a.wav", "b.wav"};
  for (size_t i = 0; i < 2; ++i) {
    std::snprintf(items[i].fileName, sizeof items[i].fileName, "%s",
                  (dir / names[i]).string().c_str());
    items[i].format = f;
    items[i].dataSize = 16000;
  }
  // b always follows a (and b itself, once a run ends: the test stops it).
  EngineCallbacks cb;
  cb.OnPlayListCursor = [&](bool peek) -> const PlayItem* { return peek ? &items[1] : nullptr; };
  // 20 ms buffers: between the seeks the device never plays past a's end, so
  // every seek lands in a (with the switch to b pending, not yet audible).
  Make(20, std::move(cb));
  for (int round = 0; round < 6; ++round) {
    SCOPED_TRACE(round);
    ASSERT_EQ(engine->OpenPlay(items[0].fileName, &items[0]), EngineResult::Ok);
    engine->SetPlayBuffers(4, 1000, 3);
    ASSERT_EQ(engine->StartPlay(1), EngineResult::Ok);
    // Near a's end the reader has switched to b before it is audible.
    ASSERT_TRUE(host.PumpUntil([&] { return engine->GetPosition() >= 6500; }));
    for (int i = 0; i < 5; ++i) {
      engine->SeekToSample(6800 + 20 * i);
      host.PumpUntil([] { return false; }, 0.002 * (i + round % 3));
    }
    const uint64_t target = 7000 + 10 * round;
    EXPECT_EQ(engine->SeekToSample(static_cast<int64_t>(target)), target);
    const size_t before = driver->Played().size();
    std::vector<uint8_t> expected(a.begin() + static_cast<long>(target * 2), a.end());
    expected.insert(expected.end(), b.begin(), b.end());
    ASSERT_TRUE(
        host.PumpUntil([&] { return driver->Played().size() >= before + expected.size() + 1000; }));
    engine->Stop();
    const auto played = driver->Played();
    // At most the one buffer the device was playing at the seek comes first.
    bool found = false;
    for (size_t skip = 0; skip <= 1000 && !found; ++skip) {
      found = std::equal(expected.begin(), expected.end(), played.begin() + before + skip);
    }
    EXPECT_TRUE(found);
    EXPECT_TRUE(host.stopped.empty());
  }
}

// A frame output that finishes a pass before its event is reset must not
// leave frame play waiting for ever.
TEST_F(EnginePumps, FramePlayKeepsLoopingWhenACompletionComesEarly) {
  Make();
  WriteWave(dir / "a.wav", Pcm(8000, 1, 16), Pattern(20000, 41));
  ASSERT_EQ(engine->OpenPlay((dir / "a.wav").string().c_str()), EngineResult::Ok);
  driver->frameDoneAtSubmit = true;
  const std::vector<uint8_t> frame(512, 3);
  ASSERT_EQ(engine->StartFramePlay(1, frame.data(), 512, FrameRepeat::Loop), EngineResult::Ok);
  EXPECT_TRUE(host.PumpUntil([&] { return driver->framePasses.load() >= 5; }, 5));
  engine->SetFrameLoop(false);
  EXPECT_TRUE(host.PumpUntil([&] { return !engine->FrameBusy(); }, 5));
}

// Stop, opening a file and a driver change end a running frame play first.
TEST_F(EnginePumps, StopAndOpenEndFramePlay) {
  Make();
  driver->frameMs = 5;
  WriteWave(dir / "a.wav", Pcm(8000, 1, 16), Pattern(20000, 42));
  ASSERT_EQ(engine->OpenPlay((dir / "a.wav").string().c_str()), EngineResult::Ok);
  engine->SetPlayBuffers(4, 1000, 3);
  ASSERT_EQ(engine->StartPlay(1, PlayMode::Analyze), EngineResult::Ok);
  ASSERT_TRUE(host.PumpUntil([&] { return playState.load() == kPlayPaused; }));
  ASSERT_EQ(engine->StartFramePlay(1, nullptr, 1000, FrameRepeat::Loop), EngineResult::Ok);
  ASSERT_TRUE(host.PumpUntil([&] { return driver->framePasses.load() >= 2; }));
  engine->Stop();
  EXPECT_FALSE(engine->FrameBusy());
  EXPECT_FALSE(driver->frameOpen.load());

  const std::vector<uint8_t> frame(512, 3);
  ASSERT_EQ(engine->StartFramePlay(1, frame.data(), 512, FrameRepeat::Loop), EngineResult::Ok);
  ASSERT_EQ(engine->OpenPlay((dir / "a.wav").string().c_str()), EngineResult::Ok);
  EXPECT_FALSE(engine->FrameBusy());
  EXPECT_FALSE(driver->frameOpen.load());
}

// A plan change while a paused run exists (an FFT size change) takes effect at
// the next run: the re-prime after a seek uses the run's own plan.
TEST_F(EnginePumps, PlanChangeWhilePausedKeepsTheRunsPlan) {
  Make();
  const WaveFormat f = Pcm(8000, 1, 16);
  const auto data = Pattern(30000, 51);
  WriteWave(dir / "a.wav", f, data);
  ASSERT_EQ(engine->OpenPlay((dir / "a.wav").string().c_str()), EngineResult::Ok);
  engine->SetPlayBuffers(4, 1000, 3);
  ASSERT_EQ(engine->StartPlay(1, PlayMode::Analyze), EngineResult::Ok);
  ASSERT_TRUE(host.PumpUntil([&] { return playState.load() == kPlayPaused; }));
  engine->SetPlayBufferPlan(0, 0, 131072);  // 34 buffers of 8000 bytes, 33 ahead
  EXPECT_EQ(engine->SeekToSample(5000), 5000u);
  engine->TogglePause();
  ASSERT_TRUE(WaitPlayStopped());
  const auto played = driver->Played();
  const std::vector<uint8_t> tail(data.begin() + 10000, data.end());
  ASSERT_GE(played.size(), tail.size());
  EXPECT_TRUE(std::equal(tail.begin(), tail.end(), played.end() - tail.size()));
  EXPECT_TRUE(host.stopped.empty());
}

// The recording's final close replaces the open file's records (name, format,
// chunks); the main thread reads them meanwhile, so this happens in a
// main-thread step, never while Stop's wait handles messages.
TEST_F(EnginePumps, FinishedRecordingIsPublishedOnTheMainThread) {
  Make();
  const WaveFormat f = Pcm(8000, 1, 16);
  const std::string name = (dir / "FIN.WAV").string();
  ASSERT_EQ(engine->OpenRec(name.c_str(), f), EngineResult::Ok);
  engine->SetRecBuffers(4, 800);
  ASSERT_EQ(engine->StartRec(1), EngineResult::Ok);
  ASSERT_TRUE(host.PumpUntil([&] { return driver->Recorded().size() >= 4000; }));
  bool changedOffMain = false;
  host.duringMessages = [&] {
    // Between two message passes no step ran unless the record state moved.
    if (engine->GetPlayFileName() == name && recState.load() != kRecStopped) changedOffMain = true;
  };
  engine->Stop();
  host.duringMessages = nullptr;
  EXPECT_FALSE(changedOffMain);
  EXPECT_EQ(engine->GetPlayFileName(), name);
  EXPECT_EQ(ReadWaveData(name), driver->Recorded());
}

// Opening either side ends both pumps: they share the engine's format.
TEST_F(EnginePumps, OpeningAFileEndsARunningRecording) {
  Make();
  const WaveFormat f = Pcm(8000, 1, 16);
  const std::string name = (dir / "R.WAV").string();
  WriteWave(dir / "p.wav", Pcm(44100, 2, 16), Pattern(8000, 61));
  ASSERT_EQ(engine->OpenRec(name.c_str(), f), EngineResult::Ok);
  engine->SetRecBuffers(4, 800);
  ASSERT_EQ(engine->StartRec(1), EngineResult::Ok);
  ASSERT_TRUE(host.PumpUntil([&] { return driver->Recorded().size() >= 3200; }));
  ASSERT_EQ(engine->OpenPlay((dir / "p.wav").string().c_str()), EngineResult::Ok);
  EXPECT_EQ(recState.load(), kRecStopped);
  WaveFormat written{};
  EXPECT_EQ(ReadWaveData(name, &written), driver->Recorded());
  EXPECT_EQ(written.samplesPerSec, 8000u);
}

// Hooks that answer more bytes than they were given are held to the buffer.
TEST_F(EnginePumps, HookResultsAreHeldToTheBuffer) {
  EngineCallbacks cb;
  cb.OnPlayDataRead = [](uint8_t*, uint32_t bytes) { return bytes * 3; };
  cb.OnRecordedData = [](uint32_t bytes, uint8_t*) { return bytes + 5000; };
  Make(2, std::move(cb));
  const WaveFormat f = Pcm(8000, 1, 16);
  const auto data = Pattern(8000, 71);
  WriteWave(dir / "a.wav", f, data);
  ASSERT_EQ(engine->OpenPlay((dir / "a.wav").string().c_str()), EngineResult::Ok);
  engine->SetPlayBuffers(4, 1000, 3);
  ASSERT_EQ(engine->StartPlay(1), EngineResult::Ok);
  ASSERT_TRUE(WaitPlayStopped());
  EXPECT_EQ(driver->Played(), data);

  RecOpenOptions monitor;
  monitor.monitor = true;
  ASSERT_EQ(engine->OpenRec(nullptr, f, monitor), EngineResult::Ok);
  engine->SetRecBuffers(4, 800);
  const size_t before = driver->Played().size();
  ASSERT_EQ(engine->StartRec(1), EngineResult::Ok);
  ASSERT_TRUE(host.PumpUntil([&] { return driver->Played().size() >= before + 3200; }));
  engine->Stop();
  const auto played = driver->Played();
  const auto rec = driver->Recorded();
  EXPECT_TRUE(std::equal(played.begin() + static_cast<long>(before), played.end(), rec.begin()));
}

// The record handed to a device: extensible for 24-bit 6-channel PCM and for
// float, with the sample type kept in the sub-format.
TEST(EngineDeviceFormat, ExtensibleRecordsForWideAndFloatFormats) {
  WaveFormat six = Pcm(48000, 6, 24);
  const WaveFormat d = DeviceFormat(six, true);
  EXPECT_EQ(d.formatTag, kWaveFormatExtensible);
  EXPECT_EQ(d.extraSize, 22);
  EXPECT_EQ(d.validBitsPerSample, 24);
  EXPECT_EQ(d.channelMask, 0x3Fu);
  EXPECT_EQ(d.blockAlign, 18);
  EXPECT_EQ(std::memcmp(d.subFormat, kSubFormatPcm, 16), 0);
  WaveFormat fl = Pcm(44100, 2, 32);
  fl.formatTag = kWaveFormatIeeeFloat;
  const WaveFormat e = DeviceFormat(fl, true);
  EXPECT_EQ(e.formatTag, kWaveFormatExtensible);
  EXPECT_EQ(std::memcmp(e.subFormat, kSubFormatIeeeFloat, 16), 0);
  EXPECT_EQ(DeviceFormat(fl, false).formatTag, kWaveFormatIeeeFloat);
}

// A configured family that is unusable here falls back to waveform audio.
TEST(EngineConstruction, UnusableFamilyFallsBackToMme) {
  TestHost host;
  TestNotifier notifier;
  std::atomic<int32_t> playState{0}, recState{0};
  EngineSettings s;
  s.PlayRecDriverType = kDriverAsio;  // no ASIO driver on this machine
  WavePlayRec engine(host, notifier, playState, recState, {}, s);
  EXPECT_EQ(engine.GetDriverType(), kDriverMme);
}

// Pausing and resuming a recording keeps every byte the device delivered.
TEST_F(EnginePumps, RecordPauseAndResumeKeepEveryByte) {
  Make();
  const WaveFormat f = Pcm(8000, 1, 16);
  const std::string name = (dir / "PAUSE.WAV").string();
  ASSERT_EQ(engine->OpenRec(name.c_str(), f), EngineResult::Ok);
  engine->SetRecBuffers(4, 800);
  ASSERT_EQ(engine->StartRec(1), EngineResult::Ok);
  ASSERT_TRUE(host.PumpUntil([&] { return driver->Recorded().size() >= 4000; }));
  engine->TogglePause();
  EXPECT_EQ(recState.load(), kRecPaused);
  // A buffer finished just before the pause is still taken; then the
  // position stands still.
  host.PumpUntil([] { return false; }, 0.05);
  const uint64_t pausedAt = engine->GetRecSamplePosition();
  host.PumpUntil([] { return false; }, 0.05);
  EXPECT_EQ(engine->GetRecSamplePosition(), pausedAt);
  const size_t before = driver->Recorded().size();
  engine->TogglePause();
  EXPECT_EQ(recState.load(), kRecRecording);
  ASSERT_TRUE(host.PumpUntil([&] { return driver->Recorded().size() >= before + 4000; }));
  engine->Stop();
  EXPECT_EQ(ReadWaveData(name), driver->Recorded());
}

// Window handlers that run inside the engine's own waits (here Stop's) may
// read the engine but not start commands: those report Busy and do nothing.
TEST_F(EnginePumps, CommandsInsideTheEnginesWaitsAreRefused) {
  Make();
  const WaveFormat f = Pcm(8000, 1, 16);
  WriteWave(dir / "a.wav", f, Pattern(40000, 2));
  ASSERT_EQ(engine->OpenPlay((dir / "a.wav").string().c_str()), EngineResult::Ok);
  engine->SetPlayBuffers(4, 1000, 3);
  ASSERT_EQ(engine->StartPlay(1, PlayMode::Analyze), EngineResult::Ok);
  ASSERT_TRUE(host.PumpUntil([&] { return playState.load() == kPlayPaused; }));
  std::vector<EngineResult> results;
  bool sawWait = false;
  host.duringMessages = [&] {
    if (!engine->InMessageWait()) return;
    sawWait = true;
    results.push_back(engine->OpenPlay((dir / "a.wav").string().c_str()));
    results.push_back(engine->StartPlay(1));
    results.push_back(engine->StartFramePlay(1, nullptr, 100, FrameRepeat::Once));
    results.push_back(engine->PlaySnippet(10));
    EXPECT_EQ(engine->SeekToSample(1000), 0u);
    engine->Stop();  // only the request: the outer Stop completes it
  };
  engine->Stop();
  ++playRuns;
  host.duringMessages = nullptr;
  EXPECT_TRUE(sawWait);
  EXPECT_FALSE(engine->InMessageWait());
  for (EngineResult r : results) EXPECT_EQ(r, EngineResult::Busy);
  EXPECT_EQ(playState.load(), kPlayStopped);
  // Outside the waits the same commands work again.
  EXPECT_EQ(engine->StartPlay(1), EngineResult::Ok);
  EXPECT_TRUE(WaitPlayStopped());
}

TEST_F(EnginePumps, BufferInformationAndPlans) {
  Make();
  EXPECT_TRUE(engine->SetPlayBufferPlan(0, 0, 131072));
  BufferInfo p = engine->GetBufferInfo(AudioDirection::Output);
  EXPECT_EQ(p.NumOfBuf, 7u);
  EXPECT_EQ(p.BufSize, 88200u);
  EXPECT_EQ(p.NumOfAheadBuf, 6u);
  EXPECT_FALSE(engine->SetRecBufferPlan(100, 0, 0));
  EXPECT_STREQ(engine->GetMessage(), "Buffer not enough  (1/2)");
  EXPECT_FALSE(engine->SetPlayBuffers(171, 1000));
  EXPECT_EQ(engine->GetBufferInfo(AudioDirection::Output).NumOfBuf, 170u);
  EXPECT_TRUE(engine->GetBufferInfo(AudioDirection::Output).BufFixed);
  EXPECT_EQ(engine->GetBufferInfo(AudioDirection::Input).NumOfAheadBuf, 0u);
  EXPECT_EQ(engine->SetDriverType(0),
            DriverChange::Unchanged);  // the current type: nothing changes
  EXPECT_EQ(engine->SetDriverType(-1), DriverChange::Unchanged);
}

}  // namespace
}  // namespace ov

namespace ov {
namespace {

// Markers written while the file is open: the engine reopens it, keeps the
// position, and its marker table then holds what was written.
TEST_F(EnginePumps, WriteMarkersReopensTheFileAtItsPosition) {
  Make();
  const WaveFormat f = Pcm(8000, 2, 16);
  const auto data = Pattern(80000, 3);
  const std::string name = (dir / "m.wav").string();
  WriteWave(dir / "m.wav", f, data);
  ASSERT_EQ(engine->OpenPlay(name.c_str()), EngineResult::Ok);
  ASSERT_EQ(engine->StartPlay(1, PlayMode::Analyze, PlayOutput::None), EngineResult::Ok);
  ASSERT_TRUE(host.PumpUntil([&] { return playState.load() == kPlayPaused; }));
  EXPECT_EQ(engine->SeekToSample(1500), 1500u);
  MarkerList list;
  list.Add(engine->GetPosition());
  const std::vector<uint8_t> block = list.BuildBlock();
  const MarkerWriteResult r = engine->WriteMarkers(block.data(), block.size());
  ASSERT_TRUE(r.written) << r.message;
  EXPECT_EQ(engine->GetPosition(), 1500u);
  ASSERT_EQ(engine->GetMarkerTable().count, 1);
  EXPECT_EQ(engine->GetMarkerTable().markers[0].position, 1500u);
  EXPECT_STREQ(engine->GetMarkerTable().markers[0].label, "Marker 1");
  // The ring was refilled from the reopened file at the position.
  std::vector<uint8_t> out(2048);
  engine->CopyNewestPlayBlock(out.data(), out.size(), false);
  EXPECT_EQ(out, std::vector<uint8_t>(data.begin() + 6000, data.begin() + 8048));
  EXPECT_EQ(ReadWaveData(name), data);
  engine->Stop();

  // Nothing open: refused with a reason.
  Make();
  EXPECT_EQ(engine->WriteMarkers(block.data(), block.size()).message, marker_text::kNotOpen);
}

}  // namespace
}  // namespace ov
