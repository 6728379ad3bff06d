#include "app/shell/MainLayout.h"

#include <algorithm>

namespace ov {

MainLayoutResult LayOutMainWindow(const MainLayoutInput& in) {
  MainLayoutResult r;
  // Track bar: the width left right of its edge, when that is above 135.
  const int32_t free = in.topPanelWidth - in.trackBarLeft - in.rightPanelWidth - 1;
  r.trackBarWidth = in.resizeTrackBar && free > 135 ? free : 136;

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

  // Wave plot, relative to the wave area.
  r.wavePlot.left = kPlotLeftMargin;
  r.wavePlot.top = 7;
  r.wavePlot.width = in.clientWidth - kPlotLeftMargin - kPlotRightMargin;
  r.wavePlot.height = std::max(1, waveHeight - 24);
  if (in.lissajous) {
    const int32_t side = std::max(1, std::min(r.wavePlot.width, waveHeight - 14));
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
  d.depthOffset = d.lineCount * in.deltaX3D;
  d.frontWidth = std::max((w - 1) - d.depthOffset, (w - 1) / 2);
  d.halfHeight = (h - 1) / 2;
  return r;
}

int32_t WaveAreaRatioAfterSplitterMove(int32_t waveHeight, int32_t spectrumHeight) {
  const int32_t total = waveHeight + spectrumHeight;
  if (total <= 0) return 500;
  return static_cast<int32_t>(int64_t{waveHeight} * 1000 / total);
}

}  // namespace ov
