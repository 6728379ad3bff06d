// The real "Avrt.dll": the binding succeeds and a thread can join the
// "Pro Audio" task and leave it again.
#include <gtest/gtest.h>

#include <thread>

#include "app/engine/AvrtBinding.h"

namespace ov {
namespace {

TEST(EngineAvrtWin, ProAudioTaskFromAThread) {
  AvrtBinding b(CreateSystemLibraryLoader());
  EngineMessage m;
  ASSERT_TRUE(b.Bind(m)) << m.c_str();
  ASSERT_TRUE(b.MmcssAvailable());
  ASSERT_TRUE(b.Bound());
  void* task = nullptr;
  uint32_t index = 0;
  bool reverted = false;
  std::thread t([&] {
    task = b.AvSetMmThreadCharacteristicsA("Pro Audio", &index);
    if (task) reverted = b.AvRevertMmThreadCharacteristics(task);
  });
  t.join();
  EXPECT_NE(task, nullptr);
  EXPECT_TRUE(reverted);
  EXPECT_TRUE(b.Free(m)) << m.c_str();
}

}  // namespace
}  // namespace ov
