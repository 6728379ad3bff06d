#include "app/display/LissajousForm_win.h"

#include <algorithm>

#include "app/display/GdiSystemColours_win.h"
#include "app/display/LevelMeterLayout.h"

namespace ov {

namespace {

constexpr wchar_t kClassName[] = L"OvLissajousForm";
constexpr wchar_t kPlotClassName[] = L"OvLissajousPlot";
constexpr int32_t kCreationSize = 100;
constexpr int32_t kDefaultSize = 120;
constexpr int32_t kMinimumSize = 80;
constexpr int32_t kPlotOffset = 5;
constexpr int32_t kDefaultOffsetX = 45;  // from the wave area's top left
constexpr int32_t kDefaultOffsetY = 15;

static_assert(sizeof(Kp05Point) == sizeof(PlotPoint) && sizeof(Kp05Point) == sizeof(POINT),
              "the point types share one layout: x, then y, 32 bits each");

const POINT* AsPoints(const Kp05Point* p) {
  return reinterpret_cast<const POINT*>(p);
}

MeterRect ToMeterRect(const RECT& r) {
  return {r.left, r.top, r.right, r.bottom};
}

}  // namespace

TLissajousForm::TLissajousForm(DisplayHost& host, FrameAnalysis& analysis,
                               const FrameCounters& counters)
    : host_(host), analysis_(analysis), counters_(counters) {}

TLissajousForm::~TLissajousForm() {
  if (plot_) DestroyWindow(plot_);
  if (hwnd()) DestroyWindow(hwnd());
  FreeImage();
  FreeGdi();
}

bool TLissajousForm::Create() {
  if (!RegisterWindowClass(kClassName, 0, nullptr)) return false;
  WNDCLASSW plotClass{};
  plotClass.lpfnWndProc = &TLissajousForm::PlotProc;
  plotClass.hInstance = GetModuleHandleW(nullptr);
  plotClass.lpszClassName = kPlotClassName;
  plotClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  RegisterClassW(&plotClass);  // fails harmlessly when already registered
  ColoursChanged();
  // WS_THICKFRAME lets the system size the window from the corner the hit
  // test reports; WM_NCCALCSIZE gives the frame's room to the client area.
  if (!Window::Create(kClassName, L"Lissajous", WS_POPUP | WS_THICKFRAME,
                      WS_EX_TOPMOST | WS_EX_TOOLWINDOW, 0, 0, kCreationSize, kCreationSize,
                      host_.MainWindow()))
    return false;
  plot_ = CreateWindowExW(0, kPlotClassName, L"", WS_CHILD | WS_VISIBLE, kPlotOffset, kPlotOffset,
                          1, 1, hwnd(), nullptr, GetModuleHandleW(nullptr), this);
  if (!plot_) return false;
  FormResize();
  return true;
}

void TLissajousForm::ColoursChanged() {
  const auto& settings = host_.Settings();
  const int32_t set = std::clamp(settings.Conditions.ColorSet, 0, kColorSetCount - 1);
  ResolveColourSet(settings.ColorSets[set], GdiSystemColours(), colours_);
  CreateGdi();
  if (hwnd()) {
    if (DrawType() >= 2) PrepareLissajousBackground();
    InvalidateRect(hwnd(), nullptr, FALSE);
    InvalidateRect(plot_, nullptr, FALSE);
  }
}

void TLissajousForm::CreateGdi() {
  FreeGdi();
  linePen_ = CreatePen(PS_SOLID, 0, colours_[LineColor]);
  scalePen_ = CreatePen(PS_DOT, 0, colours_[ScaleColor]);
  framePen_ = CreatePen(PS_SOLID, 0, colours_[FrameColor]);
  outerPen_ = CreatePen(PS_SOLID, 0, colours_[FloatFormFrameColor]);
  plotBrush_ = CreateSolidBrush(colours_[DiagramBackColor]);
  backBrush_ = CreateSolidBrush(colours_[BackColor]);
}

void TLissajousForm::FreeGdi() {
  for (HPEN* p : {&linePen_, &scalePen_, &framePen_, &outerPen_}) {
    if (*p) DeleteObject(*p);
    *p = nullptr;
  }
  for (HBRUSH* b : {&plotBrush_, &backBrush_}) {
    if (*b) DeleteObject(*b);
    *b = nullptr;
  }
}

void TLissajousForm::FreeImage() {
  if (imageDc_) {
    SelectObject(imageDc_, oldImage_);
    DeleteDC(imageDc_);
  }
  if (image_) DeleteObject(image_);
  imageDc_ = nullptr;
  image_ = nullptr;
  oldImage_ = nullptr;
}

int32_t TLissajousForm::DrawType() const {
  // The DirectDraw types present like "Image 2" here.
  return std::clamp(host_.Settings().Conditions.WaveDrawType, 0, 2);
}

void TLissajousForm::ShowForm() {
  if (!hwnd()) return;
  RECT want;
  if (!placed_) {
    placed_ = true;
    const auto& s = host_.Settings().LissajousWindow;
    POINT at{s.PosX, s.PosY};
    if (s.PosX == 0 && s.PosY == 0 && s.Width == 0 && s.Height == 0) {
      RECT area{0, 0, 0, 0};
      if (host_.WaveArea()) GetWindowRect(host_.WaveArea(), &area);
      at = {area.left + kDefaultOffsetX, area.top + kDefaultOffsetY};
    }
    const int32_t w = std::max(s.Width > 0 ? s.Width : kDefaultSize, kMinimumSize);
    const int32_t h = std::max(s.Height > 0 ? s.Height : kDefaultSize, kMinimumSize);
    want = {at.x, at.y, at.x + w, at.y + h};
  } else {
    GetWindowRect(hwnd(), &want);
  }
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromRect(&want, MONITOR_DEFAULTTONEAREST), &monitor);
  const MeterRect r = KeepInsideWorkArea(ToMeterRect(want), ToMeterRect(monitor.rcWork), true);
  SetWindowPos(hwnd(), HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_NOACTIVATE);
  ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
}

