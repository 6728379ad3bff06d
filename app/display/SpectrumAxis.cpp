#include "app/display/SpectrumAxis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace ov {

namespace {

// The rounding term of "Auto" by window function: the window's loss in
// hundredths of a dB (plus the 0.5 of rounding).
constexpr double kAutoCorrection[7] = {0.5,        602.559991, 535.71248, 754.001419,
                                       890.916181, 1134.39669, 1333.2873};

constexpr int32_t kDefaultDbMax = 120;

struct LogGrid {
  int32_t v[kLogGridCount];
  LogGrid() {
    int i = 0;
    for (double decade = 10.0; decade <= 1e6; decade *= 10.0) {
      for (int digit = 1; digit <= 9 && i < kLogGridCount; ++digit) {
        if (decade == 10.0 && digit < 2) continue;  // from 20 Hz
        const double f = decade * digit;
        v[i++] = static_cast<int32_t>(std::trunc(1000.0 * std::log10(f) - kLogOrigin + 0.5));
      }
    }
  }
};

int64_t RoundHalfUp(double x) {
  return static_cast<int64_t>(std::trunc(x + 0.5));
}

int64_t LinearStep(double span) {
  struct Bound {
    double above;
    int64_t step;
  };
  static constexpr Bound kSteps[] = {
      {4e6, 500000},   {2e6, 200000}, {1e6, 100000}, {400000, 50000}, {200000, 20000},
      {100000, 10000}, {40000, 5000}, {20000, 2000}, {10000, 1000},   {4000, 500},
      {2000, 200},     {1000, 100},   {400, 50},     {200, 20},       {100, 10},
      {40, 5},         {20, 2}};
  for (const Bound& b : kSteps)
    if (span > b.above) return b.step;
  return 1;
}

void ComputeFrequencyAxis(SpectrumAxis& a, int32_t bins) {
  const SpectrumAxisInput& in = a.in;
  const int64_t b = a.traceWidth, c = a.frontOffset;
  a.frequencyLineCount = 0;
  a.binsBelow20Hz = static_cast<int32_t>(std::min(20.0 / a.binWidth, 1e9));
  a.logSpanExact = 1000.0 * std::log10(a.nyquist) - kLogOrigin;
  a.logSpan = static_cast<int32_t>(std::clamp(std::trunc(a.logSpanExact), 1.0, 1e9));
  if (in.freqLogScale) {
    // Bin 0 is left out; bins below 20 Hz land left of (or on) the left edge.
    a.firstBin = 1;
    a.lastBin = bins - 1;
    a.spectrumPointCount = bins - 1;
    a.d = std::max(1, a.spectrumPointCount - 1);
    const int32_t* table = LogGridTable();
    for (int32_t i = 0; i < kLogGridCount; ++i) {
      const int64_t x = b * table[i] / a.logSpan;
      if (x > b) break;
      a.frequencyLines[a.frequencyLineCount++] = static_cast<int32_t>(c + x);
    }
    return;
  }

  // Linear: the range shown, corrected rather than refused.
  double from = in.freqDispRange ? in.freqDispFrom : 0.0;
  double to = in.freqDispRange ? in.freqDispTo : in.linearDefaultTo;
  from = std::clamp(from, 0.0, 1e12);
  to = std::clamp(to, 0.0, 1e12);
  const int32_t half = bins - 1;  // N/2
  int64_t first = from > 0.0 ? RoundHalfUp(from / a.binWidth) : 0;
  int64_t last = RoundHalfUp(to / a.binWidth) + 1;
  if (static_cast<double>(last) * a.binWidth >= a.nyquist || last > half) last = half;
  if (first >= last) first = last - 1;
  if (first < 0) first = 0;
  a.firstBin = static_cast<int32_t>(first);
  a.lastBin = static_cast<int32_t>(last);
  a.spectrumPointCount = a.lastBin - a.firstBin + 1;
  a.d = a.spectrumPointCount > 1 ? a.spectrumPointCount - 1 : 1;

  const double span = (last - first) * a.binWidth;
  const int64_t step = LinearStep(span);
  const double low = first * a.binWidth;
  const int64_t f0 = static_cast<int64_t>(std::trunc((low + step - 1) / step)) * step;
  a.frequencyStep = step;
  a.firstGridFrequency = f0;
  if (!(span > 0.0)) return;
  const int64_t offset = static_cast<int64_t>(std::trunc(b * (f0 - low) / span));
  for (int64_t j = 0;
       static_cast<double>(j * step) < span && a.frequencyLineCount < kMaxFrequencyLines; ++j) {
    const int64_t x =
        offset + static_cast<int64_t>(std::trunc(b * static_cast<double>(j * step) / span));
    if (x > b) break;  // a line past the right edge is not drawn
    a.frequencyLines[a.frequencyLineCount++] = static_cast<int32_t>(c + x);
  }
}

void ComputeLevelAxis(SpectrumAxis& a) {
  const SpectrumAxisInput& in = a.in;
  const int64_t h = a.traceHeight;
  a.levelLineCount = 0;
  if (in.spectrumLogScale) {
    const int32_t t = std::abs(a.dBMax) * 100;
    int32_t step = 20;
    if (t <= 6000) step = 10;
    if (t <= 2000) step = 5;
    if (t <= 1000) step = 2;
    if (t <= 500) step = 1;
    int32_t u = t <= 100 ? step * 50 : step * 100;
    if (a.symmetric) u /= 2;
    a.levelLabelStep = step;
    for (int32_t v = 0; v <= t && a.levelLineCount < kMaxLevelLines; v += u)
      a.levelLines[a.levelLineCount++] = static_cast<int32_t>(h * v / t);
  } else {
    const int32_t o = a.linearTop;
    int32_t step = 50;
    if (o > 500) step = 100;
    if (o > 1000) step = 200;
    if (o > 2000) step = 500;
    if (o > 5000) step = 1000;
    if (o > 10000) step = 2000;
    a.levelLabelStep = step;
    for (int32_t v = 0; v < o && a.levelLineCount < kMaxLevelLines; v += step)
      a.levelLines[a.levelLineCount++] = static_cast<int32_t>(h * (o - v) / o);
  }

  // The mapping constants: shift, rounding term, normalisation mode.
  LevelScale& s = a.levelScale;
  s = LevelScale{};
  const double shift = std::clamp(in.dBShift, -1e6, 1e6);
  s.shift = static_cast<int32_t>(std::floor(shift * 100.0 + 0.5));
  if (s.shift == -100) {
    s.shift = 0;
    s.roundingTerm = kAutoCorrection[std::clamp(in.windowFunction, 0, 6)];
  } else if (s.shift == -200 || s.shift == -300 || s.shift == -400 || s.shift == -500) {
    s.normalisationMode = -s.shift / 100 - 1;
    s.shift = 0;
  }
}

}  // namespace

