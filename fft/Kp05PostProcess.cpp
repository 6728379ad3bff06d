#include <math.h>

#include "fft/Kp05Plan.h"

namespace kp05 {

// Bins 0..H, H = M/2, whatever the plan's input kind: for a real plan that ends
// at bin N/4, the range the library's callers receive.
void PostProcess(const Kp05Plan& plan, double* data, bool toDecibels, bool normalise) {
  const int32_t last = plan.half;
  if (toDecibels) {
    for (int32_t k = 0; k <= last; ++k) {
      double magnitude = sqrt(data[2 * k] * data[2 * k] + data[2 * k + 1] * data[2 * k + 1]);
      if (magnitude == 0.0) magnitude = 1e-38;  // reads -760 dB
      data[2 * k] = 20.0 * log10(magnitude);
      data[2 * k + 1] = 0.0;
    }
  }
  if (normalise) {
    double largest = data[0];
    for (int32_t k = 1; k <= last; ++k) {
      if (data[2 * k] > largest) largest = data[2 * k];
    }
    for (int32_t k = 0; k <= last; ++k) data[2 * k] -= largest;
  }
}

}  // namespace kp05
