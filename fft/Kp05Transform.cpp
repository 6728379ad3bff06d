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

// The stages before the last radix-4 pass as a first radix-8 pass, radix-8
// passes and at most two radix-4 passes (stages - 2 >= 6).
PassPlan PlanEights(int stages) {
  const int before = stages - 2;
  const int fours = before % 3 == 0 ? 0 : before % 3 == 2 ? 1 : 2;
  const int eights = (before - 2 * fours) / 3;
  PassPlan plan;
  plan.count = 0;
  plan.passes[plan.count++] = {PassKind::FirstRadix8, 0};
  int32_t a = 8;
  for (int i = 1; i < eights; ++i, a *= 8) plan.passes[plan.count++] = {PassKind::Radix8, a};
  for (int i = 0; i < fours; ++i, a *= 4) plan.passes[plan.count++] = {PassKind::Radix4, a};
  plan.passes[plan.count++] = {PassKind::Radix4, a};  // a = M/4
  return plan;
}

// The passes for M points: when the stage count is odd a first pass of three
// stages (one for M = 2), then the radix-4 passes, the last two as one tail
// pass when the plan takes the tail; or the radix-8 passes of PlanEights.
PassPlan PlanPasses(const Kp05Plan& source) {
  const int32_t m = source.m;
  int stages = 0;
  while ((1 << stages) < m) ++stages;
  if (source.eightPass && CanRunEights(source)) return PlanEights(stages);
  PassPlan plan;
  plan.count = 0;
  int32_t a = 1;
  if (stages % 2 != 0) {
    plan.passes[plan.count++] = {stages >= 3 ? PassKind::FirstRadix8 : PassKind::FirstRadix2, 0};
    a = stages >= 3 ? 8 : 2;
  }
  const bool tail = source.tailPass && CanFuseTail(source) && m / a >= 16;
  while (a < m) {
    if (tail && a == m / 16) {
      plan.passes[plan.count++] = {PassKind::Radix16Tail, a};
      a *= 16;
    } else {
      plan.passes[plan.count++] = {PassKind::Radix4, a};
      a *= 4;
    }
  }
  return plan;
}

}  // namespace

void RunPass(const Kp05Plan& plan, const Pass& pass, const double* src, double* dst) {
  const Kernels& kernels = *plan.kernels;
  const int32_t m = plan.m;
  switch (pass.kind) {
    case PassKind::FirstRadix2:
      kernels.firstRadix2(src, dst, m);
      break;
    case PassKind::FirstRadix8:
      kernels.firstRadix8(src, dst, plan.twiddle, m);
      break;
    case PassKind::Radix4:
      kernels.radix4(src, dst, plan.tables, m, pass.a);
      break;
    case PassKind::Radix8:
      kernels.radix8(src, dst, plan.tables, m, pass.a);
      break;
    case PassKind::Radix16Tail:
      kernels.radix16Tail(src, dst, plan.tables, m);
      break;
  }
}