const int32_t* LogGridTable() {
  static const LogGrid grid;
  return grid.v;
}

Spectrum3D ThreeDGeometry(int32_t w, int32_t h, int32_t lines3D, int32_t deltaX3D) {
  Spectrum3D d;
  d.lineStep = std::max(1, (h - 1) / std::max(1, lines3D));
  d.lineCount = (h - 1) / d.lineStep;
  d.depthOffset = d.lineCount * deltaX3D;
  d.frontWidth = std::max((w - 1) - d.depthOffset, (w - 1) / 2);
  d.halfHeight = (h - 1) / 2;
  return d;
}

void ComputeSpectrumAxis(const SpectrumAxisInput& in, Kp05Api::PrepareCoordinatesFn prepare,
                         const SpectrumCurves& curves, SpectrumAxis& axis) {
  SpectrumAxis& a = axis;
  a = SpectrumAxis{};
  a.in = in;
  a.threeD = in.dispType == 1;
  a.dBMax = in.dBMax == 0 ? kDefaultDbMax : in.dBMax;  // 0 would divide by zero
  a.symmetric = a.dBMax < 0;
  const uint32_t rate = in.sampleRate > 0 ? in.sampleRate : 1;
  const int32_t n = std::clamp(in.sampleN, 4, kMaxAnalysisSize);
  const int32_t bins = std::min(n / 2 + 1, curves.capacity > 0 ? curves.capacity : n / 2 + 1);
  a.nyquist = rate / 2.0;
  a.binWidth = a.nyquist / (n / 2);

  const int32_t w = std::max(1, in.width), h = std::max(1, in.height);
  if (a.threeD) {
    a.traceWidth = std::clamp(in.threeD.frontWidth, 1, w);
    a.traceHeight = std::clamp(in.threeD.halfHeight, 1, h);
    if (in.angle3D == 1)
      a.frontOffset = (w - a.traceWidth) / 2;
    else if (in.angle3D == 2)
      a.frontOffset = std::max(0, w - a.traceWidth - 1);
  } else {
    a.traceWidth = w;
    a.traceHeight = h;
  }
  a.linearTop = 32768 / std::clamp(in.magRate, 1, 32768);
  a.rangeTerm = a.symmetric ? a.dBMax * 100 : 0;
  a.fullScaleDivisor = a.symmetric ? -2 * a.dBMax * 100 : a.dBMax * 100;

  ComputeFrequencyAxis(a, bins);
  ComputeLevelAxis(a);

  // The x of every shown bin, the same in the three curves.
  a.pointsPerColumn = (in.peakOnly || a.threeD) ? 1 : 4;
  if (!curves.main || !curves.runs || a.spectrumPointCount < 1) return;
  const int64_t b = a.traceWidth;
  for (int32_t i = 0; i < a.spectrumPointCount; ++i) {
    int32_t x;
    if (in.freqLogScale) {
      const double k = i + 1;
      x = static_cast<int32_t>(
          std::clamp(std::trunc((1000.0 * std::log10(k * a.binWidth) - kLogOrigin) * b / a.logSpan),
                     -1e9, 1e9));
    } else {
      x = static_cast<int32_t>(int64_t{i} * (b - 1) / a.d);
    }
    curves.main[i] = Kp05Point{x, 0};
  }
  int32_t count = a.spectrumPointCount;
  int32_t columns = 0;
  prepare(&count, curves.main, curves.overlay1, curves.overlay2, &columns, curves.runs,
          a.pointsPerColumn);
  a.keptCount = count;
  a.columnCount = columns;
}

