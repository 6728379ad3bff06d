// The multimedia timer that paces the display thread when UseTimer is 1: a
// periodic timer event whose callback only signals the wake-up event.
//
// Threads: Start, Stop, SetPeriod and destruction run on the main thread; the
// callback runs on the system's timer thread; WakeEvent() is waited on by the
// display thread. The object owns the wake-up event (auto-reset) and the
// timer event; the TimerApi is borrowed and must outlive it.
#pragma once

#include <atomic>
#include <cstdint>

#include "app/display/TimerApi.h"
#include "app/engine/EnginePlatform.h"

namespace ov {

class MMTimer {
 public:
  // Reads the capabilities (and, when available, clamps period to them). Not
  // running; begun period 1.
  MMTimer(TimerApi& api, uint32_t period, uint32_t resolutionLimit, bool periodic);
  // Stops a running timer.
  ~MMTimer();
  MMTimer(const MMTimer&) = delete;
  MMTimer& operator=(const MMTimer&) = delete;

  // Begins the system period (period / 4, at least 1) and starts the event
  // with resolution min(limit, period). Returns the timer id; 0 when already
  // running or when the start failed (then nothing stays begun).
  uint32_t Start();
  // Kills the event and ends the begun period. False when not running or when
  // a call failed. The timer counts as stopped once the event was killed.
  bool Stop();
  // New period (clamped to the capabilities), periodic flag and resolution
  // limit (-1 keeps it). A running timer is restarted with them: the result
  // is then Start's success; false when the stop failed.
  bool SetPeriod(uint32_t period, bool periodic, int32_t resolutionLimit = -1);

  bool Running() const { return running_; }
  uint32_t Period() const { return period_; }
  uint32_t BegunPeriod() const { return begunPeriod_; }
  uint32_t ResolutionLimit() const { return resolutionLimit_; }
  AutoResetEvent& WakeEvent() { return wake_; }
  // Ticks delivered so far (for tests and the frame pacing's diagnostics).
  uint64_t Ticks() const { return ticks_.load(); }

 private:
  static void Tick(void* self);
  uint32_t Clamp(uint32_t period) const;

  TimerApi& api_;
  AutoResetEvent wake_;
  bool capsValid_ = false;
  uint32_t minPeriod_ = 1, maxPeriod_ = 1000000;
  uint32_t timerId_ = 0;
  bool running_ = false;
  uint32_t begunPeriod_ = 1;
  uint32_t period_;
  bool periodic_;
  uint32_t resolutionLimit_;
  std::atomic<uint64_t> ticks_{0};
};

}  // namespace ov
