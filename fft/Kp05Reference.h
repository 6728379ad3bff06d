// A plain transform written straight from the algorithm the library promises,
// with its own tables: the fast kernels must agree with it to rounding.
#pragma once

#include <math.h>
#include <stdint.h>

#include <vector>

namespace kp05test {

class ReferenceTransform {
 public:
  ReferenceTransform(int32_t n, bool realInput)
      : real_(realInput), m_(realInput ? n / 2 : n), half_(m_ / 2), quarter_(m_ / 4) {
    const long double pi = 3.141592653589793;
    for (int32_t i = 0; i <= half_; ++i) {
      stageSin_.push_back(static_cast<double>(-sinl(static_cast<long double>(i) / half_ * pi)));
      stageCos_.push_back(static_cast<double>(cosl(static_cast<long double>(i) / half_ * pi)));
    }
    for (int32_t i = 0; i < m_; ++i) {
      splitSin_.push_back(static_cast<double>(-sinl(static_cast<long double>(i) / m_ * pi)));
      splitCos_.push_back(static_cast<double>(cosl(static_cast<long double>(i) / m_ * pi)));
    }
    work_.assign(2 * (m_ + 1), 0.0);
  }

  // data: M complex values (complex plan) or N reals with room for N/2+1 bins.
  void Run(double* data, bool inverse) {
    const double s = inverse ? -1.0 : 1.0;
    double* x = data;
    double* w = work_.data();
    int32_t stages = 0;
    for (int32_t a = 1; a < m_; a *= 2, ++stages) {
      const double* src = stages % 2 == 0 ? x : w;
      double* dst = stages % 2 == 0 ? w : x;
      const int32_t n = m_ / (2 * a);
      for (int32_t g = 0; g < a; ++g) {
        const int32_t t = g * n;
        for (int32_t k = 0; k < n; ++k) {
          const double ur = src[2 * (2 * t + k)], ui = src[2 * (2 * t + k) + 1];
          const double xr = src[2 * (2 * t + n + k)], xi = src[2 * (2 * t + n + k) + 1];
          double vr, vi;
          if (t == 0) {
            vr = xr;
            vi = xi;
          } else if (t == quarter_) {  // times -i*s
            vr = s * xi;
            vi = -s * xr;
          } else {
            const double cs = stageCos_[t], sn = s * stageSin_[t];
            vr = cs * xr - sn * xi;
            vi = cs * xi + sn * xr;
          }
          dst[2 * (t + k)] = ur + vr;
          dst[2 * (t + k) + 1] = ui + vi;
          dst[2 * (m_ / 2 + t + k)] = ur - vr;
          dst[2 * (m_ / 2 + t + k) + 1] = ui - vi;
        }
      }
    }
    double* result = stages % 2 == 1 ? w : x;
    if (!real_ && result == w) {
      for (int32_t i = 0; i < 2 * m_; ++i) x[i] = w[i];
      result = x;
    } else if (real_ && result == x) {
      for (int32_t i = 0; i < 2 * m_; ++i) w[i] = x[i];
      result = w;
    }
    if (!inverse) {
      for (int32_t i = 0; i < 2 * m_; ++i) result[i] *= 1.0 / m_;
    }
    if (!real_) return;
    const double* z = w;
    const double z0r = z[0], z0i = z[1];
    for (int32_t k = 1; k < m_; ++k) {
      const double pr = z[2 * k], pim = z[2 * k + 1];
      const double qr = z[2 * (m_ - k)], qi = z[2 * (m_ - k) + 1];
      const double d = qi + pim, e = pr - qr;
      data[2 * k] = (qr + pr + d * splitCos_[k] + e * splitSin_[k]) * 0.25;
      data[2 * k + 1] = (pim - qi + d * splitSin_[k] - e * splitCos_[k]) * 0.25;
    }
    data[0] = (z0r + z0i) * 0.5;
    data[1] = 0.0;
    data[2 * m_] = (z0r - z0i) * 0.5;
    data[2 * m_ + 1] = 0.0;
  }

 private:
  bool real_;
  int32_t m_, half_, quarter_;
  std::vector<double> stageSin_, stageCos_, splitSin_, splitCos_, work_;
};

}  // namespace kp05test
