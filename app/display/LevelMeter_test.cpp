#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/display/LevelMeterLayout.h"
#include "app/display/LevelMeterModel.h"

namespace ov {
namespace {

std::string HoldText(int32_t v) {
  char t[8];
  MeterHoldText(v, t);
  return t;
}
std::string MarginText(int32_t v) {
  char t[8];
  MeterMarginText(v, t);
  return t;
}

TEST(LevelMeterText, HoldAndMarginAtEachBoundary) {
  struct Row {
    int32_t level;
    const char* hold;
    const char* margin;
  };
  const Row rows[] = {
      {0, " 0.0", " 0.0"},   {-1, "-0.1", " 0.1"}, {-45, "-4.5", " 4.5"},
      {-99, "-9.9", " 9.9"}, {-100, "-10", " 10"}, {-123, "-12", " 12"},
      {-899, "-89", " 89"},  {-900, "---", " --"}, {-960, "---", " --"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(HoldText(r.level), r.hold) << r.level;
    EXPECT_EQ(MarginText(r.level), r.margin) << r.level;
  }
}

struct MeterRun {
  LevelMeterModel model;
  void Update(int32_t peak, int32_t rms, bool margin = false) {
    const int32_t p[2] = {peak, peak}, r[2] = {rms, rms};
    model.Update(p, r, 2, margin);
  }
};

TEST(LevelMeterModel, FirstUpdateAfterResetShowsThePeakAndTheHoldFallsAfterFiftyUpdates) {
  MeterRun m;
  m.model.Reset();
  m.Update(-100, -200);
  EXPECT_EQ(m.model.Channel(0).hold, -100);
  EXPECT_STREQ(m.model.Channel(0).text, "-10");
  EXPECT_TRUE(m.model.Channel(0).textDirty);
  m.model.MarkDrawn(0);
  for (int i = 0; i < 49; ++i) m.Update(-300, -400);
  EXPECT_EQ(m.model.Channel(0).hold, -100);
  EXPECT_FALSE(m.model.Channel(0).textDirty);
  m.Update(-300, -400);  // the 50th update without a higher peak
  EXPECT_EQ(m.model.Channel(0).hold, -300);
  EXPECT_STREQ(m.model.Channel(0).text, "-30");
  EXPECT_TRUE(m.model.Channel(0).textDirty);
  // A higher peak is held at once.
  m.Update(-50, -400);
  EXPECT_EQ(m.model.Channel(0).hold, -50);
  EXPECT_STREQ(m.model.Channel(0).text, "-5.0");
}

TEST(LevelMeterModel, RmsIsTheMeanOfTheLastFourAndPeaksAboveFullScaleCountAsZero) {
  MeterRun m;
  m.model.Reset();
  m.Update(30, -100);
  EXPECT_EQ(m.model.Channel(0).peak, 0);
  // (-100 - 960 x 3) / 4
  EXPECT_EQ(m.model.Channel(0).rmsAverage, (-100 - 2880) / 4);
  m.Update(-10, -200);
  m.Update(-10, -300);
  m.Update(-10, -400);
  EXPECT_EQ(m.model.Channel(0).rmsAverage, -250);
  m.Update(-10, -500);  // the oldest value leaves the ring
  EXPECT_EQ(m.model.Channel(0).rmsAverage, -350);
}

TEST(LevelMeterModel, MarginKeepsTheHighestPeakUntilItsReset) {
  MeterRun m;
  m.model.Reset();
  m.Update(-123, -200, true);
  EXPECT_STREQ(m.model.Channel(1).text, " 12");
  m.Update(-300, -400, true);
  EXPECT_STREQ(m.model.Channel(1).text, " 12");
  m.Update(-45, -400, true);
  EXPECT_STREQ(m.model.Channel(1).text, " 4.5");
  m.model.ResetMargins();
  m.Update(-300, -400, true);
  EXPECT_STREQ(m.model.Channel(1).text, " 30");
}

TEST(LevelMeterModel, BarExtentsClampAtFullScaleAndTheFloor) {
  MeterRun m;
  m.model.Reset();
  m.Update(0, 20);  // RMS 2 dB above full scale (a sine with its 3.01 dB)
  for (int i = 0; i < 3; ++i) m.Update(0, 20);
  MeterBarExtent e = m.model.Extent(0, 300);
  EXPECT_EQ(e.rms, 300);
  EXPECT_EQ(e.peak, 300);
  EXPECT_EQ(e.hold, 300);
  m.model.Reset();
  for (int i = 0; i < 4; ++i) m.Update(-600, -700);
  e = m.model.Extent(0, 300);
  EXPECT_EQ(e.rms, 0);
  EXPECT_EQ(e.peak, 0);
  EXPECT_EQ(e.hold, 0);
  m.model.Reset();
  for (int i = 0; i < 4; ++i) m.Update(-150, -300);
  e = m.model.Extent(0, 300);
  EXPECT_EQ(e.rms, 150);   // (600 - 300) x 300 / 600
  EXPECT_EQ(e.peak, 225);  // (600 - 150) x 300 / 600
}

TEST(LevelMeterLayout, TwoVerticalBars) {
  // "0dB" 18 x 12, "-8.8" 20 wide; a 46 x 300 client.
  const MeterGeometry g = LayOutMeter(true, 2, {46, 300}, 18, 12, 20, false);
  EXPECT_EQ(g.fontHeight, 10);
  EXPECT_EQ(g.thickness, 6);
  EXPECT_EQ(g.base, 284);
  EXPECT_EQ(g.farEnd, 25);
  EXPECT_EQ(g.length, 255);
  EXPECT_EQ(g.barX[0], 4);
  EXPECT_EQ(g.scaleX, 15);
  EXPECT_EQ(g.barX[1], 35);
  EXPECT_EQ(g.labelX[0], 6);
  EXPECT_EQ(g.labelX[1], 36);
  EXPECT_EQ(g.labelY[1], 287);
  EXPECT_EQ(g.numberX[0], 4);
  EXPECT_EQ(g.numberX[1], 24);
  EXPECT_EQ(g.numberY[0], 2);
  EXPECT_EQ(g.numberY[1], 12);
  EXPECT_FALSE(g.resetShown);
  EXPECT_EQ(g.resetButton, (MeterRect{0, 11, 26, 13}));
  EXPECT_STREQ(g.resetCaption, "Res");
}

TEST(LevelMeterLayout, TwoHorizontalBars) {
  const MeterGeometry g = LayOutMeter(false, 2, {330, 42}, 18, 12, 20, true);
  EXPECT_EQ(g.fontHeight, 13);
  EXPECT_EQ(g.thickness, 7);
  EXPECT_EQ(g.base, 16);
  EXPECT_EQ(g.farEnd, 301);
  EXPECT_EQ(g.length, 281);
  EXPECT_EQ(g.barY[0], 4);
  EXPECT_EQ(g.scaleY, 15);
  EXPECT_EQ(g.barY[1], 30);
  EXPECT_EQ(g.labelY[0], 2);
  EXPECT_EQ(g.labelY[1], 28);
  EXPECT_EQ(g.numberX[1], 308);
  EXPECT_EQ(g.numberY[0], 2);
  EXPECT_EQ(g.numberY[1], 28);
  EXPECT_TRUE(g.resetShown);
  EXPECT_EQ(g.resetButton, (MeterRect{307, 14, 22, 15}));
  // A wider number column leaves room for the long caption.
  EXPECT_STREQ(LayOutMeter(false, 2, {330, 42}, 18, 12, 40, true).resetCaption, "Reset");
}

TEST(LevelMeterLayout, ManyBarsInBothOrientations) {
  const MeterGeometry v = LayOutMeter(true, 8, {200, 300}, 18, 12, 20, false);
  EXPECT_EQ(v.fontHeight, 18);
  EXPECT_EQ(v.thickness, 14);
  EXPECT_EQ(v.scaleX, 4);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(v.barX[i], 25 + 21 * i);
    EXPECT_EQ(v.labelX[i], 31 + 21 * i);
    EXPECT_EQ(v.numberX[i], 22 + 21 * i);
    EXPECT_EQ(v.numberY[i], i % 2 ? 20 : 2);
  }
  EXPECT_EQ(v.length, 239);

  const MeterGeometry h = LayOutMeter(false, 3, {300, 100}, 18, 12, 20, true);
  EXPECT_EQ(h.fontHeight, 28);
  EXPECT_EQ(h.thickness, 21);
  EXPECT_EQ(h.scaleY, 2);
  const int32_t barY[3] = {17, 45, 73};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(h.barY[i], barY[i]);
    EXPECT_EQ(h.labelY[i], barY[i] + 5);
    EXPECT_EQ(h.numberY[i], barY[i] - 4);
    EXPECT_EQ(h.numberX[i], 278);
  }
  EXPECT_EQ(h.resetButton, (MeterRect{277, 0, 22, 15}));

