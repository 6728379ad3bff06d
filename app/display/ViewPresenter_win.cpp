#include "app/display/ViewPresenter_win.h"

namespace ov {

ViewPresenter::ViewPresenter(DirectDrawSurfaces& surfaces, int viewIndex, ViewLayers& layers)
    : surfaces_(surfaces), view_(viewIndex), layers_(layers) {}

ViewPresenter::~ViewPresenter() {
  FreeImage();
}

void ViewPresenter::FreeImage() {
  if (imageDc_) {
    SelectObject(imageDc_, oldImage_);
    DeleteDC(imageDc_);
  }
  if (image_) DeleteObject(image_);
  imageDc_ = nullptr;
  image_ = nullptr;
  oldImage_ = nullptr;
}

void ViewPresenter::Layout(HWND area, const RECT& plot, int32_t drawType) {
  area_ = area;
  plot_ = plot;
  w_ = plot.right - plot.left;
  h_ = plot.bottom - plot.top;
  FreeImage();
  if (w_ <= 0 || h_ <= 0 || !area_) return;
  HDC dc = GetDC(area_);
  imageDc_ = CreateCompatibleDC(dc);
  image_ = CreateCompatibleBitmap(dc, w_, h_);
  ReleaseDC(area_, dc);
  if (!imageDc_ || !image_) {
    FreeImage();
    return;
  }
  oldImage_ = SelectObject(imageDc_, image_);
  if (drawType == kDrawImage2) PrepareImageBackground();
  if (drawType == kDrawDDraw2 || drawType == kDrawDDraw3) PrepareSurfaceBackground();
}

void ViewPresenter::PrepareImageBackground() {
  if (imageDc_) layers_.DrawBackground(imageDc_, true);
}

void ViewPresenter::PrepareSurfaceBackground() {
  IDirectDrawSurface7* a = surfaces_.SurfaceA(view_);
  if (!a || w_ <= 0 || h_ <= 0) return;
  const bool palette = surfaces_.Layout().bitCount == 8;
  if (!palette) surfaces_.ColourFill(a);
  DrawIntoSurface(a, true, false);
}

void ViewPresenter::DrawIntoSurface(IDirectDrawSurface7* surface, bool background, bool trace) {
  HDC dc = nullptr;
  if (FAILED(surface->GetDC(&dc))) return;  // skip the drawing this frame
  // Non-palette surfaces were colour-filled: the background needs no fill.
  if (background) layers_.DrawBackground(dc, surfaces_.Layout().bitCount == 8);
  if (trace) layers_.DrawTrace(dc);
  surface->ReleaseDC(dc);
}

HDC ViewPresenter::BeginPlotDc() {
  HDC dc = GetDC(area_);
  SaveDC(dc);
  SetViewportOrgEx(dc, plot_.left, plot_.top, nullptr);
  IntersectClipRect(dc, 0, 0, w_, h_);
  return dc;
}

void ViewPresenter::EndPlotDc(HDC dc) {
  RestoreDC(dc, -1);
  ReleaseDC(area_, dc);
}

RECT ViewPresenter::ScreenRect() const {
  RECT r = plot_;
  MapWindowPoints(area_, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

bool ViewPresenter::BlitToScreen(IDirectDrawSurface7* source) {
  RECT target = ScreenRect();
  RECT from{0, 0, w_, h_};
  const HRESULT hr =
      surfaces_.Blt(surfaces_.Primary(), &target, source, &from, DDBLT_WAIT, nullptr);
  if (hr == DDERR_SURFACELOST) {
    surfaces_.Restore(surfaces_.Primary());
    return false;
  }
  return true;
}

void ViewPresenter::Present(int32_t drawType, bool vblank) {
  if (!area_ || w_ <= 0 || h_ <= 0) return;
  if (vblank && surfaces_.VBlankAvailable() &&
      (drawType == kDrawScreen || drawType == kDrawImage2 || drawType == kDrawDDraw2))
    surfaces_.WaitForVerticalBlank();

  const bool palette = surfaces_.Layout().bitCount == 8;
  IDirectDrawSurface7* a = surfaces_.SurfaceA(view_);
  IDirectDrawSurface7* b = surfaces_.SurfaceB(view_);
  switch (drawType) {
    case kDrawImage1:
    case kDrawImage2: {
      if (!imageDc_) {
        ++skipped_;
        return;
      }
      if (drawType == kDrawImage1) {
        layers_.DrawBackground(imageDc_, true);
        layers_.DrawTrace(imageDc_);
      }
      HDC dc = BeginPlotDc();
      BitBlt(dc, 0, 0, w_, h_, imageDc_, 0, 0, SRCCOPY);
      if (drawType == kDrawImage2) layers_.DrawTrace(dc);
      EndPlotDc(dc);
      return;
    }
    case kDrawDDraw1: {
      if (!a || !surfaces_.Primary()) {
        ++skipped_;
        return;
      }
      if (!palette && surfaces_.ColourFill(a) == DDERR_SURFACELOST) {
        surfaces_.Restore(a);
        PrepareSurfaceBackground();
      }
      HDC dc = nullptr;
      if (FAILED(a->GetDC(&dc))) return;
      layers_.DrawBackground(dc, palette);
      layers_.DrawTrace(dc);
      a->ReleaseDC(dc);
      BlitToScreen(a);
      return;
    }
    case kDrawDDraw2: {
      if (!a || !surfaces_.Primary()) {
        ++skipped_;
        return;
      }
      RECT target = ScreenRect();
      RECT from{0, 0, w_, h_};
      if (surfaces_.Blt(surfaces_.Primary(), &target, a, &from, DDBLT_WAIT, nullptr) ==
          DDERR_SURFACELOST) {
        surfaces_.Restore(surfaces_.Primary());
        surfaces_.Restore(a);
        PrepareSurfaceBackground();
      }
      HDC dc = BeginPlotDc();
      layers_.DrawTrace(dc);
      EndPlotDc(dc);
      return;
    }
    case kDrawDDraw3: {
      if (!a || !b || !surfaces_.Primary()) {
        ++skipped_;
        return;
      }
      RECT from{0, 0, w_, h_};
      RECT to{0, 0, w_, h_};
      if (surfaces_.Blt(b, &to, a, &from, DDBLT_WAIT, nullptr) == DDERR_SURFACELOST) {
        surfaces_.Restore(b);
        surfaces_.Restore(a);
        PrepareSurfaceBackground();
      }
      DrawIntoSurface(b, false, true);
      BlitToScreen(b);
      return;
    }
    default: {
      HDC dc = BeginPlotDc();
      layers_.DrawBackground(dc, true);
      layers_.DrawTrace(dc);
      EndPlotDc(dc);
      return;
    }
  }
}

}  // namespace ov
