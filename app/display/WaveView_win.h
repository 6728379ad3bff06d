// The wave view in the upper area of the main window (PaintBox1): frame,
// time and amplitude labels, the grid (background layer) and the trace of
// the display channel or the Lissajous figure (trace layer), presented by
// WaveDrawType; the readout while paused (value and time of the sample under
// the mouse, snapping to the nearest peak on a click).
//
// Main thread only. Owns the wave geometry, its presenter (image) and its
// pens; the host, the analysis, the surfaces and the readout window are
// borrowed.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/analysis/FrameAnalysis.h"
#include "app/display/DisplayHost_win.h"
#include "app/display/FloatForm_win.h"
#include "app/display/ViewColours.h"
#include "app/display/ViewPresenter_win.h"
#include "app/display/WaveAxis.h"

namespace ov {

// The wave plot lies at this y in the wave area.
constexpr int32_t kWavePlotTop = 7;
// Areas lower than this draw only their bevel.
constexpr int32_t kMinViewAreaHeight = 10;
// Longest polyline or Bezier chain drawn at once.
constexpr int32_t kMaxTracePoints = 16383;

class WaveView final : public ViewLayers {
 public:
  WaveView(DisplayHost& host, FrameAnalysis& analysis, const Kp05Api& fft,
           DirectDrawSurfaces& surfaces, FloatForm& readout);
  ~WaveView() override;
  WaveView(const WaveView&) = delete;
  WaveView& operator=(const WaveView&) = delete;

  void SetLissajousSource(LissajousFigureSource* source) { lissajous_ = source; }
  // The current colour set; re-creates the pens and brushes.
  void SetColours(const ResolvedColours& colours);
  // ComputeWaveAxis from the settings, the analysis' size and format and the
  // plot; then the presenter's image and pre-drawn backgrounds.
  void ComputeWaveAxis();
  void Layout();

  // The drawing step: trace points of the current frame, then presenting.
  void ComputeWavePoints();
  void DrawWave();
  // PaintBox1Paint: bevel, frame, labels and, when frameValid, the frame.
  void Paint(HDC dc);

  // The readout works only while paused.
  void SetPaused(bool paused);
  // Mouse in wave area coordinates. shift: the Shift key is held.
  void MouseDown(int32_t x, int32_t y, bool leftButton);
  void MouseMove(int32_t x, int32_t y, bool shift);
  void MouseUp();
  bool CrossCursorAt(int32_t x, int32_t y) const;
  void HideReadout();

  // ViewLayers: DrawWaveScale and DrawWaveTrace.
  void DrawBackground(HDC dc, bool clear) override;
  void DrawTrace(HDC dc) override;

  const WaveAxis& Axis() const { return axis_; }
  ViewPresenter& Presenter() { return presenter_; }
  int32_t ShownStart() const { return shownStart_; }
  int32_t ReadoutSkip() const { return readoutSkip_; }

 private:
  bool Lissajous() const;
  bool InPlot(int32_t x, int32_t y) const;
  bool ReadoutActive() const;
  void ShowReadoutAt(int32_t px, int32_t py, bool shift);
  void FreeGdi();
  void DrawBevel(HDC dc, const RECT& client);
  void DrawLabels(HDC dc);

  DisplayHost& host_;
  FrameAnalysis& analysis_;
  const Kp05Api& fft_;
  FloatForm& readout_;
  LissajousFigureSource* lissajous_ = nullptr;
  ViewPresenter presenter_;
  WaveAxis axis_;
  RECT plot_{};
  int32_t shownStart_ = 0;
  int32_t readoutSkip_ = 0;
  bool paused_ = false;
  bool dragging_ = false;

  ResolvedColours colours_;
  HBRUSH plotBrush_ = nullptr, backBrush_ = nullptr;
  HPEN scalePen_ = nullptr, linePen_ = nullptr, framePen_ = nullptr;
};

}  // namespace ov
