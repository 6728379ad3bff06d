// The marker list's edits and the chunk block it builds, byte by byte.
#include "app/wavefile/MarkerList.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "app/wavefile/WaveFileParse.h"
#include "app/wavefile/WaveFileTestBytes.h"

namespace ov {
namespace {

using namespace testbytes;

uint32_t At32(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
         uint32_t(b[at + 3]) << 24;
}
std::string IdAt(const std::vector<uint8_t>& b, size_t at) {
  return std::string(b.begin() + at, b.begin() + at + 4);
}

// A file holding the block after its data parses back to the same markers.
struct Parsed {
  bool ok = false;
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
  return p;
}
Bytes FileWithBlock(const std::vector<uint8_t>& block) {
  return Riff(Pcm16Stereo() + Chunk("data", Ramp(400)) + Bytes(block));
}

TEST(MarkerList, EmptyListBuildsNoBlock) {
  MarkerList list;
  EXPECT_TRUE(list.BuildBlock().empty());
  EXPECT_FALSE(list.Dirty());
}

TEST(MarkerList, OneMarkerBlockIsLaidOutField_by_field) {
  MarkerList list;
  ASSERT_EQ(list.Add(1500), MarkerAddResult::Added);
  EXPECT_TRUE(list.Dirty());
  EXPECT_STREQ(list.Row(1).label, "Marker 1");
  const std::vector<uint8_t> b = list.BuildBlock();
  // cue: header 8 + count 4 + one point 24.
  ASSERT_EQ(IdAt(b, 0), "cue ");
  EXPECT_EQ(At32(b, 4), 28u);
  EXPECT_EQ(At32(b, 8), 1u);
  EXPECT_EQ(At32(b, 12), 1u);     // ID
  EXPECT_EQ(At32(b, 16), 1500u);  // position
  EXPECT_EQ(IdAt(b, 20), "data");
  EXPECT_EQ(At32(b, 24), 0u);
  EXPECT_EQ(At32(b, 28), 0u);
  EXPECT_EQ(At32(b, 32), 1500u);  // sample offset
  // LIST adtl: labl "Marker 1\0" (k = 9, odd: size 13 and a pad), note, ltxt.
  size_t p = 36;
  ASSERT_EQ(IdAt(b, p), "LIST");
  const uint32_t listSize = At32(b, p + 4);
  EXPECT_EQ(listSize, b.size() - p - 8);
  EXPECT_EQ(IdAt(b, p + 8), "adtl");
  p += 12;
  EXPECT_EQ(IdAt(b, p), "labl");
  EXPECT_EQ(At32(b, p + 4), 13u);
  EXPECT_EQ(At32(b, p + 8), 1u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[p + 12])), "Marker 1");
  EXPECT_EQ(b[p + 12 + 8], 0);
  EXPECT_EQ(b[p + 12 + 9], 0);  // pad
  p += 8 + 14;
  EXPECT_EQ(IdAt(b, p), "note");
  EXPECT_EQ(At32(b, p + 4), 5u);
  EXPECT_EQ(At32(b, p + 8), 1u);
  EXPECT_EQ(b[p + 12], 0);
  EXPECT_EQ(b[p + 13], 0);
  p += 8 + 6;
  EXPECT_EQ(IdAt(b, p), "ltxt");
  EXPECT_EQ(At32(b, p + 4), 20u);
  EXPECT_EQ(At32(b, p + 8), 1u);
  EXPECT_EQ(At32(b, p + 12), 0u);  // length
  EXPECT_EQ(IdAt(b, p + 16), "rgn ");
  for (int i = 0; i < 8; ++i) EXPECT_EQ(b[p + 20 + i], 0);
  EXPECT_EQ(p + 28, b.size());
}

TEST(MarkerList, LabelLengthsDecidePadBytesAndCuts) {
  struct Case {
    std::string label;
    uint32_t labelBytes;  // bytes written, zero included
  } cases[] = {
      {std::string(38, 'a'), 39},  // odd: a pad byte follows
      {std::string(39, 'b'), 40},  // even: no pad
      {"\xC3\xA9" + std::string(37, 'c'), 40},
  };
  for (const Case& c : cases) {
    MarkerList list;
    list.Add(7);
    ASSERT_EQ(list.Rename(1, c.label), MarkerRenameResult::Renamed) << c.label;
    const std::vector<uint8_t> b = list.BuildBlock();
    const size_t labl = 36 + 12;
    EXPECT_EQ(At32(b, labl + 4), 4 + c.labelBytes);
    EXPECT_EQ(IdAt(b, labl + 8 + 4 + c.labelBytes + (c.labelBytes & 1)), "note");
    Parsed back = ParseBytes(FileWithBlock(b));
    ASSERT_TRUE(back.ok);
    ASSERT_EQ(back.markers->count, 1);
    EXPECT_EQ(std::string(back.markers->markers[0].label), c.label);
  }
  // 40 bytes do not fit with the zero: the label stays, dirty is set.
  MarkerList list;
  list.Add(7);
  list.MarkWritten();
  EXPECT_EQ(list.Rename(1, std::string(40, 'x')), MarkerRenameResult::TooLong);
  EXPECT_STREQ(list.Row(1).label, "Marker 1");
  EXPECT_TRUE(list.Dirty());
}

