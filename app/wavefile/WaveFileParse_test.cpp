#include "app/wavefile/WaveFileParse.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "app/wavefile/ByteSourceMemory.h"
#include "app/wavefile/WaveFileTestBytes.h"

namespace ov {
namespace {

using namespace testbytes;

struct Parsed {
  bool ok = false;
  std::string message;
  WaveFormat format{};
  WaveFileInfo info;
};

class WaveFileParse : public ::testing::Test {
 protected:
  Parsed Parse(const Bytes& file, bool withTable = true, bool ctrl = false) {
    MemoryByteSource source(file.data(), file.size());
    ParseOptions options;
    options.chunks = withTable ? table.get() : nullptr;
    options.markers = withTable ? &markers : nullptr;
    options.dataSaveBytes = dataSaveBytes;
    Parsed p;
    ReaderMessage message;
    p.ok = ParseWaveSource(source, &p.format, &p.info, &message, options, ctrl);
    p.message = message.c_str();
    return p;
  }
  std::string EntryIds() const {
    std::string ids;
    for (int i = 0; i < table->count; ++i) ids += std::string(table->entries[i].id, 4) + "|";
    return ids;
  }

  std::unique_ptr<ChunkTable> table = std::make_unique<ChunkTable>();
  MarkerTable markers;
  uint32_t dataSaveBytes = 512;
};

// A file written to a pipe keeps 0xFFFFFFFF in its RIFF and data sizes: it is
// read to the end of the file. A size of 0 keeps its meaning.
TEST_F(WaveFileParse, StreamedSizesReadToTheEndOfTheFile) {
  const Bytes streamed =
      RiffSized(0xFFFFFFFFu, Pcm16Stereo() + RawChunk("data", 0xFFFFFFFFu, Ramp(1000)));
  Parsed p = Parse(streamed);
  ASSERT_TRUE(p.ok) << p.message;
  EXPECT_TRUE(p.info.valid);
  EXPECT_TRUE(p.info.streamed);
  EXPECT_EQ(table->streamed, 1);
  EXPECT_EQ(p.info.dataOffset, 44u);
  EXPECT_EQ(p.info.dataSize, 1000u);
  // Only the data size unset, or only the RIFF size.
  p = Parse(Riff(Pcm16Stereo() + RawChunk("data", 0xFFFFFFFFu, Ramp(600))), false);
  EXPECT_TRUE(p.info.valid);
  EXPECT_TRUE(p.info.streamed);
  EXPECT_EQ(p.info.dataSize, 600u);
  p = Parse(RiffSized(0xFFFFFFFFu, Pcm16Stereo() + Chunk("data", Ramp(600))), false);
  EXPECT_TRUE(p.info.valid);
  EXPECT_EQ(p.info.dataSize, 600u);
  // An ordinary file is not streamed; a zero data size still ends the walk.
  p = Parse(Riff(Pcm16Stereo() + Chunk("data", Ramp(600))), false);
  EXPECT_FALSE(p.info.streamed);
  p = Parse(RiffSized(0xFFFFFFFFu, Pcm16Stereo() + RawChunk("data", 0, Ramp(600))), false);
  EXPECT_FALSE(p.info.valid);
}

// A block align that cannot hold the channels' samples, or that gives a
// channel more than 8 bytes, makes the file not valid (rather than asking the
// analysis for gigabytes).
TEST_F(WaveFileParse, CorruptBlockAlignIsNotValid) {
  for (uint16_t align : {uint16_t{2}, uint16_t{17}, uint16_t{0xFFFF}}) {
    Bytes fmt = FmtContent(1, 2, 44100, 16);
    fmt[12] = static_cast<uint8_t>(align);
    fmt[13] = static_cast<uint8_t>(align >> 8);
    const Parsed p = Parse(Riff(Chunk("fmt ", fmt) + Chunk("data", Ramp(400))), false);
    EXPECT_TRUE(p.ok);
    EXPECT_FALSE(p.info.valid) << align;
  }
  Bytes padded = FmtContent(1, 2, 44100, 24);  // 24-bit samples in 4-byte containers
  padded[12] = 8;
  padded[13] = 0;
  EXPECT_TRUE(Parse(Riff(Chunk("fmt ", padded) + Chunk("data", Ramp(400))), false).info.valid);
}

TEST_F(WaveFileParse, PlainPcmFileGivesFormatDataAndTable) {
  const Parsed p = Parse(Riff(Pcm16Stereo() + Chunk("data", Ramp(400))));
  ASSERT_TRUE(p.ok) << p.message;
  EXPECT_TRUE(p.info.valid);
  EXPECT_EQ(p.format.formatTag, 1);
  EXPECT_EQ(p.format.channels, 2);
  EXPECT_EQ(p.format.samplesPerSec, 44100u);
  EXPECT_EQ(p.format.blockAlign, 4);
  EXPECT_EQ(p.format.extraSize, 0);  // fields a 16-byte fmt does not cover are zero
  EXPECT_EQ(p.info.dataOffset, 44u);
  EXPECT_EQ(p.info.dataSize, 400u);
  EXPECT_EQ(p.info.silence, 0u);
  EXPECT_FALSE(p.info.rf64);
  EXPECT_EQ(EntryIds(), "fmt |data|");
  EXPECT_EQ(table->entries[1].index, 2);
  EXPECT_EQ(table->entries[1].level, 1);
  EXPECT_EQ(table->entries[1].headerOffset, 36u);
  EXPECT_EQ(table->fileSize, 444u);
  EXPECT_EQ(table->valid, 1);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(table->fileHeader), 4), "RIFF");
}

