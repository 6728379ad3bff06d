#include "app/display/SpectrumPanel.h"

#include <gtest/gtest.h>

#include <string>

#include "app/analysis/AnalysisTestSupport.h"

namespace ov {
namespace {

class SpectrumPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    analysis.Format = test::PcmFormat(1, 44100, 16);
    ASSERT_TRUE(analysis.SetAnalysisSize(4096));
    analysis.measureMode = true;
    SpectrumAxisInput in;
    in.dBShift = 0;
    std::vector<Kp05Point> o(2049);
    std::vector<int32_t> runs(2049);
    ComputeSpectrumAxis(in, api.DLL_PrepareCoordinatesSub,
                        SpectrumCurves{o.data(), nullptr, nullptr, runs.data(), 2049}, axis);
    analysis.levelScale = axis.levelScale;
  }
  const PanelText* TextAt(const SpectrumPanelContent& c, int32_t y) {
    for (int32_t i = 0; i < c.textCount; ++i)
      if (c.texts[i].y == y) return &c.texts[i];
    return nullptr;
  }

  Kp05Api api = StaticKp05Api();
  test::FakeBlockSource engine;
  test::RecordingNotifier notifier;
  NoModifierKeys keys;
  FrameAnalysis analysis{api, engine, notifier, keys};
  SpectrumAxis axis;
};

TEST_F(SpectrumPanelTest, BoxesFollowTheMeasureState) {
  SpectrumPanelContent c;
  analysis.mainOn = true;
  ComposePanelBoxes(analysis, c);
  ASSERT_EQ(c.boxCount, 1);
  EXPECT_STREQ(c.boxes[0].caption, " Max ");
  EXPECT_EQ(c.boxes[0].colour, Cursor1Color);
  analysis.cursorBin = 200;
  analysis.thdOn = true;
  analysis.rmsOn = true;
  ComposePanelBoxes(analysis, c);
  ASSERT_EQ(c.boxCount, 4);
  EXPECT_STREQ(c.boxes[1].caption, " Cursor ");
  EXPECT_EQ(c.boxes[1].colour, Cursor2Color);
  EXPECT_STREQ(c.boxes[2].caption, " THD,+N ");
  EXPECT_EQ(c.boxes[2].colour, Cursor2Color);  // the cursor's bin is above 0
  EXPECT_STREQ(c.boxes[3].caption, " RMS ");
  EXPECT_EQ(c.boxes[3].colour, LineColor);
  analysis.snLine = true;
  analysis.cursorBin = -1;
  ComposePanelBoxes(analysis, c);
  EXPECT_STREQ(c.boxes[1].caption, "THD,S/N");
  EXPECT_EQ(c.boxes[1].captionX, 13);
  EXPECT_TRUE(c.boxes[1].blankFirst);
  EXPECT_EQ(c.boxes[1].colour, Cursor1Color);
  analysis.measureMode = false;
  ComposePanelBoxes(analysis, c);
  EXPECT_EQ(c.boxCount, 0);
}

