// TMainForm: the two view areas (PaintBox1 for the wave view, PaintBox2 for
// the spectrum view), the splitter between them, the layout on every resize
// and the display host the display draws through.
#include "app/shell/MainForm_win.h"

#include <windowsx.h>

#include "app/analysis/AsyncModifierKeys_win.h"
#include "app/analysis/FrameAnalysis.h"
#include "app/display/Display_win.h"
#include "app/engine/WavePlayRec.h"
#include "app/resources/ResourceIds.h"
#include "app/shell/SettingsFile.h"

namespace ov {

namespace {

constexpr wchar_t kViewAreaClass[] = L"TPaintBox";
constexpr wchar_t kSplitterClass[] = L"TSplitter";

constexpr int kSplitterHeight = 5;

COLORREF ColourOf(int32_t value) {
  const uint32_t v = static_cast<uint32_t>(value);
  return (v >> 24) == 0xFF ? GetSysColor(static_cast<int>(v & 0xFF)) : v & 0xFFFFFF;
}

RECT ToRect(const LayoutRect& r) {
  return RECT{r.left, r.top, r.left + r.width, r.top + r.height};
}

}  // namespace

void TMainForm::CreateViewAreas() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW wc{};
  wc.lpfnWndProc = &TMainForm::ViewAreaProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.lpszClassName = kViewAreaClass;
  RegisterClassW(&wc);  // fails harmlessly when already registered
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32645));  // IDC_SIZENS
  wc.lpszClassName = kSplitterClass;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  RegisterClassW(&wc);
  auto make = [&](const wchar_t* cls, int id) {
    return CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 10, 10,
                           hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                           this);
  };
  waveArea_ = make(kViewAreaClass, IDC_MAIN_WAVE_AREA);
  splitter_ = make(kSplitterClass, IDC_MAIN_SPLITTER);
  spectrumArea_ = make(kViewAreaClass, IDC_MAIN_SPECTRUM_AREA);
}

void TMainForm::CreateDisplay() {
  SettingsValues& v = settings_->values();
  keys_ = std::make_unique<AsyncModifierKeys>();
  analysis_ = std::make_unique<FrameAnalysis>(binding_.Api(), *engine_, notifier_, *keys_, this);
  analysis_->language = language_;
  analysis_->WindowFunction = v.Conditions.WindowFunction;
  analysis_->PlayForceMonoStereo = v.Conditions.PlayForceMonoStereo;
  analysis_->SetAnalysisSize(v.Conditions.Sample_N);
  analysis_->CreateInterpolationPlans();
  uint32_t floatWidth = 0;
  analysis_->Format = engine_->GetFormat(&floatWidth);
  analysis_->FormatIsFloat = floatWidth;
  analysis_->PrepareFormatBuffers();
  display_ = std::make_unique<Display>(*this, *analysis_, binding_.Api(), *this);
}

// ---- Layout