namespace {

// Runs passes [begin, end) ping-ponging between src (the input) and dst.
// Returns the buffer holding the (unscaled, forward) result.
double* RunPasses(const Kp05Plan& plan, double* src, double* dst, const PassPlan& passes, int begin,
                  int end) {
  for (int i = begin; i < end; ++i) {
    RunPass(plan, passes.passes[i], src, dst);
    double* t = src;
    src = dst;
    dst = t;
  }
  return src;
}

double* RunWhole(const Kp05Plan& plan, double* src, double* other);

// Large transforms: one decimation-in-frequency radix-4 step over all M
// points leaves four independent transforms of M/4 points, small enough for
// a nearer cache. Runs the step from src and the quarters so that their
// results (still to be interleaved) end in `results`, src or other: the
// quarters start in `results` when their passes end where they start, else
// in the other buffer. The step writes where they start, in place when that
// is src.
void RunQuarters(const Kp05Plan& plan, double* src, double* other, double* results) {
  const Kernels& kernels = *plan.kernels;
  const int32_t m = plan.m;
  const PassTables& tables = plan.tables;
  const bool backWhereTheyStart = plan.quarterPlan->endsInSource;
  double* start = backWhereTheyStart ? results : (results == src ? other : src);
  double* partner = start == src ? other : src;
  kernels.difRadix4(src, start, tables, m);
  const size_t quarterDoubles = static_cast<size_t>(m) / 2;
  for (int32_t r = 0; r < 4; ++r) {
    RunWhole(*plan.quarterPlan, start + r * quarterDoubles, partner + r * quarterDoubles);
  }
}

// The transform of plan.m points from src, with `other` (as large) to
// ping-pong with; returns the one holding the (unscaled, forward) result.
double* RunWhole(const Kp05Plan& plan, double* src, double* other) {
  if (plan.quarterPlan == nullptr) {
    return RunPasses(plan, src, other, plan.passes, 0, plan.passes.count);
  }
  double* results = plan.quarterPlan->endsInSource ? src : other;
  double* out = results == src ? other : src;
  RunQuarters(plan, src, other, results);
  plan.kernels->interleave4(results, out, plan.m);
  return out;
}

}  // namespace

bool CanFuseTail(const Kp05Plan& plan) {
  return plan.m >= 32 && plan.m <= kMaxTailSize && plan.kernels->radix16Tail != nullptr;
}

// At M = 512 the only radix-8 pass would be the first, which every layout has.
bool CanRunEights(const Kp05Plan& plan) {
  return plan.m >= 256 && plan.m != 512 && plan.kernels->radix8 != nullptr;
}

void PlanLayout(Kp05Plan& plan) {
  plan.passes = PlanPasses(plan);
  plan.endsInSource =
      plan.quarterPlan == nullptr ? plan.passes.count % 2 == 0 : !plan.quarterPlan->endsInSource;
}

void Transform(Kp05Plan& plan, double* data, bool inverse) {
  const int32_t m = plan.m;
  const Kernels& kernels = *plan.kernels;
  const double scale = inverse ? 1.0 : 1.0 / m;  // exact: M is a power of two
  if (plan.realInput && !inverse) {
    // Split into quarters: interleave them and split in one pass from the
    // work buffer into data.
    if (plan.quarterPlan != nullptr && kernels.interleave4Split != nullptr) {
      RunQuarters(plan, data, plan.work, plan.work);
      kernels.interleave4Split(plan.work, data, plan.splitForward, m, scale);
      return;
    }
    // Run whole, with the last radix-4 pass and the split as one, reading
    // the work buffer and writing the bins into data. The passes before it
    // must end in the work buffer: when their count is even, the first runs
    // in place (it reads and writes the same places), leaving an odd count.
    const PassPlan& passes = plan.passes;
    const Pass& last = passes.passes[passes.count > 0 ? passes.count - 1 : 0];
    if (plan.quarterPlan == nullptr && passes.count >= 2 && last.kind == PassKind::Radix4 &&
        last.a == m / 4 && m >= 64 && kernels.radix4Split != nullptr) {
      int begin = 0;
      if ((passes.count - 1) % 2 == 0) {
        RunPass(plan, passes.passes[0], data, data);
        begin = 1;
      }
      double* src = RunPasses(plan, data, plan.work, passes, begin, passes.count - 1);
      kernels.radix4Split(src, data, plan.tables, plan.splitForward, m, scale);
      return;
    }
  }
  if (inverse) Conjugate(data, m);
  double* result;
  if (plan.realInput && plan.quarterPlan == nullptr && plan.passes.count > 0) {
    // The split reads either buffer, so the first pass runs in place: that
    // pass then touches one buffer instead of two.
    RunPass(plan, plan.passes.passes[0], data, data);
    result = RunPasses(plan, data, plan.work, plan.passes, 1, plan.passes.count);
  } else {
    result = RunWhole(plan, data, plan.work);
  }
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
