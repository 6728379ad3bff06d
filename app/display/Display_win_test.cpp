#include "app/display/Display_win.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <cmath>

#include "app/display/DisplayTestSupport.h"
#include "app/display/DisplayWinTestSupport.h"
#include "app/display/WaveReadout.h"
#include "app/display/WaveTrace.h"
#include "app/display/WinmmTimerApi_win.h"

namespace ov {
namespace {

using test::Pixels;
using test::TestDisplayHost;

constexpr uint32_t kBack = 0x00C0C0C0, kPlot = 0x00402010, kScale = 0x00808000, kLine = 0x0000FF00,
                   kFrame = 0x00FFFFFF, kChar = 0x00000000;

void UseTestColours(SettingsValues& s) {
  auto& set = s.ColorSets[s.Conditions.ColorSet];
  set[BackColor] = kBack;
  set[DiagramBackColor] = kPlot;
  set[ScaleColor] = kScale;
  set[LineColor] = kLine;
  set[FrameColor] = kFrame;
  set[CharColor] = kChar;
}

// Records the presenting calls and injects surface loss.
class CountingSeam : public DirectDrawSeam {
 public:
  HRESULT Blt(IDirectDrawSurface7* target, RECT* targetRect, IDirectDrawSurface7* source,
              RECT* sourceRect, DWORD flags, DDBLTFX* fx) override {
    ++blits;
    if (targetRect && source) {
      lastTarget = target;
      lastTargetRect = *targetRect;
    }
    if (loseNext > 0 && --loseNext == 0) return DDERR_SURFACELOST;
    return DirectDrawSeam::Blt(target, targetRect, source, sourceRect, flags, fx);
  }
  HRESULT WaitForVerticalBlank(IDirectDraw7*) override {
    ++waits;
    return DD_OK;  // the real one returns at once under Wine
  }
  HRESULT Restore(IDirectDrawSurface7* surface) override {
    restored.push_back(surface);
    return DirectDrawSeam::Restore(surface);
  }
  int blits = 0, waits = 0;
  int loseNext = 0;  // the n-th blit from now reports a lost surface
  IDirectDrawSurface7* lastTarget = nullptr;
  RECT lastTargetRect{};
  std::vector<IDirectDrawSurface7*> restored;
};

std::vector<uint8_t> Tone(double hz, double amplitude, int frames = 4096) {
  return test::ToneFrames(test::PcmFormat(1, 44100, 16), frames, {{amplitude, hz}});
}

// Pixels of the wave plot and of everything around it.
struct PlotCount {
  int line = 0, plot = 0, total = 0;
};
PlotCount CountPlot(const Pixels& p, const RECT& plot) {
  PlotCount c;
  for (int y = plot.top; y < plot.bottom; ++y)
    for (int x = plot.left; x < plot.right; ++x) {
      ++c.total;
      if (p.At(x, y) == kLine) ++c.line;
      if (p.At(x, y) == kPlot) ++c.plot;
    }
  return c;
}
int ChangedOutside(const Pixels& before, const Pixels& after, const RECT& plot) {
  int changed = 0;
  for (int y = 0; y < before.height; ++y)
    for (int x = 0; x < before.width; ++x) {
      const bool inside = x >= plot.left && x < plot.right && y >= plot.top && y < plot.bottom;
      if (!inside && before.At(x, y) != after.At(x, y)) ++changed;
    }
  return changed;
}

class DisplayDrawing : public ::testing::Test {
 protected:
  void Build(int32_t drawType, int32_t xMag = 4, int32_t yMag = 1) {
    auto& c = host.Settings().Conditions;
    c.WaveDrawType = drawType;
    c.WaveXDispMagRate = xMag;
    c.WaveYDispMagRate = yMag;
    c.WaveCheckVBlank = true;
    UseTestColours(host.Settings());
    host.CreateDisplay(test::PcmFormat(1, 44100, 16), 4096, nullptr, &seam);
    host.Repaint();
  }
  // The picture of a frame, with the plot's top left at its plot position:
  // what the window shows for the GDI draw types; for the DirectDraw types
  // the surface that is blitted to the screen (Wine does not let a window's
  // DC read back what DirectDraw put on screen), placed into the area.
  Pixels Shown(int32_t type) {
    Pixels area = host.ReadArea();
    if (type < kDrawDDraw1) return area;
    auto& s = host.display->Surfaces();
    IDirectDrawSurface7* surface =
        type == kDrawDDraw3 ? s.SurfaceB(kWaveViewIndex) : s.SurfaceA(kWaveViewIndex);
    const RECT plot = host.WavePlot();
    HDC dc = nullptr;
    if (!surface || FAILED(surface->GetDC(&dc))) return area;
    const Pixels p = test::ReadDc(dc, 0, 0, plot.right - plot.left, plot.bottom - plot.top);
    surface->ReleaseDC(dc);
    for (int y = 0; y < p.height; ++y)
      for (int x = 0; x < p.width; ++x)
        area.rgb[static_cast<size_t>(y + plot.top) * area.width + x + plot.left] = p.At(x, y);
    return area;
  }
  // The DirectDraw types blit to the plot's place on screen.
  void ExpectBlitToThePlot() {
    RECT r = host.WavePlot();
    MapWindowPoints(host.WaveArea(), nullptr, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(seam.lastTarget, host.display->Surfaces().Primary());
    EXPECT_EQ(seam.lastTargetRect.left, r.left);
    EXPECT_EQ(seam.lastTargetRect.top, r.top);
    EXPECT_EQ(seam.lastTargetRect.right, r.right);
    EXPECT_EQ(seam.lastTargetRect.bottom, r.bottom);
  }

  CountingSeam seam;
  TestDisplayHost host;
};

TEST_F(DisplayDrawing, EveryDrawTypePaintsTheTraceOnThePlotColourAndNothingOutside) {
  for (int32_t type = 0; type < kDrawTypeCount; ++type) {
    SCOPED_TRACE(kDrawTypeNames[type]);
    Build(type);
    ASSERT_TRUE(host.display->Surfaces().Available()) << "DirectDraw is missing";
    const RECT plot = host.WavePlot();
    const Pixels before = host.ReadArea();
    host.Feed(Tone(441, 16000));
    host.display->DrawViews();
    host.Pump();
    const Pixels after = Shown(type);
    const PlotCount c = CountPlot(after, plot);
    if (type >= kDrawDDraw1) ExpectBlitToThePlot();
    if (type == kDrawDDraw2) {
      // Surface A holds the background only; the trace goes onto the window.
      EXPECT_EQ(c.line, 0);
      EXPECT_GT(c.plot, c.total / 2);
      continue;
    }
    EXPECT_GT(c.line, plot.right - plot.left);  // a trace across the whole width
    EXPECT_GT(c.plot, c.total / 2);             // on the plot colour
    if (type >= kDrawDDraw1) continue;          // the window itself cannot be read back then
    EXPECT_EQ(ChangedOutside(before, after, plot), 0);
    EXPECT_EQ(after.At(plot.left - 1, plot.top + 3), kFrame);
    EXPECT_EQ(after.At(5, 100), kBack);
  }
}

TEST_F(DisplayDrawing, ToneCrestsAndTroughsLieWhereTheAxisPutsThem) {
  for (int32_t type : {0, 2, 3, 5}) {
    SCOPED_TRACE(kDrawTypeNames[type]);
    Build(type, 4, 1);
    host.Feed(Tone(441, 16000));  // period 100 samples: crests at 25, 125, ...
    host.display->DrawViews();
    host.Pump();
    const Pixels p = Shown(type);
    const RECT plot = host.WavePlot();
    const WaveAxis& axis = host.display->Wave().Axis();
    const int32_t h = plot.bottom - plot.top;
    int checked = 0;
    for (int32_t i = 25; i < axis.n; i += 50, ++checked) {
      const bool crest = (i / 50) % 2 == 0;
      const int32_t x = static_cast<int32_t>(int64_t{i} * (axis.in.width - 1) / axis.d);
      const int32_t y = WaveSampleY((crest ? 16000 : -16000) * 65536, h, 1);
      // The trace's extreme in this column lies on the expected row (+-1).
      int extreme = crest ? h : -1;
      for (int32_t yy = 0; yy < h; ++yy)
        if (p.At(plot.left + x, plot.top + yy) == kLine)
          extreme = crest ? std::min(extreme, yy) : std::max(extreme, yy);
      EXPECT_NEAR(extreme, y, 1) << "sample " << i;
    }
    EXPECT_GE(checked, 20);
  }
}

TEST_F(DisplayDrawing, VerticalBlankWaitOnlyForScreenImage2AndDDraw2) {
  for (int32_t type = 0; type < kDrawTypeCount; ++type) {
    Build(type);
    ASSERT_TRUE(host.display->Surfaces().VBlankAvailable());
    host.Feed(Tone(441, 16000));
    const int before = seam.waits;
    host.display->DrawViews();
    EXPECT_EQ(seam.waits - before, type == 0 || type == 2 || type == 4 ? 1 : 0)
        << kDrawTypeNames[type];
  }
  host.Settings().Conditions.WaveCheckVBlank = false;
  const int before = seam.waits;
  host.display->DrawViews();
  EXPECT_EQ(seam.waits, before);
}

TEST_F(DisplayDrawing, LostSurfacesAreRestoredAndTheBackgroundRedrawn) {
  const struct {
    int32_t type;
    int expectedRestores;
  } cases[] = {{3, 1}, {4, 2}, {5, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(kDrawTypeNames[c.type]);
    Build(c.type);
    host.Feed(Tone(441, 16000));
    auto& s = host.display->Surfaces();
    seam.restored.clear();
    seam.loseNext = 1;  // the frame's first blit
    const int blitsBefore = seam.blits;
    host.display->DrawViews();
    ASSERT_EQ(seam.restored.size(), static_cast<size_t>(c.expectedRestores));
    if (c.type == 3) {
      EXPECT_EQ(seam.restored[0], s.SurfaceA(kWaveViewIndex));
    }
    if (c.type == 4) {
      EXPECT_EQ(seam.restored[0], s.Primary());
      EXPECT_EQ(seam.restored[1], s.SurfaceA(kWaveViewIndex));
    }
    if (c.type == 5) {
      EXPECT_EQ(seam.restored[0], s.SurfaceB(kWaveViewIndex));
      EXPECT_EQ(seam.restored[1], s.SurfaceA(kWaveViewIndex));
    }
    // The failed blit is not repeated; the background is colour-filled again
    // (one more blit) where it is pre-drawn.
    const int perFrame = c.type == 4 ? 1 : 2;
    EXPECT_EQ(seam.blits - blitsBefore, perFrame + 1);
    // The next frame shows the full picture again.
    host.display->DrawViews();
    host.Pump();
    const PlotCount count = CountPlot(Shown(c.type), host.WavePlot());
    if (c.type != kDrawDDraw2) {
      EXPECT_GT(count.line, 100);
    }
    EXPECT_GT(count.plot, count.total / 2);
  }
}

TEST_F(DisplayDrawing, LowWaveAreasDrawFrameAndLabelsButNoPlot) {
  for (int32_t type = 0; type < kDrawTypeCount; ++type) {
    SCOPED_TRACE(kDrawTypeNames[type]);
    Build(type);
    host.ResizeArea(640, 18);  // plot height 18 - 27 < 0
    host.display->Layout();
    EXPECT_EQ(host.display->Wave().Presenter().ImageDc(), nullptr);
    host.Feed(Tone(441, 16000));
    const int blits = seam.blits;
    if (type >= kDrawDDraw1) {
      // With surfaces in use the window can be neither read back nor
      // repainted reliably under Wine: nothing may reach the surfaces.
      host.display->DrawViews();
      EXPECT_EQ(seam.blits, blits);
      continue;
    }
    host.Repaint();
    const Pixels before = host.ReadArea();
    host.display->DrawViews();
    host.analysis->frameValid = true;
    host.Repaint();  // the paint handler with a frame to draw
    const Pixels after = host.ReadArea();
    EXPECT_EQ(ChangedOutside(before, after, RECT{}), 0);
    // The bevel's outer edge and the margin colour are there.
    EXPECT_EQ(after.At(0, 5), GetSysColor(COLOR_BTNSHADOW) & 0xFFFFFF);
    EXPECT_EQ(after.At(20, 5), kBack);
  }
}

TEST_F(DisplayDrawing, ShiftAndCtrlFreezeTheViewsCtrlAloneTheLissajousWindow) {
  Build(0);
  host.lissajousShown = true;
  host.Feed(Tone(441, 16000));
  host.display->DrawViews();
  EXPECT_EQ(host.lissajousDrawn, 1);
  EXPECT_EQ(host.spectrumDrawn, 1);
  const Pixels before = host.ReadArea();
  host.Feed(Tone(882, 9000));
  keybd_event(VK_CONTROL, 0, 0, 0);
  host.display->DrawViews();  // Ctrl: only the Lissajous window stands still
  EXPECT_EQ(host.lissajousDrawn, 1);
  EXPECT_EQ(host.spectrumDrawn, 2);
  keybd_event(VK_SHIFT, 0, 0, 0);
  const Pixels ctrlOnly = host.ReadArea();
  host.Feed(Tone(441, 16000));
  host.display->DrawViews();  // Shift+Ctrl: everything stands still
  const Pixels frozen = host.ReadArea();
  keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
  keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
  EXPECT_EQ(host.spectrumDrawn, 2);
  EXPECT_NE(before.rgb, ctrlOnly.rgb);
  EXPECT_EQ(ctrlOnly.rgb, frozen.rgb);
}

TEST_F(DisplayDrawing, ReadoutWhilePausedSnapsWarpsThePointerAndSkipsThreeMoves) {
  Build(0, 4, 1);
  host.Feed(Tone(441, 16000));
  host.analysis->frameValid = true;
  host.display->DrawViews();
  WaveView& wave = host.display->Wave();
  const RECT plot = host.WavePlot();
  // Not paused: moves over the plot do nothing.
  wave.MouseMove(plot.left + 100, plot.top + 50, false);
  EXPECT_FALSE(host.display->Readout().Visible());

  host.display->SetPaused(true);
  const WaveAxis& axis = wave.Axis();
  const int32_t px = 14;  // sample 25: the first crest
  wave.MouseMove(plot.left + px, plot.top + 50, false);
  ASSERT_TRUE(host.display->Readout().Visible());
  const int32_t idx = static_cast<int32_t>(px * double(axis.d) / (axis.in.width - 1) + 0.5);
  char value[32], hex[32], time[32];
  FormatReadoutValue(host.analysis->selectedSamples[idx], 16, false, value);
  FormatReadoutValue(host.analysis->selectedSamples[idx], 16, true, hex);
  FormatReadoutTime(idx, 44100, axis.span, time);
  auto wide = [](const char* s) { return std::wstring(s, s + strlen(s)); };
  EXPECT_EQ(std::wstring(host.display->Readout().Line1()), wide(value));
  EXPECT_EQ(std::wstring(host.display->Readout().Line2()), wide(time));
  wave.MouseMove(plot.left + px, plot.top + 50, true);  // Shift: the other base
  EXPECT_EQ(std::wstring(host.display->Readout().Line1()), wide(hex));

  // A click above the trace snaps to the crest and moves the pointer there.
  wave.MouseDown(plot.left + px + 3, plot.top + 2, true);
  POINT at;
  GetCursorPos(&at);
  ScreenToClient(host.WaveArea(), &at);
  const int32_t h = plot.bottom - plot.top;
  EXPECT_NEAR(at.y - plot.top, WaveSampleY(16000 * 65536, h, 1), 1);
  EXPECT_NEAR(at.x - plot.left, 25 * (axis.in.width - 1) / axis.d, 1);
  EXPECT_EQ(wave.ReadoutSkip(), 3);
  for (int i = 0; i < 3; ++i) wave.MouseMove(plot.left + 300, plot.top + 40, false);
  EXPECT_EQ(std::wstring(host.display->Readout().Line2()), wide(time));  // unchanged
  // Dragging beyond the plot's right edge reads the last shown sample.
  wave.MouseMove(plot.right + 200, plot.top + 40, false);
  FormatReadoutTime(axis.n - 1, 44100, axis.span, time);
  EXPECT_EQ(std::wstring(host.display->Readout().Line2()), wide(time));
  wave.MouseUp();
  // Outside the plot the readout goes away.
  wave.MouseMove(5, 5, false);
  EXPECT_FALSE(host.display->Readout().Visible());
}

TEST_F(DisplayDrawing, CopyScreenPutsTheChosenPartOnTheClipboard) {
  Build(1);
  host.Feed(Tone(441, 16000));
  host.display->DrawViews();
  host.Pump();
  const CaptureLayout layout = host.CaptureGeometry();
  for (int32_t mode = 0; mode <= 4; ++mode) {
    host.Settings().Conditions.CaptureMode = mode;
    host.Settings().Conditions.CaptureMouseCursor = false;
    ASSERT_TRUE(host.display->CopyScreen()) << mode;
    ASSERT_TRUE(OpenClipboard(host.MainWindow()));
    HBITMAP bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    ASSERT_NE(bitmap, nullptr);
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    const CapturePlan plan = PlanCapture(mode, layout);
    EXPECT_EQ(info.bmWidth, plan.width) << mode;
    EXPECT_EQ(info.bmHeight, plan.height) << mode;
    if (mode == 2) {
      HDC screen = GetDC(nullptr);
      HDC memory = CreateCompatibleDC(screen);
      HGDIOBJ old = SelectObject(memory, bitmap);
      const Pixels copy = test::ReadDc(memory, 0, 0, plan.width, plan.height);
      SelectObject(memory, old);
      DeleteDC(memory);
      ReleaseDC(nullptr, screen);
      EXPECT_EQ(copy.rgb, host.ReadArea().rgb);
    }
    CloseClipboard();
  }
}

TEST(DisplayTimer, RealSixteenMillisecondTimerTicksAtItsRate) {
  WinmmTimerApi api;
  MMTimer timer(api, 16, 9, true);
  ASSERT_NE(timer.Start(), 0u);
  const auto t0 = std::chrono::steady_clock::now();
  const uint64_t first = timer.Ticks();
  Sleep(2000);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  const double perSecond = (timer.Ticks() - first) / seconds;
  EXPECT_TRUE(timer.Stop());
  // A loose bound: 62.5 expected; a loaded machine delays ticks.
  EXPECT_GE(perSecond, 40.0);
  EXPECT_LE(perSecond, 90.0);
}

class DisplayLoop : public ::testing::TestWithParam<int32_t> {};

TEST_P(DisplayLoop, FramesFlowWhileRunningAndStopWhenParked) {
  TestDisplayHost host;
  auto& c = host.Settings().Conditions;
  c.UseTimer = GetParam();
  c.DispThreadSleepPeriod = 10;
  UseTestColours(host.Settings());
  host.CreateDisplay(test::PcmFormat(1, 44100, 16), 4096);
  host.source.block = Tone(441, 16000);
  host.source.playState = kPlayPlaying;
  host.display->TransportStarting();
  host.display->TransportStarted();
  ASSERT_TRUE(host.display->SetDisplayRunning(true));
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(2500);
  while (std::chrono::steady_clock::now() < end) {
    host.Pump();
    Sleep(2);
  }
  // Timer1 has taken at least one readout: a number of frames per second.
  const int fps = atoi(host.frameRateText.c_str());
  EXPECT_GT(fps, 5) << host.frameRateText;
  EXPECT_EQ(c.UseTimer == 1, host.display->Timer().Running());
  EXPECT_TRUE(host.display->SetDisplayRunning(false));
  EXPECT_TRUE(host.display->Thread().Parked());
  EXPECT_FALSE(host.display->Timer().Running());
  const uint64_t turns = host.display->Thread().Turns();
  Sleep(200);
  host.Pump();
  EXPECT_EQ(host.display->Thread().Turns(), turns);
  host.display->TransportStopped();
  EXPECT_EQ(host.frameRateText, "");
  const PlotCount count = CountPlot(host.ReadArea(), host.WavePlot());
  EXPECT_GT(count.line, 100);
}

INSTANTIATE_TEST_SUITE_P(SleepAndTimer, DisplayLoop, ::testing::Values(0, 1));

TEST(DisplayTransport, APumpStartBeforeTheStartedStepKeepsTheFramesFlowing) {
  // The engine's pump starts the display from its own thread as soon as
  // samples flow; the main thread may run that start before it reaches the
  // started step of the transport, which must then leave the thread running.
  TestDisplayHost host;
  host.Settings().Conditions.DispThreadSleepPeriod = 10;
  UseTestColours(host.Settings());
  host.CreateDisplay(test::PcmFormat(1, 44100, 16), 4096);
  host.source.block = Tone(441, 16000);
  host.source.playState = kPlayPlaying;
  host.display->TransportStarting();
  ASSERT_TRUE(host.display->Thread().Parked());
  std::thread pump([&] { host.display->SetDisplayRunning(true); });
  for (int i = 0; i < 500 && !host.display->Thread().Active(); ++i) {
    host.Pump();
    Sleep(2);
  }
  pump.join();
  ASSERT_TRUE(host.display->Thread().Active());
  host.display->TransportStarted();
  const uint64_t turns = host.display->Thread().Turns();
  for (int i = 0; i < 100 && host.display->Thread().Turns() < turns + 5; ++i) {
    host.Pump();
    Sleep(5);
  }
  EXPECT_FALSE(host.display->Thread().Parked());
  EXPECT_GE(host.display->Thread().Turns(), turns + 5) << "frames stopped after the start";
  EXPECT_TRUE(host.display->SetDisplayRunning(false));
  host.display->TransportStopped();
}

// The setup dialog stores a new sleep period and posts the timer-period
// message while frames run: the thread sleeping between frames takes it too.
TEST(DisplayTimerPeriods, TheMessageAlsoChangesTheSleepBetweenFrames) {
  TestDisplayHost host;
  auto& c = host.Settings().Conditions;
  c.DispThreadSleepPeriod = 200;
  UseTestColours(host.Settings());
  host.CreateDisplay(test::PcmFormat(1, 44100, 16), 4096);
  host.source.block = Tone(441, 16000);
  host.source.playState = kPlayPlaying;
  host.display->TransportStarting();
  host.display->TransportStarted();
  ASSERT_TRUE(host.display->SetDisplayRunning(true));
  auto turnsIn = [&](int ms) {
    const uint64_t before = host.display->Thread().Turns();
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
      host.Pump();
      Sleep(1);
    }
    return host.display->Thread().Turns() - before;
  };
  turnsIn(250);  // the first turn's wait, under the old period
  const uint64_t slow = turnsIn(1000);
  c.DispThreadSleepPeriod = 2;
  SendMessageW(host.MainWindow(), kTimerPeriodMessage, 2, 0);
  turnsIn(250);  // a sleep of the old period may still be running
  const uint64_t fast = turnsIn(1000);
  EXPECT_LE(slow, 7u);
  EXPECT_GE(fast, 50u) << "the thread kept sleeping 200 ms between frames";
  EXPECT_TRUE(host.display->SetDisplayRunning(false));
  host.display->TransportStopped();
}

TEST(DisplayTimerPeriods, MessageAndTransportPeriods) {
  test::FakeTimerApi api;
  api.capsMin = 2;
  TestDisplayHost host;
  host.Settings().Conditions.TimerResolution = 1;
  host.CreateDisplay(test::PcmFormat(1, 44100, 16), 4096, &api);
  SendMessageW(host.MainWindow(), kTimerPeriodMessage, 0, 0);
  EXPECT_EQ(host.display->Timer().Period(), 2u);  // 0 -> 1, raised to the minimum
  SendMessageW(host.MainWindow(), kTimerPeriodMessage, 25, 0);
  EXPECT_EQ(host.display->Timer().Period(), 25u);

  host.display->BeginTransportTimerPeriod();
  EXPECT_EQ(host.display->TransportTimerPeriod(), 2u);  // the larger of 1 and the minimum
  host.display->EndTransportTimerPeriod();
  EXPECT_EQ(host.display->TransportTimerPeriod(), 0u);
  api.beginOk = false;
  host.display->BeginTransportTimerPeriod();
  EXPECT_EQ(host.display->TransportTimerPeriod(), 0u);
  host.Settings().Conditions.TimerResolution = 0;
  api.beginOk = true;
  host.display->BeginTransportTimerPeriod();
  EXPECT_EQ(host.display->TransportTimerPeriod(), 0u);
}

}  // namespace
}  // namespace ov
