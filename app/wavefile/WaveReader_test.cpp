#include "app/wavefile/WaveReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "app/wavefile/WaveFileTestBytes.h"
#include "app/wavefile/WaveInfoText.h"

namespace ov {
namespace {

using namespace testbytes;

class RecordingNotifier : public UserNotifier {
 public:
  NoticeAnswer Notify(std::string_view text, NoticeIcon icon) override {
    texts.emplace_back(text);
    icons.push_back(icon);
    return NoticeAnswer::Ok;
  }
  std::vector<std::string> texts;
  std::vector<NoticeIcon> icons;
};

class WaveReader : public ::testing::Test {
 protected:
  void SetUp() override {
    state.opener = files.Opener();
    state.notifier = &notifier;
    state.onPlayListCursor = [this](bool peekNext) -> const PlayItem* {
      EXPECT_TRUE(peekNext);
      for (size_t i = 0; i + 1 < list.size(); ++i) {
        if (list[i] == state.currentItem) return list[i + 1];
      }
      return nullptr;
    };
  }
  // Adds a file and a play item for it.
  PlayItem& AddItem(const char* name, const Bytes& file, uint32_t trailingSilence = 0) {
    files.files[name] = file;
    items.push_back(std::make_unique<PlayItem>());
    PlayItem& item = *items.back();
    std::snprintf(item.fileName, sizeof item.fileName, "%s", name);
    WaveFileInfo info;
    ReaderMessage message;
    ParseOptions options;
    options.opener = &opener;
    EXPECT_TRUE(ParseWaveFile(name, &item.format, &info, &message, options)) << message.c_str();
    item.dataSize = info.dataSize;
    item.trailingSilence = trailingSilence;
    list.push_back(&item);
    return item;
  }
  void Start(PlayItem& item) {
    state.currentItem = &item;
    state.itemSilenceBytes = item.trailingSilence;
    ASSERT_TRUE(OpenForPlay(state, nullptr, false)) << state.message.c_str();
  }
  std::vector<uint8_t> Read(uint32_t n, uint32_t* delivered) {
    std::vector<uint8_t> buffer(n, 0xEE);
    *delivered = ReadStream(state, buffer.data(), n);
    return buffer;
  }

