// The level meter window under the real platform: bars painted where the
// model and the layout put them, texts, the Reset button, hit testing, the
// size rules and the geometry kept in the settings.
#include "app/display/LevelMeterForm_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/display/DisplayWinTestSupport.h"
#include "app/resources/ResourceIds.h"

namespace ov {
namespace {

using test::Pixels;
using test::TestDisplayHost;

constexpr uint32_t kBack = 0x00101010, kFore = 0x0000C000, kBarBack = 0x00400000;
constexpr uint32_t kInner = 0x0000FFFF, kPeak = 0x000000FF;

class LevelMeterWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& s = host.Settings();
    s.LevelMeterWindow = {};
    auto& set = s.ColorSets[s.Conditions.ColorSet];
    set[MeterBackColor] = kBack;
    set[MeterBarForeColor] = kFore;
    set[MeterBarBackColor] = kBarBack;
    set[MeterBarInnerColor] = kInner;
    set[MeterBarPeakColor] = kPeak;
    meter = std::make_unique<TLevelMeterForm>(host);
    ASSERT_TRUE(meter->Create());
  }
  void TearDown() override { meter.reset(); }

  // The whole window painted into a DIB of its client size.
  Pixels Paint() {
    RECT r;
    GetClientRect(meter->hwnd(), &r);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, r.right, r.bottom);
    HGDIOBJ old = SelectObject(dc, bitmap);
    meter->PaintTo(dc);
    Pixels p = test::ReadDc(dc, 0, 0, r.right, r.bottom);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return p;
  }
  void Update(std::initializer_list<int32_t> peaks, std::initializer_list<int32_t> rms) {
    int32_t p[8], q[8];
    std::fill(std::begin(p), std::end(p), -960);
    std::fill(std::begin(q), std::end(q), -960);
    std::copy(peaks.begin(), peaks.end(), p);
    std::copy(rms.begin(), rms.end(), q);
    meter->UpdateMeter(p, q);
  }
  SIZE WindowSize() const {
    RECT r;
    GetWindowRect(meter->hwnd(), &r);
    return {r.right - r.left, r.bottom - r.top};
  }

  TestDisplayHost host;
  std::unique_ptr<TLevelMeterForm> meter;
};

// Along the middle of a horizontal bar: the colour at distance d from its start.
uint32_t HorizontalAt(const Pixels& p, const MeterGeometry& g, int bar, int32_t d) {
  return p.At(g.base + d, g.barY[bar] + g.thickness / 2);
}
uint32_t VerticalAt(const Pixels& p, const MeterGeometry& g, int bar, int32_t d) {
  return p.At(g.barX[bar] + g.thickness / 2, g.base - 1 - d);
}

TEST_F(LevelMeterWindow, HorizontalBarsEndWhereTheLevelsPutThem) {
  meter->ConfigureMeter(1, 2, false);
  ASSERT_TRUE(meter->Shown());
  EXPECT_FALSE(meter->Vertical());
  RECT client;
  GetClientRect(meter->hwnd(), &client);
  EXPECT_EQ(client.right, 330);  // the first show without saved geometry
  EXPECT_EQ(client.bottom, 42);
  // -6.0 dB peak, -12.0 dB RMS on the left; -30.0 / -40.0 dB on the right.
  for (int i = 0; i < 4; ++i) Update({-60, -300}, {-120, -400});
  const MeterGeometry& g = meter->Geometry();
  ASSERT_GT(g.length, 100);
  EXPECT_EQ(g.length, 330 - g.numberWidth - 29);
  const Pixels p = Paint();
  for (int bar = 0; bar < 2; ++bar) {
    const MeterBarExtent e = meter->Model().Extent(bar, g.length);
    const int32_t peak = bar == 0 ? -60 : -300, rms = bar == 0 ? -120 : -400;
    EXPECT_EQ(e.peak, (peak + 600) * g.length / 600);
    EXPECT_EQ(e.rms, (rms + 600) * g.length / 600);
    EXPECT_EQ(HorizontalAt(p, g, bar, e.rms - 1), kInner) << bar;
    EXPECT_EQ(p.At(g.base + e.rms - 1, g.barY[bar]), kFore) << bar;  // the RMS part's edge
    EXPECT_EQ(HorizontalAt(p, g, bar, e.rms), kFore) << bar;
    EXPECT_EQ(HorizontalAt(p, g, bar, e.peak - 1), kFore) << bar;
    EXPECT_EQ(HorizontalAt(p, g, bar, e.peak), kBarBack) << bar;
    EXPECT_EQ(HorizontalAt(p, g, bar, e.hold + 1), kPeak) << bar;  // the hold mark
    EXPECT_EQ(HorizontalAt(p, g, bar, e.hold + 4), kPeak) << bar;
    EXPECT_EQ(HorizontalAt(p, g, bar, e.hold + 5), kBarBack) << bar;
  }
  // The window on the screen shows the same bar end.
  UpdateWindow(meter->hwnd());
  const Pixels screen = test::ReadScreen(meter->hwnd());
  const MeterBarExtent e0 = meter->Model().Extent(0, g.length);
  EXPECT_EQ(HorizontalAt(screen, g, 0, e0.peak - 1), kFore);
  EXPECT_EQ(HorizontalAt(screen, g, 0, e0.peak), kBarBack);
}

