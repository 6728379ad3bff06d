// A stand-in for the main window in the display's Windows tests: a top-level
// window with a wave area child, the settings at their defaults, an analysis
// fed by a fixed block, and helpers that read back what was drawn. Test code
// only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/analysis/AnalysisTestSupport.h"
#include "app/analysis/FrameAnalysis.h"
#include "app/display/Display_win.h"
#include "app/shell/SettingsTable.h"
#include "fft/Kp05Api.h"

namespace ov::test {

inline SettingsValues DefaultSettings() {
  SettingsValues v{};
  for (const SettingDef& row : SettingsTable()) {
    if (row.field.at == nullptr) continue;
    switch (row.field.type) {
      case FieldType::Int32:
        row.field.Of<int32_t>(v) = row.intDefault;
        break;
      case FieldType::Bool:
        row.field.Of<bool>(v) = row.intDefault != 0;
        break;
      case FieldType::Double:
        row.field.Of<double>(v) = row.realDefault;
        break;
      default:
        break;
    }
  }
  return v;
}

// A pixel grid read back from a window's client area (0x00BBGGRR per pixel).
struct Pixels {
  int width = 0, height = 0;
  std::vector<uint32_t> rgb;
  uint32_t At(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x]; }
};

inline Pixels ReadDc(HDC source, int x0, int y0, int width, int height) {
  Pixels p;
  p.width = width;
  p.height = height;
  p.rgb.assign(static_cast<size_t>(width) * height, 0);
  HDC memory = CreateCompatibleDC(source);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, dib);
  BitBlt(memory, 0, 0, width, height, source, x0, y0, SRCCOPY);
  GdiFlush();
  const uint32_t* px = static_cast<const uint32_t*>(bits);
  for (size_t i = 0; i < p.rgb.size(); ++i) {
    const uint32_t v = px[i];  // 0x00RRGGBB in a DIB
    p.rgb[i] = ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
  }
  SelectObject(memory, old);
  DeleteObject(dib);
  DeleteDC(memory);
  return p;
}

// What the screen shows of a window's client area (DirectDraw blits included).
inline Pixels ReadScreen(HWND window) {
  RECT r;
  GetClientRect(window, &r);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  HDC screen = GetDC(nullptr);
  Pixels p = ReadDc(screen, origin.x, origin.y, r.right, r.bottom);
  ReleaseDC(nullptr, screen);
  return p;
}

class TestDisplayHost : public DisplayHost, public OtherViews {
 public:
  // A main window of the given client size; the wave area fills its top
  // areaHeight rows; the plot has a left margin of 48 and 20 rows below it.
  TestDisplayHost(int width = 640, int height = 420, int areaHeight = 300)
      : settings_(DefaultSettings()), runner_(MainThreadRunner::Create()) {
    Register();
    RECT r{0, 0, width, height};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    main_ = CreateWindowExW(0, L"OvDisplayTestMain", L"Display test", WS_OVERLAPPEDWINDOW, 20, 20,
                            r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                            GetModuleHandleW(nullptr), this);
    area_ = CreateWindowExW(0, L"OvDisplayTestArea", L"", WS_CHILD | WS_VISIBLE, 0, 0, width,
                            areaHeight, main_, nullptr, GetModuleHandleW(nullptr), this);
    SetPlot(areaHeight);
    ShowWindow(main_, SW_SHOWNORMAL);
    UpdateWindow(main_);
  }
  ~TestDisplayHost() override {
    display.reset();
    analysis.reset();
    DestroyWindow(main_);
  }

