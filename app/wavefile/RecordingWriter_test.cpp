// The writer against a disk in memory: layouts, names, division, RF64,
// bext, header rewrites and every failure path.
#include "app/wavefile/RecordingWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/wavefile/ByteSourceMemory.h"
#include "app/wavefile/DiskInMemory.h"
#include "app/wavefile/RecordingTestSupport.h"

namespace ov {
namespace {

using namespace testing_support;

LocalDateTime FixedTime() {
  return {2026, 3, 7, 9, 5, 1};
}

class Recording : public ::testing::Test {
 protected:
  Recording() {
    std::snprintf(file.OriginatorText, sizeof file.OriginatorText, "OV 1.23");
    writer.SetClock(FixedTime);
    engine.format = RecordFormat(2, 44100, 16, false);
    engine.floatWidth = 99;
    // The engine parses finished recordings from the same memory disk.
    engine.opener = [this](const char* name) -> std::unique_ptr<ByteSource> {
      auto it = disk.files.find(name);
      if (it == disk.files.end()) return nullptr;
      return std::make_unique<MemoryByteSource>(it->second.bytes.data(), it->second.bytes.size());
    };
  }
  void SetUpWriter(const WaveFormat& f) { engine.format = f; }
  bool CreateAs(const char* name) {
    std::snprintf(file.fileName, sizeof file.fileName, "%s", name);
    return writer.CreateRecordingFile();
  }
  // Writes total bytes of the pattern in blocks of block bytes; returns the
  // bytes the writer accepted before it asked to stop.
  uint64_t Record(uint64_t total, uint32_t block) {
    std::vector<uint8_t> buf(block);
    uint64_t done = 0;
    while (done < total) {
      const uint32_t n = static_cast<uint32_t>(std::min<uint64_t>(block, total - done));
      Pattern(done, buf.data(), n);
      const uint32_t w = writer.WriteRecordedData(buf.data(), n);
      if (w == 0) break;
      done += w;
    }
    return done;
  }
  const std::vector<uint8_t>& Bytes(const std::string& name) { return disk.files.at(name).bytes; }
  // What the reader makes of a stored file (validation parse, no tables).
  WaveFileInfo Parse(const std::string& name) {
    ParseOptions options;
    options.opener = &engine.opener;
    WaveFormat f;
    WaveFileInfo info;
    ReaderMessage why;
    EXPECT_TRUE(ParseWaveFile(name.c_str(), &f, &info, &why, options)) << why.c_str();
    EXPECT_EQ(std::memcmp(&f, &format, f.channels >= 3 ? 40 : 16), 0);
    return info;
  }

