#include "app/engine/FormatProbe.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace ov {
namespace {

// A family that accepts what `accepts` says and records every format tried.
class FakeTrier : public FormatTrier {
 public:
  std::function<ProbeAnswer(const WaveFormat&)> accepts = [](const WaveFormat&) {
    return ProbeAnswer{true, false};
  };
  bool wasapi = false;
  std::vector<WaveFormat> tried;

  bool AlwaysExtensible() const override { return wasapi; }
  bool MarksConversions() const override { return wasapi; }
  ProbeAnswer Try(const WaveFormat& f, const FormatProbeRequest&) override {
    tried.push_back(f);
    return accepts(f);
  }
};

TEST(FormatCellText, ChannelDigitsNativeMarkAndPadding) {
  EXPECT_EQ(FormatCellText(0), "    -");
  EXPECT_EQ(FormatCellText(kProbeNativeBit), "    -");
  EXPECT_EQ(FormatCellText(0x0001), "    1");
  EXPECT_EQ(FormatCellText(0x0003), "   12");
  EXPECT_EQ(FormatCellText(0x0003 | kProbeNativeBit), "   *12");
  EXPECT_EQ(FormatCellText(0x00A3), "  1268");
  EXPECT_EQ(FormatCellText(0x001F), "  12345");
  EXPECT_EQ(FormatCellText(0x00FF), " 12345678");
  EXPECT_EQ(FormatCellText(0x00FF | kProbeNativeBit), "*12345678");
  EXPECT_EQ(FormatCellText(0x0003, false), "");
}

TEST(FormatProbeFormat, RecordPerWidthAndChannels) {
  const WaveFormat s16 = ProbeFormat(44100, 1, 2, false);
  EXPECT_EQ(s16.formatTag, kWaveFormatPcm);
  EXPECT_EQ(s16.blockAlign, 4);
  EXPECT_EQ(s16.avgBytesPerSec, 176400u);
  const WaveFormat f32 = ProbeFormat(48000, kProbeFloatWidth, 1, false);
  EXPECT_EQ(f32.formatTag, kWaveFormatIeeeFloat);
  EXPECT_EQ(f32.bitsPerSample, 32);
  EXPECT_EQ(FloatWidth(f32), 32u);
  const WaveFormat s24x6 = ProbeFormat(96000, 2, 6, false);
  EXPECT_EQ(s24x6.formatTag, kWaveFormatExtensible);
  EXPECT_EQ(s24x6.blockAlign, 18);
  EXPECT_EQ(s24x6.channelMask, 0x3Fu);
  EXPECT_EQ(s24x6.validBitsPerSample, 24);
  const WaveFormat fx = ProbeFormat(44100, kProbeFloatWidth, 2, true);
  EXPECT_EQ(fx.formatTag, kWaveFormatExtensible);
  EXPECT_EQ(FloatWidth(fx), 32u);
  EXPECT_EQ(ProbeFormat(11025, 0, 1, false).blockAlign, 1);
}

TEST(FormatProbe, TriesOneTwoAndTheExtraChannelsInOrderWithOneCallbackPerCell) {
  FakeTrier t;
  FormatProbeRequest req;
  req.extraChannels = 6;
  int callbacks = 0;
  const FormatProbeTable table = RunFormatProbe(t, req, [&](uint16_t cell, int r, int w) {
    EXPECT_EQ(r * kProbeWidths + w, callbacks);
    EXPECT_EQ(cell, 0x0023);
    ++callbacks;
    return false;
  });
  EXPECT_EQ(callbacks, kProbeRates * kProbeWidths);
  EXPECT_EQ(table.cellsTried, 55);
  EXPECT_FALSE(table.cancelled);
  ASSERT_EQ(t.tried.size(), 55u * 3);
  EXPECT_EQ(t.tried[0].channels, 1);
  EXPECT_EQ(t.tried[1].channels, 2);
  EXPECT_EQ(t.tried[2].channels, 6);
  EXPECT_EQ(t.tried[3].bitsPerSample, 16);
  EXPECT_EQ(t.tried.back().samplesPerSec, 384000u);
  EXPECT_EQ(FormatCellText(table.cells[3][1]), "   126");

  // The extra count 2 (or 0) adds nothing; all channels tries 1..8.
  FakeTrier two;
  req.extraChannels = 2;
  RunFormatProbe(two, req, nullptr);
  EXPECT_EQ(two.tried.size(), 55u * 2);
  FakeTrier all;
  req.allChannels = true;
  const FormatProbeTable a = RunFormatProbe(all, req, nullptr);
  EXPECT_EQ(all.tried.size(), 55u * 8);
  EXPECT_EQ(FormatCellText(a.cells[0][0]), " 12345678");
}

TEST(FormatProbe, StopAfterKCellsLeavesTheRestNotTried) {
  for (int k : {1, 7, 54}) {
    FakeTrier t;
    int seen = 0;
    const FormatProbeTable table =
        RunFormatProbe(t, {}, [&](uint16_t, int, int) { return ++seen == k; });
    EXPECT_TRUE(table.cancelled);
    EXPECT_EQ(table.cellsTried, k);
    int tried = 0;
    for (auto& row : table.tried) {
      for (bool b : row) tried += b;
    }
    EXPECT_EQ(tried, k);
    const std::string text = FormatGridText(table);
    // The last cell was not tried: an empty cell, not "    -".
    EXPECT_EQ(text.substr(text.size() - 3), "\t\r\n");
  }
}

TEST(FormatProbe, MmeStereoSixteenBitDevice) {
  // A 16-bit stereo device: 8 and 16 bits, one or two channels, no float.
  FakeTrier t;
  t.accepts = [](const WaveFormat& f) {
    return ProbeAnswer{f.formatTag == kWaveFormatPcm && f.bitsPerSample <= 16, false};
  };
  const FormatProbeTable table = RunFormatProbe(t, {}, nullptr);
  EXPECT_EQ(FormatCellText(table.cells[3][1]), "   12");
  EXPECT_EQ(FormatCellText(table.cells[3][kProbeFloatWidth]), "    -");
  EXPECT_EQ(FormatCellText(table.cells[3][2]), "    -");
}

TEST(FormatProbe, WasapiMarksWhatAnAcceptedWidthServes) {
  FakeTrier only24;
  only24.wasapi = true;
  only24.accepts = [](const WaveFormat& f) {
    EXPECT_EQ(f.formatTag, kWaveFormatExtensible);
    return ProbeAnswer{f.bitsPerSample == 24 && f.channels <= 2, false};
  };
  FormatProbeTable play = RunFormatProbe(only24, {}, nullptr);
  EXPECT_EQ(FormatCellText(play.cells[4][2]), "   *12");
  EXPECT_EQ(FormatCellText(play.cells[4][0]), "   12");
  EXPECT_EQ(FormatCellText(play.cells[4][1]), "   12");
  EXPECT_EQ(FormatCellText(play.cells[4][3]), "    -");
  EXPECT_EQ(FormatCellText(play.cells[4][kProbeFloatWidth]), "   12");

  // 32 only: 8, 16, 24 and float served; on the record side only 24 and float.
  FakeTrier only32;
  only32.wasapi = true;
  only32.accepts = [](const WaveFormat& f) {
    return ProbeAnswer{f.bitsPerSample == 32 && FloatWidth(f) == 0 && f.channels == 2, false};
  };
  play = RunFormatProbe(only32, {}, nullptr);
  for (int w : {0, 1, 2, kProbeFloatWidth}) EXPECT_EQ(FormatCellText(play.cells[0][w]), "    2");
  EXPECT_EQ(FormatCellText(play.cells[0][3]), "   *2");
  FormatProbeRequest rec;
  rec.input = true;
  const FormatProbeTable record = RunFormatProbe(only32, rec, nullptr);
  EXPECT_EQ(FormatCellText(record.cells[0][0]), "    -");
  EXPECT_EQ(FormatCellText(record.cells[0][1]), "    -");
  EXPECT_EQ(FormatCellText(record.cells[0][2]), "    2");
  EXPECT_EQ(FormatCellText(record.cells[0][kProbeFloatWidth]), "    2");

  // A natively accepted 16 is not marked again by 24 or 32.
  FakeTrier native16;
  native16.wasapi = true;
  native16.accepts = [](const WaveFormat& f) {
    return ProbeAnswer{
        (f.bitsPerSample == 16 && f.channels == 2) || (f.bitsPerSample == 24 && f.channels == 1),
        false};
  };
  play = RunFormatProbe(native16, {}, nullptr);
  EXPECT_EQ(FormatCellText(play.cells[0][1]), "   *2");
  EXPECT_EQ(FormatCellText(play.cells[0][0]), "   12");
}

TEST(FormatGrid, LabelsTextSelectionAndPick) {
  EXPECT_EQ(FormatGridCorner(), " Fs\\bit");
  EXPECT_EQ(FormatGridRowLabel(0), "  11025");
  EXPECT_EQ(FormatGridRowLabel(10), " 384000");
  EXPECT_EQ(FormatGridColumnLabel(0), "    8 ");
  EXPECT_EQ(FormatGridColumnLabel(4), "   F32");
  FormatProbeTable empty;
  const std::string text = FormatGridText(empty);
  EXPECT_EQ(text.substr(0, 28), " Fs\\bit\t    8 \t   16 \t   24 ");
  int lines = 0;
  for (size_t p = 0; (p = text.find("\r\n", p)) != std::string::npos; p += 2) ++lines;
  EXPECT_EQ(lines, 12);

  int r = -1, w = -1;
  FormatGridSelection(44100, 16, r, w);
  EXPECT_EQ(r, 3);
  EXPECT_EQ(w, 1);
  FormatGridSelection(48000, -32, r, w);
  EXPECT_EQ(r, 4);
  EXPECT_EQ(w, kProbeFloatWidth);
  FormatGridSelection(12345, 16, r, w);  // a rate not in the list: bottom right
  EXPECT_EQ(r, 10);
  EXPECT_EQ(w, 4);
  FormatGridSelection(44100, 20, r, w);
  EXPECT_EQ(r, 10);
  EXPECT_EQ(w, 4);

  EXPECT_TRUE(FormatGridPick(1, 1, r, w));
  EXPECT_EQ(r, 0);
  EXPECT_EQ(w, 0);
  EXPECT_TRUE(FormatGridPick(5, 11, r, w));
  EXPECT_EQ(r, 10);
  EXPECT_EQ(w, 4);
  EXPECT_FALSE(FormatGridPick(0, 3, r, w));  // the fixed column
  EXPECT_FALSE(FormatGridPick(3, 0, r, w));  // the fixed row
  EXPECT_FALSE(FormatGridPick(-1, -1, r, w));
  EXPECT_FALSE(FormatGridPick(6, 3, r, w));
}

}  // namespace
}  // namespace ov
