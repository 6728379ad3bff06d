#include "app/display/DisplayThread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "app/display/DisplayTestSupport.h"

namespace ov {
namespace {

using Clock = std::chrono::steady_clock;
using test::CountingFrameSource;
using test::FakeTimerApi;

// Waits (processing the main thread's steps) until done() or 10 s.
template <typename Done>
bool WaitFor(MainThreadRunner& runner, Done done) {
  const auto end = Clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (Clock::now() > end) return false;
    runner.ProcessMessages();
    SleepMs(1);
  }
  return true;
}

struct Rig {
  explicit Rig(DisplayPacing pacing) : timer(api, pacing.sleepPeriod, 9, true) {
    api.tickFromThread = true;
    thread = std::make_unique<DisplayThread>(frames, *runner, timer, api, pacing);
  }
  std::unique_ptr<MainThreadRunner> runner = MainThreadRunner::Create();
  FakeTimerApi api;
  CountingFrameSource frames;
  MMTimer timer;
  std::unique_ptr<DisplayThread> thread;
};

DisplayPacing Sleeping(int32_t ms) {
  return {0, ms, 0};
}
DisplayPacing Ticking(int32_t ms) {
  return {1, ms, 0};
}

TEST(DisplayThread, ParksAtCreationAndDrawsOnTheMainThreadOnceStarted) {
  Rig rig(Sleeping(1));
  ASSERT_TRUE(WaitFor(*rig.runner, [&] { return rig.thread->Parked(); }));
  EXPECT_EQ(rig.frames.acquired.load(), 0u);
  EXPECT_TRUE(rig.thread->SetDisplayRunning(true));
  ASSERT_TRUE(WaitFor(*rig.runner, [&] { return rig.frames.drawn.load() >= 5; }));
  EXPECT_TRUE(rig.thread->SetDisplayRunning(false));
  EXPECT_TRUE(rig.thread->Parked());
  EXPECT_FALSE(rig.thread->Active());
  // Nothing to draw: turns go on without drawing.
  rig.frames.acquireResult = -1;
  const uint64_t drawn = rig.frames.drawn.load();
  rig.thread->SetDisplayRunning(true);
  ASSERT_TRUE(WaitFor(*rig.runner, [&] { return rig.frames.acquired.load() > drawn + 20; }));
  rig.thread->SetDisplayRunning(false);
  EXPECT_EQ(rig.frames.drawn.load(), drawn);
}

TEST(DisplayThread, ParkAndResumeAThousandTimesLosesNoResume) {
  Rig rig(Sleeping(0));
  for (int i = 0; i < 1000; ++i) {
    const uint64_t before = rig.frames.acquired.load();
    ASSERT_TRUE(rig.thread->SetDisplayRunning(true));
    // Every resume is followed by frames, whatever the thread was doing.
    ASSERT_TRUE(WaitFor(*rig.runner, [&] { return rig.frames.acquired.load() > before; }))
        << "round " << i;
    ASSERT_TRUE(rig.thread->SetDisplayRunning(false)) << "round " << i;
    ASSERT_TRUE(rig.thread->Parked());
  }
}

TEST(DisplayThread, ResumeRightAfterAStopRequestIsKept) {
  // The thread has not yet parked when the start comes: it must run on.
  Rig rig(Sleeping(0));
  rig.thread->SetDisplayRunning(true);
  for (int i = 0; i < 300; ++i) {
    rig.thread->Pause();
    rig.thread->ResumeFromPause();
  }
  const uint64_t before = rig.frames.acquired.load();
  ASSERT_TRUE(WaitFor(*rig.runner, [&] { return rig.frames.acquired.load() > before + 10; }));
  EXPECT_TRUE(rig.thread->SetDisplayRunning(false));
}

TEST(DisplayThread, StopDuringTheHandOverReturns) {
  Rig rig(Sleeping(0));
  rig.thread->SetDisplayRunning(true);
  // Let the thread block in its drawing hand-over: the main thread is busy.
  ASSERT_TRUE(WaitFor(*rig.runner, [&] { return rig.frames.acquired.load() > 0; }));
  SleepMs(20);
  EXPECT_EQ(rig.frames.drawn.load(), 0u);
  // The stop's wait runs the pending drawing, so the thread can park.
  const auto t0 = Clock::now();
  EXPECT_TRUE(rig.thread->SetDisplayRunning(false));
  EXPECT_LT(Clock::now() - t0, std::chrono::seconds(2));
  EXPECT_EQ(rig.frames.drawn.load(), 1u);
}

TEST(DisplayThread, StopFromAnotherThreadRunsOnTheMainThread) {
  Rig rig(Ticking(2));
  rig.thread->SetDisplayRunning(true);
  ASSERT_TRUE(WaitFor(*rig.runner, [&] { return rig.frames.drawn.load() >= 3; }));
  bool result = false;
  std::atomic<bool> done{false};
  std::thread pump([&] {
    result = rig.thread->SetDisplayRunning(false);
    done = true;
  });
  ASSERT_TRUE(WaitFor(*rig.runner, [&] { return done.load(); }));
  pump.join();
  EXPECT_TRUE(result);
  EXPECT_TRUE(rig.thread->Parked());
  EXPECT_FALSE(rig.timer.Running());
}

TEST(DisplayThread, ClosingWhileRunningEndsPromptly) {
  struct Case {
    const char* name;
    DisplayPacing pacing;
    bool timerFails;
  } cases[] = {{"sleep 2000 ms", Sleeping(2000), false},
               {"timer 1000 ms", Ticking(1000), false},
               {"timer that failed to start", Ticking(16), true}};
  for (const auto& c : cases) {
    auto rig = std::make_unique<Rig>(c.pacing);
    rig->api.setOk = !c.timerFails;
    rig->thread->SetDisplayRunning(true);
    EXPECT_EQ(rig->thread->TimerFallback(), c.timerFails) << c.name;
    ASSERT_TRUE(WaitFor(*rig->runner, [&] { return rig->frames.drawn.load() >= 1; })) << c.name;
    SleepMs(30);  // into the wait
    const auto t0 = Clock::now();
    rig->thread.reset();
    EXPECT_LT(Clock::now() - t0, std::chrono::seconds(2)) << c.name;
  }
}

TEST(DisplayThread, TimerThatFailsToStartFallsBackToSleepPacing) {
  Rig rig(Ticking(5));
  rig.api.setOk = false;
  EXPECT_TRUE(rig.thread->SetDisplayRunning(true));
  EXPECT_TRUE(rig.thread->TimerFallback());
  // Frames keep coming without a single tick.
  ASSERT_TRUE(WaitFor(*rig.runner, [&] { return rig.frames.drawn.load() >= 10; }));
  EXPECT_EQ(rig.timer.Ticks(), 0u);
  EXPECT_TRUE(rig.thread->SetDisplayRunning(false));
  // Once the timer works again the next start uses it.
  rig.api.setOk = true;
  rig.thread->SetDisplayRunning(true);
  EXPECT_FALSE(rig.thread->TimerFallback());
  EXPECT_TRUE(rig.timer.Running());
  rig.thread->SetDisplayRunning(false);
}

TEST(DisplayThread, PauseParksTheThreadWhileTheTimerRunsOn) {
  Rig rig(Ticking(2));
  rig.thread->SetDisplayRunning(true);
  ASSERT_TRUE(rig.timer.Running());
  ASSERT_TRUE(WaitFor(*rig.runner, [&] { return rig.frames.drawn.load() >= 3; }));
  rig.thread->Pause();
  ASSERT_TRUE(WaitFor(*rig.runner, [&] { return rig.thread->Parked(); }));
  EXPECT_TRUE(rig.timer.Running());
  const uint64_t drawn = rig.frames.drawn.load();
  const uint64_t ticks = rig.timer.Ticks();
  ASSERT_TRUE(WaitFor(*rig.runner, [&] { return rig.timer.Ticks() > ticks + 5; }));
  EXPECT_EQ(rig.frames.drawn.load(), drawn);
  const int sets = rig.api.sets;
  rig.thread->ResumeFromPause();
  ASSERT_TRUE(WaitFor(*rig.runner, [&] { return rig.frames.drawn.load() > drawn + 3; }));
  EXPECT_EQ(rig.api.sets, sets);  // resuming does not restart the timer
  EXPECT_TRUE(rig.thread->SetDisplayRunning(false));
  EXPECT_FALSE(rig.timer.Running());
}

TEST(DisplayThread, SleepResolutionIsBegunAndEndedAroundEachSleep) {
  Rig rig({0, 1, 3});
  rig.thread->SetDisplayRunning(true);
  ASSERT_TRUE(WaitFor(*rig.runner, [&] { return rig.frames.drawn.load() >= 5; }));
  rig.thread->SetDisplayRunning(false);
  EXPECT_GE(rig.api.begins.load(), 4);
  EXPECT_EQ(rig.api.begins.load(), rig.api.ends.load());
  EXPECT_EQ(rig.api.lastBegun, 3u);
}

}  // namespace
}  // namespace ov
