// The DirectDraw resources of the main window's views: the DirectDraw object
// (DDSCL_NORMAL with the main window), the primary surface with a clipper on
// the main window, and per view (wave, spectrum) an off-screen surface A
// (background, or the whole picture for "DDraw 1") and B (composition buffer
// for "DDraw 3") of the view area's size.
//
// Main thread only. The object owns every surface, the DirectDraw object and
// the loaded "DDRAW.DLL"; without the library or the object everything stays
// absent and the DirectDraw draw types present nothing.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <cstdint>

#include "app/display/ViewColours.h"

namespace ov {

// The calls of the presenting step that Wine cannot make behave like a real
// display: the vertical-blank wait returns at once there, and surfaces are
// never lost by themselves. Tests count the waits and inject surface loss.
class DirectDrawSeam {
 public:
  virtual ~DirectDrawSeam() = default;
  virtual HRESULT Blt(IDirectDrawSurface7* target, RECT* targetRect, IDirectDrawSurface7* source,
                      RECT* sourceRect, DWORD flags, DDBLTFX* fx) {
    return target->Blt(targetRect, source, sourceRect, flags, fx);
  }
  virtual HRESULT WaitForVerticalBlank(IDirectDraw7* dd) {
    return dd->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr);
  }
  virtual HRESULT Restore(IDirectDrawSurface7* surface) { return surface->Restore(); }
};

enum DisplayViewIndex { kWaveViewIndex = 0, kSpectrumViewIndex = 1, kViewCount = 2 };

class DirectDrawSurfaces {
 public:
  // seam: null uses the real calls.
  explicit DirectDrawSurfaces(DirectDrawSeam* seam = nullptr);
  ~DirectDrawSurfaces();
  DirectDrawSurfaces(const DirectDrawSurfaces&) = delete;
  DirectDrawSurfaces& operator=(const DirectDrawSurfaces&) = delete;

  // Creates the DirectDraw object with the main window's cooperative level
  // and tests one vertical-blank wait. Returns VBlankAvailable().
  bool ProbeVBlank(HWND mainWindow);
  bool Available() const { return dd_ != nullptr; }
  // Releases the surfaces and the DirectDraw object (the library stays
  // loaded); ProbeVBlank creates the object again.
  void ReleaseObject();
  bool VBlankAvailable() const { return vblank_; }

  // Releases and re-creates the surfaces for the area sizes (an area of
  // non-positive size gets none), binds the clipper, reads the primary's
  // pixel layout and computes the fill colour of diagramBack (RGB). The first
  // failing call ends it; the surfaces not yet created stay absent.
  void CreateSurfaces(HWND mainWindow, SIZE waveArea, SIZE spectrumArea, uint32_t diagramBack);
  void ReleaseSurfaces();
  void SetFillColour(uint32_t diagramBack) { fill_ = ComputeFillColour(diagramBack, layout_); }

  IDirectDrawSurface7* Primary() const { return primary_; }
  IDirectDrawSurface7* SurfaceA(int view) const { return a_[view]; }
  IDirectDrawSurface7* SurfaceB(int view) const { return b_[view]; }
  const PixelLayout& Layout() const { return layout_; }
  uint32_t FillColour() const { return fill_; }

  // Through the seam.
  HRESULT Blt(IDirectDrawSurface7* target, RECT* targetRect, IDirectDrawSurface7* source,
              RECT* sourceRect, DWORD flags, DDBLTFX* fx);
  void WaitForVerticalBlank();
  // Colour-fills a whole surface with the fill colour; the blit's result.
  HRESULT ColourFill(IDirectDrawSurface7* surface);
  // Restores a lost surface (null does nothing).
  void Restore(IDirectDrawSurface7* surface);

 private:
  DirectDrawSeam defaultSeam_;
  DirectDrawSeam* seam_;
  HMODULE library_ = nullptr;
  HWND cooperationWindow_ = nullptr;
  IDirectDraw7* dd_ = nullptr;
  bool vblank_ = false;
  IDirectDrawSurface7* primary_ = nullptr;
  IDirectDrawSurface7* a_[kViewCount] = {};
  IDirectDrawSurface7* b_[kViewCount] = {};
  PixelLayout layout_;
  uint32_t fill_ = 0;
};

}  // namespace ov
