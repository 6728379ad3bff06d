// The overlay controls as the measure panel drives them: capture, show,
// comment edits, button enabling, and loads and saves that never lose data.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>

#include "app/analysis/AnalysisTestSupport.h"
#include "app/analysis/OverlayPanel.h"
#include "app/analysis/OverlayStorage.h"

namespace ov {
namespace {

// Files in memory; a write can be made to fail after some bytes.
class MemoryTextFiles : public TextFiles {
 public:
  std::map<std::string, std::string> files;
  bool failWrite = false;
  bool failCreate = false;

  bool ReadPrefix(const char* path, size_t maxBytes, std::string& bytes) override {
    auto it = files.find(path);
    if (it == files.end()) return false;
    bytes = it->second.substr(0, maxBytes);
    return true;
  }
  WriteResult WriteNew(const char* path, std::string_view bytes) override {
    if (failCreate) return WriteResult::CreateFailed;
    files[path] = std::string(bytes.substr(0, failWrite ? bytes.size() / 2 : bytes.size()));
    return failWrite ? WriteResult::WriteFailed : WriteResult::Ok;
  }
  bool Replace(const char* from, const char* to) override {
    auto it = files.find(from);
    if (it == files.end()) return false;
    files[to] = it->second;
    files.erase(from);
    return true;
  }
  bool Remove(const char* path) override { return files.erase(path) == 1; }
};

class OverlayPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    analysis.Format = test::PcmFormat(1, 44100, 16);
    ASSERT_TRUE(analysis.SetAnalysisSize(128));
    for (int k = 0; k < analysis.B; ++k) analysis.SpectrumAmp[k] = 100.0 + k;
  }
  void Compute() {
    engine.block = test::ToneFrames(analysis.Format, analysis.N, {{1000, 3000}});
    analysis.live = true;
    analysis.measureMode = true;
    analysis.spectrumAreaHeight = 200;
    engine.playState = kPlayPlaying;
    ASSERT_EQ(analysis.AcquireFrame(true), 0);
    analysis.ComputeSpectrum();
  }

  Kp05Api api = StaticKp05Api();
  test::FakeBlockSource engine;
  test::RecordingNotifier notifier;
  NoModifierKeys keys;
  FrameAnalysis analysis{api, engine, notifier, keys};
  OverlayPanel panel{analysis};
  MemoryTextFiles files;
};

TEST_F(OverlayPanelTest, CaptureShowsTheOverlayAndMarksItDirtyAndStale) {
  EXPECT_FALSE(panel.Buttons(1).showEnabled);
  analysis.frameValid = true;
  panel.CaptureButtonDown(1);
  OverlayButtons b = panel.Buttons(1);
  EXPECT_TRUE(b.showEnabled);
  EXPECT_TRUE(b.showDown);
  EXPECT_TRUE(b.saveEnabled);  // the capture is pending
  EXPECT_FALSE(panel.Buttons(2).showEnabled);

  Compute();
  EXPECT_TRUE(analysis.overlay1.dirty);
  EXPECT_TRUE(analysis.overlay1.stale);
  EXPECT_TRUE(analysis.overlay1.shown);
  EXPECT_FALSE(analysis.overlay1.capture);
  EXPECT_GT(analysis.Overlay1Amp[0] + analysis.Overlay1Amp[9], 0.0);
  for (int k = 0; k < analysis.B; ++k) ASSERT_EQ(analysis.Overlay1Amp[k], analysis.SpectrumAmp[k]);

  // Hiding keeps the button usable; the main spectrum comes back on.
  analysis.mainOn = false;
  panel.ShowButtonDown(1, false);
  EXPECT_TRUE(panel.Buttons(1).showEnabled);
  EXPECT_FALSE(panel.Buttons(1).showDown);
  EXPECT_TRUE(analysis.mainOn);
}

TEST_F(OverlayPanelTest, SaveIsEnabledOnlyWhileTheFrameIsValidAndTheOverlayDirty) {
  struct Row {
    bool frameValid, dirty, save, load;
  };
  for (const Row r : {Row{false, false, false, false}, Row{false, true, false, false},
                      Row{true, false, false, true}, Row{true, true, true, true}}) {
    analysis.frameValid = r.frameValid;
    analysis.overlay2.dirty = r.dirty;
    EXPECT_EQ(panel.Buttons(2).saveEnabled, r.save) << r.frameValid << r.dirty;
    EXPECT_EQ(panel.Buttons(2).loadEnabled, r.load) << r.frameValid << r.dirty;
  }
}

