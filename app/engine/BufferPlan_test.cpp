#include "app/engine/BufferPlan.h"

#include <gtest/gtest.h>

namespace ov {
namespace {

TEST(EngineBufferPlan, DefaultsAt44100StereoGiveSevenBuffersSixAhead) {
  BufferPlan p;
  std::string msg;
  EXPECT_TRUE(p.SetPlan(2, 4, 131072, 44100, 4, msg));
  EXPECT_EQ(p.bufSamples, 22050u);
  EXPECT_EQ(p.bufBytes, 88200u);
  EXPECT_EQ(p.bufCount, 7u);
  EXPECT_EQ(p.aheadCount, 6u);
  EXPECT_EQ(p.ringBytes, 7u * 88200u);
  EXPECT_FALSE(p.fixed);
  EXPECT_TRUE(msg.empty());
  // The ring holds more than one FFT block plus one buffer.
  EXPECT_GT(uint64_t{p.bufSamples} * p.bufCount, 131072u + p.bufSamples);
}

TEST(EngineBufferPlan, At48000GivesSevenBuffersOf24000) {
  BufferPlan p;
  std::string msg;
  EXPECT_TRUE(p.SetPlan(2, 4, 131072, 48000, 4, msg));
  EXPECT_EQ(p.bufSamples, 24000u);
  EXPECT_EQ(p.bufCount, 7u);
}

TEST(EngineBufferPlan, HundredPerSecondNeeds299AndIsCutTo170) {
  BufferPlan p;
  std::string msg;
  EXPECT_FALSE(p.SetPlan(100, 4, 131072, 44100, 4, msg));
  EXPECT_EQ(p.bufSamples, 441u);
  EXPECT_EQ(p.bufCount, 170u);
  EXPECT_EQ(msg, "Buffer not enough  (1/2)");
  EXPECT_LE(p.aheadCount, p.bufCount);
}

TEST(EngineBufferPlan, ZeroArgumentsKeepTheirInputs) {
  BufferPlan p;
  std::string msg;
  ASSERT_TRUE(p.SetPlan(10, 4, 4096, 44100, 4, msg));
  EXPECT_TRUE(p.SetPlan(0, 0, 8192, 44100, 4, msg));
  EXPECT_EQ(p.perSec, 10u);
  EXPECT_EQ(p.minCount, 4u);
  EXPECT_EQ(p.minSamples, 8192u);
  EXPECT_EQ(p.bufSamples, 4410u);
  EXPECT_EQ(p.bufCount, 4u);  // 4410 * 4 > 8192 + 4410
}

TEST(EngineBufferPlan, SetBuffersLimitsTheCount) {
  BufferPlan p;
  std::string msg;
  EXPECT_TRUE(p.SetBuffers(1, 1000, 0, 0, 0, msg));
  EXPECT_EQ(p.bufCount, 2u);
  EXPECT_EQ(p.aheadCount, 2u);  // ahead 0 means all buffers
  EXPECT_TRUE(p.fixed);
  EXPECT_TRUE(msg.empty());
  EXPECT_FALSE(p.SetBuffers(171, 1000, 5, 1, 2, msg));
  EXPECT_EQ(p.bufCount, 170u);
  EXPECT_EQ(p.ringBytes, 170000u);
  EXPECT_EQ(p.aheadCount, 5u);
  EXPECT_EQ(p.skipAtTop, 1u);
  EXPECT_EQ(p.skipAtEnd, 2u);
  EXPECT_EQ(msg, "Buffer not enough  (1/2)");
}

TEST(EngineBufferPlan, DegenerateInputsNeverDivideByZero) {
  BufferPlan p;
  std::string msg;
  p.perSec = 0;
  EXPECT_TRUE(p.Compute(8000, 1, msg));
  EXPECT_GE(p.bufSamples, 1u);
  EXPECT_TRUE(p.SetPlan(100000, 2, 16, 8000, 1, msg));  // more buffers per second than samples
  EXPECT_EQ(p.bufSamples, 1u);
  EXPECT_EQ(p.bufCount, 18u);
}

}  // namespace
}  // namespace ov
