#include "app/analysis/AmplitudeKernel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace ov {
namespace {

// The plain definition the fused pass must match bit for bit.
void Reference(const std::vector<double>& bins, std::vector<double>& amp, double& maximum,
               int32_t& maximumBin) {
  for (size_t k = 0; k < amp.size(); ++k) {
    double a = std::sqrt(bins[2 * k] * bins[2 * k] + bins[2 * k + 1] * bins[2 * k + 1]);
    if (k > 0) a = 2 * a;
    amp[k] = a;
    if (a > maximum) {
      maximum = a;
      maximumBin = static_cast<int32_t>(k);
    }
  }
}

TEST(AmplitudeKernel, MatchesThePlainPassWithTheFirstOfEqualMaxima) {
  struct Case {
    std::vector<int> peaks;  // bins given the same largest magnitude
    int count;
  };
  const Case cases[] = {{{0}, 1},     {{1}, 2},     {{2}, 3},    {{5, 9}, 17},
                        {{6, 7}, 16}, {{7, 6}, 16}, {{8, 3}, 9}, {{15, 16}, 17},
                        {{0, 4}, 8},  {{}, 33},     {{32}, 33},  {{1, 2, 3}, 4}};
  for (const Case& c : cases) {
    std::vector<double> bins(2 * c.count);
    for (int k = 0; k < c.count; ++k) {
      bins[2 * k] = std::sin(k * 0.7) * 10;
      bins[2 * k + 1] = std::cos(k * 1.3) * 10;
    }
    // Bin 0 counts once, the others twice: the tied peaks get equal amplitudes.
    for (int p : c.peaks) {
      bins[2 * p] = p == 0 ? 200.0 : 100.0;
      bins[2 * p + 1] = 0.0;
    }
    std::vector<double> expected(c.count), actual(c.count);
    double expectedMax = -1, actualMax = -1;
    int32_t expectedBin = -7, actualBin = -7;
    Reference(bins, expected, expectedMax, expectedBin);
    ComputeAmplitudes(bins.data(), c.count, actual.data(), &actualMax, &actualBin);
    SCOPED_TRACE(c.count);
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(actualMax, expectedMax);
    EXPECT_EQ(actualBin, expectedBin);

    std::vector<double> plain(c.count);
    ComputeAmplitudes(bins.data(), c.count, plain.data(), nullptr, nullptr);
    EXPECT_EQ(plain, expected);
  }

  // Nothing above the start value: maximum and bin stay as they were.
  const std::vector<double> quiet(8, 0.0);
  std::vector<double> amp(4);
  double maximum = 5.0;
  int32_t bin = 42;
  ComputeAmplitudes(quiet.data(), 4, amp.data(), &maximum, &bin);
  EXPECT_EQ(maximum, 5.0);
  EXPECT_EQ(bin, 42);
}

}  // namespace
}  // namespace ov