void TLissajousForm::HideForm() {
  if (!Shown()) return;
  StoreGeometry();
  ShowWindow(hwnd(), SW_HIDE);
}

void TLissajousForm::StoreGeometry() {
  if (!hwnd() || !placed_) return;
  auto& s = host_.Settings().LissajousWindow;
  RECT w, c;
  GetWindowRect(hwnd(), &w);
  GetClientRect(hwnd(), &c);
  s.PosX = w.left;
  s.PosY = w.top;
  s.Width = c.right;
  s.Height = c.bottom;
}

void TLissajousForm::FormResize() {
  if (!hwnd() || !plot_) return;
  RECT c;
  GetClientRect(hwnd(), &c);
  FreeImage();
  side_ = LissajousPlotSide(c.right, c.bottom);
  if (side_ > 0) {
    HDC screen = GetDC(hwnd());
    imageDc_ = CreateCompatibleDC(screen);
    image_ = CreateCompatibleBitmap(screen, side_, side_);
    oldImage_ = SelectObject(imageDc_, image_);
    ReleaseDC(hwnd(), screen);
  }
  SetWindowPos(plot_, nullptr, kPlotOffset, kPlotOffset, std::max(side_, 1), std::max(side_, 1),
               SWP_NOZORDER | SWP_NOACTIVATE);
  grid_ = ComputeLissajousGrid(side_);
  if (DrawType() > 1) PrepareLissajousBackground();
  if (c.right == c.bottom) {
    InvalidateRect(hwnd(), nullptr, FALSE);
    InvalidateRect(plot_, nullptr, FALSE);
  } else {
    // The client area is the whole window: a square window is a square client.
    SetWindowPos(hwnd(), nullptr, 0, 0, c.right, c.right,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

int32_t TLissajousForm::ComputeLissajousPoints(int32_t width, int32_t height, Kp05Point* points) {
  if (!points) {
    width = height = side_;
    points = analysis_.LissajousPoints.data();
  }
  const int32_t channels = analysis_.channelCount;
  if (!points || channels <= 0 || analysis_.N <= 0 || width <= 0 || height <= 0) return 0;
  const int32_t display = std::clamp(analysis_.displayChannel, 0, channels - 1);
  const int32_t following = LissajousFollowingChannel(display, channels);
  const int32_t* v = analysis_.WaveData[display].data();
  const int32_t* u = analysis_.WaveData[following].data();
  if (!v || !u) return 0;
  const uint32_t available = static_cast<uint32_t>(std::min(analysis_.N, analysis_.waveDataLength));
  const uint32_t count =
      LissajousPointCount(analysis_.Format.samplesPerSec,
                          static_cast<uint32_t>(std::max(counters_.framesPerSecond, 0)), available);
  return static_cast<int32_t>(
      ov::ComputeLissajousPoints(v, u, count, host_.Settings().Conditions.WaveYDispMagRate, width,
                                 height, reinterpret_cast<PlotPoint*>(points)));
}

void TLissajousForm::DrawLissajous() {
  if (!Shown()) return;
  pointCount_ = ComputeLissajousPoints(0, 0, nullptr);
  Present();
}

void TLissajousForm::DrawGrid(HDC dc, bool fill) {
  if (side_ <= 0) return;
  if (fill) {
    const RECT r{0, 0, side_, side_};
    FillRect(dc, &r, plotBrush_);
  }
  HGDIOBJ oldPen = SelectObject(dc, scalePen_);
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  for (int32_t a : grid_.lines) {
    MoveToEx(dc, a, 0, nullptr);
    LineTo(dc, a, side_);
    MoveToEx(dc, 0, a, nullptr);
    LineTo(dc, side_, a);
  }
  SetBkMode(dc, oldMode);
  SelectObject(dc, oldPen);
}

void TLissajousForm::DrawTrace(HDC dc) {
  const uint32_t n = LissajousTracePoints(static_cast<uint32_t>(std::max(pointCount_, 0)));
  if (n < 2) return;
  HGDIOBJ oldPen = SelectObject(dc, linePen_);
  const POINT* points = AsPoints(analysis_.LissajousPoints.data());
  if (host_.Settings().Conditions.LissajousBezier) {
    if (n >= 4) PolyBezier(dc, points, n);
  } else {
    Polyline(dc, points, static_cast<int>(n));
  }
  SelectObject(dc, oldPen);
}

void TLissajousForm::PrepareLissajousBackground() {
  if (imageDc_) DrawGrid(imageDc_, true);
}

void TLissajousForm::Present() {
  if (side_ <= 0 || !plot_) return;
  HDC dc = GetDC(plot_);
  switch (DrawType()) {
    case 0:
      DrawGrid(dc, true);
      DrawTrace(dc);
      break;
    case 1:
      if (imageDc_) {
        DrawGrid(imageDc_, true);
        DrawTrace(imageDc_);
        BitBlt(dc, 0, 0, side_, side_, imageDc_, 0, 0, SRCCOPY);
      }
      break;
    default:
      if (imageDc_) BitBlt(dc, 0, 0, side_, side_, imageDc_, 0, 0, SRCCOPY);
      DrawTrace(dc);
      break;
  }
  ReleaseDC(plot_, dc);
}

void TLissajousForm::Paint(HDC dc) {
  RECT c;
  GetClientRect(hwnd(), &c);
  HGDIOBJ oldPen = SelectObject(dc, outerPen_);
  HGDIOBJ oldBrush = SelectObject(dc, backBrush_);
  Rectangle(dc, 0, 0, c.right, c.bottom);
  SelectObject(dc, framePen_);
  SelectObject(dc, GetStockObject(NULL_BRUSH));
  Rectangle(dc, kPlotOffset - 1, kPlotOffset - 1, side_ + kPlotOffset + 1, side_ + kPlotOffset + 1);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
}

LRESULT CALLBACK TLissajousForm::PlotProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* self =
        static_cast<TLissajousForm*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<TLissajousForm*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (msg) {
    case WM_NCHITTEST:
      return HTTRANSPARENT;  // the form drags and sizes the window
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (self) {
        if (self->analysis_.frameValid) {
          self->pointCount_ = self->ComputeLissajousPoints(0, 0, nullptr);
          EndPaint(hwnd, &ps);
          self->Present();
          return 0;
        }
        self->DrawGrid(dc, true);
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      if (self) self->plot_ = nullptr;
      break;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT TLissajousForm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_NCCALCSIZE:
      return 0;  // no frame: the client area is the whole window
    case WM_NCPAINT:
      return 0;
    case WM_NCACTIVATE:
      return TRUE;
    case WM_NCHITTEST: {
      RECT r;
      GetWindowRect(hwnd(), &r);
      const int32_t x = static_cast<short>(LOWORD(lParam)) - r.left;
      const int32_t y = static_cast<short>(HIWORD(lParam)) - r.top;
      return LissajousGrabZone(x, y, {r.right - r.left, r.bottom - r.top}) == GrabZone::BottomRight
                 ? HTBOTTOMRIGHT
                 : HTCAPTION;
    }
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      info->ptMinTrackSize = {kMinimumSize, kMinimumSize};
      return 0;
    }
    case WM_SIZE:
      FormResize();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd(), &ps);
      Paint(dc);
      EndPaint(hwnd(), &ps);
      return 0;
    }
    case WM_KEYDOWN:
      if (wParam == VK_F1) {
        PostMessageW(host_.MainWindow(), WM_KEYDOWN, wParam, lParam);
        return 0;
      }
      break;
  }
  return Default(msg, wParam, lParam);
}

}  // namespace ov
