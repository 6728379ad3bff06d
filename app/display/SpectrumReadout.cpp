#include "app/display/SpectrumReadout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/display/SpectrumPoints.h"

namespace ov {

namespace {
constexpr double kTiny = 1e-38;
constexpr int64_t kMaxShownLevel = 999999;  // "9999.99": seven characters
}  // namespace

void FormatLevel(const SpectrumAxis& axis, const LevelScale& scale, double magnitude, char* out) {
  constexpr size_t kSize = 16;
  const double m = HeldMagnitude(magnitude);
  if (!axis.in.spectrumLogScale) {
    const int32_t v = static_cast<int32_t>(std::trunc(std::min(m, 999999.99) * 100.0 + 0.5));
    std::snprintf(out, kSize, "%6d.%02d", v / 100, v % 100);
    return;
  }
  double term = scale.roundingTerm;
  if (!(term >= -1e7 && term <= 1e7)) term = 0.5;
  int64_t level = static_cast<int64_t>(std::floor(2000.0 * std::log10(std::max(m, kTiny)) + term)) +
                  scale.shift - kFullScaleLevel;
  if (level <= kLowestLevel) {
    std::snprintf(out, kSize, " ---.--dB");
    return;
  }
  const int32_t shown = static_cast<int32_t>(std::min(level, kMaxShownLevel));
  const int32_t magnitudeOf = shown < 0 ? -shown : shown;
  char number[16];
  std::snprintf(number, sizeof number, "%s%d.%02d", shown < 0 ? "-" : "", magnitudeOf / 100,
                magnitudeOf % 100);
  std::snprintf(out, kSize, "%7.7sdB", number);
}

void FormatPanelFrequency(int32_t tenths, char* out) {
  constexpr size_t kSize = 16;
  const int32_t v = std::max(tenths, 0);
  if (v < 1000000)
    std::snprintf(out, kSize, "%5d.%dHz", v / 10, v % 10);
  else
    std::snprintf(out, kSize, "%7dHz", std::min(v / 10, 9999999));
}

void FormatReadoutFrequency(double hz, char* out) {
  double tenths = std::trunc(hz * 10.0 + 0.5);
  if (!(tenths >= 0.0)) tenths = 0.0;
  const int32_t v = static_cast<int32_t>(std::min(tenths, 2e9));
  std::snprintf(out, 32, "%5d.%dHz", v / 10, v % 10);
}

int32_t SpectrumIndexAt(const SpectrumAxis& axis, int32_t x) {
  const int32_t w1 = axis.traceWidth - 1;
  const int32_t X = std::clamp(x, 0, std::max(0, w1));
  if (axis.in.freqLogScale) {
    const double ratio = w1 > 0 ? static_cast<double>(X) / w1 : 0.0;
    const double f = std::pow(10.0, (kLogOrigin + ratio * axis.logSpanExact) / 1000.0);
    const double n = std::trunc(f / axis.binWidth + 0.5);
    return static_cast<int32_t>(std::clamp(n, 1.0, static_cast<double>(axis.lastBin)));
  }
  const int64_t p = w1 > 0 ? (static_cast<int64_t>(X) * axis.d * 2 + w1) / (2 * int64_t{w1}) : 0;
  return static_cast<int32_t>(std::clamp<int64_t>(p, 0, axis.spectrumPointCount - 1));
}

namespace {

// The column holding point index `index` (before the reduction): its index,
// its first input index and its first kept point.
struct ColumnOf {
  int32_t column = 0, firstIndex = 0, firstPoint = 0;
};

ColumnOf FindColumn(const SpectrumAxis& axis, const int32_t* runs, int32_t index) {
  ColumnOf c;
  const int32_t perColumn = axis.pointsPerColumn;
  for (; c.column < axis.columnCount; ++c.column) {
    const int32_t run = runs[c.column];
    if (index < c.firstIndex + run) return c;
    c.firstIndex += run;
    c.firstPoint += std::min(run, perColumn);
  }
  if (axis.columnCount > 0) {
    c.column = axis.columnCount - 1;
    const int32_t run = runs[c.column];
    c.firstIndex -= run;
    c.firstPoint -= std::min(run, perColumn);
  }
  return c;
}

}  // namespace

SpectrumSnap SnapSpectrum(const SpectrumAxis& axis, const SpectrumSearchInput& search, int32_t x,
                          int32_t y) {
  SpectrumSnap snap;
  const bool log = axis.in.freqLogScale;
  const int32_t count = axis.spectrumPointCount;
  if (axis.columnCount < 1 || count < 1 || !search.magnitudes || !search.points || !search.runs)
    return snap;
  int32_t n = SpectrumIndexAt(axis, x);

  // The window, held to the bins shown; a narrow range shrinks it.
  int32_t half = log ? n / 25 : count / 150;
  if (!search.measureMode) ++half;
  const int32_t low = log ? std::min(2, count - 1) : 0;
  const int32_t high = count - 1;
  const int32_t available = high - low + 1;
  if (2 * half + 1 > available) half = std::max(0, (available - 1) / 2);
  const int32_t start = std::clamp(n - half, low, std::max(low, high - 2 * half));
  const int32_t end = std::min(start + 2 * half, high);
  n = start + half;

  // Log axis: the index is the bin, its point index one less.
  auto pointIndex = [log](int32_t index) { return log ? index - 1 : index; };
  auto binOf = [&](int32_t index) { return log ? index : axis.firstBin + index; };

  bool up = true;
  if (!axis.in.peakOnly) {
    const ColumnOf first = FindColumn(axis, search.runs, pointIndex(start));
    const ColumnOf last = FindColumn(axis, search.runs, pointIndex(end));
    const int32_t pointEnd =
        last.firstPoint + std::min(search.runs[last.column], axis.pointsPerColumn);
    int32_t minY = search.points[first.firstPoint].y, maxY = minY;
    int64_t sum = 0;
    for (int32_t i = first.firstPoint; i < pointEnd; ++i) {
      const int32_t py = search.points[i].y;
      sum += py;
      minY = std::min(minY, py);
      maxY = std::max(maxY, py);
    }
    const double mean = static_cast<double>(sum) / std::max(1, pointEnd - first.firstPoint);
    up = y <= mean;
    if (y <= minY) up = true;
    if (y >= maxY) up = false;
    if (y < 8) up = true;
    if (y > axis.traceHeight - 8) up = false;
  }
  snap.up = up;

  int32_t best = start;
  double bestValue = HeldMagnitude(search.magnitudes[binOf(start)]);
  for (int32_t i = start + 1; i <= end; ++i) {
    const double v = HeldMagnitude(search.magnitudes[binOf(i)]);
    if (up ? v > bestValue : v < bestValue) {
      best = i;
      bestValue = v;
    }
  }
  snap.index = best;
  snap.bin = binOf(best);

  // Its point: its own in a sparse column, else the column's highest (up) or
  // lowest (down) kept point.
  const ColumnOf c = FindColumn(axis, search.runs, pointIndex(best));
  const int32_t run = search.runs[c.column];
  Kp05Point point;
  if (run <= axis.pointsPerColumn) {
    point = search.points[c.firstPoint + (pointIndex(best) - c.firstIndex)];
  } else {
    point = search.points[c.firstPoint];
    for (int32_t i = 1; i < axis.pointsPerColumn; ++i) {
      const Kp05Point& q = search.points[c.firstPoint + i];
      if (up ? q.y < point.y : q.y > point.y) point = q;
    }
  }
  point.y = std::clamp(point.y, 0, std::max(0, axis.traceHeight - 1));
  snap.point = point;
  return snap;
}

bool ToggleCursor(int32_t bin, int32_t pointX, int32_t& cursorBin, int32_t& cursorX) {
  if (bin == cursorBin) {
    cursorBin = -1;
    cursorX = -1;
    return false;
  }
  cursorBin = bin;
  cursorX = pointX;
  return true;
}

bool ReadoutInterpolates(bool snappedUp, int32_t interpolate, bool measureMode, bool mainOn,
                         bool overlay1Shown, bool overlay2Shown) {
  if (!snappedUp || interpolate == 0) return false;
  return !measureMode || (mainOn && !overlay1Shown && !overlay2Shown);
}

}  // namespace ov
