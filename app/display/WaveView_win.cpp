#include "app/display/WaveView_win.h"

#include "app/display/GdiSystemColours_win.h"
#include "app/display/WaveReadout.h"
#include "app/display/WaveTrace.h"

namespace ov {

static_assert(sizeof(POINT) == sizeof(Kp05Point), "points are passed to GDI as they are");

namespace {

const POINT* AsPoints(const Kp05Point* p) {
  return reinterpret_cast<const POINT*>(p);
}

void TextAt(HDC dc, int x, int y, const char* text, UINT align) {
  wchar_t wide[32];
  int n = 0;
  for (; text[n] && n < 31; ++n) wide[n] = static_cast<unsigned char>(text[n]);
  SetTextAlign(dc, align | TA_TOP);
  TextOutW(dc, x, y, wide, n);
}

}  // namespace

WaveView::WaveView(DisplayHost& host, FrameAnalysis& analysis, const Kp05Api& fft,
                   DirectDrawSurfaces& surfaces, FloatForm& readout)
    : host_(host),
      analysis_(analysis),
      fft_(fft),
      readout_(readout),
      presenter_(surfaces, kWaveViewIndex, *this) {}

WaveView::~WaveView() {
  FreeGdi();
}

void WaveView::FreeGdi() {
  for (HGDIOBJ* o :
       {reinterpret_cast<HGDIOBJ*>(&plotBrush_), reinterpret_cast<HGDIOBJ*>(&backBrush_),
        reinterpret_cast<HGDIOBJ*>(&scalePen_), reinterpret_cast<HGDIOBJ*>(&linePen_),
        reinterpret_cast<HGDIOBJ*>(&framePen_)}) {
    if (*o) DeleteObject(*o);
    *o = nullptr;
  }
}

void WaveView::SetColours(const ResolvedColours& colours) {
  FreeGdi();
  colours_ = colours;
  plotBrush_ = CreateSolidBrush(colours[DiagramBackColor]);
  backBrush_ = CreateSolidBrush(colours[BackColor]);
  scalePen_ = CreatePen(PS_DOT, 0, colours[ScaleColor]);
  linePen_ = CreatePen(PS_SOLID, 0, colours[LineColor]);
  framePen_ = CreatePen(PS_SOLID, 0, colours[FrameColor]);
}

bool WaveView::Lissajous() const {
  return host_.Settings().Conditions.WaveDispType == 1;
}

void WaveView::ComputeWaveAxis() {
  const auto& c = host_.Settings().Conditions;
  plot_ = host_.WavePlot();
  WaveAxisInput in;
  in.sampleN = analysis_.N > 0 ? analysis_.N : c.Sample_N;
  in.xMag = c.WaveXDispMagRate;
  in.yMag = c.WaveYDispMagRate < 1 ? 1 : c.WaveYDispMagRate;
  in.sampleRate = analysis_.Format.samplesPerSec;
  in.width = plot_.right - plot_.left;
  in.height = plot_.bottom - plot_.top;
  in.lissajous = Lissajous();
  ov::ComputeWaveAxis(in, fft_.DLL_PrepareCoordinatesSub, axis_);
}

void WaveView::Layout() {
  ComputeWaveAxis();
  presenter_.Layout(host_.WaveArea(), plot_, host_.Settings().Conditions.WaveDrawType);
}

void WaveView::ComputeWavePoints() {
  RECT area;
  GetClientRect(host_.WaveArea(), &area);
  if (area.bottom < kMinViewAreaHeight) return;
  if (Lissajous()) {
    axis_.pointCount = lissajous_ ? lissajous_->ComputeLissajousPoints(
                                        axis_.in.width, axis_.in.height, axis_.points.data())
                                  : 0;
    return;
  }
  const int32_t* samples = analysis_.selectedSamples;
  if (!samples || analysis_.waveDataLength < axis_.in.sampleN) {
    axis_.pointCount = 0;
    return;
  }
  shownStart_ =
      TriggerStart(samples, axis_.in.sampleN, axis_.in.xMag, axis_.in.yMag, analysis_.live);
  ov::ComputeWavePoints(axis_, samples + shownStart_);
}

void WaveView::DrawWave() {
  RECT area;
  GetClientRect(host_.WaveArea(), &area);
  if (area.bottom < kMinViewAreaHeight) return;
  const auto& c = host_.Settings().Conditions;
  presenter_.Present(c.WaveDrawType, c.WaveCheckVBlank);
}

void WaveView::DrawBackground(HDC dc, bool clear) {
  const int32_t w = axis_.in.width, h = axis_.in.height;
  if (clear) {
    RECT r{0, 0, w, h};
    FillRect(dc, &r, plotBrush_);
  }
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  HGDIOBJ oldPen = SelectObject(dc, scalePen_);
  for (int32_t i = 0; i < axis_.timeLineCount; ++i) {
    MoveToEx(dc, axis_.timeLines[i], 0, nullptr);
    LineTo(dc, axis_.timeLines[i], h);
  }
  for (int32_t y : axis_.amplitudeLines) {
    MoveToEx(dc, 0, y, nullptr);
    LineTo(dc, w, y);
  }
  SelectObject(dc, oldPen);
  SetBkMode(dc, oldMode);
}

void WaveView::DrawTrace(HDC dc) {
  int32_t count = axis_.pointCount < kMaxTracePoints ? axis_.pointCount : kMaxTracePoints;
  HGDIOBJ oldPen = SelectObject(dc, linePen_);
  if (Lissajous()) {
    const int32_t c = ((count - 1) / 3) * 3;
    if (c > 0) {
      if (host_.Settings().Conditions.LissajousBezier)
        PolyBezier(dc, AsPoints(axis_.points.data()), static_cast<DWORD>(c + 1));
      else
        Polyline(dc, AsPoints(axis_.points.data()), c);
    }
  } else if (count - 1 >= 2) {
    Polyline(dc, AsPoints(axis_.points.data()), count - 1);
  }
  SelectObject(dc, oldPen);
}

void WaveView::DrawBevel(HDC dc, const RECT& r) {
  const GdiSystemColours system;
  const int32_t back = host_.Settings().ColorSets[host_.Settings().Conditions.ColorSet][BackColor];
  const BevelColours b = ComputeBevelColours(static_cast<uint32_t>(back), system);
  const int right = r.right - 1, bottom = r.bottom - 1;
  auto edge = [&](uint32_t colour, int x0, int y0, int x1, int y1, int x2, int y2) {
    HPEN pen = CreatePen(PS_SOLID, 0, colour);
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
    LineTo(dc, x2, y2);
    SelectObject(dc, old);
    DeleteObject(pen);
  };
  // Left and top, then right and bottom, of each ring.
  edge(b.outerTopLeft, 0, bottom, 0, 0, right, 0);
  edge(b.outerBottomRight, right, 0, right, bottom, -1, bottom);
  edge(b.innerTopLeft, 1, bottom - 1, 1, 1, right - 1, 1);
  edge(b.innerBottomRight, right - 1, 1, right - 1, bottom - 1, 0, bottom - 1);
  SelectObject(dc, GetStockObject(BLACK_PEN));
}

void WaveView::DrawLabels(HDC dc) {
  const int32_t left = plot_.left, w = axis_.in.width, h = axis_.in.height;
  HGDIOBJ oldPen = SelectObject(dc, framePen_);
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  Rectangle(dc, left - 1, kWavePlotTop - 1, left + w + 1, h + kWavePlotTop + 1);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);

