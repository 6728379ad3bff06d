#include "app/display/DirectDrawSurfaces_win.h"

namespace ov {

namespace {

// IID_IDirectDraw7, so that no GUID library is needed.
constexpr GUID kIidDirectDraw7 = {
    0x15e65ec0, 0x3b9c, 0x11d2, {0xb9, 0x2f, 0x00, 0x60, 0x97, 0x97, 0xea, 0x5b}};

using DirectDrawCreateExFn = HRESULT(WINAPI*)(GUID*, void**, REFIID, IUnknown*);

template <typename T>
void ReleaseCom(T*& p) {
  if (p) p->Release();
  p = nullptr;
}

IDirectDrawSurface7* CreateOffscreen(IDirectDraw7* dd, SIZE size) {
  if (size.cx <= 0 || size.cy <= 0) return nullptr;
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
  desc.dwWidth = static_cast<DWORD>(size.cx);
  desc.dwHeight = static_cast<DWORD>(size.cy);
  IDirectDrawSurface7* s = nullptr;
  if (FAILED(dd->CreateSurface(&desc, &s, nullptr))) return nullptr;
  return s;
}

}  // namespace

DirectDrawSurfaces::DirectDrawSurfaces(DirectDrawSeam* seam) : seam_(seam ? seam : &defaultSeam_) {}

DirectDrawSurfaces::~DirectDrawSurfaces() {
  ReleaseSurfaces();
  ReleaseCom(dd_);
  if (cooperationWindow_) DestroyWindow(cooperationWindow_);
  if (library_) FreeLibrary(library_);
}

bool DirectDrawSurfaces::ProbeVBlank(HWND mainWindow) {
  vblank_ = false;
  if (!dd_) {
    if (!library_) library_ = LoadLibraryW(L"DDRAW.DLL");
    if (!library_) return false;
    auto create = reinterpret_cast<DirectDrawCreateExFn>(
        reinterpret_cast<void*>(GetProcAddress(library_, "DirectDrawCreateEx")));
    void* object = nullptr;
    if (!create || FAILED(create(nullptr, &object, kIidDirectDraw7, nullptr))) return false;
    dd_ = static_cast<IDirectDraw7*>(object);
    // The object is bound to a hidden window of its own: under Wine an object
    // bound to the main window keeps GDI from reaching that window's
    // children afterwards. Windowed (normal) mode needs nothing of the
    // window; the primary surface's clipper is bound to the main window.
    (void)mainWindow;
    if (!cooperationWindow_)
      cooperationWindow_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr,
                                           nullptr, GetModuleHandleW(nullptr), nullptr);
    if (FAILED(dd_->SetCooperativeLevel(cooperationWindow_, DDSCL_NORMAL))) {
      ReleaseCom(dd_);
      return false;
    }
  }
  vblank_ = SUCCEEDED(seam_->WaitForVerticalBlank(dd_));
  return vblank_;
}

void DirectDrawSurfaces::ReleaseObject() {
  ReleaseSurfaces();
  ReleaseCom(dd_);
}

void DirectDrawSurfaces::ReleaseSurfaces() {
  for (int v = 0; v < kViewCount; ++v) {
    ReleaseCom(b_[v]);
    ReleaseCom(a_[v]);
  }
  ReleaseCom(primary_);
}

void DirectDrawSurfaces::CreateSurfaces(HWND mainWindow, SIZE waveArea, SIZE spectrumArea,
                                        uint32_t diagramBack) {
  ReleaseSurfaces();
  if (!dd_) return;
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  if (FAILED(dd_->CreateSurface(&desc, &primary_, nullptr))) {
    primary_ = nullptr;
    return;
  }
  const SIZE sizes[kViewCount] = {waveArea, spectrumArea};
  for (int v = 0; v < kViewCount; ++v) {
    if (sizes[v].cx <= 0 || sizes[v].cy <= 0) continue;  // nothing to draw there
    if (!(a_[v] = CreateOffscreen(dd_, sizes[v]))) return;
    if (!(b_[v] = CreateOffscreen(dd_, sizes[v]))) return;
  }
  IDirectDrawClipper* clipper = nullptr;
  if (FAILED(dd_->CreateClipper(0, &clipper, nullptr))) return;
  const bool bound =
      SUCCEEDED(clipper->SetHWnd(0, mainWindow)) && SUCCEEDED(primary_->SetClipper(clipper));
  clipper->Release();  // the primary surface holds it
  if (!bound) return;
  DDPIXELFORMAT format{};
  format.dwSize = sizeof format;
  if (FAILED(primary_->GetPixelFormat(&format))) return;
  layout_.bitCount = format.dwRGBBitCount;
  layout_.greenMask = format.dwGBitMask;
  SetFillColour(diagramBack);
}

HRESULT DirectDrawSurfaces::Blt(IDirectDrawSurface7* target, RECT* targetRect,
                                IDirectDrawSurface7* source, RECT* sourceRect, DWORD flags,
                                DDBLTFX* fx) {
  return seam_->Blt(target, targetRect, source, sourceRect, flags, fx);
}

void DirectDrawSurfaces::WaitForVerticalBlank() {
  if (dd_) seam_->WaitForVerticalBlank(dd_);
}

HRESULT DirectDrawSurfaces::ColourFill(IDirectDrawSurface7* surface) {
  DDBLTFX fx{};
  fx.dwSize = sizeof fx;
  fx.dwFillColor = fill_;
  return Blt(surface, nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}

void DirectDrawSurfaces::Restore(IDirectDrawSurface7* surface) {
  if (surface) seam_->Restore(surface);
}

}  // namespace ov
