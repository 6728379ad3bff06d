// AVX-512 passes: four interleaved complex values per 512-bit register, for
// the passes whose rows hold at least four; narrower cases fall back to the
// AVX2 kernels. Built with a target attribute like the AVX2 kernels, chosen
// only when the CPU and the OS support AVX-512 (F and DQ).
#include "fft/Kp05Kernels.h"
#include "fft/Kp05SplitBins.h"

#if defined(__x86_64__) || defined(__i386__)

// GCC 12's AVX-512 intrinsics start some results from a self-initialised
// "undefined" register, which its own uninitialised-use checks then flag.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif
#include <immintrin.h>
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

#define KP05_AVX512 __attribute__((target("avx512f,avx512dq,fma")))

namespace kp05 {
namespace {

// (im, re) of each complex value.
KP05_AVX512 inline __m512d Swap(__m512d x) {
  return _mm512_permute_pd(x, 0x55);
}

// Sign mask of the imaginary lanes.
KP05_AVX512 inline __m512d OddSign() {
  return _mm512_set_pd(-0.0, 0.0, -0.0, 0.0, -0.0, 0.0, -0.0, 0.0);
}

// w * x for four complex values: x*w.re -/+ swap(x)*w.im (even lanes subtract).
KP05_AVX512 inline __m512d Mul(__m512d x, __m512d wre, __m512d wim) {
  return _mm512_fmaddsub_pd(x, wre, _mm512_mul_pd(Swap(x), wim));
}

// -i * v = (v.im, -v.re).
KP05_AVX512 inline __m512d MinusI(__m512d v) {
  return _mm512_xor_pd(Swap(v), OddSign());
}

// Four consecutive twiddles (interleaved) as per-lane real and imaginary parts.
struct LaneTwiddle {
  __m512d re, im;
};

KP05_AVX512 inline LaneTwiddle LoadLanes(const double* p) {
  const __m512d w = _mm512_loadu_pd(p);
  return {_mm512_movedup_pd(w), _mm512_permute_pd(w, 0xFF)};
}

KP05_AVX512 inline LaneTwiddle Broadcast(const double* p) {
  return {_mm512_set1_pd(p[0]), _mm512_set1_pd(p[1])};
}

// The four complex values of a register in reverse order.
KP05_AVX512 inline __m512d Reverse(__m512d v) {
  return _mm512_shuffle_f64x2(v, v, _MM_SHUFFLE(0, 1, 2, 3));
}

KP05_AVX512 void FirstRadix8(const double* x, double* y, const double* twiddle, int32_t m) {
  const int32_t h = 2 * (m / 8);  // doubles per eighth
  if (h < 8) {
    Avx2Kernels()->firstRadix8(x, y, twiddle, m);
    return;
  }
  const LaneTwiddle b = Broadcast(twiddle + h), c = Broadcast(twiddle + 3 * h);
  for (int32_t k = 0; k < h; k += 8) {
    __m512d u[4], v[4];
    for (int j = 0; j < 4; ++j) {
      const __m512d lo = _mm512_loadu_pd(x + k + j * h);
      const __m512d hi = _mm512_loadu_pd(x + k + (j + 4) * h);
      u[j] = _mm512_add_pd(lo, hi);
      v[j] = _mm512_sub_pd(lo, hi);
    }
    const __m512d a0 = _mm512_add_pd(u[0], u[2]), c0 = _mm512_sub_pd(u[0], u[2]);
    const __m512d b0 = _mm512_add_pd(u[1], u[3]), d0 = MinusI(_mm512_sub_pd(u[1], u[3]));
    _mm512_storeu_pd(y + k, _mm512_add_pd(a0, b0));
    _mm512_storeu_pd(y + 2 * h + k, _mm512_add_pd(c0, d0));
    _mm512_storeu_pd(y + 4 * h + k, _mm512_sub_pd(a0, b0));
    _mm512_storeu_pd(y + 6 * h + k, _mm512_sub_pd(c0, d0));
    const __m512d v2 = MinusI(v[2]), v3 = MinusI(v[3]);
    const __m512d a1 = _mm512_add_pd(v[0], v2), c1 = _mm512_sub_pd(v[0], v2);
    const __m512d b1 = Mul(_mm512_add_pd(v[1], v3), b.re, b.im);
    const __m512d d1 = Mul(_mm512_sub_pd(v[1], v3), c.re, c.im);
    _mm512_storeu_pd(y + h + k, _mm512_add_pd(a1, b1));
    _mm512_storeu_pd(y + 3 * h + k, _mm512_add_pd(c1, d1));
    _mm512_storeu_pd(y + 5 * h + k, _mm512_sub_pd(a1, b1));
    _mm512_storeu_pd(y + 7 * h + k, _mm512_sub_pd(c1, d1));
  }
}

// The four-point butterfly of the AVX2 kernels on four lanes: with
// t1 = w(gq) x1, t2 = w(2gq) x2, t3 = w(3gq) x3, A = x0 + t2, C = x0 - t2,
// B = t1 + t3, D = t1 - t3, the outputs are A + B, C - iD, A - B, C + iD.
struct Twiddles {
  LaneTwiddle b, a, ab;  // w(gq), w(2gq), w(3gq)
};

KP05_AVX512 inline void Butterfly4Regs(__m512d x0, __m512d x1, __m512d x2, __m512d x3,
                                       const Twiddles& w, __m512d* r) {
  const __m512d t1 = Mul(x1, w.b.re, w.b.im);
  const __m512d t2 = Mul(x2, w.a.re, w.a.im);
  const __m512d t3 = Mul(x3, w.ab.re, w.ab.im);
  const __m512d a = _mm512_add_pd(x0, t2), c = _mm512_sub_pd(x0, t2);
  const __m512d b = _mm512_add_pd(t1, t3), d = _mm512_sub_pd(t1, t3);
  const __m512d dSwapped = Swap(d);  // (D.im, D.re)
  r[0] = _mm512_add_pd(a, b);
  r[1] = _mm512_add_pd(c, _mm512_xor_pd(dSwapped, OddSign()));  // C - iD
  r[2] = _mm512_sub_pd(a, b);
  r[3] = _mm512_fmaddsub_pd(_mm512_set1_pd(1.0), c, dSwapped);  // C + iD
}

KP05_AVX512 inline void Butterfly4(__m512d x0, __m512d x1, __m512d x2, __m512d x3,
                                   const Twiddles& w, double* y0, double* y1, double* y2,
                                   double* y3) {
  __m512d r[4];
  Butterfly4Regs(x0, x1, x2, x3, w, r);
  _mm512_storeu_pd(y0, r[0]);
  _mm512_storeu_pd(y1, r[1]);
  _mm512_storeu_pd(y2, r[2]);
  _mm512_storeu_pd(y3, r[3]);
}

// The twiddles of group g of a pass whose groups are q apart.
KP05_AVX512 inline Twiddles GroupTwiddles(const PassTables& tables, int32_t g, int32_t q) {
  return {Broadcast(tables.twiddle + 2 * (g * q)), Broadcast(tables.twiddle + 2 * (2 * g * q)),
          Broadcast(tables.tripleTwiddle + 2 * (g * q))};
}

// Group 0 of a radix-4 pass (q >= 4), whose twiddles are 1, 1 and -i:
// additions only.
KP05_AVX512 inline void FirstGroup(const double* x, double* y, int32_t q, int32_t quarter) {
  for (int32_t k = 0; k < 2 * q; k += 8) {
    const __m512d x0 = _mm512_loadu_pd(x + k), x1 = _mm512_loadu_pd(x + 2 * q + k);
    const __m512d x2 = _mm512_loadu_pd(x + 4 * q + k), x3 = _mm512_loadu_pd(x + 6 * q + k);
    const __m512d a0 = _mm512_add_pd(x0, x2), c0 = _mm512_sub_pd(x0, x2);
    const __m512d b0 = _mm512_add_pd(x1, x3), d0 = MinusI(_mm512_sub_pd(x1, x3));
    _mm512_storeu_pd(y + k, _mm512_add_pd(a0, b0));
    _mm512_storeu_pd(y + 2 * quarter + k, _mm512_add_pd(c0, d0));
    _mm512_storeu_pd(y + 4 * quarter + k, _mm512_sub_pd(a0, b0));
    _mm512_storeu_pd(y + 6 * quarter + k, _mm512_sub_pd(c0, d0));
  }
}

// Groups 1 .. a-1 of a radix-4 pass (q >= 4): each group's twiddles are
// broadcast, the k loop runs four complex values per register. Inlined with a
// constant q, the offsets are known at compile time.
KP05_AVX512 inline void OtherGroups(const double* x, double* y, const PassTables& tables, int32_t q,
                                    int32_t quarter, int32_t a) {
  for (int32_t g = 1; g < a; ++g) {
    const Twiddles w = GroupTwiddles(tables, g, q);
    const double* in = x + 2 * (4 * g * q);
    double* out = y + 2 * (g * q);
    for (int32_t k = 0; k < 2 * q; k += 8) {
      Butterfly4(_mm512_loadu_pd(in + k), _mm512_loadu_pd(in + 2 * q + k),
                 _mm512_loadu_pd(in + 4 * q + k), _mm512_loadu_pd(in + 6 * q + k), w, out + k,
                 out + 2 * quarter + k, out + 4 * quarter + k, out + 6 * quarter + k);
    }
  }
}

// q >= 4.
KP05_AVX512 void Radix4Wide(const double* x, double* y, const PassTables& tables, int32_t m,
                            int32_t a) {
  const int32_t q = m / (4 * a), quarter = m / 4;
  FirstGroup(x, y, q, quarter);
  OtherGroups(x, y, tables, q, quarter, a);
}

// A small q (4 or 16) known at compile time: with one or four iterations per
// group, the generic loop's per-group cost dominated.
template <int32_t Q>
KP05_AVX512 void Radix4Fixed(const double* x, double* y, const PassTables& tables, int32_t m,
                             int32_t a) {
  const int32_t quarter = m / 4;
  FirstGroup(x, y, Q, quarter);
  OtherGroups(x, y, tables, Q, quarter, a);
}

// out[k] = complex value k of z0, z1, z2 and z3, one per lane pair.
KP05_AVX512 inline void Transpose4(__m512d z0, __m512d z1, __m512d z2, __m512d z3, __m512d* out) {
  const __m512d lo01 = _mm512_shuffle_f64x2(z0, z1, _MM_SHUFFLE(1, 0, 1, 0));
  const __m512d hi01 = _mm512_shuffle_f64x2(z0, z1, _MM_SHUFFLE(3, 2, 3, 2));
  const __m512d lo23 = _mm512_shuffle_f64x2(z2, z3, _MM_SHUFFLE(1, 0, 1, 0));
  const __m512d hi23 = _mm512_shuffle_f64x2(z2, z3, _MM_SHUFFLE(3, 2, 3, 2));
  out[0] = _mm512_shuffle_f64x2(lo01, lo23, _MM_SHUFFLE(2, 0, 2, 0));
  out[1] = _mm512_shuffle_f64x2(lo01, lo23, _MM_SHUFFLE(3, 1, 3, 1));
  out[2] = _mm512_shuffle_f64x2(hi01, hi23, _MM_SHUFFLE(2, 0, 2, 0));
  out[3] = _mm512_shuffle_f64x2(hi01, hi23, _MM_SHUFFLE(3, 1, 3, 1));
}

// The last pass's butterflies of groups h .. h+3, one per lane pair, with
// x[k] holding input k of each; results at their places in y.
KP05_AVX512 inline void LastGroups(const __m512d* x, double* y, const PassTables& tables, int32_t m,
                                   int32_t h) {
  const int32_t quarter = m / 4;
  const Twiddles w = {LoadLanes(tables.twiddle + 2 * h), LoadLanes(tables.evenTwiddle + 2 * h),
                      LoadLanes(tables.tripleTwiddle + 2 * h)};
  Butterfly4(x[0], x[1], x[2], x[3], w, y + 2 * h, y + 2 * (quarter + h), y + 2 * (2 * quarter + h),
             y + 2 * (3 * quarter + h));
}

// q == 1 (the last pass), M/4 >= 4: four neighbouring groups per register.
// Group g holds its four inputs side by side, so four loads and a 4x4
// transpose of complex values give one register per input row.
KP05_AVX512 void Radix4Last(const double* x, double* y, const PassTables& shared, int32_t m) {
  const PassTables tables = shared;  // in registers: no store through y can change it
  for (int32_t g = 0; g < m / 4; g += 4) {
    const double* in = x + 8 * g;
    __m512d rows[4];
    Transpose4(_mm512_loadu_pd(in), _mm512_loadu_pd(in + 8), _mm512_loadu_pd(in + 16),
               _mm512_loadu_pd(in + 24), rows);
    LastGroups(rows, y, tables, m, g);
  }
}

// The last two passes in one (see Kernels::radix16Tail), M >= 64. The pass
// with q = 4 runs one group per register along k; its output row j of groups
// g .. g+3, transposed, is the input of the last pass's groups jM/16 + g .. +3.
KP05_AVX512 void Radix16Tail(const double* x, double* y, const PassTables& shared, int32_t m) {
  const PassTables tables = shared;  // in registers: no store through y can change it
  const int32_t groups = m / 16;
  if (groups < 4) {
    Avx2Kernels()->radix16Tail(x, y, tables, m);
    return;
  }
  const double* tail1 = tables.tailTwiddle;
  const double* tail2 = tail1 + 2 * (groups + 2);
  const double* tail3 = tail2 + 2 * (groups + 2);
  for (int32_t g = 0; g < groups; g += 4) {
    __m512d rows[4][4];  // [j][i]: output row j of group g+i, lanes k = 0..3
    for (int i = 0; i < 4; ++i) {
      const double* in = x + 32 * (g + i);
      const int32_t t = 2 * (g + i);
      const Twiddles w = {Broadcast(tail1 + t), Broadcast(tail2 + t), Broadcast(tail3 + t)};
      __m512d r[4];
      Butterfly4Regs(_mm512_loadu_pd(in), _mm512_loadu_pd(in + 8), _mm512_loadu_pd(in + 16),
                     _mm512_loadu_pd(in + 24), w, r);
      for (int j = 0; j < 4; ++j) rows[j][i] = r[j];
    }
    for (int j = 0; j < 4; ++j) {
      __m512d inputs[4];
      Transpose4(rows[j][0], rows[j][1], rows[j][2], rows[j][3], inputs);
      LastGroups(inputs, y, tables, m, j * groups + g);
    }
  }
}

KP05_AVX512 void Radix4(const double* x, double* y, const PassTables& tables, int32_t m,
                        int32_t a) {
  const int32_t q = m / (4 * a);
  if (q == 4) {
    Radix4Fixed<4>(x, y, tables, m, a);
  } else if (q == 16) {
    Radix4Fixed<16>(x, y, tables, m, a);
  } else if (q >= 4) {
    Radix4Wide(x, y, tables, m, a);
  } else if (q == 1 && a >= 4) {
    Radix4Last(x, y, tables, m);
  } else {
    Avx2Kernels()->radix4(x, y, tables, m, a);
  }
}

// Four neighbouring n per register; see Kernels::difRadix4.
KP05_AVX512 void DifRadix4(const double* x, double* y, const PassTables& shared, int32_t m) {
  const PassTables tables = shared;  // in registers: no store through y can change it
  const int32_t quarter = m / 4;
  for (int32_t n = 0; n < quarter; n += 4) {
    const __m512d x0 = _mm512_loadu_pd(x + 2 * n), x1 = _mm512_loadu_pd(x + 2 * (quarter + n));
    const __m512d x2 = _mm512_loadu_pd(x + 2 * (2 * quarter + n));
    const __m512d x3 = _mm512_loadu_pd(x + 2 * (3 * quarter + n));
    const __m512d a = _mm512_add_pd(x0, x2), c = _mm512_sub_pd(x0, x2);
    const __m512d b = _mm512_add_pd(x1, x3), minusId = MinusI(_mm512_sub_pd(x1, x3));
    const LaneTwiddle w1 = LoadLanes(tables.twiddle + 2 * n);
    const LaneTwiddle w2 = LoadLanes(tables.evenTwiddle + 2 * n);
    const LaneTwiddle w3 = LoadLanes(tables.tripleTwiddle + 2 * n);
    _mm512_storeu_pd(y + 2 * n, _mm512_add_pd(a, b));
    _mm512_storeu_pd(y + 2 * (quarter + n), Mul(_mm512_add_pd(c, minusId), w1.re, w1.im));
    _mm512_storeu_pd(y + 2 * (2 * quarter + n), Mul(_mm512_sub_pd(a, b), w2.re, w2.im));
    _mm512_storeu_pd(y + 2 * (3 * quarter + n), Mul(_mm512_sub_pd(c, minusId), w3.re, w3.im));
  }
}

KP05_AVX512 void Interleave4(const double* y, double* z, int32_t m) {
  const int32_t quarter = m / 4;
  for (int32_t j = 0; j < quarter; j += 4) {
    __m512d bins[4];  // bins[k]: z[4(j + k) .. 4(j + k) + 3]
    Transpose4(_mm512_loadu_pd(y + 2 * j), _mm512_loadu_pd(y + 2 * (quarter + j)),
               _mm512_loadu_pd(y + 2 * (2 * quarter + j)),
               _mm512_loadu_pd(y + 2 * (3 * quarter + j)), bins);
    for (int k = 0; k < 4; ++k) _mm512_storeu_pd(z + 8 * (j + k), bins[k]);
  }
}

// Bins k..k+3 from p = Z[k..k+3] and q = Z[M-k], Z[M-k-1], Z[M-k-2], Z[M-k-3]
// (see Kernels::split), with their partners M-k..M-k-3.
KP05_AVX512 inline void SplitFour(__m512d p, __m512d q, const double* splitTwiddle, int32_t k,
                                  int32_t m, double qs, double* out) {
  const __m512d qConj = _mm512_xor_pd(q, OddSign());
  const LaneTwiddle w = LoadLanes(splitTwiddle + 2 * k);
  const __m512d sum = _mm512_add_pd(p, qConj);
  const __m512d t = Mul(_mm512_sub_pd(p, qConj), w.re, w.im);
  _mm512_storeu_pd(out + 2 * k, _mm512_fmadd_pd(sum, _mm512_set1_pd(qs), t));
  // conj(s*S - T): even lanes s*S - T, odd lanes -s*S + T.
  const __m512d scaleQ = _mm512_set_pd(-qs, qs, -qs, qs, -qs, qs, -qs, qs);
  _mm512_storeu_pd(out + 2 * (m - k - 3), Reverse(_mm512_fmaddsub_pd(sum, scaleQ, t)));
}

// Bins k..k+3 and their partners M-k..M-k-3 per iteration while the two
// groups stay apart; the bins in the middle run one at a time.
KP05_AVX512 void Split(const double* z, double* out, const double* splitTwiddle, int32_t m,
                       double scale) {
  const double z0re = z[0], z0im = z[1];
  const double qs = 0.25 * scale;
  int32_t k = 1;
  for (; k + 3 < m - k - 3; k += 4) {
    SplitFour(_mm512_loadu_pd(z + 2 * k), Reverse(_mm512_loadu_pd(z + 2 * (m - k - 3))),
              splitTwiddle, k, m, qs, out);
  }
  for (; k <= m - k; ++k) SplitBinPair(z + 2 * k, z + 2 * (m - k), splitTwiddle, k, m, qs, out);
  SplitEndBins(z0re, z0im, m, scale, out);
}

// Z[4j .. 4j+15] of the interleaved quarters y, bins[k] = Z[4(j+k) .. 4(j+k)+3].
KP05_AVX512 inline void InterleavedBlock(const double* y, int32_t quarter, int32_t j,
                                         __m512d* bins) {
  Transpose4(_mm512_loadu_pd(y + 2 * j), _mm512_loadu_pd(y + 2 * (quarter + j)),
             _mm512_loadu_pd(y + 2 * (2 * quarter + j)), _mm512_loadu_pd(y + 2 * (3 * quarter + j)),
             bins);
}

// The complex values one place on: lanes 1..3 of lo, then lane 0 of hi.
KP05_AVX512 inline __m512d NextFour(__m512d lo, __m512d hi) {
  return _mm512_castsi512_pd(
      _mm512_alignr_epi64(_mm512_castpd_si512(hi), _mm512_castpd_si512(lo), 2));
}

// The interleave and the split in one (see Kernels::interleave4Split). Low
// bins 4j+1 .. 4j+16 take their partners from exactly one block of 16,
// Z[M-4j-16 .. M-4j-1]; the low side needs the first value of its next block.
KP05_AVX512 void Interleave4Split(const double* y, double* out, const double* splitTwiddle,
                                  int32_t m, double scale) {
  const int32_t quarter = m / 4;
  const double qs = 0.25 * scale;
  __m512d low[4];
  InterleavedBlock(y, quarter, 0, low);
  int32_t j = 0;
  for (; 8 * j + 32 < m; j += 4) {
    __m512d next[4], high[4];
    InterleavedBlock(y, quarter, j + 4, next);
    InterleavedBlock(y, quarter, quarter - j - 4, high);
    for (int k = 0; k < 4; ++k) {
      SplitFour(NextFour(low[k], k < 3 ? low[k + 1] : next[0]), Reverse(high[3 - k]), splitTwiddle,
                4 * j + 4 * k + 1, m, qs, out);
    }
    for (int k = 0; k < 4; ++k) low[k] = next[k];
  }
  SplitInterleavedRest(y, 4 * j + 1, splitTwiddle, m, scale, out);
}

KP05_AVX512 void WeightReal(double* data, const double* table, int32_t n) {
  int32_t i = 0;
  for (; i + 16 <= n; i += 16) {
    _mm512_storeu_pd(data + i, _mm512_mul_pd(_mm512_loadu_pd(data + i), _mm512_load_pd(table + i)));
    _mm512_storeu_pd(data + i + 8,
                     _mm512_mul_pd(_mm512_loadu_pd(data + i + 8), _mm512_load_pd(table + i + 8)));
  }
  for (; i < n; ++i) data[i] *= table[i];
}

Kernels MakeAvx512Kernels() {
  Kernels kernels = *Avx2Kernels();
  kernels.firstRadix8 = FirstRadix8;
  kernels.radix4 = Radix4;
  kernels.split = Split;
  kernels.difRadix4 = DifRadix4;
  kernels.interleave4 = Interleave4;
  kernels.interleave4Split = Interleave4Split;
  kernels.weightReal = WeightReal;
  kernels.radix16Tail = Radix16Tail;
  // The last pass and the split run faster apart with these registers.
  kernels.radix4Split = nullptr;
  return kernels;
}

}  // namespace

const Kernels* Avx512Kernels() {
  static const Kernels kernels = MakeAvx512Kernels();
  return &kernels;
}

}  // namespace kp05

#else

namespace kp05 {
const Kernels* Avx512Kernels() {
  return nullptr;
}
}  // namespace kp05

#endif