TEST_F(LevelMeterWindow, VerticalEightBarsAndTheLimitsOfTheScale) {
  host.Settings().LevelMeterWindow.Width = 150;
  host.Settings().LevelMeterWindow.Height = 300;
  host.Settings().LevelMeterWindow.PosX = 50;
  host.Settings().LevelMeterWindow.PosY = 50;
  meter->ConfigureMeter(2, 8, false);
  ASSERT_TRUE(meter->Vertical());
  EXPECT_EQ(meter->Channels(), 8);
  // Above 0 dB draws as 0 dB; at -60 dB the bar stays empty.
  for (int i = 0; i < 4; ++i)  // the RMS average takes four updates
    Update({50, -600, -300, 0, -1000, -10, -450, -599},
           {0, -600, -300, -10, -1000, -20, -500, -599});
  const MeterGeometry& g = meter->Geometry();
  const Pixels p = Paint();
  EXPECT_EQ(VerticalAt(p, g, 0, g.length - 1), kInner);  // full scale
  EXPECT_EQ(VerticalAt(p, g, 0, g.length), kBarBack);
  EXPECT_EQ(VerticalAt(p, g, 1, 0), kBarBack);  // -60 dB: empty
  EXPECT_EQ(VerticalAt(p, g, 4, 0), kBarBack);
  const MeterBarExtent e2 = meter->Model().Extent(2, g.length);
  EXPECT_EQ(e2.peak, 300 * g.length / 600);
  EXPECT_EQ(VerticalAt(p, g, 2, e2.peak - 1), kInner);  // RMS = peak here
  EXPECT_EQ(VerticalAt(p, g, 2, e2.peak), kBarBack);
  EXPECT_EQ(VerticalAt(p, g, 2, e2.hold + 1), kPeak);
  const MeterBarExtent e6 = meter->Model().Extent(6, g.length);
  EXPECT_EQ(VerticalAt(p, g, 6, e6.rms), kFore);
  EXPECT_EQ(VerticalAt(p, g, 6, e6.peak - 1), kFore);
  EXPECT_EQ(VerticalAt(p, g, 6, e6.peak), kBarBack);
  // The bars lie where the layout puts them for this size.
  const MeterGeometry want =
      LayOutMeter(true, 8, {150, 300}, g.barX[0] - 7, 0, g.numberWidth, false);
  EXPECT_EQ(g.barX[7], want.barX[7]);
  EXPECT_EQ(g.length, 300 - 16 - 2 * g.fontHeight - 9);
}

