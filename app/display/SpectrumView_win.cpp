#include "app/display/SpectrumView_win.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "app/common/Utf8.h"
#include "app/display/SpectrumPanel.h"
#include "app/display/ViewDrawing_win.h"

namespace ov {

static_assert(sizeof(POINT) == sizeof(Kp05Point), "points are passed to GDI as they are");

namespace {

constexpr int32_t kMinAreaHeight = 10;
constexpr int32_t kReadoutSkipAfterClick = 3;

const POINT* AsPoints(const Kp05Point* p) {
  return reinterpret_cast<const POINT*>(p);
}

int32_t ClientHeight(HWND window) {
  RECT r{0, 0, 0, 0};
  if (window) GetClientRect(window, &r);
  return r.bottom;
}

}  // namespace

SpectrumView::SpectrumView(DisplayHost& host, FrameAnalysis& analysis, const Kp05Api& fft,
                           DirectDrawSurfaces& surfaces, FloatForm& readout,
                           FrameCounters& counters)
    : host_(host),
      analysis_(analysis),
      fft_(fft),
      readout_(readout),
      counters_(counters),
      presenter_(surfaces, kSpectrumViewIndex, *this) {}

SpectrumView::~SpectrumView() {
  FreeImage3D();
  FreeGdi();
}

void SpectrumView::FreeGdi() {
  HGDIOBJ* objects[] = {
      reinterpret_cast<HGDIOBJ*>(&plotBrush_),     reinterpret_cast<HGDIOBJ*>(&backBrush_),
      reinterpret_cast<HGDIOBJ*>(&scalePen_),      reinterpret_cast<HGDIOBJ*>(&linePen_),
      reinterpret_cast<HGDIOBJ*>(&framePen_),      reinterpret_cast<HGDIOBJ*>(&cursor1Pen_),
      reinterpret_cast<HGDIOBJ*>(&cursor2DotPen_), reinterpret_cast<HGDIOBJ*>(&ovl1Pen_),
      reinterpret_cast<HGDIOBJ*>(&ovl2Pen_)};
  for (HGDIOBJ* o : objects) {
    if (*o) DeleteObject(*o);
    *o = nullptr;
  }
}

void SpectrumView::FreeImage3D() {
  if (image3D_.dc) {
    SelectObject(image3D_.dc, image3D_.old);
    DeleteDC(image3D_.dc);
  }
  if (image3D_.bitmap) DeleteObject(image3D_.bitmap);
  image3D_ = Image{};
}

void SpectrumView::SetColours(const ResolvedColours& colours) {
  FreeGdi();
  colours_ = colours;
  plotBrush_ = CreateSolidBrush(colours[DiagramBackColor]);
  backBrush_ = CreateSolidBrush(colours[BackColor]);
  scalePen_ = CreatePen(PS_DOT, 0, colours[ScaleColor]);
  linePen_ = CreatePen(PS_SOLID, 0, colours[LineColor]);
  framePen_ = CreatePen(PS_SOLID, 0, colours[FrameColor]);
  cursor1Pen_ = CreatePen(PS_SOLID, 0, colours[Cursor1Color]);
  cursor2DotPen_ = CreatePen(PS_DOT, 0, colours[Cursor2Color]);
  ovl1Pen_ = CreatePen(PS_SOLID, 0, colours[OVL1Color]);
  ovl2Pen_ = CreatePen(PS_SOLID, 0, colours[OVL2Color]);
  host_.SetOverlayCaptionColours(colours[OVL1Color], colours[OVL2Color]);
}

bool SpectrumView::ThreeD() const {
  return host_.Settings().Conditions.SpectrumDispType == 1;
}

void SpectrumView::ComputeSpectrumAxis() {
  const auto& c = host_.Settings().Conditions;
  plot_ = host_.SpectrumPlot();
  FrameAnalysis& a = analysis_;

  // A new Nyquist frequency resets the measure-mode state.
  const double nyquist = a.Format.samplesPerSec / 2.0;
  if (lastNyquist_ > 0.0 && nyquist != lastNyquist_) {
    a.ResetSpectrumState();
    HideReadout();
  }
  lastNyquist_ = nyquist;

  SpectrumAxisInput in;
  in.sampleRate = a.Format.samplesPerSec;
  in.sampleN = a.N > 0 ? a.N : c.Sample_N;
  in.width = plot_.right - plot_.left;
  in.height = plot_.bottom - plot_.top;
  in.threeD = host_.SpectrumThreeD();
  in.dispType = c.SpectrumDispType;
  in.angle3D = c.Angle3D;
  in.deltaX3D = c.DeltaX3D;
  in.freqLogScale = c.FreqLogScale;
  in.freqDispRange = c.FreqDispRange;
  // Without the range box the linear axis reaches 5 MHz after the start and
  // 1 MHz once the box has been switched off (the setup dialog).
  if (rangeBoxSeen_ && rangeBoxOn_ && !c.FreqDispRange) linearDefaultTo_ = kRangeOffDefaultTo;
  rangeBoxSeen_ = true;
  rangeBoxOn_ = c.FreqDispRange;
  in.linearDefaultTo = linearDefaultTo_;
  in.freqDispFrom = c.FreqDispFrom;
  in.freqDispTo = c.FreqDispTo;
  in.spectrumLogScale = c.SpectrumLogScale;
  in.dBMax = c.dB_Max;
  in.dBShift = c.dB_Shift;
  in.magRate = c.SpectrumDispMagRate;
  in.peakOnly = c.SpectrumPeakOnly;
  in.windowFunction = a.WindowFunction;
  const SpectrumCurves curves{
      a.SpectrumPoints.data(), a.Overlay1Points.data(), a.Overlay2Points.data(),
      a.ColumnRunLengths.data(),
      static_cast<int32_t>(std::min({a.SpectrumPoints.size(), a.Overlay1Points.size(),
                                     a.Overlay2Points.size(), a.ColumnRunLengths.size()}))};
  if (curves.capacity < in.sampleN / 2 + 1) {
    // No analysis buffers yet: the scales only.
    ov::ComputeSpectrumAxis(in, fft_.DLL_PrepareCoordinatesSub, SpectrumCurves{}, axis_);
  } else {
    ov::ComputeSpectrumAxis(in, fft_.DLL_PrepareCoordinatesSub, curves, axis_);
  }
  axisN_ = a.N;
  axisRate_ = a.Format.samplesPerSec;
  axisPoints_ = a.SpectrumPoints.data();
  a.levelScale = axis_.levelScale;
  a.overlay1.stale = a.overlay2.stale = true;
  if (a.cursorBin < 0) a.cursorX = -1;
}

void SpectrumView::Layout() {
  ComputeSpectrumAxis();
  const int32_t drawType = host_.Settings().Conditions.SpectrumDrawType;
  presenter_.Layout(host_.SpectrumArea(), plot_, drawType);
  // The 3D history: an image of the plot's size, cleared.
  FreeImage3D();
  const int32_t w = plot_.right - plot_.left, h = plot_.bottom - plot_.top;
  if (ThreeD() && w > 0 && h > 0 && host_.SpectrumArea()) {
    HDC dc = GetDC(host_.SpectrumArea());
    image3D_.dc = CreateCompatibleDC(dc);
    image3D_.bitmap = CreateCompatibleBitmap(dc, w, h);
    ReleaseDC(host_.SpectrumArea(), dc);
    if (image3D_.dc && image3D_.bitmap)
      image3D_.old = SelectObject(image3D_.dc, image3D_.bitmap);
    else
      FreeImage3D();
  }
  freshLayout_ = true;
}

bool SpectrumView::AxisCurrent() const {
  return axisN_ == analysis_.N && axisRate_ == analysis_.Format.samplesPerSec &&
         axisPoints_ == analysis_.SpectrumPoints.data();
}

void SpectrumView::ConvertSpectrumCurves(FrameAnalysis& a) {
  // A size or rate change since the last layout: the columns no longer fit.
  if (!AxisCurrent()) ComputeSpectrumAxis();
  if (axis_.columnCount < 1 || !a.SpectrumAmp.data()) return;
  const int32_t* runs = a.ColumnRunLengths.data();
  ConvertSpectrumToPoints(axis_, a.levelScale, a.SpectrumAmp.data(), runs, a.SpectrumPoints.data(),
                          a.peakBin, &a.peakPoint);
  if (a.overlay1.stale) {
    ConvertSpectrumToPoints(axis_, a.levelScale, a.Overlay1Amp.data(), runs,
                            a.Overlay1Points.data());
    a.overlay1.stale = false;
  }
  if (a.overlay2.stale) {
    ConvertSpectrumToPoints(axis_, a.levelScale, a.Overlay2Amp.data(), runs,
                            a.Overlay2Points.data());
    a.overlay2.stale = false;
  }
  if (ThreeD() && (a.live || singleStep_)) pending3DLine_ = true;
}

void SpectrumView::SingleStep() {
  singleStep_ = true;
}

// ---- Presenting ------------------------------------------------------------

void SpectrumView::DrawSpectrum() {
  HWND area = host_.SpectrumArea();
  if (!area) return;
  if (ThreeD()) {
    HDC dc = GetDC(area);
    Draw3D(dc);
    ReleaseDC(area, dc);
    return;
  }
  if (ClientHeight(area) < kMinAreaHeight) return;
  const auto& c = host_.Settings().Conditions;
  presenter_.Present(c.SpectrumDrawType, c.SpectrumCheckVBlank);
  if (analysis_.measureMode) {
    HDC dc = GetDC(area);
    DrawMeasureValues(dc);
    ReleaseDC(area, dc);
  }
}

void SpectrumView::DrawBackground(HDC dc, bool clear) {
  const int32_t w = plot_.right - plot_.left, h = plot_.bottom - plot_.top;
  if (clear) {
    RECT r{0, 0, w, h};
    FillRect(dc, &r, plotBrush_);
  }
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  HGDIOBJ oldPen = SelectObject(dc, scalePen_);
  for (int32_t i = 0; i < axis_.frequencyLineCount; ++i) {
    const int32_t x = axis_.frequencyLines[i];
    if (x == 0) continue;
    MoveToEx(dc, x, 0, nullptr);
    LineTo(dc, x, h);
  }
  for (int32_t i = 1; i < axis_.levelLineCount; ++i) {
    const int32_t y = axis_.levelLines[i];
    MoveToEx(dc, 0, y, nullptr);
    LineTo(dc, w, y);
  }
  SelectObject(dc, oldPen);
  SetBkMode(dc, oldMode);
}

void SpectrumView::DrawCurve(HDC dc, const Kp05Point* points, HPEN pen) {
  const int32_t count = axis_.keptCount - 1;
  if (!points || count < 2) return;
  HGDIOBJ old = SelectObject(dc, pen);
  Polyline(dc, AsPoints(points), count);
  SelectObject(dc, old);
}

void SpectrumView::DrawTrace(HDC dc) {
  const FrameAnalysis& a = analysis_;
  if (!a.measureMode) {
    DrawCurve(dc, a.SpectrumPoints.data(), linePen_);
    return;
  }
  const int32_t h = plot_.bottom - plot_.top;
  if (a.mainOn && a.peakPoint.x >= 0) {
    HGDIOBJ old = SelectObject(dc, cursor1Pen_);
    MoveToEx(dc, a.peakPoint.x, 0, nullptr);
    LineTo(dc, a.peakPoint.x, 7);
    SelectObject(dc, old);
  }
  if (a.cursorBin >= 0 && a.cursorX >= 0) {
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    HGDIOBJ old = SelectObject(dc, cursor2DotPen_);
    MoveToEx(dc, a.cursorX, 0, nullptr);
    LineTo(dc, a.cursorX, h);
    SelectObject(dc, old);
    SetBkMode(dc, oldMode);
  }
  if (a.mainOn) DrawCurve(dc, a.SpectrumPoints.data(), linePen_);
  if (a.overlay1.shown) DrawCurve(dc, a.Overlay1Points.data(), ovl1Pen_);
  if (a.overlay2.shown) DrawCurve(dc, a.Overlay2Points.data(), ovl2Pen_);
}

void SpectrumView::Draw3D(HDC areaDc) {
  const int32_t w = plot_.right - plot_.left, h = plot_.bottom - plot_.top;
  HDC img = image3D_.dc;
  if (!img || w <= 0 || h <= 0) return;
  const Spectrum3D geometry = axis_.in.threeD;
  if (freshLayout_) {
    RECT all{0, 0, w, h};
    FillRect(img, &all, plotBrush_);
  }
  const bool newLine = pending3DLine_;
  if (newLine) {
    const auto& c = host_.Settings().Conditions;
    const ThreeDScroll s = ThreeDScrollFor(c.Angle3D, c.DeltaX3D, geometry.lineStep, w, h);
    BitBlt(img, s.source.left + s.shift, 0, s.source.right - s.source.left,
           s.source.bottom - s.source.top, img, s.source.left, s.source.top, SRCCOPY);
    for (const Rect32& r : s.clear) {
      RECT fill{r.left, r.top, r.right, r.bottom};
      if (fill.right > fill.left && fill.bottom > fill.top) FillRect(img, &fill, plotBrush_);
    }
    const int32_t count =
        BuildFrontPolygon(axis_, analysis_.SpectrumPoints.data(), axis_.frontOffset,
                          geometry.halfHeight, analysis_.Polygon3D.data());
    if (count >= 3 && analysis_.Polygon3D.size() >= static_cast<size_t>(count)) {
      HGDIOBJ oldPen = SelectObject(img, linePen_);
      HGDIOBJ oldBrush = SelectObject(img, plotBrush_);
      Polygon(img, AsPoints(analysis_.Polygon3D.data()), count);
      SelectObject(img, oldBrush);
      SelectObject(img, oldPen);
    }
    pending3DLine_ = false;
  }
  BitBlt(areaDc, plot_.left, plot_.top, w, h, img, 0, 0, SRCCOPY);

  // The history's depth in seconds and lines, left of the plot's top.
  const FrameCounters& f = counters_;
  if (f.framesPerSecond > 0 && (f.fpsUpdated || (analysis_.frameValid && !freshLayout_))) {
    HGDIOBJ oldFont = SelectObject(
        areaDc, host_.ViewFont() ? host_.ViewFont() : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(areaDc, OPAQUE);
    SetBkColor(areaDc, colours_[BackColor]);
    SetTextColor(areaDc, colours_[CharColor]);
    const SIZE textSize = AsciiTextSize(areaDc, "0");
    char seconds[16], lines[16];
    const bool step = singleStep_ && !analysis_.live;
    if (step) {
      std::snprintf(seconds, sizeof seconds, "    ");
      std::snprintf(lines, sizeof lines, "    ");
    } else {
      std::snprintf(seconds, sizeof seconds, "%4.2f",
                    static_cast<double>(geometry.lineCount) / f.framesPerSecond);
      std::snprintf(lines, sizeof lines, "%3dL", std::clamp(geometry.lineCount, -99, 999));
    }
    const int32_t x = plot_.left - 3;
    int32_t y = plot_.top - 3;
    DrawAsciiText(areaDc, x, y, seconds, TA_RIGHT);
    y += textSize.cy - 3;
    DrawAsciiText(areaDc, x, y, step ? "   " : "sec", TA_RIGHT);
    y += textSize.cy + 4;
    DrawAsciiText(areaDc, x, y, lines, TA_RIGHT);
    SelectObject(areaDc, oldFont);
    counters_.fpsUpdated = false;
  }
  singleStep_ = false;
  freshLayout_ = false;
}

// ---- PaintBox2Paint ----------------------------------------------------------

void SpectrumView::DrawLabels(HDC dc) {
  const auto& c = host_.Settings().Conditions;
  const int32_t left = plot_.left, top = plot_.top;
  const int32_t w = plot_.right - plot_.left, h = plot_.bottom - plot_.top;
  RECT client;
  GetClientRect(host_.SpectrumArea(), &client);

  HGDIOBJ oldPen = SelectObject(dc, framePen_);
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  Rectangle(dc, left - 1, top - 1, left + w + 1, top + h + 1);
  SelectObject(dc, oldBrush);

  HGDIOBJ oldFont =
      SelectObject(dc, host_.ViewFont() ? host_.ViewFont() : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colours_[CharColor]);

  if (c.DispSpectrumComment && !analysis_.SpectrumCommentLine.empty()) {
    const std::u16string wide = Utf8ToUtf16(analysis_.SpectrumCommentLine);
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    TextOutW(dc, left + 5, 4, reinterpret_cast<const wchar_t*>(wide.data()),
             static_cast<int>(wide.size()));
  }

  // Frequency labels and ticks.
  const int32_t labelY = top + h + 4;
  char text[16];
  if (axis_.in.freqLogScale) {
    for (int32_t k = 0; k < 6; ++k) {
      const int32_t line = kLogLabelLines[k];
      if (axis_.frequencyLineCount <= line) break;
      int32_t x = left + axis_.frequencyLines[line];
      if (k == 0) x += 4;
      if (k == 4) {
        // "100k" ends at least 2 pixels before the area's right edge.
        const SIZE s = AsciiTextSize(dc, kLogLabels[k]);
        x = std::min<int32_t>(x, client.right - 2 - s.cx + s.cx / 2);
      }
      DrawAsciiText(dc, x, labelY, kLogLabels[k], TA_CENTER);
    }
  } else {
    int32_t lastLabelled = -1, beforeLast = -1;
    for (int32_t j = 0; j < axis_.frequencyLineCount; ++j) {
      if (!FrequencyLineLabelled(axis_, j)) continue;
      FormatFrequencyLabel(axis_, j, text);
      const SIZE s = AsciiTextSize(dc, text);
      const int32_t x = std::max<int32_t>(left + axis_.frequencyLines[j] - s.cx / 2, left - 5);
      DrawAsciiText(dc, x, labelY, text, TA_LEFT);
      beforeLast = lastLabelled;
      lastLabelled = j;
    }
    if (axis_.frequencyLineCount >= 2 && beforeLast >= 0) {
      const int32_t x =
          left + (axis_.frequencyLines[beforeLast] + axis_.frequencyLines[lastLabelled]) / 2;
      DrawAsciiText(dc, x, labelY + 2, FrequencyUnit(axis_), TA_CENTER);
    }
  }
  SelectObject(dc, framePen_);
  for (int32_t j = 0; j < axis_.frequencyLineCount; ++j) {
    const int32_t x = left + axis_.frequencyLines[j];
    MoveToEx(dc, x, top + h, nullptr);
    LineTo(dc, x, top + h + 3);
  }

  // Level labels and ticks; in "3D" they label the front.
  const int32_t offset = ThreeD() ? axis_.in.threeD.halfHeight : 0;
  const int32_t textHeight = AsciiTextSize(dc, "0").cy;
  for (int32_t i = 0; i < axis_.levelLineCount; ++i) {
    const int32_t y = top + offset + axis_.levelLines[i];
    FormatLevelLabel(axis_, i, text);
    DrawAsciiText(dc, left - 4, y - textHeight / 2, text, TA_RIGHT);
    MoveToEx(dc, left - 1, y, nullptr);
    LineTo(dc, left - 4, y);
  }
  SelectObject(dc, oldPen);
  SelectObject(dc, oldFont);
}

void SpectrumView::DrawPanelBoxes(HDC dc) {
  SpectrumPanelContent content;
  ComposePanelBoxes(analysis_, content);
  HGDIOBJ oldFont =
      SelectObject(dc, host_.ViewFont() ? host_.ViewFont() : GetStockObject(DEFAULT_GUI_FONT));
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  for (int32_t i = 0; i < content.boxCount; ++i) {
    const PanelBox& b = content.boxes[i];
    const COLORREF colour = colours_[b.colour];
    HPEN pen = CreatePen(PS_SOLID, 0, colour);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    RoundRect(dc, b.left, b.top, b.right, b.bottom, 6, 6);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
    // Captions sit on the box's top edge, on the area's colour.
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, colours_[BackColor]);
    SetTextColor(dc, colour);
    if (b.blankFirst) DrawAsciiText(dc, 10, b.captionY, "        ", TA_LEFT);
    DrawAsciiText(dc, b.captionX, b.captionY, b.caption, TA_LEFT);
  }
  SetBkMode(dc, TRANSPARENT);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldFont);
}

