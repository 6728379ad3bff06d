// The main thread's runner as the display sees it. The display waits on the
// main thread (parking, closing) and handles messages meanwhile; those
// messages go through the window's key preview, so a key that arrives then
// still reaches the key commands, and the pump is counted, so the window can
// hold back commands and its close until the wait has ended. Main thread
// only, except Run, which any thread may call.
#pragma once

#include "app/controls/MessageLoop_win.h"
#include "app/engine/MainThreadRunner.h"

namespace ov {

class NestedPumpRunner final : public MainThreadRunner {
 public:
  NestedPumpRunner(MainThreadRunner& inner, KeyPreview& preview, int& depth)
      : inner_(inner), preview_(preview), depth_(depth) {}
  void Run(void (*step)(void*), void* arg) override { inner_.Run(step, arg); }
  void ProcessMessages() override {
    ++depth_;
    PumpPendingMessages(&preview_);
    --depth_;
  }

 private:
  MainThreadRunner& inner_;
  KeyPreview& preview_;
  int& depth_;
};

}  // namespace ov
