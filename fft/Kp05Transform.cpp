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

// The passes for M points: when the stage count is odd a first pass of three
// stages (one for M = 2), then two stages per pass, the last two fused when
// M is small enough.
struct PassPlan {
  int first;  // stages in the first pass: 0 (none), 1 or 3
  int count;  // passes in all
  bool tail;  // the last two radix-4 passes run as one
};

PassPlan PlanPasses(const Kernels& kernels, int32_t m) {
  int stages = 0;
  while ((1 << stages) < m) ++stages;
  PassPlan p;
  p.first = stages % 2 == 0 ? 0 : stages >= 3 ? 3 : 1;
  const int radix4Passes = (stages - p.first) / 2;
  p.tail = radix4Passes >= 2 && m / 16 >= 2 && m <= kMaxTailSize && kernels.radix16Tail != nullptr;
  p.count = (p.first != 0 ? 1 : 0) + radix4Passes - (p.tail ? 1 : 0);
  return p;
}

// Runs the passes between data and the work buffer, all of them or all but
// the last (when `stopBeforeLast`, with the last radix-4 pass left to the
// caller). Returns the buffer holding the (unscaled, forward) result.
double* RunStages(const Kp05Plan& plan, double* data, const PassPlan& passes, bool stopBeforeLast) {
  const Kernels& kernels = *plan.kernels;
  const int32_t m = plan.m;
  double* src = data;
  double* dst = plan.work;
  const PassTables tables = {plan.twiddle, plan.evenTwiddle, plan.tripleTwiddle, plan.tailTwiddle};
  int32_t a = 1;
  if (passes.first != 0) {
    if (passes.first == 3) {
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
  const int32_t end = stopBeforeLast ? m / 4 : m;
  for (; a < end; a *= 4) {
    if (passes.tail && a == m / 16) {
      kernels.radix16Tail(src, dst, tables, m);
      return dst;
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
  const Kernels& kernels = *plan.kernels;
  const PassPlan passes = PlanPasses(kernels, m);
  const double scale = inverse ? 1.0 : 1.0 / m;  // exact: M is a power of two
  // Forward real plans whose last pass reads the work buffer (an even pass
  // count) run that pass and the split as one, writing the bins into data.
  if (plan.realInput && !inverse && !passes.tail && passes.count % 2 == 0 && m >= 64 &&
      kernels.radix4Split != nullptr) {
    double* src = RunStages(plan, data, passes, true);
    const PassTables tables = {plan.twiddle, plan.evenTwiddle, plan.tripleTwiddle,
                               plan.tailTwiddle};
    kernels.radix4Split(src, data, tables, plan.splitForward, m, scale);
    return;
  }
  if (inverse) Conjugate(data, m);
  double* result = RunStages(plan, data, passes, false);
  if (inverse) Conjugate(result, m);
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
