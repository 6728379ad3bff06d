// The wave information window's texts from parsed hand-made files: tree,
// fields, dump columns, summaries and every decoded view, including chunks
// that claim more than they hold.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/wavefile/TextDecode.h"
#include "app/wavefile/WaveFileTestBytes.h"
#include "app/wavefile/WaveInfoText.h"

namespace ov {
namespace {

using namespace testbytes;

std::unique_ptr<ChunkTable> Parse(const Bytes& file, uint32_t dataSaveBytes = 512) {
  auto table = std::make_unique<ChunkTable>();
  MarkerTable markers;
  MemoryByteSource source(file.data(), file.size());
  WaveFormat format{};
  WaveFileInfo info;
  ReaderMessage message;
  ParseOptions options;
  options.chunks = table.get();
  options.markers = &markers;
  options.dataSaveBytes = dataSaveBytes;
  ParseWaveSource(source, &format, &info, &message, options, false);
  return table;
}

int NodeOf(const ChunkTable& t, const char* id) {
  for (const ChunkNode& n : BuildChunkTree(t)) {
    if (n.id == id) return n.index;
  }
  return -1;
}

std::string View(const ChunkTable& t, const char* id, CharCode code = CharCode::Ascii) {
  WaveInfoOptions o;
  o.code = code;
  return BuildNodeView(t, NodeOf(t, id), o).memo2;
}

Bytes Z(const char* s) {
  return Text(s) + Bytes{0};
}

TEST(WaveInfoTextTest, InfoListIsATreeWithItsSubChunks) {
  const auto t =
      Parse(Riff(Pcm16Stereo() +
                 Chunk("LIST", Text("INFO") + Chunk("INAM", Z("Song")) + Chunk("ISFT", Z("Tool")) +
                                   Chunk("IXYZ", Text("odd"))) +
                 Chunk("data", Ramp(400))));
  const std::vector<ChunkNode> nodes = BuildChunkTree(*t);
  std::vector<std::string> shape;
  for (const ChunkNode& n : nodes) shape.push_back(n.id + "<" + std::to_string(n.parent));
  EXPECT_EQ(shape, (std::vector<std::string>{"RIFF<-1", "fmt <0", "LIST<0", "INAM<2", "ISFT<2",
                                             "IXYZ<2", "data<0"}));
  EXPECT_EQ(nodes[3].depth, 2);
  EXPECT_EQ(View(*t, "LIST"),
            "--- INFO list ---\r\n\r\n[INAM] Name\r\nSong \r\n\r\n[ISFT] Software\r\nTool "
            "\r\n\r\n[IXYZ] \r\nodd \r\n\r\n");
}

TEST(WaveInfoTextTest, NodeFieldsAndTheDumpOfAChunkOffSixteen) {
  const auto t = Parse(Riff(Pcm16Stereo() + Chunk("data", Ramp(8))));
  WaveInfoOptions o;
  const NodeView root = BuildNodeView(*t, 0, o);
  EXPECT_EQ(root.name, " RIFF");
  EXPECT_EQ(root.offset, " 0x00000000");
  EXPECT_EQ(root.size, " 12 (0x0000000C)");
  EXPECT_EQ(root.ruler1, kDumpRuler);
  EXPECT_EQ(root.ruler2, "[contents]");
  EXPECT_EQ(root.memo1,
            "0000000000: 52 49 46 46 2C 00 00 00 57 41 56 45             RIFF,...WAVE    \r\n");

  const NodeView fmt = BuildNodeView(*t, 1, o);
  EXPECT_EQ(fmt.offset, " 0x0000000C");
  EXPECT_EQ(fmt.size, " 16 (0x00000010)");
  EXPECT_EQ(fmt.memo1,
            "0000000000: " + std::string(36, ' ') + "66 6D 74 20 " + std::string(12, ' ') +
                "fmt \r\n"
                "0000000010: 10 00 00 00 01 00 02 00 44 AC 00 00 10 B1 02 00 ........D.......\r\n"
                "0000000020: 04 00 10 00 " +
                std::string(36, ' ') + "...." + std::string(12, ' ') + "\r\n");
  const SummaryFields s = BuildSummaryFields(*t, ".");
  EXPECT_EQ(s.format, " 44100Hz 16bit 2ch");
  EXPECT_EQ(s.samples, " 2");
  EXPECT_EQ(s.time, " 00h00m00s000");
}

TEST(WaveInfoTextTest, DataKeepsItsTopAndEndWithNotes) {
  const auto t = Parse(Riff(Pcm16Stereo() + Chunk("data", Ramp(100000))), 512);
  WaveInfoOptions o;
  const NodeView v = BuildNodeView(*t, NodeOf(*t, "data"), o);
  EXPECT_EQ(v.dumpBytes, 520u + 512u);
  EXPECT_EQ(v.size, " 100,000 (0x000186A0)");
  const std::string top = "             |     data top 512 bytes (continued...)     | \r\n";
  ASSERT_GT(v.memo1.size(), top.size());
  EXPECT_EQ(v.memo1.substr(v.memo1.size() - top.size()), top);
  // The last data byte kept lies at 44 + 511 = 0x22B and holds 511 % 251.
  EXPECT_NE(v.memo1.find("0000000220: F9 FA 00 01 02 03 04 05 06 07 08 09" + std::string(13, ' ') +
                         "............    \r\n" + top),
            std::string::npos);
  const std::string end = "             |           data end 512 bytes              | \r\n";
  EXPECT_EQ(v.memo2.rfind(end, 0), 0u);
  EXPECT_EQ(v.ruler2, kDumpRuler);
  // The notes are the program's text, marked so the window decodes them
  // apart from the file's bytes.
  EXPECT_EQ(v.memo1NotesFrom, v.memo1.size() - top.size());
  EXPECT_EQ(v.memo2NotesEnd, end.size());
  EXPECT_EQ(BuildNodeView(*t, 0, o).memo1NotesFrom, std::string::npos);
  EXPECT_EQ(BuildNodeView(*t, 0, o).memo2NotesEnd, 0u);
  // The last 512 bytes at their file offsets: 44 + 100000 - 512 = 0x184CC.
  EXPECT_EQ(v.memo2.substr(end.size(), 12 + 36), "00000184C0: " + std::string(36, ' '));
  EXPECT_NE(v.memo2.find("00000186C0: "), std::string::npos);
  EXPECT_EQ(v.memo2.find("00000186D0: "), std::string::npos);

  WaveInfoOptions japanese;
  japanese.language = Language::Japanese;
  EXPECT_EQ(BuildNodeView(*t, NodeOf(*t, "data"), japanese).ruler2, kDumpRuler);
  EXPECT_NE(BuildNodeView(*t, NodeOf(*t, "data"), japanese)
                .memo1.find("             |      データ先頭 512 バイト (続く...)      | \r\n"),
            std::string::npos);
}

TEST(WaveInfoTextTest, TextColumnsForEachCharacterCode) {
  struct Row {
    CharCode code;
    Bytes bytes;
    std::string column;  // the 16 (or more) cells of the first line
    std::string second;  // the second line's column, when there is one
  };
  const Bytes sjisA{0x82, 0xA0};  // Shift-JIS HIRAGANA A
  const Bytes utf8A{0xE3, 0x81, 0x82};
  const Row rows[] = {
      {CharCode::Ascii, Text("ab") + Bytes{0x82, 0xA0, 0x7F, 0xB1}, "ab....          ", ""},
      {CharCode::ShiftJis, Text("ab") + sjisA + Bytes{0xB1, 0x82, 0x20},
       "ab\x82\xA0\xB1. " + std::string(9, ' '), ""},
      {CharCode::Utf8, Text("a") + utf8A + Bytes{0xC3, 0xA9, 0xE3, 0x81},
       "a\xE3\x81\x82 \xC3\xA9.." + std::string(8, ' '), ""},
      // A 3-byte character starting in the last column: two cells there, and
      // its two further bytes one space each on the next line.
      {CharCode::Utf8, Fill(15, 'x') + utf8A + Text("yz"), std::string(15, 'x') + "\xE3\x81\x82",
       "  yz" + std::string(12, ' ')},
      {CharCode::ShiftJis, Fill(15, 'x') + sjisA + Text("y"), std::string(15, 'x') + "\x82\xA0",
       " y" + std::string(14, ' ')},
  };
  for (const Row& r : rows) {
    std::string out;
    AppendDump(out, r.bytes.data(), r.bytes.size(), 0x40, r.code);
    const size_t first = out.find("\r\n");
    EXPECT_EQ(out.substr(12 + 48, first - 60), r.column) << static_cast<int>(r.code);
    if (!r.second.empty()) {
      const size_t next = first + 2;
      EXPECT_EQ(out.substr(next + 60, out.find("\r\n", next) - next - 60), r.second);
    }
  }
}

TEST(WaveInfoTextTest, ExtensibleFormatNamesMaskBitsAndSubFormat) {
  const Bytes guid = Le32(1) + Le16(0) + Le16(0x10) + Bytes{0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
  const Bytes fmt = FmtContent(0xFFFE, 6, 48000, 24) + Le16(22) + Le16(24) + Le32(0x3F) + guid;
  const auto t = Parse(Riff(Chunk("fmt ", fmt) + Chunk("data", Ramp(36))));
  EXPECT_EQ(View(*t, "fmt "),
            "--- format chunk ---\r\n\r\n"
            "[wFormatTag (2B)]          0xFFFE (WAVE_FORMAT_EXTENSIBLE)\r\n"
            "[nChannels (2B)]           6 \r\n"
            "[nSamplesPerSec (4B)]      48,000 \r\n"
            "[nAvgBytesPerSec (4B)]     864,000  (nSamplesPerSec * nBlockAlign)\r\n"
            "[nBlockAlign (2B)]         18  (nChannels * wBitsPerSample / 8)\r\n"
            "[wBitsPerSample (2B)]      24 \r\n"
            "[cbSize (2B)]              22 \r\n"
            "[wValidBitsPerSample (2B)] 24 \r\n"
            "[dwChannelMask (4B)]       63 (0x0000003F)\r\n" +
                std::string(27, ' ') +
                "FRONT_L, FRONT_R, FRONT_C, LOW_FRQ, BACK_L, BACK_R\r\n"
                "[SubFormat (16B)]          {00000001-0000-0010-8000-00AA00389B71}\r\n"
                "                            (KSDATAFORMAT_SUBTYPE_PCM)\r\n");
}

TEST(WaveInfoTextTest, MpegLayer3FormatShowsTheFieldsItHolds) {
  // 0x55 with 22 bytes: cbSize, wID and only part of the rest.
  const Bytes fmt = FmtContent(0x55, 2, 44100, 0) + Le16(12) + Le16(1) + Le16(0x0202);
  const auto t = Parse(Riff(Chunk("fmt ", fmt) + Chunk("data", Ramp(8))));
  const std::string v = View(*t, "fmt ");
  EXPECT_NE(v.find("0x0055 (WAVE_FORMAT_MPEGLAYER3)\r\n"), std::string::npos);
  EXPECT_NE(v.find("[cbSize (2B)]              12 \r\n[wID (2B)]                 1 \r\n"),
            std::string::npos);
  EXPECT_EQ(v.find("fdwFlags"), std::string::npos);
  EXPECT_EQ(BuildSummaryFields(*t, ",").format, " 44100Hz 2ch");
}

TEST(WaveInfoTextTest, JunkIsDescribedOnlyAsTheFirstChunk) {
  const auto t = Parse(Riff(Chunk("JUNK", Fill(28, 0)) + Pcm16Stereo() + Chunk("JUNK", Fill(4, 0)) +
                            Chunk("data", Ramp(8))));
  WaveInfoOptions o;
  EXPECT_EQ(BuildNodeView(*t, 1, o).memo2, "--- Reserved space for RF64 ds64 chunk ---\r\n\r\n");
  EXPECT_EQ(BuildNodeView(*t, 3, o).memo2, "");
}

TEST(WaveInfoTextTest, Rf64SummaryAndDs64View) {
  const auto t = Parse(Rf64(Pcm16Stereo() + RawChunk("data", 0xFFFFFFFFu, Ramp(64)), 64, 16));
  WaveInfoOptions o;
  const NodeView root = BuildNodeView(*t, 0, o);
  EXPECT_EQ(root.memo2,
            "[file type]           RF64 WAVE\r\n\r\n"
            "[actual file size]    144 (0x00000090)  (0.000MB)\r\n\r\n"
            "[header size]         80 (0x00000050)  (offset of wave data)\r\n\r\n"
            "[filesize(header)]    4,294,967,295 (0xFFFFFFFF)  (dummy)\r\n\r\n"
            "[RF64 file size]      136 (0x00000088)  (actual file size - 8)\r\n\r\n");
  EXPECT_EQ(View(*t, "ds64"),
            "--- RF64 ds64 (data size 64) chunk ---\r\n\r\n"
            "[riffSizeLow  (4B)]     136 (0x00000088)\r\n"
            "[riffSizeHigh (4B)]     0 (0x00000000)\r\n"
            "    [riffSize (8B)]     136 (0x00000088)\r\n\r\n"
            "[dataSizeLow  (4B)]     64 (0x00000040)\r\n"
            "[dataSizeHigh (4B)]     0 (0x00000000)\r\n"
            "    [dataSize (8B)]     64 (0x00000040)\r\n\r\n"
            "[sampleCountLow  (4B)]  16 (0x00000010)\r\n"
            "[sampleCountHigh (4B)]  0 (0x00000000)\r\n"
            "    [sampleCount (8B)]  16 (0x00000010)\r\n\r\n"
            "[tableLength (4B)]      0 (0x00000000)\r\n\r\n");
  EXPECT_EQ(BuildNodeView(*t, NodeOf(*t, "data"), o).size, " 64 (0x00000040)");
}

TEST(WaveInfoTextTest, SizeMismatchLineWhenAZeroSizeChunkEndsTheWalk) {
  const auto t =
      Parse(Riff(Pcm16Stereo() + Chunk("data", Ramp(8)) + RawChunk("zero", 0, {}) + Fill(40, 0)));
  EXPECT_NE(BuildNodeView(*t, 0, {}).memo2.find("[size mismatch]       "), std::string::npos)
      << BuildNodeView(*t, 0, {}).memo2;
}

TEST(WaveInfoTextTest, SummaryFieldsStayEmptyForAZeroBlockAlignOrRate) {
  ChunkTable t;
  t.fmtFound = t.formatKnown = 1;
  t.format.formatTag = 1;
  t.format.channels = 2;
  t.format.bitsPerSample = 16;
  t.format.samplesPerSec = 48000;
  t.dataSize = 48000 * 4 * 3725 + 4 * 24;
  t.format.blockAlign = 0;
  EXPECT_EQ(BuildSummaryFields(t, ",").samples, "");
  t.format.blockAlign = 4;
  EXPECT_EQ(BuildSummaryFields(t, ",").samples, " 178,800,024");
  EXPECT_EQ(BuildSummaryFields(t, ",").time, " 01h02m05s000");
  t.format.samplesPerSec = 0;
  EXPECT_EQ(BuildSummaryFields(t, ",").time, "");
}

TEST(WaveInfoTextTest, SmallViewsOnHandMadeChunks) {
  const Bytes cue = Le32(3) + Le32(7) + Le32(1000) + Text("data") + Le32(0) + Le32(0) +
                    Le32(1000);                                 // says 3 points, holds 1
  const Bytes plst = Le32(2) + Le32(7) + Le32(4410) + Le32(1);  // says 2, holds 1
  const Bytes adtl = Text("adtl") + Chunk("labl", Le32(7) + Z("\xE3\x81\x82")) +
                     Chunk("ltxt", Le32(7) + Le32(4410) + Text("rgn ") + Le16(1) + Le16(2) +
                                       Le16(3) + Le16(4) + Text("t")) +
                     RawChunk("note", 100, Le32(7) + Text("cut"));
  const auto t = Parse(Riff(Pcm16Stereo() + Chunk("fact", Le32(12345)) +
                            Chunk("DISP", Le32(1) + Text("shown")) + Chunk("cue ", cue) +
                            Chunk("plst", plst) + Chunk("data", Ramp(8)) +
                            Chunk("_PMX", Text("<a>\n<b/>\n</a>")) + Chunk("LIST", adtl)));
  EXPECT_EQ(View(*t, "fact"),
            "--- fact chunk ---\r\n\r\n[dwSampleLength (4B)]    12345 (0x00003039)\r\n");
  EXPECT_EQ(View(*t, "DISP"), "--- DISP chunk ---\r\n\r\n[dwType (4B)]    1   CF_TEXT\r\nshown");
  EXPECT_EQ(View(*t, "cue "),
            "--- cue (Cue points) chunk ---\r\n\r\n[dwCuePoints (4B)]      3 \r\n\r\n"
            "[dwName (4B)]           0x00000007 \r\n"
            "[dwPosition (4B)]       1,000 (0x000003E8) \r\n"
            "[fccChunk (4B)]         'data' \r\n"
            "[dwChunkStart (4B)]     0 \r\n"
            "[dwBlockStart (4B)]     0 (0x00000000) \r\n"
            "[dwSampleOffset (4B)]   1,000 (0x000003E8) \r\n");
  EXPECT_EQ(View(*t, "plst"),
            "--- plst (Playlist) chunk ---\r\n\r\n[dwSegments (4B)]      2 \r\n\r\n"
            "[dwName (4B)]           0x00000007 \r\n"
            "[dwLength (4B)]         4,410 (0x0000113A) \r\n"
            "[dwLoopst (4B)]         1 \r\n");
  EXPECT_EQ(View(*t, "_PMX"),
            "--- XMP (Extensible Metadata Platform) chunk ---\r\n\r\n<a> \r\n<b/> \r\n</a> \r\n");
  WaveInfoOptions o;
  o.code = CharCode::Utf8;
  const NodeView list = BuildNodeView(*t, NodeOf(*t, "LIST"), o);
  EXPECT_EQ(list.memo2Encoding, TextEncoding::Utf8);
  EXPECT_EQ(DecodeToUtf8(list.memo2, list.memo2Encoding),
            "--- adtl (Associated Data) list ---\r\n\r\n"
            "[labl] \r\n[dwName (4B)]           0x00000007 \r\n\xE3\x81\x82 \r\n\r\n"
            "[ltxt] \r\n[dwName (4B)]           0x00000007 \r\n"
            "[dwSampleLength (4B)]   4,410 (0x0000113A) \r\n"
            "[dwPurpose (4B)]        'rgn ' \r\n"
            "[wCountry (2B)]         1 \r\n[wLanguage (2B)]        2 \r\n"
            "[wDialect (2B)]         3 \r\n[wCodePage (2B)]        4 \r\nt \r\n\r\n"
            "[note] \r\n[dwName (4B)]           0x00000007 \r\ncut \r\n\r\n");
  EXPECT_EQ(BuildNodeView(*t, NodeOf(*t, "LIST"), {}).memo2Encoding, TextEncoding::SystemAnsi);
}

TEST(WaveInfoTextTest, BextFieldsLoudnessInHexAndShortChunks) {
  Bytes bext = Text("A description") + Fill(256 - 13, 0) + Text("Orlavisonic") + Fill(21, 0) +
               Fill(32, 0) + Text("2026-12-09") + Text("17:05:00") + Le64(48000) + Le16(2) +
               Ramp(64) + Le16(0xF704) + Le16(0x0050) + Le16(0xFF9C) + Le16(0) + Le16(1) +
               Fill(180, 0) + Text("A=PCM,F=48000\r\n");
  const auto t = Parse(Riff(Pcm16Stereo() + Chunk("bext", bext) + Chunk("data", Ramp(8))));
  const std::string v = View(*t, "bext");
  EXPECT_NE(v.find("[Description (256B)]\r\nA description \r\n\r\n[Originator (32B)]           "
                   "Orlavisonic \r\n\r\n"),
            std::string::npos);
  EXPECT_NE(v.find("[TimeReference (4+4B)]       48,000 (0x000000000000BB80)\r\n\r\n"),
            std::string::npos);
  EXPECT_NE(v.find("[LoudnessValue (2B)]         -2300 (0xF704)\r\n"), std::string::npos);
  EXPECT_NE(v.find("[MaxTruePeakLevel (2B)]      -100 (0xFF9C)\r\n"), std::string::npos);
  EXPECT_NE(v.find(" 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F\r\n"), std::string::npos);
  EXPECT_EQ(v.substr(v.size() - 32), "[CodingHistory]\r\nA=PCM,F=48000\r\n");
  EXPECT_NE(BuildNodeView(*t, 0, {}).memo2.find("RIFF WAVE  BWF\r\n"), std::string::npos);

  // A bext chunk of 300 bytes: the fields it holds, nothing past them.
  bext.resize(300);
  const auto shortT = Parse(Riff(Pcm16Stereo() + Chunk("bext", bext) + Chunk("data", Ramp(8))));
  const std::string s = View(*shortT, "bext");
  EXPECT_NE(s.find("[Originator (32B)]           Orlavisonic \r\n"), std::string::npos);
  EXPECT_EQ(s.find("TimeReference"), std::string::npos);
}

TEST(WaveInfoTextTest, HugeChunksAreDumpedOnlyToTheLimit) {
  ChunkTable t;
  std::memcpy(t.fileHeader, "RIFF\0\0\0\0WAVE", 12);
  t.count = 1;
  ChunkEntry& e = t.entries[0];
  std::memcpy(e.id, "big ", 4);
  e.level = 1;
  e.headerOffset = 12;
  e.size = 3u << 20;
  e.length = 3u << 20;
  e.content.reset(new uint8_t[e.length + 1]());
  WaveInfoOptions o;
  const NodeView v = BuildNodeView(t, 1, o);
  EXPECT_EQ(v.dumpBytes, 8u + (1u << 20));
  const std::string note =
      "             |     first 1,048,576 bytes shown (continued...)     | \r\n";
  EXPECT_EQ(v.memo1.substr(v.memo1.size() - note.size()), note);
  EXPECT_LT(v.memo1.size(), 6u << 20);
}

TEST(WaveInfoTextTest, FourHundredChunksAndBrokenListsKeepToTheBytesHeld) {
  Bytes chunks = Pcm16Stereo() + Chunk("data", Ramp(8));
  // An INFO sub-chunk claiming more than the list holds; a text without a zero.
  for (int i = 0; i < 396; ++i) chunks = chunks + Chunk("pad ", Fill(2, 'p'));
  chunks = chunks + Chunk("LIST", Text("INFO") + RawChunk("INAM", 1000, Text("abc")));
  const auto t = Parse(Riff(chunks));
  EXPECT_EQ(t->count, 400);
  const std::vector<ChunkNode> nodes = BuildChunkTree(*t);
  EXPECT_EQ(nodes.size(), 401u);
  EXPECT_EQ(nodes[398].parent, 0);
  EXPECT_EQ(nodes.back().parent, 399);
  EXPECT_EQ(View(*t, "LIST"), "--- INFO list ---\r\n\r\n[INAM] Name\r\nabc \r\n\r\n");
  WaveInfoOptions o;
  for (const ChunkNode& n : nodes) {
    for (CharCode code : {CharCode::Ascii, CharCode::ShiftJis, CharCode::Utf8}) {
      o.code = code;
      ASSERT_FALSE(BuildNodeView(*t, n.index, o).memo1.empty());
    }
  }
  EXPECT_TRUE(BuildNodeView(*t, 401, o).memo1.empty());
}

TEST(WaveInfoTextTest, TheWindowsCopyOutlivesTheEnginesTable) {
  auto t = Parse(Riff(Pcm16Stereo() + Chunk("LIST", Text("INFO") + Chunk("INAM", Z("Song"))) +
                      Chunk("data", Ramp(2000))),
                 512);
  WaveInfoOptions o;
  std::vector<std::string> before;
  for (int k = 0; k <= t->count; ++k) before.push_back(BuildNodeView(*t, k, o).memo1);
  const std::unique_ptr<ChunkTable> copy = CopyChunkTable(*t);
  ASSERT_TRUE(copy);
  t->Clear();  // the engine re-parses: the old contents are freed
  t.reset();
  ASSERT_EQ(copy->count + 1, static_cast<int>(before.size()));
  for (int k = 0; k <= copy->count; ++k) EXPECT_EQ(BuildNodeView(*copy, k, o).memo1, before[k]);
  EXPECT_NE(BuildNodeView(*copy, 4, o).memo2.find("data end 512 bytes"), std::string::npos);
}

TEST(WaveInfoTextTest, GroupedDecimals) {
  EXPECT_EQ(GroupedDecimal(0, ","), "0");
  EXPECT_EQ(GroupedDecimal(999, ","), "999");
  EXPECT_EQ(GroupedDecimal(1000, ","), "1,000");
  EXPECT_EQ(GroupedDecimal(18446744073709551615ull, "."), "18.446.744.073.709.551.615");
  EXPECT_EQ(GroupedDecimal(1234567, "\xC2\xA0"),
            "1\xC2\xA0"
            "234\xC2\xA0"
            "567");
}

// Every corpus file, every node, every character code: the sanitizers see
// every view built from real-world and malformed files.
TEST(WaveInfoTextTest, EveryCorpusFileBuildsEveryView) {
  const std::string root = std::string(OV_SHARED_DIR) + "/testdata/wav/";
  std::vector<std::string> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root, error)) {
    if (entry.is_regular_file()) files.push_back(entry.path().string());
  }
  if (files.empty()) GTEST_SKIP() << "no corpus at " << root;
  auto table = std::make_unique<ChunkTable>();
  auto markers = std::make_unique<MarkerTable>();
  for (const std::string& file : files) {
    ParseOptions options;
    options.chunks = table.get();
    options.markers = markers.get();
    WaveFormat format{};
    WaveFileInfo info;
    ReaderMessage message;
    ParseWaveFile(file.c_str(), &format, &info, &message, options);
    for (const ChunkNode& n : BuildChunkTree(*table)) {
      ASSERT_LT(n.parent, n.index) << file;
      for (CharCode code : {CharCode::Ascii, CharCode::ShiftJis, CharCode::Utf8}) {
        WaveInfoOptions o;
        o.code = code;
        const NodeView v = BuildNodeView(*table, n.index, o);
        ASSERT_EQ(v.memo1.rfind("00000", 0), 0u) << file << " node " << n.index;
        DecodeToUtf8(v.memo2, v.memo2Encoding);
      }
    }
    BuildSummaryFields(*table, ",");
  }
}

}  // namespace
}  // namespace ov
