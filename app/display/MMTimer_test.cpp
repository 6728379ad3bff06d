#include "app/display/MMTimer.h"

#include <gtest/gtest.h>

#include "app/display/DisplayTestSupport.h"

namespace ov {
namespace {

using test::FakeTimerApi;

TEST(MMTimer, PeriodClampedToTheCapabilities) {
  FakeTimerApi api;
  api.capsMin = 2;
  api.capsMax = 500;
  MMTimer low(api, 0, 9, true);
  EXPECT_EQ(low.Period(), 2u);
  MMTimer high(api, 5000, 9, true);
  EXPECT_EQ(high.Period(), 500u);
  EXPECT_TRUE(high.SetPeriod(1, true));
  EXPECT_EQ(high.Period(), 2u);
  // Without capabilities the period is taken as given.
  api.capsOk = false;
  MMTimer free(api, 0, 9, true);
  EXPECT_EQ(free.Period(), 0u);
}

TEST(MMTimer, StartBeginsAQuarterPeriodAndUsesTheSmallerResolution) {
  FakeTimerApi api;
  MMTimer t(api, 16, 9, true);
  EXPECT_EQ(t.BegunPeriod(), 1u);
  const uint32_t id = t.Start();
  EXPECT_NE(id, 0u);
  EXPECT_TRUE(t.Running());
  EXPECT_EQ(api.lastBegun, 4u);
  EXPECT_EQ(api.lastDelay, 16u);
  EXPECT_EQ(api.lastResolution, 9u);
  EXPECT_TRUE(api.lastPeriodic);
  EXPECT_EQ(t.Start(), 0u);  // already running
  EXPECT_TRUE(t.Stop());
  EXPECT_EQ(api.lastKilled, id);
  EXPECT_EQ(api.lastEnded, 4u);
  EXPECT_FALSE(t.Stop());  // not running
  EXPECT_EQ(api.begunNow, 0);

  MMTimer fast(api, 3, 9, false);
  fast.Start();
  EXPECT_EQ(api.lastBegun, 1u);       // 3 / 4 raised to 1
  EXPECT_EQ(api.lastResolution, 3u);  // limited by the period
  EXPECT_FALSE(api.lastPeriodic);
}

TEST(MMTimer, RestartWithANewPeriodWhileRunning) {
  FakeTimerApi api;
  MMTimer t(api, 20, 9, true);
  t.Start();
  EXPECT_TRUE(t.SetPeriod(40, true, 30));
  EXPECT_TRUE(t.Running());
  EXPECT_EQ(api.kills, 1);
  EXPECT_EQ(api.sets, 2);
  EXPECT_EQ(api.lastDelay, 40u);
  EXPECT_EQ(api.lastResolution, 30u);
  EXPECT_EQ(api.lastBegun, 10u);
  EXPECT_TRUE(t.SetPeriod(60, true));  // -1 keeps the limit
  EXPECT_EQ(t.ResolutionLimit(), 30u);
  EXPECT_EQ(api.begunNow, 1);
  // Not running: stored only.
  t.Stop();
  EXPECT_TRUE(t.SetPeriod(80, true));
  EXPECT_FALSE(t.Running());
  EXPECT_EQ(api.sets, 3);
  EXPECT_EQ(t.Period(), 80u);
}

TEST(MMTimer, FailedStartsLeaveNothingRunningOrBegun) {
  FakeTimerApi api;
  api.beginOk = false;
  MMTimer t(api, 16, 9, true);
  EXPECT_EQ(t.Start(), 0u);
  EXPECT_FALSE(t.Running());
  EXPECT_EQ(api.sets, 0);
  api.beginOk = true;
  api.setOk = false;
  EXPECT_EQ(t.Start(), 0u);
  EXPECT_FALSE(t.Running());
  EXPECT_EQ(api.begunNow, 0);  // the period begun for it was ended again
}

TEST(MMTimer, PartialStopFailures) {
  FakeTimerApi api;
  MMTimer t(api, 16, 9, true);
  t.Start();
  // The kill fails: the event still runs and the timer counts as running.
  api.killOk = false;
  EXPECT_FALSE(t.Stop());
  EXPECT_TRUE(t.Running());
  EXPECT_FALSE(t.SetPeriod(32, true));
  EXPECT_EQ(t.Period(), 16u);  // kept: the old event runs on
  // The kill succeeds but the period cannot be ended: reported, yet stopped.
  api.killOk = true;
  api.endOk = false;
  EXPECT_FALSE(t.Stop());
  EXPECT_FALSE(t.Running());
  EXPECT_EQ(t.Start() != 0, true);
  api.endOk = true;
  // A restart whose stop half-failed still starts the new period.
  api.endOk = false;
  EXPECT_TRUE(t.SetPeriod(32, true));
  EXPECT_TRUE(t.Running());
  EXPECT_EQ(api.lastDelay, 32u);
}

TEST(MMTimer, TicksSignalTheWakeEvent) {
  FakeTimerApi api;
  api.tickFromThread = true;
  MMTimer t(api, 2, 1, true);
  ASSERT_NE(t.Start(), 0u);
  EXPECT_TRUE(t.WakeEvent().Wait(5000));
  EXPECT_TRUE(t.WakeEvent().Wait(5000));
  EXPECT_GE(t.Ticks(), 2u);
  t.Stop();
}

}  // namespace
}  // namespace ov
