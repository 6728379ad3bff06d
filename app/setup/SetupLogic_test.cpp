// The setup dialog's decisions: the lists both ways in both languages, the
// typed-value rules at the ends of their ranges, the enabling table and the
// snapshot Cancel puts back.
#include "app/setup/SetupLogic.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "app/setup/SetupTexts.h"
#include "app/shell/SettingsTable.h"

namespace ov {
namespace {

using namespace setup_list;

const SetupList* const kAllLists[] = {
    &kWaveMag,  &kLevelMeter,      &kSpectrumMag,    &kSpectrumRange, &kSpectrumShift,
    &kDeltaX3D, &kLines3D,         &kInterpolation,  &kFftPoints,     &kDriver,
    &kRecRate,  &kRecBits,         &kRecChannels,    &kColorSet,      &kCaptureMode,
    &kSync2nd,  &kTimerResolution, &kDispPeriodType, &kDrawType,      &kDispSleepPeriod};

TEST(SetupLists, EveryItemMapsToItsValueAndBackInBothLanguages) {
  for (const SetupList* list : kAllLists) {
    std::set<int32_t> values;
    for (size_t i = 0; i < list->count; ++i) {
      const SetupListItem& item = list->items[i];
      EXPECT_TRUE(values.insert(item.value).second) << item.text.english << " repeats a value";
      EXPECT_EQ(list->IndexOf(item.value), static_cast<int>(i));
      EXPECT_EQ(list->ValueAt(static_cast<int>(i)), item.value);
      EXPECT_EQ(list->IndexOfText(item.text.english), static_cast<int>(i)) << item.text.english;
      EXPECT_EQ(list->IndexOfText(item.text.japanese), static_cast<int>(i)) << item.text.japanese;
      for (Language l : {Language::English, Language::Japanese}) {
        EXPECT_EQ(ListDisplayText(*list, item.value, l), item.text.In(l));
      }
    }
    EXPECT_FALSE(list->ValueAt(-1));
    EXPECT_FALSE(list->ValueAt(static_cast<int>(list->count)));
  }
}

TEST(SetupLists, TheTablesHoldTheDocumentedValues) {
  EXPECT_EQ(kSpectrumRange.items[0].value, -1);
  EXPECT_STREQ(kSpectrumRange.items[2].text.english, "+-10dB");
  EXPECT_EQ(kSpectrumRange.items[12].value, 180);
  EXPECT_EQ(kSpectrumShift.IndexOf(ShiftListValue(-1.0)), 0);  // "Auto"
  EXPECT_EQ(kSpectrumShift.IndexOf(ShiftListValue(6.02)), 2);
  EXPECT_EQ(kSpectrumShift.IndexOf(ShiftListValue(18.06)), 4);
  EXPECT_EQ(kSpectrumShift.IndexOf(ShiftListValue(-5.0)), 8);  // "Norm10k"
  EXPECT_DOUBLE_EQ(ShiftFromListValue(1204), 12.04);
  EXPECT_EQ(kFftPoints.count, 11u);
  EXPECT_EQ(kFftPoints.items[10].value, 131072);
  EXPECT_EQ(kRecBits.IndexOfText("F32"), 4);
  EXPECT_EQ(kRecBits.items[4].value, -32);
  EXPECT_EQ(kRecBits.IndexOfText("8"), 0);  // blanks around " 8 " do not count
  EXPECT_EQ(kRecChannels.IndexOf(8), 7);
  EXPECT_EQ(kDriver.items[3].value, 3);
  EXPECT_STREQ(kDriver.items[3].text.english, "WASAPI");
  EXPECT_EQ(kTimerResolution.IndexOfText("1ms"), 1);
  EXPECT_STREQ(kCaptureMode.items[4].text.english, "Spectrum + Measure mode panel");
  EXPECT_EQ(kWindowFunctionOrder[6], 0);  // "None (Rect.)" last
}

TEST(SetupLists, AValueOutsideTheListIsShownAsItsNumber) {
  EXPECT_EQ(ListDisplayText(kRecRate, 50000, Language::English), "50000");
  EXPECT_EQ(ListDisplayText(kLines3D, 100, Language::Japanese), "100");
  EXPECT_EQ(ListDisplayText(kDeltaX3D, 12, Language::English), "12");
  EXPECT_EQ(kRecRate.IndexOf(50000), -1);
  EXPECT_EQ(kRecRate.IndexOfText("50000"), -1);
}

TEST(SetupTypedValues, RangesAtBothEndsAndNonNumbers) {
  EXPECT_EQ(TypedDeltaX3D("1"), 1);
  EXPECT_EQ(TypedDeltaX3D("20"), 20);
  EXPECT_FALSE(TypedDeltaX3D("0"));
  EXPECT_FALSE(TypedDeltaX3D("21"));
  EXPECT_EQ(TypedLines3D("10"), 10);
  EXPECT_EQ(TypedLines3D(" 100 "), 100);
  EXPECT_EQ(TypedLines3D("200"), 200);
  EXPECT_FALSE(TypedLines3D("9"));
  EXPECT_FALSE(TypedLines3D("250"));
  for (const char* bad : {"", " ", "abc", "12a", "1.5", "--3", "+", "99999999999999"}) {
    EXPECT_FALSE(ParseTypedNumber(bad)) << bad;
    EXPECT_FALSE(TypedLines3D(bad)) << bad;
    EXPECT_FALSE(TypedRecRate(bad)) << bad;
    EXPECT_FALSE(TypedDispPeriod(bad)) << bad;
  }
  EXPECT_EQ(ParseTypedNumber("-42"), -42);
  EXPECT_EQ(TypedRecRate("100"), 100);
  EXPECT_FALSE(TypedRecRate("99"));
  EXPECT_FALSE(TypedRecRate("0"));
  EXPECT_FALSE(TypedRecRate("-44100"));
  EXPECT_EQ(TypedRecRate("10000000"), 10000000);
  EXPECT_EQ(TypedRecRate("10000001"), 10000000);
  EXPECT_EQ(TypedRecRate("999999999"), 10000000);
  EXPECT_EQ(TypedDispPeriod("-5"), 0);
  EXPECT_EQ(TypedDispPeriod("0"), 0);
  EXPECT_EQ(TypedDispPeriod("5000"), 5000);
  EXPECT_EQ(TypedDispPeriod("5001"), 5000);
  EXPECT_EQ(TypedWasapiLatency("1"), 1);
  EXPECT_EQ(TypedWasapiLatency("200"), 200);
  EXPECT_FALSE(TypedWasapiLatency("0"));
  EXPECT_FALSE(TypedWasapiLatency("201"));
}

TEST(SetupTypedValues, FrequencyRangeNeedsFromBelowToInsideTheBounds) {
  const auto r = ParseFreqRange("20", "20000");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->from, 20);
  EXPECT_EQ(r->to, 20000);
  EXPECT_TRUE(ParseFreqRange("0", "5000000"));
  EXPECT_FALSE(ParseFreqRange("1000", "1000"));  // From = To
  EXPECT_FALSE(ParseFreqRange("2000", "1000"));
  EXPECT_FALSE(ParseFreqRange("-1", "1000"));
  EXPECT_FALSE(ParseFreqRange("0", "5000001"));
  EXPECT_FALSE(ParseFreqRange("x", "1000"));
  EXPECT_FALSE(ParseFreqRange("10", ""));
}

TEST(SetupEnabling, RunStatesLockTheStoppedOnlyControls) {
  for (int driver = 0; driver < 4; ++driver) {
    for (int run = 0; run < 3; ++run) {
      SetupState s;
      s.driverType = driver;
      s.flags.playing = run == 1;
      s.flags.recording = run == 2;
      s.sync2nd = 1;
      const SetupEnables e = ComputeEnables(s);
      const bool running = run != 0;
      const bool extras = (driver == 2 || driver == 3) && !running;
      EXPECT_EQ(e.runLocked, running);
      EXPECT_EQ(e.playRecWarning, running);
      EXPECT_EQ(e.fftWarning, running);
      EXPECT_EQ(e.formatListButtons, !running);
      EXPECT_EQ(e.infoButtons, extras) << driver << run;
      EXPECT_EQ(e.panelButtons, extras);
      EXPECT_EQ(e.asioChannels, driver == 2 && !running);
      EXPECT_EQ(e.asioDirectMonitor, driver == 2 && !running);
      EXPECT_EQ(e.wasapiOptions, driver == 3 && !running);
      EXPECT_EQ(e.syncPlayPos, !running);
      EXPECT_FALSE(e.measureWarning);
      EXPECT_TRUE(e.spectrum3D);
    }
  }
}

TEST(SetupEnabling, ViewBoxesFollowTheirSettings) {
  SetupState s;
  s.vblankAvailable = true;
  for (int t = 0; t < 6; ++t) {
    s.waveDrawType = s.spectrumDrawType = t;
    EXPECT_EQ(ComputeEnables(s).waveVBlank, t == 0 || t == 2 || t == 4) << t;
    EXPECT_EQ(ComputeEnables(s).spectrumVBlank, t == 0 || t == 2 || t == 4) << t;
  }
  s.vblankAvailable = false;
  s.waveDrawType = 0;
  EXPECT_FALSE(ComputeEnables(s).waveVBlank);
  EXPECT_FALSE(ComputeEnables(s).meterMarginMode);
  s.meterVisible = 2;
  EXPECT_TRUE(ComputeEnables(s).meterMarginMode);
  EXPECT_TRUE(ComputeEnables(s).waveLissajous);
  s.lissajousWindow = true;
  EXPECT_FALSE(ComputeEnables(s).waveLissajous);
  for (int sync = 0; sync < 3; ++sync) {
    s.sync2nd = sync;
    EXPECT_EQ(ComputeEnables(s).syncPlayPos, sync == 1);
  }
  s.flags.measureMode = true;
  EXPECT_FALSE(ComputeEnables(s).spectrum3D);
  EXPECT_TRUE(ComputeEnables(s).measureWarning);
}

TEST(SetupSnapshot, EveryKeyIsInTheSettingsTableOnce) {
  std::set<std::string> seen;
  for (const SetupKey& k : SetupKeys()) {
    const SettingDef* d = FindSetting(k.section, k.key);
    ASSERT_NE(d, nullptr) << k.section << "/" << k.key;
    EXPECT_NE(d->field.type, FieldType::None);
    EXPECT_TRUE(seen.insert(std::string(k.section) + "/" + k.key).second) << k.key;
  }
  // Bounds and the measure-mode keys belong to other windows.
  EXPECT_FALSE(seen.count("SetupDialog/PosX"));
  EXPECT_FALSE(seen.count("LissajousWindow/Width"));
  EXPECT_FALSE(seen.count("MeasureMode/MeasureMode"));
}

SettingsValues Sample() {
  SettingsValues v{};
  v.Conditions.Sample_N = 4096;
  v.Conditions.PlayRecDriverType = 0;
  v.Conditions.RecSamplingFreq = 44100;
  v.Conditions.UseTimer = 0;
  v.Conditions.dB_Shift = -1;
  v.Conditions.Lines3D = 50;
  v.Conditions.ColorSet = 2;
  v.LevelMeterWindow.Visible = 0;
  return v;
}

TEST(SetupSnapshot, StoppedCancelRestoresEveryEditedKeyAndNothingElse) {
  SettingsValues v = Sample();
  const SettingsSnapshot snap = TakeSnapshot(v);
  v.Conditions.Sample_N = 8192;
  v.Conditions.PlayRecDriverType = 1;
  v.Conditions.RecSamplingFreq = 50000;
  v.Conditions.UseTimer = 1;
  v.Conditions.dB_Shift = 6.02;
  v.Conditions.Lines3D = 100;
  v.Conditions.ColorSet = 0;
  v.LevelMeterWindow.Visible = 2;
  // Changed meanwhile by other windows: kept.
  v.LissajousWindow.Width = 321;
  v.MeasureMode.MeasureMode = true;
  v.Conditions.SpectrumComment1 = "other window";
  const RestorePlan plan = PlanRestore(snap, v, SetupFlags{});
  EXPECT_FALSE(plan.deviceRefused || plan.dispPeriodRefused || plan.sampleCountRefused);
  RestoreFromSnapshot(snap, plan, v);
  EXPECT_EQ(v.Conditions.Sample_N, 4096);
  EXPECT_EQ(v.Conditions.PlayRecDriverType, 0);
  EXPECT_EQ(v.Conditions.RecSamplingFreq, 44100);
  EXPECT_EQ(v.Conditions.UseTimer, 0);
  EXPECT_EQ(v.Conditions.dB_Shift, -1);
  EXPECT_EQ(v.Conditions.Lines3D, 50);
  EXPECT_EQ(v.Conditions.ColorSet, 2);
  EXPECT_EQ(v.LevelMeterWindow.Visible, 0);
  EXPECT_EQ(v.LissajousWindow.Width, 321);
  EXPECT_TRUE(v.MeasureMode.MeasureMode);
  EXPECT_EQ(v.Conditions.SpectrumComment1, "other window");
}

TEST(SetupSnapshot, RunningCancelRefusesOnlyTheGroupsThatDiffer) {
  for (int run = 1; run <= 2; ++run) {
    SetupFlags flags;
    flags.playing = run == 1;
    flags.recording = run == 2;
    SettingsValues v = Sample();
    const SettingsSnapshot snap = TakeSnapshot(v);
    v.Conditions.Lines3D = 100;
    RestorePlan plan = PlanRestore(snap, v, flags);
    EXPECT_FALSE(plan.deviceRefused || plan.dispPeriodRefused || plan.sampleCountRefused);
    v.Conditions.PlayRecDriverType = 2;
    plan = PlanRestore(snap, v, flags);
    EXPECT_TRUE(plan.deviceRefused);
    EXPECT_FALSE(plan.dispPeriodRefused);
    EXPECT_FALSE(plan.sampleCountRefused);
    v.Conditions.TimerResolution = 3;
    v.Conditions.Sample_N = 1024;
    plan = PlanRestore(snap, v, flags);
    EXPECT_TRUE(plan.deviceRefused && plan.dispPeriodRefused && plan.sampleCountRefused);
    RestoreFromSnapshot(snap, plan, v);
    EXPECT_EQ(v.Conditions.PlayRecDriverType, 2);  // kept while running
    EXPECT_EQ(v.Conditions.TimerResolution, 3);
    EXPECT_EQ(v.Conditions.Sample_N, 1024);
    EXPECT_EQ(v.Conditions.Lines3D, 50);  // free keys always come back
  }
}

TEST(SetupTexts, MessagesAndCaptionsAreTheProgramsOwn) {
  using namespace setup_text;
  EXPECT_STREQ(kCaption.english, "Orlavisonic - Setup");
  EXPECT_STREQ(kAsioTabRefused.english,
               "Unable to select Play/Rec tab while using ASIO driver.\n\nPlease retry after "
               "stop.\n\n   (1'st time only)");
  EXPECT_STREQ(kCapRestoreFft.english, "Setup - FFT - Sample points");
  for (const TwoLanguageText* t :
       {&kUnableToLoadDriver, &kUnableControlPanel, &kDirectMonitorUnsupported, &kIllegalFreqRange,
        &kUnableRestoreRunning, &kUnableRestoreFft}) {
    EXPECT_GT(std::string(t->japanese).size(), 0u);
    EXPECT_STRNE(t->japanese, t->english);
  }
}

}  // namespace
}  // namespace ov