  DiskInMemory disk;  // outlives the file handle it hands out
  RecordingFile file;
  PlayReadState engine;
  const WaveFormat& format = engine.format;
  KeepingNotifier notes;
  RecordingWriter writer{file, engine, notes, disk};
};

TEST_F(Recording, HeaderLayoutsFollowChannelsAndRf64) {
  struct Case {
    uint16_t channels;
    bool rf64;
    uint32_t size, fmtAt, fmtBytes;
  } cases[] = {{2, false, 44, 12, 16},
               {6, false, 68, 12, 40},
               {1, true, 80, 48, 16},
               {3, true, 104, 48, 40}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    SetUpWriter(RecordFormat(c.channels, 48000, 24, false));
    writer.SetRecRF64(c.rf64);
    ASSERT_TRUE(CreateAs("/rec/take.wav"));
    ASSERT_TRUE(writer.CloseRecordingFile(true));
    const auto& b = Bytes("/rec/take.wav");
    ASSERT_EQ(b.size(), c.size);
    EXPECT_EQ(Id(&b[0]), "RIFF");
    EXPECT_EQ(Le32(&b[4]), c.size - 8);
    EXPECT_EQ(Id(&b[8]), "WAVE");
    if (c.rf64) {
      EXPECT_EQ(Id(&b[12]), "JUNK");
      EXPECT_EQ(Le32(&b[16]), 28u);
      for (int i = 20; i < 48; ++i) EXPECT_EQ(b[i], 0) << i;
    }
    EXPECT_EQ(Id(&b[c.fmtAt]), "fmt ");
    EXPECT_EQ(Le32(&b[c.fmtAt + 4]), c.fmtBytes);
    EXPECT_EQ(std::memcmp(&b[c.fmtAt + 8], &format, c.fmtBytes), 0);
    EXPECT_EQ(Id(&b[c.size - 8]), "data");
    EXPECT_EQ(Le32(&b[c.size - 4]), 0u);
    EXPECT_EQ(file.headerSize, c.size);
  }
  EXPECT_TRUE(notes.texts.empty());
  EXPECT_EQ(engine.isPcm, 1);
  EXPECT_EQ(engine.floatWidth, 0u);
}

TEST_F(Recording, NamesMustEndInWav) {
  EXPECT_TRUE(CreateAs("/rec/take.wav"));
  writer.CloseRecordingFile(false);
  for (auto [given, fixed] :
       {std::pair{"/rec/take.wv", "/rec/take.WAV"}, std::pair{"/rec/take", "/rec/take.WAV"},
        std::pair{"/rec/a.b.mp3", "/rec/a.b.WAV"},
        // Only the file name's own extension counts, never a dot in a folder.
        std::pair{"/rec/john.doe/take", "/rec/john.doe/take.WAV"},
        std::pair{"/rec/john.doe/.take", "/rec/john.doe/.take.WAV"}}) {
    notes.texts.clear();
    EXPECT_FALSE(CreateAs(given));
    EXPECT_STREQ(file.fileName, fixed);
    ASSERT_EQ(notes.texts.size(), 1u);
    EXPECT_EQ(notes.texts[0], std::string("File extent is not 'WAV'.\n\n") + given);
    EXPECT_EQ(disk.files.count(given), 0u);
    EXPECT_TRUE(writer.CreateRecordingFile()) << "the mended name is usable";
    writer.CloseRecordingFile(false);
  }
  engine.language = Language::Japanese;
  notes.texts.clear();
  EXPECT_FALSE(CreateAs("/rec/x.aif"));
  EXPECT_EQ(notes.texts.at(0), "ファイル拡張子が 'WAV' ではありません\n\n/rec/x.aif");
}

TEST(RecordingNames, ExtensionIsTheFileNamesOwn) {
  EXPECT_EQ(RecordingWriter::ExtensionAt("C:\\Users\\john.doe\\take"), 22u);
  EXPECT_EQ(RecordingWriter::ExtensionAt("C:\\Users\\john.doe\\take.WAV"), 22u);
  EXPECT_EQ(RecordingWriter::ExtensionAt("C:.wav"), 6u);  // a leading dot: no extension
  EXPECT_EQ(RecordingWriter::ExtensionAt("a.b.c"), 3u);
}

TEST_F(Recording, OddLengthGetsAZeroPadThatOnlyTheRiffSizeCounts) {
  SetUpWriter(RecordFormat(1, 8000, 8, false));
  ASSERT_TRUE(CreateAs("/rec/odd.WAV"));
  const uint8_t samples[3] = {0x80, 0x81, 0x7F};
  ASSERT_EQ(writer.WriteRecordedData(samples, 3), 3u);
  ASSERT_TRUE(writer.CloseRecordingFile(true));
  const auto& b = Bytes("/rec/odd.WAV");
  ASSERT_EQ(b.size(), 48u);
  EXPECT_EQ(Le32(&b[40]), 3u) << "three samples, not a fourth of value -128";
  EXPECT_EQ(Le32(&b[4]), 40u);
  EXPECT_EQ(Parse("/rec/odd.WAV").dataSize, 4u) << "the reader rounds odd chunks up";
  EXPECT_EQ(b[44], 0x80);
  EXPECT_EQ(b[46], 0x7F);
  EXPECT_EQ(b[47], 0);
}

TEST_F(Recording, BextFollowsTheDataAndTheRiffSizeCountsIt) {
  SetUpWriter(RecordFormat(6, 96000, 32, true));
  writer.SetRecBWF(true);
  ASSERT_TRUE(CreateAs("/rec/bwf.WAV"));
  EXPECT_EQ(engine.floatWidth, 32u);
  ASSERT_EQ(Record(600, 600), 600u);
  ASSERT_TRUE(writer.CloseRecordingFile(true));
  const auto& b = Bytes("/rec/bwf.WAV");
  ASSERT_EQ(b.size(), 68u + 600 + 866);
  EXPECT_EQ(Le32(&b[4]), b.size() - 8);
  EXPECT_EQ(Le32(&b[64]), 600u);
  const uint8_t* x = &b[68 + 600];
  EXPECT_EQ(Id(x), "bext");
  EXPECT_EQ(Le32(x + 4), 858u);
  for (int i = 8; i < 328; ++i) ASSERT_EQ(x[i], 0) << i;
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(x + 328), 18), "2026-03-0709:05:01");
  EXPECT_EQ(x[354] | x[355] << 8, 1);
  const std::string history(reinterpret_cast<const char*>(x + 610));
  EXPECT_EQ(history, "A=PCM,F=96000,W=F32,M=6ch,T=OV 1.23\r\n");
  for (size_t i = 610 + history.size(); i < 866; ++i) ASSERT_EQ(x[i], 0) << i;

