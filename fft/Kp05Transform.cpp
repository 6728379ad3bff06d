#include <string.h>

#include "fft/Kp05Plan.h"

namespace kp05 {
namespace {

// Negating every imaginary part turns the forward passes into the inverse:
// conj(F(conj(x))) computes each butterfly with the conjugate twiddle, the
// same operations up to exact sign changes.
void Conjugate(double* values, int32_t m) {
  for (int32_t i = 0; i < m; ++i) values[2 * i + 1] = -values[2 * i + 1];
}

// The fused tail writes 16 streams M bytes apart; beyond this size they
// collide in the cache's sets and two separate passes are faster.
const int32_t kMaxTailSize = 2048;

// Runs the log2(M) stages as passes between data and the work buffer: when
// the stage count is odd a first pass of three stages (one for M = 2), then
// two stages per pass. Returns
// the buffer holding the (unscaled, forward) result.
double* RunStages(const Kp05Plan& plan, double* data) {
  const Kernels& kernels = *plan.kernels;
  const int32_t m = plan.m;
  int stages = 0;
  while ((1 << stages) < m) ++stages;
  double* src = data;
  double* dst = plan.work;
  const PassTables tables = {plan.twiddle, plan.evenTwiddle, plan.tripleTwiddle, plan.tailTwiddle};
  int32_t a = 1;
  if (stages % 2 == 1) {
    if (stages >= 3) {
      kernels.firstRadix8(src, dst, plan.twiddle, m);
      a = 8;
    } else {
      kernels.firstRadix2(src, dst, m);
      a = 2;
    }
    double* t = src;
    src = dst;
    dst = t;
  }
  for (; a < m; a *= 4) {
    if (a == m / 16 && a >= 2 && m <= kMaxTailSize && kernels.radix16Tail != nullptr) {
      kernels.radix16Tail(src, dst, tables, m);
      src = dst;
      break;
    }
    kernels.radix4(src, dst, tables, m, a);
    double* t = src;
    src = dst;
    dst = t;
  }
  return src;
}

}  // namespace

void Transform(Kp05Plan& plan, double* data, bool inverse) {
  const int32_t m = plan.m;
  if (inverse) Conjugate(data, m);
  double* result = RunStages(plan, data);
  if (inverse) Conjugate(result, m);
  const double scale = inverse ? 1.0 : 1.0 / m;  // exact: M is a power of two
  if (plan.realInput) {
    plan.kernels->split(result, data, inverse ? plan.splitInverse : plan.splitForward, m, scale);
    return;
  }
  if (result != data) memcpy(data, result, static_cast<size_t>(m) * 2 * sizeof(double));
  if (!inverse) {
    for (int32_t i = 0; i < 2 * m; ++i) data[i] *= scale;
  }
}

}  // namespace kp05
