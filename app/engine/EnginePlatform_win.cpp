#include <windows.h>
#include <mmsystem.h>

#include "app/engine/EnginePlatform.h"

namespace ov {

struct AutoResetEvent::Impl {
  HANDLE event = nullptr;
};

AutoResetEvent::AutoResetEvent() : impl_(new Impl) {
  impl_->event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
}

AutoResetEvent::~AutoResetEvent() {
  if (impl_->event) CloseHandle(impl_->event);
}

void AutoResetEvent::Set() {
  SetEvent(impl_->event);
}
void AutoResetEvent::Reset() {
  ResetEvent(impl_->event);
}

bool AutoResetEvent::Wait(int32_t timeoutMs) {
  const DWORD t = timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs);
  return WaitForSingleObject(impl_->event, t) == WAIT_OBJECT_0;
}

void* AutoResetEvent::NativeHandle() const {
  return impl_->event;
}

uint32_t TickMs() {
  return timeGetTime();
}

void SleepMs(uint32_t ms) {
  Sleep(ms);
}

void SetCurrentThreadPriorityLevel(int level) {
  static const int kPriorities[] = {THREAD_PRIORITY_LOWEST, THREAD_PRIORITY_BELOW_NORMAL,
                                    THREAD_PRIORITY_NORMAL, THREAD_PRIORITY_ABOVE_NORMAL,
                                    THREAD_PRIORITY_HIGHEST};
  if (level < 1) level = 1;
  if (level > 5) level = 5;
  SetThreadPriority(GetCurrentThread(), kPriorities[level - 1]);
}

}  // namespace ov

namespace ov {

double CurrentThreadCpuMs() {
  FILETIME created, exited, kernel, user;
  if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
  auto ticks = [](const FILETIME& f) {
    return (static_cast<uint64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime;
  };
  return static_cast<double>(ticks(kernel) + ticks(user)) / 1e4;  // 100-ns units
}

}  // namespace ov
