#include "app/display/FrameRateText.h"

#include <gtest/gtest.h>

#include "app/display/FrameCounters.h"

namespace ov {
namespace {

TEST(FrameRateText, ThreeCharactersFromOneThousandOn) {
  const struct {
    int32_t fps;
    const char* text;
  } cases[] = {{0, "0"},      {60, "60"},    {999, "999"},  {1000, "A00"},
               {1099, "A99"}, {1100, "B00"}, {1234, "C34"}, {3599, "Z99"}};
  for (const auto& c : cases) {
    char text[12];
    FormatFrameRate(c.fps, text);
    EXPECT_STREQ(text, c.text) << c.fps;
  }
}

TEST(FrameCounters, ReadoutTakenAtTheFirstFrameAfterASecondTick) {
  FrameCounters c;
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(c.CountFrame());
  c.meterUpdates = 33;
  c.secondTicks = 1;
  EXPECT_TRUE(c.CountFrame());
  EXPECT_EQ(c.framesPerSecond, 6);
  EXPECT_EQ(c.framesThisSecond, 0);
  EXPECT_EQ(c.secondTicks, 0);
  EXPECT_TRUE(c.fpsUpdated);
  EXPECT_EQ(c.meterUpdatesPerSecond, 33);
  EXPECT_EQ(c.meterUpdates, 0);

  c.framesThisSecond = 4;
  c.ResetAtPause();
  EXPECT_EQ(c.framesThisSecond, 0);
  EXPECT_EQ(c.framesPerSecond, 6);  // the readout survives a pause
  c.ResetAtStart();
  EXPECT_EQ(c.framesPerSecond, 0);
  EXPECT_EQ(c.meterUpdatesPerSecond, 0);
}

}  // namespace
}  // namespace ov
