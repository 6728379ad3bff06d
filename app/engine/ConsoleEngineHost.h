// An engine host without a main window, for the command-line tool and the
// device tests: steps run through a MainThreadRunner, notifications are
// collected in order, and a run's failure text is kept (and optionally
// printed) instead of shown in a box.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/engine/EngineHost.h"
#include "app/engine/EnginePlatform.h"
#include "app/engine/MainThreadRunner.h"

namespace ov {

class ConsoleEngineHost : public EngineHost {
 public:
  explicit ConsoleEngineHost(bool printFailures = false)
      : runner_(MainThreadRunner::Create()), print_(printFailures) {}

  void RunOnMainThread(void (*step)(void*), void* arg) override { runner_->Run(step, arg); }
  void ProcessMessages() override { runner_->ProcessMessages(); }
  void PostNotification(uint32_t message, uintptr_t wParam) override;
  void ShowStopped(const std::string& text) override;
  void EnableButton(EngineButton b, bool on) override { enabled_[static_cast<int>(b)] = on; }
  bool IsButtonEnabled(EngineButton b) const override { return enabled_[static_cast<int>(b)]; }
  void SetLabelText(EngineLabel l, const std::string& t) override;

  // Notifications posted so far (thread-safe).
  size_t CountOf(uint32_t message);
  std::vector<uint32_t> Notifications();
  std::vector<std::string> Failures();
  std::string Label(EngineLabel l);

  // Handles messages with short sleeps until done() or the time-out; false on time-out.
  template <class F>
  bool PumpUntil(F done, uint32_t timeoutMs) {
    const uint32_t start = TickMs();
    while (!done()) {
      if (TickMs() - start > timeoutMs) return false;
      ProcessMessages();
      SleepMs(2);
    }
    ProcessMessages();
    return true;
  }

 private:
  std::unique_ptr<MainThreadRunner> runner_;
  bool print_;
  std::mutex m_;
  std::vector<uint32_t> posted_;
  std::vector<std::string> failures_;
  std::string labels_[3];
  bool enabled_[4] = {};
};

}  // namespace ov
