#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "fft/Kp05Kernels.h"
#include "fft/Kp05Plan.h"
#include "fft/Kp05Reference.h"
#include "fft/Kp05TestSupport.h"
#include "fft/kp05.h"

namespace {

using kp05test::GeneralPlan;
using kp05test::RandomValues;
using kp05test::ReferenceTransform;
using kp05test::RelativeComplexError;

const double kPi = 3.141592653589793;
const double kRounding = 1e-15;  // fast kernels against the plain algorithm

// Every size, both kinds and directions: the library equals the plain algorithm
// to rounding, also for the inverse direction of a real plan (which reaches
// only the inner complex stage). Run with each kernel set this CPU runs (the
// portable one every x86-64 can run, AVX2 and AVX-512) and each layout: the
// one measured at creation, and each of the others forced wherever the size
// allows, so that none is left untested by what this machine measures.
using KernelsAndLayout = std::tuple<kp05::KernelSet, kp05::Layout>;

class Kp05Transform : public testing::TestWithParam<KernelsAndLayout> {
 protected:
  void SetUp() override {
    const kp05::KernelSet set = std::get<0>(GetParam());
    if (!kp05::CpuRuns(set)) GTEST_SKIP() << "this CPU lacks the kernel set";
    kp05::LimitKernels(set);
    kp05::ForceLayout(std::get<1>(GetParam()));
  }
  void TearDown() override {
    kp05::LimitKernels(kp05::KernelSet::Avx512);
    kp05::ForceLayout(kp05::Layout::Measured);
  }
};

std::string KernelsAndLayoutName(const testing::TestParamInfo<KernelsAndLayout>& info) {
  const char* sets[] = {"Portable", "Avx2", "Avx512"};
  const char* layouts[] = {"Measured", "Passes", "Tail", "Quarters", "Eights"};
  return std::string(sets[static_cast<int>(std::get<0>(info.param))]) +
         layouts[static_cast<int>(std::get<1>(info.param))];
}

TEST_P(Kp05Transform, EqualsPlainAlgorithmAtEverySize) {
  for (int32_t n = 1; n <= 131072; n *= 2) {
    for (bool real : {false, true}) {
      if (real && n < 2) continue;
      for (bool inverse : {false, true}) {
        SCOPED_TRACE(testing::Message() << "n " << n << " real " << real << " inverse " << inverse);
        GeneralPlan plan(n, real, false);
        ASSERT_TRUE(plan.ok());
        const size_t bins = real ? n / 2 + 1 : n;
        std::vector<double> data = RandomValues(2 * bins, n * 4 + real * 2 + inverse);
        if (real) std::fill(data.begin() + n, data.end(), 0.0);
        std::vector<double> expected(data);
        ReferenceTransform(n, real).Run(expected.data(), inverse);
        FFT_fft(data.data(), inverse ? 1 : 0);
        EXPECT_LE(RelativeComplexError(data.data(), expected.data(), bins), kRounding);
        // The plan's work buffer carries nothing from one call to the next.
        std::vector<double> again(RandomValues(2 * bins, n * 4 + real * 2 + inverse));
        if (real) std::fill(again.begin() + n, again.end(), 0.0);
        FFT_fft(again.data(), inverse ? 1 : 0);
        EXPECT_EQ(again, data);
      }
    }
  }
}

// Where the caller's buffer starts in its page changes nothing in the
// results, and (under the sanitizers) nothing outside it is touched.
TEST_P(Kp05Transform, TheCallersBufferMayStartAnywhereInItsPage) {
  const size_t page = 4096;
  for (int32_t n : {64, 4096, 32768}) {
    for (bool real : {false, true}) {
      SCOPED_TRACE(testing::Message() << "n " << n << " real " << real);
      GeneralPlan plan(n, real, false);
      ASSERT_TRUE(plan.ok());
      const size_t doubles = real ? n + 2 : 2 * n;
      std::vector<double> input = RandomValues(doubles, n);
      if (real) input[n] = input[n + 1] = 0.0;
      std::vector<double> first(input);
      FFT_fft(first.data(), 0);
      std::vector<double> region(doubles + page / sizeof(double) * 2);
      const size_t step = n >= 4096 ? 584 : 8;  // every offset for the small size
      for (size_t offset = 0; offset < page; offset += step) {
        const uintptr_t base = reinterpret_cast<uintptr_t>(region.data());
        auto* data = reinterpret_cast<double*>((base + page - 1) / page * page + offset);
        std::copy(input.begin(), input.end(), data);
        FFT_fft(data, 0);
        ASSERT_TRUE(std::equal(first.begin(), first.end(), data)) << "offset " << offset;
      }
    }
  }
}

// The portable kernels run radix-4 passes only.
std::vector<KernelsAndLayout> EveryKernelSetAndLayout() {
  using kp05::KernelSet;
  using kp05::Layout;
  std::vector<KernelsAndLayout> all = {{KernelSet::Portable, Layout::Measured},
                                       {KernelSet::Portable, Layout::Passes}};
  for (KernelSet set : {KernelSet::Avx2, KernelSet::Avx512}) {
    for (Layout layout :
         {Layout::Measured, Layout::Passes, Layout::Tail, Layout::Quarters, Layout::Eights}) {
      all.emplace_back(set, layout);
    }
  }
  return all;
}

INSTANTIATE_TEST_SUITE_P(Kernels, Kp05Transform, testing::ValuesIn(EveryKernelSetAndLayout()),
                         KernelsAndLayoutName);

TEST(Kp05TransformEdges, SmallestPlansRunNoStage) {
  {
    GeneralPlan plan(1, false, false);
    ASSERT_TRUE(plan.ok());
    double value[2] = {3.5, -2.0};
    FFT_fft(value, 0);
    EXPECT_EQ(value[0], 3.5);
    EXPECT_EQ(value[1], -2.0);
  }
  GeneralPlan plan(2, true, false);
  ASSERT_TRUE(plan.ok());
  double data[4] = {3.0, 1.0, 99.0, 99.0};
  FFT_fft(data, 0);
  EXPECT_EQ(data[0], 2.0);  // (x0 + x1) / 2
  EXPECT_EQ(data[1], 0.0);
  EXPECT_EQ(data[2], 1.0);  // (x0 - x1) / 2
  EXPECT_EQ(data[3], 0.0);
}

TEST(Kp05TransformEdges, ImpulseSpreadsToOneOverM) {
  for (int32_t m : {2, 4, 8, 1024}) {
    GeneralPlan plan(m, false, false);
    ASSERT_TRUE(plan.ok());
    std::vector<double> data(2 * m, 0.0);
    data[0] = 1.0;
    FFT_fft(data.data(), 0);
    for (int32_t k = 0; k < m; ++k) {
      ASSERT_EQ(data[2 * k], 1.0 / m) << m << " bin " << k;
      ASSERT_EQ(data[2 * k + 1], 0.0) << m << " bin " << k;
    }
  }
}

TEST(Kp05TransformEdges, RealConstantAndCosineLandOnTheirBins) {
  const int32_t n = 4096;
  GeneralPlan plan(n, true, false);
  ASSERT_TRUE(plan.ok());
  std::vector<double> data(n + 2, 0.75);
  FFT_fft(data.data(), 0);
  EXPECT_NEAR(data[0], 0.75, 1e-15);
  EXPECT_EQ(data[1], 0.0);
  for (int32_t k = 1; k <= n / 2; ++k) {
    ASSERT_NEAR(std::hypot(data[2 * k], data[2 * k + 1]), 0.0, 1e-15) << "bin " << k;
  }

  for (int32_t bin : {1, 7, 1000, n / 2 - 1}) {
    const double amplitude = 12000.0;
    for (int32_t i = 0; i < n; ++i) data[i] = amplitude * std::cos(2 * kPi * bin * i / n);
    FFT_fft(data.data(), 0);
    for (int32_t k = 0; k <= n / 2; ++k) {
      const double re = k == bin ? amplitude / 2 : 0.0;
      ASSERT_NEAR(data[2 * k], re, 1e-12 * amplitude) << "bin " << k;
      ASSERT_NEAR(data[2 * k + 1], 0.0, 1e-12 * amplitude) << "bin " << k;
    }
    EXPECT_EQ(data[1], 0.0);
    EXPECT_EQ(data[n + 1], 0.0);
  }
}

TEST(Kp05TransformEdges, InverseUndoesForward) {
  for (int32_t m : {2, 4, 64, 8192}) {
    GeneralPlan plan(m, false, false);
    ASSERT_TRUE(plan.ok());
    const std::vector<double> input = RandomValues(2 * m, m);
    std::vector<double> data(input);
    FFT_fft(data.data(), 0);
    FFT_fft(data.data(), 1);
    EXPECT_LE(RelativeComplexError(data.data(), input.data(), m), 1e-14) << m;
  }
}

}  // namespace

#if defined(__x86_64__) || defined(__i386__)
// The fast kernels run wherever the CPU offers them (also in the DLL under
// Wine), and only there.
TEST(Kp05Kernels, FastestKernelsTheCpuOffersAreChosen) {
  __builtin_cpu_init();
  const bool avx2 = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
  const bool avx512 =
      avx2 && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq");
  const kp05::Kernels* expected = avx512 ? kp05::Avx512Kernels()
                                  : avx2 ? kp05::Avx2Kernels()
                                         : &kp05::PortableKernels();
  EXPECT_EQ(&kp05::BestKernels(), expected);
  kp05::LimitKernels(kp05::KernelSet::Avx2);
  EXPECT_EQ(&kp05::BestKernels(), avx2 ? kp05::Avx2Kernels() : &kp05::PortableKernels());
  kp05::LimitKernels(kp05::KernelSet::Portable);
  EXPECT_EQ(&kp05::BestKernels(), &kp05::PortableKernels());
  kp05::LimitKernels(kp05::KernelSet::Avx512);
}
#endif
