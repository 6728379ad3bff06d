// When TSpeedButtonRepeat fires again while held: after RepeatDelay10ms
// before the first repetition, then every RepeatInterval10ms, each wait
// measured from the previous firing. Portable; the clock is the caller's.
#pragma once

#include <cstdint>

namespace ov {

class RepeatTimer {
 public:
  RepeatTimer(int32_t delay10ms, int32_t interval10ms)
      : delayMs_(Ms(delay10ms)), intervalMs_(Ms(interval10ms)) {}

  // The press: the first firing happens now.
  void Start(uint32_t nowMs) {
    last_ = nowMs;
    repeated_ = false;
  }
  // True when the next firing is due; the timing then restarts from now.
  bool Due(uint32_t nowMs) {
    const uint32_t wait = repeated_ ? intervalMs_ : delayMs_;
    if (nowMs - last_ < wait) return false;
    last_ = nowMs;
    repeated_ = true;
    return true;
  }

 private:
  static uint32_t Ms(int32_t tens) { return tens > 0 ? static_cast<uint32_t>(tens) * 10u : 0u; }
  uint32_t delayMs_, intervalMs_;
  uint32_t last_ = 0;
  bool repeated_ = false;
};

}  // namespace ov