TEST_F(SpectrumPanelTest, ValuesWithTheirColoursAndTheMeasurementsOnlyOnAFreshSecond) {
  analysis.mainOn = true;
  analysis.PeakFreq10 = 10000;
  analysis.MaxAmp = 16384.0;
  analysis.thdOn = true;
  analysis.rmsOn = true;
  analysis.peakBin = 100;
  analysis.SpectrumAmp[100] = 16384.0;
  analysis.SpectrumAmp[200] = 16.384;  // second harmonic at -60 dB
  std::vector<int32_t> samples(4096, 1 << 24);
  analysis.selectedSamples = samples.data();
  SpectrumPanelContent c;
  ComposePanelValues(analysis, axis, false, c);
  ASSERT_EQ(c.textCount, 2);  // not frameValid and no new frame rate: no THD, no RMS
  EXPECT_FALSE(c.measurementsWritten);
  EXPECT_STREQ(TextAt(c, 15)->text, " 1000.0Hz");
  EXPECT_EQ(TextAt(c, 15)->colour, Cursor1Color);
  EXPECT_STREQ(TextAt(c, 28)->text, "  -6.02dB");
  EXPECT_EQ(TextAt(c, 28)->colour, LineColor);
  EXPECT_FALSE(TextAt(c, 28)->underline);

  ComposePanelValues(analysis, axis, true, c);
  EXPECT_TRUE(c.measurementsWritten);
  ASSERT_NE(TextAt(c, 125), nullptr);
  EXPECT_STREQ(TextAt(c, 125)->text, " 0.10000%");
  EXPECT_EQ(TextAt(c, 125)->colour, LineColor);
  ASSERT_NE(TextAt(c, 136), nullptr);
  ASSERT_NE(TextAt(c, 168), nullptr);
  EXPECT_STREQ(TextAt(c, 168)->text, " -42.14dB");

  // Silence: no RMS text. Main off with overlay 2 shown: THD from overlay 2.
  samples.assign(4096, 0);
  analysis.mainOn = false;
  analysis.overlay2.shown = true;
  analysis.Overlay2Amp[100] = 1000.0;
  analysis.frameValid = true;
  ComposePanelValues(analysis, axis, false, c);
  EXPECT_EQ(TextAt(c, 168), nullptr);
  EXPECT_EQ(TextAt(c, 15), nullptr);
  ASSERT_NE(TextAt(c, 125), nullptr);
  EXPECT_EQ(TextAt(c, 125)->colour, OVL2Color);
}

TEST_F(SpectrumPanelTest, CursorValuesPerCurveAndTheUnderlineOfInterpolation) {
  analysis.mainOn = true;
  analysis.cursorBin = 300;
  analysis.CursorFreq10 = 32296;
  analysis.CursorAmp = 32768.0;
  analysis.overlay1.shown = true;
  analysis.Overlay1Amp[300] = 3276.8;
  analysis.SpectrumInterpolate = 1;
  SpectrumPanelContent c;
  ComposePanelValues(analysis, axis, false, c);
  ASSERT_NE(TextAt(c, 58), nullptr);
  EXPECT_STREQ(TextAt(c, 58)->text, " 3229.6Hz");
  EXPECT_EQ(TextAt(c, 58)->colour, Cursor2Color);
  EXPECT_FALSE(TextAt(c, 58)->underline);  // an overlay is shown
  EXPECT_STREQ(TextAt(c, 71)->text, "   0.00dB");
  EXPECT_STREQ(TextAt(c, 82)->text, " -20.00dB");
  EXPECT_EQ(TextAt(c, 82)->colour, OVL1Color);
  EXPECT_EQ(TextAt(c, 93), nullptr);
  analysis.overlay1.shown = false;
  ComposePanelValues(analysis, axis, false, c);
  EXPECT_TRUE(TextAt(c, 58)->underline);
  EXPECT_TRUE(TextAt(c, 71)->underline);
  // A loaded overlay holding infinity still gives a nine-character text.
  analysis.overlay2.shown = true;
  analysis.Overlay2Amp[300] = INFINITY;
  ComposePanelValues(analysis, axis, false, c);
  EXPECT_EQ(std::string(TextAt(c, 93)->text).size(), 9u);
}

}  // namespace
}  // namespace ov

#include "app/display/AverageCountItems.h"

namespace ov {
namespace {

TEST(AverageCountItems, ShiftAStepsThroughTheListAndWraps) {
  EXPECT_EQ(NextAverageCountItem(1), 10);
  EXPECT_EQ(NextAverageCountItem(150), 200);
  EXPECT_EQ(NextAverageCountItem(300), 1);
  EXPECT_EQ(NextAverageCountItem(7), 1);  // typed, not in the list
}

}  // namespace
}  // namespace ov