TEST_F(WaveFileParse, EightBitFilesHaveSilenceByte128FloatFilesTheirWidth) {
  EXPECT_EQ(Parse(Riff(Fmt(1, 1, 8000, 8) + Chunk("data", Ramp(10)))).info.silence, 128u);
  const Parsed f = Parse(Riff(Fmt(3, 1, 8000, 32) + Chunk("data", Ramp(16))));
  EXPECT_EQ(f.info.floatWidth, 32u);
  EXPECT_EQ(table->floatWidth, 32u);
}

TEST_F(WaveFileParse, ChunkOrderAndPresenceDecideValidity) {
  // data before fmt is valid.
  Parsed p = Parse(Riff(Chunk("data", Ramp(8)) + Pcm16Stereo()));
  ASSERT_TRUE(p.ok);
  EXPECT_TRUE(p.info.valid);
  EXPECT_EQ(p.info.dataOffset, 20u);
  // fmt without data: the walk ends with the form, success but not valid.
  p = Parse(Riff(Pcm16Stereo()));
  ASSERT_TRUE(p.ok) << p.message;
  EXPECT_FALSE(p.info.valid);
  // ... unless the file ends before the form does.
  p = Parse(RiffSized(1000, Pcm16Stereo()));
  EXPECT_FALSE(p.ok);
  EXPECT_EQ(p.message, "Unknown file format.  (No data)");
  // An unknown tag is not valid; neither is a format without channels or
  // block align, which every consumer divides by.
  EXPECT_FALSE(Parse(Riff(Fmt(6, 1, 8000, 8) + Chunk("data", Ramp(8)))).info.valid);
  EXPECT_FALSE(Parse(Riff(Fmt(1, 0, 8000, 16) + Chunk("data", Ramp(8)))).info.valid);
  EXPECT_FALSE(Parse(Riff(Fmt(1, 2, 8000, 0) + Chunk("data", Ramp(8)))).info.valid);
}

TEST_F(WaveFileParse, ZeroSizeChunkEndsTheWalk) {
  const Parsed p = Parse(Riff(Pcm16Stereo() + RawChunk("LIST", 0, {}) + Chunk("data", Ramp(8))));
  ASSERT_TRUE(p.ok);
  EXPECT_FALSE(p.info.valid);  // the data after it is never seen
  EXPECT_EQ(EntryIds(), "fmt |");
  // Budget left at the stop: everything after fmt (8 + 8 + 8 bytes).
  EXPECT_EQ(table->budgetAtStop, 24u);
  // A zero-size fmt ends the walk the same way, without touching the format.
  const Parsed z = Parse(Riff(RawChunk("fmt ", 0, {}) + Chunk("data", Ramp(8))));
  ASSERT_TRUE(z.ok);
  EXPECT_FALSE(z.info.valid);
}

