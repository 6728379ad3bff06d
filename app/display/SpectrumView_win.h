// The spectrum view in the lower area of the main window (PaintBox2): bevel,
// frame, comment line, frequency and level labels, the measure-mode panel
// boxes and values (around the plot), the grid (background layer) and the
// curves with the peak mark and the cursor (trace layer), presented by
// SpectrumDrawType; the "3D" waterfall in an image of its own; the readout
// and the measure-mode cursor that follow the mouse.
//
// Main thread only. Owns the spectrum geometry, its presenter (image), the
// 3D history image and its pens; the host, the analysis (and the point
// arrays inside it), the surfaces, the readout window and the frame counters
// are borrowed.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/analysis/FrameAnalysis.h"
#include "app/display/DisplayHost_win.h"
#include "app/display/FloatForm_win.h"
#include "app/display/FrameCounters.h"
#include "app/display/SpectrumAxis.h"
#include "app/display/SpectrumPoints.h"
#include "app/display/SpectrumReadout.h"
#include "app/display/ViewColours.h"
#include "app/display/ViewPresenter_win.h"

namespace ov {

class SpectrumView final : public ViewLayers {
 public:
  SpectrumView(DisplayHost& host, FrameAnalysis& analysis, const Kp05Api& fft,
               DirectDrawSurfaces& surfaces, FloatForm& readout, FrameCounters& counters);
  ~SpectrumView() override;
  SpectrumView(const SpectrumView&) = delete;
  SpectrumView& operator=(const SpectrumView&) = delete;

  // The current colour set; re-creates the pens and brushes and hands the
  // overlay caption colours to the host.
  void SetColours(const ResolvedColours& colours);
  // ComputeSpectrumAxis from the settings, the analysis' size and format and
  // the plot; writes the level scale into the analysis and marks both
  // overlays stale. A changed Nyquist frequency resets the measure-mode
  // state first (ResetSpectrumState).
  void ComputeSpectrumAxis();
  // Every layout: ComputeSpectrumAxis, the presenter's image and pre-drawn
  // background, and a cleared 3D history.
  void Layout();

  // AnalysisViews::ConvertSpectrumCurves (end of ComputeSpectrum): the main
  // curve's y (and peakPoint), the stale overlays' y; in "3D" marks the new
  // line for the history while live or after SingleStep.
  void ConvertSpectrumCurves(FrameAnalysis& analysis);
  // DrawViews step 6: presents the frame ("3D": the waterfall), then the
  // measure-mode values.
  void DrawSpectrum();
  // PaintBox2Paint.
  void Paint(HDC dc);

  // The readout works only while paused (or, for the cursor, in measure mode).
  void SetPaused(bool paused);
  // The play position moved while paused: the next frame adds one 3D line.
  void SingleStep();

  // Mouse in spectrum area coordinates.
  void MouseDown(int32_t x, int32_t y, bool leftButton, bool rightButton);
  void MouseMove(int32_t x, int32_t y);
  void MouseUp();
  // WM_SETCURSOR: the cross over the plot while the readout or cursor works.
  bool CrossCursorAt(int32_t x, int32_t y) const;
  void HideReadout();

  // ViewLayers: DrawSpectrumScale and DrawSpectrumTrace.
  void DrawBackground(HDC dc, bool clear) override;
  void DrawTrace(HDC dc) override;

  const SpectrumAxis& Axis() const { return axis_; }
  ViewPresenter& Presenter() { return presenter_; }
  int32_t ReadoutSkip() const { return readoutSkip_; }
  HDC ThreeDImageDc() const { return image3D_.dc; }

 private:
  struct Image {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
  };
  bool ThreeD() const;
  bool InPlot(int32_t x, int32_t y) const;
  bool MouseActive() const;
  void FreeGdi();
  void FreeImage3D();
  void DrawBevel(HDC dc, const RECT& client);
  void DrawLabels(HDC dc);
  void DrawPanelBoxes(HDC dc);
  void DrawMeasureValues(HDC dc);
  void Draw3D(HDC areaDc);
  void DrawCurve(HDC dc, const Kp05Point* points, HPEN pen);
  // The axis was computed for the analysis' current size, rate and arrays.
  bool AxisCurrent() const;
  void ShowReadoutFor(int32_t bin, bool snappedUp, bool snapped, int32_t px, int32_t py);
  SpectrumSearchInput SearchInput() const;

  DisplayHost& host_;
  FrameAnalysis& analysis_;
  const Kp05Api& fft_;
  FloatForm& readout_;
  FrameCounters& counters_;
  ViewPresenter presenter_;
  SpectrumAxis axis_;
  int32_t axisN_ = -1;
  uint32_t axisRate_ = 0;
  const Kp05Point* axisPoints_ = nullptr;
  RECT plot_{};
  double lastNyquist_ = 0.0;
  static constexpr int32_t kRangeOffDefaultTo = 1000000;
  int32_t linearDefaultTo_ = SpectrumAxisInput{}.linearDefaultTo;
  bool rangeBoxSeen_ = false;  // FreqDispRange as the last axis saw it
  bool rangeBoxOn_ = false;
  int32_t readoutSkip_ = 0;
  bool paused_ = false;
  bool dragging_ = false;
  bool singleStep_ = false;
  bool pending3DLine_ = false;
  bool freshLayout_ = true;
  Image image3D_;

  ResolvedColours colours_;
  HBRUSH plotBrush_ = nullptr, backBrush_ = nullptr;
  HPEN scalePen_ = nullptr, linePen_ = nullptr, framePen_ = nullptr, cursor1Pen_ = nullptr,
       cursor2DotPen_ = nullptr, ovl1Pen_ = nullptr, ovl2Pen_ = nullptr;
};

}  // namespace ov
