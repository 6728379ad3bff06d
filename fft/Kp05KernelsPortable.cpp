// Scalar passes for any x86-64 (and any other target): the same arithmetic as
// the AVX2 ones, one complex value at a time.
#include "fft/Kp05Kernels.h"

namespace kp05 {
namespace {

struct Complex {
  double re, im;
};

inline Complex Load(const double* p) {
  return {p[0], p[1]};
}
inline void Store(double* p, Complex c) {
  p[0] = c.re;
  p[1] = c.im;
}
inline Complex Mul(Complex w, Complex x) {
  return {w.re * x.re - w.im * x.im, w.re * x.im + w.im * x.re};
}
inline Complex Add(Complex a, Complex b) {
  return {a.re + b.re, a.im + b.im};
}
inline Complex Sub(Complex a, Complex b) {
  return {a.re - b.re, a.im - b.im};
}

void FirstRadix2(const double* x, double* y, int32_t m) {
  const int32_t h = m / 2;
  for (int32_t k = 0; k < 2 * h; ++k) {
    const double u = x[k], v = x[2 * h + k];
    y[k] = u + v;
    y[2 * h + k] = u - v;
  }
}

inline Complex MinusI(Complex c) {
  return {c.im, -c.re};
}

void FirstRadix8(const double* x, double* y, const double* twiddle, int32_t m) {
  const int32_t h = m / 8;
  const Complex wb = Load(twiddle + 2 * h), wc = Load(twiddle + 2 * (3 * h));
  for (int32_t k = 0; k < h; ++k) {
    Complex u[4], v[4];
    for (int j = 0; j < 4; ++j) {
      const Complex lo = Load(x + 2 * (k + j * h)), hi = Load(x + 2 * (k + (j + 4) * h));
      u[j] = Add(lo, hi);
      v[j] = Sub(lo, hi);
    }
    const Complex a0 = Add(u[0], u[2]), c0 = Sub(u[0], u[2]);
    const Complex b0 = Add(u[1], u[3]), d0 = MinusI(Sub(u[1], u[3]));
    Store(y + 2 * k, Add(a0, b0));
    Store(y + 2 * (2 * h + k), Add(c0, d0));
    Store(y + 2 * (4 * h + k), Sub(a0, b0));
    Store(y + 2 * (6 * h + k), Sub(c0, d0));
    const Complex v2 = MinusI(v[2]), v3 = MinusI(v[3]);
    const Complex a1 = Add(v[0], v2), c1 = Sub(v[0], v2);
    const Complex b1 = Mul(wb, Add(v[1], v3)), d1 = Mul(wc, Sub(v[1], v3));
    Store(y + 2 * (h + k), Add(a1, b1));
    Store(y + 2 * (3 * h + k), Add(c1, d1));
    Store(y + 2 * (5 * h + k), Sub(a1, b1));
    Store(y + 2 * (7 * h + k), Sub(c1, d1));
  }
}

void Radix4(const double* x, double* y, const PassTables& tables, int32_t m, int32_t a) {
  const double* twiddle = tables.twiddle;
  const int32_t q = m / (4 * a);
  const int32_t quarter = m / 4;
  for (int32_t g = 0; g < a; ++g) {
    const Complex wa = Load(twiddle + 2 * (2 * g * q));
    const Complex wb = Load(twiddle + 2 * (g * q));
    const Complex wc = Load(twiddle + 2 * (quarter + g * q));
    const double* in = x + 2 * (4 * g * q);
    double* out = y + 2 * (g * q);
    for (int32_t k = 0; k < q; ++k) {
      const Complex x0 = Load(in + 2 * k), x1 = Load(in + 2 * (q + k));
      const Complex x2 = Mul(wa, Load(in + 2 * (2 * q + k)));
      const Complex x3 = Mul(wa, Load(in + 2 * (3 * q + k)));
      const Complex A = Add(x0, x2), C = Sub(x0, x2);
      const Complex B = Mul(wb, Add(x1, x3)), D = Mul(wc, Sub(x1, x3));
      Store(out + 2 * k, Add(A, B));
      Store(out + 2 * (2 * quarter + k), Sub(A, B));
      Store(out + 2 * (quarter + k), Add(C, D));
      Store(out + 2 * (3 * quarter + k), Sub(C, D));
    }
  }
}

void Split(const double* z, double* out, const double* splitTwiddle, int32_t m, double scale) {
  const double quarterScale = 0.25 * scale;
  const Complex z0 = Load(z);
  for (int32_t k = 1; k <= m / 2; ++k) {
    const Complex p = Load(z + 2 * k), q = Load(z + 2 * (m - k));
    const Complex sum = {p.re + q.re, p.im - q.im};         // P + conj(Q)
    const Complex difference = {p.re - q.re, p.im + q.im};  // P - conj(Q)
    const Complex t = Mul(Load(splitTwiddle + 2 * k), difference);
    const Complex s = {sum.re * quarterScale, sum.im * quarterScale};
    Store(out + 2 * k, Add(s, t));
    if (k != m - k) Store(out + 2 * (m - k), {s.re - t.re, t.im - s.im});
  }
  Store(out, {(z0.re + z0.im) * (0.5 * scale), 0.0});
  Store(out + 2 * m, {(z0.re - z0.im) * (0.5 * scale), 0.0});
}

void WeightReal(double* data, const double* table, int32_t n) {
  for (int32_t i = 0; i < n; ++i) data[i] *= table[i];
}

const Kernels kPortable = {FirstRadix2, FirstRadix8, Radix4,  nullptr, nullptr,   Split,
                           nullptr,     nullptr,     nullptr, nullptr, WeightReal};
KernelSet g_limit = KernelSet::Avx512;

}  // namespace

const Kernels& PortableKernels() {
  return kPortable;
}

bool CpuRuns(KernelSet set) {
#if defined(__x86_64__) || defined(__i386__)
  // The compiler's CPU model also checks that the OS saves the registers.
  __builtin_cpu_init();
  switch (set) {
    case KernelSet::Portable:
      return true;
    case KernelSet::Avx2:
      return Avx2Kernels() != nullptr && __builtin_cpu_supports("avx2") &&
             __builtin_cpu_supports("fma");
    case KernelSet::Avx512:
      return Avx512Kernels() != nullptr && CpuRuns(KernelSet::Avx2) &&
             __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq");
  }
  return false;
#else
  return set == KernelSet::Portable;
#endif
}

const Kernels& BestKernels() {
  if (g_limit >= KernelSet::Avx512 && CpuRuns(KernelSet::Avx512)) return *Avx512Kernels();
  if (g_limit >= KernelSet::Avx2 && CpuRuns(KernelSet::Avx2)) return *Avx2Kernels();
  return kPortable;
}

void LimitKernels(KernelSet most) {
  g_limit = most;
}

}  // namespace kp05