TEST_F(WaveFileParse, OddSizesAreReadAsTheNextEvenSize) {
  const Parsed p = Parse(Riff(Pcm16Stereo() + Chunk("note", Ramp(3)) + Chunk("data", Ramp(7)) +
                              Chunk("afte", Ramp(2))));
  ASSERT_TRUE(p.ok) << p.message;
  EXPECT_EQ(p.info.dataOffset, 44u + 12u);
  EXPECT_EQ(p.info.dataSize, 8u);  // includes the pad byte
  EXPECT_EQ(EntryIds(), "fmt |note|data|afte|");
  EXPECT_EQ(table->entries[1].size, 3u);  // stored as written
  EXPECT_EQ(table->entries[1].length, 4u);
}

TEST_F(WaveFileParse, DataRunningPastTheFileIsCut) {
  const Parsed p = Parse(Riff(Pcm16Stereo() + RawChunk("data", 100000, Ramp(300))));
  ASSERT_TRUE(p.ok) << p.message;
  EXPECT_TRUE(p.info.valid);
  EXPECT_EQ(p.info.dataSize, 300u);
  EXPECT_EQ(table->dataSize, 100000u);  // the table keeps the declared size
}

TEST_F(WaveFileParse, DataHeadAndTailAreKept) {
  dataSaveBytes = 512;
  Parsed p = Parse(Riff(Pcm16Stereo() + Chunk("data", Ramp(100))));
  ASSERT_TRUE(p.ok);
  const ChunkEntry& head = table->entries[1];
  ASSERT_EQ(head.length, 100u);
  ASSERT_EQ(table->dataTail.length, 100u);
  EXPECT_EQ(0, std::memcmp(head.content.get(), table->dataTail.content.get(), 100));
  EXPECT_EQ(table->dataTail.headerOffset, 44u);
  EXPECT_EQ(table->dataTail.index, 0);

  dataSaveBytes = 16;
  const Bytes data = Ramp(1000);
  p = Parse(Riff(Pcm16Stereo() + Chunk("data", data) + Chunk("LIST", Text("INFOxxxx"))));
  ASSERT_TRUE(p.ok);
  ASSERT_EQ(table->entries[1].length, 16u);
  EXPECT_EQ(0, std::memcmp(table->entries[1].content.get(), data.data(), 16));
  ASSERT_EQ(table->dataTail.length, 16u);
  EXPECT_EQ(0, std::memcmp(table->dataTail.content.get(), data.data() + 984, 16));
  EXPECT_EQ(table->dataTail.headerOffset, 44u + 984u);
  EXPECT_EQ(EntryIds(), "fmt |data|LIST|");  // the walk continues after the data
}