void SpectrumView::DrawMeasureValues(HDC dc) {
  SpectrumPanelContent content;
  ComposePanelValues(analysis_, axis_, counters_.fpsUpdated, content);
  HGDIOBJ oldFont =
      SelectObject(dc, host_.ViewFont() ? host_.ViewFont() : GetStockObject(DEFAULT_GUI_FONT));
  // Opaque on the area's colour, so a new value replaces the old one.
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, colours_[BackColor]);
  for (int32_t i = 0; i < content.textCount; ++i) {
    const PanelText& t = content.texts[i];
    SetTextColor(dc, colours_[t.colour]);
    DrawAsciiText(dc, t.x, t.y, t.text, TA_LEFT);
    if (t.underline) {
      const SIZE s = AsciiTextSize(dc, t.text);
      DrawDottedLine(dc, 7, s.cx + 6, t.y + s.cy - 1, colours_[t.colour]);
    }
  }
  SetBkMode(dc, TRANSPARENT);
  SelectObject(dc, oldFont);
  if (content.measurementsWritten) counters_.fpsUpdated = false;
}

void SpectrumView::Paint(HDC dc) {
  HWND area = host_.SpectrumArea();
  if (!area) return;
  RECT client;
  GetClientRect(area, &client);
  FillRect(dc, &client, backBrush_);
  DrawViewBevel(dc, client, static_cast<uint32_t>(colours_[BackColor]));
  if (client.bottom < kMinAreaHeight) return;
  DrawLabels(dc);
  if (analysis_.measureMode) DrawPanelBoxes(dc);
  host_.SetOverlayCaptionColours(colours_[OVL1Color], colours_[OVL2Color]);
  if (analysis_.frameValid) {
    analysis_.ComputeSpectrum();
    DrawSpectrum();
  }
}