void FormatFrequencyLabel(const SpectrumAxis& axis, int32_t line, char* out) {
  constexpr size_t kSize = 16;
  // Grid frequencies lie within 0 ... 5 MHz and the Nyquist frequency.
  const int32_t value = static_cast<int32_t>(
      std::clamp<int64_t>(axis.firstGridFrequency + line * axis.frequencyStep, 0, 2000000000));
  const int64_t lastLabel =
      axis.firstGridFrequency + (axis.frequencyLineCount - 1) * axis.frequencyStep;
  if (lastLabel >= 1000 && axis.frequencyStep >= 1000) {
    std::snprintf(out, kSize, "%d", value / 1000);
  } else if (lastLabel >= 1000 && axis.frequencyStep >= 100) {
    if (value == 0)
      std::snprintf(out, kSize, "0");
    else
      std::snprintf(out, kSize, "%d.%d", value / 1000, value / 100 % 10);
  } else {
    std::snprintf(out, kSize, "%d", value);
  }
}

const char* FrequencyUnit(const SpectrumAxis& axis) {
  const int64_t lastLabel =
      axis.firstGridFrequency + (axis.frequencyLineCount - 1) * axis.frequencyStep;
  return lastLabel >= 1000 && axis.frequencyStep >= 100 ? "kHz" : "Hz";
}

bool FrequencyLineLabelled(const SpectrumAxis& axis, int32_t line) {
  return axis.frequencyLineCount <= 11 || line % 2 == 0;
}

void FormatLevelLabel(const SpectrumAxis& axis, int32_t line, char* out) {
  constexpr size_t kSize = 16;
  if (!axis.in.spectrumLogScale) {
    std::snprintf(out, kSize, "%d", line * axis.levelLabelStep);
    return;
  }
  if (axis.dBMax == -1) {
    // 1.0, 0.5, 0dB, -0.5, -1.0: tenths printed with one decimal.
    const int32_t tenths = 10 - 5 * line;
    if (tenths == 0) {
      std::snprintf(out, kSize, "0dB");
    } else {
      const int32_t m = std::abs(tenths);
      std::snprintf(out, kSize, "%s%d.%d", tenths < 0 ? "-" : "", m / 10, m % 10);
    }
    return;
  }
  const int32_t top = axis.symmetric ? -axis.dBMax : 0;
  const int32_t value = top - line * axis.levelLabelStep;
  if (value == 0)
    std::snprintf(out, kSize, "0dB");
  else
    std::snprintf(out, kSize, "%d", value);
}

}  // namespace ov
