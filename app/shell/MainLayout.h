// The arithmetic of the main window's layout: the top panel's controls, the
// wave area above the splitter, the spectrum area below it, the measure panel
// (Panel2) under the spectrum area in measure mode, the two plot rectangles
// inside the areas, the 3D geometry of the spectrum view and the track bar's
// width. Portable; the window applies the result to its children.
#pragma once

#include <cstdint>

namespace ov {

struct LayoutRect {
  int32_t left = 0, top = 0, width = 0, height = 0;
  int32_t right() const { return left + width; }
  int32_t bottom() const { return top + height; }
  bool operator==(const LayoutRect& o) const {
    return left == o.left && top == o.top && width == o.width && height == o.height;
  }
};

struct MainLayoutInput {
  int32_t clientWidth = 0, clientHeight = 0;
  int32_t topPanelHeight = 0, splitterHeight = 0;
  // The bottom panel (Panel2, the measure panel): 50 in measure mode, else 0.
  int32_t bottomPanelHeight = 0;
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
  LayoutRect waveArea, splitter, spectrumArea, bottomPanel;
  // The plots in their area's coordinates. The wave plot's height is the wave
  // area's height - 24 and may be 0 or less in a low area: the wave view then
  // draws its bevel, frame and labels only.
  LayoutRect wavePlot, spectrumPlot;
  Spectrum3D threeD;
  int32_t trackBarWidth = 136;
};

constexpr int32_t kPlotLeftMargin = 41;
constexpr int32_t kMeasurePlotLeftMargin = 95;
constexpr int32_t kPlotRightMargin = 11;
constexpr int32_t kMinTrackBarWidth = 136;

MainLayoutResult LayOutMainWindow(const MainLayoutInput& in);

// The ratio after the splitter was moved so that the wave area is waveHeight
// high out of the two areas' total height.
int32_t WaveAreaRatioAfterSplitterMove(int32_t waveHeight, int32_t spectrumHeight);

// ---- The top panel

// Two rows. Row 1: the transport buttons (open, play, stop, pause, record),
// the precise-positioning button and the track bar; the right-hand panel at
// the right edge holds the channel selector (L_R_Button for two channels, or
// ChLabel and ChComboBox for more; they share one place), the measure mode
// and the setup button. Row 2: WaveInfoStaticText at the left, the two time
// labels right-aligned to the track bar's end, FftInfoStaticText and
// FrameRateStaticText in the right-hand panel. The track bar never reaches
// into the right-hand panel while the window is at least kTopPanelMinWidth
// wide, so neither do the time labels.
constexpr int32_t kTopPanelHeight = 52;
constexpr int32_t kTrackBarLeft = 254;
constexpr int32_t kRightPanelWidth = 154;
constexpr int32_t kTopPanelMinWidth = kTrackBarLeft + kMinTrackBarWidth + 1 + kRightPanelWidth;
// The measure panel (Panel2) in measure mode.
constexpr int32_t kMeasurePanelHeight = 50;

struct TopPanelLayout {
  LayoutRect open, play, stop, pause, rec, positioning, trackBar;
  LayoutRect label1, label2;  // play position / record time, file length
  LayoutRect rightPanel;
  LayoutRect channelLabel, channelBox, channelButton, measureButton, setupButton;
  LayoutRect waveInfo, fftInfo, frameRate;
};

TopPanelLayout LayOutTopPanel(int32_t clientWidth, bool resizeTrackBar);

// Track bar width (layout step 1): the width left in the top panel right of
// the bar's left edge, minus the right-hand panel and 1 pixel, when resizing
// is on and that is above 135; else 136.
int32_t TrackBarWidth(bool resize, int32_t topPanelWidth, int32_t trackBarLeft,
                      int32_t rightPanelWidth);

}  // namespace ov
