// The spectrum curves of one frame: the y of every kept point from one
// magnitude array, the peak's point, and the "3D" waterfall's per-line
// arithmetic (the history's scroll and the front polygon). Nothing is
// allocated: runs in the drawing step of every frame.
#pragma once

#include <cstdint>

#include "app/display/SpectrumAxis.h"

namespace ov {

// Magnitudes are held to 0 ... kMaxMagnitude (not-a-number reads 0) and y to
// +-kMaxPointY before any conversion to integers: a loaded overlay may hold
// anything.
constexpr double kMaxMagnitude = 1e15;
constexpr int32_t kMaxPointY = 1 << 22;

// A magnitude held to 0 ... kMaxMagnitude.
inline double HeldMagnitude(double m) {
  if (m >= 0.0 && m <= kMaxMagnitude) return m;
  return m > kMaxMagnitude ? kMaxMagnitude : 0.0;
}

// The y of one magnitude on the axis' level scale (scale: the analysis'
// current level scale, whose rounding term changes per frame in the
// normalisation modes).
int32_t SpectrumPointY(const SpectrumAxis& axis, const LevelScale& scale, double magnitude);

// Fills the y of points from magnitudes (indexed by bin) along the axis'
// columns: a column of up to pointsPerColumn bins sets one point per bin; a
// denser column with four points keeps its first bin, the highest and lowest
// level of the bins between, and its last bin; with one point per column the
// point takes the highest level of its bins. The mapping is monotonic, so the
// magnitudes are folded per column and only the kept values are converted.
// When peakBin >= 0, *peakPoint becomes the column x and the y of peakBin's
// level, or (-1, -1) when the bin is not shown.
void ConvertSpectrumToPoints(const SpectrumAxis& axis, const LevelScale& scale,
                             const double* magnitudes, const int32_t* runs, Kp05Point* points,
                             int32_t peakBin = -1, Kp05Point* peakPoint = nullptr);

// One line of the 3D history: the image (w x h) moves up by the line step and
// sideways by shift; the strips it uncovers are cleared.
struct Rect32 {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};
struct ThreeDScroll {
  Rect32 source;  // copied to (source.left + shift, 0)
  int32_t shift = 0;
  Rect32 clear[3];  // left strip, bottom strip, right strip
};
ThreeDScroll ThreeDScrollFor(int32_t angle3D, int32_t deltaX3D, int32_t lineStep, int32_t w,
                             int32_t h);

// The front polygon of the 3D display in plot coordinates: the main curve's
// kept points from binsBelow20Hz on (kept points are one per column), moved
// by (originX, originY), then down to the baseline (originY + front height)
// at the last point's x, back along it to the first point's x. out has room
// for count + 3 points; returns the polygon's point count (0: nothing).
int32_t BuildFrontPolygon(const SpectrumAxis& axis, const Kp05Point* points, int32_t originX,
                          int32_t originY, Kp05Point* out);

}  // namespace ov