  MemoryFiles files;
  SourceOpener opener = files.Opener();
  RecordingNotifier notifier;
  PlayReadState state;
  std::vector<std::unique_ptr<PlayItem>> items;
  std::vector<const PlayItem*> list;
};

Bytes Pcm8Mono(const Bytes& data) {
  return Riff(Fmt(1, 1, 8000, 8) + Chunk("data", data));
}
Bytes Pcm16(const Bytes& data) {
  return Riff(Pcm16Stereo() + Chunk("data", data));
}

TEST_F(WaveReader, OpenForPlayFillsTheStateAndPositionsAtTheData) {
  ASSERT_TRUE(OpenForPlay(state, (files.files["a.wav"] = Pcm16(Ramp(400)), "a.wav"), false));
  EXPECT_TRUE(state.file);
  EXPECT_EQ(state.isPcm, 1);
  EXPECT_EQ(state.dataBytes, 400u);
  EXPECT_EQ(state.remainingBytes, 400u);
  EXPECT_EQ(state.dataOffset, 44u);
  EXPECT_EQ(state.format.blockAlign, 4);
  EXPECT_FALSE(state.reprime);
  ASSERT_NE(FindChunk(state, "data"), nullptr);
  EXPECT_EQ(FindChunk(state, "data")->headerOffset, 36u);
  EXPECT_EQ(FindChunk(state, "cue "), nullptr);
  uint32_t n = 0;
  const auto bytes = Read(100, &n);
  EXPECT_EQ(n, 100u);
  EXPECT_EQ(bytes, Ramp(100));
  CloseReadFile(state);
  EXPECT_FALSE(state.file);
  EXPECT_EQ(Read(10, &n)[0], 0);
  EXPECT_EQ(n, 0u);
}

TEST_F(WaveReader, FilesThatDoNotPlayWarnOrFail) {
  files.files["alaw.wav"] = Riff(Fmt(6, 1, 8000, 8) + Chunk("data", Ramp(8)));
  ASSERT_TRUE(OpenForPlay(state, "alaw.wav", /*warn=*/true));
  EXPECT_FALSE(state.file);  // opened for display only
  ASSERT_EQ(notifier.texts.size(), 1u);
  EXPECT_EQ(notifier.texts[0], "This file is not valid PCM wave file.");
  EXPECT_EQ(notifier.icons[0], NoticeIcon::Warning);
  state.language = Language::Japanese;
  ASSERT_TRUE(OpenForPlay(state, "alaw.wav", true));
  EXPECT_EQ(notifier.texts[1], "このファイルは有効なPCMファイルではありません");
  EXPECT_FALSE(OpenForPlay(state, "alaw.wav", false));
  EXPECT_FALSE(OpenForPlay(state, "missing.wav", true));
  EXPECT_STREQ(state.message.c_str(), "file not found");
  EXPECT_EQ(notifier.texts.size(), 2u);
}

TEST_F(WaveReader, NoFileNameSucceedsWithReprimeAndStreamsNothing) {
  ASSERT_TRUE(OpenForPlay(state, " ", false));
  EXPECT_TRUE(state.reprime);
  EXPECT_FALSE(state.file);
  uint32_t n = 1;
  Read(16, &n);
  EXPECT_EQ(n, 0u);
}

TEST_F(WaveReader, ReadsFromAnyPosition) {
  const Bytes data = Ramp(400);
  files.files["a.wav"] = Pcm16(data);
  ASSERT_TRUE(OpenForPlay(state, "a.wav", false));
  for (uint64_t frame : {0u, 1u, 37u, 99u, 100u, 150u}) {
    state.position = frame;
    state.pausedPlayed = 5;
    state.reprime = true;
    uint32_t n = 0;
    const auto bytes = Read(64, &n);
    const uint64_t at = std::min<uint64_t>(frame * 4, 400);
    const uint32_t expected = uint32_t(std::min<uint64_t>(64, 400 - at));
    EXPECT_EQ(n, expected) << frame;
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.begin() + expected, data.begin() + at)) << frame;
    EXPECT_TRUE(std::all_of(bytes.begin() + expected, bytes.end(), [](uint8_t b) { return !b; }));
    EXPECT_EQ(state.reprimeStartBytes, at);
    EXPECT_EQ(state.pausedPlayed, 0u);
    EXPECT_FALSE(state.reprime);
  }
}

TEST_F(WaveReader, StreamEndIsPaddedWithTheSilenceByte) {
  PlayItem& eight = AddItem("8.wav", Pcm8Mono(Ramp(10, 1)));
  Start(eight);
  EXPECT_EQ(state.playSilence, 128u);
  uint32_t n = 0;
  auto bytes = Read(32, &n);
  EXPECT_EQ(n, 10u);
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 10), Ramp(10, 1));
  EXPECT_EQ(Bytes(bytes.begin() + 10, bytes.end()), Fill(22, 128));
  bytes = Read(8, &n);
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(bytes, Fill(8, 128));
}

TEST_F(WaveReader, TrailingSilenceIsDeliveredThenTheNextItemFollowsWithoutAGap) {
  PlayItem& a = AddItem("a.wav", Pcm8Mono(Ramp(10, 1)), /*trailingSilence=*/30);
  PlayItem& b = AddItem("b.wav", Pcm8Mono(Ramp(10, 50)));
  Start(a);
  uint32_t n = 0;
  auto bytes = Read(16, &n);
  EXPECT_EQ(n, 16u);
  EXPECT_EQ(Bytes(bytes.begin() + 10, bytes.end()), Fill(6, 128));
  EXPECT_EQ(state.itemSilenceBytes, 24u);
  bytes = Read(32, &n);
  EXPECT_EQ(n, 32u);  // the silence owed, then the next item's first bytes
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 24), Fill(24, 128));
  EXPECT_EQ(Bytes(bytes.begin() + 24, bytes.end()), Bytes(Ramp(8, 50)));
  EXPECT_EQ(state.currentItem, &b);
  EXPECT_TRUE(state.itemSwitchPending);
}