// ---- Mouse -------------------------------------------------------------------

void SpectrumView::SetPaused(bool paused) {
  paused_ = paused;
  if (!paused) HideReadout();
}

bool SpectrumView::MouseActive() const {
  return (paused_ || analysis_.measureMode) && !ThreeD() && axis_.columnCount > 0 && AxisCurrent();
}

bool SpectrumView::InPlot(int32_t x, int32_t y) const {
  return x >= plot_.left && x < plot_.right && y >= plot_.top && y < plot_.bottom;
}

bool SpectrumView::CrossCursorAt(int32_t x, int32_t y) const {
  return MouseActive() && InPlot(x, y);
}

void SpectrumView::HideReadout() {
  readout_.Hide();
  readoutSkip_ = 0;
}

SpectrumSearchInput SpectrumView::SearchInput() const {
  const FrameAnalysis& a = analysis_;
  SpectrumSearchInput s{a.SpectrumAmp.data(), a.SpectrumPoints.data(), a.ColumnRunLengths.data(),
                        a.measureMode};
  if (a.measureMode && !a.mainOn) {
    if (a.overlay1.shown) {
      s.magnitudes = a.Overlay1Amp.data();
      s.points = a.Overlay1Points.data();
    } else if (a.overlay2.shown) {
      s.magnitudes = a.Overlay2Amp.data();
      s.points = a.Overlay2Points.data();
    }
  }
  return s;
}

