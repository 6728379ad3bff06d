// What the analysis hands to the views after it changed their data. The
// spectrum view, the level meter and the Lissajous window implement it; every
// call comes on the main thread. The defaults do nothing, which is what a
// program without views (ovtool, tests) wants.
#pragma once

#include <cstdint>

namespace ov {

class FrameAnalysis;

class AnalysisViews {
 public:
  virtual ~AnalysisViews() = default;

  // End of each spectrum computation: convert the main curve from SpectrumAmp
  // into SpectrumPoints (recording peakPoint), each stale overlay's amplitudes
  // into its points (clearing its stale flag), and, for the 3D display type,
  // hand the new curve to the 3D history.
  virtual void ConvertSpectrumCurves(FrameAnalysis& /*analysis*/) {}

  // The peak and RMS levels were reset to their floor; channelCount is the
  // current channel count for the level meter.
  virtual void LevelsReset(int32_t /*channelCount*/) {}

  // The sample and spectrum data were cleared: refresh the Lissajous window
  // and the spectrum layout and view.
  virtual void AnalysisDataCleared() {}
};

}  // namespace ov
