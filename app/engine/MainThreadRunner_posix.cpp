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
    const uint64_t ticket = ++queued_;
    steps_.push_back({step, arg});
    cv_.wait(lock, [&] { return done_ >= ticket; });
  }
  void ProcessMessages() override {
    std::unique_lock<std::mutex> lock(m_);
    while (!steps_.empty()) {
      const auto s = steps_.front();
      steps_.pop_front();
      lock.unlock();
      s.first(s.second);
      lock.lock();
      ++done_;
      cv_.notify_all();
    }
  }

 private:
  std::thread::id main_ = std::this_thread::get_id();
  std::mutex m_;
  std::condition_variable cv_;
  std::deque<std::pair<void (*)(void*), void*>> steps_;
  uint64_t queued_ = 0, done_ = 0;
};
}  // namespace

std::unique_ptr<MainThreadRunner> MainThreadRunner::Create() {
  return std::make_unique<QueueRunner>();
}

}  // namespace ov
