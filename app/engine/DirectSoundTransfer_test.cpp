#include "app/engine/DirectSoundTransfer.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "app/engine/SampleRing.h"

namespace ov {
namespace {

TEST(DsGeometry, HalvesFromTheLatencySetting) {
  // 0 means 50 ms: at 44100 Hz 16-bit stereo, halves of 2205 samples.
  const DsHalfGeometry g = DsGeometry(0, 44100, 4);
  EXPECT_EQ(g.halfBytes, 8820u);
  EXPECT_EQ(g.bufferBytes, 17640u);
  EXPECT_EQ(g.notify[0], 8819u);
  EXPECT_EQ(g.notify[1], 17639u);
  EXPECT_DOUBLE_EQ(DsHalfSeconds(g, 44100, 4), 0.05);
  // The automatic play latency: one half x 1.1.
  EXPECT_EQ(LatencySamples(-1, 44100, DsHalfSeconds(g, 44100, 4), 1.1), 2425u);

  EXPECT_EQ(DsGeometry(100, 44100, 4).halfBytes, 4410u * 4);
  // The samples are truncated before the block align multiplies them.
  EXPECT_EQ(DsGeometry(33, 44100, 6).halfBytes, 1455u * 6);
  EXPECT_EQ(DsGeometry(200, 48000, 8).bufferBytes, 2u * 9600 * 8);
  EXPECT_EQ(DsGeometry(0, 0, 4).halfBytes, 0u);
}

TEST(DsDeviceTable, KeepsThirtyEntriesAndSeventyCharacters) {
  DsDeviceTable t;
  const uint8_t guid[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  EXPECT_TRUE(t.Add(nullptr, "Primary Sound Driver"));
  bool more = true;
  for (int i = 1; i < 40 && more; ++i) more = t.Add(guid, "Device " + std::to_string(i));
  EXPECT_FALSE(more);  // the enumeration stops at the 30th entry
  EXPECT_EQ(t.Count(), 30u);
  EXPECT_FALSE(t.Add(guid, "one too many"));
  EXPECT_EQ(t.Count(), 30u);
  EXPECT_FALSE(t.HasGuid(0));
  EXPECT_TRUE(t.HasGuid(2));
  EXPECT_EQ(t.Guid(2)[15], 16);
  EXPECT_EQ(t.Description(29), "Device 29");
  EXPECT_EQ(t.Description(30), "");

  t.Clear();
  t.Add(nullptr, std::string(80, 'x'));
  EXPECT_EQ(t.Description(0), std::string(70, 'x'));
  // Characters, not bytes: a multi-byte character is never split.
  std::string wide;
  for (int i = 0; i < 75; ++i) wide += "\xC3\xA9";  // U+00E9
  t.Add(nullptr, wide);
  EXPECT_EQ(t.Description(1).size(), 140u);
  EXPECT_EQ(CutUtf8("ab\xE3\x81\x82"
                    "c",
                    3),
            "ab\xE3\x81\x82");
}

// A ring of 3 buffers of 12 bytes (block align 4), moved in halves of 8 bytes:
// the halves straddle the buffers and the ring's wrap.
class RingTransferTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ring.resize(36);
    std::iota(ring.begin(), ring.end(), 0);
    t.Layout(ring.data(), 3, 12, 4);
  }
  std::vector<uint8_t> ring;
  RingTransfer t;
};

TEST_F(RingTransferTest, PlayCopiesAcrossTheWrapAndCountsPassedBuffers) {
  for (uint32_t i = 0; i < 3; ++i) t.Handed(i);
  std::vector<uint8_t> half(8);
  std::vector<uint32_t> passed;
  std::vector<uint8_t> out;
  for (int k = 0; k < 9; ++k) {  // 72 bytes: twice round the ring
    passed.push_back(t.CopyOut(half.data(), 8));
    out.insert(out.end(), half.begin(), half.end());
  }
  for (size_t i = 0; i < out.size(); ++i) ASSERT_EQ(out[i], i % 36) << i;
  // A buffer passes at 12, 24, 36, 48, 60, 72 bytes moved.
  EXPECT_EQ(passed, (std::vector<uint32_t>{0, 1, 1, 0, 1, 1, 0, 1, 1}));
  EXPECT_EQ(t.Frames(), 18u);
}

TEST_F(RingTransferTest, DoneFollowsTheLatestHandOverOfEachBuffer) {
  std::vector<uint8_t> half(8);
  for (uint32_t i = 0; i < 2; ++i) t.Handed(i);  // two buffers primed
  EXPECT_FALSE(t.Done(0));
  t.CopyOut(half.data(), 8);
  EXPECT_FALSE(t.Done(0));
  t.CopyOut(half.data(), 8);  // 16 bytes: buffer 0 passed
  EXPECT_TRUE(t.Done(0));
  EXPECT_FALSE(t.Done(1));
  t.Handed(2);
  t.Handed(0);  // refilled: not done again until the next lap passes it
  EXPECT_FALSE(t.Done(0));
  // Two buffers pass before the pump looks: both marks stay, so the merged
  // signal loses neither.
  t.CopyOut(half.data(), 8);
  t.CopyOut(half.data(), 8);
  t.CopyOut(half.data(), 8);  // 40 bytes: buffers 1 (at 24) and 2 (at 36) passed
  EXPECT_TRUE(t.Done(1));
  EXPECT_TRUE(t.Done(2));
  EXPECT_FALSE(t.Done(0));
  t.CopyOut(half.data(), 8);  // 48: buffer 0 of the second lap
  EXPECT_TRUE(t.Done(0));

  // A rewind (re-prime) starts over at the ring's start.
  t.Rewind();
  t.Handed(0);
  EXPECT_FALSE(t.Done(0));
  EXPECT_EQ(t.Frames(), 0u);
  t.CopyOut(half.data(), 8);
  EXPECT_EQ(half, (std::vector<uint8_t>{0, 1, 2, 3, 4, 5, 6, 7}));
}

TEST_F(RingTransferTest, RecordWritesAcrossTheWrap) {
  std::vector<uint8_t> half(8);
  uint32_t passed = 0;
  for (int k = 0; k < 5; ++k) {  // 40 bytes: the last half wraps onto the ring's start
    for (int i = 0; i < 8; ++i) half[i] = static_cast<uint8_t>(100 + 8 * k + i);
    passed += t.CopyIn(half.data(), 8);
  }
  EXPECT_EQ(passed, 3u);
  EXPECT_EQ(ring[0], 136);
  EXPECT_EQ(ring[3], 139);
  EXPECT_EQ(ring[4], 104);  // not yet overwritten
  EXPECT_EQ(ring[35], 135);
}

TEST_F(RingTransferTest, AStoppedCaptureEndsThePartlyFilledBuffer) {
  for (uint32_t i = 0; i < 3; ++i) t.Handed(i);
  std::vector<uint8_t> src(8, 200);
  EXPECT_EQ(t.FinishPartial(), 0u);  // nothing moved: nothing to end
  t.CopyIn(src.data(), 8);
  t.CopyIn(src.data(), 8);  // 16 bytes: buffer 0 full, buffer 1 holds 4
  EXPECT_EQ(t.Filled(0), 12u);
  EXPECT_FALSE(t.Done(1));
  EXPECT_EQ(t.FinishPartial(), 1u);
  EXPECT_TRUE(t.Done(1));
  EXPECT_EQ(t.Filled(1), 4u);
  EXPECT_EQ(t.FinishPartial(), 0u);  // a second stop ends nothing more
  // The next bytes start buffer 2 at its first byte and fill it whole.
  std::vector<uint8_t> next(12);
  std::iota(next.begin(), next.end(), 50);
  EXPECT_EQ(t.CopyIn(next.data(), 12), 1u);
  EXPECT_TRUE(t.Done(2));
  EXPECT_EQ(t.Filled(2), 12u);
  EXPECT_EQ(ring[24], 50);
  EXPECT_EQ(ring[35], 61);
  EXPECT_EQ(ring[16], 16);  // buffer 1 beyond its 4 bytes untouched
  // Handed again, buffer 1 is filled whole on the next lap.
  t.Handed(0);
  t.Handed(1);
  t.CopyIn(next.data(), 12);
  EXPECT_TRUE(t.Done(0));
  EXPECT_FALSE(t.Done(1));
  t.CopyIn(next.data(), 12);
  EXPECT_TRUE(t.Done(1));
  EXPECT_EQ(t.Filled(1), 12u);
}

TEST(RingTransfer, HalvesLargerThanARingBufferPassSeveral) {
  std::vector<uint8_t> ring(40), half(24);
  RingTransfer t;
  t.Layout(ring.data(), 5, 8, 4);
  for (uint32_t i = 0; i < 5; ++i) t.Handed(i);
  EXPECT_EQ(t.CopyOut(half.data(), 24), 3u);
  EXPECT_TRUE(t.Done(0));
  EXPECT_TRUE(t.Done(2));
  EXPECT_FALSE(t.Done(3));
  RingTransfer empty;
  EXPECT_EQ(empty.CopyOut(half.data(), 24), 0u);
  EXPECT_TRUE(empty.Empty());
}

}  // namespace
}  // namespace ov
