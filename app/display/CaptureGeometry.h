// What the screen copy (Ctrl+C) takes, by CaptureMode: the source, the size
// of the copy and where the mouse pointer is drawn into it.
#pragma once

#include <cstdint>

namespace ov {

enum class CaptureSource { WholeWindow, WaveArea, SpectrumArea };

// The main window's geometry the copy needs, in pixels.
struct CaptureLayout {
  int32_t windowWidth = 0, windowHeight = 0;  // outer size
  int32_t frameWidth = 0, frameHeight = 0;    // sizing border
  int32_t captionHeight = 0;
  int32_t waveTop = 0, waveWidth = 0, waveHeight = 0;  // client coordinates
  int32_t splitterHeight = 0;
  int32_t spectrumTop = 0, spectrumWidth = 0, spectrumHeight = 0;
  int32_t panelHeight = 0;  // the measure-mode panel below the spectrum area
};

struct CapturePlan {
  CaptureSource source = CaptureSource::WholeWindow;
  int32_t width = 0, height = 0;
  // Pointer position in the copy = client position + (dx, dy) - hot spot.
  int32_t dx = 0, dy = 0;
};

// Mode 0 "Whole Window", 1 "Wave + Spectrum", 2 "Wave only", 3 "Spectrum
// only", 4 "Spectrum + Measure mode panel"; other values count as 0.
CapturePlan PlanCapture(int32_t mode, const CaptureLayout& layout);

}  // namespace ov
