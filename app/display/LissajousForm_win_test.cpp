// The Lissajous window under the real platform: known stereo signals land on
// the computed pixels in each draw type, the square client, the first show
// and the geometry kept in the settings, the hit test.
#include "app/display/LissajousForm_win.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "app/display/DisplayWinTestSupport.h"

namespace ov {
namespace {

using test::Pixels;
using test::TestDisplayHost;

constexpr uint32_t kPlot = 0x00402010, kLine = 0x0000FF00, kScale = 0x00808000;
constexpr double kPi = 3.14159265358979323846;

// Stereo 16-bit frames: left and right as functions of the sample index.
template <typename L, typename R>
std::vector<uint8_t> Stereo(int frames, L left, R right) {
  std::vector<uint8_t> out(static_cast<size_t>(frames) * 4);
  for (int i = 0; i < frames; ++i) {
    const int16_t l = static_cast<int16_t>(std::lround(left(i)));
    const int16_t r = static_cast<int16_t>(std::lround(right(i)));
    std::memcpy(out.data() + 4 * i, &l, 2);
    std::memcpy(out.data() + 4 * i + 2, &r, 2);
  }
  return out;
}

class LissajousWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& s = host.Settings();
    s.LissajousWindow = {};
    s.Conditions.WaveYDispMagRate = 1;
    s.Conditions.LissajousBezier = false;
    auto& set = s.ColorSets[s.Conditions.ColorSet];
    set[DiagramBackColor] = kPlot;
    set[LineColor] = kLine;
    set[ScaleColor] = kScale;
    host.CreateDisplay(test::PcmFormat(2, 44100, 16), 4096);
    form = std::make_unique<TLissajousForm>(host, *host.analysis, host.display->Counters());
    ASSERT_TRUE(form->Create());
    form->ShowForm();
    host.Pump();
  }
  void TearDown() override { form.reset(); }

  void Feed(const std::vector<uint8_t>& frames) {
    host.Feed(frames);
    host.analysis->frameValid = true;
    form->DrawLissajous();
  }
  Pixels ReadPlot() {
    const int s = form->PlotSide();
    HDC dc = GetDC(form->PlotControl());
    Pixels p = test::ReadDc(dc, 0, 0, s, s);
    ReleaseDC(form->PlotControl(), dc);
    return p;
  }
  // Trace pixels and how many of them break the rule `on`.
  template <typename On>
  std::pair<int, int> TracePixels(const Pixels& p, On on) {
    int line = 0, off = 0;
    for (int y = 0; y < p.height; ++y)
      for (int x = 0; x < p.width; ++x)
        if (p.At(x, y) == kLine) {
          ++line;
          if (!on(x, y)) ++off;
        }
    return {line, off};
  }

  TestDisplayHost host;
  std::unique_ptr<TLissajousForm> form;
};

TEST_F(LissajousWindow, FirstShowIsA120PixelSquareBesideTheWaveArea) {
  RECT w, c, area;
  GetWindowRect(form->hwnd(), &w);
  GetClientRect(form->hwnd(), &c);
  GetWindowRect(host.WaveArea(), &area);
  EXPECT_EQ(w.left, area.left + 45);
  EXPECT_EQ(w.top, area.top + 15);
  EXPECT_EQ(c.right, 120);
  EXPECT_EQ(c.bottom, 120);
  EXPECT_EQ(form->PlotSide(), 110);
}

TEST_F(LissajousWindow, SineAndCosineDrawACircle) {
  const double a = 30000;
  Feed(Stereo(
      4096, [&](int i) { return a * std::sin(2 * kPi * 441 * i / 44100); },
      [&](int i) { return a * std::cos(2 * kPi * 441 * i / 44100); }));
  const int s = form->PlotSide();
  ASSERT_EQ(form->PointCount(), 1000);  // no frame-rate readout yet
  const double radius = a * s / 65536.0;
  for (int i = 0; i < form->PointCount(); ++i) {
    const Kp05Point pt = form->Points()[i];
    const double d = std::hypot(pt.x - s / 2, pt.y - s / 2);
    // Both coordinates truncate toward the centre: up to 1 px each.
    ASSERT_NEAR(d, radius, std::sqrt(2.0)) << i;
  }
  for (int type = 0; type <= 5; ++type) {
    host.Settings().Conditions.WaveDrawType = type;
    form->PrepareLissajousBackground();
    form->DrawLissajous();
    const auto [line, off] = TracePixels(ReadPlot(), [&](int x, int y) {
      return std::abs(std::hypot(x - s / 2, y - s / 2) - radius) <= 1.5;
    });
    EXPECT_GT(line, static_cast<int>(4 * radius)) << type;  // most of the circumference
    EXPECT_EQ(off, 0) << type;
  }
}

