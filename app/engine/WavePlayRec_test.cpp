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
