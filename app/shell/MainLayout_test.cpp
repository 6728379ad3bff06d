#include "app/shell/MainLayout.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace ov {
namespace {

MainLayoutInput Window800x600() {
  MainLayoutInput in;
  in.clientWidth = 800;
  in.clientHeight = 600;
  in.topPanelHeight = 40;
  in.splitterHeight = 4;
  in.bottomPanelHeight = 56;  // 500 pixels left for the two areas
  in.lines3D = 40;
  in.deltaX3D = 3;
  return in;
}

TEST(MainLayout, SplitterTableGivesTheAreasAndPlots) {
  struct Case {
    int32_t ratio, waveHeight, spectrumTop, spectrumHeight;
  } cases[] = {
      {500, 250, 294, 250}, {0, 1, 45, 499},   {1000, 499, 543, 1},
      {333, 166, 210, 334}, {-20, 1, 45, 499}, {2000, 499, 543, 1},
  };
  for (const Case& c : cases) {
    MainLayoutInput in = Window800x600();
    in.waveAreaRatio = c.ratio;
    MainLayoutResult r = LayOutMainWindow(in);
    EXPECT_EQ(r.waveArea, (LayoutRect{0, 40, 800, c.waveHeight})) << c.ratio;
    EXPECT_EQ(r.splitter, (LayoutRect{0, 40 + c.waveHeight, 800, 4})) << c.ratio;
    EXPECT_EQ(r.spectrumArea, (LayoutRect{0, c.spectrumTop, 800, c.spectrumHeight})) << c.ratio;
    EXPECT_EQ(r.wavePlot, (LayoutRect{41, 7, 748, c.waveHeight - 24})) << c.ratio;
    EXPECT_EQ(r.spectrumPlot, (LayoutRect{41, 7, 748, std::max(1, c.spectrumHeight - 27)}))
        << c.ratio;
    EXPECT_EQ(r.clientHeight, 600);
  }
}

TEST(MainLayout, AShrunkWindowGrowsBackToKeepTwoPixels) {
  MainLayoutInput in = Window800x600();
  in.clientHeight = 50;
  MainLayoutResult r = LayOutMainWindow(in);
  EXPECT_EQ(r.clientHeight, 40 + 4 + 56 + 2);
  EXPECT_EQ(r.waveArea.height, 1);
  EXPECT_EQ(r.spectrumArea.height, 1);
  EXPECT_EQ(r.spectrumPlot.height, 1);
  EXPECT_EQ(r.spectrumPlot.width, 748);
}

TEST(MainLayout, MeasureModeCommentAndLissajous) {
  MainLayoutInput in = Window800x600();
  in.measureMode = true;
  in.spectrumComment = true;
  in.lissajous = true;
  MainLayoutResult r = LayOutMainWindow(in);
  EXPECT_EQ(r.spectrumPlot, (LayoutRect{95, 18, 694, 250 - 18 - 20}));
  EXPECT_EQ(r.wavePlot, (LayoutRect{41, 7, 236, 236}));  // side = min(748, 250 - 14)
  in.lissajousCenter = true;
  r = LayOutMainWindow(in);
  EXPECT_EQ(r.wavePlot.left, (800 - 236) / 2);
  in.clientWidth = 300;  // centred would fall left of the margin
  r = LayOutMainWindow(in);
  EXPECT_EQ(r.wavePlot.width, 236);
  EXPECT_EQ(r.wavePlot.left, 41);
  in.clientWidth = 60;  // the spectrum plot keeps 10 pixels
  EXPECT_EQ(LayOutMainWindow(in).spectrumPlot.width, 10);
}

TEST(MainLayout, ThreeDGeometry) {
  MainLayoutInput in = Window800x600();  // spectrum plot 748 x 223
  MainLayoutResult r = LayOutMainWindow(in);
  ASSERT_EQ(r.spectrumPlot.height, 223);
  EXPECT_EQ(r.threeD.lineStep, 222 / 40);     // 5
  EXPECT_EQ(r.threeD.lineCount, 222 / 5);     // 44
  EXPECT_EQ(r.threeD.depthOffset, 44 * 3);    // 132
  EXPECT_EQ(r.threeD.frontWidth, 747 - 132);  // 615
  EXPECT_EQ(r.threeD.halfHeight, 111);
  in.deltaX3D = 20;  // the front keeps half the width
  EXPECT_EQ(LayOutMainWindow(in).threeD.frontWidth, 747 / 2);
  in.lines3D = 1000;  // more lines than pixels: one pixel per line
  EXPECT_EQ(LayOutMainWindow(in).threeD.lineStep, 1);
}

TEST(MainLayout, TrackBarWidth) {
  MainLayoutInput in = Window800x600();
  in.topPanelWidth = 800;
  in.trackBarLeft = 300;
  in.rightPanelWidth = 200;
  EXPECT_EQ(LayOutMainWindow(in).trackBarWidth, 136);  // resizing off
  in.resizeTrackBar = true;
  EXPECT_EQ(LayOutMainWindow(in).trackBarWidth, 299);
  in.rightPanelWidth = 364;  // 135 left: too narrow
  EXPECT_EQ(LayOutMainWindow(in).trackBarWidth, 136);
  in.rightPanelWidth = 363;  // 136 left
  EXPECT_EQ(LayOutMainWindow(in).trackBarWidth, 136);
  in.rightPanelWidth = 362;
  EXPECT_EQ(LayOutMainWindow(in).trackBarWidth, 137);
}

TEST(MainLayout, SplitterMoveSetsTheRatio) {
  EXPECT_EQ(WaveAreaRatioAfterSplitterMove(250, 250), 500);
  EXPECT_EQ(WaveAreaRatioAfterSplitterMove(1, 499), 2);
  EXPECT_EQ(WaveAreaRatioAfterSplitterMove(300, 100), 750);
  EXPECT_EQ(WaveAreaRatioAfterSplitterMove(0, 0), 500);
}

}  // namespace
}  // namespace ov

