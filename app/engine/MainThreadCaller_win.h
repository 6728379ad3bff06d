// Runs steps of the pump threads on the main thread: a message-only window
// created on the main thread receives a private message sent by the pump
// (SendMessageW), so the pump waits until the main thread has handled it, in
// its message loop or in any wait that processes messages.
#pragma once

#include <windows.h>

namespace ov {

class MainThreadCaller {
 public:
  // Must be created on the main thread.
  MainThreadCaller();
  ~MainThreadCaller();
  MainThreadCaller(const MainThreadCaller&) = delete;
  MainThreadCaller& operator=(const MainThreadCaller&) = delete;

  // Runs step(arg) on the main thread and returns when it has run.
  void Run(void (*step)(void*), void* arg);
  // Dispatches the calling thread's pending messages.
  static void ProcessMessages();
  HWND Window() const { return window_; }

 private:
  HWND window_ = nullptr;
  DWORD mainThread_ = 0;
};

}  // namespace ov