  // The analysis and display over a fixed block of the given format.
  void CreateDisplay(const WaveFormat& format, int32_t n, TimerApi* timerApi = nullptr,
                     DirectDrawSeam* seam = nullptr) {
    fft = StaticKp05Api();
    analysis = std::make_unique<FrameAnalysis>(fft, source, notifier, keys);
    analysis->Format = format;
    analysis->SetAnalysisSize(n);
    analysis->PrepareFormatBuffers();
    settings_.Conditions.Sample_N = n;
    display = std::make_unique<Display>(*this, *analysis, fft, *this, timerApi, seam);
    display->Layout();
  }
  // Feeds frames (interleaved, the analysis' format) as the playing block and
  // acquires them.
  void Feed(const std::vector<uint8_t>& frames) {
    source.block = frames;
    source.playState = kPlayPlaying;
    analysis->AcquireFrame(true);
  }
  void SetPlot(int areaHeight) {
    RECT a;
    GetClientRect(area_, &a);
    plot_ = RECT{48, 7, a.right - 12, areaHeight - 20};
  }
  void ResizeArea(int width, int height) {
    SetWindowPos(area_, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOMOVE);
    SetPlot(height);
  }
  void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    runner_->ProcessMessages();
  }
  void Repaint() {
    InvalidateRect(area_, nullptr, FALSE);
    UpdateWindow(area_);
    Pump();
  }
  Pixels ReadArea() {
    RECT r;
    GetClientRect(area_, &r);
    HDC dc = GetDC(area_);
    Pixels p = ReadDc(dc, 0, 0, r.right, r.bottom);
    ReleaseDC(area_, dc);
    return p;
  }

  // DisplayHost
  HWND MainWindow() const override { return main_; }
  HWND WaveArea() const override { return area_; }
  HWND SpectrumArea() const override { return nullptr; }
  RECT WavePlot() const override { return plot_; }
  RECT SpectrumPlot() const override { return RECT{}; }
  HFONT ViewFont() const override { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }
  CaptureLayout CaptureGeometry() const override {
    CaptureLayout l;
    RECT w, a, c;
    GetWindowRect(main_, &w);
    GetClientRect(area_, &a);
    GetClientRect(main_, &c);
    l.windowWidth = w.right - w.left;
    l.windowHeight = w.bottom - w.top;
    l.frameWidth = GetSystemMetrics(SM_CXSIZEFRAME);
    l.frameHeight = GetSystemMetrics(SM_CYSIZEFRAME);
    l.captionHeight = GetSystemMetrics(SM_CYCAPTION);
    l.waveWidth = a.right;
    l.waveHeight = a.bottom;
    l.splitterHeight = 0;
    l.spectrumTop = a.bottom;
    l.spectrumWidth = c.right;
    l.spectrumHeight = c.bottom - a.bottom;
    return l;
  }
  SettingsValues& Settings() override { return settings_; }
  MainThreadRunner& Runner() override { return *runner_; }
  void SetFrameRateText(const char* text) override { frameRateText = text; }

  // OtherViews
  bool LissajousWindowShown() const override { return lissajousShown; }
  void DrawLissajous() override { ++lissajousDrawn; }
  void DrawSpectrum() override { ++spectrumDrawn; }
  bool LevelMeterShown() const override { return meterShown; }
  void RefreshLevelMeter() override { ++meterRefreshed; }

  Kp05Api fft{};
  FakeBlockSource source;
  RecordingNotifier notifier;
  NoModifierKeys keys;
  std::unique_ptr<FrameAnalysis> analysis;
  std::unique_ptr<Display> display;
  std::string frameRateText = "-";
  bool lissajousShown = false, meterShown = false;
  int lissajousDrawn = 0, spectrumDrawn = 0, meterRefreshed = 0;

 private:
  static void Register() {
    WNDCLASSW wc{};
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    wc.lpfnWndProc = &TestDisplayHost::MainProc;
    wc.lpszClassName = L"OvDisplayTestMain";
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    RegisterClassW(&wc);
    wc.lpfnWndProc = &TestDisplayHost::AreaProc;
    wc.lpszClassName = L"OvDisplayTestArea";
    wc.hbrBackground = nullptr;
    RegisterClassW(&wc);
  }
  static TestDisplayHost* From(HWND hwnd, UINT msg, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
      auto* self =
          static_cast<TestDisplayHost*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    return reinterpret_cast<TestDisplayHost*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  static LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TestDisplayHost* self = From(hwnd, msg, lParam);
    if (self && self->display) {
      if (msg == WM_TIMER) {
        self->display->OnTimer(wParam);
        return 0;
      }
      if (msg == kTimerPeriodMessage) {
        self->display->OnTimerPeriodMessage(wParam);
        return 0;
      }
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  static LRESULT CALLBACK AreaProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TestDisplayHost* self = From(hwnd, msg, lParam);
    if (self && self->display) {
      const int x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
      switch (msg) {
        case WM_PAINT: {
          PAINTSTRUCT ps;
          HDC dc = BeginPaint(hwnd, &ps);
          self->display->Wave().Paint(dc);
          EndPaint(hwnd, &ps);
          return 0;
        }
        case WM_ERASEBKGND:
          return 1;
        case WM_LBUTTONDOWN:
          self->display->Wave().MouseDown(x, y, true);
          return 0;
        case WM_LBUTTONUP:
          self->display->Wave().MouseUp();
          return 0;
        case WM_MOUSEMOVE:
          self->display->Wave().MouseMove(x, y, (wParam & MK_SHIFT) != 0);
          return 0;
      }
    } else if (msg == WM_PAINT) {
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      EndPaint(hwnd, &ps);
      return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }

  SettingsValues settings_;
  std::unique_ptr<MainThreadRunner> runner_;
  HWND main_ = nullptr, area_ = nullptr;
  RECT plot_{};
};

// The test host with a spectrum area below the wave area, whose analysis
// hands its curves to the spectrum view as the main window does.
class SpectrumAreaHost : public TestDisplayHost, public AnalysisViews {
 public:
  SpectrumAreaHost(int width, int waveHeight, int spectrumHeight)
      : TestDisplayHost(width, waveHeight + spectrumHeight, waveHeight),
        width_(width),
        spectrumHeight_(spectrumHeight) {
    WNDCLASSW wc{};
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpfnWndProc = &SpectrumAreaHost::Proc;
    wc.lpszClassName = L"OvSpectrumTestArea";
    RegisterClassW(&wc);
    spectrum_ =
        CreateWindowExW(0, L"OvSpectrumTestArea", L"", WS_CHILD | WS_VISIBLE, 0, waveHeight, width,
                        spectrumHeight, MainWindow(), nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(spectrum_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }

  // The analysis (handing its curves to this host) and the display.
  void CreateBothViews(const WaveFormat& format, int32_t n) {
    fft = StaticKp05Api();
    analysis = std::make_unique<FrameAnalysis>(fft, source, notifier, keys, this);
    analysis->Format = format;
    analysis->SetAnalysisSize(n);
    analysis->PrepareFormatBuffers();
    analysis->spectrumAreaHeight = spectrumHeight_;
    Settings().Conditions.Sample_N = n;
    display = std::make_unique<Display>(*this, *analysis, fft, *this, nullptr, nullptr);
    display->Layout();
    RepaintSpectrum();
  }
  void RepaintSpectrum() {
    InvalidateRect(spectrum_, nullptr, FALSE);
    UpdateWindow(spectrum_);
    Pump();
  }
  Pixels ReadSpectrum() {
    HDC dc = GetDC(spectrum_);
    Pixels p = ReadDc(dc, 0, 0, width_, spectrumHeight_);
    ReleaseDC(spectrum_, dc);
    return p;
  }

  // DisplayHost
  HWND SpectrumArea() const override { return spectrum_; }
  RECT SpectrumPlot() const override {
    const bool measure = analysis && analysis->measureMode;
    const int left = measure ? 95 : 41;
    return RECT{left, 7, width_ - 11, spectrumHeight_ - 20};
  }
  // AnalysisViews
  void ConvertSpectrumCurves(FrameAnalysis& a) override {
    if (display) display->Spectrum().ConvertSpectrumCurves(a);
  }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<SpectrumAreaHost*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == WM_ERASEBKGND) return 1;
    if (msg == WM_PAINT) {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (self && self->display) self->display->Spectrum().Paint(dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  int width_, spectrumHeight_;
  HWND spectrum_ = nullptr;
};

}  // namespace ov::test