  // Mono and stereo integer formats name their channels; without BWF no bext.
  uint8_t image[kBextChunkBytes];
  BuildBextImage(RecordFormat(1, 44100, 16, false), FixedTime(), std::string(80, 'T').c_str(),
                 image);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(image + 610)),
            "A=PCM,F=44100,W=16,M=mono,T=" + std::string(49, 'T') + "\r\n");
  BuildBextImage(RecordFormat(2, 48000, 24, false), FixedTime(), "", image);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(image + 610)),
            "A=PCM,F=48000,W=24,M=stereo,T=\r\n");
}

TEST_F(Recording, FinishedRecordingIsParsedIntoTheEngineRecords) {
  SetUpWriter(RecordFormat(1, 8000, 8, false));
  writer.SetRecBWF(true);
  writer.SetRecRF64(true);
  ASSERT_TRUE(CreateAs("/rec/done.WAV"));
  ASSERT_EQ(Record(1001, 100), 1001u);
  ASSERT_TRUE(writer.FinishRecordingFile()) << engine.message.c_str();
  EXPECT_EQ(engine.isPcm, 1);
  EXPECT_EQ(engine.dataBytes, 1002u) << "the pad byte is part of the data";
  EXPECT_EQ(engine.dataOffset, 80u);
  EXPECT_EQ(engine.playSilence, 128u);
  EXPECT_TRUE(engine.bext);
  EXPECT_FALSE(engine.rf64);
  EXPECT_FALSE(engine.file) << "parsed, not opened for play";
  ASSERT_EQ(engine.chunks.count, 4);
  const char* ids[] = {"JUNK", "fmt ", "data", "bext"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(std::string(engine.chunks.entries[i].id, 4), ids[i]);
  EXPECT_EQ(engine.chunks.entries[3].headerOffset, 80u + 1002);
  std::vector<uint8_t> expected(1001);
  Pattern(0, expected.data(), expected.size());
  EXPECT_EQ(std::memcmp(&Bytes("/rec/done.WAV")[80], expected.data(), expected.size()), 0);
  EXPECT_TRUE(notes.texts.empty());
}

TEST_F(Recording, HeaderIsRewrittenEveryPeriodOrNeverWhenOff) {
  SetUpWriter(RecordFormat(1, 1000, 16, false));  // 2000 bytes per second
  writer.SetRecUpdateHeaderPeriod(0);
  ASSERT_TRUE(CreateAs("/rec/off.WAV"));
  ASSERT_EQ(Record(50000, 500), 50000u);
  EXPECT_EQ(Le32(&Bytes("/rec/off.WAV")[40]), 0u) << "no rewrite before the close";
  EXPECT_EQ(disk.flushes, 0);
  ASSERT_TRUE(writer.CloseRecordingFile(true));
  EXPECT_EQ(Le32(&Bytes("/rec/off.WAV")[40]), 50000u);

  // Period 2 s = 4000 bytes: after every write the header on disk lags the
  // data by at most one period plus one block, and it is flushed each time.
  writer.SetRecUpdateHeaderPeriod(2);
  ASSERT_TRUE(CreateAs("/rec/on.WAV"));
  EXPECT_EQ(file.periodBytes, 4000u);
  std::vector<uint8_t> block(700);
  uint32_t described = 0;
  for (uint64_t done = 0; done < 50000; done += block.size()) {
    Pattern(done, block.data(), block.size());
    ASSERT_EQ(writer.WriteRecordedData(block.data(), 700), 700u);
    const uint32_t now = Le32(&Bytes("/rec/on.WAV")[40]);
    EXPECT_GE(now, described);
    described = now;
    EXPECT_LE(done + 700 - described, 4000u + 700);
  }
  EXPECT_GT(disk.flushes, 10);
  writer.CloseRecordingFile(true);

  // Long periods at high rates need 64 bits: 10000 s of 8 channels of 32 bits at 384 kHz.
  SetUpWriter(RecordFormat(8, 384000, 32, false));
  writer.SetRecUpdateHeaderPeriod(10000);
  ASSERT_TRUE(CreateAs("/rec/long.WAV"));
  EXPECT_EQ(file.periodBytes, 10000ull * 32 * 384000);
  EXPECT_EQ(file.nextUpdate, 68 + 10000ull * 32 * 384000);
}

TEST_F(Recording, RewritesComeCloserAsTheDiskFills) {
  SetUpWriter(RecordFormat(2, 48000, 16, false));  // 192000 bytes per second
  writer.SetRecUpdateHeaderPeriod(5);              // 960 000 bytes
  disk.freeBytes = 4500000;
  ASSERT_TRUE(CreateAs("/rec/fill.WAV"));
  // Rewrites at 1 000 044 and 2 000 044 advance by a whole period; at
  // 2 900 044 only 1 599 956 bytes are free, less than two periods, so the
  // next rewrite comes after free - 1 000 000 bytes instead.
  EXPECT_EQ(Record(3000000, 100000), 3000000u);
  EXPECT_EQ(disk.flushes, 3);
  EXPECT_EQ(file.nextUpdate, 2880044u + 599956u);
  EXPECT_EQ(Le32(&Bytes("/rec/fill.WAV")[40]), 2900000u);
  EXPECT_EQ(Record(1000000, 100000), 400000u) << "stops while 1 100 000 bytes are still free";
  ASSERT_EQ(notes.texts.size(), 1u);
  EXPECT_EQ(notes.texts[0].rfind("Insufficient disk space on disk /rec/ ", 0), 0u);
  ASSERT_TRUE(writer.CloseRecordingFile(true));
  EXPECT_EQ(Le32(&Bytes("/rec/fill.WAV")[40]), 3400000u) << "everything written is described";
}

TEST_F(Recording, FreeSpaceMessageInBothLanguages) {
  disk.freeBytes = 1048576 + 524288;  // 1.50 MB
  ASSERT_TRUE(CreateAs("/rec/d/full.WAV"));
  EXPECT_EQ(disk.lastVolume, "/rec/d/");
  EXPECT_EQ(file.RecFileCapacityBytes, 1572864u);
  std::vector<uint8_t> block(600000);
  ASSERT_EQ(writer.WriteRecordedData(block.data(), 600000), 600000u);  // 1.5 MB free before
  EXPECT_EQ(writer.WriteRecordedData(block.data(), 600000), 0u);
  ASSERT_EQ(notes.texts.size(), 1u);
  // 972 820 bytes free = 0 MB + 972820 / 10486 hundredths; 1 100 000 bytes needed.
  EXPECT_EQ(notes.texts[0],
            "Insufficient disk space on disk /rec/d/   (0.92MB)\n\n/rec/d/full.WAV  (1.04MB)");
  EXPECT_EQ(std::string(file.failure.c_str()).rfind("Insufficient disk space on disk", 0), 0u);
  EXPECT_TRUE(engine.message.Empty()) << "shown once, not again as the engine's reason";
  engine.language = Language::Japanese;
  EXPECT_FALSE(writer.CheckDiskSpace(file.fileName, sizeof file.fileName, 5u << 20));
  EXPECT_EQ(notes.texts.at(1),
            "ディスク /rec/d/ の空き容量が足りません  (0.92MB)\n\n/rec/d/full.WAV  (5.00MB)");
  ASSERT_TRUE(writer.CloseRecordingFile(true));
  EXPECT_EQ(Le32(&Bytes("/rec/d/full.WAV")[40]), 600000u);

  // Not even room for the header: nothing is created.
  disk.freeBytes = 40;
  EXPECT_FALSE(CreateAs("/rec/d/none.WAV"));
  EXPECT_EQ(disk.files.count("/rec/d/none.WAV"), 0u);
}

TEST_F(Recording, DivisionNamesFilesUpToNinetyNineThenStops) {
  SetUpWriter(RecordFormat(1, 8000, 8, false));
  writer.SetRecBWF(true);
  writer.SetRecFileDivideBytes(1000);
  ASSERT_TRUE(CreateAs("/rec/NAME.WAV"));
  // 301-byte blocks: a file ends with the first block that takes it past
  // 1000 bytes (44 + 4 * 301 = 1248), so each file holds 4 blocks.
  const uint64_t written = Record(1000000, 301);
  EXPECT_EQ(written, 100u * 4 * 301) << "the 100th division stops the recording";
  EXPECT_EQ(file.divisionCounter, 100);
  EXPECT_STREQ(file.fileName, "/rec/NAME_99.WAV");
  ASSERT_TRUE(writer.CloseRecordingFile(true));
  ASSERT_EQ(disk.files.size(), 100u);
  uint64_t offset = 0;
  for (int i = 0; i < 100; ++i) {
    char name[64];
    if (i == 0) {
      std::snprintf(name, sizeof name, "/rec/NAME.WAV");
    } else {
      std::snprintf(name, sizeof name, "/rec/NAME_%02d.WAV", i);
    }
    SCOPED_TRACE(name);
    const auto& b = Bytes(name);
    ASSERT_EQ(b.size(), 44u + 1204 + 866);
    EXPECT_EQ(Le32(&b[4]), b.size() - 8);
    EXPECT_EQ(Le32(&b[40]), 1204u);
    std::vector<uint8_t> expected(1204);
    Pattern(offset, expected.data(), expected.size());
    EXPECT_EQ(std::memcmp(&b[44], expected.data(), expected.size()), 0);
    EXPECT_EQ(Id(&b[44 + 1204]), "bext");
    const WaveFileInfo info = Parse(name);
    EXPECT_TRUE(info.valid);
    EXPECT_TRUE(info.bext);
    EXPECT_EQ(info.dataSize, 1204u);
    offset += 1204;
  }
  EXPECT_TRUE(notes.texts.empty());
}

TEST_F(Recording, DivideRequestStartsTheNextFileAtTheNextWrite) {
  writer.RequestDivide();  // nothing open: ignored
  EXPECT_FALSE(file.divideNow);
  ASSERT_TRUE(CreateAs("/rec/ctl.wav"));
  ASSERT_EQ(Record(400, 400), 400u);
  writer.RequestDivide();
  ASSERT_EQ(Record(400, 400), 400u);
  EXPECT_STREQ(file.fileName, "/rec/ctl_01.WAV");
  writer.CloseRecordingFile(true);
  EXPECT_EQ(Le32(&Bytes("/rec/ctl.wav")[40]), 400u);
  EXPECT_EQ(Le32(&Bytes("/rec/ctl_01.WAV")[40]), 400u);

  // With RF64 on, files are never divided and the request is not kept.
  writer.SetRecRF64(true);
  writer.SetRecFileDivideBytes(100);
  ASSERT_TRUE(CreateAs("/rec/big.wav"));
  writer.RequestDivide();
  EXPECT_FALSE(file.divideNow);
  ASSERT_EQ(Record(4000, 400), 4000u);
  EXPECT_STREQ(file.fileName, "/rec/big.wav");
}

TEST_F(Recording, Rf64SwitchHappensBeforeTheBlockThatWouldPassTheLimit) {
  // A file of more than 4 GiB, simulated: only the header region is kept.
  disk.keepBytes = 4096;
  writer.SetRecRF64(true);
  writer.SetRecUpdateHeaderPeriod(1);
  SetUpWriter(RecordFormat(2, 48000, 16, false));
  const uint32_t block = 192000 * 2;  // two seconds
  ASSERT_TRUE(CreateAs("/rec/rf.WAV"));
  std::vector<uint8_t> buf(block);
  // Fill to exactly the limit: the file stays RIFF and its sizes are exact.
  const uint64_t limit = kRf64SwitchBytes - 80;
  uint64_t data = 0;
  while (data + block <= limit) {
    ASSERT_EQ(writer.WriteRecordedData(buf.data(), block), block);
    data += block;
  }
  const uint32_t rest = static_cast<uint32_t>(limit - data);
  ASSERT_EQ(writer.WriteRecordedData(buf.data(), rest), rest);
  data += rest;
  ASSERT_EQ(file.position, kRf64SwitchBytes);
  EXPECT_FALSE(file.rf64Switched);
  ASSERT_TRUE(writer.WriteHeader(true));
  auto* b = Bytes("/rec/rf.WAV").data();
  EXPECT_EQ(Id(b), "RIFF");
  EXPECT_EQ(Le32(b + 4), kRf64SwitchBytes - 8);
  EXPECT_EQ(Le32(b + 76), data);

  // Every header rewritten from here on describes the file as RF64.
  ASSERT_EQ(writer.WriteRecordedData(buf.data(), 4), 4u);
  EXPECT_TRUE(file.rf64Switched);
  data += 4;
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(writer.WriteRecordedData(buf.data(), block), block);
    data += block;
    b = Bytes("/rec/rf.WAV").data();
    if (Id(b) == "RF64") {
      EXPECT_EQ(Le32(b + 4), 0xFFFFFFFFu);
      EXPECT_EQ(Le32(b + 76), 0xFFFFFFFFu);
      EXPECT_EQ(Id(b + 12), "ds64");
      EXPECT_GT(Le64(b + 28), 0xFFFFFFFFull - 0x10000);
    } else {
      EXPECT_EQ(Le32(b + 76), kRf64SwitchBytes - 80) << "still the last RIFF description";
    }
  }
  ASSERT_TRUE(writer.CloseRecordingFile(true));
  b = Bytes("/rec/rf.WAV").data();
  EXPECT_EQ(Id(b), "RF64");
  EXPECT_EQ(Id(b + 12), "ds64");
  EXPECT_EQ(Le64(b + 20), 80 + data - 8);
  EXPECT_EQ(Le64(b + 28), data);
  EXPECT_EQ(Le64(b + 36), data / 4);
  EXPECT_EQ(Le32(b + 44), 0u);
  EXPECT_EQ(disk.files.at("/rec/rf.WAV").size, 80 + data);
}

