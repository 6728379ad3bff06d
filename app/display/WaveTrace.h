// The wave trace of one frame: where the shown samples start (trigger) and
// the y of every kept point. Integer arithmetic only, nothing allocated: runs
// in the drawing step of every frame.
#pragma once

#include <cstdint>

#include "app/display/WaveAxis.h"

namespace ov {

// The first shown sample. With an X magnification above 1 while sound flows
// (live), the first rising crossing of the zero line (on 16-bit values, with
// a threshold of round(8 / yMag), at least 1) within the first
// min(N/2 - 1, 8191) samples; sample m when none is found. Otherwise 0.
int32_t TriggerStart(const int32_t* samples, int32_t sampleN, int32_t xMag, int32_t yMag,
                     bool live);

// The y of a sample (32-bit, left-justified) on a plot of height h: full
// scale spans h x yMag, larger values higher.
inline int32_t WaveSampleY(int32_t sample, int32_t h, int32_t yMag) {
  const int64_t v = sample >> 16;
  const int64_t D = 32768 / (yMag < 1 ? 1 : yMag);
  return static_cast<int32_t>(h / 2 - (v * h + D) / (2 * D));
}

// Sets the y of every kept point of axis from shown (the first shown sample):
// a column of up to four samples keeps each; a denser column keeps its first
// sample, the highest and lowest of the samples between, and its last.
void ComputeWavePoints(WaveAxis& axis, const int32_t* shown);

}  // namespace ov
