#include "app/display/MeasurePanelWindow_win.h"

#include <gtest/gtest.h>

#include <string>

#include "app/analysis/AnalysisTestSupport.h"

namespace ov {
namespace {

class RecordingPanelHost : public MeasurePanelHost {
 public:
  void FocusFftInfo() override { ++focusMoves; }
  void MeasureStateChanged(bool layoutChanged) override {
    ++changes;
    if (layoutChanged) ++layouts;
  }
  void SetKeyPreview(bool on) override { keyPreview = on; }
  int focusMoves = 0, changes = 0, layouts = 0;
  bool keyPreview = true;
};

class MeasurePanelWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    analysis.Format = test::PcmFormat(1, 44100, 16);
    ASSERT_TRUE(analysis.SetAnalysisSize(4096));
    analysis.measureMode = true;
    WNDCLASSW wc{};
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = L"OvMeasurePanelTestParent";
    RegisterClassW(&wc);
    parent =
        CreateWindowExW(0, L"OvMeasurePanelTestParent", L"Measure panel", WS_OVERLAPPEDWINDOW, 10,
                        10, 400, 120, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(parent, SW_SHOWNORMAL);
    ASSERT_TRUE(panel.CreatePanel(parent, 4, 4));
  }
  void TearDown() override { DestroyWindow(parent); }
  static void Press(HWND button) {
    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  }
  static bool Down(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }
  static std::wstring Text(HWND h) {
    wchar_t text[64] = {};
    GetWindowTextW(h, text, 63);
    return text;
  }

  Kp05Api api = StaticKp05Api();
  test::FakeBlockSource engine;
  test::RecordingNotifier notifier;
  NoModifierKeys keys;
  FrameAnalysis analysis{api, engine, notifier, keys};
  RecordingPanelHost host;
  MeasurePanelWindow panel{analysis, host};
  HWND parent = nullptr;
};

TEST_F(MeasurePanelWindowTest, PeakAndAveragingShowTheirOverlaysAndMainFollowsItsRule) {
  EXPECT_TRUE(Down(panel.MainButton()));
  Press(panel.MainButton());  // no overlay shown: main stays on
  EXPECT_TRUE(analysis.mainOn);
  EXPECT_TRUE(Down(panel.MainButton()));
  Press(panel.PeakButton());
  EXPECT_TRUE(analysis.peakHold);
  EXPECT_TRUE(analysis.overlay1.shown);
  EXPECT_TRUE(Down(panel.PeakButton()));
  EXPECT_GE(host.layouts, 1);
  Press(panel.MainButton());  // now it may go off
  EXPECT_FALSE(analysis.mainOn);
  EXPECT_FALSE(Down(panel.MainButton()));
  EXPECT_GE(host.focusMoves, 3);

  panel.SetAverageText("x40 times");  // from the first digit
  EXPECT_EQ(analysis.averageCount, 40);
  EXPECT_TRUE(analysis.overlay2.shown);
  EXPECT_EQ(Text(panel.AverageBox()), L"40");
  panel.SetAverageText("abc");
  EXPECT_EQ(analysis.averageCount, 1);
  EXPECT_EQ(Text(panel.AverageBox()), L"1");
  panel.SetAverageText("77");  // free text, not in the list
  EXPECT_EQ(Text(panel.AverageBox()), L"77");
  panel.NextAverageCount();  // Shift+A from a typed count: the first item
  EXPECT_EQ(analysis.averageCount, 1);
  panel.NextAverageCount();
  EXPECT_EQ(analysis.averageCount, 10);
}

TEST_F(MeasurePanelWindowTest, ThdFlipsItsSecondLineEachTimeAndTheStoredStateStartsWithThdN) {
  panel.ApplyStoredState(false, 1, true, true);
  EXPECT_TRUE(analysis.thdOn);
  EXPECT_FALSE(analysis.snLine);  // the first readout shows THD+N
  EXPECT_TRUE(analysis.rmsOn);
  EXPECT_TRUE(Down(panel.ThdButton()));
  EXPECT_FALSE(analysis.peakHold);
  Press(panel.ThdButton());  // off
  EXPECT_FALSE(analysis.thdOn);
  Press(panel.ThdButton());  // on again: S/N
  EXPECT_TRUE(analysis.thdOn);
  EXPECT_TRUE(analysis.snLine);
  SendMessageW(panel.RmsButton(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));  // any button
  EXPECT_FALSE(analysis.rmsOn);
  EXPECT_FALSE(Down(panel.RmsButton()));
  // A stored peak hold comes back on, its overlay shown.
  panel.ApplyStoredState(true, 40, false, false);
  EXPECT_TRUE(analysis.peakHold);
  EXPECT_TRUE(analysis.overlay1.shown);
  EXPECT_EQ(analysis.averageCount, 40);
  EXPECT_TRUE(analysis.overlay2.shown);
  // After a reset the buttons follow the analysis.
  analysis.ResetSpectrumState();
  panel.SyncButtons();
  EXPECT_FALSE(Down(panel.PeakButton()));
  EXPECT_EQ(Text(panel.AverageBox()), L"1");
}

}  // namespace
}  // namespace ov