  const MeterGeometry one = LayOutMeter(true, 1, {46, 300}, 18, 12, 20, false);
  EXPECT_EQ(one.channels, 1);
  EXPECT_EQ(LayOutMeter(true, 0, {46, 300}, 18, 12, 20, false).fontHeight, 0);
}

TEST(LevelMeterLayout, SizesForChannelsAndOrientation) {
  EXPECT_EQ(MeterSizeForChannels(true, 8, 18, 12, 14, {46, 300}),
            (MeterSize{18 + 8 * 21 + 4, 300}));
  EXPECT_EQ(MeterSizeForChannels(true, 2, 18, 12, 6, {100, 300}), (MeterSize{18 + 12 + 14, 300}));
  EXPECT_EQ(MeterSizeForChannels(false, 3, 18, 12, 21, {330, 42}), (MeterSize{330, 12 + 84 + 2}));
  // Horizontal 330 x 42 -> vertical keeps 46:40 and swaps; and back.
  const MeterSize v = MeterSizeForOrientation(true, {330, 42});
  EXPECT_EQ(v, (MeterSize{48, 330}));
  EXPECT_EQ(MeterSizeForOrientation(false, v), (MeterSize{330, 41}));
  const MeterSizeLimits l = MeterLimits(true, 2, 0.9);
  EXPECT_EQ(l.minWidth, 41);
  EXPECT_EQ(l.maxWidth, 82);
  EXPECT_EQ(l.minHeight, 200);
  const MeterSizeLimits h8 = MeterLimits(false, 8, 0.85);
  EXPECT_EQ(h8.minHeight, 107);  // trunc(0.85 x 126)
  EXPECT_EQ(h8.maxHeight, 214);
  EXPECT_EQ(h8.minWidth, 200);
  EXPECT_TRUE(MeterVerticalForSize({40, 300}, false));
  EXPECT_FALSE(MeterVerticalForSize({330, 42}, true));
  EXPECT_TRUE(MeterVerticalForSize({100, 100}, true));
}

TEST(LevelMeterLayout, GrabZonesAndTheWorkArea) {
  const MeterSize w{100, 300};
  EXPECT_EQ(MeterGrabZone(50, 150, w), GrabZone::Move);
  EXPECT_EQ(MeterGrabZone(2, 150, w), GrabZone::Left);
  EXPECT_EQ(MeterGrabZone(7, 150, w), GrabZone::Move);
  EXPECT_EQ(MeterGrabZone(97, 150, w), GrabZone::Right);
  EXPECT_EQ(MeterGrabZone(50, 2, w), GrabZone::Top);
  EXPECT_EQ(MeterGrabZone(50, 297, w), GrabZone::Bottom);
  EXPECT_EQ(MeterGrabZone(7, 7, w), GrabZone::TopLeft);
  EXPECT_EQ(MeterGrabZone(96, 296, w), GrabZone::BottomRight);
  EXPECT_EQ(MeterGrabZone(1, 299, w), GrabZone::BottomLeft);
  EXPECT_EQ(MeterGrabZone(99, 0, w), GrabZone::TopRight);
  EXPECT_EQ(LissajousGrabZone(95, 95, {100, 100}), GrabZone::BottomRight);
  EXPECT_EQ(LissajousGrabZone(89, 95, {100, 100}), GrabZone::Move);
  EXPECT_EQ(LissajousGrabZone(2, 2, {100, 100}), GrabZone::Move);

  const MeterRect work{0, 0, 1280, 1000};
  EXPECT_EQ(KeepInsideWorkArea({-50, 10, 150, 60}, work, false), (MeterRect{0, 10, 200, 60}));
  EXPECT_EQ(KeepInsideWorkArea({100, -5, 1500, 45}, work, false), (MeterRect{0, 0, 1280, 50}));
  EXPECT_EQ(KeepInsideWorkArea({10, 990, 110, 1040}, work, false), (MeterRect{10, 950, 110, 1000}));
  EXPECT_EQ(KeepInsideWorkArea({5000, 5000, 5100, 6200}, work, true),
            (MeterRect{1180, 0, 1280, 1000}));
}

}  // namespace
}  // namespace ov