TEST_F(OverlayPanelTest, CommentEditsMarkDirtyExceptWhileTheProgramFillsThem) {
  panel.CommentChanged(1);
  EXPECT_TRUE(analysis.overlay1.dirty);
  {
    OverlayPanel::CommentRefill refill(panel);
    panel.CommentChanged(2);
  }
  EXPECT_FALSE(analysis.overlay2.dirty);
  panel.CommentChanged(2);
  EXPECT_TRUE(analysis.overlay2.dirty);
}

TEST_F(OverlayPanelTest, SaveThenLoadReturnsTheOverlayAndItsComment) {
  for (int k = 0; k < analysis.B; ++k) analysis.Overlay2Amp[k] = 0.5 * k;
  analysis.overlay2.dirty = true;
  ASSERT_EQ(panel.Save(2, files, "a.ovo", "two"), "");
  EXPECT_FALSE(analysis.overlay2.dirty);
  EXPECT_EQ(files.files.size(), 1u);  // no temporary file left
  EXPECT_EQ(panel.fileName[1], "a.ovo");

  std::string comment;
  ASSERT_EQ(panel.Load(1, files, "a.ovo", comment), "");
  EXPECT_EQ(comment, "two");
  EXPECT_TRUE(analysis.overlay1.shown && analysis.overlay1.stale && analysis.overlay1.filled);
  for (int k = 0; k < analysis.B; ++k) ASSERT_EQ(analysis.Overlay1Amp[k], 0.5 * k);
  EXPECT_FALSE(analysis.commentEditGuard);
}

TEST_F(OverlayPanelTest, RefusedLoadLeavesTheOverlayAsItWas) {
  for (int k = 0; k < analysis.B; ++k) analysis.Overlay1Amp[k] = 7.0;
  analysis.overlay1.dirty = true;
  // A file that breaks off halfway through its values.
  const std::string whole = FormatOverlayFile("new", 44100, 128, analysis.SpectrumAmp.data(), 65);
  files.files["cut.ovo"] = whole.substr(0, whole.size() - 40);
  files.files["48k.ovo"] = FormatOverlayFile("new", 48000, 128, analysis.SpectrumAmp.data(), 65);
  const std::pair<const char*, const char*> refusals[] = {
      {"cut.ovo", "Unable to read data.\n"},
      {"48k.ovo", "Unable to load.  [Sampling freq. mismatch.]\n\n48000"},
      {"missing.ovo", "Unable to open file.\n\nmissing.ovo"},
  };
  for (const auto& [name, message] : refusals) {
    std::string comment = "mine";
    EXPECT_EQ(panel.Load(1, files, name, comment), message);
    EXPECT_EQ(comment, "mine");
    EXPECT_FALSE(analysis.overlay1.shown);
    EXPECT_TRUE(analysis.overlay1.dirty);
    EXPECT_FALSE(analysis.commentEditGuard);
    for (int k = 0; k < analysis.B; ++k) ASSERT_EQ(analysis.Overlay1Amp[k], 7.0) << name;
  }
}

TEST_F(OverlayPanelTest, FailedSaveKeepsTheFileItWouldReplace) {
  files.files["keep.ovo"] = "old contents";
  analysis.overlay1.dirty = true;
  files.failWrite = true;
  EXPECT_EQ(panel.Save(1, files, "keep.ovo", ""), "Unable to write file.\n\nkeep.ovo");
  EXPECT_EQ(files.files["keep.ovo"], "old contents");
  EXPECT_EQ(files.files.size(), 1u);
  EXPECT_TRUE(analysis.overlay1.dirty);

  files.failWrite = false;
  files.failCreate = true;
  analysis.language = Language::Japanese;
  EXPECT_EQ(panel.Save(1, files, "keep.ovo", ""), "ファイルが作成できません\n\nkeep.ovo");
  EXPECT_EQ(files.files["keep.ovo"], "old contents");
}

TEST_F(OverlayPanelTest, PeakHoldAndAveragingEnableTheirOverlaysShowButtons) {
  analysis.PeakButtonDown(true);
  EXPECT_TRUE(panel.Buttons(1).showEnabled && panel.Buttons(1).showDown);
  bool layout = false;
  analysis.AverageCountChanged("4", layout);
  EXPECT_TRUE(panel.Buttons(2).showEnabled && panel.Buttons(2).showDown);
  analysis.ResetSpectrumState();
  EXPECT_FALSE(panel.Buttons(1).showEnabled || panel.Buttons(2).showEnabled);
}

}  // namespace
}  // namespace ov
