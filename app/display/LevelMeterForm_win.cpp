#include "app/display/LevelMeterForm_win.h"

#include <algorithm>

#include "app/display/GdiSystemColours_win.h"
#include "app/resources/ResourceIds.h"

namespace ov {

namespace {

constexpr wchar_t kClassName[] = L"OvLevelMeterForm";
constexpr int32_t kDefaultWidth = 330;
constexpr int32_t kDefaultHeight = 42;
constexpr int32_t kDefaultOffsetX = 345;  // from the wave area's right edge
constexpr int32_t kDefaultOffsetY = 10;

HFONT WindowFont() {
  return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

// Short ASCII texts (numbers, labels) through the wide-character API.
void TextAt(HDC dc, int32_t x, int32_t y, const char* text) {
  wchar_t wide[16];
  int n = 0;
  for (; text[n] && n < 15; ++n) wide[n] = static_cast<unsigned char>(text[n]);
  TextOutW(dc, x, y, wide, n);
}

SIZE TextExtent(HDC dc, const wchar_t* text) {
  SIZE s{0, 0};
  GetTextExtentPoint32W(dc, text, lstrlenW(text), &s);
  return s;
}

MeterRect ToMeterRect(const RECT& r) {
  return {r.left, r.top, r.right, r.bottom};
}

// A client size within the limits (0: no limit on that side).
MeterSize WithinLimits(MeterSize size, const MeterSizeLimits& l) {
  auto clamp = [](int32_t v, int32_t lo, int32_t hi) {
    if (lo > 0) v = std::max(v, lo);
    if (hi > 0) v = std::min(v, hi);
    return v;
  };
  return {clamp(size.width, l.minWidth, l.maxWidth), clamp(size.height, l.minHeight, l.maxHeight)};
}

}  // namespace

TLevelMeterForm::TLevelMeterForm(DisplayHost& host) : host_(host) {}

TLevelMeterForm::~TLevelMeterForm() {
  if (hwnd()) DestroyWindow(hwnd());
  FreeGdi();
  if (numberFont_) DeleteObject(numberFont_);
}

bool TLevelMeterForm::Create() {
  if (!RegisterWindowClass(kClassName, CS_HREDRAW | CS_VREDRAW, nullptr)) return false;
  // WS_THICKFRAME lets the system size the window from the edges that the hit
  // test reports; WM_NCCALCSIZE gives the frame's room to the client area, so
  // no border is drawn and the client size is the window size.
  if (!Window::Create(kClassName, L"Level meter", WS_POPUP | WS_THICKFRAME,
                      WS_EX_TOPMOST | WS_EX_TOOLWINDOW, 0, 0, kDefaultWidth, kDefaultHeight,
                      host_.MainWindow()))
    return false;
  resetButton_ = CreateWindowExW(0, L"BUTTON", L"Res", WS_CHILD | BS_PUSHBUTTON, -100, -100, 10, 10,
                                 hwnd(), reinterpret_cast<HMENU>(IDC_LEVEL_METER_RESET_BUTTON),
                                 GetModuleHandleW(nullptr), nullptr);
  SendMessageW(resetButton_, WM_SETFONT, reinterpret_cast<WPARAM>(WindowFont()), FALSE);
  MeasureScaleText();
  ColoursChanged();
  return true;
}

void TLevelMeterForm::MeasureScaleText() {
  HDC dc = GetDC(hwnd());
  HGDIOBJ old = SelectObject(dc, WindowFont());
  const SIZE s = TextExtent(dc, L"0dB");
  SelectObject(dc, old);
  ReleaseDC(hwnd(), dc);
  tw_ = s.cx;
  th_ = s.cy;
}

void TLevelMeterForm::ColoursChanged() {
  const auto& settings = host_.Settings();
  const int32_t set = std::clamp(settings.Conditions.ColorSet, 0, kColorSetCount - 1);
  ResolveColourSet(settings.ColorSets[set], GdiSystemColours(), colours_);
  CreateGdi();
  if (hwnd()) InvalidateRect(hwnd(), nullptr, FALSE);
}

void TLevelMeterForm::CreateGdi() {
  FreeGdi();
  backBrush_ = CreateSolidBrush(colours_[MeterBackColor]);
  foreBrush_ = CreateSolidBrush(colours_[MeterBarForeColor]);
  barBackBrush_ = CreateSolidBrush(colours_[MeterBarBackColor]);
  innerBrush_ = CreateSolidBrush(colours_[MeterBarInnerColor]);
  peakBrush_ = CreateSolidBrush(colours_[MeterBarPeakColor]);
  framePen_ = CreatePen(PS_SOLID, 0, colours_[FloatFormFrameColor]);
  scalePen_ = CreatePen(PS_SOLID, 0, colours_[MeterScaleColor]);
  barFramePen_ = CreatePen(PS_SOLID, 0, colours_[MeterBarFrameColor]);
}

// The colours' brushes and pens; the number font follows the layout instead.
void TLevelMeterForm::FreeGdi() {
  for (HBRUSH* b : {&backBrush_, &foreBrush_, &barBackBrush_, &innerBrush_, &peakBrush_}) {
    if (*b) DeleteObject(*b);
    *b = nullptr;
  }
  for (HPEN* p : {&framePen_, &scalePen_, &barFramePen_}) {
    if (*p) DeleteObject(*p);
    *p = nullptr;
  }
}

MeterSize TLevelMeterForm::ClientSize() const {
  RECT r{0, 0, 0, 0};
  if (hwnd()) GetClientRect(hwnd(), &r);
  return {r.right, r.bottom};
}

void TLevelMeterForm::ApplyLimits(MeterSize size) {
  SetClientSize(WithinLimits(size, limits_));
}

void TLevelMeterForm::SetClientSize(MeterSize size) {
  // The client area is the whole window.
  SetWindowPos(hwnd(), nullptr, 0, 0, std::max(size.width, 1), std::max(size.height, 1),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TLevelMeterForm::PlaceAtFirstShow() {
  placed_ = true;
  const auto& s = host_.Settings().LevelMeterWindow;
  POINT at{s.PosX, s.PosY};
  if (s.PosX == 0 && s.PosY == 0 && s.Width == 0 && s.Height == 0) {
    RECT area{0, 0, 0, 0};
    if (host_.WaveArea()) GetWindowRect(host_.WaveArea(), &area);
    at = {area.right - kDefaultOffsetX, area.top + kDefaultOffsetY};
  }
  MeterSize size{s.Width > 0 ? s.Width : kDefaultWidth, s.Height > 0 ? s.Height : kDefaultHeight};
  vertical_ = MeterVerticalForSize(size, vertical_);
  limits_ = MeterLimits(vertical_, std::max(channels_, 2), 0.9);
  // Within the limits before it is kept inside the work area.
  size = WithinLimits(size, limits_);
  const RECT want{at.x, at.y, at.x + size.width, at.y + size.height};
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromRect(&want, MONITOR_DEFAULTTONEAREST), &monitor);
  const MeterRect r = KeepInsideWorkArea(ToMeterRect(want), ToMeterRect(monitor.rcWork), false);
  SetWindowPos(hwnd(), HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_NOACTIVATE);
}

void TLevelMeterForm::ConfigureMeter(int32_t visible, int32_t channels, bool marginMode) {
  if (!hwnd()) return;
  if (visible == 0) {
    if (Shown()) {
      StoreGeometry();
      ShowWindow(hwnd(), SW_HIDE);
    }
    return;
  }
  const bool vertical = visible == 2;
  savedChannels_ = std::clamp(channels, 1, kMeterMaxChannels);
  const int n = std::max(savedChannels_, 2);
  marginMode_ = marginMode;
  if (!placed_) {
    channels_ = n;
    PlaceAtFirstShow();
  }
  if (n != channels_) {
    // The thickness for the new count with the bars as thick as they are now.
    const MeterSize size = MeterSizeForChannels(vertical_, n, tw_, th_,
                                                std::max(geometry_.thickness, 1), ClientSize());
    channels_ = n;
    limits_ = MeterLimits(vertical_, n, 0.9);
    ApplyLimits(size);
  }
  if (vertical != vertical_) {
    const MeterSize size = MeterSizeForOrientation(vertical, ClientSize());
    vertical_ = vertical;
    limits_ = MeterLimits(vertical_, n, 0.85);
    switching_ = true;
    ApplyLimits(size);
    switching_ = false;
  }
  LayOut();
  if (!Shown()) ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
  ResetMeter();
}

void TLevelMeterForm::StoreGeometry() {
  if (!hwnd() || !placed_) return;
  auto& s = host_.Settings().LevelMeterWindow;
  RECT r;
  GetWindowRect(hwnd(), &r);
  const MeterSize client = ClientSize();
  s.PosX = r.left;
  s.PosY = r.top;
  s.Width = client.width;
  s.Height = client.height;
  if (savedChannels_ > 0) s.Channels = savedChannels_;
}

void TLevelMeterForm::LayOut() {
  if (!hwnd() || channels_ == 0 || switching_) return;
  const MeterSize client = ClientSize();
  const int32_t F = std::max<int32_t>(MeterFontHeight(vertical_, channels_, client, tw_, th_), 1);
  if (numberFont_) DeleteObject(numberFont_);
  numberFont_ =
      CreateFontW(F, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Verdana");
  HDC dc = GetDC(hwnd());
  HGDIOBJ old = SelectObject(dc, numberFont_);
  const SIZE n = TextExtent(dc, L"-8.8");
  SelectObject(dc, old);
  ReleaseDC(hwnd(), dc);
  geometry_ = LayOutMeter(vertical_, channels_, client, tw_, th_, n.cx, marginMode_);
  if (geometry_.resetShown) {
    const MeterRect& b = geometry_.resetButton;
    wchar_t caption[8];
    int i = 0;
    for (; geometry_.resetCaption[i] && i < 7; ++i) caption[i] = geometry_.resetCaption[i];
    caption[i] = 0;
    SetWindowTextW(resetButton_, caption);
    SetWindowPos(resetButton_, HWND_TOP, b.left, b.top, b.right, b.bottom, SWP_NOACTIVATE);
    ShowWindow(resetButton_, SW_SHOWNA);
  } else {
    ShowWindow(resetButton_, SW_HIDE);
    SetWindowPos(resetButton_, nullptr, -100, -100, 10, 10, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  InvalidateRect(hwnd(), nullptr, FALSE);
}

void TLevelMeterForm::ResetMeter() {
  model_.Reset();
  std::fill(std::begin(levelsPeak_), std::end(levelsPeak_), kMeterFloor);
  std::fill(std::begin(levelsRms_), std::end(levelsRms_), kMeterFloor);
  RunUpdate(levelsPeak_, levelsRms_);
  LayOut();
}

void TLevelMeterForm::ResetMarginSpeedButtonClick() {
  model_.ResetMargins();
  RunUpdate(levelsPeak_, levelsRms_);
}

void TLevelMeterForm::UpdateMeter(const int32_t* peaks, const int32_t* rms) {
  if (!Shown() || !peaks || !rms) return;
  RunUpdate(peaks, rms);
}

void TLevelMeterForm::RunUpdate(const int32_t* peaks, const int32_t* rms) {
  if (channels_ == 0) return;
  for (int i = 0; i < channels_; ++i) {
    levelsPeak_[i] = std::min(peaks[i], 0);
    levelsRms_[i] = rms[i];
  }
  model_.Update(levelsPeak_, levelsRms_, channels_, marginMode_);
  if (!Shown()) return;
  HDC dc = GetDC(hwnd());
  for (int i = 0; i < channels_; ++i) DrawBar(dc, i);
  HGDIOBJ oldFont = SelectObject(dc, numberFont_);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colours_[MeterCharColor]);
  for (int i = 0; i < channels_; ++i) {
    if (model_.Channel(i).textDirty) DrawNumber(dc, i);
  }
  SelectObject(dc, oldFont);
  ReleaseDC(hwnd(), dc);
}

void TLevelMeterForm::Fill(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom,
                           HBRUSH brush) {
  if (right <= left || bottom <= top) return;
  const RECT r{left, top, right, bottom};
  FillRect(dc, &r, brush);
}

// Along a bar, position d (0 .. L + 4) counts from the base: vertical bars
// fill rows base - d .. base - 1, horizontal ones columns x .. x + d - 1.
void TLevelMeterForm::DrawBar(HDC dc, int i) {
  const MeterGeometry& g = geometry_;
  const int32_t T = g.thickness, L = g.length;
  if (T <= 0 || L <= 0) return;
  const MeterBarExtent e = model_.Extent(i, L);
  const int32_t edge = T / 10 + 1;
  const int32_t farEnd = L + 4;
  // One span [from, to) along the bar, across [acrossFrom, acrossTo) of its thickness.
  auto span = [&](int32_t from, int32_t to, int32_t acrossFrom, int32_t acrossTo, HBRUSH brush) {
    if (g.vertical) {
      const int32_t x = g.barX[i];
      Fill(dc, x + acrossFrom, g.base - to, x + acrossTo, g.base - from, brush);
    } else {
      const int32_t y = g.barY[i];
      Fill(dc, g.base + from, y + acrossFrom, g.base + to, y + acrossTo, brush);
    }
  };
  if (e.rms > 0) {
    span(0, e.rms, 0, edge, foreBrush_);
    span(0, e.rms, edge, T - edge, innerBrush_);
    span(0, e.rms, T - edge, T, foreBrush_);
  }
  span(e.rms, e.peak, 0, T, foreBrush_);
  span(e.peak, farEnd, 0, T, barBackBrush_);
  if (e.hold > 0) span(e.hold + 1, e.hold + 5, 0, T, peakBrush_);
}

void TLevelMeterForm::DrawNumber(HDC dc, int i) {
  const MeterGeometry& g = geometry_;
  const MeterSize client = ClientSize();
  const int32_t x = g.numberX[i], y = g.numberY[i];
  Fill(dc, x, y, std::min(x + g.numberWidth, client.width - 1), y + g.fontHeight, backBrush_);
  TextAt(dc, x, y, model_.Channel(i).text);
  model_.MarkDrawn(i);
}

void TLevelMeterForm::DrawScale(HDC dc) {
  const MeterGeometry& g = geometry_;
  const int n = g.channels;
  const int32_t L = g.length, T = g.thickness;
  HGDIOBJ oldFont = SelectObject(dc, WindowFont());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colours_[MeterScaleCharColor]);
  static const wchar_t* const kLabels[] = {L"-60", L"-50", L"-40", L"-30", L"-20", L"-10", L"0dB"};
  for (int k = 0; k <= 6; ++k) {
    const int32_t at = g.base + (g.vertical ? -1 : 1) * (L * k * 100 / kMeterRange);
    const SIZE s = TextExtent(dc, kLabels[k]);
    if (g.vertical) {
      TextOutW(dc, g.scaleX, at - s.cy / 2 + (k == 6 ? 1 : 0), kLabels[k], lstrlenW(kLabels[k]));
    } else {
      TextOutW(dc, at - s.cx / 2 + (k == 6 ? 2 : 0), g.scaleY, kLabels[k], lstrlenW(kLabels[k]));
    }
  }
  // Ticks every 5 dB, 3 pixels long, beside the frame of the bar.
  HGDIOBJ oldPen = SelectObject(dc, scalePen_);
  auto ticks = [&](int bar, bool scaleSide) {
    // 0 .. 550 every 5 dB and the 0 dB end at 600.
    for (int32_t v = 0; v <= kMeterRange; v += 50) {
      const int32_t d = L * v / kMeterRange;
      if (g.vertical) {
        const int32_t y = g.base - d, x0 = scaleSide ? g.barX[bar] - 4 : g.barX[bar] + T + 2;
        MoveToEx(dc, x0, y, nullptr);
        LineTo(dc, x0 + 3, y);
      } else {
        const int32_t x = g.base + d, y0 = scaleSide ? g.barY[bar] - 4 : g.barY[bar] + T + 2;
        MoveToEx(dc, x, y0, nullptr);
        LineTo(dc, x, y0 + 3);
      }
    }
  };
  if (n > 2) {
    for (int i = 0; i < n; ++i) ticks(i, true);
  } else {
    ticks(1, true);
    ticks(0, false);
  }
  // Channel labels.
  for (int i = 0; i < n; ++i) {
    char label[4] = {n > 2 ? static_cast<char>('1' + i) : (i == 0 ? 'L' : 'R'), 0};
    TextAt(dc, g.labelX[i], g.labelY[i], label);
  }
  // Bar frames.
  SelectObject(dc, barFramePen_);
  HGDIOBJ oldBrush = SelectObject(dc, barBackBrush_);
  for (int i = 0; i < n; ++i) {
    if (g.vertical)
      Rectangle(dc, g.barX[i] - 1, g.base - L - 5, g.barX[i] + T + 2, g.base + 2);
    else
      Rectangle(dc, g.barX[i] - 1, g.barY[i] - 1, g.barX[i] + L + 6, g.barY[i] + T + 2);
  }
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldFont);
}

void TLevelMeterForm::PaintTo(HDC dc) {
  const MeterSize client = ClientSize();
  HGDIOBJ oldPen = SelectObject(dc, framePen_);
  HGDIOBJ oldBrush = SelectObject(dc, backBrush_);
  Rectangle(dc, 0, 0, client.width, client.height);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  if (channels_ == 0) return;
  DrawScale(dc);
  for (int i = 0; i < channels_; ++i) DrawBar(dc, i);
  HGDIOBJ oldFont = SelectObject(dc, numberFont_);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colours_[MeterCharColor]);
  for (int i = 0; i < channels_; ++i) DrawNumber(dc, i);
  SelectObject(dc, oldFont);
}

LRESULT TLevelMeterForm::HitTest(LPARAM lParam) {
  RECT r;
  GetWindowRect(hwnd(), &r);
  const int32_t x = static_cast<short>(LOWORD(lParam)) - r.left;
  const int32_t y = static_cast<short>(HIWORD(lParam)) - r.top;
  switch (MeterGrabZone(x, y, {r.right - r.left, r.bottom - r.top})) {
    case GrabZone::Left:
      return HTLEFT;
    case GrabZone::Right:
      return HTRIGHT;
    case GrabZone::Top:
      return HTTOP;
    case GrabZone::Bottom:
      return HTBOTTOM;
    case GrabZone::TopLeft:
      return HTTOPLEFT;
    case GrabZone::TopRight:
      return HTTOPRIGHT;
    case GrabZone::BottomLeft:
      return HTBOTTOMLEFT;
    case GrabZone::BottomRight:
      return HTBOTTOMRIGHT;
    case GrabZone::Move:
      break;
  }
  return HTCAPTION;
}

LRESULT TLevelMeterForm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_NCCALCSIZE:
      return 0;  // no frame: the client area is the whole window
    case WM_NCHITTEST:
      return HitTest(lParam);
    case WM_NCPAINT:
      return 0;
    case WM_NCACTIVATE:
      return TRUE;
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      if (limits_.minWidth > 0) info->ptMinTrackSize.x = limits_.minWidth;
      if (limits_.minHeight > 0) info->ptMinTrackSize.y = limits_.minHeight;
      if (limits_.maxWidth > 0) info->ptMaxTrackSize.x = limits_.maxWidth;
      if (limits_.maxHeight > 0) info->ptMaxTrackSize.y = limits_.maxHeight;
      return 0;
    }
    case WM_SIZE:
      LayOut();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd(), &ps);
      PaintTo(dc);
      EndPaint(hwnd(), &ps);
      return 0;
    }
    case WM_KEYDOWN:
      if (wParam == VK_F1) {
        PostMessageW(host_.MainWindow(), WM_KEYDOWN, wParam, lParam);
        return 0;
      }
      break;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_LEVEL_METER_RESET_BUTTON && HIWORD(wParam) == BN_CLICKED) {
        ResetMarginSpeedButtonClick();
        return 0;
      }
      break;
  }
  return Default(msg, wParam, lParam);
}

}  // namespace ov
