#include "app/display/SpectrumPoints.h"

#include <algorithm>
#include <cmath>

namespace ov {

namespace {

constexpr double kTiny = 1e-38;  // smallest magnitude taken for a logarithm

inline int32_t HeldY(int64_t y) {
  return static_cast<int32_t>(std::clamp<int64_t>(y, -kMaxPointY, kMaxPointY));
}

}  // namespace

int32_t SpectrumPointY(const SpectrumAxis& axis, const LevelScale& scale, double magnitude) {
  const double m = HeldMagnitude(magnitude);
  const int64_t a = axis.traceHeight;
  if (!axis.in.spectrumLogScale) {
    const int64_t o = axis.linearTop;
    const int64_t r = static_cast<int64_t>(std::trunc(m + 0.5));
    return HeldY(a * (o - r) / o - 1);
  }
  // A rounding term gone out of range (a normalisation reference of infinity)
  // counts as none.
  double term = scale.roundingTerm;
  if (!(term >= -1e7 && term <= 1e7)) term = 0.5;
  const double logLevel = std::floor(2000.0 * std::log10(std::max(m, kTiny)) + term);
  int64_t level = static_cast<int64_t>(logLevel) + scale.shift - kFullScaleLevel + axis.rangeTerm;
  if (level < kLowestLevel) level = kLowestLevel;
  return HeldY(a * (-level) / axis.fullScaleDivisor);
}

void ConvertSpectrumToPoints(const SpectrumAxis& axis, const LevelScale& scale,
                             const double* magnitudes, const int32_t* runs, Kp05Point* points,
                             int32_t peakBin, Kp05Point* peakPoint) {
  const double* m = magnitudes + axis.firstBin;
  Kp05Point* p = points;
  const int32_t perColumn = axis.pointsPerColumn;
  const int32_t peakIndex = peakBin - axis.firstBin;
  if (peakPoint) *peakPoint = Kp05Point{-1, -1};
  int32_t index = 0;  // first bin of the column, counted from firstBin
  for (int32_t c = 0; c < axis.columnCount; ++c) {
    const int32_t run = runs[c];
    if (peakPoint && peakIndex >= index && peakIndex < index + run)
      *peakPoint = Kp05Point{p[0].x, SpectrumPointY(axis, scale, m[peakIndex - index])};
    if (run <= perColumn) {
      for (int32_t j = 0; j < run; ++j) p[j].y = SpectrumPointY(axis, scale, m[j]);
      p += run;
    } else if (perColumn == 1) {
      // The highest level of the column: its largest magnitude.
      double high = HeldMagnitude(m[0]);
      for (int32_t j = 1; j < run; ++j) high = std::max(high, HeldMagnitude(m[j]));
      p[0].y = SpectrumPointY(axis, scale, high);
      p += 1;
    } else {
      // First bin, highest and lowest level of the bins between, last bin.
      double high = HeldMagnitude(m[1]), low = high;
      for (int32_t j = 2; j < run - 1; ++j) {
        const double v = HeldMagnitude(m[j]);
        high = std::max(high, v);
        low = std::min(low, v);
      }
      p[0].y = SpectrumPointY(axis, scale, m[0]);
      p[1].y = SpectrumPointY(axis, scale, high);
      p[2].y = SpectrumPointY(axis, scale, low);
      p[3].y = SpectrumPointY(axis, scale, m[run - 1]);
      p += 4;
    }
    m += run;
    index += run;
  }
}

ThreeDScroll ThreeDScrollFor(int32_t angle3D, int32_t deltaX3D, int32_t lineStep, int32_t w,
                             int32_t h) {
  ThreeDScroll s;
  const int32_t d = std::clamp(deltaX3D, 0, std::max(0, w));
  const int32_t step = std::clamp(lineStep, 0, std::max(0, h));
  int32_t sl, sr;
  if (angle3D == 1) {
    sl = d;
    sr = w - d;
    s.shift = 0;
  } else if (angle3D == 2) {
    sl = d;
    sr = w;
    s.shift = -d;
  } else {
    sl = 0;
    sr = w - d;
    s.shift = d;
  }
  if (sr < sl) sr = sl;
  s.source = Rect32{sl, step, sr, h};
  s.clear[0] = Rect32{0, 0, sl + s.shift, h - step};
  s.clear[1] = Rect32{0, h - step, w, h};
  s.clear[2] = Rect32{sr + s.shift, 0, w, h - step};
  return s;
}

int32_t BuildFrontPolygon(const SpectrumAxis& axis, const Kp05Point* points, int32_t originX,
                          int32_t originY, Kp05Point* out) {
  const int32_t first = std::min(axis.binsBelow20Hz, axis.keptCount);
  const int32_t count = axis.keptCount - first;
  if (count < 1) return 0;
  const int32_t baseline = originY + axis.traceHeight;
  int32_t k = 0;
  for (int32_t i = first; i < axis.keptCount; ++i) {
    // Levels above the top reach at most the image's top edge.
    const int32_t y = std::clamp(points[i].y, -originY, axis.traceHeight);
    out[k++] = Kp05Point{originX + points[i].x, originY + y};
  }
  const Kp05Point firstPoint = out[0], lastPoint = out[k - 1];
  out[k++] = Kp05Point{lastPoint.x, baseline};
  out[k++] = Kp05Point{firstPoint.x, baseline};
  out[k++] = firstPoint;
  return k;
}

}  // namespace ov
