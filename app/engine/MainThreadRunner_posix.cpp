#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "app/engine/MainThreadRunner.h"

namespace ov {

namespace {
class QueueRunner : public MainThreadRunner {
 public:
  void Run(void (*step)(void*), void* arg) override {
    if (std::this_thread::get_id() == main_) {
      step(arg);
      return;
    }
    std::unique_lock<std::mutex> lock(m_);
    bool done = false;
    steps_.push_back({step, arg, &done});
    cv_.wait(lock, [&] { return done; });
  }
  void ProcessMessages() override {
    std::unique_lock<std::mutex> lock(m_);
    while (!steps_.empty()) {
      const Step s = steps_.front();
      steps_.pop_front();
      lock.unlock();
      s.step(s.arg);
      lock.lock();
      // Each step has its own flag: a step may process messages itself and
      // so finish later steps before its own.
      *s.done = true;
      cv_.notify_all();
    }
  }

 private:
  std::thread::id main_ = std::this_thread::get_id();
  std::mutex m_;
  std::condition_variable cv_;
  struct Step {
    void (*step)(void*);
    void* arg;
    bool* done;
  };
  std::deque<Step> steps_;
};
}  // namespace

std::unique_ptr<MainThreadRunner> MainThreadRunner::Create() {
  return std::make_unique<QueueRunner>();
}

}  // namespace ov
