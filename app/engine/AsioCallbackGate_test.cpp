#include "app/engine/AsioCallbackGate.h"

#include <gtest/gtest.h>

#include <thread>

namespace ov::asio {
namespace {

struct Owner {
  std::atomic<bool> alive{true};
  std::atomic<uint64_t> calls{0};
  std::atomic<uint64_t> afterRelease{0};
};

TEST(AsioCallbackGate, NoCallbackReachesAnOwnerAfterItsRelease) {
  CallbackGate<Owner> gate;
  for (int round = 0; round < 5; ++round) {
    Owner owner;
    gate.Open(&owner);
    std::atomic<bool> stop{false};
    // The driver's thread keeps calling back, also after the release.
    std::thread driver([&] {
      while (!stop.load()) {
        gate.Run([](Owner& o) {
          if (!o.alive.load()) o.afterRelease.fetch_add(1);
          o.calls.fetch_add(1);
          std::this_thread::yield();  // a callback that takes a while
        });
      }
    });
    while (owner.calls.load() < 10) std::this_thread::yield();
    gate.Close(&owner, [] { std::this_thread::yield(); });
    owner.alive = false;  // the ring and the driver are gone from here on
    const uint64_t calls = owner.calls.load();
    for (int i = 0; i < 200; ++i) std::this_thread::yield();
    stop = true;
    driver.join();
    EXPECT_EQ(owner.afterRelease.load(), 0u);
    EXPECT_EQ(owner.calls.load(), calls);
    EXPECT_FALSE(gate.IsOpenFor(&owner));
  }
}

TEST(AsioCallbackGate, ClosingAnotherOwnerLeavesTheActiveOneOpen) {
  CallbackGate<Owner> gate;
  Owner a, b;
  gate.Open(&a);
  gate.Close(&b, [] {});
  EXPECT_TRUE(gate.IsOpenFor(&a));
  int seen = 0;
  gate.Run([&](Owner& o) { seen += &o == &a; });
  EXPECT_EQ(seen, 1);
}

}  // namespace
}  // namespace ov::asio
