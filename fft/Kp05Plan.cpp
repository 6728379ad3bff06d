#include <math.h>
#include <stdlib.h>
#include <string.h>

#include <chrono>

#include "fft/Kp05Plan.h"
#include "fft/Kp05Trig.h"

namespace kp05 {
namespace {

// The library's pi: the double nearest to it. Tables are computed from it in
// extended precision and rounded to double once.
const long double kPi = 3.141592653589793;

// Tables start on a cache-line boundary (the fast kernels load them with
// aligned vector moves); the raw pointer sits just before the aligned one.
const size_t kAlignment = 64;
const uint64_t kMaxBytes = 0xFFFFFFFFu;

double* AllocateDoubles(uint64_t count) {
  const uint64_t bytes = count * sizeof(double);
  if (bytes > kMaxBytes) return nullptr;
  void* raw = malloc(static_cast<size_t>(bytes) + kAlignment + sizeof(void*));
  if (raw == nullptr) return nullptr;
  uintptr_t aligned = (reinterpret_cast<uintptr_t>(raw) + sizeof(void*) + kAlignment - 1) &
                      ~static_cast<uintptr_t>(kAlignment - 1);
  reinterpret_cast<void**>(aligned)[-1] = raw;
  return reinterpret_cast<double*>(aligned);
}

void FreeDoubles(double* table) {
  if (table != nullptr) free(reinterpret_cast<void**>(table)[-1]);
}

// From this many complex points on, quarters are a candidate layout of the
// measured choice: below it whole passes stay in the nearer caches and the
// decimation step costs more than it saves. A forced layout takes quarters
// from the smaller size on, so that their kernels run at every size they can.
const int32_t kQuarteredSize = 4096;
const int32_t kForcedQuarteredSize = 1024;
// Up to this many complex points, radix-8 passes are a candidate layout of
// the measured choice; beyond it they measure no faster than radix-4 passes
// and would only lengthen the choice.
const int32_t kMeasuredEightsSize = 8192;

Layout g_forcedLayout = Layout::Measured;

bool IsPowerOfTwo(int32_t n) {
  return n > 0 && (n & (n - 1)) == 0;
}

void FillStageTables(Kp05Plan& plan) {
  const int32_t half = plan.half;
  for (int32_t i = 0; i <= half; ++i) {
    const long double angle = static_cast<long double>(i) / half * kPi;
    plan.stageSin[i] = static_cast<double>(-Sin(angle));
    plan.stageCos[i] = static_cast<double>(Cos(angle));
  }
}

// -i * (cos + i*sin') with sin' = -sin is (sin', -cos).
void FillSplitTwiddles(Kp05Plan& plan) {
  const double forwardScale = 0.25 / plan.m;
  for (int32_t k = 0; k <= plan.m / 2; ++k) {
    plan.splitInverse[2 * k] = 0.25 * plan.splitSin[k];
    plan.splitInverse[2 * k + 1] = -0.25 * plan.splitCos[k];
    plan.splitForward[2 * k] = forwardScale * plan.splitSin[k];
    plan.splitForward[2 * k + 1] = -forwardScale * plan.splitCos[k];
  }
  for (int32_t i = plan.m + 2; i < plan.m + 6; ++i) plan.splitForward[i] = plan.splitInverse[i] = 0;
}

void FillSplitTables(Kp05Plan& plan) {
  const int32_t m = plan.m;
  for (int32_t i = 0; i < m; ++i) {
    const long double angle = static_cast<long double>(i) / m * kPi;
    plan.splitSin[i] = static_cast<double>(-Sin(angle));
    plan.splitCos[i] = static_cast<double>(Cos(angle));
  }
}

// Forward twiddle of each group t of the first stage, interleaved; later
// stages read every 2^s-th entry. t = 0 and t = M/4 are exact, as the
// butterflies without multiplication would give.
void FillTwiddles(Kp05Plan& plan) {
  for (int32_t t = 0; t < plan.half; ++t) {
    plan.twiddle[2 * t] = plan.stageCos[t];
    plan.twiddle[2 * t + 1] = plan.stageSin[t];
  }
  if (plan.half > 0) {
    plan.twiddle[0] = 1.0;
    plan.twiddle[1] = 0.0;
  }
  if (plan.quarter > 0) {
    plan.twiddle[2 * plan.quarter] = 0.0;
    plan.twiddle[2 * plan.quarter + 1] = -1.0;
  }
  plan.twiddle[2 * plan.half] = plan.twiddle[2 * plan.half + 1] = 0.0;
  for (int32_t g = 0; g < plan.quarter; ++g) {
    plan.evenTwiddle[2 * g] = plan.twiddle[4 * g];
    plan.evenTwiddle[2 * g + 1] = plan.twiddle[4 * g + 1];
  }
  for (int32_t t = 0; t < plan.quarter; ++t) {
    const long double angle = static_cast<long double>(3 * t) / plan.half * kPi;
    plan.tripleTwiddle[2 * t] = static_cast<double>(Cos(angle));
    plan.tripleTwiddle[2 * t + 1] = static_cast<double>(-Sin(angle));
  }
  for (int32_t i = 2 * plan.quarter; i < 2 * plan.quarter + 4; ++i) {
    plan.evenTwiddle[i] = plan.tripleTwiddle[i] = 0.0;
  }
  const int32_t groups = plan.m / 16, stride = 2 * (groups + 2);
  for (int32_t i = 0; i < 3 * stride; ++i) plan.tailTwiddle[i] = 0.0;
  for (int32_t g = 0; g < groups; ++g) {
    const double* sources[3] = {plan.twiddle, plan.evenTwiddle, plan.tripleTwiddle};
    for (int j = 0; j < 3; ++j) {
      plan.tailTwiddle[j * stride + 2 * g] = sources[j][8 * g];
      plan.tailTwiddle[j * stride + 2 * g + 1] = sources[j][8 * g + 1];
    }
  }
  // w(jt) = -w(jt - M/2) past M/2, exactly.
  for (int32_t t = 0; t < plan.m / 8; ++t) {
    double* out = plan.eightTwiddle + 14 * t;
    for (int32_t j = 1; j < 8; ++j) {
      const int32_t u = j * t < plan.half ? j * t : j * t - plan.half;
      const double sign = j * t < plan.half ? 1.0 : -1.0;
      out[2 * (j - 1)] = sign * plan.twiddle[2 * u];
      out[2 * (j - 1) + 1] = sign * plan.twiddle[2 * u + 1];
    }
  }
}

// Rounds of the measured choice: the first warms caches and tables, the
// fastest of all counts.
const int kMeasuredRounds = 6;
// Each timing covers at least this many samples (repeated transforms), so
// that the clock's resolution does not decide between small ones.
const int32_t kMeasuredSamples = 16384;

struct Candidate {
  const Kernels* kernels;
  bool tail;
  bool eights;
  Kp05Plan* quarters;  // NULL: the whole layout
};

void Apply(Kp05Plan& plan, const Candidate& candidate) {
  plan.kernels = candidate.kernels;
  plan.tailPass = candidate.tail ? 1 : 0;
  plan.eightPass = candidate.eights ? 1 : 0;
  plan.quarterPlan = candidate.quarters;
  PlanLayout(plan);
}

const int kMaxCandidates = 8;

// Forward transforms of the plan in each candidate layout, round by round on
// the same input; the index of the fastest. Refilling the input is timed
// with each transform, the same for every candidate.
int Fastest(Kp05Plan& plan, const Candidate* candidates, int count) {
  const int32_t doubles = plan.realInput ? plan.n + 2 : 2 * plan.n;
  double* scratch = AllocateDoubles(static_cast<uint64_t>(doubles));
  if (scratch == nullptr) return 0;
  // A complex point costs about as much as two real samples.
  const int32_t samples = plan.realInput ? plan.n : 2 * plan.n;
  const int32_t repeats = samples >= kMeasuredSamples ? 1 : kMeasuredSamples / samples;
  // Large transforms take fewer rounds, so that the choice stays within a
  // few milliseconds; their candidates differ by more than the noise.
  int rounds = kMeasuredRounds;
  if (samples > kMeasuredSamples) {
    rounds = static_cast<int>(static_cast<int64_t>(kMeasuredRounds) * kMeasuredSamples / samples);
    if (rounds < 2) rounds = 2;
  }
  using Clock = std::chrono::steady_clock;
  Clock::duration best[kMaxCandidates];
  for (Clock::duration& b : best) b = Clock::duration::max();
  for (int round = 0; round < rounds; ++round) {
    for (int c = 0; c < count; ++c) {
      Apply(plan, candidates[c]);
      const Clock::time_point start = Clock::now();
      for (int32_t r = 0; r < repeats; ++r) {
        for (int32_t i = 0; i < doubles; ++i) scratch[i] = static_cast<double>(i & 127) - 64;
        Transform(plan, scratch, false);
      }
      const Clock::duration took = Clock::now() - start;
      if (took < best[c]) best[c] = took;
    }
  }
  FreeDoubles(scratch);
  int fastest = 0;
  for (int c = 1; c < count; ++c) {
    if (best[c] < best[fastest]) fastest = c;
  }
  return fastest;
}

bool RunsQuarters(const Kernels& kernels) {
  return kernels.difRadix4 != nullptr && kernels.interleave4 != nullptr &&
         kernels.interleave4Split != nullptr;
}

// Creation behind CreatePlan; quarterPlan for the quarter plan of a plan.
Kp05Plan* CreatePlanOf(int32_t n, bool realInput, bool windowTables, bool quarterPlan);

// Sets the plan's kernels and layout (tailPass, quarterPlan); false when
// memory runs out. The candidates are the layouts each kernel set allows:
// the fastest set the CPU runs and, when that is AVX-512, AVX2 as well (a CPU
// that runs 512-bit operations as two 256-bit halves may do better with it).
// A forced layout takes the fastest set and its last candidate not beyond
// the layout.
// A quarter plan takes whole layouts only: its M/4 points already fit the
// nearer caches, and nested choices would multiply the cost of creation.
bool ChooseLayout(Kp05Plan& plan, bool quarterPlan) {
  const Kernels* sets[2] = {&BestKernels(), nullptr};
  if (g_forcedLayout == Layout::Measured && sets[0] == Avx512Kernels() &&
      CpuRuns(KernelSet::Avx2)) {
    sets[1] = Avx2Kernels();
  }
  const bool quartersAllowed =
      !quarterPlan && ((g_forcedLayout == Layout::Measured && plan.m >= kQuarteredSize) ||
                       (g_forcedLayout == Layout::Quarters && plan.m >= kForcedQuarteredSize));
  const bool eightsAllowed =
      (g_forcedLayout == Layout::Measured && plan.m <= kMeasuredEightsSize) ||
      g_forcedLayout == Layout::Eights;
  Kp05Plan* quartered = nullptr;  // one quarter plan serves every set's candidate
  Candidate candidates[kMaxCandidates];
  int count = 0, firstSetCount = 0;
  for (const Kernels* set : sets) {
    if (set == nullptr) continue;
    plan.kernels = set;
    candidates[count++] = {set, false, false, nullptr};
    if (CanFuseTail(plan)) candidates[count++] = {set, true, false, nullptr};
    if (eightsAllowed && CanRunEights(plan)) candidates[count++] = {set, false, true, nullptr};
    if (quartersAllowed && RunsQuarters(*set)) {
      if (quartered == nullptr &&
          (quartered = CreatePlanOf(plan.m / 4, false, false, true)) == nullptr) {
        return false;
      }
      candidates[count++] = {set, false, false, quartered};
    }
    if (firstSetCount == 0) firstSetCount = count;
  }
  int chosen = firstSetCount - 1;
  if (g_forcedLayout == Layout::Passes) chosen = 0;
  if (g_forcedLayout == Layout::Measured && count > 1) chosen = Fastest(plan, candidates, count);
  Apply(plan, candidates[chosen]);
  if (quartered != nullptr && candidates[chosen].quarters == nullptr) DestroyPlan(quartered);
  return true;
}

Kp05Plan* CreatePlanOf(int32_t n, bool realInput, bool windowTables, bool quarterPlan) {
  if (!IsPowerOfTwo(n) || (realInput && n < 2)) return nullptr;
  Kp05Plan* plan = static_cast<Kp05Plan*>(calloc(1, sizeof(Kp05Plan)));
  if (plan == nullptr) return nullptr;
  plan->realInput = realInput ? 1 : 0;
  plan->windowTables = windowTables ? 1 : 0;
  plan->n = n;
  plan->m = realInput ? n >> 1 : n;
  plan->half = plan->m / 2;
  plan->quarter = plan->m / 4;

  const uint64_t m = static_cast<uint64_t>(plan->m);
  bool ok = (plan->work = AllocateDoubles(2 * (m + 1))) != nullptr &&
            (plan->stageSin = AllocateDoubles(m / 2 + 1)) != nullptr &&
            (plan->stageCos = AllocateDoubles(m / 2 + 1)) != nullptr &&
            (plan->splitSin = AllocateDoubles(m)) != nullptr &&
            (plan->splitCos = AllocateDoubles(m)) != nullptr &&
            (plan->twiddle = AllocateDoubles(m + 2)) != nullptr &&
            (plan->evenTwiddle = AllocateDoubles(m / 2 + 4)) != nullptr &&
            (plan->tripleTwiddle = AllocateDoubles(m / 2 + 4)) != nullptr &&
            (plan->tailTwiddle = AllocateDoubles(3 * (m / 8 + 4))) != nullptr &&
            (plan->eightTwiddle = AllocateDoubles(14 * (m / 8) + 2)) != nullptr &&
            (plan->splitForward = AllocateDoubles(m + 6)) != nullptr &&
            (plan->splitInverse = AllocateDoubles(m + 6)) != nullptr;
  for (int w = 0; ok && windowTables && w < KP05_WINDOW_TABLE_COUNT; ++w) {
    ok = (plan->window[w] = AllocateDoubles(static_cast<uint64_t>(n))) != nullptr;
  }
  if (!ok) {
    DestroyPlan(plan);
    return nullptr;
  }
  memset(plan->work, 0, static_cast<size_t>(m) * 2 * sizeof(double));
  plan->work[2 * m] = plan->work[2 * m + 1] = 0.0;
  FillStageTables(*plan);
  FillSplitTables(*plan);
  FillSplitTwiddles(*plan);
  FillTwiddles(*plan);
  plan->tables = {plan->twiddle, plan->evenTwiddle, plan->tripleTwiddle, plan->tailTwiddle,
                  plan->eightTwiddle};
  if (windowTables) FillWindowTables(*plan);
  if (!ChooseLayout(*plan, quarterPlan)) {
    DestroyPlan(plan);
    return nullptr;
  }
  return plan;
}

}  // namespace

Kp05Plan* CreatePlan(int32_t n, bool realInput, bool windowTables) {
  return CreatePlanOf(n, realInput, windowTables, false);
}

void ForceLayout(Layout layout) {
  g_forcedLayout = layout;
}

void DestroyPlan(Kp05Plan* plan) {
  if (plan == nullptr) return;
  FreeDoubles(plan->work);
  FreeDoubles(plan->stageSin);
  FreeDoubles(plan->stageCos);
  FreeDoubles(plan->splitSin);
  FreeDoubles(plan->splitCos);
  FreeDoubles(plan->twiddle);
  FreeDoubles(plan->evenTwiddle);
  FreeDoubles(plan->tripleTwiddle);
  FreeDoubles(plan->tailTwiddle);
  FreeDoubles(plan->eightTwiddle);
  FreeDoubles(plan->splitForward);
  FreeDoubles(plan->splitInverse);
  for (double* table : plan->window) FreeDoubles(table);
  DestroyPlan(plan->quarterPlan);
  free(plan);
}

}  // namespace kp05
