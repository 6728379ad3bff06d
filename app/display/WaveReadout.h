// The readout of the wave view while paused: the sample under the mouse, the
// snap to the nearest peak on a click, and the two text lines.
#pragma once

#include <cstdint>

#include "app/display/WaveAxis.h"

namespace ov {

// Mouse moves to ignore after a click: the pointer warp itself causes one.
constexpr int32_t kReadoutSkipAfterSnap = 3;

// The shown sample under plot column x (clamped to the plot).
int32_t ReadoutIndex(const WaveAxis& axis, int32_t x);

struct PeakSnap {
  int32_t index = 0;  // shown sample the readout moves to
  int32_t x = 0;      // its screen point on the plot
  int32_t y = 0;      // clamped to 0 ... h - 1
  bool up = true;     // snapped to the largest (true) or smallest sample
};

// A click at plot point (x, y): searches a window of 2r + 1 samples
// (r = max(2, n / 150)) around the sample under x for its largest sample when
// the click lies above the trace there (or near the top edge) and its smallest
// when below; shown are the frame's samples from the first shown one, the
// axis' points must hold this frame's y values.
PeakSnap SnapToPeak(const WaveAxis& axis, const int32_t* shown, int32_t x, int32_t y);

// Line 1: the sample value, in hexadecimal or decimal, by the sample width.
// out holds at least 32 characters.
void FormatReadoutValue(int32_t sample, int32_t bitsPerSample, bool hex, char* out);
// Line 2: the time of shown sample index from the plot's left edge, in a unit
// chosen by the shown span. out holds at least 32 characters.
void FormatReadoutTime(int32_t index, uint32_t sampleRate, int64_t span, char* out);

}  // namespace ov
