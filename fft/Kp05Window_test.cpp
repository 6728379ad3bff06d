#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "fft/Kp05TestSupport.h"
#include "fft/kp05.h"

namespace {

using kp05test::GeneralPlan;
using kp05test::RandomValues;

// The window formulas evaluated in double; the library's tables come from
// extended precision, so they agree to a few units of rounding.
double WindowValue(int type, int i, int n) {
  const double x = 2 * 3.141592653589793 * i / n;
  switch (type) {
    case 1:
      return 0.5 - 0.5 * std::cos(x);
    case 2:
      return 0.54 - 0.46 * std::cos(x);
    case 3:
      return 0.42 - 0.5 * std::cos(x) + 0.08 * std::cos(2 * x);
    case 4:
      return 0.35875 - 0.48829 * std::cos(x) + 0.14128 * std::cos(2 * x) -
             0.01168 * std::cos(3 * x);
    case 5:
      return 0.27105140069342415 - 0.43329793923448606 * std::cos(x) +
             0.21812299954311062 * std::cos(2 * x) - 0.0659254463880309 * std::cos(3 * x) +
             0.010811742098372268 * std::cos(4 * x) - 0.0007765848252250934 * std::cos(5 * x) +
             0.000013887217350903198 * std::cos(6 * x);
    case 6:
      return 0.21557895 - 0.41663158 * std::cos(x) + 0.277263158 * std::cos(2 * x) -
             0.083578947 * std::cos(3 * x) + 0.006947368 * std::cos(4 * x);
  }
  return 1.0;
}

TEST(Kp05Window, TablesFollowTheirFormulasOnRealAndComplexPlans) {
  for (bool real : {true, false}) {
    const int n = 1024;
    GeneralPlan plan(n, real, true);
    ASSERT_TRUE(plan.ok());
    const std::vector<double> input = RandomValues(2 * n + 2, 11);
    for (int type = 1; type <= 6; ++type) {
      std::vector<double> data(input);
      FFT_WeightWindow(data.data(), type);
      for (int i = 0; i < n; ++i) {
        if (real) {
          ASSERT_NEAR(data[i], input[i] * WindowValue(type, i, n), 1e-15) << type << " " << i;
        } else {
          ASSERT_NEAR(data[2 * i], input[2 * i] * WindowValue(type, i, n), 1e-15) << type;
          ASSERT_EQ(data[2 * i + 1], input[2 * i + 1]) << "imaginary part " << i;
        }
      }
      // Past the N samples nothing is touched.
      for (size_t i = real ? n : 2 * n; i < data.size(); ++i) ASSERT_EQ(data[i], input[i]);
    }
  }
}

TEST(Kp05Window, HanningOfOnesIsPeriodic) {
  const int n = 4096;
  GeneralPlan plan(n, true, true);
  ASSERT_TRUE(plan.ok());
  std::vector<double> data(n + 2, 1.0);
  FFT_WeightWindow(data.data(), KP05_WINDOW_HANNING);
  EXPECT_EQ(data[0], 0.0);
  EXPECT_EQ(data[n / 2], 1.0);
  EXPECT_NEAR(data[n / 4], 0.5, 1e-16);
  EXPECT_NEAR(data[n - 1], data[1], 1e-16);  // periodic: symmetric about N/2
}

TEST(Kp05Window, OtherTypesAndPlansWithoutTablesLeaveDataUnchanged) {
  const std::vector<double> input = RandomValues(258, 3);
  {
    GeneralPlan plan(256, true, true);
    ASSERT_TRUE(plan.ok());
    for (int type : {0, 7, -1, 1000}) {
      std::vector<double> data(input);
      FFT_WeightWindow(data.data(), type);
      EXPECT_EQ(data, input) << type;
    }
  }
  GeneralPlan plan(256, true, false);
  ASSERT_TRUE(plan.ok());
  std::vector<double> data(input);
  FFT_WeightWindow(data.data(), KP05_WINDOW_BLACKMAN);
  EXPECT_EQ(data, input);
}

}  // namespace
