// The write plan for marker chunks and the write-back through the file seam:
// where the block goes, what moves and what becomes JUNK, which files are
// refused, and that a failure at any step leaves the file as it was.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "app/wavefile/DiskInMemory.h"
#include "app/wavefile/MarkerList.h"
#include "app/wavefile/MarkerWriteBack.h"
#include "app/wavefile/MarkerWritePlan.h"
#include "app/wavefile/WaveFileParse.h"
#include "app/wavefile/WaveFileTestBytes.h"

namespace ov {
namespace {

using namespace testbytes;

struct Parsed {
  bool ok = false;
  std::string message;
  std::unique_ptr<ChunkTable> chunks = std::make_unique<ChunkTable>();
  std::unique_ptr<MarkerTable> markers = std::make_unique<MarkerTable>();
};
Parsed ParseBytes(const Bytes& file) {
  Parsed p;
  MemoryByteSource source(file.data(), file.size());
  WaveFormat format;
  WaveFileInfo info;
  ReaderMessage message;
  ParseOptions options;
  options.chunks = p.chunks.get();
  options.markers = p.markers.get();
  p.ok = ParseWaveSource(source, &format, &info, &message, options, false);
  p.message = message.c_str();
  return p;
}

Bytes CueChunk(std::initializer_list<uint32_t> positions) {
  Bytes c = Le32(uint32_t(positions.size()));
  uint32_t id = 1;
  for (uint32_t p : positions)
    c = c + Le32(id++) + Le32(p) + Text("data") + Le32(0) + Le32(0) + Le32(p);
  return Chunk("cue ", c);
}
Bytes AdtlChunk(uint32_t id, const char* label) {
  return Chunk("LIST", Text("adtl") + Chunk("labl", Le32(id) + Text(label) + Bytes{0}));
}
Bytes InfoChunk() {
  return Chunk("LIST", Text("INFO") + Chunk("INAM", Text("Title") + Bytes{0}));
}
const Bytes kData = Chunk("data", Ramp(400));

std::vector<uint8_t> TwoMarkers() {
  MarkerList list;
  list.Add(10);
  list.Add(20);
  list.Rename(2, "second");
  return list.BuildBlock();
}

uint32_t Riff32(const Bytes& b) {
  return uint32_t(b[4]) | uint32_t(b[5]) << 8 | uint32_t(b[6]) << 16 | uint32_t(b[7]) << 24;
}

// ---- Plans.

TEST(MarkerWritePlan, EmptyListCutsATrailingCueAndTheRiffSizeShrinks) {
  const Bytes head = Pcm16Stereo() + kData;
  const Bytes file = Riff(head + CueChunk({5, 6}) + AdtlChunk(1, "a"));
  Parsed p = ParseBytes(file);
  ASSERT_TRUE(p.ok) << p.message;
  const MarkerWritePlan plan = PlanMarkerWrite(*p.chunks, 0);
  ASSERT_TRUE(plan.ok) << plan.message;
  EXPECT_EQ(plan.cutAt, 12 + head.size());
  EXPECT_EQ(plan.appendAt, plan.cutAt);
  EXPECT_TRUE(plan.moved.empty());
  EXPECT_TRUE(plan.junk.empty());
  EXPECT_EQ(plan.newFileSize, 12 + head.size());
  EXPECT_EQ(plan.newSizeFieldValue, 4 + head.size());
  EXPECT_EQ(plan.sizeFieldOffset, 4u);
  EXPECT_FALSE(plan.sizeField64);
}

TEST(MarkerWritePlan, CueBeforeDataBecomesJunkAndTheBlockIsAppended) {
  const Bytes file = Riff(Pcm16Stereo() + CueChunk({1}) + AdtlChunk(1, "old") + kData);
  Parsed p = ParseBytes(file);
  ASSERT_TRUE(p.ok);
  const MarkerWritePlan plan = PlanMarkerWrite(*p.chunks, 100);
  ASSERT_TRUE(plan.ok) << plan.message;
  const uint64_t cueAt = 12 + Pcm16Stereo().size();
  ASSERT_EQ(plan.junk.size(), 2u);  // the cue and its adtl list
  EXPECT_EQ(plan.junk[0], cueAt);
  EXPECT_EQ(plan.junk[1], cueAt + CueChunk({1}).size());
  EXPECT_EQ(plan.cutAt, file.size());
  EXPECT_EQ(plan.appendAt, file.size());
  EXPECT_EQ(plan.newFileSize, file.size() + 100);
}

TEST(MarkerWritePlan, ChunksAfterATrailingCueMoveBehindTheBlockAndOldAdtlIsDropped) {
  const Bytes head = Pcm16Stereo() + kData;
  const Bytes file =
      Riff(head + CueChunk({1}) + AdtlChunk(1, "x") + InfoChunk() + Chunk("smpl", Fill(36, 7)));
  Parsed p = ParseBytes(file);
  ASSERT_TRUE(p.ok);
  const MarkerWritePlan plan = PlanMarkerWrite(*p.chunks, 64);
  ASSERT_TRUE(plan.ok) << plan.message;
  ASSERT_EQ(plan.moved.size(), 2u);
  EXPECT_EQ(std::string(plan.moved[0].id, 4), "LIST");
  EXPECT_EQ(plan.moved[0].size, InfoChunk().size());
  EXPECT_EQ(std::string(plan.moved[1].id, 4), "smpl");
  EXPECT_EQ(plan.newFileSize, 12 + head.size() + 64 + InfoChunk().size() + 44);
}

TEST(MarkerWritePlan, MissingPadByteIsWrittenFirst) {
  // An odd data chunk without its pad byte as the file's last bytes.
  Bytes file = Riff(Pcm16Stereo() + RawChunk("data", 401, Ramp(401)));
  Parsed p = ParseBytes(file);
  ASSERT_TRUE(p.ok);
  const MarkerWritePlan plan = PlanMarkerWrite(*p.chunks, 60);
  ASSERT_TRUE(plan.ok) << plan.message;
  EXPECT_EQ(plan.cutAt, file.size());
  EXPECT_EQ(plan.appendAt, file.size() + 1);
  EXPECT_EQ(plan.appendAt % 2, 0u);
  EXPECT_EQ(plan.newFileSize, file.size() + 61);
}

TEST(MarkerWritePlan, Rf64FilesGetTheDs64RiffSize) {
  const Bytes after = Pcm16Stereo() + RawChunk("data", 0xFFFFFFFFu, Ramp(400));
  const Bytes file = Rf64(after, 400);
  Parsed p = ParseBytes(file);
  ASSERT_TRUE(p.ok) << p.message;
  const MarkerWritePlan plan = PlanMarkerWrite(*p.chunks, 50);
  ASSERT_TRUE(plan.ok) << plan.message;
  EXPECT_TRUE(plan.sizeField64);
  EXPECT_EQ(plan.sizeFieldOffset, 20u);
  EXPECT_EQ(plan.newSizeFieldValue, file.size() + 50 - 8);
}

TEST(MarkerWritePlan, RefusesFilesItCannotEditWithoutLoss) {
  const Bytes good = Pcm16Stereo() + kData;
  Bytes cues150 = Le32(150);
  for (uint32_t i = 0; i < 150; ++i)
    cues150 = cues150 + Le32(i + 1) + Le32(i) + Text("data") + Le32(0) + Le32(0) + Le32(i);
  struct Case {
    const char* name;
    Bytes file;
    const char* reason;
  } cases[] = {
      {"bytes past the RIFF size", Riff(good) + Text("garbage!"), marker_text::kNotCovered},
      {"a zero-size chunk", Riff(good + RawChunk("JUNK", 0, {}) + Chunk("smpl", Fill(8, 1))),
       marker_text::kNotCovered},
      {"stray bytes after the last chunk", Riff(good + Fill(3, 9)), marker_text::kNotCovered},
      {"a cut-off last chunk", Riff(good + RawChunk("smpl", 100, Fill(20, 1))),
       marker_text::kCutOff},
      {"a data chunk running past the file",
       Riff(Pcm16Stereo() + RawChunk("data", 1000, Ramp(400))), marker_text::kCutOff},
      {"150 cue points", Riff(good + Chunk("cue ", cues150)), marker_text::kTooManyCues},
      {"no data", Riff(Pcm16Stereo() + Chunk("smpl", Fill(8, 1))), marker_text::kNoData},
  };
  for (const Case& c : cases) {
    Parsed p = ParseBytes(c.file);
    const MarkerWritePlan plan = PlanMarkerWrite(*p.chunks, 80);
    EXPECT_FALSE(plan.ok) << c.name;
    EXPECT_EQ(plan.message, c.reason) << c.name;
  }
}

TEST(MarkerWritePlan, RiffFilePassing4GiBIsRefused) {
  // The table of a RIFF file just below 4 GiB, as a parse would leave it.
  auto table = std::make_unique<ChunkTable>();
  std::memcpy(table->fileHeader, "RIFF\xF8\xFF\xFF\xFFWAVE", 12);
  table->dataFound = 1;
  table->count = 2;
  ChunkEntry& fmt = table->entries[0];
  fmt.index = 1, fmt.level = 1, fmt.headerOffset = 12, fmt.size = 16;
  std::memcpy(fmt.id, "fmt ", 4);
  ChunkEntry& data = table->entries[1];
  data.index = 2, data.level = 1, data.headerOffset = 36, data.size = 0xFFFFFFB0u;
  std::memcpy(data.id, "data", 4);
  table->fileSize = 44 + uint64_t(0xFFFFFFB0u);
  EXPECT_TRUE(PlanMarkerWrite(*table, 32).ok);
  const MarkerWritePlan plan = PlanMarkerWrite(*table, 64);
  EXPECT_FALSE(plan.ok);
  EXPECT_EQ(plan.message, marker_text::kRiffTooLarge);
}

// ---- Write-back through an in-memory disk.

struct MemoryCase {
  DiskInMemory disk;
  Parsed parsed;
  explicit MemoryCase(const Bytes& file) {
    disk.files["a.wav"].bytes = file;
    disk.files["a.wav"].size = file.size();
    parsed = ParseBytes(file);
  }
  const Bytes& Now() { return disk.files["a.wav"].bytes; }
  MarkerWriteResult Write(const std::vector<uint8_t>& block) {
    return WriteMarkerBlock(disk, "a.wav", *parsed.chunks, block.data(), block.size());
  }
};

TEST(MarkerWriteBack, WritesTheBlockAndTheMovedChunksAndKeepsTheBytesBeforeTheCut) {
  const Bytes head = Pcm16Stereo() + kData;
  const Bytes file = Riff(head + CueChunk({1}) + AdtlChunk(1, "x") + InfoChunk());
  MemoryCase m(file);
  const std::vector<uint8_t> block = TwoMarkers();
  const MarkerWriteResult r = m.Write(block);
  ASSERT_TRUE(r.written) << r.message;
  const Bytes& now = m.Now();
  ASSERT_EQ(now.size(), 12 + head.size() + block.size() + InfoChunk().size());
  EXPECT_TRUE(std::equal(file.begin() + 8, file.begin() + 12 + head.size(), now.begin() + 8));
  EXPECT_EQ(Riff32(now), now.size() - 8);
  Parsed back = ParseBytes(now);
  ASSERT_TRUE(back.ok) << back.message;
  ASSERT_EQ(back.markers->count, 2);
  EXPECT_EQ(back.markers->markers[1].position, 20u);
  EXPECT_STREQ(back.markers->markers[1].label, "second");
  const ChunkEntry* info = nullptr;
  for (int i = 0; i < back.chunks->count; ++i) {
    if (std::memcmp(back.chunks->entries[i].listType, "INFO", 4) == 0)
      info = &back.chunks->entries[i];
  }
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->headerOffset, 12 + head.size() + block.size());
  // Only the tail was read and written, plus the header check and fields.
  EXPECT_LT(r.bytesRead, 12 + 200u + (file.size() - 12 - head.size()));
  EXPECT_EQ(m.disk.flushes, 1);
}

TEST(MarkerWriteBack, CueBeforeDataKeepsTheFileLengthPlusTheBlock) {
  const Bytes file = Riff(Pcm16Stereo() + CueChunk({1}) + kData);
  MemoryCase m(file);
  const std::vector<uint8_t> block = TwoMarkers();
  ASSERT_TRUE(m.Write(block).written);
  const Bytes& now = m.Now();
  EXPECT_EQ(now.size(), file.size() + block.size());
  const size_t cueAt = 12 + Pcm16Stereo().size();
  EXPECT_EQ(std::string(now.begin() + cueAt, now.begin() + cueAt + 4), "JUNK");
  Parsed back = ParseBytes(now);
  ASSERT_TRUE(back.ok) << back.message;
  ASSERT_EQ(back.markers->count, 2);
  EXPECT_EQ(back.markers->markers[0].position, 10u);
}

TEST(MarkerWriteBack, AFailureAtEachWriteLeavesTheFileAsItWas) {
  const Bytes files[] = {
      Riff(Pcm16Stereo() + kData + CueChunk({1}) + AdtlChunk(1, "x") + InfoChunk()),
      Riff(Pcm16Stereo() + CueChunk({1}) + AdtlChunk(1, "x") + kData),
      Riff(Pcm16Stereo() + RawChunk("data", 401, Ramp(401))),
  };
  for (const Bytes& file : files) {
    // Count the writes of a good run, then fail each one in turn.
    MemoryCase good(file);
    ASSERT_TRUE(good.Write(TwoMarkers()).written);
    const int writes = good.disk.writeCalls;
    ASSERT_GE(writes, 2);
    for (int failing = 1; failing <= writes; ++failing) {
      MemoryCase m(file);
      m.disk.failAtWrite = failing;
      const MarkerWriteResult r = m.Write(TwoMarkers());
      EXPECT_FALSE(r.written) << "write " << failing;
      EXPECT_EQ(r.message, marker_text::kFileWrite);
      EXPECT_TRUE(r.fileUnchanged);
      EXPECT_EQ(m.Now(), file) << "write " << failing;
    }
  }
}

TEST(MarkerWriteBack, OtherFaultsAreReportedAndLoseNothing) {
  const Bytes file = Riff(Pcm16Stereo() + kData + CueChunk({1}) + InfoChunk());
  {
    MemoryCase m(file);
    m.disk.failFlush = true;
    const MarkerWriteResult r = m.Write(TwoMarkers());
    EXPECT_FALSE(r.written);
    EXPECT_EQ(r.message, std::string(marker_text::kFileFlush) + marker_text::kRestoreFailed);
  }
  {
    MemoryCase m(file);
    m.disk.failTruncate = true;
    const MarkerWriteResult r = m.Write(TwoMarkers());
    EXPECT_EQ(r.message, std::string(marker_text::kFileTruncate) + marker_text::kRestoreFailed);
    EXPECT_FALSE(r.fileUnchanged);
  }
  {
    MemoryCase m(file);
    m.disk.freeBytes = 10;  // the block needs more
    const MarkerWriteResult r = m.Write(TwoMarkers());
    EXPECT_EQ(r.message, marker_text::kNoSpace);
    EXPECT_EQ(m.Now(), file);
    EXPECT_EQ(m.disk.bytesWritten, 0u);
  }
  {
    MemoryCase m(file);
    m.disk.failOpenExisting = true;  // read-only or locked
    EXPECT_EQ(m.Write(TwoMarkers()).message, marker_text::kFileNotFound);
    EXPECT_EQ(m.Now(), file);
  }
  {
    MemoryCase m(file);
    m.disk.files["a.wav"].bytes.push_back(0);  // changed since it was parsed
    m.disk.files["a.wav"].size += 1;
    EXPECT_EQ(m.Write(TwoMarkers()).message, marker_text::kChanged);
    EXPECT_EQ(m.disk.bytesWritten, 0u);
  }
}

TEST(MarkerWriteBack, WritingTwiceGivesTheSameFile) {
  const Bytes file = Riff(Pcm16Stereo() + kData + InfoChunk());
  MemoryCase m(file);
  ASSERT_TRUE(m.Write(TwoMarkers()).written);
  const Bytes once = m.Now();
  MemoryCase again(once);
  ASSERT_TRUE(again.Write(TwoMarkers()).written);
  EXPECT_EQ(again.Now(), once);
  // And an empty list removes them again: back to the old bytes.
  MemoryCase empty(once);
  ASSERT_TRUE(empty.Write({}).written);
  EXPECT_EQ(empty.Now(), file);
}

}  // namespace
}  // namespace ov
