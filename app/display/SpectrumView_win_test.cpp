#include "app/display/SpectrumView_win.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "app/display/DisplayWinTestSupport.h"

namespace ov {
namespace {

using test::Pixels;

constexpr uint32_t kBack = 0x00C0C0C0, kPlot = 0x00402010, kScale = 0x00808000, kLine = 0x0000FF00,
                   kFrame = 0x00FFFFFF, kChar = 0x00000000, kCursor1 = 0x000000FF,
                   kCursor2 = 0x00FF00FF, kOvl1 = 0x0000FFFF, kOvl2 = 0x00FF8000;
constexpr int kWidth = 800, kWaveHeight = 200, kSpectrumHeight = 440;

// The spectrum test host with its colours and what its plot shows.
class SpectrumHost : public test::SpectrumAreaHost {
 public:
  SpectrumHost() : SpectrumAreaHost(kWidth, kWaveHeight, kSpectrumHeight) {}

  void Create(int32_t drawType, int32_t dispType = 0) {
    auto& s = Settings();
    auto& c = s.Conditions;
    c.SpectrumDrawType = drawType;
    c.SpectrumDispType = dispType;
    c.WaveDrawType = 0;
    c.dB_Max = 120;
    c.dB_Shift = 0;
    c.FreqLogScale = true;
    c.SpectrumLogScale = true;
    c.SpectrumPeakOnly = false;
    c.WindowFunction = 0;
    c.Sample_N = 4096;
    auto& set = s.ColorSets[c.ColorSet];
    set[BackColor] = kBack;
    set[DiagramBackColor] = kPlot;
    set[ScaleColor] = kScale;
    set[LineColor] = kLine;
    set[FrameColor] = kFrame;
    set[CharColor] = kChar;
    set[Cursor1Color] = kCursor1;
    set[Cursor2Color] = kCursor2;
    set[OVL1Color] = kOvl1;
    set[OVL2Color] = kOvl2;
    CreateBothViews(test::PcmFormat(1, 44100, 16), 4096);
    analysis->WindowFunction = 0;
  }
  // What presenting put into the plot: the window for the GDI types, for the
  // DirectDraw types the surface that is blitted (Wine does not let a
  // window's DC read back what DirectDraw put on screen), placed into the area.
  Pixels Shown(int32_t type) {
    Pixels area = ReadSpectrum();
    if (type < kDrawDDraw1) return area;
    auto& s = display->Surfaces();
    IDirectDrawSurface7* surface =
        type == kDrawDDraw3 ? s.SurfaceB(kSpectrumViewIndex) : s.SurfaceA(kSpectrumViewIndex);
    const RECT plot = SpectrumPlot();
    HDC dc = nullptr;
    if (!surface || FAILED(surface->GetDC(&dc))) return area;
    const Pixels p = test::ReadDc(dc, 0, 0, plot.right - plot.left, plot.bottom - plot.top);
    surface->ReleaseDC(dc);
    for (int y = 0; y < p.height; ++y)
      for (int x = 0; x < p.width; ++x)
        area.rgb[static_cast<size_t>(y + plot.top) * area.width + x + plot.left] = p.At(x, y);
    return area;
  }