TEST_F(WaveFileParse, Rf64TakesItsSizesFromDs64) {
  const Bytes frames = Ramp(400);
  Parsed p = Parse(Rf64(Pcm16Stereo() + RawChunk("data", 0xFFFFFFFFu, frames), 400, 100));
  ASSERT_TRUE(p.ok) << p.message;
  EXPECT_TRUE(p.info.valid);
  EXPECT_TRUE(p.info.rf64);
  EXPECT_EQ(p.info.dataSize, 400u);
  EXPECT_EQ(p.info.dataOffset, 80u);
  EXPECT_EQ(table->rf64SizesUsed, 1);
  EXPECT_EQ(table->sampleCount, 100u);

  // A 64-bit size larger than the file is cut; the table keeps it.
  p = Parse(Rf64(Pcm16Stereo() + RawChunk("data", 0xFFFFFFFFu, frames), 0x123456789ull));
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.info.dataSize, 400u);
  EXPECT_EQ(table->dataSize, 0x123456789ull);

  // Sizes near 2^64 neither overflow nor hang: a data size is cut to the
  // file, a RIFF size that wraps below zero ends the walk.
  const Bytes body = Pcm16Stereo() + RawChunk("data", 0xFFFFFFFFu, frames);
  const uint64_t riffSize = 4 + 36 + body.size();
  p = Parse(Text("RF64") + Le32(0xFFFFFFFFu) + Text("WAVE") +
            Chunk("ds64", Le64(riffSize) + Le64(~0ull - 3) + Le64(~0ull) + Le32(0)) + body);
  ASSERT_TRUE(p.ok) << p.message;
  EXPECT_EQ(p.info.dataSize, 400u);
  EXPECT_EQ(p.info.dataOffset, 80u);
  p = Parse(Text("RF64") + Le32(0xFFFFFFFFu) + Text("WAVE") +
            Chunk("ds64", Le64(2) + Le64(~0ull) + Le64(~0ull) + Le32(0)) + body);
  ASSERT_TRUE(p.ok) << p.message;
  EXPECT_FALSE(p.info.valid);
}

TEST_F(WaveFileParse, Rf64WithoutDs64StopsAfterItsFirstChunk) {
  const Parsed p = Parse(Text("RF64") + Le32(0xFFFFFFFFu) + Text("WAVE") + Pcm16Stereo() +
                         Chunk("data", Ramp(8)));
  ASSERT_TRUE(p.ok) << p.message;
  EXPECT_FALSE(p.info.valid);
  EXPECT_EQ(EntryIds(), "fmt |");
}

TEST_F(WaveFileParse, Rf64WithARealRiffSizeIsReadAsRf64) {
  // Recorders below 4 GiB write the real sizes into the RIFF and data fields.
  const Bytes body = Pcm16Stereo() + Chunk("data", Ramp(400));
  const Parsed p = Parse(Rf64(body, 400, 100, uint32_t(4 + 36 + body.size())));
  ASSERT_TRUE(p.ok) << p.message;
  EXPECT_TRUE(p.info.rf64);
  EXPECT_TRUE(p.info.valid);
  EXPECT_EQ(p.info.dataSize, 400u);
  EXPECT_EQ(table->rf64SizesUsed, 0);
}

TEST_F(WaveFileParse, ShortDs64TakesOnlyTheFieldsItHolds) {
  const Bytes body = Pcm16Stereo() + RawChunk("data", 0xFFFFFFFFu, Ramp(40));
  const uint64_t riffSize = 4 + 20 + body.size();
  const Parsed p = Parse(Text("RF64") + Le32(0xFFFFFFFFu) + Text("WAVE") +
                         Chunk("ds64", Le64(riffSize) + Le32(40)) + body);
  ASSERT_TRUE(p.ok) << p.message;
  EXPECT_EQ(p.info.dataSize, 0u);  // no dataSize field: nothing taken
  EXPECT_EQ(table->riffSize, riffSize);
}

Bytes CueChunk(uint32_t declaredCount, uint32_t presentPoints) {
  Bytes content = Le32(declaredCount);
  for (uint32_t i = 0; i < presentPoints; ++i) {
    content = content + Le32(i + 1) + Le32(1000 * (i + 1)) + Text("data") + Le32(0) + Le32(0) +
              Le32(1000 * (i + 1));
  }
  return Chunk("cue ", content);
}

Bytes Labl(uint32_t cueId, const char* text) {
  Bytes content = Le32(cueId) + Text(text);
  content.push_back(0);
  return Chunk("labl", content);
}

