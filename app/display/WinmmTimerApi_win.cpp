#include "app/display/WinmmTimerApi_win.h"

#include <windows.h>
#include <mmsystem.h>

namespace ov {

bool WinmmTimerApi::GetCaps(uint32_t& minPeriod, uint32_t& maxPeriod) {
  TIMECAPS caps{};
  if (timeGetDevCaps(&caps, sizeof caps) != TIMERR_NOERROR) return false;
  minPeriod = caps.wPeriodMin;
  maxPeriod = caps.wPeriodMax;
  return true;
}

bool WinmmTimerApi::BeginPeriod(uint32_t period) {
  return timeBeginPeriod(period) == TIMERR_NOERROR;
}

bool WinmmTimerApi::EndPeriod(uint32_t period) {
  return timeEndPeriod(period) == TIMERR_NOERROR;
}

uint32_t WinmmTimerApi::SetEvent(uint32_t delay, uint32_t resolution, bool periodic,
                                 Callback callback, void* context) {
  callback_ = callback;
  context_ = context;
  return timeSetEvent(delay, resolution, &WinmmTimerApi::Proc, reinterpret_cast<DWORD_PTR>(this),
                      (periodic ? TIME_PERIODIC : TIME_ONESHOT) | TIME_CALLBACK_FUNCTION);
}

void CALLBACK WinmmTimerApi::Proc(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
  auto* self = reinterpret_cast<WinmmTimerApi*>(user);
  self->callback_(self->context_);
}

bool WinmmTimerApi::KillEvent(uint32_t id) {
  return timeKillEvent(id) == TIMERR_NOERROR;
}

}  // namespace ov