  void OpenSpectrumCommentEditor(POINT) override { ++commentEditorOpened; }
  int commentEditorOpened = 0;
};

constexpr int32_t kToneBin = 93;  // 1001.3 Hz at 44100 / 4096

std::vector<uint8_t> ToneOnBin(double amplitude) {
  return test::ToneFrames(test::PcmFormat(1, 44100, 16), 4096,
                          {{amplitude, test::BinHz(kToneBin, 44100, 4096)}});
}

// The pixels outside the plot that differ, with the first one's place.
std::string ChangedOutside(const Pixels& a, const Pixels& b, const RECT& plot, int fromX = 0) {
  int changed = 0;
  std::string first;
  for (int y = 0; y < a.height; ++y)
    for (int x = fromX; x < a.width; ++x) {
      const bool inside = x >= plot.left && x < plot.right && y >= plot.top && y < plot.bottom;
      if (!inside && a.At(x, y) != b.At(x, y) && changed++ == 0)
        first = " first at " + std::to_string(x) + "," + std::to_string(y);
    }
  return std::to_string(changed) + first;
}

// The x of the tone bin's point on the log axis (a column of its own there).
int32_t ToneX(const SpectrumAxis& axis) {
  return static_cast<int32_t>(
      std::trunc((1000.0 * std::log10(kToneBin * axis.binWidth) - kLogOrigin) * axis.traceWidth /
                 axis.logSpan));
}

TEST(SpectrumView, ASyntheticPeakLandsAtItsPointInEveryDrawType) {
  for (int32_t type = 0; type < kDrawTypeCount; ++type) {
    SCOPED_TRACE(kDrawTypeNames[type]);
    SpectrumHost host;
    host.Create(type);
    ASSERT_TRUE(host.display->Surfaces().Available()) << "DirectDraw is missing";
    const RECT plot = host.SpectrumPlot();
    // The window itself cannot be read back once DirectDraw surfaces exist.
    const bool windowReadable = type < kDrawDDraw1;
    const Pixels before = host.ReadSpectrum();
    if (windowReadable) {
      EXPECT_EQ(before.At(plot.left - 1, plot.top + 20), kFrame);
      EXPECT_EQ(before.At(20, 100), kBack);
    }

    host.Feed(ToneOnBin(3276.8));  // -20 dB
    host.display->DrawViews();
    host.Pump();
    const FrameAnalysis& a = *host.analysis;
    const SpectrumAxis& axis = host.display->Spectrum().Axis();
    const int32_t y = SpectrumPointY(axis, a.levelScale, a.SpectrumAmp[kToneBin]);
    EXPECT_NEAR(y, (plot.bottom - plot.top) * 2000 / 12000, 1);
    const int32_t x = ToneX(axis);
    EXPECT_NEAR(x, 417, 1);
    const Pixels after = host.Shown(type);
    if (type == kDrawDDraw2) {
      // Surface A holds the background only; the trace goes onto the window.
      EXPECT_EQ(after.At(plot.left + x + 3, plot.top + y + 5), kPlot);  // off the 1 kHz line
      int scale = 0;
      for (int i = 0; i < 40; ++i)
        scale += after.At(plot.left + 10 + i, plot.top + axis.levelLines[1]) == kScale;
      EXPECT_GT(scale, 5);
      continue;
    }
    EXPECT_EQ(after.At(plot.left + x, plot.top + y), kLine);
    EXPECT_NE(after.At(plot.left + x, plot.top + y - 3), kLine);  // nothing above the peak
    EXPECT_EQ(after.At(plot.left + 200, plot.top + 3), kPlot);
    if (windowReadable) {
      EXPECT_EQ(ChangedOutside(before, host.ReadSpectrum(), plot), "0");
    }
  }
}

TEST(SpectrumView, WithoutTheRangeBoxTheLinearAxisEndsAt5MHzUntilTheBoxIsSwitchedOff) {
  SpectrumHost host;
  host.Create(kDrawScreen);
  auto& c = host.Settings().Conditions;
  c.FreqLogScale = false;
  SpectrumView& view = host.display->Spectrum();
  view.ComputeSpectrumAxis();
  EXPECT_EQ(view.Axis().in.linearDefaultTo, 5000000);
  c.FreqDispRange = true;
  view.ComputeSpectrumAxis();
  EXPECT_EQ(view.Axis().in.linearDefaultTo, 5000000);
  c.FreqDispRange = false;  // switched off in the setup dialog
  view.ComputeSpectrumAxis();
  EXPECT_EQ(view.Axis().in.linearDefaultTo, 1000000);
  view.ComputeSpectrumAxis();
  EXPECT_EQ(view.Axis().in.linearDefaultTo, 1000000);
}

TEST(SpectrumView, MeasureModeDrawsOverlaysMarksAndValuesOnlyInTheirPlaces) {
  for (int32_t type : {kDrawScreen, kDrawImage1, kDrawImage2}) {
    SCOPED_TRACE(kDrawTypeNames[type]);
    SpectrumHost host;
    host.Create(type);
    FrameAnalysis& a = *host.analysis;
    a.measureMode = true;
    a.thdOn = true;
    a.rmsOn = true;
    // Overlay 1 as a loaded file may hold anything.
    a.overlay1.shown = a.overlay1.filled = true;
    for (int32_t k = 1000; k < a.B; ++k)
      a.Overlay1Amp[k] = k % 3 == 0 ? INFINITY : (k % 3 == 1 ? NAN : 1e300);
    host.display->Layout();
    host.RepaintSpectrum();
    const RECT plot = host.SpectrumPlot();
    EXPECT_EQ(plot.left, 95);
    const Pixels before = host.ReadSpectrum();
    host.Feed(ToneOnBin(3276.8));
    a.frameValid = true;
    host.display->DrawViews();
    host.Pump();
    const Pixels after = host.ReadSpectrum();
    // The peak mark at the top of the peak's column, in Cursor1Color.
    ASSERT_EQ(a.peakBin, kToneBin);
    EXPECT_EQ(a.peakPoint.x, ToneX(host.display->Spectrum().Axis()));
    int mark = 0;
    for (int y = 0; y < 7; ++y)
      mark += after.At(plot.left + a.peakPoint.x, plot.top + y) == kCursor1;
    EXPECT_GT(mark, 0);
    // Nothing outside the plot but the panel's values at the left (their
    // width depends on the font).
    EXPECT_EQ(ChangedOutside(before, after, plot, 80), "0");
    // The overlay's wild values stay inside the plot: its lines reach the
    // top and bottom rows there.
    int overlay = 0;
    for (int x = plot.left; x < plot.right; ++x) overlay += after.At(x, plot.top) == kOvl1;
    EXPECT_GT(overlay, 10);
    int panelTexts = 0;
    for (int y = 10; y < 40; ++y)
      for (int x = 6; x < 60; ++x) panelTexts += after.At(x, y) == kCursor1;
    EXPECT_GT(panelTexts, 10);  // the peak frequency, in Cursor1Color
  }
}

TEST(SpectrumView, ClicksSetAndRemoveTheCursorAndRightClickOpensTheCommentEditor) {
  SpectrumHost host;
  host.Create(kDrawImage1);
  FrameAnalysis& a = *host.analysis;
  a.measureMode = true;
  host.display->Layout();
  host.Feed(ToneOnBin(3276.8));
  host.display->DrawViews();
  const RECT plot = host.SpectrumPlot();
  SpectrumView& view = host.display->Spectrum();
  view.MouseDown(plot.left + a.peakPoint.x + 1, plot.top + 5, true, false);
  view.MouseUp();
  EXPECT_EQ(a.cursorBin, kToneBin);
  EXPECT_EQ(a.cursorX, a.peakPoint.x);
  view.MouseDown(plot.left + a.peakPoint.x - 1, plot.top + 5, true, false);
  view.MouseUp();
  EXPECT_EQ(a.cursorBin, -1);

  auto& c = host.Settings().Conditions;
  c.DispSpectrumComment = false;
  view.MouseDown(plot.left + 30, 6, false, true);
  EXPECT_EQ(host.commentEditorOpened, 0);
  c.DispSpectrumComment = true;
  view.MouseDown(plot.left + 30, 6, false, true);
  EXPECT_EQ(host.commentEditorOpened, 1);
  view.MouseDown(plot.left - 30, 6, false, true);  // left of the comment line
  EXPECT_EQ(host.commentEditorOpened, 1);
}

TEST(SpectrumView, ReadoutWhilePausedShowsFrequencyAndLevel) {
  SpectrumHost host;
  host.Create(kDrawScreen);
  host.Feed(ToneOnBin(32767));
  host.display->DrawViews();
  const RECT plot = host.SpectrumPlot();
  SpectrumView& view = host.display->Spectrum();
  view.MouseMove(plot.left + 100, plot.top + 50);
  EXPECT_FALSE(host.display->Readout().Visible());  // not paused: nothing
  host.display->SetPaused(true);
  view.MouseDown(plot.left + ToneX(view.Axis()), plot.top + 4, true, false);
  view.MouseUp();
  ASSERT_TRUE(host.display->Readout().Visible());
  const std::wstring line1 = host.display->Readout().Line1();
  const std::wstring line2 = host.display->Readout().Line2();
  EXPECT_EQ(line1, L" 1001.3Hz");
  EXPECT_EQ(line2, L"   0.00dB");
  view.MouseMove(5, 5);  // outside the plot: hidden
  EXPECT_FALSE(host.display->Readout().Visible());
  host.display->SetPaused(false);
}

TEST(SpectrumView, ThreeDHistoryScrollsWhileLiveAndALayoutClearsIt) {
  SpectrumHost host;
  host.Create(kDrawImage1, 1);
  FrameAnalysis& a = *host.analysis;
  a.live = true;
  SpectrumView& view = host.display->Spectrum();
  const RECT plot = host.SpectrumPlot();
  const int w = plot.right - plot.left, h = plot.bottom - plot.top;
  const Spectrum3D g = host.SpectrumThreeD();
  auto lineRows = [&](int fromRow, int toRow) {
    const Pixels p = test::ReadDc(view.ThreeDImageDc(), 0, 0, w, h);
    int n = 0;
    for (int y = fromRow; y < toRow; ++y)
      for (int x = 0; x < w; ++x) n += p.At(x, y) == kLine;
    return n;
  };
  for (int i = 0; i < 6; ++i) {
    host.Feed(ToneOnBin(32767));  // 0 dB: the front's peak reaches half the height
    host.display->DrawViews();
  }
  EXPECT_GT(lineRows(0, h), 0);
  // Older lines lie above the front: at least five line steps higher.
  EXPECT_GT(lineRows(0, g.halfHeight - 4 * g.lineStep), 4);
  // The area shows the image at the plot.
  const Pixels area = host.ReadSpectrum();
  const Pixels image = test::ReadDc(view.ThreeDImageDc(), 0, 0, w, h);
  EXPECT_EQ(area.At(plot.left + w / 2, plot.top + h - 2), image.At(w / 2, h - 2));
  // A new layout clears the history; without a new line nothing is added.
  a.live = false;
  host.display->Layout();
  host.display->DrawViews();
  EXPECT_EQ(lineRows(0, h), 0);
}

}  // namespace
}  // namespace ov
