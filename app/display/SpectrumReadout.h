// The texts of the spectrum view's measure panel and readout, and the
// arithmetic of the mouse on the spectrum plot: the bin under the pointer,
// the snap to the nearest peak on a click, and the measure-mode cursor.
#pragma once

#include <cstdint>

#include "app/display/SpectrumAxis.h"

namespace ov {

// A level as the panel and the readout show it, always nine characters: on
// the dB axis the level (hundredths of a dB, without range terms) as a signed
// number with two decimals in 7 characters and "dB" (" ---.--dB" at -300 dB
// or lower); on the linear axis the magnitude with two decimals in 9.
// out holds at least 16 characters.
void FormatLevel(const SpectrumAxis& axis, const LevelScale& scale, double magnitude, char* out);

// A frequency in tenths of a Hz with one decimal in 7 characters and "Hz";
// from 100 kHz on whole Hz in 7 characters (the field stays nine wide).
void FormatPanelFrequency(int32_t tenths, char* out);

// The readout's first line: round(f x 10) as "%5d.%dHz".
void FormatReadoutFrequency(double hz, char* out);

// The bin under plot column x (clamped to the plot): on the log axis the bin
// itself (1 ... N/2), on the linear axis the point index from firstBin.
int32_t SpectrumIndexAt(const SpectrumAxis& axis, int32_t x);

// What the search runs over.
struct SpectrumSearchInput {
  const double* magnitudes = nullptr;  // indexed by bin
  const Kp05Point* points = nullptr;   // the same curve's points
  const int32_t* runs = nullptr;       // the axis' run lengths
  bool measureMode = false;
};

struct SpectrumSnap {
  int32_t index = 0;      // log axis: the bin; linear: the point index from firstBin
  int32_t bin = 0;        // the absolute bin
  Kp05Point point{0, 0};  // its screen point on the plot, y clamped to the plot
  bool up = true;
};

// A left click at plot point (x, y): the window of 2B + 1 bins around the
// bin under x (B = n / 25 on the log axis, spectrumPointCount / 150 on the
// linear, plus 1 outside measure mode) is held to the bins shown (B shrinks
// when they are fewer); the first bin of the window with the largest
// magnitude (or, unless SpectrumPeakOnly, the smallest when the click lies
// below the curve there) and its point.
SpectrumSnap SnapSpectrum(const SpectrumAxis& axis, const SpectrumSearchInput& search, int32_t x,
                          int32_t y);

// The measure-mode cursor after a click snapped to bin: set on a new bin,
// removed when it is the cursor's bin. Returns true when it was set.
bool ToggleCursor(int32_t bin, int32_t pointX, int32_t& cursorBin, int32_t& cursorX);

// Whether a snapped readout is refined by interpolation: snapped up,
// interpolation on, and outside measure mode or with only the main spectrum.
bool ReadoutInterpolates(bool snappedUp, int32_t interpolate, bool measureMode, bool mainOn,
                         bool overlay1Shown, bool overlay2Shown);

}  // namespace ov
