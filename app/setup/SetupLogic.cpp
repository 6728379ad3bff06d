#include "app/setup/SetupLogic.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "app/shell/SettingsTable.h"

namespace ov {

namespace {

constexpr TwoLanguageText Same(const char* t) {
  return {t, t};
}

template <size_t N>
constexpr SetupList Make(const SetupListItem (&items)[N]) {
  return {items, N};
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

const SetupListItem kWaveMagItems[] = {{Same("x1"), 1},   {Same("x2"), 2},  {Same("x3"), 3},
                                       {Same("x4"), 4},   {Same("x6"), 6},  {Same("x8"), 8},
                                       {Same("x10"), 10}, {Same("x20"), 20}};
const SetupListItem kLevelMeterItems[] = {
    {{"表示しない", "No Disp."}, 0}, {{"横", "Horiz."}, 1}, {{"縦", "Vert."}, 2}};
const SetupListItem kSpectrumMagItems[] = {{Same("x2"), 2},   {Same("x5"), 5},
                                           {Same("x10"), 10}, {Same("x20"), 20},
                                           {Same("x50"), 50}, {Same("x100"), 100}};
const SetupListItem kSpectrumRangeItems[] = {
    {Same("+-1dB"), -1},  {Same("+-3dB"), -3},  {Same("+-10dB"), -10}, {Same("10dB"), 10},
    {Same("20dB"), 20},   {Same("40dB"), 40},   {Same("60dB"), 60},    {Same("80dB"), 80},
    {Same("100dB"), 100}, {Same("120dB"), 120}, {Same("140dB"), 140},  {Same("160dB"), 160},
    {Same("180dB"), 180}};
const SetupListItem kSpectrumShiftItems[] = {
    {{"自動", "Auto"}, -100}, {Same("0dB"), 0},        {Same("6.02dB"), 602},
    {Same("12.04dB"), 1204},  {Same("18.06dB"), 1806}, {Same("Norm"), -200},
    {Same("Norm100"), -300},  {Same("Norm1k"), -400},  {Same("Norm10k"), -500}};
const SetupListItem kDeltaX3DItems[] = {
    {Same("1"), 1}, {Same("2"), 2}, {Same("3"), 3}, {Same("4"), 4}, {Same("5"), 5}};
const SetupListItem kLines3DItems[] = {{Same("30"), 30}, {Same("40"), 40}, {Same("50"), 50},
                                       {Same("60"), 60}, {Same("70"), 70}, {Same("80"), 80}};
const SetupListItem kInterpolationItems[] = {
    {{"なし", "None"}, 0}, {Same("x16"), 1}, {Same("x128"), 2}};
const SetupListItem kFftPointsItems[] = {
    {Same("128"), 128},     {Same("256"), 256},     {Same("512"), 512},      {Same("1024"), 1024},
    {Same("2048"), 2048},   {Same("4096"), 4096},   {Same("8192"), 8192},    {Same("16384"), 16384},
    {Same("32768"), 32768}, {Same("65536"), 65536}, {Same("131072"), 131072}};
const SetupListItem kDriverItems[] = {
    {Same("MME"), 0}, {Same("DirectSound"), 1}, {Same("ASIO"), 2}, {Same("WASAPI"), 3}};
const SetupListItem kRecRateItems[] = {
    {Same("11025"), 11025},   {Same("22050"), 22050},   {Same("32000"), 32000},
    {Same("44100"), 44100},   {Same("48000"), 48000},   {Same("88200"), 88200},
    {Same("96000"), 96000},   {Same("176400"), 176400}, {Same("192000"), 192000},
    {Same("352800"), 352800}, {Same("384000"), 384000}};
const SetupListItem kRecBitsItems[] = {
    {Same(" 8 "), 8}, {Same("16 "), 16}, {Same("24 "), 24}, {Same("32 "), 32}, {Same("F32"), -32}};
const SetupListItem kRecChannelsItems[] = {{{"モノラル", "Mono"}, 1}, {{"ステレオ", "Stereo"}, 2},
                                           {Same("3ch"), 3},          {Same("4ch"), 4},
                                           {Same("5ch"), 5},          {Same("6ch"), 6},
                                           {Same("7ch"), 7},          {Same("8ch"), 8}};
const SetupListItem kColorSetItems[] = {{Same("set1"), 0}, {Same("set2"), 1}, {Same("set3"), 2}};
const SetupListItem kCaptureModeItems[] = {
    {{"ウィンドウ全体", "Whole Window"}, 0},
    {{"Wave + Spectrum", "Wave + Spectrum"}, 1},
    {{"Wave のみ", "Wave only"}, 2},
    {{"Spectrum のみ", "Spectrum only"}, 3},
    {{"Spectrum + 測定モードパネル", "Spectrum + Measure mode panel"}, 4}};
const SetupListItem kSync2ndItems[] = {
    {{"なし", "None"}, 0}, {{"再生", "Play"}, 1}, {{"録音", "Rec"}, 2}};
const SetupListItem kTimerResolutionItems[] = {{{"デフォルト", "Default"}, 0},
                                               {Same(" 1ms"), 1},
                                               {Same(" 2ms"), 2},
                                               {Same(" 3ms"), 3},
                                               {Same(" 4ms"), 4},
                                               {Same(" 5ms"), 5}};
const SetupListItem kDispPeriodTypeItems[] = {{Same("Sleep"), 0}, {Same("Timer"), 1}};
const SetupListItem kDrawTypeItems[] = {{Same("Screen"), 0},  {Same("Image 1"), 1},
                                        {Same("Image 2"), 2}, {Same("DDraw 1"), 3},
                                        {Same("DDraw 2"), 4}, {Same("DDraw 3"), 5}};
const SetupListItem kDispSleepPeriodItems[] = {{Same("0"), 0},   {Same("1"), 1},   {Same("5"), 5},
                                               {Same("10"), 10}, {Same("15"), 15}, {Same("20"), 20},
                                               {Same("30"), 30}, {Same("50"), 50}};

}  // namespace

namespace setup_list {
const SetupList kWaveMag = Make(kWaveMagItems);
const SetupList kLevelMeter = Make(kLevelMeterItems);
const SetupList kSpectrumMag = Make(kSpectrumMagItems);
const SetupList kSpectrumRange = Make(kSpectrumRangeItems);
const SetupList kSpectrumShift = Make(kSpectrumShiftItems);
const SetupList kDeltaX3D = Make(kDeltaX3DItems);
const SetupList kLines3D = Make(kLines3DItems);
const SetupList kInterpolation = Make(kInterpolationItems);
const SetupList kFftPoints = Make(kFftPointsItems);
const SetupList kDriver = Make(kDriverItems);
const SetupList kRecRate = Make(kRecRateItems);
const SetupList kRecBits = Make(kRecBitsItems);
const SetupList kRecChannels = Make(kRecChannelsItems);
const SetupList kColorSet = Make(kColorSetItems);
const SetupList kCaptureMode = Make(kCaptureModeItems);
const SetupList kSync2nd = Make(kSync2ndItems);
const SetupList kTimerResolution = Make(kTimerResolutionItems);
const SetupList kDispPeriodType = Make(kDispPeriodTypeItems);
const SetupList kDrawType = Make(kDrawTypeItems);
const SetupList kDispSleepPeriod = Make(kDispSleepPeriodItems);
const int32_t kWindowFunctionOrder[7] = {1, 2, 3, 4, 5, 6, 0};
}  // namespace setup_list

int SetupList::IndexOf(int32_t value) const {
  for (size_t i = 0; i < count; ++i) {
    if (items[i].value == value) return static_cast<int>(i);
  }
  return -1;
}

std::optional<int32_t> SetupList::ValueAt(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= count) return std::nullopt;
  return items[index].value;
}

int SetupList::IndexOfText(std::string_view text) const {
  const std::string_view t = Trim(text);
  for (size_t i = 0; i < count; ++i) {
    if (Trim(items[i].text.english) == t || Trim(items[i].text.japanese) == t) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

std::string ListDisplayText(const SetupList& list, int32_t value, Language language) {
  const int i = list.IndexOf(value);
  if (i >= 0) return list.items[i].text.In(language);
  return std::to_string(value);
}

int32_t ShiftListValue(double dbShift) {
  return static_cast<int32_t>(std::lround(dbShift * 100.0));
}

double ShiftFromListValue(int32_t listValue) {
  return listValue / 100.0;
}

std::optional<int64_t> ParseTypedNumber(std::string_view text) {
  std::string_view t = Trim(text);
  bool negative = false;
  if (!t.empty() && (t.front() == '-' || t.front() == '+')) {
    negative = t.front() == '-';
    t.remove_prefix(1);
  }
  if (t.empty() || t.size() > 12) return std::nullopt;
  int64_t v = 0;
  for (char c : t) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
  }
  return negative ? -v : v;
}

namespace {
std::optional<int32_t> InRange(std::string_view text, int64_t lo, int64_t hi) {
  const auto v = ParseTypedNumber(text);
  if (!v || *v < lo || *v > hi) return std::nullopt;
  return static_cast<int32_t>(*v);
}
}  // namespace

std::optional<int32_t> TypedDeltaX3D(std::string_view text) {
  return InRange(text, 1, 20);
}
std::optional<int32_t> TypedLines3D(std::string_view text) {
  return InRange(text, 10, 200);
}
std::optional<int32_t> TypedWasapiLatency(std::string_view text) {
  return InRange(text, 1, 200);
}

std::optional<int32_t> TypedRecRate(std::string_view text) {
  const auto v = ParseTypedNumber(text);
  // Below 100 Hz no device takes the rate (and 0 would be read back as the
  // default): a typed value there changes nothing.
  if (!v || *v < 100) return std::nullopt;
  return static_cast<int32_t>(*v > 10000000 ? 10000000 : *v);
}

std::optional<int32_t> TypedDispPeriod(std::string_view text) {
  const auto v = ParseTypedNumber(text);
  if (!v) return std::nullopt;
  return static_cast<int32_t>(*v < 0 ? 0 : (*v > 5000 ? 5000 : *v));
}

std::optional<FreqRange> ParseFreqRange(std::string_view from, std::string_view to) {
  const auto f = ParseTypedNumber(from);
  const auto t = ParseTypedNumber(to);
  if (!f || !t || *f < 0 || *t < 0 || *f > 5000000 || *t > 5000000 || *f >= *t) {
    return std::nullopt;
  }
  return FreqRange{static_cast<int32_t>(*f), static_cast<int32_t>(*t)};
}

bool VBlankEnabled(bool vblankAvailable, int32_t drawType) {
  return vblankAvailable && (drawType == 0 || drawType == 2 || drawType == 4);
}

SetupEnables ComputeEnables(const SetupState& s) {
  SetupEnables e{};
  const bool running = s.flags.PlayOrRecRunning();
  const bool asio = s.driverType == 2, wasapi = s.driverType == 3;
  e.runLocked = running;
  e.waveVBlank = VBlankEnabled(s.vblankAvailable, s.waveDrawType);
  e.spectrumVBlank = VBlankEnabled(s.vblankAvailable, s.spectrumDrawType);
  e.meterMarginMode = s.meterVisible != 0;
  e.waveLissajous = !s.lissajousWindow;
  e.syncPlayPos = s.sync2nd == 1 && !running;
  e.spectrum3D = !s.flags.measureMode;
  e.asioChannels = asio && !running;
  // The device's extras open the device, which would release a running stream.
  e.asioDirectMonitor = asio && !running;
  e.infoButtons = (asio || wasapi) && !running;
  e.panelButtons = (asio || wasapi) && !running;
  e.formatListButtons = !running;
  e.wasapiOptions = wasapi && !running;
  e.sleepPeriod = true;
  e.playRecWarning = running;
  e.fftWarning = running;
  e.measureWarning = s.flags.measureMode;
  return e;
}

// ---------------------------------------------------------------- snapshot

const std::vector<SetupKey>& SetupKeys() {
  static const std::vector<SetupKey> keys = {
      {"LissajousWindow", "Visible", RestoreGroup::Free},
      {"LissajousWindow", "Follow", RestoreGroup::Free},
      {"LevelMeterWindow", "Visible", RestoreGroup::Free},
      {"LevelMeterWindow", "Follow", RestoreGroup::Free},
      {"LevelMeterWindow", "MarginMode", RestoreGroup::Free},
      {"PositioningWindow", "Follow", RestoreGroup::Free},
      {"PlayListWindow", "Follow", RestoreGroup::Free},
      {"WaveInfoWindow", "Follow", RestoreGroup::Free},
      {"SetupDialog", "Follow", RestoreGroup::Free},
      {"Conditions", "WaveDispType", RestoreGroup::Free},
      {"Conditions", "SpectrumDispType", RestoreGroup::Free},
      {"Conditions", "WaveXDispMagRate", RestoreGroup::Free},
      {"Conditions", "WaveYDispMagRate", RestoreGroup::Free},
      {"Conditions", "WaveValDispInHex", RestoreGroup::Free},
      {"Conditions", "WaveRMS0dBsin", RestoreGroup::Free},
      {"Conditions", "FreqDispRange", RestoreGroup::Free},
      {"Conditions", "FreqDispFrom", RestoreGroup::Free},
      {"Conditions", "FreqDispTo", RestoreGroup::Free},
      {"Conditions", "SpectrumDispMagRate", RestoreGroup::Free},
      {"Conditions", "dB_Max", RestoreGroup::Free},
      {"Conditions", "dB_Shift", RestoreGroup::Free},
      {"Conditions", "Angle3D", RestoreGroup::Free},
      {"Conditions", "DeltaX3D", RestoreGroup::Free},
      {"Conditions", "Lines3D", RestoreGroup::Free},
      {"Conditions", "FreqLogScale", RestoreGroup::Free},
      {"Conditions", "SpectrumLogScale", RestoreGroup::Free},
      {"Conditions", "SpectrumInterpolate", RestoreGroup::Free},
      {"Conditions", "WaveDrawType", RestoreGroup::Free},
      {"Conditions", "SpectrumDrawType", RestoreGroup::Free},
      {"Conditions", "WaveCheckVBlank", RestoreGroup::Free},
      {"Conditions", "SpectrumCheckVBlank", RestoreGroup::Free},
      {"Conditions", "SpectrumPeakOnly", RestoreGroup::Free},
      {"Conditions", "LissajousBezier", RestoreGroup::Free},
      {"Conditions", "LissajousCenter", RestoreGroup::Free},
      {"Conditions", "UseTimer", RestoreGroup::DispPeriod},
      {"Conditions", "DispThreadSleepPeriod", RestoreGroup::Free},
      {"Conditions", "TimerResolution", RestoreGroup::DispPeriod},
      {"Conditions", "Sync2ndInstance", RestoreGroup::Device},
      {"Conditions", "Sync2ndPlayPos", RestoreGroup::Device},
      {"Conditions", "Sample_N", RestoreGroup::SampleCount},
      {"Conditions", "WindowFunction", RestoreGroup::Free},
      {"Conditions", "PlayRecDriverType", RestoreGroup::Device},
      {"Conditions", "Use_WF_EXTENSIBLE", RestoreGroup::Free},
      {"Conditions", "Use_WF_DIRECT", RestoreGroup::Free},
      {"Conditions", "PlayDeviceNum", RestoreGroup::Device},
      {"Conditions", "RecDeviceNum", RestoreGroup::Device},
      {"Conditions", "ASIO_PlayChNum", RestoreGroup::Device},
      {"Conditions", "ASIO_RecChNum", RestoreGroup::Device},
      {"Conditions", "PlayWithFullVol", RestoreGroup::Free},
      {"Conditions", "PlayForceMonoStereo", RestoreGroup::Free},
      {"Conditions", "AutoOpenPrecPosMode", RestoreGroup::Free},
      {"Conditions", "RecSamplingFreq", RestoreGroup::Device},
      {"Conditions", "RecBitLen", RestoreGroup::Device},
      {"Conditions", "RecCh", RestoreGroup::Device},
      {"Conditions", "RecToFile", RestoreGroup::Free},
      {"Conditions", "Rec_RF64", RestoreGroup::Free},
      {"Conditions", "Rec_BWF", RestoreGroup::Free},
      {"Conditions", "RecUpdateHeader", RestoreGroup::Free},
      {"Conditions", "RecMonitorOn", RestoreGroup::Free},
      {"Conditions", "WAS_Latency", RestoreGroup::Free},
      {"Conditions", "WAS_EventMode", RestoreGroup::Free},
      {"Conditions", "CaptureMode", RestoreGroup::Free},
      {"Conditions", "CaptureMouseCursor", RestoreGroup::Free},
      {"Conditions", "ResizeTrackBar", RestoreGroup::Free},
      {"Conditions", "AutoPlay", RestoreGroup::Free},
      {"Conditions", "DispSpectrumComment", RestoreGroup::Free},
      {"Conditions", "ColorSet", RestoreGroup::Free},
  };
  return keys;
}

SettingsSnapshot TakeSnapshot(const SettingsValues& values) {
  SettingsSnapshot s;
  s.values = values;
  s.taken = true;
  return s;
}

namespace {

bool FieldEqual(const SettingDef& d, const SettingsValues& a, const SettingsValues& b) {
  auto& ma = const_cast<SettingsValues&>(a);
  auto& mb = const_cast<SettingsValues&>(b);
  switch (d.field.type) {
    case FieldType::Int32:
      return d.field.Of<int32_t>(ma) == d.field.Of<int32_t>(mb);
    case FieldType::Bool:
      return d.field.Of<bool>(ma) == d.field.Of<bool>(mb);
    case FieldType::Double:
      return d.field.Of<double>(ma) == d.field.Of<double>(mb);
    case FieldType::String:
      return d.field.Of<std::string>(ma) == d.field.Of<std::string>(mb);
    case FieldType::None:
      return true;
  }
  return true;
}

void CopyField(const SettingDef& d, const SettingsValues& from, SettingsValues& to) {
  auto& mf = const_cast<SettingsValues&>(from);
  switch (d.field.type) {
    case FieldType::Int32:
      d.field.Of<int32_t>(to) = d.field.Of<int32_t>(mf);
      break;
    case FieldType::Bool:
      d.field.Of<bool>(to) = d.field.Of<bool>(mf);
      break;
    case FieldType::Double:
      d.field.Of<double>(to) = d.field.Of<double>(mf);
      break;
    case FieldType::String:
      d.field.Of<std::string>(to) = d.field.Of<std::string>(mf);
      break;
    case FieldType::None:
      break;
  }
}

}  // namespace

bool KeyDiffers(const SettingsSnapshot& snapshot, const SettingsValues& current,
                std::string_view section, std::string_view key) {
  const SettingDef* d = FindSetting(section, key);
  return d && !FieldEqual(*d, snapshot.values, current);
}

bool GroupDiffers(const SettingsSnapshot& snapshot, const SettingsValues& current,
                  RestoreGroup group) {
  for (const SetupKey& k : SetupKeys()) {
    if (k.group == group && KeyDiffers(snapshot, current, k.section, k.key)) return true;
  }
  return false;
}

RestorePlan PlanRestore(const SettingsSnapshot& snapshot, const SettingsValues& current,
                        const SetupFlags& flags) {
  RestorePlan p;
  if (!flags.PlayOrRecRunning()) return p;
  p.deviceRefused = GroupDiffers(snapshot, current, RestoreGroup::Device);
  p.dispPeriodRefused = GroupDiffers(snapshot, current, RestoreGroup::DispPeriod);
  p.sampleCountRefused = GroupDiffers(snapshot, current, RestoreGroup::SampleCount);
  p.restoreDevice = p.restoreDispPeriod = p.restoreSampleCount = false;
  return p;
}

void RestoreFromSnapshot(const SettingsSnapshot& snapshot, const RestorePlan& plan,
                         SettingsValues& current) {
  if (!snapshot.taken) return;
  for (const SetupKey& k : SetupKeys()) {
    if ((k.group == RestoreGroup::Device && !plan.restoreDevice) ||
        (k.group == RestoreGroup::DispPeriod && !plan.restoreDispPeriod) ||
        (k.group == RestoreGroup::SampleCount && !plan.restoreSampleCount)) {
      continue;
    }
    if (const SettingDef* d = FindSetting(k.section, k.key))
      CopyField(*d, snapshot.values, current);
  }
}

// ---------------------------------------------------------------- buttons

std::string VolumeControlProgram(uint32_t osMajor, bool shiftHeld) {
  if (osMajor < 6) return "SNDVOL32.EXE";
  return shiftHeld ? "SNDVOL.EXE" : "rundll32.exe shell32.dll,Control_RunDLL mmsys.cpl,@0,1";
}

std::string TimerReportText(const TimerReport& r, Language language) {
  const char* error = language == Language::Japanese ? "エラー" : "Error";
  auto number = [&](bool ok, const char* format, double v) {
    if (!ok) return std::string(error);
    char b[48];
    std::snprintf(b, sizeof b, format, v);
    return std::string(b);
  };
  std::string t = "--- Timer resolution ---\n\n";
  t += "[TimeCaps.wPeriodMin]\t " + number(r.capsOk, "%.0f", r.periodMin) + " ms\n";
  t += "[TimeCaps.wPeriodMax]\t " + number(r.capsOk, "%.0f", r.periodMax) + " ms\n";
  t += "[PerformanceFrequency]\t " +
       number(r.frequencyOk, "%.0f", static_cast<double>(r.frequency)) + " Hz\n";
  t += "[Curr. Timer Resolution]\t " + number(r.currentOk, "%.3f", r.currentMs) + " ms";
  return t;
}

}  // namespace ov
