// DisplayThread: the worker that refreshes the views while sound flows. Each
// turn it has the frame computed on its own thread (FrameSource::AcquireFrame),
// has it drawn on the main thread and waits for the drawing (the main-thread
// runner), then waits: a sleep of DispThreadSleepPeriod ms, or a tick of the
// multimedia timer (UseTimer 1). It parks on an event whenever
// displaySuspendRequest or paused is set, and SetDisplayRunning starts and
// parks it (the engine's OnDisplayRun callback).
//
// Threads: construct, destroy, SetDisplayRunning(true), Pause and
// ResumeFromPause on the main thread; SetDisplayRunning may also come from the
// engine's pump threads. The object owns the thread; the frame source, the
// runner, the timer and the timer services are borrowed and must outlive it.
// The flags are atomics: one writer each (the thread writes alive, active and
// parked; the callers write the requests).
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

#include "app/display/MMTimer.h"
#include "app/display/TimerApi.h"
#include "app/engine/EnginePlatform.h"
#include "app/engine/MainThreadRunner.h"

namespace ov {

class FrameSource {
 public:
  virtual ~FrameSource() = default;
  // Display thread: fetch and analyse the newest block. 0: a frame is ready
  // to draw; -1: nothing to draw.
  virtual int32_t AcquireFrame() = 0;
  // Main thread, while the display thread waits: draw the frame.
  virtual void DrawFrame() = 0;
};

// The pacing settings (section Conditions).
struct DisplayPacing {
  int32_t useTimer = 0;         // UseTimer
  int32_t sleepPeriod = 10;     // DispThreadSleepPeriod, ms
  int32_t sleepResolution = 0;  // SleepResolution, ms; 0 = none
};

class DisplayThread {
 public:
  // Must be created on the main thread. The thread starts at once and parks
  // in its first turn.
  DisplayThread(FrameSource& frames, MainThreadRunner& runner, MMTimer& timer, TimerApi& api,
                const DisplayPacing& pacing);
  // Requests termination, wakes the thread and processes messages until it
  // has left its loop.
  ~DisplayThread();
  DisplayThread(const DisplayThread&) = delete;
  DisplayThread& operator=(const DisplayThread&) = delete;

  // Starts (true) or parks (false) the thread. Parking waits at most 200
  // rounds of 10 ms, processing the main thread's messages when called there
  // (the thread may be waiting for its drawing); false when the thread did
  // not park in time (it parks at its next turn). With UseTimer 1 a start
  // also (re)starts the timer and a stop stops it; a timer that cannot start
  // leaves the thread pacing itself by sleeps.
  bool SetDisplayRunning(bool run);

  // The transport's pause: the thread parks at its next turn, the timer runs on.
  void Pause();
  // Resuming from pause: clears paused and the suspend request and wakes the
  // thread; the timer is not restarted.
  void ResumeFromPause();

  // New pacing settings (the setup dialog); read by the thread each turn.
  void SetPacing(const DisplayPacing& pacing);

  bool Parked() const { return parked_.load(); }
  bool Active() const { return active_.load(); }
  bool Alive() const { return alive_.load(); }
  bool Paused() const { return paused_.load(); }
  bool SuspendRequested() const { return suspendRequest_.load(); }
  // The timer could not start: the thread sleeps instead of waiting for ticks.
  bool TimerFallback() const { return timerFallback_.load(); }
  // Turns run and frames drawn since construction (for tests and benchmarks).
  uint64_t Turns() const { return turns_.load(); }

 private:
  void Loop();
  bool ParkRequested() const { return paused_.load() || suspendRequest_.load(); }
  void Park();
  void Wait();
  bool WaitUntilParked();
  void ProcessMessagesIfMain();

  FrameSource& frames_;
  MainThreadRunner& runner_;
  MMTimer& timer_;
  TimerApi& api_;
  std::thread::id mainThread_;

  std::atomic<int32_t> useTimer_{0}, sleepPeriod_{10}, sleepResolution_{0};
  std::atomic<bool> alive_{false}, active_{false}, parked_{false};
  std::atomic<bool> suspendRequest_{true}, paused_{false}, terminate_{false};
  std::atomic<bool> timerFallback_{false};
  std::atomic<uint64_t> turns_{0};
  AutoResetEvent resume_;  // wakes a parked thread
  std::thread thread_;
};

}  // namespace ov
