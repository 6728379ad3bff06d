#include "app/display/CaptureGeometry.h"

namespace ov {

CapturePlan PlanCapture(int32_t mode, const CaptureLayout& l) {
  CapturePlan p;
  switch (mode) {
    case 1:
      p.source = CaptureSource::WaveArea;
      p.width = l.waveWidth;
      p.height = l.waveHeight + l.splitterHeight + l.spectrumHeight;
      p.dy = -l.waveTop;
      break;
    case 2:
      p.source = CaptureSource::WaveArea;
      p.width = l.waveWidth;
      p.height = l.waveHeight;
      p.dy = -l.waveTop;
      break;
    case 3:
    case 4:
      p.source = CaptureSource::SpectrumArea;
      p.width = l.spectrumWidth;
      p.height = l.spectrumHeight + (mode == 4 ? l.panelHeight : 0);
      p.dy = -l.spectrumTop;
      break;
    default:
      p.source = CaptureSource::WholeWindow;
      p.width = l.windowWidth;
      p.height = l.windowHeight;
      p.dx = l.frameWidth;
      p.dy = l.frameHeight + l.captionHeight;
      break;
  }
  return p;
}

}  // namespace ov