TEST_F(WaveReader, SilenceAfterTheLastItemEndsTheStream) {
  PlayItem& a = AddItem("a.wav", Pcm8Mono(Ramp(10, 1)), /*trailingSilence=*/30);
  Start(a);
  uint32_t n = 0;
  Read(16, &n);
  const auto bytes = Read(32, &n);
  EXPECT_EQ(n, 24u);
  EXPECT_EQ(bytes, Fill(32, 128));
  EXPECT_EQ(state.currentItem, &a);
  EXPECT_FALSE(state.itemSwitchPending);
}

TEST_F(WaveReader, ContinuesGaplesslyIntoItemsOfEqualFormat) {
  PlayItem& a = AddItem("a.wav", Pcm16(Ramp(12, 0)));
  PlayItem& b = AddItem("b.wav", Pcm16(Ramp(4, 100)));  // shorter than the rest of the block
  PlayItem& c = AddItem("c.wav", Pcm16(Ramp(40, 200)));
  Start(a);
  uint32_t n = 0;
  auto bytes = Read(32, &n);
  EXPECT_EQ(n, 32u);
  EXPECT_EQ(bytes, Ramp(12, 0) + Ramp(4, 100) + Ramp(16, 200));
  EXPECT_TRUE(state.itemSwitchPending);
  EXPECT_EQ(state.currentItem, &c);
  EXPECT_EQ(state.previousItem, &b);
  bytes = Read(32, &n);
  EXPECT_EQ(n, 24u);
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 24), Ramp(24, 216));
  EXPECT_FALSE(state.itemSwitchPending);
}

TEST_F(WaveReader, StopsWhenTheNextFormatDiffers) {
  PlayItem& a = AddItem("a.wav", Pcm16(Ramp(12)));
  AddItem("mono.wav", Riff(Fmt(1, 1, 44100, 16) + Chunk("data", Ramp(40))));
  Start(a);
  uint32_t n = 0;
  const auto bytes = Read(32, &n);
  EXPECT_EQ(n, 12u);
  EXPECT_EQ(Bytes(bytes.begin() + 12, bytes.end()), Fill(20, 0));
  EXPECT_EQ(state.currentItem, &a);
  EXPECT_FALSE(state.itemSwitchPending);
}

TEST_F(WaveReader, AReadFailureClosesTheFileAndEndsTheStream) {
  // The file shrinks between the parse and the read (another program cut it).
  const Bytes whole = Pcm16(Ramp(400));
  const Bytes cut(whole.begin(), whole.begin() + 100);
  int opens = 0;
  state.opener = [&](const char*) -> std::unique_ptr<ByteSource> {
    const Bytes& b = ++opens == 1 ? whole : cut;
    return std::make_unique<MemoryByteSource>(b.data(), b.size());
  };
  ASSERT_TRUE(OpenForPlay(state, "a.wav", false));
  uint32_t n = 1;
  const auto bytes = Read(64, &n);
  EXPECT_EQ(n, 0u);
  EXPECT_FALSE(state.file);
  EXPECT_EQ(bytes, Fill(64, 0));
}

