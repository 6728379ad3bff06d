#include "app/engine/SampleRing.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "app/engine/EngineTexts.h"

namespace ov {
namespace {

TEST(EngineSampleRing, ReallocatesOnlyWhenCountSizeOrCopiesChange) {
  SampleRing r;
  ASSERT_TRUE(r.Layout(7, 88200, 1));
  EXPECT_EQ(reinterpret_cast<uintptr_t>(r.Data()) % 8, 0u);
  r.Data()[5] = 9;
  ASSERT_TRUE(r.Layout(7, 88200, 1));
  EXPECT_EQ(r.Allocations(), 1u);
  EXPECT_EQ(r.Data()[5], 9);  // the same block
  ASSERT_TRUE(r.Layout(8, 88200, 1));
  ASSERT_TRUE(r.Layout(8, 100, 1));
  ASSERT_TRUE(r.Layout(8, 100, 2));
  EXPECT_EQ(r.Allocations(), 4u);
  EXPECT_EQ(r.Buffer(1, 0), r.Data() + 800);
  r.Fill(128);
  EXPECT_EQ(r.Data()[1599], 128);
}

TEST(EngineSampleRing, CopyWrapsOnceAndPadsBeyondTheRing) {
  std::vector<uint8_t> ring(10);
  std::iota(ring.begin(), ring.end(), 0);
  uint8_t out[14];
  CopyFromRing(ring.data(), 10, 7, out, 6, 0);
  EXPECT_EQ(std::vector<uint8_t>(out, out + 6), (std::vector<uint8_t>{7, 8, 9, 0, 1, 2}));
  CopyFromRing(ring.data(), 10, 23, out, 5, 0);  // start taken modulo the ring
  EXPECT_EQ(out[0], 3);
  CopyFromRing(ring.data(), 10, 2, out, 12, 128);
  EXPECT_EQ(out[7], 9);
  EXPECT_EQ(out[8], 0);
  EXPECT_EQ(out[9], 1);
  EXPECT_EQ(out[10], 128);
  EXPECT_EQ(out[11], 128);
  CopyFromRing(nullptr, 0, 0, out, 4, 128);
  EXPECT_EQ(out[3], 128);
}

TEST(EngineSampleRing, BlockStartsFollowPositionAndLatency) {
  const uint64_t ring = 4 * 1000;
  // Play: the audible sample is the position minus the latency, modulo the ring.
  EXPECT_EQ(PlayBlockStart(100, 4, ring, 0), 400u);
  EXPECT_EQ(PlayBlockStart(100, 4, ring, 600), ring - 200);
  EXPECT_EQ(PlayBlockStart(1100, 4, ring, 400), 0u);
  EXPECT_EQ(PlayBlockStart(0, 4, ring, ring * 3 + 4), ring - 4);  // latency above the ring
  // Record: the block ends at the newest sample.
  EXPECT_EQ(RecBlockStart(500, 4, ring, 0, 1000), 1000u);
  EXPECT_EQ(RecBlockStart(100, 4, ring, 0, 1000), ring - 600);
  EXPECT_EQ(RecBlockStart(100, 4, ring, 200, 1000), ring - 800);
}

TEST(EngineSampleRing, PositionInterpolationIsCappedAtOneBuffer) {
  EXPECT_EQ(InterpolatedPosition(1000, 0, 44100, 22050), 1000u);
  EXPECT_EQ(InterpolatedPosition(1000, 100, 44100, 22050), 1000u + 4410u);
  EXPECT_EQ(InterpolatedPosition(1000, 5000, 44100, 22050), 1000u + 22050u);
}

// The pump may store a newer tick between the display thread's two reads:
// that is no time at all, not 49 days.
TEST(EngineSampleRing, ElapsedTimeNeverRunsBackwards) {
  EXPECT_EQ(ElapsedMs(1000, 990), 10u);
  EXPECT_EQ(ElapsedMs(5, 0xFFFFFFFBu), 10u);  // across the tick's wrap
  EXPECT_EQ(ElapsedMs(1000, 1003), 0u);
  EXPECT_EQ(InterpolatedPosition(1000, ElapsedMs(1000, 1003), 44100, 22050), 1000u);
}

TEST(EngineSampleRing, LatencyFromSettingsOrDevice) {
  EXPECT_EQ(LatencySamples(20, 44100, 0.05, 1.1), 882u);   // 3528 bytes in stereo 16-bit
  EXPECT_EQ(LatencySamples(-1, 44100, 0.05, 1.1), 2425u);  // trunc(44100 * 0.05 * 1.1)
  EXPECT_EQ(LatencySamples(-1, 48000, 0.05, 1.25), 3000u);
  EXPECT_EQ(LatencySamples(0, 48000, 0.05, 1.25), 0u);
}

TEST(EngineTexts, FixedTextsAndFormats) {
  WaveFormat f{};
  f.formatTag = 1;
  f.channels = 2;
  f.samplesPerSec = 44100;
  f.bitsPerSample = 16;
  EXPECT_EQ(FormatText(f, false, false), "44100Hz 16bit 2ch");
  EXPECT_EQ(FormatText(f, true, true), "44100Hz 16bit 2ch 64 B");
  f.formatTag = 3;
  f.bitsPerSample = 32;
  f.samplesPerSec = 8000;
  EXPECT_EQ(UnsupportedFormatText(f), "Unsupported format:   8000Hz F32bit 2ch");
  EXPECT_EQ(MinutesSecondsText(3599), "59m59s");
  EXPECT_EQ(MinutesSecondsText(61), "01m01s");
  EXPECT_EQ(StoppedText("Error: waveOutWrite()"), "Stopped! \n\nError: waveOutWrite()");
}

TEST(EngineTexts, BufferInfoText) {
  WaveFormat f{1, 2, 44100, 176400, 4, 16, 0, 0, 0, {}};
  BufferInfo play{7, 88200, 617400, 22050, 0, 6, 0, 0, 0, 0, 0};
  BufferInfo rec{7, 88200, 617400, 22050, 1, 0, 0, 0, 3, 500, 612};
  const std::string s = BufferInfoText(play, rec, 131072, f);
  EXPECT_EQ(s.rfind("----- Buffer Info. -----\n\n[Output]\nNumOfBuf_o: \t 7\n", 0), 0u);
  EXPECT_NE(s.find("BufSize_o:  \t 88200 \t(22050sa, 500ms)\n"), std::string::npos);
  EXPECT_NE(s.find("TotalBufSize_o: \t 617400 \t(154350sa, 3.50sec)\n"), std::string::npos);
  EXPECT_NE(s.find("BufFixed_o: \t false\n\n"), std::string::npos);
  EXPECT_NE(s.find("NumOfAheadBuf:    \t 6 \t(132300sa, 3.00sec)\n"), std::string::npos);
  EXPECT_NE(s.find("BufFixed_i: \t true\n\nOverrun count: \t 3 \nBuffer time: \t 500 (ms)\n"
                   "Buffer time Max:\t 612 (ms)\n\n[FFT]\nFFT points:  \t 131072\n\n"),
            std::string::npos);
  EXPECT_NE(s.find("wBitsPerSample: \t 16"), std::string::npos);
  EXPECT_EQ(s.back(), '6');
}

}  // namespace
}  // namespace ov