TEST_F(LevelMeterWindow, TextsTheResetButtonAndUpdatesWhileHidden) {
  meter->ConfigureMeter(1, 1, false);  // mono: two bars
  EXPECT_EQ(meter->Channels(), 2);
  EXPECT_FALSE(IsWindowVisible(meter->ResetButton()));
  Update({-45, -123}, {-100, -200});
  EXPECT_STREQ(meter->Model().Channel(0).text, "-4.5");
  EXPECT_STREQ(meter->Model().Channel(1).text, "-12");
  EXPECT_FALSE(meter->Model().Channel(0).textDirty);  // drawn

  meter->ConfigureMeter(1, 2, true);  // margin mode
  ASSERT_TRUE(IsWindowVisible(meter->ResetButton()));
  wchar_t caption[16];
  GetWindowTextW(meter->ResetButton(), caption, 16);
  const bool wide = std::string(meter->Geometry().resetCaption) == "Reset";
  EXPECT_STREQ(caption, wide ? L"Reset" : L"Res");
  Update({-45, -123}, {-100, -200});
  EXPECT_STREQ(meter->Model().Channel(0).text, " 4.5");
  EXPECT_STREQ(meter->Model().Channel(1).text, " 12");
  // The button resets the margins: a lower peak then shows.
  Update({-200, -200}, {-300, -300});
  EXPECT_STREQ(meter->Model().Channel(0).text, " 4.5");
  SendMessageW(meter->hwnd(), WM_COMMAND, MAKEWPARAM(IDC_LEVEL_METER_RESET_BUTTON, BN_CLICKED),
               reinterpret_cast<LPARAM>(meter->ResetButton()));
  Update({-200, -200}, {-300, -300});
  EXPECT_STREQ(meter->Model().Channel(0).text, " 20");

  meter->ConfigureMeter(0, 2, true);
  EXPECT_FALSE(meter->Shown());
  const int32_t before = meter->Model().Channel(0).peak;
  Update({0, 0}, {0, 0});
  EXPECT_EQ(meter->Model().Channel(0).peak, before);  // hidden: ignored
}

TEST_F(LevelMeterWindow, AnswersHitTestsAsCaptionAndSizingEdges) {
  meter->ConfigureMeter(1, 2, false);
  RECT r;
  GetWindowRect(meter->hwnd(), &r);
  auto hit = [&](int x, int y) {
    return SendMessageW(meter->hwnd(), WM_NCHITTEST, 0, MAKELPARAM(r.left + x, r.top + y));
  };
  const int w = r.right - r.left, h = r.bottom - r.top;
  EXPECT_EQ(hit(w / 2, h / 2), HTCAPTION);
  EXPECT_EQ(hit(2, h / 2), HTLEFT);
  EXPECT_EQ(hit(w - 3, h / 2), HTRIGHT);
  EXPECT_EQ(hit(w / 2, 1), HTTOP);
  EXPECT_EQ(hit(w / 2, h - 1), HTBOTTOM);
  EXPECT_EQ(hit(7, 7), HTTOPLEFT);
  EXPECT_EQ(hit(w - 8, h - 8), HTBOTTOMRIGHT);
  EXPECT_EQ(hit(1, h - 2), HTBOTTOMLEFT);
  EXPECT_EQ(hit(w - 1, 0), HTTOPRIGHT);
}