namespace ov {
namespace {

TEST(MainLayout, SweepOfSizesKeepsTheInvariants) {
  for (int32_t width = 0; width <= 1600; width += 97) {
    for (int32_t height = 0; height <= 1200; height += 13) {
      for (int32_t ratio : {0, 1, 250, 500, 999, 1000}) {
        for (int mode = 0; mode < 4; ++mode) {
          MainLayoutInput in = Window800x600();
          in.clientWidth = width;
          in.clientHeight = height;
          in.waveAreaRatio = ratio;
          in.lissajous = mode & 1;
          in.lissajousCenter = true;
          in.measureMode = mode & 2;
          in.spectrumComment = mode & 2;
          in.bottomPanelHeight = in.measureMode ? kMeasurePanelHeight : 0;
          const MainLayoutResult r = LayOutMainWindow(in);
          const int32_t fixed = in.topPanelHeight + in.splitterHeight + in.bottomPanelHeight;
          SCOPED_TRACE(testing::Message()
                       << width << "x" << height << " ratio " << ratio << " mode " << mode);
          // 2 pixels kept for both areas, the window grown when needed.
          EXPECT_GE(r.clientHeight, fixed + 2);
          EXPECT_GE(r.clientHeight, height);
          EXPECT_GE(r.waveArea.height, 1);
          EXPECT_GE(r.spectrumArea.height, 1);
          EXPECT_EQ(r.waveArea.height + r.splitter.height + r.spectrumArea.height,
                    r.clientHeight - in.topPanelHeight - in.bottomPanelHeight);
          // The bottom panel lies under the spectrum area and ends at the client's bottom.
          EXPECT_EQ(r.bottomPanel.top, r.spectrumArea.bottom());
          EXPECT_EQ(r.bottomPanel.bottom(), r.clientHeight);
          EXPECT_EQ(r.splitter.top, r.waveArea.top + r.waveArea.height);
          EXPECT_EQ(r.spectrumArea.top, r.splitter.top + r.splitter.height);
          // The spectrum plot keeps at least 1 pixel, and 10 in width.
          EXPECT_GE(r.spectrumPlot.height, 1);
          EXPECT_GE(r.spectrumPlot.width, 10);
          // The wave plot is what the area leaves: 24 pixels less, 14 less
          // for the square Lissajous side, never more than the width allows.
          EXPECT_EQ(r.wavePlot.top, 7);
          EXPECT_GE(r.wavePlot.width, in.lissajous ? r.wavePlot.height : 1);
          if (!in.lissajous) {
            EXPECT_EQ(r.wavePlot.height, r.waveArea.height - 24);
          }
          if (in.lissajous) {
            EXPECT_LE(r.wavePlot.height, r.waveArea.height - 14);
            EXPECT_EQ(r.wavePlot.width, r.wavePlot.height);
            EXPECT_GE(r.wavePlot.left, kPlotLeftMargin);
          }
          // The 3D front keeps at least half the width; lines fit the height.
          EXPECT_GE(r.threeD.frontWidth, (r.spectrumPlot.width - 1) / 2);
          EXPECT_GE(r.threeD.lineStep, 1);
          EXPECT_LE(r.threeD.lineCount * r.threeD.lineStep, std::max(0, r.spectrumPlot.height - 1));
        }
      }
    }
  }
}

}  // namespace
}  // namespace ov