TEST(MarkerList, LoadedLabelsKeepTheirBytesAndAreNeverCutInsideASequence) {
  // A loaded 40-byte label: 37 ASCII bytes, then a 3-byte sequence (bytes
  // 37..39). Cut to 39 bytes it would split the sequence: it loses it whole.
  MarkerTable table;
  table.count = 2;
  std::string label = std::string(37, 'z') + "\xE3\x81\x82";
  std::memcpy(table.markers[0].label, label.data(), label.size());
  table.markers[0].cueId = 9;
  table.markers[0].position = 100;
  // Bytes that are not UTF-8 (a code-page label) are kept as they are.
  std::memcpy(table.markers[1].label, "\x83\x65\x83\x58\x83\x67", 6);
  table.markers[1].cueId = 3;
  MarkerList list;
  list.Load(table, nullptr);
  EXPECT_EQ(LabelForWrite(list.Row(1).label), std::string(37, 'z'));
  EXPECT_EQ(LabelForWrite(list.Row(2).label), "\x83\x65\x83\x58\x83\x67");
  Parsed back = ParseBytes(FileWithBlock(list.BuildBlock()));
  ASSERT_EQ(back.markers->count, 2);
  EXPECT_EQ(std::string(back.markers->markers[1].label), "\x83\x65\x83\x58\x83\x67");
  EXPECT_EQ(back.markers->markers[0].cueId, 1u);  // IDs are renumbered
  EXPECT_EQ(back.markers->markers[1].cueId, 2u);
}

TEST(MarkerList, HundredMarkersRoundTripAndThe101stIsRefused) {
  MarkerList list;
  for (int i = 0; i < 100; ++i) ASSERT_EQ(list.Add(uint64_t(i) * 1000), MarkerAddResult::Added);
  EXPECT_EQ(list.Add(5), MarkerAddResult::ListFull);
  EXPECT_EQ(list.Count(), 100);
  EXPECT_STREQ(list.Row(100).label, "Marker 100");
  const std::vector<uint8_t> b = list.BuildBlock();
  EXPECT_EQ(At32(b, 4), 24u * 100 + 4);
  Parsed back = ParseBytes(FileWithBlock(b));
  ASSERT_TRUE(back.ok);
  ASSERT_EQ(back.markers->count, 100);
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(back.markers->markers[i].position, uint32_t(i) * 1000);
    EXPECT_EQ(std::string(back.markers->markers[i].label), "Marker " + std::to_string(i + 1));
  }
}

TEST(MarkerList, PositionBeyondACuePointIsRefused) {
  MarkerList list;
  EXPECT_EQ(list.Add(0x100000000ull), MarkerAddResult::PositionTooLarge);
  EXPECT_EQ(list.Add(0xFFFFFFFFull), MarkerAddResult::Added);
  EXPECT_EQ(list.Count(), 1);
}

TEST(MarkerList, DeletingRow3Of5MovesTheRowsUp) {
  MarkerList list;
  for (int i = 1; i <= 5; ++i) list.Add(uint64_t(i) * 10);
  EXPECT_EQ(list.Delete(3), 3);
  ASSERT_EQ(list.Count(), 4);
  const uint64_t expected[] = {10, 20, 40, 50};
  for (int r = 1; r <= 4; ++r) EXPECT_EQ(list.Row(r).position, expected[r - 1]);
  EXPECT_STREQ(list.Row(3).label, "Marker 4");
  // The selection stays within the rows; the last row deleted selects the new last.
  EXPECT_EQ(list.Delete(4), 3);
  EXPECT_EQ(list.Delete(9), 3);  // no such row: nothing changes
  EXPECT_EQ(list.Count(), 3);
  list.DeleteAll();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_TRUE(list.BuildBlock().empty());
  EXPECT_EQ(list.Delete(1), 0);
}

TEST(MarkerList, LoadCarriesNotesAndLtxtDetailsOver) {
  // A file whose adtl list has a note and an ltxt with its own purpose,
  // language and text for its one marker.
  const Bytes cue =
      Chunk("cue ", Le32(1) + Le32(42) + Le32(300) + Text("data") + Le32(0) + Le32(0) + Le32(300));
  const Bytes ltxtTail = Text("mark") + Le16(49) + Le16(9) + Le16(1) + Le16(1252) + Text("txt");
  const Bytes adtl =
      Chunk("LIST", Text("adtl") + Chunk("labl", Le32(42) + Text("Intro") + Bytes{0}) +
                        Chunk("note", Le32(42) + Text("a note") + Bytes{0}) +
                        Chunk("ltxt", Le32(42) + Le32(77) + ltxtTail));
  Parsed file = ParseBytes(Riff(Pcm16Stereo() + Chunk("data", Ramp(400)) + cue + adtl));
  ASSERT_TRUE(file.ok);
  MarkerList list;
  list.Add(1);
  list.Load(*file.markers, file.chunks.get());
  EXPECT_FALSE(list.Dirty());
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Row(1).note, "a note");
  EXPECT_EQ(list.Row(1).length, 77u);
  EXPECT_EQ(list.Row(1).ltxtTail, std::string(ltxtTail.begin(), ltxtTail.end()));
  const std::vector<uint8_t> b = list.BuildBlock();
  const std::string bytes(b.begin(), b.end());
  EXPECT_NE(bytes.find(std::string("a note\0", 7)), std::string::npos);
  EXPECT_NE(bytes.find(std::string(ltxtTail.begin(), ltxtTail.end())), std::string::npos);
  Parsed back = ParseBytes(FileWithBlock(b));
  ASSERT_EQ(back.markers->count, 1);
  EXPECT_STREQ(back.markers->markers[0].label, "Intro");
  EXPECT_EQ(back.markers->markers[0].length, 77u);
}

}  // namespace
}  // namespace ov