TEST_F(LevelMeterWindow, ResizesSwitchesOrientationAndKeepsItsLimits) {
  meter->ConfigureMeter(1, 2, false);
  SetWindowPos(meter->hwnd(), nullptr, 0, 0, 400, 60, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(meter->Geometry().length, 400 - meter->Geometry().numberWidth - 29);
  // A drag below the limits is refused by the tracking limits.
  MINMAXINFO info{};
  SendMessageW(meter->hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 200);
  EXPECT_EQ(info.ptMinTrackSize.y, 36);  // trunc(0.9 x 40)
  EXPECT_EQ(info.ptMaxTrackSize.y, 72);
  // "Horiz." to "Vert.": 400 x 60 becomes 69 x 400 (60 x 46 / 40), within the
  // vertical limits of 0.85 x 46 = 39 .. 78.
  meter->ConfigureMeter(2, 2, false);
  EXPECT_TRUE(meter->Vertical());
  EXPECT_EQ(WindowSize().cx, 69);
  EXPECT_EQ(WindowSize().cy, 400);
  // More channels widen the window for bars as thick as the two channels had.
  const int32_t thickness = meter->Geometry().thickness;
  meter->ConfigureMeter(2, 6, false);
  EXPECT_EQ(meter->Channels(), 6);
  const int32_t tw = meter->Geometry().barX[0] - 7;  // the scale column's width
  const int32_t g = static_cast<int32_t>(0.9 * (14 * 6 + 22));
  const int32_t want = std::clamp(tw + 6 * (thickness + 7) + 4, g, 2 * g);
  EXPECT_EQ(WindowSize().cx, want);
}

TEST_F(LevelMeterWindow, GeometryIsStoredOnHideAndComesBack) {
  meter->ConfigureMeter(1, 4, false);
  SetWindowPos(meter->hwnd(), nullptr, 120, 140, 360, 90, SWP_NOZORDER);
  meter->ConfigureMeter(0, 4, false);
  const auto& s = host.Settings().LevelMeterWindow;
  EXPECT_EQ(s.PosX, 120);
  EXPECT_EQ(s.PosY, 140);
  EXPECT_EQ(s.Width, 360);
  EXPECT_EQ(s.Height, 90);
  EXPECT_EQ(s.Channels, 4);
  // The next start: the same place and size.
  meter = std::make_unique<TLevelMeterForm>(host);
  ASSERT_TRUE(meter->Create());
  meter->ConfigureMeter(1, s.Channels, false);
  RECT r;
  GetWindowRect(meter->hwnd(), &r);
  EXPECT_EQ(r.left, 120);
  EXPECT_EQ(r.top, 140);
  EXPECT_EQ(r.right - r.left, 360);
  EXPECT_EQ(r.bottom - r.top, 90);
}

TEST_F(LevelMeterWindow, AMeterPlacedOffEveryScreenComesBack) {
  auto& s = host.Settings().LevelMeterWindow;
  s.PosX = 30000;
  s.PosY = -5000;
  s.Width = 330;
  s.Height = 42;
  meter->ConfigureMeter(1, 2, false);
  RECT r, work;
  GetWindowRect(meter->hwnd(), &r);
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_GE(r.left, work.left);
  EXPECT_LE(r.right, work.right);
  EXPECT_GE(r.top, work.top);
  EXPECT_LE(r.bottom, work.bottom);
}

TEST_F(LevelMeterWindow, BadSavedValuesAreBroughtWithinTheLimits) {
  auto& s = host.Settings().LevelMeterWindow;
  s.PosX = 60;
  s.PosY = 60;
  s.Width = 10;  // below every limit
  s.Height = 5;
  meter->ConfigureMeter(1, 0, false);  // no channels: shown as two bars
  EXPECT_EQ(meter->Channels(), 2);
  EXPECT_FALSE(meter->Vertical());
  EXPECT_EQ(WindowSize().cx, 200);
  EXPECT_EQ(WindowSize().cy, 36);
  EXPECT_GT(meter->Geometry().length, 0);
  meter->ConfigureMeter(2, 99, false);  // more than eight: eight
  EXPECT_EQ(meter->Channels(), 8);
  EXPECT_TRUE(meter->Vertical());
  meter->ResetMeter();
  EXPECT_EQ(meter->Model().Channel(7).peak, -960);
}

TEST_F(LevelMeterWindow, F1GoesToTheMainWindow) {
  meter->ConfigureMeter(1, 2, false);
  MSG msg;
  while (PeekMessageW(&msg, host.MainWindow(), WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE)) {
  }
  SendMessageW(meter->hwnd(), WM_KEYDOWN, VK_F1, 0);
  ASSERT_TRUE(PeekMessageW(&msg, host.MainWindow(), WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
  EXPECT_EQ(msg.wParam, static_cast<WPARAM>(VK_F1));
}

}  // namespace
}  // namespace ov
