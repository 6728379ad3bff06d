// TLissajousForm: the small square borderless window, always on top, that
// shows the X-Y figure of the display channel (vertical) against the
// following channel (horizontal). It also computes the figure's points for
// the wave view's "Lissajous" display type (LissajousFigureSource).
//
// Presentation by WaveDrawType, the DirectDraw types counting as "Image 2":
// 0 grid and trace straight onto the plot, 1 both through the image, 2 the
// image holds the pre-drawn grid and the trace goes onto the plot. It never
// waits for the vertical blank. Dragged from any point, sized only from the
// 10 x 10 square at its bottom-right corner (at least 80 x 80, the client
// area kept square); F1 is posted to the main window.
//
// Main thread only: created hidden by the main window after its display and
// destroyed with it; DrawLissajous runs inside the drawing step (the display
// thread waits meanwhile). The host, the analysis (sample arrays, format,
// point buffer) and the frame counters are borrowed and outlive the form.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/analysis/FrameAnalysis.h"
#include "app/controls/Window_win.h"
#include "app/display/DisplayHost_win.h"
#include "app/display/FrameCounters.h"
#include "app/display/LissajousPoints.h"
#include "app/display/ViewColours.h"

namespace ov {

class TLissajousForm final : public Window, public LissajousFigureSource {
 public:
  TLissajousForm(DisplayHost& host, FrameAnalysis& analysis, const FrameCounters& counters);
  ~TLissajousForm() override;

  // Creates the window hidden (owned by the host's main window).
  bool Create();

  // Shows the window: at the first show from the settings section
  // LissajousWindow (or at the wave area's left + 45, top + 15, 120 x 120);
  // every show keeps it inside the work area.
  void ShowForm();
  // Hides the window and stores its geometry.
  void HideForm();
  // Stores the position and client size into the settings (also at exit).
  void StoreGeometry();
  bool Shown() const { return hwnd() && IsWindowVisible(hwnd()); }

  // LissajousFigureSource: width, height 0 and no buffer compute the window's
  // own figure into its own buffer.
  int32_t ComputeLissajousPoints(int32_t width, int32_t height, Kp05Point* points) override;
  // The drawing step: compute and present the window's figure.
  void DrawLissajous();
  // The grid into the image (WaveDrawType 2 and above).
  void PrepareLissajousBackground();
  // The colour set changed.
  void ColoursChanged();

  int32_t PlotSide() const { return side_; }
  HWND PlotControl() const { return plot_; }
  int32_t PointCount() const { return pointCount_; }
  const Kp05Point* Points() const { return analysis_.LissajousPoints.data(); }
  const ResolvedColours& Colours() const { return colours_; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  static LRESULT CALLBACK PlotProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void FormResize();
  void Paint(HDC dc);
  void Present();
  void DrawGrid(HDC dc, bool fill);
  void DrawTrace(HDC dc);
  void FreeImage();
  void CreateGdi();
  void FreeGdi();
  int32_t DrawType() const;

  DisplayHost& host_;
  FrameAnalysis& analysis_;
  const FrameCounters& counters_;
  HWND plot_ = nullptr;  // LissajousPaintBox
  bool placed_ = false;
  int32_t side_ = 0;
  LissajousGrid grid_;
  int32_t pointCount_ = 0;
  ResolvedColours colours_;

  HDC imageDc_ = nullptr;  // LissajousImage
  HBITMAP image_ = nullptr;
  HGDIOBJ oldImage_ = nullptr;
  HPEN linePen_ = nullptr, scalePen_ = nullptr, framePen_ = nullptr, outerPen_ = nullptr;
  HBRUSH plotBrush_ = nullptr, backBrush_ = nullptr;
};

}  // namespace ov