void SpectrumView::ShowReadoutFor(int32_t bin, bool snappedUp, bool snapped, int32_t px,
                                  int32_t py) {
  FrameAnalysis& a = analysis_;
  const SpectrumSearchInput search = SearchInput();
  if (bin < 0 || bin >= a.B || !search.magnitudes) return;
  double m = search.magnitudes[bin];
  double f = bin * axis_.binWidth;
  const bool interpolated =
      snapped && ReadoutInterpolates(snappedUp, a.SpectrumInterpolate, a.measureMode, a.mainOn,
                                     a.overlay1.shown, a.overlay2.shown);
  if (interpolated) a.InterpolatePeak(bin, m, a.SpectrumInterpolate, f);
  char line1[32], line2[16];
  FormatReadoutFrequency(f, line1);
  FormatLevel(axis_, a.levelScale, m, line2);
  readout_.ShowReadout(line1, line2, interpolated, host_.SpectrumArea(), plot_, POINT{px, py});
}

void SpectrumView::MouseDown(int32_t x, int32_t y, bool leftButton, bool rightButton) {
  const auto& c = host_.Settings().Conditions;
  if (rightButton) {
    // The comment line opens the comment editor.
    HWND area = host_.SpectrumArea();
    RECT client;
    GetClientRect(area, &client);
    HDC dc = GetDC(area);
    HGDIOBJ oldFont =
        SelectObject(dc, host_.ViewFont() ? host_.ViewFont() : GetStockObject(DEFAULT_GUI_FONT));
    const int32_t textHeight = AsciiTextSize(dc, " ").cy;
    SelectObject(dc, oldFont);
    ReleaseDC(area, dc);
    if (c.DispSpectrumComment && x >= plot_.left && x <= client.right && y >= 4 &&
        y <= textHeight) {
      POINT at{plot_.left + 10, plot_.top + 10};
      ClientToScreen(area, &at);
      host_.OpenSpectrumCommentEditor(at);
      InvalidateRect(area, nullptr, FALSE);
    }
    return;
  }
  host_.MoveFocusFromEdits();
  if (!leftButton || !InPlot(x, y) || !MouseActive()) return;
  FrameAnalysis& a = analysis_;
  const int32_t px = x - plot_.left, py = y - plot_.top;
  const SpectrumSnap snap = SnapSpectrum(axis_, SearchInput(), px, py);
  if (a.measureMode) {
    ToggleCursor(snap.bin, snap.point.x, a.cursorBin, a.cursorX);
    InvalidateRect(host_.SpectrumArea(), nullptr, FALSE);
  }
  readoutSkip_ = kReadoutSkipAfterClick;
  if (paused_) {
    dragging_ = true;
    SetCapture(host_.SpectrumArea());
    POINT p{plot_.left + snap.point.x, plot_.top + snap.point.y};
    ClientToScreen(host_.SpectrumArea(), &p);
    SetCursorPos(p.x, p.y);
    ShowReadoutFor(snap.bin, snap.up, true, snap.point.x, snap.point.y);
  }
}

void SpectrumView::MouseUp() {
  if (dragging_) ReleaseCapture();
  dragging_ = false;
}

void SpectrumView::MouseMove(int32_t x, int32_t y) {
  if (dragging_ || InPlot(x, y)) {
    if (!MouseActive() || !paused_) return;
    if (readoutSkip_ > 0) {
      --readoutSkip_;
      return;
    }
    const int32_t px = std::clamp<int32_t>(x - plot_.left, 0, std::max(0, axis_.traceWidth - 1));
    const int32_t py = std::clamp<int32_t>(y - plot_.top, 0, std::max(0, axis_.traceHeight - 1));
    const int32_t index = SpectrumIndexAt(axis_, px);
    const int32_t bin = axis_.in.freqLogScale ? index : axis_.firstBin + index;
    ShowReadoutFor(bin, false, false, px, py);
    return;
  }
  HideReadout();
}

}  // namespace ov
