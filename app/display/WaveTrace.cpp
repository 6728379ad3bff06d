#include "app/display/WaveTrace.h"

namespace ov {

int32_t TriggerStart(const int32_t* samples, int32_t sampleN, int32_t xMag, int32_t yMag,
                     bool live) {
  if (xMag <= 1 || !live) return 0;
  const int32_t mag = yMag < 1 ? 1 : yMag;
  int32_t t = static_cast<int32_t>(8.0 / mag + 0.5);
  if (t < 1) t = 1;
  int32_t m = sampleN / 2 - 1;
  if (m > 8191) m = 8191;
  if (m < 0) m = 0;
  for (int32_t i = 0; i < m; ++i) {
    const int32_t a = samples[i] / 65536;  // toward zero
    const int32_t b = samples[i + 1] / 65536;
    if (b - a > t && ((a < 0 && 0 < b) || (0 <= a && a <= t) || (-t <= b && b <= 0))) return i;
  }
  return m;
}

void ComputeWavePoints(WaveAxis& axis, const int32_t* shown) {
  const int32_t h = axis.in.height;
  const int32_t mag = axis.in.yMag;
  Kp05Point* p = axis.points.data();
  const int32_t* s = shown;
  for (int32_t c = 0; c < axis.columnCount; ++c) {
    const int32_t run = axis.columnRuns[c];
    if (run <= kPointsPerColumn) {
      for (int32_t j = 0; j < run; ++j) p[j].y = WaveSampleY(s[j], h, mag);
      p += run;
    } else {
      p[0].y = WaveSampleY(s[0], h, mag);
      int32_t low = WaveSampleY(s[1], h, mag), high = low;
      for (int32_t j = 2; j < run - 1; ++j) {
        const int32_t y = WaveSampleY(s[j], h, mag);
        if (y < low) low = y;
        if (y > high) high = y;
      }
      p[1].y = low;
      p[2].y = high;
      p[3].y = WaveSampleY(s[run - 1], h, mag);
      p += kPointsPerColumn;
    }
    s += run;
  }
}

}  // namespace ov