namespace ov {
namespace {

TEST(MainLayout, ALowWaveAreaLeavesNoWavePlot) {
  // Wave areas of 10 to 24 pixels: a plot height of 0 or less (the view then
  // draws bevel, frame and labels only); 25 pixels give the first plot row.
  MainLayoutInput in = Window800x600();
  in.clientHeight = 40 + 4 + 56 + 100;  // 100 pixels for the two areas
  for (int32_t wave = 10; wave <= 25; ++wave) {
    in.waveAreaRatio = wave * 10;
    const MainLayoutResult r = LayOutMainWindow(in);
    ASSERT_EQ(r.waveArea.height, wave);
    EXPECT_EQ(r.wavePlot.height, wave - 24);
    EXPECT_EQ(r.wavePlot.width, 748);
    EXPECT_EQ(r.spectrumArea.height, 100 - wave);
    in.lissajous = true;
    EXPECT_EQ(LayOutMainWindow(in).wavePlot.height, wave - 14);
    EXPECT_EQ(LayOutMainWindow(in).wavePlot.width, wave - 14);
    in.lissajous = false;
  }
}

TEST(MainLayout, MeasurePanelLiesUnderTheSpectrumArea) {
  MainLayoutInput in = Window800x600();
  in.topPanelHeight = kTopPanelHeight;
  in.bottomPanelHeight = kMeasurePanelHeight;
  in.measureMode = true;
  const MainLayoutResult r = LayOutMainWindow(in);
  EXPECT_EQ(r.bottomPanel, (LayoutRect{0, 550, 800, 50}));
  EXPECT_EQ(r.spectrumArea.bottom(), 550);
  EXPECT_EQ(r.waveArea.height + r.spectrumArea.height, 600 - 52 - 4 - 50);
  in.bottomPanelHeight = 0;  // measure mode off: the areas take the panel's pixels
  EXPECT_EQ(LayOutMainWindow(in).spectrumArea.bottom(), 600);
}

bool Overlap(const LayoutRect& a, const LayoutRect& b) {
  return a.left < b.right() && b.left < a.right() && a.top < b.bottom() && b.top < a.bottom();
}

TEST(MainLayout, TopPanelControlsStayInsideAndApart) {
  // The settings' default window is 564 pixels wide; its client area is that
  // less the sizing frame on both sides.
  EXPECT_LE(kTopPanelMinWidth, 564 - 2 * 4);
  for (int32_t width = kTopPanelMinWidth; width <= 2000; width += 7) {
    for (bool resize : {false, true}) {
      SCOPED_TRACE(testing::Message() << width << (resize ? " resizing" : ""));
      const TopPanelLayout t = LayOutTopPanel(width, resize);
      const LayoutRect row1[] = {t.open,          t.play,        t.stop,     t.pause,
                                 t.rec,           t.positioning, t.trackBar, t.channelLabel,
                                 t.measureButton, t.setupButton};
      const LayoutRect row2[] = {t.waveInfo, t.label1, t.label2, t.fftInfo, t.frameRate};
      for (const auto* row : {static_cast<const LayoutRect*>(row1), row2}) {
        const size_t n = row == row1 ? std::size(row1) : std::size(row2);
        for (size_t i = 0; i < n; ++i) {
          EXPECT_GE(row[i].left, 0) << i;
          EXPECT_LE(row[i].right(), width) << i;
          EXPECT_LE(row[i].bottom(), kTopPanelHeight) << i;
          for (size_t j = i + 1; j < n; ++j) EXPECT_FALSE(Overlap(row[i], row[j])) << i << "," << j;
        }
      }
      // The channel selector's two forms share one place next to ChLabel.
      EXPECT_FALSE(Overlap(t.channelButton, t.channelLabel));
      EXPECT_FALSE(Overlap(t.channelButton, t.measureButton));
      EXPECT_LE(t.channelBox.right(), t.measureButton.left);
      EXPECT_GE(t.channelBox.left, t.channelLabel.right());
      // The time labels end at the track bar's end, inside the client area and
      // left of the right-hand panel.
      EXPECT_EQ(t.label2.right(), t.trackBar.right());
      EXPECT_GE(t.label1.left, t.trackBar.left);
      EXPECT_LT(t.trackBar.right(), t.rightPanel.left);
      EXPECT_EQ(t.rightPanel.right(), width);
      EXPECT_GE(t.trackBar.width, kMinTrackBarWidth);
      if (resize) {
        EXPECT_EQ(t.trackBar.right(), t.rightPanel.left - 1);
      } else {
        EXPECT_EQ(t.trackBar.width, kMinTrackBarWidth);
      }
    }
  }
  // Narrower than the whole panel, the labels still end inside the window.
  for (int32_t width = kTrackBarLeft + kMinTrackBarWidth; width < kTopPanelMinWidth; ++width) {
    const TopPanelLayout t = LayOutTopPanel(width, true);
    EXPECT_LE(t.label2.right(), width) << width;
    EXPECT_GE(t.rightPanel.left, t.positioning.right()) << width;
  }
}

}  // namespace
}  // namespace ov
