// Presents one frame of a view (wave or spectrum) by its draw type: the two
// layers - background (plot colour, grid) and trace - reach the plot on screen
// directly (0 "Screen"), through an off-screen image (1 "Image 1", 2 "Image 2")
// or through the view's DirectDraw surfaces (3 "DDraw 1", 4 "DDraw 2",
// 5 "DDraw 3"). See DirectDrawSurfaces_win.h for the surfaces.
//
// Main thread only. The presenter owns the view's image (a memory bitmap of
// the plot's size, re-created at each layout); the surfaces, the area window
// and the layers are borrowed.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/display/DirectDrawSurfaces_win.h"

namespace ov {

enum DrawType : int32_t {
  kDrawScreen = 0,
  kDrawImage1 = 1,
  kDrawImage2 = 2,
  kDrawDDraw1 = 3,
  kDrawDDraw2 = 4,
  kDrawDDraw3 = 5,
  kDrawTypeCount = 6
};
// The setup dialog's list items and the benchmark's labels.
constexpr const char* kDrawTypeNames[kDrawTypeCount] = {"Screen",  "Image 1", "Image 2",
                                                        "DDraw 1", "DDraw 2", "DDraw 3"};

// The two layers of a view, drawn with the plot's top left at (0, 0).
class ViewLayers {
 public:
  virtual ~ViewLayers() = default;
  // Grid and scale; with clear, the plot is first filled with its colour.
  virtual void DrawBackground(HDC dc, bool clear) = 0;
  virtual void DrawTrace(HDC dc) = 0;
};

class ViewPresenter {
 public:
  ViewPresenter(DirectDrawSurfaces& surfaces, int viewIndex, ViewLayers& layers);
  ~ViewPresenter();
  ViewPresenter(const ViewPresenter&) = delete;
  ViewPresenter& operator=(const ViewPresenter&) = delete;

  // After each layout (and after the surfaces were re-created): the area,
  // the plot rectangle in its client coordinates and the draw type. Re-creates
  // the image (none for a plot of non-positive size) and pre-draws the
  // background where the draw type keeps it (image for 2, surface A for 4, 5).
  void Layout(HWND area, const RECT& plot, int32_t drawType);

  // One frame. vblank: wait for the vertical blank first (draw types 0, 2, 4
  // only, and only when the probe found the wait available).
  void Present(int32_t drawType, bool vblank);

  // The background into surface A (colour-filled first unless 8-bit).
  void PrepareSurfaceBackground();
  void PrepareImageBackground();

  int32_t Width() const { return w_; }
  int32_t Height() const { return h_; }
  HDC ImageDc() const { return imageDc_; }
  // Screen-target frames that were skipped because a resource was missing.
  uint64_t SkippedFrames() const { return skipped_; }

 private:
  void FreeImage();
  // The area's device context with the plot's origin and clipped to the plot.
  HDC BeginPlotDc();
  void EndPlotDc(HDC dc);
  RECT ScreenRect() const;
  bool BlitToScreen(IDirectDrawSurface7* source);
  void DrawIntoSurface(IDirectDrawSurface7* surface, bool background, bool trace);

  DirectDrawSurfaces& surfaces_;
  const int view_;
  ViewLayers& layers_;
  HWND area_ = nullptr;
  RECT plot_{};
  int32_t w_ = 0, h_ = 0;
  HDC imageDc_ = nullptr;
  HBITMAP image_ = nullptr;
  HGDIOBJ oldImage_ = nullptr;
  uint64_t skipped_ = 0;
};

}  // namespace ov
