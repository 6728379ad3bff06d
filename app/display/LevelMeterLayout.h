// The level meter window's geometry: the client sizes for a channel count or
// an orientation change, the size limits, the bar, scale, label and number
// positions for a client size, where the window may be grabbed, and keeping a
// window inside the work area. Pixels; no window handles.
#pragma once

#include <cstdint>

#include "app/display/LevelMeterModel.h"

namespace ov {

struct MeterSize {
  int32_t width = 0;
  int32_t height = 0;
  bool operator==(const MeterSize& o) const { return width == o.width && height == o.height; }
};

struct MeterRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const MeterRect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};

// The client size limits; 0 = no limit.
struct MeterSizeLimits {
  int32_t minWidth = 0, maxWidth = 0, minHeight = 0, maxHeight = 0;
};

// The limits for n bars: the thickness is limited to g = trunc(factor x base)
// .. 2g and the length to at least 200. factor: 0.9 for a channel change, 0.85
// after an orientation change.
MeterSizeLimits MeterLimits(bool vertical, int n, double factor);

// The client size after the channel count became n: the thickness fits n bars
// of `barThickness` beside the scale text (tw x th: the extent of "0dB").
MeterSize MeterSizeForChannels(bool vertical, int n, int32_t tw, int32_t th, int32_t barThickness,
                               MeterSize current);

// The client size after switching orientation: the proportion 46:40 is kept
// and the sides swap.
MeterSize MeterSizeForOrientation(bool toVertical, MeterSize current);

// The orientation a saved client size shows at the first show: vertical when
// narrower than high, horizontal when lower than wide, else `current`.
bool MeterVerticalForSize(MeterSize client, bool current);

// The height of the numbers' font for a client size.
int32_t MeterFontHeight(bool vertical, int n, MeterSize client, int32_t tw, int32_t th);

struct MeterGeometry {
  bool vertical = false;
  int channels = 0;
  int32_t fontHeight = 0;   // F
  int32_t numberWidth = 0;  // N, the width of "-8.8" in the numbers' font
  int32_t thickness = 0;    // T
  int32_t length = 0;       // L
  // Vertical: every bar's base is at y = base and grows up to `farEnd`.
  // Horizontal: every bar starts at x = base and ends at `farEnd`.
  int32_t base = 0;
  int32_t farEnd = 0;
  int32_t barX[kMeterMaxChannels] = {};  // vertical: left edge; horizontal: = base
  int32_t barY[kMeterMaxChannels] = {};  // vertical: = base; horizontal: top edge
  int32_t scaleX = 0, scaleY = 0;        // the scale labels' column (vertical) or row
  int32_t labelX[kMeterMaxChannels] = {};
  int32_t labelY[kMeterMaxChannels] = {};
  int32_t numberX[kMeterMaxChannels] = {};
  int32_t numberY[kMeterMaxChannels] = {};
  bool resetShown = false;  // the Reset button, in margin mode only
  MeterRect resetButton;    // left, top, width in right, height in bottom
  const char* resetCaption = "Res";
};

// The layout for a client size; numberWidth is N measured in the font of
// MeterFontHeight's height.
MeterGeometry LayOutMeter(bool vertical, int n, MeterSize client, int32_t tw, int32_t th,
                          int32_t numberWidth, bool marginMode);

// Where a press on a borderless window grabs it.
enum class GrabZone { Move, Left, Right, Top, Bottom, TopLeft, TopRight, BottomLeft, BottomRight };

// The level meter: 6-pixel bands along each edge, 8-pixel squares at the corners.
GrabZone MeterGrabZone(int32_t x, int32_t y, MeterSize window);
// The Lissajous window: only the 10 x 10 square at the bottom-right corner sizes.
GrabZone LissajousGrabZone(int32_t x, int32_t y, MeterSize window);

// A window rectangle kept inside the work area: shrunk to its size (width only
// unless `shrinkHeight`), moved right/down when it starts before it and
// left/up when it ends beyond it.
MeterRect KeepInsideWorkArea(MeterRect window, MeterRect work, bool shrinkHeight);

}  // namespace ov