TEST_F(LissajousWindow, EqualChannelsDrawTheDiagonalASilentRightAVerticalLine) {
  const int s = form->PlotSide();
  Feed(Stereo(
      4096, [](int i) { return 30000 * std::sin(2 * kPi * 100 * i / 44100); },
      [](int i) { return 30000 * std::sin(2 * kPi * 100 * i / 44100); }));
  // Left up, right right: the rising diagonal, x - s/2 = s/2 - y.
  auto [line, off] = TracePixels(
      ReadPlot(), [&](int x, int y) { return std::abs((x - s / 2) + (y - s / 2)) <= 1; });
  EXPECT_GT(line, s / 2);
  EXPECT_EQ(off, 0);

  Feed(Stereo(
      4096, [](int i) { return 30000 * std::sin(2 * kPi * 100 * i / 44100); },
      [](int) { return 0; }));
  std::tie(line, off) = TracePixels(ReadPlot(), [&](int x, int) { return x == s / 2; });
  EXPECT_GT(line, s / 2);
  EXPECT_EQ(off, 0);
}

TEST_F(LissajousWindow, TheDisplayChannelIsVerticalTheFollowingOneHorizontal) {
  // Display channel 1 (right) on the vertical axis, channel 0 on the horizontal.
  host.analysis->displayChannel = 1;
  Feed(Stereo(
      4096, [](int) { return 16384; }, [](int) { return -16384; }));
  const int s = form->PlotSide();
  const Kp05Point pt = form->Points()[0];
  EXPECT_EQ(pt.x, s / 2 + 16384 * s / 65536);
  EXPECT_EQ(pt.y, s / 2 + 16384 * s / 65536);
}

TEST_F(LissajousWindow, TheClientStaysSquareAndAtLeast80) {
  SetWindowPos(form->hwnd(), nullptr, 0, 0, 200, 150, SWP_NOMOVE | SWP_NOZORDER);
  RECT c;
  GetClientRect(form->hwnd(), &c);
  EXPECT_EQ(c.right, 200);
  EXPECT_EQ(c.bottom, 200);
  EXPECT_EQ(form->PlotSide(), 190);
  MINMAXINFO info{};
  SendMessageW(form->hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 80);
  EXPECT_EQ(info.ptMinTrackSize.y, 80);
  RECT r;
  GetWindowRect(form->hwnd(), &r);
  auto hit = [&](int x, int y) {
    return SendMessageW(form->hwnd(), WM_NCHITTEST, 0, MAKELPARAM(r.left + x, r.top + y));
  };
  EXPECT_EQ(hit(195, 195), HTBOTTOMRIGHT);
  EXPECT_EQ(hit(189, 195), HTCAPTION);
  EXPECT_EQ(hit(100, 100), HTCAPTION);
  POINT middle{r.left + 100, r.top + 100};
  // The plot lets the pointer through: a press over it drags the window.
  EXPECT_EQ(SendMessageW(form->PlotControl(), WM_NCHITTEST, 0, MAKELPARAM(middle.x, middle.y)),
            HTTRANSPARENT);
  EXPECT_EQ(WindowFromPoint(middle), form->hwnd());
}

TEST_F(LissajousWindow, GeometryIsStoredOnHideAndComesBackInsideTheWorkArea) {
  SetWindowPos(form->hwnd(), nullptr, 150, 160, 140, 140, SWP_NOZORDER);
  form->HideForm();
  EXPECT_FALSE(form->Shown());
  const auto& s = host.Settings().LissajousWindow;
  EXPECT_EQ(s.PosX, 150);
  EXPECT_EQ(s.PosY, 160);
  EXPECT_EQ(s.Width, 140);
  EXPECT_EQ(s.Height, 140);
  form = std::make_unique<TLissajousForm>(host, *host.analysis, host.display->Counters());
  ASSERT_TRUE(form->Create());
  form->ShowForm();
  RECT r;
  GetWindowRect(form->hwnd(), &r);
  EXPECT_EQ(r.left, 150);
  EXPECT_EQ(r.top, 160);
  EXPECT_EQ(r.right - r.left, 140);
  // Moved off the screen, the next show brings it back.
  SetWindowPos(form->hwnd(), nullptr, -3000, 20000, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
  form->ShowForm();
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(form->hwnd(), &r);
  EXPECT_GE(r.left, work.left);
  EXPECT_LE(r.bottom, work.bottom);
}

}  // namespace
}  // namespace ov
