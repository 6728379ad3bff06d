#include "app/shell/MainLayout.h"

#include <algorithm>

namespace ov {

int32_t TrackBarWidth(bool resize, int32_t topPanelWidth, int32_t trackBarLeft,
                      int32_t rightPanelWidth) {
  const int32_t free = topPanelWidth - trackBarLeft - rightPanelWidth - 1;
  return resize && free > kMinTrackBarWidth - 1 ? free : kMinTrackBarWidth;
}

MainLayoutResult LayOutMainWindow(const MainLayoutInput& in) {
  MainLayoutResult r;
  r.trackBarWidth =
      TrackBarWidth(in.resizeTrackBar, in.topPanelWidth, in.trackBarLeft, in.rightPanelWidth);

  // The two areas share what the panels and the splitter leave; at least 2
  // pixels, and the window grows to keep them.
  const int32_t fixed = in.topPanelHeight + in.splitterHeight + in.bottomPanelHeight;
  int32_t available = in.clientHeight - fixed;
  r.clientHeight = in.clientHeight;
  if (available < 2) {
    available = 2;
    r.clientHeight = fixed + 2;
  }
  const int32_t ratio = std::clamp(in.waveAreaRatio, 0, 1000);
  const int32_t waveHeight =
      std::clamp(static_cast<int32_t>(int64_t{available} * ratio / 1000), 1, available - 1);
  r.waveArea = {0, in.topPanelHeight, in.clientWidth, waveHeight};
  r.splitter = {0, in.topPanelHeight + waveHeight, in.clientWidth, in.splitterHeight};
  r.spectrumArea = {0, r.splitter.top + in.splitterHeight, in.clientWidth, available - waveHeight};
  r.bottomPanel = {0, r.spectrumArea.bottom(), in.clientWidth, in.bottomPanelHeight};

  // Wave plot, relative to the wave area. Its height is not held up: a wave
  // area of 10 to 24 pixels leaves no plot (bevel, frame and labels only).
  r.wavePlot.left = kPlotLeftMargin;
  r.wavePlot.top = 7;
  r.wavePlot.width = std::max(1, in.clientWidth - kPlotLeftMargin - kPlotRightMargin);
  r.wavePlot.height = waveHeight - 24;
  if (in.lissajous) {
    const int32_t side = std::min(r.wavePlot.width, waveHeight - 14);
    r.wavePlot.width = r.wavePlot.height = side;
    if (in.lissajousCenter)
      r.wavePlot.left = std::max(kPlotLeftMargin, (in.clientWidth - side) / 2);
  }

  // Spectrum plot, relative to the spectrum area.
  r.spectrumPlot.left = in.measureMode ? kMeasurePlotLeftMargin : kPlotLeftMargin;
  r.spectrumPlot.top = in.spectrumComment ? 18 : 7;
  r.spectrumPlot.width = std::max(10, in.clientWidth - r.spectrumPlot.left - kPlotRightMargin);
  r.spectrumPlot.height = std::max(1, r.spectrumArea.height - r.spectrumPlot.top - 20);

  // 3D geometry from the plot's height h and width w.
  const int32_t h = r.spectrumPlot.height, w = r.spectrumPlot.width;
  Spectrum3D& d = r.threeD;
  d.lineStep = std::max(1, (h - 1) / std::max(1, in.lines3D));
  d.lineCount = (h - 1) / d.lineStep;
  d.depthOffset = d.lineCount * std::max(0, in.deltaX3D);
  d.frontWidth = std::max((w - 1) - d.depthOffset, (w - 1) / 2);
  d.halfHeight = (h - 1) / 2;
  return r;
}

int32_t WaveAreaRatioAfterSplitterMove(int32_t waveHeight, int32_t spectrumHeight) {
  const int32_t total = waveHeight + spectrumHeight;
  if (total <= 0) return 500;
  return static_cast<int32_t>(int64_t{waveHeight} * 1000 / total);
}

TopPanelLayout LayOutTopPanel(int32_t clientWidth, bool resizeTrackBar) {
  constexpr int32_t kRow1Top = 4, kRow1Height = 24, kRow2Top = 31, kRow2Height = 18;
  constexpr int32_t kButtonWidth = 42, kButtonStep = 44, kLabelWidth = 48;
  TopPanelLayout t;
  LayoutRect* transport[] = {&t.open, &t.play, &t.stop, &t.pause, &t.rec};
  int32_t x = 4;
  for (LayoutRect* b : transport) {
    *b = {x, kRow1Top, kButtonWidth, kRow1Height};
    x += kButtonStep;
  }
  t.positioning = {x, kRow1Top, 24, kRow1Height};
  t.trackBar = {kTrackBarLeft, kRow1Top,
                TrackBarWidth(resizeTrackBar, clientWidth, kTrackBarLeft, kRightPanelWidth),
                kRow1Height};
  // The time labels under the bar, the length ending at the bar's end.
  t.label2 = {t.trackBar.right() - kLabelWidth, kRow2Top, kLabelWidth, kRow2Height};
  t.label1 = {t.label2.left - 4 - kLabelWidth, kRow2Top, kLabelWidth, kRow2Height};
  t.waveInfo = {4, kRow2Top, std::max(0, t.label1.left - 8), kRow2Height};

  // The right-hand panel keeps to the right edge (and right of the transport
  // buttons when the window is narrower than the whole panel).
  const int32_t r = std::max(kTrackBarLeft, clientWidth - kRightPanelWidth);
  t.rightPanel = {r, 0, kRightPanelWidth, kTopPanelHeight};
  t.channelLabel = {r, kRow1Top + 4, 16, kRow1Height - 8};
  t.channelBox = {r + 16, kRow1Top + 1, 38, 200};  // the height includes the list
  t.channelButton = {r + 16, kRow1Top, 38, kRow1Height};
  t.measureButton = {r + 56, kRow1Top, 46, kRow1Height};
  t.setupButton = {r + 104, kRow1Top, 46, kRow1Height};
  t.fftInfo = {r, kRow2Top, 96, kRow2Height};
  t.frameRate = {r + 98, kRow2Top, 52, kRow2Height};
  return t;
}

}  // namespace ov