TEST_F(WaveFileParse, MarkersComeFromCueAndAdtl) {
  const Bytes adtl =
      Chunk("LIST", Text("adtl") + Labl(2, "second") +
                        Chunk("ltxt", Le32(2) + Le32(4410) + Text("rgn ") + Le32(0)) +
                        Chunk("note", Le32(1) + Text("a note")) +
                        Labl(1, "0123456789012345678901234567890123456789-cut"));
  const Parsed p = Parse(Riff(Pcm16Stereo() + Chunk("data", Ramp(8)) + CueChunk(2, 2) + adtl));
  ASSERT_TRUE(p.ok) << p.message;
  ASSERT_EQ(markers.count, 2);
  EXPECT_EQ(markers.markers[0].cueId, 1u);
  EXPECT_EQ(markers.markers[0].position, 1000u);
  EXPECT_STREQ(markers.markers[0].label, "0123456789012345678901234567890123456789");
  EXPECT_EQ(markers.markers[1].position, 2000u);
  EXPECT_STREQ(markers.markers[1].label, "second");
  EXPECT_EQ(markers.markers[1].length, 4410u);
  // The LIST is entered whole and again as its sub-chunks, one level down.
  EXPECT_EQ(EntryIds(), "fmt |data|cue |LIST|labl|ltxt|note|labl|");
  EXPECT_EQ(std::string(table->entries[3].listType, 4), "adtl");
  EXPECT_EQ(table->entries[4].level, 2);
}

TEST_F(WaveFileParse, MarkerCountsAreBoundedByCapacityAndByTheChunk) {
  Parsed p = Parse(Riff(Pcm16Stereo() + Chunk("data", Ramp(8)) + CueChunk(150, 150)));
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(markers.count, 100);
  EXPECT_EQ(markers.markers[99].position, 100000u);
  // A count of 0x20000000 in a 12-byte chunk: only the points present count.
  p = Parse(Riff(Pcm16Stereo() + Chunk("data", Ramp(8)) +
                 Chunk("cue ", Le32(0x20000000) + Le32(1) + Le32(2))));
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(markers.count, 0);
  p = Parse(Riff(Pcm16Stereo() + Chunk("data", Ramp(8)) + Chunk("cue ", CueChunk(9, 2))));
  EXPECT_LE(markers.count, 2);
}

TEST_F(WaveFileParse, LabelsNeedTheCueChunkFirstAndStayInsideTheList) {
  const Bytes adtl = Chunk("LIST", Text("adtl") + Labl(1, "early"));
  Parsed p = Parse(Riff(Pcm16Stereo() + Chunk("data", Ramp(8)) + adtl + CueChunk(1, 1)));
  ASSERT_TRUE(p.ok);
  ASSERT_EQ(markers.count, 1);
  EXPECT_STREQ(markers.markers[0].label, "");

  // A labl whose size runs past the list: the walk of the list stops there.
  const Bytes bad = Chunk(
      "LIST", Text("adtl") + Labl(1, "ok") + RawChunk("labl", 5000, Le32(2)) + Text("xxxxxxxxxx"));
  p = Parse(Riff(Pcm16Stereo() + Chunk("data", Ramp(8)) + CueChunk(2, 2) + bad));
  ASSERT_TRUE(p.ok) << p.message;
  EXPECT_STREQ(markers.markers[0].label, "ok");
  EXPECT_STREQ(markers.markers[1].label, "");
}

TEST_F(WaveFileParse, TableCapacityAppliesOnlyWhenATableIsBuilt) {
  Bytes chunks = Pcm16Stereo() + Chunk("data", Ramp(8));
  for (int i = 0; i < 400; ++i) chunks = chunks + Chunk("JUNK", Ramp(2));
  Parsed p = Parse(Riff(chunks));
  EXPECT_FALSE(p.ok);
  EXPECT_EQ(p.message, "Chunk table full.");
  p = Parse(Riff(chunks), /*withTable=*/false);
  ASSERT_TRUE(p.ok) << p.message;
  EXPECT_TRUE(p.info.valid);
}

TEST_F(WaveFileParse, CtrlKeyWalksOtherRiffFormTypes) {
  const Bytes avi = Riff(Pcm16Stereo() + Chunk("data", Ramp(8)), "AVI ");
  Parsed p = Parse(avi);
  EXPECT_FALSE(p.ok);
  EXPECT_EQ(p.message, "Not RIFF/RF64 file");
  p = Parse(avi, true, /*ctrl=*/true);
  ASSERT_TRUE(p.ok);
  EXPECT_TRUE(p.info.valid);
  p = Parse(Riff(Chunk("strl", Ramp(20)), "AVI "), true, true);
  ASSERT_TRUE(p.ok);
  EXPECT_FALSE(p.info.valid);
}

