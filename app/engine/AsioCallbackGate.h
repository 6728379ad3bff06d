// The gate between a driver's callback thread and the object its callbacks
// reach. ASIO callbacks carry no context, so the owner is process-wide; a
// release closes the gate and then waits until no callback is inside, so that
// no callback touches an owner (its driver, its ring) that is going away.
// Callbacks never wait here: entering is one atomic increment and one load.
#pragma once

#include <atomic>
#include <cstdint>

namespace ov::asio {

template <class Owner>
class CallbackGate {
 public:
  void Open(Owner* owner) { owner_.store(owner); }
  // Clears the owner when it is `owner`, then waits (calling `pause`) until
  // every callback that may have seen it has left.
  void Close(Owner* owner, void (*pause)()) {
    Owner* expected = owner;
    owner_.compare_exchange_strong(expected, nullptr);
    while (inside_.load() != 0) pause();
  }
  bool IsOpenFor(const Owner* owner) const { return owner_.load() == owner; }
  // Runs f(owner) on the callback's thread when an owner is set.
  template <class F>
  void Run(F f) {
    inside_.fetch_add(1);
    if (Owner* o = owner_.load()) f(*o);
    inside_.fetch_sub(1);
  }

 private:
  std::atomic<Owner*> owner_{nullptr};
  std::atomic<int32_t> inside_{0};
};

}  // namespace ov::asio