void TMainForm::LayOut() {
  if (openButton_ == nullptr) return;
  RECT client;
  GetClientRect(hwnd(), &client);
  MainLayoutInput in;
  in.clientWidth = client.right;
  in.clientHeight = client.bottom;
  in.topPanelHeight = kTopPanelHeight;
  in.splitterHeight = kSplitterHeight;
  if (settings_) {
    const SettingsValues& v = settings_->values();
    in.waveAreaRatio = v.Window.WaveWindowRatioX1000;
    in.lissajous = v.Conditions.WaveDispType == 1;
    in.lissajousCenter = v.Conditions.LissajousCenter;
    in.measureMode = v.MeasureMode.MeasureMode;
    in.spectrumComment = v.Conditions.DispSpectrumComment;
    in.lines3D = v.Conditions.Lines3D;
    in.deltaX3D = v.Conditions.DeltaX3D;
    in.resizeTrackBar = v.Conditions.ResizeTrackBar;
  }
  // The measure panel (Panel2) under the spectrum area in measure mode.
  in.bottomPanelHeight = in.measureMode ? kMeasurePanelHeight : 0;
  in.topPanelWidth = client.right;
  in.trackBarLeft = kTrackBarLeft;
  in.rightPanelWidth = kRightPanelWidth;
  layout_ = LayOutMainWindow(in);
  if (layout_.clientHeight > client.bottom && !IsIconic(hwnd())) {
    // The window grows so that both views keep their pixels; WM_SIZE lays out again.
    RECT outer;
    GetWindowRect(hwnd(), &outer);
    SetWindowPos(hwnd(), nullptr, 0, 0, outer.right - outer.left,
                 outer.bottom - outer.top + layout_.clientHeight - client.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  PlaceTopPanel(LayOutTopPanel(client.right, in.resizeTrackBar));
  PlaceMeasurePanel();
  PlaceViewAreas();
}

void TMainForm::PlaceViewAreas() {
  // The display thread stays parked while the areas, images and surfaces change.
  const bool running = display_ && display_->Thread().Active();
  if (running) display_->SetDisplayRunning(false);
  const LayoutRect* rects[] = {&layout_.waveArea, &layout_.splitter, &layout_.spectrumArea};
  HWND windows[] = {waveArea_, splitter_, spectrumArea_};
  for (int i = 0; i < 3; ++i) {
    const LayoutRect& r = *rects[i];
    MoveWindow(windows[i], r.left, r.top, r.width, r.height, TRUE);
  }
  if (analysis_) analysis_->spectrumAreaHeight = layout_.spectrumArea.height;
  if (display_) display_->Layout();
  if (running) display_->SetDisplayRunning(true);
  InvalidateRect(waveArea_, nullptr, FALSE);
  InvalidateRect(spectrumArea_, nullptr, FALSE);
}

// ---- View areas and splitter

LRESULT CALLBACK TMainForm::ViewAreaProc(HWND area, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(area, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<TMainForm*>(GetWindowLongPtrW(area, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(area, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) SetWindowLongPtrW(area, GWLP_USERDATA, 0);
  if (area == self->splitter_) return self->SplitterMessage(area, msg, wParam, lParam);
  return self->ViewAreaMessage(area, msg, wParam, lParam);
}

LRESULT TMainForm::ViewAreaMessage(HWND area, UINT msg, WPARAM wParam, LPARAM lParam) {
  const bool wave = area == waveArea_ && display_ != nullptr;
  const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(area, &ps);
      if (wave)
        display_->Wave().Paint(dc);
      else if (display_)
        display_->Spectrum().Paint(dc);
      else
        PaintSpectrumArea(dc);
      EndPaint(area, &ps);
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      MoveFocusFromEdits();
      if (wave)
        display_->Wave().MouseDown(x, y, msg == WM_LBUTTONDOWN);
      else if (display_)
        display_->Spectrum().MouseDown(x, y, msg == WM_LBUTTONDOWN, msg == WM_RBUTTONDOWN);
      return 0;
    case WM_LBUTTONUP:
      if (wave)
        display_->Wave().MouseUp();
      else if (display_)
        display_->Spectrum().MouseUp();
      return 0;
    case WM_MOUSEMOVE:
      if (wave)
        display_->Wave().MouseMove(x, y, (wParam & MK_SHIFT) != 0);
      else if (display_)
        display_->Spectrum().MouseMove(x, y);
      return 0;
    case WM_SETCURSOR:
      if (display_ && LOWORD(lParam) == HTCLIENT) {
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(area, &p);
        const bool cross = wave ? display_->Wave().CrossCursorAt(p.x, p.y)
                                : display_->Spectrum().CrossCursorAt(p.x, p.y);
        if (cross) {
          SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32515)));  // IDC_CROSS
          return TRUE;
        }
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(area, msg, wParam, lParam);
}

LRESULT TMainForm::SplitterMessage(HWND splitter, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_LBUTTONDOWN:
      SetCapture(splitter);
      splitterDragging_ = true;
      return 0;
    case WM_MOUSEMOVE: {
      if (!splitterDragging_ || !settings_) break;
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      MapWindowPoints(splitter, hwnd(), &p, 1);
      const int32_t total = layout_.waveArea.height + layout_.spectrumArea.height;
      const int32_t waveHeight = std::clamp<int32_t>(p.y - layout_.waveArea.top, 1, total - 1);
      const int32_t ratio = WaveAreaRatioAfterSplitterMove(waveHeight, total - waveHeight);
      int32_t& stored = settings_->values().Window.WaveWindowRatioX1000;
      if (ratio != stored) {
        stored = ratio;
        LayOut();
      }
      return 0;
    }
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
      if (splitterDragging_) {
        splitterDragging_ = false;
        if (GetCapture() == splitter) ReleaseCapture();
      }
      return 0;
    default:
      break;
  }
  return DefWindowProcW(splitter, msg, wParam, lParam);
}

// ---- AnalysisViews

void TMainForm::ConvertSpectrumCurves(FrameAnalysis& analysis) {
  // The analysis computes its first spectrum before the display exists.
  if (display_) display_->Spectrum().ConvertSpectrumCurves(analysis);
}

void TMainForm::PaintSpectrumArea(HDC dc) {
  // Before the display exists the area shows its background and the empty plot.
  RECT client;
  GetClientRect(spectrumArea_, &client);
  if (!settings_) return;
  const SettingsValues& v = settings_->values();
  const int set = v.Conditions.ColorSet >= 0 && v.Conditions.ColorSet < kColorSetCount
                      ? v.Conditions.ColorSet
                      : 0;
  const int32_t* colours = v.ColorSets[set];
  HBRUSH back = CreateSolidBrush(ColourOf(colours[BackColor]));
  HBRUSH diagram = CreateSolidBrush(ColourOf(colours[DiagramBackColor]));
  HBRUSH frame = CreateSolidBrush(ColourOf(colours[FrameColor]));
  FillRect(dc, &client, back);
  RECT plot = ToRect(layout_.spectrumPlot);
  FillRect(dc, &plot, diagram);
  FrameRect(dc, &plot, frame);
  DeleteObject(back);
  DeleteObject(diagram);
  DeleteObject(frame);
}

// ---- DisplayHost

RECT TMainForm::WavePlot() const {
  return ToRect(layout_.wavePlot);
}

RECT TMainForm::SpectrumPlot() const {
  return ToRect(layout_.spectrumPlot);
}

HFONT TMainForm::ViewFont() const {
  return guiFont_ != nullptr ? guiFont_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

CaptureLayout TMainForm::CaptureGeometry() const {
  CaptureLayout l;
  RECT outer;
  GetWindowRect(hwnd(), &outer);
  l.windowWidth = outer.right - outer.left;
  l.windowHeight = outer.bottom - outer.top;
  l.frameWidth = GetSystemMetrics(SM_CXSIZEFRAME);
  l.frameHeight = GetSystemMetrics(SM_CYSIZEFRAME);
  l.captionHeight = GetSystemMetrics(SM_CYCAPTION);
  l.waveTop = layout_.waveArea.top;
  l.waveWidth = layout_.waveArea.width;
  l.waveHeight = layout_.waveArea.height;
  l.splitterHeight = layout_.splitter.height;
  l.spectrumTop = layout_.spectrumArea.top;
  l.spectrumWidth = layout_.spectrumArea.width;
  l.spectrumHeight = layout_.spectrumArea.height;
  l.panelHeight = layout_.bottomPanel.height;
  return l;
}

SettingsValues& TMainForm::Settings() {
  return settings_->values();
}

void TMainForm::SetFrameRateText(const char* text) {
  if (frameRateText_ == nullptr) return;
  wchar_t wide[16] = {};
  for (int i = 0; i < 15 && text[i] != '\0'; ++i) wide[i] = static_cast<unsigned char>(text[i]);
  SetWindowTextW(frameRateText_, wide);
}

void TMainForm::MoveFocusFromEdits() {
  if (fftInfoText_ != nullptr && IsWindowVisible(fftInfoText_)) SetFocus(fftInfoText_);
}

}  // namespace ov
