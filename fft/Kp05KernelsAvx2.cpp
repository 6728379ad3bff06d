// AVX2+FMA passes: two interleaved complex values per 256-bit register. Built
// with a target attribute (not global flags) so the library still loads and
// runs on any x86-64; BestKernels picks these only when the CPU has AVX2 and FMA.
#include "fft/Kp05Kernels.h"
#include "fft/Kp05SplitBins.h"

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#define KP05_AVX2 __attribute__((target("avx2,fma")))

namespace kp05 {
namespace {

// (im, re) of each complex value.
KP05_AVX2 inline __m256d Swap(__m256d v) {
  return _mm256_permute_pd(v, 0x5);
}

// w * x for two complex values: x*w.re -/+ swap(x)*w.im (even lanes subtract).
KP05_AVX2 inline __m256d Mul(__m256d x, __m256d wre, __m256d wim) {
  return _mm256_fmaddsub_pd(x, wre, _mm256_mul_pd(Swap(x), wim));
}

KP05_AVX2 void FirstRadix2(const double* x, double* y, int32_t m) {
  const int32_t h = 2 * (m / 2);  // doubles per half
  int32_t k = 0;
  for (; k + 8 <= h; k += 8) {
    for (int32_t j = 0; j < 8; j += 4) {
      const __m256d u = _mm256_loadu_pd(x + k + j), v = _mm256_loadu_pd(x + h + k + j);
      _mm256_storeu_pd(y + k + j, _mm256_add_pd(u, v));
      _mm256_storeu_pd(y + h + k + j, _mm256_sub_pd(u, v));
    }
  }
  for (; k < h; ++k) {
    const double u = x[k], v = x[h + k];
    y[k] = u + v;
    y[h + k] = u - v;
  }
}

// With ds = (d.im, d.re) (d with its parts swapped): c - i*d and c + i*d.
// The multiply by one is exact, so both round as the plain additions, and
// the first runs on the multiply units, which the adds of a butterfly leave idle.
KP05_AVX2 inline __m256d SubI(__m256d c, __m256d ds) {
  return _mm256_fmsubadd_pd(c, _mm256_set1_pd(1.0), ds);
}

KP05_AVX2 inline __m256d AddI(__m256d c, __m256d ds) {
  return _mm256_addsub_pd(c, ds);
}

KP05_AVX2 void FirstRadix8(const double* x, double* y, const double* twiddle, int32_t m) {
  const int32_t h = 2 * (m / 8);  // doubles per eighth
  if (h < 4) {
    PortableKernels().firstRadix8(x, y, twiddle, m);  // M = 8: one butterfly
    return;
  }
  const __m256d bre = _mm256_set1_pd(twiddle[h]), bim = _mm256_set1_pd(twiddle[h + 1]);
  const __m256d cre = _mm256_set1_pd(twiddle[3 * h]), cim = _mm256_set1_pd(twiddle[3 * h + 1]);
  for (int32_t k = 0; k < h; k += 4) {
    __m256d u[4], v[4];
    for (int j = 0; j < 4; ++j) {
      const __m256d lo = _mm256_loadu_pd(x + k + j * h);
      const __m256d hi = _mm256_loadu_pd(x + k + (j + 4) * h);
      u[j] = _mm256_add_pd(lo, hi);
      v[j] = _mm256_sub_pd(lo, hi);
    }
    const __m256d a0 = _mm256_add_pd(u[0], u[2]), c0 = _mm256_sub_pd(u[0], u[2]);
    const __m256d b0 = _mm256_add_pd(u[1], u[3]), d0 = Swap(_mm256_sub_pd(u[1], u[3]));
    _mm256_storeu_pd(y + k, _mm256_add_pd(a0, b0));
    _mm256_storeu_pd(y + 2 * h + k, SubI(c0, d0));
    _mm256_storeu_pd(y + 4 * h + k, _mm256_sub_pd(a0, b0));
    _mm256_storeu_pd(y + 6 * h + k, AddI(c0, d0));
    const __m256d v2 = Swap(v[2]), v3 = Swap(v[3]);
    const __m256d a1 = SubI(v[0], v2), c1 = AddI(v[0], v2);
    const __m256d b1 = Mul(SubI(v[1], v3), bre, bim);
    const __m256d d1 = Mul(AddI(v[1], v3), cre, cim);
    _mm256_storeu_pd(y + h + k, _mm256_add_pd(a1, b1));
    _mm256_storeu_pd(y + 3 * h + k, _mm256_add_pd(c1, d1));
    _mm256_storeu_pd(y + 5 * h + k, _mm256_sub_pd(a1, b1));
    _mm256_storeu_pd(y + 7 * h + k, _mm256_sub_pd(c1, d1));
  }
}

// One four-point butterfly on two neighbouring k (or, in the last pass, two
// neighbouring groups): with t1 = w(gq) x1, t2 = w(2gq) x2, t3 = w(3gq) x3,
// A = x0 + t2, C = x0 - t2, B = t1 + t3, D = t1 - t3, the outputs are A + B,
// C - iD, A - B, C + iD (see Kernels::radix4 for the positions).
struct Twiddles {
  __m256d bre, bim, are, aim, abre, abim;  // w(gq), w(2gq), w(3gq)
};

KP05_AVX2 inline void Butterfly4(__m256d x0, __m256d x1, __m256d x2, __m256d x3, const Twiddles& w,
                                 double* y0, double* y1, double* y2, double* y3) {
  const __m256d t1 = Mul(x1, w.bre, w.bim);
  const __m256d t2 = Mul(x2, w.are, w.aim);
  const __m256d t3 = Mul(x3, w.abre, w.abim);
  const __m256d a = _mm256_add_pd(x0, t2), c = _mm256_sub_pd(x0, t2);
  const __m256d b = _mm256_add_pd(t1, t3), dSwapped = Swap(_mm256_sub_pd(t1, t3));
  _mm256_storeu_pd(y0, _mm256_add_pd(a, b));
  _mm256_storeu_pd(y1, SubI(c, dSwapped));
  _mm256_storeu_pd(y2, _mm256_sub_pd(a, b));
  _mm256_storeu_pd(y3, AddI(c, dSwapped));
}

// Group 0 of a radix-4 pass (q >= 2), whose twiddles are 1, 1 and -i:
// additions only.
KP05_AVX2 inline void FirstGroup(const double* x, double* y, int32_t q, int32_t quarter) {
  for (int32_t k = 0; k < 2 * q; k += 4) {
    const __m256d x0 = _mm256_loadu_pd(x + k), x1 = _mm256_loadu_pd(x + 2 * q + k);
    const __m256d x2 = _mm256_loadu_pd(x + 4 * q + k), x3 = _mm256_loadu_pd(x + 6 * q + k);
    const __m256d a0 = _mm256_add_pd(x0, x2), c0 = _mm256_sub_pd(x0, x2);
    const __m256d b0 = _mm256_add_pd(x1, x3), d0 = Swap(_mm256_sub_pd(x1, x3));
    _mm256_storeu_pd(y + k, _mm256_add_pd(a0, b0));
    _mm256_storeu_pd(y + 2 * quarter + k, SubI(c0, d0));
    _mm256_storeu_pd(y + 4 * quarter + k, _mm256_sub_pd(a0, b0));
    _mm256_storeu_pd(y + 6 * quarter + k, AddI(c0, d0));
  }
}

// Groups 1 .. a-1 of a radix-4 pass (q >= 2): each group's twiddles are
// broadcast, the k loop runs two complex values per register. Inlined with a
// constant q, the offsets are known at compile time.
KP05_AVX2 inline void OtherGroups(const double* x, double* y, const PassTables& tables, int32_t q,
                                  int32_t quarter, int32_t a) {
  for (int32_t g = 1; g < a; ++g) {
    const double* tb = tables.twiddle + 2 * (g * q);
    const double* ta = tables.twiddle + 2 * (2 * g * q);
    const double* tab = tables.tripleTwiddle + 2 * (g * q);
    const Twiddles w = {_mm256_set1_pd(tb[0]), _mm256_set1_pd(tb[1]),  _mm256_set1_pd(ta[0]),
                        _mm256_set1_pd(ta[1]), _mm256_set1_pd(tab[0]), _mm256_set1_pd(tab[1])};
    const double* in = x + 2 * (4 * g * q);
    double* out = y + 2 * (g * q);
    for (int32_t k = 0; k < 2 * q; k += 4) {
      Butterfly4(_mm256_loadu_pd(in + k), _mm256_loadu_pd(in + 2 * q + k),
                 _mm256_loadu_pd(in + 4 * q + k), _mm256_loadu_pd(in + 6 * q + k), w, out + k,
                 out + 2 * quarter + k, out + 4 * quarter + k, out + 6 * quarter + k);
    }
  }
}

// q >= 2.
KP05_AVX2 void Radix4Wide(const double* x, double* y, const PassTables& shared, int32_t m,
                          int32_t a) {
  const PassTables tables = shared;  // in registers: no store through y can change it
  const int32_t q = m / (4 * a), quarter = m / 4;
  FirstGroup(x, y, q, quarter);
  OtherGroups(x, y, tables, q, quarter, a);
}

// A small q (4 or 16) known at compile time: with two or eight iterations
// per group, the generic loop's per-group cost dominated.
template <int32_t Q>
KP05_AVX2 void Radix4Fixed(const double* x, double* y, const PassTables& shared, int32_t m,
                           int32_t a) {
  const PassTables tables = shared;  // in registers: no store through y can change it
  const int32_t quarter = m / 4;
  FirstGroup(x, y, Q, quarter);
  OtherGroups(x, y, tables, Q, quarter, a);
}

// w(M/8) v = (re + im, im - re) * c with c = cos(pi/4) = sin(pi/4), the
// table's w(M/8); the sum and difference come from one fmsubadd with 1.0.
KP05_AVX2 inline __m256d Eighth(__m256d v, __m256d c) {
  return _mm256_mul_pd(_mm256_fmsubadd_pd(v, _mm256_set1_pd(1.0), Swap(v)), c);
}

// The eight-point transform of t[0..7] (twiddles applied), output p at
// y + p * stride: the four-point transforms E of the even and O of the odd
// inputs, then y_p = E_p + w8^p O_p and y_{p+4} = E_p - w8^p O_p.
KP05_AVX2 inline void Dft8(const __m256d* t, __m256d c, double* y, int32_t stride) {
  const __m256d a0 = _mm256_add_pd(t[0], t[4]), c0 = _mm256_sub_pd(t[0], t[4]);
  const __m256d b0 = _mm256_add_pd(t[2], t[6]), d0 = Swap(_mm256_sub_pd(t[2], t[6]));
  const __m256d a1 = _mm256_add_pd(t[1], t[5]), c1 = _mm256_sub_pd(t[1], t[5]);
  const __m256d b1 = _mm256_add_pd(t[3], t[7]), d1 = Swap(_mm256_sub_pd(t[3], t[7]));
  const __m256d e0 = _mm256_add_pd(a0, b0), e2 = _mm256_sub_pd(a0, b0);
  const __m256d o0 = _mm256_add_pd(a1, b1), o2 = Swap(_mm256_sub_pd(a1, b1));
  _mm256_storeu_pd(y, _mm256_add_pd(e0, o0));
  _mm256_storeu_pd(y + 4 * stride, _mm256_sub_pd(e0, o0));
  _mm256_storeu_pd(y + 2 * stride, SubI(e2, o2));  // E2 - i O2
  _mm256_storeu_pd(y + 6 * stride, AddI(e2, o2));
  const __m256d e1 = SubI(c0, d0), e3 = AddI(c0, d0);
  const __m256d o1 = Eighth(SubI(c1, d1), c);        // w8 O1
  const __m256d o3 = Swap(Eighth(AddI(c1, d1), c));  // w8^3 O3 = -i w8 O3
  _mm256_storeu_pd(y + stride, _mm256_add_pd(e1, o1));
  _mm256_storeu_pd(y + 5 * stride, _mm256_sub_pd(e1, o1));
  _mm256_storeu_pd(y + 3 * stride, SubI(e3, o3));
  _mm256_storeu_pd(y + 7 * stride, AddI(e3, o3));
}

// See Kernels::radix8: each group's seven twiddles are broadcast from their
// table, the k loop runs two complex values per register. Group 0 has no
// twiddles.
KP05_AVX2 void Radix8(const double* x, double* y, const PassTables& shared, int32_t m, int32_t a) {
  const PassTables tables = shared;  // in registers: no store through y can change it
  const int32_t r = m / (8 * a);
  const int32_t stride = 2 * (m / 8);  // doubles between output rows
  const __m256d c = _mm256_set1_pd(tables.twiddle[stride]);
  for (int32_t k = 0; k < 2 * r; k += 4) {
    __m256d t[8];
    for (int j = 0; j < 8; ++j) t[j] = _mm256_loadu_pd(x + k + 2 * j * r);
    Dft8(t, c, y + k, stride);
  }
  for (int32_t g = 1; g < a; ++g) {
    const double* w = tables.eightTwiddle + 14 * (g * r);
    const double* in = x + 2 * (8 * g * r);
    double* out = y + 2 * (g * r);
    for (int32_t k = 0; k < 2 * r; k += 4) {
      __m256d t[8];
      t[0] = _mm256_loadu_pd(in + k);
      for (int j = 1; j < 8; ++j) {
        t[j] = Mul(_mm256_loadu_pd(in + k + 2 * j * r), _mm256_broadcast_sd(w + 2 * j - 2),
                   _mm256_broadcast_sd(w + 2 * j - 1));
      }
      Dft8(t, c, out + k, stride);
    }
  }
}

// Two neighbouring complex values at lo and at hi, one load each, as the
// pairs (lo[0], hi[0]) and (lo[1], hi[1]).
KP05_AVX2 inline void LoadPairs(const double* lo, const double* hi, __m256d* first,
                                __m256d* second) {
  const __m256d l = _mm256_loadu_pd(lo), h = _mm256_loadu_pd(hi);
  *first = _mm256_permute2f128_pd(l, h, 0x20);
  *second = _mm256_permute2f128_pd(l, h, 0x31);
}

// Twiddle parts per lane straight from memory: p[0], p[0], p[2], p[2].
KP05_AVX2 inline __m256d LoadDup(const double* p) {
  return _mm256_movedup_pd(_mm256_loadu_pd(p));
}

// The twiddles of groups g and g+1 from the tables b, a and ab, one group per
// register half.
KP05_AVX2 inline Twiddles PairTwiddles(const double* b, const double* a, const double* ab,
                                       int32_t g) {
  return {LoadDup(b + 2 * g),     LoadDup(b + 2 * g + 1), LoadDup(a + 2 * g),
          LoadDup(a + 2 * g + 1), LoadDup(ab + 2 * g),    LoadDup(ab + 2 * g + 1)};
}

// q == 1 (the last pass): two neighbouring groups per register, each lane
// with its own twiddles.
KP05_AVX2 void Radix4Last(const double* x, double* y, const PassTables& shared, int32_t m) {
  const PassTables tables = shared;  // in registers: no store through y can change it
  const int32_t quarter = m / 4;     // = a, the group count
  for (int32_t g = 0; g < quarter; g += 2) {
    const double* in = x + 8 * g;
    const Twiddles w = PairTwiddles(tables.twiddle, tables.evenTwiddle, tables.tripleTwiddle, g);
    __m256d x0, x1, x2, x3;
    LoadPairs(in, in + 8, &x0, &x1);
    LoadPairs(in + 4, in + 12, &x2, &x3);
    Butterfly4(x0, x1, x2, x3, w, y + 2 * g, y + 2 * (quarter + g), y + 2 * (2 * quarter + g),
               y + 2 * (3 * quarter + g));
  }
}

// The same butterfly, results kept in registers: r[0..3] = A + B, C - iD, A - B, C + iD.
KP05_AVX2 inline void Butterfly4Regs(__m256d x0, __m256d x1, __m256d x2, __m256d x3,
                                     const Twiddles& w, __m256d* r) {
  const __m256d t1 = Mul(x1, w.bre, w.bim);
  const __m256d t2 = Mul(x2, w.are, w.aim);
  const __m256d t3 = Mul(x3, w.abre, w.abim);
  const __m256d a = _mm256_add_pd(x0, t2), c = _mm256_sub_pd(x0, t2);
  const __m256d b = _mm256_add_pd(t1, t3), dSwapped = Swap(_mm256_sub_pd(t1, t3));
  r[0] = _mm256_add_pd(a, b);
  r[1] = SubI(c, dSwapped);
  r[2] = _mm256_sub_pd(a, b);
  r[3] = AddI(c, dSwapped);
}

// Groups g and g+1 per iteration, one per register half. First the pass with
// q = 4 (group g: rows x[16g + k + {0, 4, 8, 12}], output row j at
// y[jM/4 + 4g + k]); output row j of group g is the whole input of the last
// pass's group g' = jM/16 + g, whose results go to y[g' + {0, 1, 2, 3} M/4].
KP05_AVX2 void Radix16Tail(const double* x, double* y, const PassTables& shared, int32_t m) {
  const PassTables tables = shared;  // in registers: no store through y can change it
  const int32_t groups = m / 16, quarter = m / 4;
  const double* tail1 = tables.tailTwiddle;
  const double* tail2 = tail1 + 2 * (groups + 2);
  const double* tail3 = tail2 + 2 * (groups + 2);
  for (int32_t g = 0; g < groups; g += 2) {
    const double* in = x + 32 * g;
    const Twiddles w = PairTwiddles(tail1, tail2, tail3, g);
    __m256d rows[4][4];  // [j][k]
    for (int k = 0; k < 4; k += 2) {
      __m256d a[4], b[4];  // the inputs of the butterflies at k and k + 1
      for (int i = 0; i < 4; ++i) {
        LoadPairs(in + 2 * (k + 4 * i), in + 32 + 2 * (k + 4 * i), &a[i], &b[i]);
      }
      __m256d ra[4], rb[4];
      Butterfly4Regs(a[0], a[1], a[2], a[3], w, ra);
      Butterfly4Regs(b[0], b[1], b[2], b[3], w, rb);
      for (int j = 0; j < 4; ++j) {
        rows[j][k] = ra[j];
        rows[j][k + 1] = rb[j];
      }
    }
    for (int j = 0; j < 4; ++j) {
      const int32_t h = j * groups + g;  // g' of the lower lane
      const Twiddles v = PairTwiddles(tables.twiddle, tables.evenTwiddle, tables.tripleTwiddle, h);
      Butterfly4(rows[j][0], rows[j][1], rows[j][2], rows[j][3], v, y + 2 * h,
                 y + 2 * (quarter + h), y + 2 * (2 * quarter + h), y + 2 * (3 * quarter + h));
    }
  }
}

KP05_AVX2 void Radix4(const double* x, double* y, const PassTables& tables, int32_t m, int32_t a) {
  const int32_t q = m / (4 * a);
  if (q == 4) {
    Radix4Fixed<4>(x, y, tables, m, a);
  } else if (q == 16) {
    Radix4Fixed<16>(x, y, tables, m, a);
  } else if (q >= 2) {
    Radix4Wide(x, y, tables, m, a);
  } else if (a >= 2) {
    Radix4Last(x, y, tables, m);
  } else {
    PortableKernels().radix4(x, y, tables, m, a);  // M = 4: one butterfly
  }
}

// Swaps the two complex values of a register.
KP05_AVX2 inline __m256d Reverse(__m256d v) {
  return _mm256_permute2f128_pd(v, v, 0x01);
}

// Bins k, k+1 (P = Z[k..k+1]) and M-k, M-k-1 (Q = Z[M-k], Z[M-k-1], one
// register each) into out, with the split twiddles of k and k+1 as their
// real and imaginary parts per lane; see Kernels::split. S = P + conj(Q) and
// D = P - conj(Q) come without a sign flip: the even lanes add and subtract
// the real parts, the odd lanes the imaginary parts the other way round.
KP05_AVX2 inline void SplitPairWith(__m256d p, __m256d q, __m256d wre, __m256d wim, int32_t k,
                                    int32_t m, double qs, double* out) {
  const __m256d sum = _mm256_fmsubadd_pd(p, _mm256_set1_pd(1.0), q);
  const __m256d t = Mul(_mm256_addsub_pd(p, q), wre, wim);
  _mm256_storeu_pd(out + 2 * k, _mm256_fmadd_pd(sum, _mm256_set1_pd(qs), t));
  // conj(s*S - T): even lanes s*S - T, odd lanes -s*S + T.
  _mm256_storeu_pd(out + 2 * (m - k - 1),
                   Reverse(_mm256_fmaddsub_pd(sum, _mm256_set_pd(-qs, qs, -qs, qs), t)));
}

KP05_AVX2 inline void SplitPair(__m256d p, __m256d q, const double* splitTwiddle, int32_t k,
                                int32_t m, double qs, double* out) {
  const double* w = splitTwiddle + 2 * k;
  SplitPairWith(p, q, LoadDup(w), LoadDup(w + 1), k, m, qs, out);
}

// The mirrored pair: P = Z[M/2-j], Z[M/2-j-1] and Q = Z[M/2+j], Z[M/2+j+1]
// for the lanes j, j+1 of the split twiddles w(j) (wre, wim). The twiddle of
// bin M/2-j is i*conj(w(j)) = w.im + i*w.re, so the same multiply takes the
// parts the other way round. P's bins descend, Q's ascend.
KP05_AVX2 inline void SplitMirroredPair(__m256d p, __m256d q, __m256d wre, __m256d wim, int32_t j,
                                        int32_t m, double qs, double* out) {
  const __m256d sum = _mm256_fmsubadd_pd(p, _mm256_set1_pd(1.0), q);
  const __m256d t = Mul(_mm256_addsub_pd(p, q), wim, wre);
  _mm256_storeu_pd(out + 2 * (m / 2 - j - 1), Reverse(_mm256_fmadd_pd(sum, _mm256_set1_pd(qs), t)));
  _mm256_storeu_pd(out + 2 * (m / 2 + j),
                   _mm256_fmaddsub_pd(sum, _mm256_set_pd(-qs, qs, -qs, qs), t));
}

KP05_AVX2 void Split(const double* z, double* out, const double* splitTwiddle, int32_t m,
                     double scale) {
  const double z0re = z[0], z0im = z[1];
  const double qs = 0.25 * scale;
  int32_t k = 1;
  // Bins k, k+1 and M-k, M-k-1 while the two pairs stay apart.
  for (; k + 1 < m - k - 1; k += 2) {
    SplitPair(_mm256_loadu_pd(z + 2 * k), Reverse(_mm256_loadu_pd(z + 2 * (m - k - 1))),
              splitTwiddle, k, m, qs, out);
  }
  for (; k <= m - k; ++k) SplitBinPair(z + 2 * k, z + 2 * (m - k), splitTwiddle, k, m, qs, out);
  SplitEndBins(z0re, z0im, m, scale, out);
}

// Scalar last-pass butterfly of group g, results at their places in z.
inline void LastGroup(const double* x, double* z, const PassTables& tables, int32_t m, int32_t g) {
  const double* in = x + 8 * g;
  const double* wb = tables.twiddle + 2 * g;
  const double* wa = tables.evenTwiddle + 2 * g;
  const double* wab = tables.tripleTwiddle + 2 * g;
  const double t1r = wb[0] * in[2] - wb[1] * in[3], t1i = wb[0] * in[3] + wb[1] * in[2];
  const double t2r = wa[0] * in[4] - wa[1] * in[5], t2i = wa[0] * in[5] + wa[1] * in[4];
  const double t3r = wab[0] * in[6] - wab[1] * in[7], t3i = wab[0] * in[7] + wab[1] * in[6];
  const double ar = in[0] + t2r, ai = in[1] + t2i, cr = in[0] - t2r, ci = in[1] - t2i;
  const double br = t1r + t3r, bi = t1i + t3i, dr = t1r - t3r, di = t1i - t3i;
  const int32_t quarter = m / 4;
  double* z0 = z + 2 * g;
  z0[0] = ar + br;
  z0[1] = ai + bi;
  z0[2 * quarter] = cr + di;  // C - iD
  z0[2 * quarter + 1] = ci - dr;
  z0[4 * quarter] = ar - br;
  z0[4 * quarter + 1] = ai - bi;
  z0[6 * quarter] = cr - di;  // C + iD
  z0[6 * quarter + 1] = ci + dr;
}

// conj(w) * x for two complex values (see Mul).
KP05_AVX2 inline __m256d MulConj(__m256d x, __m256d wre, __m256d wim) {
  return _mm256_fmsubadd_pd(x, wre, _mm256_mul_pd(Swap(x), wim));
}

// Butterfly4Regs for the groups M/4-g, M/4-g-1 (one per lane) with the
// twiddles w of the groups g, g+1: w(M/4-g) = -i conj(w(g)), w(M/2-2g) =
// -conj(w(2g)) and w(3M/4-3g) = i conj(w(3g)) turn the butterfly into
// A = x0 - u2, C = x0 + u2, B = -i(u1 - u3), D = -i(u1 + u3) with
// u_j = conj(w(jg)) x_j, so the mirrored groups need no twiddles of their own.
KP05_AVX2 inline void MirroredButterfly4Regs(__m256d x0, __m256d x1, __m256d x2, __m256d x3,
                                             const Twiddles& w, __m256d* r) {
  const __m256d u1 = MulConj(x1, w.bre, w.bim);
  const __m256d u2 = MulConj(x2, w.are, w.aim);
  const __m256d u3 = MulConj(x3, w.abre, w.abim);
  const __m256d a = _mm256_sub_pd(x0, u2), c = _mm256_add_pd(x0, u2);
  const __m256d eSwapped = Swap(_mm256_sub_pd(u1, u3)), f = _mm256_add_pd(u1, u3);
  r[0] = SubI(a, eSwapped);    // A + B = A - i(u1 - u3)
  r[1] = _mm256_sub_pd(c, f);  // C - iD = C - (u1 + u3)
  r[2] = AddI(a, eSwapped);
  r[3] = _mm256_add_pd(c, f);
}

// Groups g, g+1 from the bottom and M/4-g, M/4-g-1 from the top (in that
// lane order) give 16 values whose split partners are all among them, lane
// by lane; the top groups and the bins M/2-k take their twiddles from the
// bottom ones. Groups 0, M/8-1, M/8 and M/8+1 pair only among themselves:
// they go through z = out, scalar.
KP05_AVX2 void Radix4Split(const double* x, double* out, const PassTables& shared,
                           const double* splitTwiddle, int32_t m, double scale) {
  const PassTables tables = shared;  // in registers: no store through y can change it
  const int32_t quarter = m / 4, eighth = m / 8;
  const double qs = 0.25 * scale;
  for (int32_t g = 1; g + 1 < eighth - 1; g += 2) {
    const Twiddles w = PairTwiddles(tables.twiddle, tables.evenTwiddle, tables.tripleTwiddle, g);
    __m256d lo[4], hi[4];  // lanes: Z[jM/4 + g], Z[jM/4 + g + 1]; Z[jM/4 + M/4 - g], Z[.. - 1]
    {
      const double* in = x + 8 * g;
      __m256d x0, x1, x2, x3;
      LoadPairs(in, in + 8, &x0, &x1);
      LoadPairs(in + 4, in + 12, &x2, &x3);
      Butterfly4Regs(x0, x1, x2, x3, w, lo);
    }
    {
      const double* in = x + 8 * (quarter - g - 1);
      __m256d x0, x1, x2, x3;
      LoadPairs(in + 8, in, &x0, &x1);
      LoadPairs(in + 12, in + 4, &x2, &x3);
      MirroredButterfly4Regs(x0, x1, x2, x3, w, hi);
    }
    const double* w0 = splitTwiddle + 2 * g;
    const double* w1 = splitTwiddle + 2 * (quarter + g);
    const __m256d w0re = LoadDup(w0), w0im = LoadDup(w0 + 1);
    const __m256d w1re = LoadDup(w1), w1im = LoadDup(w1 + 1);
    SplitPairWith(lo[0], hi[3], w0re, w0im, g, m, qs, out);
    SplitPairWith(lo[1], hi[2], w1re, w1im, quarter + g, m, qs, out);
    SplitMirroredPair(hi[1], lo[2], w0re, w0im, g, m, qs, out);
    SplitMirroredPair(hi[0], lo[3], w1re, w1im, quarter + g, m, qs, out);
  }
  const int32_t rest[4] = {0, eighth - 1, eighth, eighth + 1};
  for (int32_t g : rest) LastGroup(x, out, tables, m, g);
  const double zr = out[0], zi = out[1];
  const int32_t lows[8] = {quarter,    2 * quarter,    eighth,     3 * eighth,
                           eighth - 1, 3 * eighth - 1, eighth + 1, 3 * eighth + 1};
  for (int32_t k : lows) SplitBinPair(out + 2 * k, out + 2 * (m - k), splitTwiddle, k, m, qs, out);
  SplitEndBins(zr, zi, m, scale, out);
}

// Two neighbouring n per register; see Kernels::difRadix4.
KP05_AVX2 void DifRadix4(const double* x, double* y, const PassTables& shared, int32_t m) {
  const PassTables tables = shared;  // in registers: no store through y can change it
  const int32_t quarter = m / 4;
  for (int32_t n = 0; n < quarter; n += 2) {
    const __m256d x0 = _mm256_loadu_pd(x + 2 * n), x1 = _mm256_loadu_pd(x + 2 * (quarter + n));
    const __m256d x2 = _mm256_loadu_pd(x + 2 * (2 * quarter + n));
    const __m256d x3 = _mm256_loadu_pd(x + 2 * (3 * quarter + n));
    const __m256d a = _mm256_add_pd(x0, x2), c = _mm256_sub_pd(x0, x2);
    const __m256d b = _mm256_add_pd(x1, x3), dSwapped = Swap(_mm256_sub_pd(x1, x3));
    const Twiddles w = PairTwiddles(tables.twiddle, tables.evenTwiddle, tables.tripleTwiddle, n);
    _mm256_storeu_pd(y + 2 * n, _mm256_add_pd(a, b));
    _mm256_storeu_pd(y + 2 * (quarter + n), Mul(SubI(c, dSwapped), w.bre, w.bim));
    _mm256_storeu_pd(y + 2 * (2 * quarter + n), Mul(_mm256_sub_pd(a, b), w.are, w.aim));
    _mm256_storeu_pd(y + 2 * (3 * quarter + n), Mul(AddI(c, dSwapped), w.abre, w.abim));
  }
}

// Z[4j .. 4j+7] of the interleaved quarters y, j even: block[i] = Z[4j+2i .. 4j+2i+1].
KP05_AVX2 inline void InterleavedBlock(const double* y, int32_t quarter, int32_t j,
                                       __m256d* block) {
  const __m256d y0 = _mm256_loadu_pd(y + 2 * j), y1 = _mm256_loadu_pd(y + 2 * (quarter + j));
  const __m256d y2 = _mm256_loadu_pd(y + 2 * (2 * quarter + j));
  const __m256d y3 = _mm256_loadu_pd(y + 2 * (3 * quarter + j));
  block[0] = _mm256_permute2f128_pd(y0, y1, 0x20);
  block[1] = _mm256_permute2f128_pd(y2, y3, 0x20);
  block[2] = _mm256_permute2f128_pd(y0, y1, 0x31);
  block[3] = _mm256_permute2f128_pd(y2, y3, 0x31);
}

KP05_AVX2 void Interleave4(const double* y, double* z, int32_t m) {
  const int32_t quarter = m / 4;
  for (int32_t j = 0; j < quarter; j += 2) {
    __m256d block[4];
    InterleavedBlock(y, quarter, j, block);
    for (int i = 0; i < 4; ++i) _mm256_storeu_pd(z + 8 * j + 4 * i, block[i]);
  }
}

// The interleave and the split in one (see Kernels::interleave4Split). Bins
// 4j+1 .. 4j+8 take their partners from exactly one block of eight,
// Z[M-4j-8 .. M-4j-1]; the low side needs the first value of its next block.
KP05_AVX2 void Interleave4Split(const double* y, double* out, const double* splitTwiddle, int32_t m,
                                double scale) {
  const int32_t quarter = m / 4;
  const double qs = 0.25 * scale;
  __m256d low[4];
  InterleavedBlock(y, quarter, 0, low);
  int32_t j = 0;
  for (; 8 * j + 16 < m; j += 2) {
    __m256d next[4], high[4];
    InterleavedBlock(y, quarter, j + 2, next);
    InterleavedBlock(y, quarter, quarter - j - 2, high);
    for (int i = 0; i < 4; ++i) {
      const __m256d p = _mm256_permute2f128_pd(low[i], i < 3 ? low[i + 1] : next[0], 0x21);
      SplitPair(p, Reverse(high[3 - i]), splitTwiddle, 4 * j + 2 * i + 1, m, qs, out);
    }
    for (int i = 0; i < 4; ++i) low[i] = next[i];
  }
  SplitInterleavedRest(y, 4 * j + 1, splitTwiddle, m, scale, out);
}

KP05_AVX2 void WeightReal(double* data, const double* table, int32_t n) {
  int32_t i = 0;
  for (; i + 8 <= n; i += 8) {
    _mm256_storeu_pd(data + i, _mm256_mul_pd(_mm256_loadu_pd(data + i), _mm256_load_pd(table + i)));
    _mm256_storeu_pd(data + i + 4,
                     _mm256_mul_pd(_mm256_loadu_pd(data + i + 4), _mm256_load_pd(table + i + 4)));
  }
  for (; i < n; ++i) data[i] *= table[i];
}

const Kernels kAvx2 = {FirstRadix2, FirstRadix8, Radix4,      Radix8,           Radix16Tail, Split,
                       Radix4Split, DifRadix4,   Interleave4, Interleave4Split, WeightReal};

}  // namespace

const Kernels* Avx2Kernels() {
  return &kAvx2;
}

}  // namespace kp05

#else

namespace kp05 {
const Kernels* Avx2Kernels() {
  return nullptr;
}
}  // namespace kp05

#endif
