// What the display needs of the main window: its windows and plot
// rectangles (from the main window's layout), its font, its settings values,
// the main-thread runner and the frame-rate readout. The main window
// implements it; tests implement it with a window of their own.
//
// Main thread only, except Runner(), which the display thread uses to hand
// each frame's drawing to the main thread.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/display/CaptureGeometry.h"
#include "app/engine/MainThreadRunner.h"
#include "app/shell/MainLayout.h"
#include "app/shell/SettingsValues.h"
#include "fft/Kp05Api.h"

namespace ov {

class DisplayHost {
 public:
  virtual ~DisplayHost() = default;

  virtual HWND MainWindow() const = 0;
  // The wave area (PaintBox1) and the spectrum area (PaintBox2); the
  // spectrum area may be null while there is none.
  virtual HWND WaveArea() const = 0;
  virtual HWND SpectrumArea() const = 0;
  // The plots in their area's client coordinates; the wave plot lies at
  // y = 7 with the layout's left margin.
  virtual RECT WavePlot() const = 0;
  virtual RECT SpectrumPlot() const = 0;
  // The font of all texts in the view areas.
  virtual HFONT ViewFont() const = 0;
  // The screen copy's geometry (window, areas, splitter, measure panel).
  virtual CaptureLayout CaptureGeometry() const = 0;

  virtual SettingsValues& Settings() = 0;
  virtual MainThreadRunner& Runner() = 0;

  // FrameRateStaticText.
  virtual void SetFrameRateText(const char* text) = 0;
  // Clicks on the views move the keyboard focus away from edit fields.
  virtual void MoveFocusFromEdits() {}

  // The spectrum view's 3D geometry from the layout. The default computes it
  // from SpectrumPlot() and Lines3D / DeltaX3D as the layout does.
  virtual Spectrum3D SpectrumThreeD();
  // A right click on the spectrum comment line: the comment editor, modal,
  // at this screen point. The view repaints its area afterwards.
  virtual void OpenSpectrumCommentEditor(POINT /*screen*/) {}
  // The caption colours of the overlay show buttons (OVL1Color, OVL2Color).
  virtual void SetOverlayCaptionColours(COLORREF /*overlay1*/, COLORREF /*overlay2*/) {}
};

// The Lissajous figure's points (the Lissajous window computes them): for a
// plot of width x height into points (room for Sample_N points); returns the
// count.
class LissajousFigureSource {
 public:
  virtual ~LissajousFigureSource() = default;
  virtual int32_t ComputeLissajousPoints(int32_t width, int32_t height, Kp05Point* points) = 0;
};

// The other views the drawing step drives; the defaults do nothing.
class OtherViews {
 public:
  virtual ~OtherViews() = default;
  // The separate Lissajous window.
  virtual bool LissajousWindowShown() const { return false; }
  virtual void DrawLissajous() {}
  // After the spectrum view has drawn its frame.
  virtual void DrawSpectrum() {}
  // The level meter window.
  virtual bool LevelMeterShown() const { return false; }
  virtual void RefreshLevelMeter() {}
  // A colour set was applied: repaint and lay out what depends on it.
  virtual void ColoursChanged() {}
  // The layout re-created surfaces and images: pre-draw backgrounds.
  virtual void LaidOut() {}
};

}  // namespace ov
