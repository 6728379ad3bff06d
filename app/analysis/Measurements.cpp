// THD, THD+N, S/N and RMS from the amplitude spectra and the selected samples.
#include <algorithm>
#include <cmath>

#include "app/analysis/FrameAnalysis.h"
#include "app/analysis/ReadoutText.h"

namespace ov {

namespace {
constexpr double kTiny = 1e-38;
constexpr double kNoDistortion = 9999.9;  // no usable fundamental
constexpr double kNoSignalDb = -99999.0;
constexpr int32_t kMaxHarmonic = 101;  // harmonics 2 ... 101

// Sum of squares over [begin, end) with four running sums, which keeps the
// long THD+N sum from waiting on one addition at a time.
double SumOfSquares(const double* a, int32_t begin, int32_t end) {
  double s0 = 0, s1 = 0, s2 = 0, s3 = 0;
  int32_t i = begin;
  for (; i + 4 <= end; i += 4) {
    s0 += a[i] * a[i];
    s1 += a[i + 1] * a[i + 1];
    s2 += a[i + 2] * a[i + 2];
    s3 += a[i + 3] * a[i + 3];
  }
  for (; i < end; ++i) s0 += a[i] * a[i];
  return (s0 + s1) + (s2 + s3);
}
}  // namespace

double FrameAnalysis::DistortionRatio(const double* a, int32_t f, bool withNoise) const {
  if (a == nullptr || f < 1 || f >= B) return kNoDistortion;
  if (std::fabs(a[f]) < kTiny) return kNoDistortion;
  double sum = 0.0;
  if (!withNoise) {
    for (int64_t k = 2; k <= kMaxHarmonic && k * f < B; ++k) sum += a[k * f] * a[k * f];
  } else {
    // Bin 0 and the fundamental with its window skirt (+-w bins) are left out.
    const int32_t w = std::min(N / 64, f - 1);
    sum = SumOfSquares(a, 1, f - w) + SumOfSquares(a, f + w + 1, B);
  }
  return std::sqrt(sum) / a[f];
}

double FrameAnalysis::RmsDb() const {
  if (selectedSamples == nullptr || N == 0) return kNoSignalDb;
  constexpr double kTo16Bit = 1.0 / 65536.0;
  double sum = 0.0;
  for (int32_t i = 0; i < N; ++i) {
    const double v = selectedSamples[i] * kTo16Bit;
    sum += v * v;
  }
  const double rms = std::sqrt(sum / N) / 32768.0;  // relative to 16-bit full scale
  if (rms < kTiny) return kNoSignalDb;
  return 20.0 * std::log10(rms) + (WaveRMS0dBsin ? 3.010299957 : 0.0);
}

MeasurementReadouts FrameAnalysis::ComputeReadouts() const {
  MeasurementReadouts out;
  if (!measureMode || N == 0) return out;

  if (thdOn) {
    int32_t f = -1;
    if (peakBin > 0) f = peakBin;
    if (cursorBin > 0) f = cursorBin;  // the cursor wins
    const double* source = nullptr;
    if (mainOn) {
      source = SpectrumAmp.data();
      out.thdColor = ColorRole::LineColor;
    } else if (overlay1.shown) {
      source = Overlay1Amp.data();
      out.thdColor = ColorRole::OVL1Color;
    } else if (overlay2.shown) {
      source = Overlay2Amp.data();
      out.thdColor = ColorRole::OVL2Color;
    }
    if (f >= 1 && f < B && source != nullptr && source[f] != 0.0) {
      out.thdShown = true;
      out.thdLine = DistortionReadout(DistortionRatio(source, f, false));
      const double withNoise = DistortionRatio(source, f, true);
      out.secondLine = snLine ? SignalToNoiseReadout(withNoise) : DistortionReadout(withNoise);
    }
  }

  if (rmsOn && mainOn) {
    const double db = RmsDb();
    if (db > kNoSignalDb) {
      out.rmsShown = true;
      out.rmsLine = RmsReadout(db);
    }
  }
  return out;
}

}  // namespace ov