TEST_F(Recording, PlainFilesAreDividedBeforeTheirSizesWouldWrap) {
  // A divide limit beyond 4 GiB (a negative setting read as unsigned) must
  // not produce a RIFF file with wrapped 32-bit sizes.
  disk.keepBytes = 4096;
  writer.SetRecFileDivideBytes(UINT64_MAX - 5);
  writer.SetRecBWF(true);
  ASSERT_TRUE(CreateAs("/rec/wrap.WAV"));
  std::vector<uint8_t> buf(1u << 26);
  uint64_t data = 0;
  while (file.divisionCounter == 0) {
    ASSERT_EQ(writer.WriteRecordedData(buf.data(), 1u << 26), 1u << 26);
    data += 1u << 26;
  }
  EXPECT_STREQ(file.fileName, "/rec/wrap_01.WAV");
  const auto& first = disk.files.at("/rec/wrap.WAV");
  EXPECT_EQ(first.size, 44 + (data - (1u << 26)) + 866);
  EXPECT_EQ(Le32(first.bytes.data() + 4), first.size - 8);
  EXPECT_EQ(Le32(first.bytes.data() + 40), first.size - 44 - 866);
  EXPECT_LE(first.size - 8, 0xFFFFFFFFull);
  writer.CloseRecordingFile(true);
}

