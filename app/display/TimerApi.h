// The system timer services the display needs (winmm on Windows): the timer
// period, periodic timer events and a millisecond sleep. Tests replace it with
// a double to count calls and inject failures.
#pragma once

#include <cstdint>

namespace ov {

class TimerApi {
 public:
  using Callback = void (*)(void* context);
  virtual ~TimerApi() = default;

  // The system's minimum and maximum periods; false when unavailable.
  virtual bool GetCaps(uint32_t& minPeriod, uint32_t& maxPeriod) = 0;
  virtual bool BeginPeriod(uint32_t period) = 0;
  virtual bool EndPeriod(uint32_t period) = 0;
  // A timer event calling callback(context) on the system's timer thread
  // every delay ms (periodic) or once; returns its id, 0 on failure.
  virtual uint32_t SetEvent(uint32_t delay, uint32_t resolution, bool periodic, Callback callback,
                            void* context) = 0;
  virtual bool KillEvent(uint32_t id) = 0;
};

}  // namespace ov
