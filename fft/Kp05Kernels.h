// The transform's passes, in a portable build, an AVX2+FMA build and an
// AVX-512 build chosen at plan creation from the CPU's flags (the library
// itself needs only SSE2).
//
// Complex values are interleaved (re, im). Every pass reads one buffer and
// writes the other (the self-sorting ping-pong scheme), forward direction
// only; the inverse conjugates before and after. The first pass of a
// transform (firstRadix2, firstRadix8, radix4 with a = 1) reads and writes the
// same places, so it may also run in place (x == y).
#pragma once

#include <stdint.h>

namespace kp05 {

// Twiddle tables of a plan for the passes; each has two spare complex values
// at its end (read by whole-register loads, never used).
struct PassTables {
  const double* twiddle;        // w(t) for t < M/2: the first stage's twiddles, exact 1 and -i
  const double* evenTwiddle;    // w(2g) for g < M/4
  const double* tripleTwiddle;  // w(3t) for t < M/4
  // For g < M/16, three arrays of M/16 + 2 complex values each: w(4g),
  // w(8g), w(12g) (the twiddles of the pass before the last, in lane order).
  const double* tailTwiddle;
  // For t < M/8: w(jt) for j = 1 .. 7, interleaved, 14 doubles per t (the
  // twiddles of a radix-8 group, whose t = gr is a multiple of r).
  const double* eightTwiddle;
};

struct Kernels {
  // Stage 0, whose twiddle is 1: y[k] = x[k] + x[M/2+k], y[M/2+k] = x[k] - x[M/2+k].
  void (*firstRadix2)(const double* x, double* y, int32_t m);
  // Stages 0, 1 and 2 in one pass (M >= 8), h = M/8, k < h, x_j = x[k + jh]:
  // u_j = x_j + x_{j+4}, v_j = x_j - x_{j+4} (stage 0); then the radix4 pass
  // with a = 2: its group 0 on u (twiddles 1, 1, -i) writes y[k + {0,2,4,6}h],
  // its group 1 on v (twiddles -i, w(h), w(3h)) writes y[k + {1,3,5,7}h].
  void (*firstRadix8)(const double* x, double* y, const double* twiddle, int32_t m);
  // Stages s and s+1 in one pass, a = 2^s groups of q = M/(4a) four-point
  // butterflies. With w(t) = e^(-2*pi*i*t/M), group g and k < q read
  // x0..x3 = x[4gq + k + {0, q, 2q, 3q}] and write
  //   A = x0 + w(2gq) x2, B = x1 + w(2gq) x3, C = x0 - w(2gq) x2, D = x1 - w(2gq) x3
  //   y[gq + k] = A + w(gq) B,             y[M/2 + gq + k] = A - w(gq) B
  //   y[M/4 + gq + k] = C + w(M/4 + gq) D, y[3M/4 + gq + k] = C - w(M/4 + gq) D
  // which is exactly stage s followed by stage s+1. (The AVX2 kernel uses the
  // equal form with w(gq) x1, w(2gq) x2, w(3gq) x3 and w(M/4 + gq) = -i w(gq).)
  void (*radix4)(const double* x, double* y, const PassTables& tables, int32_t m, int32_t a);
  // Stages s, s+1 and s+2 in one pass, a = 2^s groups of r = M/(8a) >= 2
  // eight-point butterflies: group g and k < r read x_j = x[8gr + k + jr] and
  // write y[gr + k + pM/8] = sum_j w(jgr) x_j e^(-2*pi*i*jp/8), p < 8, which
  // is exactly the three radix-2 stages. NULL in kernels without it.
  void (*radix8)(const double* x, double* y, const PassTables& tables, int32_t m, int32_t a);
  // The last two radix4 passes (a = M/16, then a = M/4) in one, M >= 32:
  // the 16 values x[16g .. 16g+15] of a group g of the first feed exactly the
  // groups g + {0, 1, 2, 3} M/16 of the second, so they stay in registers.
  // NULL in kernels without it.
  void (*radix16Tail)(const double* x, double* y, const PassTables& tables, int32_t m);
  // The real split from the M complex results z to bins 0..M in out (z may
  // equal out). With S = Z[k] + conj(Z[M-k]), D = Z[k] - conj(Z[M-k]) and
  // splitTwiddle[k] = scale/4 * -i * (cos - i*sin)(pi*k/M), T = D * splitTwiddle[k]:
  //   bin k = scale/4 * S + T,  bin M-k = conj(scale/4 * S - T);
  // bin 0 and bin M = scale/2 * (Z[0].re +/- Z[0].im). `scale` is 1/M forward.
  // The table has two spare complex values past k = M/2.
  void (*split)(const double* z, double* out, const double* splitTwiddle, int32_t m, double scale);
  // The last radix4 pass (a = M/4) and the split in one, M >= 64, reading x
  // and writing the bins into out (x != out): groups g and M/4 - g hold the
  // partners Z[k] and Z[M-k] of each other's bins. NULL in kernels without it.
  void (*radix4Split)(const double* x, double* out, const PassTables& tables,
                      const double* splitTwiddle, int32_t m, double scale);
  // The first step of a decimation in frequency, M >= 16 (x may equal y):
  // for n < M/4 and x_j = x[n + jM/4], y[rM/4 + n] = w(rn) * sum_j (-i)^(jr) x_j,
  // which leaves four transforms of M/4 points whose bin k is bin 4k + r of
  // the whole. NULL in kernels without it.
  void (*difRadix4)(const double* x, double* y, const PassTables& tables, int32_t m);
  // z[4j + r] = y[rM/4 + j] for j < M/4, r < 4 (y != z). NULL with difRadix4.
  void (*interleave4)(const double* y, double* z, int32_t m);
  // interleave4 and then split (z = out), in one pass from y into out (M >= 64,
  // y != out). NULL in kernels without it.
  void (*interleave4Split)(const double* y, double* out, const double* splitTwiddle, int32_t m,
                           double scale);
  // data[i] *= table[i] for i < n (real samples).
  void (*weightReal)(double* data, const double* table, int32_t n);
};

const Kernels& PortableKernels();
// NULL when this build has no AVX2 (AVX-512) kernels.
const Kernels* Avx2Kernels();
const Kernels* Avx512Kernels();

// The kernel sets from the most portable to the fastest.
enum class KernelSet { Portable, Avx2, Avx512 };

// Whether this CPU (and its OS, which must save the wider registers) runs a set.
bool CpuRuns(KernelSet set);
// The fastest set the CPU runs, within the limit below.
const Kernels& BestKernels();

// Tests: later plans use at most this set (the fastest the CPU runs by default).
void LimitKernels(KernelSet most);

}  // namespace kp05