TEST_F(Recording, FailuresAreShownAndEndTheRecording) {
  disk.failCreate = true;
  EXPECT_FALSE(CreateAs("/rec/a.WAV"));
  EXPECT_EQ(notes.texts.at(0), "Unable to create file.\n\n/rec/a.WAV");
  EXPECT_STREQ(file.failure.c_str(), "Unable to create file.");
  disk.failCreate = false;

  // The initial header cannot be written: the half-made file is removed.
  disk.writeBudget = 10;
  EXPECT_FALSE(CreateAs("/rec/a.WAV"));
  EXPECT_EQ(notes.texts.at(1), "Unable to write file.\n\n/rec/a.WAV");
  EXPECT_EQ(disk.files.count("/rec/a.WAV"), 0u);
  disk.writeBudget = UINT64_MAX;

  // A short data write stops the recording; the close still leaves a header
  // that describes what was written before.
  ASSERT_TRUE(CreateAs("/rec/a.WAV"));
  ASSERT_EQ(Record(1000, 500), 1000u);
  disk.writeBudget = 100;
  EXPECT_EQ(Record(500, 500), 0u);
  EXPECT_EQ(notes.texts.at(2), "Unable to write file.\n\n/rec/a.WAV");
  disk.writeBudget = UINT64_MAX;
  ASSERT_TRUE(writer.CloseRecordingFile(true));
  EXPECT_EQ(Le32(&Bytes("/rec/a.WAV")[40]), 1000u);
  EXPECT_EQ(disk.files.at("/rec/a.WAV").size, 1044u) << "the partial block is cut off";

  // A seek failure at a header rewrite closes the file.
  writer.SetRecUpdateHeaderPeriod(1);
  SetUpWriter(RecordFormat(1, 100, 8, false));
  ASSERT_TRUE(CreateAs("/rec/b.WAV"));
  ASSERT_EQ(Record(101, 101), 101u);
  disk.failSeek = true;
  EXPECT_EQ(Record(10, 10), 0u);
  EXPECT_EQ(notes.texts.at(3), "Unable to seek.\n\n/rec/b.WAV");
  EXPECT_FALSE(file.handle);
  EXPECT_FALSE(writer.CloseRecordingFile(true));
  EXPECT_EQ(notes.texts.size(), 4u);
  disk.failSeek = false;

  // A failed flush counts as a failed write; a failed close is reported.
  ASSERT_TRUE(CreateAs("/rec/c.WAV"));
  disk.failFlush = true;
  EXPECT_EQ(Record(300, 101), 101u);
  EXPECT_EQ(notes.texts.at(4), "Unable to write file.\n\n/rec/c.WAV");
  disk.failFlush = false;
  disk.failClose = true;
  engine.language = Language::Japanese;
  EXPECT_FALSE(writer.CloseRecordingFile(true));
  EXPECT_EQ(notes.texts.at(5), "クローズできません\n\n/rec/c.WAV");
  disk.failClose = false;
  // The failed flush left the file pointer after the header; the close still
  // put the pad byte after the data instead of over the first sample.
  const auto& c = Bytes("/rec/c.WAV");
  ASSERT_EQ(c.size(), 44u + 102);
  std::vector<uint8_t> expected(101);
  Pattern(0, expected.data(), expected.size());
  EXPECT_EQ(std::memcmp(&c[44], expected.data(), 101), 0);
  EXPECT_EQ(Le32(&c[40]), 101u);

  // An unmeasurable volume counts as full, and the user is told why.
  disk.failFreeSpace = true;
  engine.language = Language::English;
  notes.texts.clear();
  EXPECT_FALSE(CreateAs("/rec/d.WAV"));
  ASSERT_EQ(notes.texts.size(), 1u);
  EXPECT_EQ(notes.texts[0], "Unable to measure the free space on disk /rec/\n\n/rec/d.WAV");
  EXPECT_STREQ(file.failure.c_str(), "Unable to measure the free space on disk /rec/");
}

}  // namespace
}  // namespace ov
