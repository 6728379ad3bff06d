#include "fft/Kp05Trig.h"

#include <math.h>

namespace kp05 {
namespace {

// pi/2 to extended precision; what it lacks (about 1e-20) is far below the
// double rounding of the tables.
const long double kHalfPi = 1.5707963267948966192021943710788178L;

struct Reduced {
  long double r;  // angle - n * pi/2, |r| <= pi/4 (about)
  int quadrant;   // n mod 4
};

Reduced Reduce(long double angle) {
  static const long double kTwoOverPi = 0.63661977236758134307553505349005745L;
  // pi/2 split so that n * high is exact for |n| < 2^14 (the low 14 of its 64
  // mantissa bits are clear) and angle - n * high loses nothing.
  static const long double high = [] {
    int exponent;
    const long double m = frexpl(kHalfPi, &exponent);
    return ldexpl(floorl(ldexpl(m, 50)), exponent - 50);
  }();
  static const long double low = kHalfPi - high;
  // The nearest multiple, found in double precision (the x87 rounding calls
  // are slow): being off by one near a boundary only leaves |r| a hair above
  // pi/4, which the C library handles as well. The tables' angles are >= 0.
  const double estimate = static_cast<double>(angle * kTwoOverPi) + 0.5;
  const long long quadrants = static_cast<long long>(estimate);
  const long double n = static_cast<long double>(quadrants);
  Reduced result;
  result.r = (angle - n * high) - n * low;
  result.quadrant = static_cast<int>(quadrants & 3);
  return result;
}

}  // namespace

long double Cos(long double angle) {
  const Reduced x = Reduce(angle);
  switch (x.quadrant) {
    case 0:
      return cosl(x.r);
    case 1:
      return -sinl(x.r);
    case 2:
      return -cosl(x.r);
    default:
      return sinl(x.r);
  }
}

long double Sin(long double angle) {
  const Reduced x = Reduce(angle);
  switch (x.quadrant) {
    case 0:
      return sinl(x.r);
    case 1:
      return cosl(x.r);
    case 2:
      return -sinl(x.r);
    default:
      return -cosl(x.r);
  }
}

}  // namespace kp05
