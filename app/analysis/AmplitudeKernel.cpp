#include "app/analysis/AmplitudeKernel.h"

#include <cmath>
#include <initializer_list>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ov {

namespace {

double Magnitude(const double* bin) {
  return std::sqrt(bin[0] * bin[0] + bin[1] * bin[1]);
}

// The plain loop: the compiler vectorises it when no maximum is wanted.
void AmplitudesOnly(const double* bins, int32_t count, double* amp) {
  for (int32_t k = 0; k < count; ++k) {
    const double a = Magnitude(bins + 2 * k);
    amp[k] = a + a;
  }
}

void Raise(double a, int32_t k, double& maximum, int32_t& maximumBin) {
  if (a > maximum) {
    maximum = a;
    maximumBin = k;
  }
}

}  // namespace

void ComputeAmplitudes(const double* bins, int32_t count, double* amp, double* maximum,
                       int32_t* maximumBin) {
  if (count <= 0) return;
  if (maximum == nullptr) {
    AmplitudesOnly(bins, count, amp);
    amp[0] *= 0.5;  // exact: a power of two
    return;
  }

  double best = *maximum;
  int32_t bestBin = *maximumBin;
  amp[0] = Magnitude(bins);
  Raise(amp[0], 0, best, bestBin);
  int32_t k = 1;
#if defined(__SSE2__)
  // Two bins per step. The square roots occupy their unit; the comparisons
  // run beside them, so the maximum costs no separate pass. Each lane keeps
  // its first maximum (strict >); the lanes are merged by value, then by the
  // lower bin.
  __m128d laneBest = _mm_set1_pd(best);
  __m128d laneBin = _mm_set1_pd(-1.0);
  __m128d bin = _mm_set_pd(2.0, 1.0);
  const __m128d two = _mm_set1_pd(2.0);
  for (; k + 2 <= count; k += 2) {
    const __m128d z0 = _mm_loadu_pd(bins + 2 * k);      // re0 im0
    const __m128d z1 = _mm_loadu_pd(bins + 2 * k + 2);  // re1 im1
    const __m128d re = _mm_unpacklo_pd(z0, z1);
    const __m128d im = _mm_unpackhi_pd(z0, z1);
    __m128d a = _mm_sqrt_pd(_mm_add_pd(_mm_mul_pd(re, re), _mm_mul_pd(im, im)));
    a = _mm_add_pd(a, a);
    _mm_storeu_pd(amp + k, a);
    const __m128d higher = _mm_cmpgt_pd(a, laneBest);
    laneBest = _mm_or_pd(_mm_and_pd(higher, a), _mm_andnot_pd(higher, laneBest));
    laneBin = _mm_or_pd(_mm_and_pd(higher, bin), _mm_andnot_pd(higher, laneBin));
    bin = _mm_add_pd(bin, two);
  }
  double values[2];
  double lanes[2];
  _mm_storeu_pd(values, laneBest);
  _mm_storeu_pd(lanes, laneBin);
  // Lane 0 holds odd bins, lane 1 even ones; try the lower bin first.
  const int first = (lanes[0] >= 0 && (lanes[1] < 0 || lanes[0] < lanes[1])) ? 0 : 1;
  for (int lane : {first, 1 - first}) {
    if (lanes[lane] >= 0) Raise(values[lane], static_cast<int32_t>(lanes[lane]), best, bestBin);
  }
#endif
  for (; k < count; ++k) {
    const double a = Magnitude(bins + 2 * k);
    amp[k] = a + a;
    Raise(amp[k], k, best, bestBin);
  }
  *maximum = best;
  *maximumBin = bestBin;
}

}  // namespace ov