  HGDIOBJ oldFont =
      SelectObject(dc, host_.ViewFont() ? host_.ViewFont() : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colours_[CharColor]);
  char text[24];
  if (!Lissajous()) {
    const int32_t y = h + kWavePlotTop + 2;
    for (int32_t k = 1; k <= axis_.timeLineCount; ++k) {
      FormatTimeLabel(axis_.gridStep, k, text);
      TextAt(dc, left + axis_.timeLines[k - 1], y, text, TA_CENTER);
    }
    if (axis_.timeLineCount >= 2) {
      const int32_t n = axis_.timeLineCount;
      const int32_t x = left + (axis_.timeLines[n - 2] + axis_.timeLines[n - 1]) / 2;
      TextAt(dc, x, y + 1, TimeUnit(axis_.gridStep), TA_CENTER);
    }
  }
  SIZE zero{0, 0};
  GetTextExtentPoint32W(dc, L"0", 1, &zero);
  for (int32_t line = 0; line < 3; ++line) {
    FormatAmplitudeLabel(axis_.in.yMag, line, text);
    const int32_t y = axis_.amplitudeLines[line] + kWavePlotTop - (zero.cy / 2 - 1);
    TextAt(dc, left - 2, y, text, TA_RIGHT);
  }
  SelectObject(dc, oldFont);
}

