#include <gtest/gtest.h>

#include <vector>

#include "app/controls/BevelGeometry.h"
#include "app/controls/RepeatTimer.h"

namespace ov {
namespace {

TEST(BevelGeometry, EachStyleHasItsInsetAndColours) {
  const uint32_t border = 0x123456;
  struct Case {
    BevelStyle style;
    int32_t inset, bevels;
    uint32_t a, b;
  } cases[] = {
      {lbsNone, 0, 0, 0, 0},
      {lbsLowered, 1, 1, kButtonShadowColour, kButtonHighlightColour},
      {lbsLowered2, 2, 2, kButtonShadowColour, kButtonHighlightColour},
      {lbsRaised, 1, 1, kButtonHighlightColour, kButtonShadowColour},
      {lbsRaised2, 2, 2, kButtonHighlightColour, kButtonShadowColour},
      {lbsSingle, 1, 1, border, border},
  };
  for (const Case& c : cases) {
    BevelPlan p = PlanBevel(c.style, border);
    EXPECT_EQ(p.inset, c.inset) << c.style;
    EXPECT_EQ(p.bevels, c.bevels) << c.style;
    if (c.bevels == 0) continue;
    EXPECT_EQ(p.colourA, c.a) << c.style;
    EXPECT_EQ(p.colourB, c.b) << c.style;
  }
}

TEST(BevelGeometry, LinesRunAroundTheRing) {
  BevelPoint a[3], b[3];
  BevelLines(50, 20, 0, a, b);
  EXPECT_EQ(a[0].x, 0);
  EXPECT_EQ(a[0].y, 19);
  EXPECT_EQ(a[2].x, 49);
  EXPECT_EQ(a[2].y, 0);
  EXPECT_EQ(b[1].x, 49);
  EXPECT_EQ(b[1].y, 19);
  BevelLines(50, 20, 1, a, b);
  EXPECT_EQ(a[1].x, 1);
  EXPECT_EQ(a[1].y, 1);
  EXPECT_EQ(b[1].x, 48);
  EXPECT_EQ(b[1].y, 18);
}

TEST(BevelGeometry, VerticalLayout) {
  EXPECT_EQ(TextTop(TextLayout::Top, 2, 40, 12), 2);
  EXPECT_EQ(TextTop(TextLayout::Center, 2, 40, 12), 16);
  EXPECT_EQ(TextTop(TextLayout::Bottom, 2, 40, 12), 30);
  EXPECT_EQ(TextTop(TextLayout::Center, 0, 10, 24), -7);  // taller text overflows evenly
}

// Fires the schedule against a clock moving in 3 ms steps (the button's poll)
// and returns the firing times.
std::vector<uint32_t> Firings(int32_t delay, int32_t interval, uint32_t start, uint32_t holdMs) {
  RepeatTimer t(delay, interval);
  std::vector<uint32_t> at{start};
  t.Start(start);
  for (uint32_t now = start; now - start <= holdMs; now += 3) {
    if (t.Due(now)) at.push_back(now);
  }
  return at;
}

TEST(RepeatTimer, AShortClickFiresOnce) {
  EXPECT_EQ(Firings(40, 5, 1000, 399).size(), 1u);
}

TEST(RepeatTimer, DelayThenIntervalsFromThePreviousFiring) {
  const uint32_t start = 0xFFFFFF00u;  // across the clock's wrap
  std::vector<uint32_t> at = Firings(50, 8, start, 1000);
  ASSERT_GE(at.size(), 3u);
  EXPECT_GE(at[1] - at[0], 500u);
  EXPECT_LT(at[1] - at[0], 503u);
  for (size_t i = 2; i < at.size(); ++i) {
    EXPECT_GE(at[i] - at[i - 1], 80u) << i;
    EXPECT_LT(at[i] - at[i - 1], 83u) << i;
  }
  EXPECT_EQ(at.size(), 1u + 1u + (1000u - 501u) / 81u);
}

TEST(RepeatTimer, ZeroSettingsRepeatAtEveryPoll) {
  std::vector<uint32_t> at = Firings(0, 0, 0, 9);
  EXPECT_EQ(at, (std::vector<uint32_t>{0, 0, 3, 6, 9}));
}

}  // namespace
}  // namespace ov
