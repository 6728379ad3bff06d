#include "app/display/MMTimer.h"

namespace ov {

MMTimer::MMTimer(TimerApi& api, uint32_t period, uint32_t resolutionLimit, bool periodic)
    : api_(api), period_(period), periodic_(periodic), resolutionLimit_(resolutionLimit) {
  capsValid_ = api_.GetCaps(minPeriod_, maxPeriod_);
  period_ = Clamp(period);
}

MMTimer::~MMTimer() {
  if (running_) Stop();
}

uint32_t MMTimer::Clamp(uint32_t period) const {
  if (!capsValid_) return period;
  if (period < minPeriod_) return minPeriod_;
  if (period > maxPeriod_) return maxPeriod_;
  return period;
}

void MMTimer::Tick(void* self) {
  auto* timer = static_cast<MMTimer*>(self);
  timer->ticks_.fetch_add(1);
  timer->wake_.Set();
}

uint32_t MMTimer::Start() {
  if (running_) return 0;
  begunPeriod_ = period_ / 4;
  if (begunPeriod_ < 1) begunPeriod_ = 1;
  if (!api_.BeginPeriod(begunPeriod_)) return 0;
  const uint32_t resolution = resolutionLimit_ < period_ ? resolutionLimit_ : period_;
  const uint32_t id = api_.SetEvent(period_, resolution, periodic_, &MMTimer::Tick, this);
  if (id == 0) {
    // Nothing runs: the begun period would otherwise stay raised for good.
    api_.EndPeriod(begunPeriod_);
    return 0;
  }
  timerId_ = id;
  running_ = true;
  return id;
}

bool MMTimer::Stop() {
  if (!running_) return false;
  if (!api_.KillEvent(timerId_)) return false;
  running_ = false;
  timerId_ = 0;
  return api_.EndPeriod(begunPeriod_);
}

bool MMTimer::SetPeriod(uint32_t period, bool periodic, int32_t resolutionLimit) {
  const uint32_t clamped = Clamp(period);
  if (running_) {
    // A failed kill leaves the old event running: keep its settings.
    if (!Stop() && running_) return false;
    period_ = clamped;
    periodic_ = periodic;
    if (resolutionLimit >= 0) resolutionLimit_ = static_cast<uint32_t>(resolutionLimit);
    return Start() != 0;
  }
  period_ = clamped;
  periodic_ = periodic;
  if (resolutionLimit >= 0) resolutionLimit_ = static_cast<uint32_t>(resolutionLimit);
  return true;
}

}  // namespace ov
