// Helpers shared by the library's tests: plan ownership, signals, error measures.
#pragma once

#include <stdint.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "fft/kp05.h"

namespace kp05test {

// Creates the general plan for a test and releases it afterwards.
class GeneralPlan {
 public:
  GeneralPlan(int32_t n, bool realInput, bool windowTables)
      : plan_(Create_FFT(n, realInput ? 1 : 0, windowTables ? 1 : 0)) {}
  ~GeneralPlan() {
    if (plan_ != nullptr) Release_FFT();
  }
  GeneralPlan(const GeneralPlan&) = delete;
  GeneralPlan& operator=(const GeneralPlan&) = delete;
  bool ok() const { return plan_ != nullptr; }

 private:
  Kp05Plan* plan_;
};

// Uniform values in [-1, 1) from a fixed seed, so failures reproduce.
inline std::vector<double> RandomValues(size_t count, uint32_t seed) {
  std::mt19937 generator(seed);
  std::uniform_real_distribution<double> distribution(-1.0, 1.0);
  std::vector<double> values(count);
  for (double& v : values) v = distribution(generator);
  return values;
}

// Largest |a[i] - b[i]| over complex pairs, relative to b's largest magnitude.
inline double RelativeComplexError(const double* a, const double* b, size_t complexCount) {
  double largest = 0.0, error = 0.0;
  for (size_t i = 0; i < complexCount; ++i) {
    largest = std::max(largest, std::hypot(b[2 * i], b[2 * i + 1]));
    error = std::max(error, std::hypot(a[2 * i] - b[2 * i], a[2 * i + 1] - b[2 * i + 1]));
  }
  return largest > 0.0 ? error / largest : error;
}

}  // namespace kp05test
