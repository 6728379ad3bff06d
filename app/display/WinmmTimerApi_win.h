// The system timer services through winmm.
#pragma once

#include <windows.h>

#include "app/display/TimerApi.h"

namespace ov {

class WinmmTimerApi final : public TimerApi {
 public:
  bool GetCaps(uint32_t& minPeriod, uint32_t& maxPeriod) override;
  bool BeginPeriod(uint32_t period) override;
  bool EndPeriod(uint32_t period) override;
  // The callback runs on winmm's timer thread with context as its user data.
  uint32_t SetEvent(uint32_t delay, uint32_t resolution, bool periodic, Callback callback,
                    void* context) override;
  bool KillEvent(uint32_t id) override;

 private:
  static void CALLBACK Proc(UINT id, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR);
  // One timer event at a time carries this pair (the display's one timer).
  Callback callback_ = nullptr;
  void* context_ = nullptr;
};

}  // namespace ov
