#include <string.h>

#include "fft/Kp05Plan.h"

namespace kp05 {
namespace {

// One radix-2 stage of the self-sorting ping-pong scheme: a groups of n = M/(2a)
// butterflies; group g uses twiddle index t = g*n.
void Stage(const Kp05Plan& plan, const double* src, double* dst, int32_t a, double s) {
  const int32_t m = plan.m;
  const int32_t n = m / (2 * a);
  for (int32_t g = 0; g < a; ++g) {
    const int32_t t = g * n;
    // t = 0 comes first: for M = 2 the quarter index is 0 as well.
    const bool one = t == 0;
    const bool minusI = !one && t == plan.quarter;
    double wr = 1.0, wi = 0.0;
    if (minusI) {
      wr = 0.0;
      wi = -s;
    } else if (!one) {
      wr = plan.stageCos[t];
      wi = s * plan.stageSin[t];
    }
    for (int32_t k = 0; k < n; ++k) {
      const double ur = src[2 * (2 * t + k)], ui = src[2 * (2 * t + k) + 1];
      const double xr = src[2 * (2 * t + n + k)], xi = src[2 * (2 * t + n + k) + 1];
      double vr = xr, vi = xi;
      if (minusI) {
        vr = -wi * xi;
        vi = wi * xr;
      } else if (!one) {
        vr = wr * xr - wi * xi;
        vi = wr * xi + wi * xr;
      }
      dst[2 * (t + k)] = ur + vr;
      dst[2 * (t + k) + 1] = ui + vi;
      dst[2 * (m / 2 + t + k)] = ur - vr;
      dst[2 * (m / 2 + t + k) + 1] = ui - vi;
    }
  }
}

void Split(const Kp05Plan& plan, const double* z, double* out) {
  const int32_t m = plan.m;
  const double z0r = z[0], z0i = z[1];
  for (int32_t k = 1; k < m; ++k) {
    const double pr = z[2 * k], pi = z[2 * k + 1];
    const double qr = z[2 * (m - k)], qi = z[2 * (m - k) + 1];
    const double d = qi + pi, e = pr - qr;
    out[2 * k] = (qr + pr + d * plan.splitCos[k] + e * plan.splitSin[k]) * 0.25;
    out[2 * k + 1] = (pi - qi + d * plan.splitSin[k] - e * plan.splitCos[k]) * 0.25;
  }
  out[0] = (z0r + z0i) * 0.5;
  out[1] = 0.0;
  out[2 * m] = (z0r - z0i) * 0.5;
  out[2 * m + 1] = 0.0;
}

}  // namespace

void Transform(Kp05Plan& plan, double* data, bool inverse) {
  const int32_t m = plan.m;
  const double s = inverse ? -1.0 : 1.0;
  double* buffers[2] = {data, plan.work};
  int stage = 0;
  for (int32_t a = 1; a < m; a *= 2, ++stage) {
    Stage(plan, buffers[stage & 1], buffers[(stage + 1) & 1], a, s);
  }
  double* result = buffers[stage & 1];
  const size_t bytes = static_cast<size_t>(m) * 2 * sizeof(double);
  if (!plan.realInput) {
    if (result != data) memcpy(data, result, bytes);
    result = data;
  } else if (result != plan.work) {
    memcpy(plan.work, result, bytes);
    result = plan.work;
  }
  if (!inverse) {
    const double scale = 1.0 / m;
    for (int32_t i = 0; i < 2 * m; ++i) result[i] *= scale;
  }
  if (plan.realInput) Split(plan, plan.work, data);
}

}  // namespace kp05