TEST_F(WaveFileParse, ListsNestFiveLevelsDeep) {
  auto nest = [](int depth) {
    Bytes inner = Chunk("note", Ramp(4));
    for (int i = 0; i < depth; ++i) inner = Chunk("LIST", Text("nest") + inner);
    return inner;
  };
  Parsed p = Parse(Riff(Pcm16Stereo() + Chunk("data", Ramp(8)) + nest(5)));
  ASSERT_TRUE(p.ok) << p.message;
  EXPECT_EQ(table->entries[table->count - 1].level, 6);
  p = Parse(Riff(Pcm16Stereo() + Chunk("data", Ramp(8)) + nest(6)));
  EXPECT_FALSE(p.ok);
  EXPECT_EQ(p.message, "Sub chunk nesting level over.  (LIST)");
  // Without a table the lists are not descended.
  EXPECT_TRUE(Parse(Riff(Pcm16Stereo() + Chunk("data", Ramp(8)) + nest(6)), false).ok);
}

TEST_F(WaveFileParse, LaterFmtReplacesEarlier) {
  const Parsed p = Parse(Riff(Fmt(1, 1, 8000, 8) + Fmt(6, 2, 8000, 8) + Chunk("data", Ramp(8))));
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.format.formatTag, 6);
  EXPECT_FALSE(p.info.valid);  // the format in force is A-law
}

struct FailureCase {
  const char* name;
  Bytes file;
  const char* message;
};

TEST_F(WaveFileParse, EachFailureLeavesItsMessage) {
  const Bytes fmt = Pcm16Stereo();
  const FailureCase cases[] = {
      {"short header", Text("RIFF") + Le32(4), "Unable to read file.  (header)"},
      {"not riff", Text("RIFX") + Le32(4) + Text("WAVE"), "Not RIFF/RF64 file"},
      {"no data", RiffSized(100, fmt), "Unknown file format.  (No data)"},
      {"short LIST", RiffSized(100, fmt + RawChunk("LIST", 40, Text("INFO"))),
       "Unknown Wave format.  (LIST)"},
      {"short JUNK", RiffSized(100, RawChunk("JUNK", 40, Ramp(10))),
       "Unable to read file.  (ds64/JUNK)"},
      {"fmt too small", Riff(RawChunk("fmt ", 14, Ramp(14))),
       "Unknown Wave format.  (fmtsize=14, fizesize=26)"},
      {"fmt too large", Riff(RawChunk("fmt ", 0xFF000100u, Ramp(14))),
       "Unknown Wave format.  (fmtsize=-16776960, fizesize=26)"},
      {"short fmt", RiffSized(100, RawChunk("fmt ", 40, Ramp(20))), "Unable to read file.  (fmt)"},
      {"short fact", RiffSized(100, fmt + RawChunk("fact", 4, Ramp(2))),
       "Unknown Wave format.  (fact)"},
      {"short cue", RiffSized(100, fmt + RawChunk("cue ", 28, Ramp(8))),
       "Unknown Wave format.  (cue)"},
      {"short bext", RiffSized(100, fmt + RawChunk("bext", 602, Ramp(8))),
       "Unable to read file.  (bext)"},
      {"short other before data", RiffSized(100, fmt + RawChunk("iXML", 2, Ramp(1))),
       "Unable to read file.  (other)"},
      // A 2.9 GB chunk declared in a 22-byte file: no 2.9 GB buffer either.
      {"huge chunk", RiffSized(0x46464952, RawChunk("RIFF", 0x4646b1u, Text("FF"))),
       "Unable to read file.  (other)"},
  };
  for (const FailureCase& c : cases) {
    const Parsed p = Parse(c.file);
    EXPECT_FALSE(p.ok) << c.name;
    EXPECT_EQ(p.message, c.message) << c.name;
  }
}