namespace ov {
namespace {

TEST(SetupButtons, VolumeControlProgramPerSystemVersionAndShift) {
  EXPECT_EQ(VolumeControlProgram(5, false), "SNDVOL32.EXE");
  EXPECT_EQ(VolumeControlProgram(5, true), "SNDVOL32.EXE");
  EXPECT_EQ(VolumeControlProgram(6, false),
            "rundll32.exe shell32.dll,Control_RunDLL mmsys.cpl,@0,1");
  EXPECT_EQ(VolumeControlProgram(10, true), "SNDVOL.EXE");
}

TEST(SetupButtons, TimerReportShowsErrorForWhatCouldNotBeRead) {
  TimerReport r{true, 1, 1000000, true, 10000000, true, 1.0626};
  EXPECT_EQ(TimerReportText(r, Language::English),
            "--- Timer resolution ---\n\n[TimeCaps.wPeriodMin]\t 1 ms\n"
            "[TimeCaps.wPeriodMax]\t 1000000 ms\n[PerformanceFrequency]\t 10000000 Hz\n"
            "[Curr. Timer Resolution]\t 1.063 ms");
  r.capsOk = false;
  r.currentOk = false;
  const std::string t = TimerReportText(r, Language::English);
  EXPECT_NE(t.find("[TimeCaps.wPeriodMin]\t Error ms\n"), std::string::npos);
  EXPECT_NE(t.find("[Curr. Timer Resolution]\t Error ms"), std::string::npos);
  EXPECT_NE(t.find("10000000 Hz"), std::string::npos);
}

}  // namespace
}  // namespace ov

namespace ov {
namespace {

// The dialog's template carries the English labels; the table must agree
// with it, or switching to English would change what the template shows.
TEST(SetupTexts, ControlLabelsMatchTheTemplate) {
  std::ifstream in(std::string(OV_SOURCE_DIR) + "/app/resources/SetupDlg.rc");
  ASSERT_TRUE(in) << "template not found";
  const std::string rc((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::set<int> ids;
  for (const auto& t : setup_text::kControlTexts) {
    EXPECT_TRUE(ids.insert(t.id).second) << t.id;
    EXPECT_NE(rc.find(std::string("\"") + t.text.english + "\""), std::string::npos)
        << t.text.english;
    EXPECT_STRNE(t.text.japanese, "");
  }
}

}  // namespace
}  // namespace ov
