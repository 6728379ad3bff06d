// Frames allocate nothing: every operator new between the marks is counted.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "app/analysis/AnalysisTestSupport.h"
#include "app/analysis/FrameAnalysis.h"

// The replacement operators below pair malloc with free by design.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};
}  // namespace

void* operator new(std::size_t size) {
  if (counting) ++allocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
  return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  if (counting) ++allocations;
  return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& t) noexcept {
  return operator new(size, t);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}

namespace ov {
namespace {

TEST(NoAllocation, ThousandFramesAllocateNothing) {
  Kp05Api api = StaticKp05Api();
  test::FakeBlockSource engine;
  test::RecordingNotifier notifier;
  NoModifierKeys keys;
  FrameAnalysis a(api, engine, notifier, keys);
  a.Format = test::FloatFormat(2, 48000);
  a.FormatIsFloat = 32;
  ASSERT_TRUE(a.SetAnalysisSize(1024));
  ASSERT_TRUE(a.CreateInterpolationPlans());
  engine.block = test::ToneFrames(a.Format, 1024, {{20000, 1000.7}, {30, 2001.4}});
  engine.playState = kPlayPlaying;
  a.spectrumAreaHeight = 200;
  a.levelMeterShown = true;
  a.live = true;
  a.measureMode = true;
  a.thdOn = a.rmsOn = true;
  a.SpectrumInterpolate = 2;
  a.cursorBin = 40;
  a.levelScale.normalisationMode = 3;
  bool layout;
  a.AverageCountChanged("10", layout);
  a.PeakButtonDown(true);

  counting = true;
  long frames = 0;
  for (int i = 0; i < 1000; ++i) {
    if (a.AcquireFrame(true) == 0) ++frames;
    a.ComputeSpectrum();
    const MeasurementReadouts r = a.ComputeReadouts();
    frames += r.thdShown ? 0 : 1000000;
  }
  counting = false;
  EXPECT_EQ(frames, 1000);
  EXPECT_EQ(allocations.load(), 0);
  EXPECT_GT(a.PeakFreq10, 0);
}

}  // namespace
}  // namespace ov
