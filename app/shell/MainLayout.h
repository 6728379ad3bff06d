// The arithmetic of the main window's layout: the wave area above the
// splitter, the spectrum area below it, the two plot rectangles inside them,
// the 3D geometry of the spectrum view and the track bar's width. Portable;
// the window applies the result to its children.
#pragma once

#include <cstdint>

namespace ov {

struct LayoutRect {
  int32_t left = 0, top = 0, width = 0, height = 0;
  bool operator==(const LayoutRect& o) const {
    return left == o.left && top == o.top && width == o.width && height == o.height;
  }
};

struct MainLayoutInput {
  int32_t clientWidth = 0, clientHeight = 0;
  int32_t topPanelHeight = 0, splitterHeight = 0, bottomPanelHeight = 0;
  int32_t waveAreaRatio = 500;  // thousandths (WaveWindowRatioX1000)
  bool lissajous = false;       // wave area in Lissajous display mode
  bool lissajousCenter = false;
  bool measureMode = false;
  bool spectrumComment = false;  // the spectrum comment is displayed
  int32_t lines3D = 1, deltaX3D = 0;
  // Track bar: the top panel's width, the bar's left edge, the right-hand panel.
  bool resizeTrackBar = false;
  int32_t topPanelWidth = 0, trackBarLeft = 0, rightPanelWidth = 0;
};

struct Spectrum3D {
  int32_t lineStep = 1, lineCount = 0, depthOffset = 0, frontWidth = 0, halfHeight = 0;
};

struct MainLayoutResult {
  int32_t clientHeight = 0;  // grown when the plots would get less than 2 pixels
  LayoutRect waveArea, splitter, spectrumArea;
  LayoutRect wavePlot, spectrumPlot;
  Spectrum3D threeD;
  int32_t trackBarWidth = 136;
};

constexpr int32_t kPlotLeftMargin = 41;
constexpr int32_t kMeasurePlotLeftMargin = 95;
constexpr int32_t kPlotRightMargin = 11;

MainLayoutResult LayOutMainWindow(const MainLayoutInput& in);

// The ratio after the splitter was moved so that the wave area is waveHeight
// high out of the two areas' total height.
int32_t WaveAreaRatioAfterSplitterMove(int32_t waveHeight, int32_t spectrumHeight);

}  // namespace ov