// Records the largest read asked for: the reader reads each chunk into a
// buffer of exactly the size it asks for.
class LargestReadSource : public ByteSource {
 public:
  explicit LargestReadSource(const Bytes& b) : inner_(b.data(), b.size()) {}
  uint64_t Size() const override { return inner_.Size(); }
  size_t Read(void* d, size_t n) override {
    largest = std::max(largest, n);
    return inner_.Read(d, n);
  }
  bool SeekTo(uint64_t o) override { return inner_.SeekTo(o); }
  bool SeekBy(int64_t d) override { return inner_.SeekBy(d); }
  size_t largest = 0;

 private:
  MemoryByteSource inner_;
};

TEST_F(WaveFileParse, ReadBuffersNeverExceedWhatTheFileHolds) {
  const Bytes files[] = {
      RiffSized(0x46464952, RawChunk("RIFF", 0xB1464952u, Text("FF"))),
      RiffSized(0x7FFFFFFF, Pcm16Stereo() + RawChunk("LIST", 0xFFFFFFF0u, Text("adtl"))),
      Riff(Pcm16Stereo() + Chunk("data", Ramp(8)) + RawChunk("bext", 0x7FFFFFF0u, Ramp(10))),
  };
  for (const Bytes& file : files) {
    for (bool withTable : {true, false}) {
      LargestReadSource source(file);
      ParseOptions options;
      options.chunks = withTable ? table.get() : nullptr;
      options.markers = withTable ? &markers : nullptr;
      WaveFormat format{};
      WaveFileInfo info;
      ReaderMessage message;
      ParseWaveSource(source, &format, &info, &message, options, false);
      EXPECT_LE(source.largest, file.size()) << message.c_str();
    }
  }
}

TEST_F(WaveFileParse, TrailingChunksCutByTheFileEndAreTolerated) {
  // An odd-size JUNK after the data without its pad byte, then a header
  // claiming far more than the file holds.
  Bytes file = Riff(Pcm16Stereo() + Chunk("data", Ramp(8)) + RawChunk("JUNK", 9, Ramp(9)));
  Parsed p = Parse(file);
  ASSERT_TRUE(p.ok) << p.message;
  EXPECT_TRUE(p.info.valid);
  file = Riff(Pcm16Stereo() + Chunk("data", Ramp(8)) + RawChunk("iXML", 1200000000, Ramp(9)));
  p = Parse(file);
  ASSERT_TRUE(p.ok) << p.message;
  EXPECT_EQ(table->entries[2].length, 9u);
}

TEST_F(WaveFileParse, EveryParseStartsFromClearedTables) {
  ASSERT_TRUE(Parse(Riff(Pcm16Stereo() + Chunk("data", Ramp(8)) + CueChunk(3, 3))).ok);
  ASSERT_EQ(markers.count, 3);
  const Parsed p = Parse(Text("nonsense"));
  EXPECT_FALSE(p.ok);
  EXPECT_EQ(markers.count, 0);
  EXPECT_EQ(table->count, 0);
  EXPECT_EQ(table->dataTail.content, nullptr);
}

TEST(ParseWaveFileNames, EmptySpaceAndMissingNames) {
  WaveFormat format{};
  WaveFileInfo info;
  ReaderMessage message;
  message.Set("old");
  EXPECT_FALSE(ParseWaveFile("", &format, &info, &message, {}));
  EXPECT_TRUE(message.Empty());
  ASSERT_TRUE(ParseWaveFile(" silence", &format, &info, &message, {}));
  EXPECT_TRUE(info.noFile);
  EXPECT_EQ(info.dataSize, 1u);
  EXPECT_FALSE(ParseWaveFile("/no/such/dir/file.wav", &format, &info, &message, {}));
  EXPECT_STREQ(message.c_str(), "file not found");
  EXPECT_FALSE(ParseWaveFile("/no/such/dir/file.wav", nullptr, &info, &message, {}));
}

}  // namespace
}  // namespace ov
