#include <math.h>

#include "fft/Kp05Plan.h"
#include "fft/Kp05Trig.h"

namespace kp05 {
namespace {

const long double kPi = 3.141592653589793;

// Cosine-sum coefficients a0, a1, ... of each window type 1..6: the value at
// angle x is a0 + a1*cos x + a2*cos 2x + ... (signs included).
struct CosineSum {
  int terms;
  long double a[7];
};

const CosineSum kWindows[KP05_WINDOW_TABLE_COUNT] = {
    {2, {0.5L, -0.5L}},                               // Hanning
    {2, {0.54L, -0.46L}},                             // Hamming
    {3, {0.42L, -0.5L, 0.08L}},                       // Blackman
    {4, {0.35875L, -0.48829L, 0.14128L, -0.01168L}},  // 4-term Blackman-Harris
    {7,                                               // 7-term Blackman-Harris
     {0.27105140069342415L, -0.43329793923448606L, 0.21812299954311062L, -0.0659254463880309L,
      0.010811742098372268L, -0.0007765848252250934L, 0.000013887217350903198L}},
    {5, {0.21557895L, -0.41663158L, 0.277263158L, -0.083578947L, 0.006947368L}},  // flat top
};

}  // namespace

// Periodic windows: the angle is 2*pi*i/N (not N-1), computed once per index
// in extended precision and multiplied by k for the k-th harmonic.
void FillWindowTables(Kp05Plan& plan) {
  const int32_t n = plan.n;
  for (int32_t i = 0; i < n; ++i) {
    const long double x = 2 * kPi * i / n;
    for (int w = 0; w < KP05_WINDOW_TABLE_COUNT; ++w) {
      const CosineSum& sum = kWindows[w];
      long double value = sum.a[0];
      for (int k = 1; k < sum.terms; ++k) value += sum.a[k] * Cos(k * x);
      plan.window[w][i] = static_cast<double>(value);
    }
  }
}

void WeightWindow(const Kp05Plan& plan, double* data, int32_t type) {
  if (!plan.windowTables || type < 1 || type > KP05_WINDOW_TABLE_COUNT) return;
  const double* table = plan.window[type - 1];
  const int32_t n = plan.n;
  if (plan.realInput) {
    plan.kernels->weightReal(data, table, n);
  } else {
    for (int32_t i = 0; i < n; ++i) data[2 * i] *= table[i];
  }
}

}  // namespace kp05