void WaveView::Paint(HDC dc) {
  RECT client;
  GetClientRect(host_.WaveArea(), &client);
  FillRect(dc, &client, backBrush_);
  DrawBevel(dc, client);
  if (client.bottom < kMinViewAreaHeight) return;
  DrawLabels(dc);
  if (analysis_.frameValid) {
    ComputeWavePoints();
    DrawWave();
  }
}

void WaveView::SetPaused(bool paused) {
  paused_ = paused;
  if (!paused) HideReadout();
}

bool WaveView::ReadoutActive() const {
  return paused_ && !Lissajous() && axis_.columnCount > 0 && analysis_.selectedSamples;
}

bool WaveView::InPlot(int32_t x, int32_t y) const {
  return x >= plot_.left && x < plot_.right && y >= plot_.top && y < plot_.bottom;
}

bool WaveView::CrossCursorAt(int32_t x, int32_t y) const {
  return ReadoutActive() && InPlot(x, y);
}

void WaveView::HideReadout() {
  readout_.Hide();
  readoutSkip_ = 0;
}

void WaveView::ShowReadoutAt(int32_t px, int32_t py, bool shift) {
  const int32_t idx = ReadoutIndex(axis_, px);
  const int32_t sample = analysis_.selectedSamples[shownStart_ + idx];
  const auto& format = analysis_.Format;
  const bool hex = host_.Settings().Conditions.WaveValDispInHex != shift;
  char value[32], time[32];
  const int32_t bits = analysis_.FormatIsFloat ? 32 : format.bitsPerSample;
  FormatReadoutValue(sample, bits, hex, value);
  FormatReadoutTime(idx, format.samplesPerSec, axis_.span, time);
  readout_.ShowReadout(value, time, false, host_.WaveArea(), plot_, POINT{px, py});
}

void WaveView::MouseDown(int32_t x, int32_t y, bool leftButton) {
  host_.MoveFocusFromEdits();
  if (!leftButton || !InPlot(x, y) || !ReadoutActive()) return;
  dragging_ = true;
  SetCapture(host_.WaveArea());
  const PeakSnap snap =
      SnapToPeak(axis_, analysis_.selectedSamples + shownStart_, x - plot_.left, y - plot_.top);
  POINT p{plot_.left + snap.x, plot_.top + snap.y};
  ClientToScreen(host_.WaveArea(), &p);
  readoutSkip_ = kReadoutSkipAfterSnap;
  SetCursorPos(p.x, p.y);
}

void WaveView::MouseUp() {
  if (dragging_) ReleaseCapture();
  dragging_ = false;
}

void WaveView::MouseMove(int32_t x, int32_t y, bool shift) {
  if (dragging_ || InPlot(x, y)) {
    if (!ReadoutActive()) return;
    if (readoutSkip_ > 0) {
      --readoutSkip_;
      return;
    }
    // During a drag the pointer may leave the plot: clamp it to the plot.
    int32_t px = x - plot_.left, py = y - plot_.top;
    if (px < 0) px = 0;
    if (px > axis_.in.width - 1) px = axis_.in.width - 1;
    if (py < 0) py = 0;
    if (py > axis_.in.height - 1) py = axis_.in.height - 1;
    ShowReadoutAt(px, py, shift);
    return;
  }
  HideReadout();
}

}  // namespace ov
