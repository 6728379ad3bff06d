// The hand-over between the pump's ring buffers and the endpoint buffer:
// order, conversion across buffer boundaries, done marks and signals, silence
// when nothing is left, and the captured tail on stop.
#include "app/engine/WasapiTransfer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <vector>

namespace ov {
namespace {

WasapiSampleLayout S16ToS24Stereo() {
  WasapiSampleLayout l;
  l.deviceBits = 24;
  l.sourceBits = 16;
  l.channels = 2;
  return l;
}

TEST(WasapiTransfer, RendersBuffersInOrderAcrossBoundariesThenSilence) {
  AutoResetEvent done;
  WasapiTransfer t;
  t.Configure(S16ToS24Stereo(), true, &done);
  // Three ring buffers of 5 frames; the last holds only 3 frames of data.
  std::vector<int16_t> ring(30);
  std::iota(ring.begin(), ring.end(), int16_t{1});
  uint8_t* base = reinterpret_cast<uint8_t*>(ring.data());
  ASSERT_TRUE(t.Submit(0, base, 20));
  ASSERT_TRUE(t.Submit(1, base + 20, 20));
  ASSERT_TRUE(t.Submit(2, base + 40, 12));
  EXPECT_FALSE(t.Done(0));

  std::vector<uint8_t> device(16 * 6, 0xEE);
  EXPECT_EQ(t.Render(device.data(), 7), 7u);  // buffer 0 and 2 frames of buffer 1
  EXPECT_TRUE(t.Done(0));
  EXPECT_FALSE(t.Done(1));
  EXPECT_TRUE(done.Wait(0));
  EXPECT_EQ(t.Render(device.data() + 7 * 6, 9), 6u);  // the rest; 3 frames of silence
  EXPECT_TRUE(t.Done(1));
  EXPECT_TRUE(t.Done(2));
  EXPECT_EQ(t.FramesTransferred(), 13u);
  for (int s = 0; s < 16 * 2; ++s) {
    const uint8_t* p = device.data() + s * 3;
    const int32_t v = s < 26 ? (s + 1) * 256 : 0;
    EXPECT_EQ(p[0] | (p[1] << 8) | (p[2] << 16), v) << "sample " << s;
  }
}

TEST(WasapiTransfer, SignalsOncePerBufferSoMergedSignalsLeaveDoneMarks) {
  AutoResetEvent done;
  WasapiTransfer t;
  t.Configure(S16ToS24Stereo(), true, &done);
  std::vector<uint8_t> ring(8 * 4), device(8 * 6);
  for (uint32_t i = 0; i < 4; ++i) ASSERT_TRUE(t.Submit(i, ring.data() + i * 8, 8));
  t.Render(device.data(), 8);  // four buffers in one period
  for (uint32_t i = 0; i < 4; ++i) EXPECT_TRUE(t.Done(i));
  EXPECT_TRUE(done.Wait(0));
  EXPECT_FALSE(done.Wait(0));
}

TEST(WasapiTransfer, RefusesMoreBuffersThanTheRingHoldsAndClearReturnsAll) {
  WasapiTransfer t;
  t.Configure(S16ToS24Stereo(), true, nullptr);
  uint8_t b[4] = {};
  for (uint32_t i = 0; i < kMaxBuffers; ++i) ASSERT_TRUE(t.Submit(i, b, 4));
  EXPECT_FALSE(t.Submit(0, b, 4));
  t.Clear();
  EXPECT_TRUE(t.Done(5));
  EXPECT_EQ(t.FramesTransferred(), 0u);
  std::vector<uint8_t> device(6, 0xEE);
  EXPECT_EQ(t.Render(device.data(), 1), 0u);
  EXPECT_EQ(device, std::vector<uint8_t>(6, 0));
}

TEST(WasapiTransfer, CapturesIntoQueuedBuffersAndKeepsThePartialTail) {
  AutoResetEvent done;
  WasapiTransfer t;
  WasapiSampleLayout l;
  l.deviceBits = 32;
  l.sourceBits = 24;
  l.channels = 1;
  t.Configure(l, false, &done);
  std::vector<uint8_t> ring(12, 0);
  ASSERT_TRUE(t.Submit(0, ring.data(), 6));
  ASSERT_TRUE(t.Submit(1, ring.data() + 6, 6));
  std::vector<int32_t> device = {0x01020300, 0x04050600, 0x07080900};
  EXPECT_EQ(t.Capture(reinterpret_cast<uint8_t*>(device.data()), 3), 0u);
  EXPECT_TRUE(t.Done(0));
  EXPECT_EQ(t.BytesRecorded(0), 6u);
  EXPECT_FALSE(t.Done(1));
  t.FinishPartial();
  EXPECT_TRUE(t.Done(1));
  EXPECT_EQ(t.BytesRecorded(1), 3u);
  EXPECT_EQ(ring, (std::vector<uint8_t>{3, 2, 1, 6, 5, 4, 9, 8, 7, 0, 0, 0}));
  // With no buffer queued the frames are lost and counted.
  EXPECT_EQ(t.Capture(reinterpret_cast<uint8_t*>(device.data()), 2), 2u);
}

}  // namespace
}  // namespace ov
