#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "fft/Kp05TestSupport.h"
#include "fft/kp05.h"

namespace {

using kp05test::GeneralPlan;

TEST(Kp05PostProcess, DecibelsNormalisedToTheLargestBin) {
  GeneralPlan plan(16, false, false);  // complex: bins 0..8
  ASSERT_TRUE(plan.ok());
  std::vector<double> data(32, 7.0);  // bins past 8 must stay as they are
  const double bins[9][2] = {{0.5, 0}, {3, 4}, {0, 0},  {-1, 0}, {0, 0.25},
                             {6, 8},   {1, 1}, {0, -2}, {0.1, 0}};
  for (int k = 0; k < 9; ++k) {
    data[2 * k] = bins[k][0];
    data[2 * k + 1] = bins[k][1];
  }
  std::vector<double> db(data);
  FFT_PostProcess(db.data(), 1, 0);
  EXPECT_NEAR(db[2 * 1], 20 * std::log10(5.0), 1e-12);
  EXPECT_NEAR(db[2 * 2], -760.0, 1e-9);  // a zero bin
  for (int k = 0; k < 9; ++k) EXPECT_EQ(db[2 * k + 1], 0.0) << k;

  FFT_PostProcess(data.data(), 1, 1);
  for (int k = 0; k < 9; ++k) {
    const double m = std::hypot(bins[k][0], bins[k][1]);
    const double expected = m == 0 ? -760.0 - 20.0 : 20 * std::log10(m / 10.0);
    EXPECT_NEAR(data[2 * k], expected, 1e-9) << k;
  }
  EXPECT_EQ(data[2 * 5], 0.0);
  for (int i = 18; i < 32; ++i) EXPECT_EQ(data[i], 7.0) << i;
}

// Normalising alone subtracts the largest real part (also a negative one) and
// leaves the imaginary parts; a real plan covers bins 0..N/4.
TEST(Kp05PostProcess, NormaliseAloneOnARealPlan) {
  GeneralPlan plan(8, true, false);  // M = 4: bins 0..2
  ASSERT_TRUE(plan.ok());
  double data[10] = {-30, 1, -10, 2, -20, 3, 5, 4, 0, 0};
  FFT_PostProcess(data, 0, 1);
  const double expected[10] = {-20, 1, 0, 2, -10, 3, 5, 4, 0, 0};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(data[i], expected[i]) << i;
}

}  // namespace
