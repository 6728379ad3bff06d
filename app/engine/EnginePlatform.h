// The few operating-system services the engine's portable code needs: an
// auto-reset event (a kernel event on Windows, so that the waveform-audio
// driver can signal it directly), the millisecond tick the positions are
// interpolated from, a sleep, and the worker threads' priority.
#pragma once

#include <cstdint>
#include <memory>

namespace ov {

class AutoResetEvent {
 public:
  AutoResetEvent();
  ~AutoResetEvent();
  AutoResetEvent(const AutoResetEvent&) = delete;
  AutoResetEvent& operator=(const AutoResetEvent&) = delete;

  void Set();
  void Reset();
  // Waits until the event is set (and resets it). timeoutMs < 0: no time-out.
  // Returns false on time-out.
  bool Wait(int32_t timeoutMs = -1);
  // The native handle (a Windows HANDLE) for drivers that signal it themselves.
  void* NativeHandle() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Milliseconds since an arbitrary start, wrapping at 2^32 (timeGetTime).
uint32_t TickMs();
void SleepMs(uint32_t ms);
// Priority level of the calling thread: 1 lowest, 2 below normal, 3 normal,
// 4 above normal, 5 highest.
void SetCurrentThreadPriorityLevel(int level);
// Processor time the calling thread has used so far, in milliseconds.
double CurrentThreadCpuMs();

}  // namespace ov
