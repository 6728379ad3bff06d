// The plan record behind each family slot, and the library's internal entry
// points. Every table is built at creation so a transform allocates nothing.
#pragma once

#include <stdint.h>

#include "fft/Kp05Kernels.h"
#include "fft/kp05.h"

enum { KP05_WINDOW_TABLE_COUNT = 6 };

namespace kp05 {

enum class PassKind : uint8_t { FirstRadix2, FirstRadix8, Radix4, Radix8, Radix16Tail };

struct Pass {
  PassKind kind;
  int32_t a;  // groups of the pass (of its first radix-4 pass, for the tail)
};

// The passes of a whole-transform layout, in order.
struct PassPlan {
  Pass passes[20];  // 1 + 15 at most for any int32 size
  int count;
};

}  // namespace kp05

// The plan record: the sizes and stage tables first; the fast-path twiddle
// tables at the end are derived from the stage tables.
struct Kp05Plan {
  uint8_t realInput;     // N real samples via an M = N/2 complex transform and a split step
  uint8_t windowTables;  // the six window tables below exist
  int32_t n;             // requested size, a power of two
  int32_t m;             // complex length: N, or N/2 for a real plan
  int32_t half;          // M/2
  int32_t quarter;       // M/4
  double* work;          // M+1 complex values: the second buffer of the ping-pong transform
  double* stageSin;      // M/2+1 entries, -sin(pi*i/(M/2))
  double* stageCos;      // M/2+1 entries, cos(pi*i/(M/2))
  double* splitSin;      // M entries, -sin(pi*i/M)
  double* splitCos;      // M entries, cos(pi*i/M)
  double* window[KP05_WINDOW_TABLE_COUNT];  // N entries each: types 1..6, or all NULL

  // Interleaved forward twiddles (cos, -sin) for t = 0 .. M/2-1, exactly 1 at
  // t = 0 and exactly -i at t = M/4, so the fast butterflies need no branch.
  double* twiddle;
  // w(2g) and w(3g) for g = 0 .. M/4-1 (w(t) = e^(-2*pi*i*t/M), interleaved).
  double* evenTwiddle;
  double* tripleTwiddle;
  // w(4g), w(8g), w(12g) for g < M/16, each array M/16 + 2 complex values.
  double* tailTwiddle;
  // w(jt) for t < M/8 and j = 1 .. 7, 14 doubles per t (radix-8 passes).
  double* eightTwiddle;
  // The split's twiddle for bins k and M-k, k = 0 .. M/2, from the split
  // tables: -i * (cos - i*sin)(pi*k/M), times 1/4 and, forward, times 1/M
  // (powers of two, so the scaling is exact).
  double* splitForward;
  double* splitInverse;
  // The tables the passes read (pointers into the arrays above).
  kp05::PassTables tables;
  // The passes this plan runs (portable, AVX2 or AVX-512), chosen at creation
  // with the layout (see CreatePlan).
  const kp05::Kernels* kernels;
  // Whether the whole-transform passes end with the last two radix-4 passes
  // in one (see CanFuseTail); chosen at creation, see CreatePlan.
  uint8_t tailPass;
  // Whether the whole-transform passes before the last radix-4 pass are
  // radix-8 passes where the stage count allows (see CanRunEights); chosen at
  // creation, see CreatePlan.
  uint8_t eightPass;
  // The passes of the whole layout, and whether a transform of the layout
  // leaves its result in the buffer it starts from (else in the other); both
  // set by PlanLayout, so that a transform plans nothing.
  kp05::PassPlan passes;
  uint8_t endsInSource;
  // Transforms that run as quarters (chosen at creation, see CreatePlan):
  // the complex plan of M/4 points whose tables the quarters use; NULL when
  // the passes run over the whole transform.
  Kp05Plan* quarterPlan;
};

namespace kp05 {

// How a transform of M complex points runs its passes: radix-4 passes over
// the whole transform to the end; the same with the last two as one pass
// (small sizes, see CanFuseTail); or, with kernels that can, as four
// quarters of M/4 points after one decimation step (closer caches, one more
// pass; a candidate from M = 4096, forced from M = 1024); or radix-8 passes up
// to the last radix-4 pass (fewer passes over memory, see CanRunEights; a
// candidate up to M = 8192).
enum class Layout { Measured, Passes, Tail, Quarters, Eights };

// NULL when memory runs out, a byte count exceeds 32 bits, or the size is not
// a power of two the plan can hold (N >= 1 complex, N >= 2 real). Where more
// than one layout is possible (with the AVX-512 kernels, also those of the
// AVX2 kernels), creation times a few forward transforms of each on a scratch
// buffer (about 1 ms at N = 8192, 3.5 ms at N = 131072) and keeps the
// fastest; the quarter plan chooses the same way among whole layouts. Every
// layout gives results within rounding of the plain algorithm.
Kp05Plan* CreatePlan(int32_t n, bool realInput, bool windowTables);

// Whether the plan's size and kernels allow the fused last two passes.
bool CanFuseTail(const Kp05Plan& plan);
// Whether the plan's size and kernels allow radix-8 passes that save at
// least one pass (M >= 256 except 512).
bool CanRunEights(const Kp05Plan& plan);
// Sets plan.passes and plan.endsInSource from the layout (tailPass,
// eightPass, quarterPlan, whose own layout is set).
void PlanLayout(Kp05Plan& plan);
void DestroyPlan(Kp05Plan* plan);

// One pass of a transform of plan.m points with the plan's tables (src may
// equal dst for the first pass, see Kernels).
void RunPass(const Kp05Plan& plan, const Pass& pass, const double* src, double* dst);

// Tests: later plans take this layout wherever it is possible, else the
// next one it falls back to: Quarters and Eights to Tail, Tail to Passes
// (Measured, the default, lets creation choose).
void ForceLayout(Layout layout);

// The transform of a plan on the caller's buffer (see kp05.h for the layout).
void Transform(Kp05Plan& plan, double* data, bool inverse);

// Fills the six window tables of N entries (N = plan.n).
void FillWindowTables(Kp05Plan& plan);
void WeightWindow(const Kp05Plan& plan, double* data, int32_t type);
void PostProcess(const Kp05Plan& plan, double* data, bool toDecibels, bool normalise);
void PrepareCoordinates(int32_t* count, Kp05Point* points, Kp05Point* extra1, Kp05Point* extra2,
                        int32_t* columns, int32_t* runLengths, int32_t maxPerColumn);

}  // namespace kp05
