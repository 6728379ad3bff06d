// The mechanism behind EngineHost::RunOnMainThread for hosts without their
// own window: on Windows a message-only window on the main thread receives a
// sent message (MainThreadCaller_win.h); natively a queue that the main
// thread drains whenever it processes messages.
#pragma once

#include <memory>

namespace ov {

class MainThreadRunner {
 public:
  virtual ~MainThreadRunner() = default;
  // Runs step(arg) on the main thread (the creating thread) and returns when
  // it has run; on the main thread itself it runs at once.
  virtual void Run(void (*step)(void*), void* arg) = 0;
  // Handles the main thread's pending messages and steps.
  virtual void ProcessMessages() = 0;

  // Creates the runner for the calling thread, which becomes the main thread.
  static std::unique_ptr<MainThreadRunner> Create();
};

}  // namespace ov
