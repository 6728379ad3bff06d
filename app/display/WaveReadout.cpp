#include "app/display/WaveReadout.h"

#include <cstdio>
#include <cstdlib>

namespace ov {

int32_t ReadoutIndex(const WaveAxis& axis, int32_t x) {
  const int32_t w1 = axis.in.width - 1;
  if (w1 <= 0) return 0;
  if (x < 0) x = 0;
  if (x > w1) x = w1;
  const int32_t idx = static_cast<int32_t>(static_cast<double>(x) * axis.d / w1 + 0.5);
  return idx < axis.n ? idx : axis.n - 1;
}

namespace {

// The index of the first kept point of the column holding sample, and that
// column's index and first sample.
struct ColumnOf {
  int32_t column = 0, firstPoint = 0, firstSample = 0;
};

ColumnOf FindColumn(const WaveAxis& axis, int32_t sample) {
  ColumnOf c;
  for (; c.column < axis.columnCount; ++c.column) {
    const int32_t run = axis.columnRuns[c.column];
    if (sample < c.firstSample + run) return c;
    c.firstSample += run;
    c.firstPoint += run < kPointsPerColumn ? run : kPointsPerColumn;
  }
  // Past the last column: the last one.
  if (axis.columnCount > 0) {
    c.column = axis.columnCount - 1;
    const int32_t run = axis.columnRuns[c.column];
    c.firstSample -= run;
    c.firstPoint -= run < kPointsPerColumn ? run : kPointsPerColumn;
  }
  return c;
}

int32_t KeptPoints(const WaveAxis& axis, int32_t column) {
  const int32_t run = axis.columnRuns[column];
  return run < kPointsPerColumn ? run : kPointsPerColumn;
}

}  // namespace

PeakSnap SnapToPeak(const WaveAxis& axis, const int32_t* shown, int32_t x, int32_t y) {
  PeakSnap snap;
  const int32_t n = axis.n;
  const int32_t h = axis.in.height;
  if (axis.columnCount == 0 || n < 1) return snap;
  int32_t idx = ReadoutIndex(axis, x);
  int32_t r = n / 150;
  if (r < 2) r = 2;
  int32_t start = idx - r;
  if (start > n - 2 * r - 1) start = n - 2 * r - 1;
  if (start < 0) start = 0;
  int32_t end = start + 2 * r;
  if (end > n - 1) end = n - 1;

  // Where the trace lies over the window: the kept points from the column of
  // its first sample to the column of its last.
  const ColumnOf first = FindColumn(axis, start);
  const ColumnOf last = FindColumn(axis, end);
  const int32_t pointEnd = last.firstPoint + KeptPoints(axis, last.column);
  int32_t minY = axis.points[first.firstPoint].y, maxY = minY;
  int64_t sum = 0;
  for (int32_t i = first.firstPoint; i < pointEnd; ++i) {
    const int32_t py = axis.points[i].y;
    sum += py;
    if (py < minY) minY = py;
    if (py > maxY) maxY = py;
  }
  const double mean = static_cast<double>(sum) / (pointEnd - first.firstPoint);
  bool up = y <= mean;
  if (y <= minY) up = true;
  if (y >= maxY) up = false;
  if (y < 8) up = true;
  if (y > h - 8) up = false;

  idx = start;
  for (int32_t i = start + 1; i <= end; ++i)
    if (up ? shown[i] > shown[idx] : shown[i] < shown[idx]) idx = i;

  // The screen point: the sample's own point in a column of up to four
  // samples, else the column's highest (up) or lowest point.
  const ColumnOf col = FindColumn(axis, idx);
  const int32_t run = axis.columnRuns[col.column];
  Kp05Point p;
  if (run <= kPointsPerColumn) {
    p = axis.points[col.firstPoint + (idx - col.firstSample)];
  } else {
    p = axis.points[col.firstPoint];
    for (int32_t i = 1; i < kPointsPerColumn; ++i) {
      const Kp05Point q = axis.points[col.firstPoint + i];
      if (up ? q.y < p.y : q.y > p.y) p = q;
    }
  }
  if (p.y < 0) p.y = 0;
  if (p.y > h - 1) p.y = h - 1;
  snap.index = idx;
  snap.x = p.x;
  snap.y = p.y;
  snap.up = up;
  return snap;
}

void FormatReadoutValue(int32_t sample, int32_t bitsPerSample, bool hex, char* out) {
  constexpr size_t kSize = 32;
  const uint32_t u = static_cast<uint32_t>(sample);
  if (hex) {
    if (bitsPerSample < 24)
      std::snprintf(out, kSize, " 0x%04X  ", u >> 16);
    else
      std::snprintf(out, kSize, "%04X.%04X", u >> 16, u & 0xFFFFu);
  } else if (bitsPerSample < 24) {
    std::snprintf(out, kSize, "%7d  ", sample >> 16);
  } else {
    const double v = sample / 65536.0;
    std::snprintf(out, kSize, std::abs(v) < 1000 ? "%9.4f" : "%9.2f", v);
  }
}

void FormatReadoutTime(int32_t index, uint32_t sampleRate, int64_t span, char* out) {
  constexpr size_t kSize = 32;
  const double t = sampleRate ? static_cast<double>(index) / sampleRate * 1e7 : 0.0;
  auto rounded = [](double v) { return static_cast<long long>(v + 0.5); };
  if (span < 10000) {
    const long long v = rounded(t);
    std::snprintf(out, kSize, "%5lld.%lldus", v / 10, v % 10);
  } else if (span < 1000000) {
    const long long v = rounded(t / 10);
    std::snprintf(out, kSize, "%3lld.%03lldms", v / 1000, v % 1000);
  } else if (span < 10000000) {
    const long long v = rounded(t / 100);
    std::snprintf(out, kSize, "%4lld.%02lldms", v / 100, v % 100);
  } else if (span < 1000000000) {
    const long long v = rounded(t / 10000);
    std::snprintf(out, kSize, "%3lld.%03llds", v / 1000, v % 1000);
  } else {
    const long long v = rounded(t / 100000);
    std::snprintf(out, kSize, "%5lld.%02llds", v / 100, v % 100);
  }
}

}  // namespace ov
