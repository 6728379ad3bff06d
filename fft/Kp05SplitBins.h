// The real split's scalar steps, shared by the vector kernels for the bins
// their registers do not cover (see Kernels::split for the formulas).
#pragma once

#include <stdint.h>

namespace kp05 {

// Bin k and its partner M-k from P = Z[k] and Q = Z[M-k]; qs = scale/4.
inline void SplitBinPair(const double* p, const double* q, const double* splitTwiddle, int32_t k,
                         int32_t m, double qs, double* out) {
  const double pr = p[0], pi = p[1], qr = q[0], qi = q[1];
  const double sr = (pr + qr) * qs, si = (pi - qi) * qs, dr = pr - qr, di = pi + qi;
  const double wr = splitTwiddle[2 * k], wi = splitTwiddle[2 * k + 1];
  const double tr = wr * dr - wi * di, ti = wr * di + wi * dr;
  out[2 * k] = sr + tr;
  out[2 * k + 1] = si + ti;
  if (k != m - k) {
    out[2 * (m - k)] = sr - tr;
    out[2 * (m - k) + 1] = ti - si;
  }
}

// Bins 0 and M, both real, from Z[0].
inline void SplitEndBins(double z0re, double z0im, int32_t m, double scale, double* out) {
  out[0] = (z0re + z0im) * (0.5 * scale);
  out[1] = 0.0;
  out[2 * m] = (z0re - z0im) * (0.5 * scale);
  out[2 * m + 1] = 0.0;
}

// The bins from k = first up to M/2 and the end bins, with Z still in the
// quarters y of the interleave (Z[k] at quarter k % 4, place k / 4): what the
// vector interleave-and-split leaves after its last whole block.
inline void SplitInterleavedRest(const double* y, int32_t first, const double* splitTwiddle,
                                 int32_t m, double scale, double* out) {
  const int32_t quarter = m / 4;
  auto z = [&](int32_t k) { return y + 2 * ((k & 3) * quarter + (k >> 2)); };
  for (int32_t k = first; k <= m - k; ++k) {
    SplitBinPair(z(k), z(m - k), splitTwiddle, k, m, 0.25 * scale, out);
  }
  SplitEndBins(y[0], y[1], m, scale, out);
}

}  // namespace kp05