TEST_F(WaveReader, ValidationLeavesTheOpenFileRecordsAlone) {
  files.files["a.wav"] =
      Riff(Pcm16Stereo() + Chunk("data", Ramp(8)) +
           Chunk("cue ", Le32(1) + Le32(7) + Le32(3) + Text("data") + Le32(0) + Le32(0) + Le32(3)));
  files.files["alaw.wav"] = Riff(Fmt(6, 1, 8000, 8) + Chunk("data", Ramp(8)));
  ASSERT_TRUE(OpenForPlay(state, "a.wav", false));
  ASSERT_EQ(state.markers.count, 1);
  const int chunks = state.chunks.count;
  uint8_t head[4];
  ASSERT_EQ(ReadStream(state, head, 4), 4u);
  // The play list validates another file (through the same opener) while
  // this one is open and half read.
  WaveFormat format{};
  WaveFileInfo info;
  ReaderMessage message;
  ParseOptions validation;
  validation.opener = &opener;
  ASSERT_TRUE(ParseWaveFile("alaw.wav", &format, &info, &message, validation));
  EXPECT_FALSE(info.valid);
  EXPECT_EQ(format.formatTag, 6);
  // The open file's records, and its stream, are as they were.
  EXPECT_EQ(state.isPcm, 1);
  EXPECT_EQ(state.markers.count, 1);
  EXPECT_EQ(state.markers.markers[0].cueId, 7u);
  EXPECT_EQ(state.chunks.count, chunks);
  EXPECT_EQ(std::string(state.chunks.entries[chunks - 1].id, 4), "cue ");
  EXPECT_EQ(state.format.formatTag, 1);
  EXPECT_TRUE(state.message.Empty());
  uint8_t tail[4];
  ASSERT_EQ(ReadStream(state, tail, 4), 4u);
  const Bytes ramp = Ramp(8);
  EXPECT_TRUE(std::equal(tail, tail + 4, ramp.begin() + 4));
}

}  // namespace
}  // namespace ov

namespace ov {
namespace {

// The main thread copies the records while continuations on the play thread
// parse other files into them: under the records lock every copy is one
// file's table, whole (without it the copies tear or read freed content).
TEST_F(WaveReader, RecordsReadUnderTheLockAreOneFilesWhole) {
  Bytes extrasA, extrasB;
  for (int i = 0; i < 3; ++i) extrasA = extrasA + Chunk("aaaa", Ramp(64, i));
  for (int i = 0; i < 9; ++i) extrasB = extrasB + Chunk("bbbb", Ramp(200, i));
  files.files["a.wav"] = Riff(Pcm16Stereo() + extrasA + Chunk("data", Ramp(16, 0)));
  files.files["b.wav"] = Riff(Pcm16Stereo() + extrasB + Chunk("data", Ramp(16, 0)));
  std::atomic<bool> stop{false};
  std::atomic<int> parses{0};
  std::thread parser([&] {
    for (int i = 0; !stop; ++i) {
      OpenForPlay(state, i % 2 ? "b.wav" : "a.wav", false);
      ++parses;
    }
  });
  // A torn copy is only counted here: the parser must be stopped and joined
  // before the test may end.
  std::string torn;
  for (int copies = 0; torn.empty() && (copies < 2000 || parses < 200); ++copies) {
    std::unique_ptr<ChunkTable> copy;
    {
      std::lock_guard<std::mutex> lock(state.recordsMutex);
      copy = CopyChunkTable(state.chunks);
    }
    if (!copy || copy->count == 0) continue;  // before the first parse
    const int extras = copy->count - 2;
    if (extras != 3 && extras != 9) torn = "count " + std::to_string(copy->count);
    const char letter = extras == 3 ? 'a' : 'b';
    for (int32_t i = 0; torn.empty() && i < copy->count; ++i) {
      const ChunkEntry& e = copy->entries[i];
      const std::string id(e.id, 4);
      if (id == "fmt " || id == "data") continue;
      if (id != std::string(4, letter) || e.length != (letter == 'a' ? 64u : 200u))
        torn = "entry " + std::to_string(i) + " " + id + " in a table of " +
               std::to_string(copy->count);
    }
  }
  stop = true;
  parser.join();
  EXPECT_EQ(torn, "");
}

}  // namespace
}  // namespace ov
