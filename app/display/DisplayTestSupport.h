// Test doubles of the display: timer services that count calls, inject
// failures and (optionally) tick from a thread of their own, and a frame
// source that counts turns and drawings.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

#include "app/display/DisplayThread.h"
#include "app/display/TimerApi.h"

namespace ov::test {

class FakeTimerApi : public TimerApi {
 public:
  ~FakeTimerApi() override { StopTicking(); }

  bool GetCaps(uint32_t& minPeriod, uint32_t& maxPeriod) override {
    if (!capsOk) return false;
    minPeriod = capsMin;
    maxPeriod = capsMax;
    return true;
  }
  bool BeginPeriod(uint32_t period) override {
    ++begins;
    lastBegun = period;
    if (!beginOk) return false;
    ++begunNow;
    return true;
  }
  bool EndPeriod(uint32_t period) override {
    ++ends;
    lastEnded = period;
    if (!endOk) return false;
    --begunNow;
    return true;
  }
  uint32_t SetEvent(uint32_t delay, uint32_t resolution, bool periodic, Callback callback,
                    void* context) override {
    ++sets;
    lastDelay = delay;
    lastResolution = resolution;
    lastPeriodic = periodic;
    if (!setOk) return 0;
    StopTicking();
    if (tickFromThread) {
      ticking = true;
      ticker = std::thread([this, delay, callback, context] {
        while (ticking.load()) {
          std::this_thread::sleep_for(std::chrono::milliseconds(delay ? delay : 1));
          if (ticking.load()) callback(context);
        }
      });
    }
    return ++lastId;
  }
  bool KillEvent(uint32_t id) override {
    ++kills;
    lastKilled = id;
    if (!killOk) return false;
    StopTicking();
    return true;
  }
  void StopTicking() {
    ticking = false;
    if (ticker.joinable()) ticker.join();
  }

  bool capsOk = true, beginOk = true, endOk = true, setOk = true, killOk = true;
  bool tickFromThread = false;
  uint32_t capsMin = 1, capsMax = 65535;
  std::atomic<int> begins{0}, ends{0}, begunNow{0};
  int sets = 0, kills = 0;
  uint32_t lastBegun = 0, lastEnded = 0, lastDelay = 0, lastResolution = 0, lastKilled = 0;
  bool lastPeriodic = false;
  uint32_t lastId = 100;
  std::atomic<bool> ticking{false};
  std::thread ticker;
};

class CountingFrameSource : public FrameSource {
 public:
  int32_t AcquireFrame() override {
    acquired.fetch_add(1);
    return acquireResult.load();
  }
  void DrawFrame() override { drawn.fetch_add(1); }
  std::atomic<int32_t> acquireResult{0};
  std::atomic<uint64_t> acquired{0}, drawn{0};
};

}  // namespace ov::test
