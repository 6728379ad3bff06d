#include "app/engine/MainThreadCaller_win.h"
#include "app/engine/MainThreadRunner.h"

namespace ov {

namespace {
class WindowRunner : public MainThreadRunner {
 public:
  void Run(void (*step)(void*), void* arg) override { caller_.Run(step, arg); }
  void ProcessMessages() override { MainThreadCaller::ProcessMessages(); }

 private:
  MainThreadCaller caller_;
};
}  // namespace

std::unique_ptr<MainThreadRunner> MainThreadRunner::Create() {
  return std::make_unique<WindowRunner>();
}

}  // namespace ov
