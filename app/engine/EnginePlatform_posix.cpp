// Native build: the engine's portable code runs against fake drivers in tests.
#include <time.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "app/engine/EnginePlatform.h"

namespace ov {

struct AutoResetEvent::Impl {
  std::mutex m;
  std::condition_variable cv;
  bool signalled = false;
};

AutoResetEvent::AutoResetEvent() : impl_(new Impl) {}
AutoResetEvent::~AutoResetEvent() = default;

void AutoResetEvent::Set() {
  {
    std::lock_guard<std::mutex> lock(impl_->m);
    impl_->signalled = true;
  }
  impl_->cv.notify_one();
}

void AutoResetEvent::Reset() {
  std::lock_guard<std::mutex> lock(impl_->m);
  impl_->signalled = false;
}

bool AutoResetEvent::Wait(int32_t timeoutMs) {
  std::unique_lock<std::mutex> lock(impl_->m);
  auto ready = [&] { return impl_->signalled; };
  if (timeoutMs < 0) {
    impl_->cv.wait(lock, ready);
  } else if (!impl_->cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready)) {
    return false;
  }
  impl_->signalled = false;
  return true;
}

void* AutoResetEvent::NativeHandle() const {
  return nullptr;
}

uint32_t TickMs() {
  using namespace std::chrono;
  return static_cast<uint32_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void SleepMs(uint32_t ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void SetCurrentThreadPriorityLevel(int) {}

double CurrentThreadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

}  // namespace ov
