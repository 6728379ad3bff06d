// ComputeSpectrum and InterpolatePeak: amplitudes from the transform, peak
// hold, block averaging, the maximum, normalisation, cursor and overlay
// captures. Main thread, inside the drawing step.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "app/analysis/AmplitudeKernel.h"
#include "app/analysis/FrameAnalysis.h"

namespace ov {

namespace {

constexpr int32_t kMinDrawableHeight = 10;
constexpr double kTiny = 1e-38;            // smallest amplitude taken for a logarithm
constexpr int32_t kFullScaleLevel = 9031;  // 2000 x log10(32768), rounded
constexpr int32_t kLowestLevel = -30000;   // -300 dB in hundredths

// Reference frequency of each normalisation mode (modes 0 and 1 use none).
constexpr double kReferenceHz[5] = {0.0, 0.0, 100.0, 1000.0, 10000.0};

int32_t TenthsOfHz(double hz) {
  // A header may claim any rate: a frequency beyond what 32 bits hold is
  // shown at the limit instead of converting out of range.
  const double tenths = std::trunc(hz * 10.0 + 0.5);
  if (!(tenths < 2147483647.0)) return 2147483647;
  if (tenths < -2147483648.0) return -2147483647 - 1;
  return static_cast<int32_t>(tenths);
}

}  // namespace

int32_t FrameAnalysis::LevelOf(double amplitude) const {
  const double level =
      std::floor(2000.0 * std::log10(std::max(amplitude, kTiny)) + levelScale.roundingTerm) +
      levelScale.shift - kFullScaleLevel;
  return level < kLowestLevel ? kLowestLevel : static_cast<int32_t>(level);
}

void FrameAnalysis::ComputeSpectrum() {
  if (spectrumAreaHeight < kMinDrawableHeight || N == 0 || FftBuf.data() == nullptr) return;

  const bool averaging = averageCount > 1 && live;
  bool complete = false;
  if (measureMode) {
    peakPoint = Kp05Point{-1, -1};
    if (averaging) {
      ++averageCounter;
      complete = averageCounter >= averageCount;
    }
  }
  const bool holding = peakHold && live;
  bool peakChanged = false;

  const double binWidth = static_cast<double>(Format.samplesPerSec) / N;
  const int32_t mode = std::clamp(levelScale.normalisationMode, 0, 4);
  int64_t referenceBin = 0;
  if (mode >= 2) {
    // No sample rate means no bin for the reference: it then stays 0.
    referenceBin =
        binWidth > 0.0
            ? static_cast<int64_t>(std::trunc(std::min(kReferenceHz[mode] / binWidth + 0.5, 1e15)))
            : -1;
  }
  double referenceAmp = 0.0;

  PeakFreq10 = -1;
  CursorFreq10 = -1;
  MaxAmp = -1.0;

  // Amplitudes (and the maximum, in the same pass), then the passes this
  // frame needs.
  double* amp = SpectrumAmp.data();
  const bool trackMaximum = mode == 1 || measureMode;
  ComputeAmplitudes(FftBuf.data(), B, amp, trackMaximum ? &MaxAmp : nullptr, &peakBin);

  if (measureMode && averaging) {
    double* acc = AverageAcc.data();
    for (int32_t k = 0; k < B; ++k) acc[k] += amp[k];
    if (complete) {
      const double inverseCount = 1.0 / averageCount;
      double* average = Overlay2Amp.data();
      for (int32_t k = 0; k < B; ++k) average[k] = acc[k] * inverseCount;
    }
  }
  if (measureMode && holding) {
    double* held = Overlay1Amp.data();
    for (int32_t k = 0; k < B; ++k) {
      if (amp[k] > held[k]) {
        held[k] = amp[k];
        peakChanged = true;
      }
    }
  }
  if (referenceBin >= 0 && referenceBin < B) referenceAmp = amp[referenceBin];

  if (mode != 0) {
    double v = mode == 1 ? MaxAmp : referenceAmp;
    if (v < kTiny) v = kTiny;
    levelScale.roundingTerm = kFullScaleLevel - std::trunc(2000.0 * std::log10(v) + 0.5) + 0.5;
  }

  if (measureMode) {
    if (peakBin >= 0 && peakBin < B) {
      double f = peakBin * binWidth;
      if (SpectrumInterpolate != 0) InterpolatePeak(peakBin, MaxAmp, SpectrumInterpolate, f);
      PeakFreq10 = TenthsOfHz(f);
    }
    // A cursor left beyond the bins (size just changed) counts as no cursor.
    if (cursorBin >= 0 && cursorBin < B) {
      CursorAmp = SpectrumAmp[cursorBin];
      double f = cursorBin * binWidth;
      if (mainOn && !overlay1.shown && !overlay2.shown && SpectrumInterpolate != 0) {
        InterpolatePeak(cursorBin, CursorAmp, SpectrumInterpolate, f);
      }
      CursorFreq10 = TenthsOfHz(f);
    }
    if (overlay1.capture) {
      std::memcpy(Overlay1Amp.data(), SpectrumAmp.data(), SpectrumAmp.bytes());
      overlay1.capture = false;
      overlay1.dirty = overlay1.stale = true;
    }
    if (overlay2.capture) {
      std::memcpy(Overlay2Amp.data(), SpectrumAmp.data(), SpectrumAmp.bytes());
      overlay2.capture = false;
      overlay2.dirty = overlay2.stale = true;
    }
    if (peakChanged) overlay1.dirty = overlay1.stale = true;
    if (complete) overlay2.dirty = overlay2.stale = true;
  }

  // The spectrum view turns the curves into screen points (and feeds the 3D
  // history); it clears the stale flags of the overlays it converted.
  views_->ConvertSpectrumCurves(*this);

  if (complete) ResetAverage(true);
}

void FrameAnalysis::InterpolatePeak(int32_t bin, double& amplitude, int32_t mode,
                                    double& frequency) {
  if (!interpolationPlans_ || N == 0 || bin < 0 || bin >= B) return;
  const int32_t q = mode == 2 ? 128 : 16;
  int32_t length;
  int32_t start;
  if (bin < 8 || bin > B - 8) {
    length = 4;
    start = std::max(bin - 2, 0);
  } else {
    length = 8;
    start = std::max(bin - 4, 0);
  }

  // The bins around the peak, back to L time-domain points (inverse, unscaled).
  const double* bins = FftBuf.data();
  for (int32_t i = 0; i < length; ++i) {
    const int32_t index = start + i;
    const bool inside = index <= N / 2;  // bins above N/2 read as zero
    interpolationBins_[2 * i] = inside ? bins[2 * index] : 0.0;
    interpolationBins_[2 * i + 1] = inside ? bins[2 * index + 1] : 0.0;
  }
  if (length == 4) {
    fft_.FFT_fft4(interpolationBins_, 1);
  } else {
    fft_.FFT_fft8(interpolationBins_, 1);
  }

  // Zero-padded to L x q points and transformed forward: the spectrum at 1/q
  // bin spacing, scaled by 1/(L q), so a bin of magnitude c reads c/q.
  const int32_t points = length * q;
  std::memset(interpolationCurve_, 0, sizeof(double) * 2 * points);
  std::memcpy(interpolationCurve_, interpolationBins_, sizeof(double) * 2 * length);
  switch (points) {
    case 64:
      fft_.FFT_fft64(interpolationCurve_, 0);
      break;
    case 512:
      fft_.FFT_fft512(interpolationCurve_, 0);
      break;
    case 128:
      fft_.FFT_fft128(interpolationCurve_, 0);
      break;
    default:
      fft_.FFT_fft1024(interpolationCurve_, 0);
      break;
  }

  auto magnitude = [this](int32_t i) {
    const double re = interpolationCurve_[2 * i];
    const double im = interpolationCurve_[2 * i + 1];
    return std::sqrt(re * re + im * im);
  };
  int32_t best = (length / 2 - 1) * q;
  double bestMagnitude = magnitude(best);
  const int32_t end = (length / 2 + 1) * q;
  for (int32_t i = 1; i < end; ++i) {
    const double m = magnitude(i);
    if (m > bestMagnitude) {
      best = i;
      bestMagnitude = m;
    }
  }

  const double binWidth = static_cast<double>(Format.samplesPerSec) / N;
  amplitude = bestMagnitude * q * 2.0;
  frequency = start * binWidth + binWidth / q * best;
}

}  // namespace ov
