// The X-Y figure of two channels: the display channel on the vertical axis,
// the following channel on the horizontal one, about one frame interval of
// samples. Shared by the wave view's "Lissajous" type and the Lissajous window.
#pragma once

#include <cstdint>

namespace ov {

struct PlotPoint {
  int32_t x = 0;
  int32_t y = 0;
};

// The largest number of points a figure may have: the drawing takes at most
// 16383, and a frame never holds more samples than the analysis size.
constexpr uint32_t kLissajousMaxTracePoints = 16383;

// The channel on the horizontal axis: the next one, the first again after the
// last; the display channel itself when there is only one.
int32_t LissajousFollowingChannel(int32_t displayChannel, int32_t channelCount);

// How many samples a figure draws: rate / framesPerSecond + 3 once the frame
// rate is known, else 1000; never more than sampleN.
uint32_t LissajousPointCount(uint32_t sampleRate, uint32_t framesPerSecond, uint32_t sampleN);

// Fills points[0 .. count) for a w x h plot from samples left-justified to 32
// bits; full scale reaches half the square's side times the magnification.
// Returns the count.
uint32_t ComputeLissajousPoints(const int32_t* display, const int32_t* following, uint32_t count,
                                int32_t magnification, int32_t w, int32_t h, PlotPoint* points);

// The trace's point count: at most 16383, and one start point plus whole
// three-point segments (c = ((count - 1) / 3) x 3, plus one).
uint32_t LissajousTracePoints(uint32_t count);

// The grid of an s-pixel square: lines at half - d, half and half + d with
// d the 30000 / 32768 of half.
struct LissajousGrid {
  int32_t lines[3] = {};
};
LissajousGrid ComputeLissajousGrid(int32_t side);

// The plot side of a window's client area: a 5-pixel margin on each side.
int32_t LissajousPlotSide(int32_t clientWidth, int32_t clientHeight);

}  // namespace ov
