#include "app/shell/SettingsTable.h"

#include <array>
#include <limits>
#include <string>
#include <type_traits>
#include <utility>

namespace ov {
namespace {

constexpr int32_t kMaxInt = std::numeric_limits<int32_t>::max();
constexpr SaveRule kYes = SaveRule::Always;
constexpr SaveRule kNo = SaveRule::Never;

template <typename T>
constexpr FieldType FieldTypeOf() {
  if (std::is_same_v<T, int32_t>) return FieldType::Int32;
  if (std::is_same_v<T, bool>) return FieldType::Bool;
  if (std::is_same_v<T, double>) return FieldType::Double;
  if (std::is_same_v<T, std::string>) return FieldType::String;
  return FieldType::None;
}

template <typename T>
constexpr FieldRef FieldOf(void* (*at)(SettingsValues&, int)) {
  return FieldRef{FieldTypeOf<T>(), at, 0};
}

// The field of SettingsValues that a row fills, e.g. F(Window.PosX).
#define F(member)                                            \
  FieldOf<decltype(std::declval<SettingsValues&>().member)>( \
      [](SettingsValues& s, int) -> void* { return &s.member; })

constexpr SettingDef Int(const char* section, const char* key, int32_t def, int32_t min,
                         int32_t max, SaveRule save, FieldRef field) {
  SettingDef d;
  d.section = section;
  d.key = key;
  d.kind = ValueKind::Int;
  d.intDefault = def;
  d.intMin = min;
  d.intMax = max;
  d.save = save;
  d.field = field;
  return d;
}

constexpr SettingDef ClampedInt(const char* section, const char* key, int32_t def, int32_t min,
                                int32_t max, SaveRule save, FieldRef field) {
  SettingDef d = Int(section, key, def, min, max, save, field);
  d.kind = ValueKind::ClampedInt;
  return d;
}

constexpr SettingDef Bool(const char* section, const char* key, bool def, SaveRule save,
                          FieldRef field) {
  SettingDef d = Int(section, key, def ? 1 : 0, 0, 1, save, field);
  d.kind = ValueKind::Bool;
  return d;
}

constexpr SettingDef Hex(const char* section, const char* key, int32_t def, int32_t min,
                         int32_t max, SaveRule save, FieldRef field) {
  SettingDef d = Int(section, key, def, min, max, save, field);
  d.kind = ValueKind::HexInt;
  return d;
}

constexpr SettingDef Real(const char* section, const char* key, double def, double min, double max,
                          SaveRule save, FieldRef field) {
  SettingDef d;
  d.section = section;
  d.key = key;
  d.kind = ValueKind::Real;
  d.realDefault = def;
  d.realMin = min;
  d.realMax = max;
  d.save = save;
  d.field = field;
  return d;
}

constexpr SettingDef Text(const char* section, const char* key, size_t capacity, SaveRule save,
                          FieldRef field) {
  SettingDef d;
  d.section = section;
  d.key = key;
  d.kind = ValueKind::Text;
  d.capacity = capacity;
  d.save = save;
  d.field = field;
  return d;
}

constexpr SettingDef Wide(const char* section, const char* key, size_t capacity, SaveRule save,
                          FieldRef field) {
  SettingDef d = Text(section, key, capacity, save, field);
  d.kind = ValueKind::WideText;
  return d;
}

template <size_t N>
constexpr SettingDef Name(const char* section, const char* key, const char* const (&names)[N],
                          SaveRule save, FieldRef field) {
  SettingDef d = Int(section, key, 0, 0, static_cast<int32_t>(N) - 1, save, field);
  d.kind = ValueKind::Name;
  d.names = names;
  d.nameCount = static_cast<int>(N);
  return d;
}

constexpr SettingDef Note(const char* section, const char* key, int32_t value) {
  SettingDef d = Int(section, key, value, value, value, SaveRule::FirstRun, FieldRef{});
  d.kind = ValueKind::Note;
  return d;
}

// The four bounds keys every window section starts with.
#define BOUNDS(section, member, max)                           \
  Int(section, "PosX", 0, 0, max, kYes, F(member.PosX)),       \
      Int(section, "PosY", 0, 0, max, kYes, F(member.PosY)),   \
      Int(section, "Width", 0, 0, max, kYes, F(member.Width)), \
      Int(section, "Height", 0, 0, max, kYes, F(member.Height))

constexpr SettingDef kKeyRows[] = {
    Int("Window", "PosX", 0, 0, 5000, kYes, F(Window.PosX)),
    Int("Window", "PosY", 0, 0, 5000, kYes, F(Window.PosY)),
    Int("Window", "Width", 564, 0, 5000, kYes, F(Window.Width)),
    Int("Window", "Height", 355, 0, 5000, kYes, F(Window.Height)),
    Text("Window", "Maximized", 31, kYes, F(Window.Maximized)),
    Int("Window", "WaveWindowRatioX1000", 280, 0, 1000, kYes, F(Window.WaveWindowRatioX1000)),
    Int("Window", "DispHelp", -1, 0, 1, kYes, F(Window.DispHelp)),

    BOUNDS("LissajousWindow", LissajousWindow, 2000),
    Bool("LissajousWindow", "Visible", false, kYes, F(LissajousWindow.Visible)),
    Bool("LissajousWindow", "Follow", false, kYes, F(LissajousWindow.Follow)),

    BOUNDS("LevelMeterWindow", LevelMeterWindow, 2000),
    Int("LevelMeterWindow", "Visible", 0, 0, 2, kYes, F(LevelMeterWindow.Visible)),
    Bool("LevelMeterWindow", "Follow", false, kYes, F(LevelMeterWindow.Follow)),
    Bool("LevelMeterWindow", "MarginMode", false, kYes, F(LevelMeterWindow.MarginMode)),
    Int("LevelMeterWindow", "Channels", 2, 1, 8, kYes, F(LevelMeterWindow.Channels)),

    BOUNDS("PositioningWindow", PositioningWindow, 2000),
    Bool("PositioningWindow", "Visible", false, kYes, F(PositioningWindow.Visible)),
    Bool("PositioningWindow", "Follow", false, kYes, F(PositioningWindow.Follow)),

    BOUNDS("PlayListWindow", PlayListWindow, 2000),
    Bool("PlayListWindow", "Follow", false, kYes, F(PlayListWindow.Follow)),
    Int("PlayListWindow", "Silence", 0, 0, 99, kYes, F(PlayListWindow.Silence)),

    BOUNDS("WaveInfoWindow", WaveInfoWindow, 2000),
    Bool("WaveInfoWindow", "Follow", false, kYes, F(WaveInfoWindow.Follow)),
    Int("WaveInfoWindow", "DataSaveBytes", 512, 16, kMaxInt, kNo, F(WaveInfoWindow.DataSaveBytes)),

    BOUNDS("SetupDialog", SetupDialog, 2000),
    Bool("SetupDialog", "Follow", false, kYes, F(SetupDialog.Follow)),

    Text("File", "Dir", 263, kYes, F(File.Dir)),

    Real("Version", "Ver", 0, 0, 10, SaveRule::WhenOlder, F(Version.Ver)),

    Int("Special", "EnglishMode", -1, 0, kMaxInt, kNo, F(Special.EnglishMode)),
    Text("Special", "FileFontName", 56, kNo, F(Special.FileFontName)),
    Int("Special", "FileFontCharset", -1, -1, 255, kNo, F(Special.FileFontCharset)),
    Int("Special", "FileFontSize", 0, -1000, 1000, kNo, F(Special.FileFontSize)),
    Int("Special", "PlayThreadPriority", 2, -2, 2, kNo, F(Special.PlayThreadPriority)),
    Int("Special", "NofPlayBufPerSec", 0, 1, 100, kNo, F(Special.NofPlayBufPerSec)),
    Int("Special", "NofPlayBuf", 0, 2, 170, kNo, F(Special.NofPlayBuf)),
    Int("Special", "PlayBufSampleSizeMin", 0, 2, kMaxInt, kNo, F(Special.PlayBufSampleSizeMin)),
    Int("Special", "PlayBufByteSize", 0, 2, kMaxInt, kNo, F(Special.PlayBufByteSize)),
    Int("Special", "PlayLatencyCorrect_ms", 0, -1, 1000, kNo, F(Special.PlayLatencyCorrect_ms)),
    Int("Special", "RecThreadPriority", 2, -2, 2, kNo, F(Special.RecThreadPriority)),
    Int("Special", "NofRecBufPerSec", 0, 1, 100, kNo, F(Special.NofRecBufPerSec)),
    Int("Special", "NofRecBuf", 0, 2, 170, kNo, F(Special.NofRecBuf)),
    Int("Special", "RecBufSampleSizeMin", 0, 2, kMaxInt, kNo, F(Special.RecBufSampleSizeMin)),
    Int("Special", "RecBufByteSize", 0, 2, kMaxInt, kNo, F(Special.RecBufByteSize)),
    Int("Special", "RecLatencyCorrect_ms", -1, -1, 1000, kNo, F(Special.RecLatencyCorrect_ms)),

    Bool("MeasureMode", "MeasureMode", false, kYes, F(MeasureMode.MeasureMode)),
    Bool("MeasureMode", "SpectrumPeakHold", false, kYes, F(MeasureMode.SpectrumPeakHold)),
    Int("MeasureMode", "SpectrumAverageN", 1, 1, 1000, kYes, F(MeasureMode.SpectrumAverageN)),
    Bool("MeasureMode", "THD", false, kYes, F(MeasureMode.THD)),
    Bool("MeasureMode", "RMS", false, kYes, F(MeasureMode.RMS)),

    Name("Conditions", "WaveDispType", kWaveDispTypeNames, kYes, F(Conditions.WaveDispType)),
    Name("Conditions", "SpectrumDispType", kSpectrumDispTypeNames, kYes,
         F(Conditions.SpectrumDispType)),
    Int("Conditions", "WaveXDispMagRate", 4, 1, 20, kYes, F(Conditions.WaveXDispMagRate)),
    Int("Conditions", "WaveYDispMagRate", 3, 1, 20, kYes, F(Conditions.WaveYDispMagRate)),
    Bool("Conditions", "WaveValDispInHex", false, kYes, F(Conditions.WaveValDispInHex)),
    Bool("Conditions", "WaveRMS0dBsin", false, kYes, F(Conditions.WaveRMS0dBsin)),
    Bool("Conditions", "FreqDispRange", false, kYes, F(Conditions.FreqDispRange)),
    Int("Conditions", "FreqDispFrom", 0, 0, 5000000, kYes, F(Conditions.FreqDispFrom)),
    Int("Conditions", "FreqDispTo", 20000, 0, 5000000, kYes, F(Conditions.FreqDispTo)),
    Int("Conditions", "SpectrumDispMagRate", 10, 1, 100, kYes, F(Conditions.SpectrumDispMagRate)),
    Int("Conditions", "dB_Max", 120, -10, 180, kYes, F(Conditions.dB_Max)),
    Real("Conditions", "dB_Shift", -1, -20, 200, kYes, F(Conditions.dB_Shift)),
    Int("Conditions", "Angle3D", 0, 0, 2, kYes, F(Conditions.Angle3D)),
    Int("Conditions", "DeltaX3D", 2, 1, 20, kYes, F(Conditions.DeltaX3D)),
    Int("Conditions", "Lines3D", 30, 10, 200, kYes, F(Conditions.Lines3D)),
    Bool("Conditions", "FreqLogScale", true, kYes, F(Conditions.FreqLogScale)),
    Bool("Conditions", "SpectrumLogScale", true, kYes, F(Conditions.SpectrumLogScale)),
    Int("Conditions", "SpectrumInterpolate", 0, 0, 2, kYes, F(Conditions.SpectrumInterpolate)),
    Int("Conditions", "WaveDrawType", 0, 0, 5, kYes, F(Conditions.WaveDrawType)),
    Int("Conditions", "SpectrumDrawType", 1, 0, 5, kYes, F(Conditions.SpectrumDrawType)),
    Bool("Conditions", "WaveCheckVBlank", false, kYes, F(Conditions.WaveCheckVBlank)),
    Bool("Conditions", "SpectrumCheckVBlank", false, kYes, F(Conditions.SpectrumCheckVBlank)),
    Bool("Conditions", "SpectrumPeakOnly", false, kYes, F(Conditions.SpectrumPeakOnly)),
    Bool("Conditions", "LissajousBezier", false, kYes, F(Conditions.LissajousBezier)),
    Bool("Conditions", "LissajousCenter", true, kYes, F(Conditions.LissajousCenter)),
    Int("Conditions", "UseTimer", 0, 0, 1, kYes, F(Conditions.UseTimer)),
    Int("Conditions", "DispThreadSleepPeriod", 10, 0, 5000, kYes,
        F(Conditions.DispThreadSleepPeriod)),
    Int("Conditions", "TimerResolution", 0, 0, 1000, kYes, F(Conditions.TimerResolution)),
    Int("Conditions", "MMTimerResolution", 9, 0, 1000, kNo, F(Conditions.MMTimerResolution)),
    Int("Conditions", "SleepResolution", 0, 0, 1000, kNo, F(Conditions.SleepResolution)),
    Int("Conditions", "Sync2ndInstance", 0, 0, 2, kYes, F(Conditions.Sync2ndInstance)),
    Bool("Conditions", "Sync2ndPlayPos", true, kYes, F(Conditions.Sync2ndPlayPos)),
    Int("Conditions", "PlaySyncDelay", 0, 0, 1000, kNo, F(Conditions.PlaySyncDelay)),
    Int("Conditions", "RecSyncDelay", 0, 0, 1000, kNo, F(Conditions.RecSyncDelay)),
    Int("Conditions", "Sample_N", 4096, 128, 131072, kYes, F(Conditions.Sample_N)),
    Int("Conditions", "WindowFunction", 1, 0, 6, kYes, F(Conditions.WindowFunction)),
    Int("Conditions", "PlayRecDriverType", 0, 0, 3, kYes, F(Conditions.PlayRecDriverType)),
    Bool("Conditions", "Use_WF_EXTENSIBLE", false, kYes, F(Conditions.Use_WF_EXTENSIBLE)),
    Bool("Conditions", "Use_WF_DIRECT", false, kNo, F(Conditions.Use_WF_DIRECT)),
    ClampedInt("Conditions", "PlayDeviceNum", 0, 0, 30, kYes, F(Conditions.PlayDeviceNum)),
    ClampedInt("Conditions", "RecDeviceNum", 0, 0, 30, kYes, F(Conditions.RecDeviceNum)),
    Int("Conditions", "ASIO_PlayChNum", 0, 0, 32, kYes, F(Conditions.ASIO_PlayChNum)),
    Int("Conditions", "ASIO_RecChNum", 0, 0, 32, kYes, F(Conditions.ASIO_RecChNum)),
    Bool("Conditions", "PlayWithFullVol", false, kYes, F(Conditions.PlayWithFullVol)),
    Bool("Conditions", "PlayForceMonoStereo", true, kYes, F(Conditions.PlayForceMonoStereo)),
    Bool("Conditions", "AutoOpenPrecPosMode", true, kYes, F(Conditions.AutoOpenPrecPosMode)),
    Int("Conditions", "RecSamplingFreq", 44100, 100, 10000000, kYes, F(Conditions.RecSamplingFreq)),
    Int("Conditions", "RecBitLen", 16, -32, 32, kYes, F(Conditions.RecBitLen)),
    Int("Conditions", "RecCh", 2, 1, 8, kYes, F(Conditions.RecCh)),
    Bool("Conditions", "RecToFile", false, kYes, F(Conditions.RecToFile)),
    Bool("Conditions", "Rec_RF64", false, kYes, F(Conditions.Rec_RF64)),
    Bool("Conditions", "Rec_BWF", false, kYes, F(Conditions.Rec_BWF)),
    Bool("Conditions", "RecUpdateHeader", true, kYes, F(Conditions.RecUpdateHeader)),
    Int("Conditions", "RecUpdateHeaderPeriod", 5, 0, 10000, kNo,
        F(Conditions.RecUpdateHeaderPeriod)),
    Hex("Conditions", "RecFileDivideBytes", 0x7FF00000, -kMaxInt, kMaxInt, kNo,
        F(Conditions.RecFileDivideBytes)),
    Bool("Conditions", "RecMonitorOn", false, kNo, F(Conditions.RecMonitorOn)),
    Int("Conditions", "DS_PlayLatency", 0, 0, 200, kNo, F(Conditions.DS_PlayLatency)),
    Int("Conditions", "DS_RecLatency", 0, 0, 200, kNo, F(Conditions.DS_RecLatency)),
    Int("Conditions", "WAS_Latency", 20, 1, 200, kYes, F(Conditions.WAS_Latency)),
    Bool("Conditions", "WAS_EventMode", true, kYes, F(Conditions.WAS_EventMode)),
    Int("Conditions", "CaptureMode", 0, 0, 4, kYes, F(Conditions.CaptureMode)),
    Bool("Conditions", "CaptureMouseCursor", true, kYes, F(Conditions.CaptureMouseCursor)),
    Bool("Conditions", "ResizeTrackBar", false, kYes, F(Conditions.ResizeTrackBar)),
    Bool("Conditions", "AutoPlay", false, kYes, F(Conditions.AutoPlay)),
    Bool("Conditions", "DispSpectrumComment", false, kYes, F(Conditions.DispSpectrumComment)),
    Int("Conditions", "SpectrumCommentNum", 0, 0, 2, kYes, F(Conditions.SpectrumCommentNum)),
    Wide("Conditions", "SpectrumComment1", 80, kYes, F(Conditions.SpectrumComment1)),
    Wide("Conditions", "SpectrumComment2", 80, kYes, F(Conditions.SpectrumComment2)),
    Wide("Conditions", "SpectrumComment3", 80, kYes, F(Conditions.SpectrumComment3)),
    Bool("Conditions", "SpectrumCommentFs", true, kYes, F(Conditions.SpectrumCommentFs)),
    Bool("Conditions", "SpectrumCommentFftN", true, kYes, F(Conditions.SpectrumCommentFftN)),
    Bool("Conditions", "SpectrumCommentFres", true, kYes, F(Conditions.SpectrumCommentFres)),
    Int("Conditions", "ColorSet", 2, 0, 2, kYes, F(Conditions.ColorSet)),

    // Tells whoever edits the file by hand in which order a colour's bytes go.
    Note("ColorSet", ";; ex. (Blue,Green,Red)", 0x00112233),
};

#undef BOUNDS

constexpr const char* kColorSetSections[kColorSetCount] = {"ColorSet1", "ColorSet2", "ColorSet3"};

struct ColorKey {
  const char* key;
  uint32_t defaults[kColorSetCount];  // ColorSet1, ColorSet2, ColorSet3
};

// In ColorRole order.
constexpr ColorKey kColorKeys[kColorRoleCount] = {
    {"BackColor", {0xFF00000F, 0x00FFFFFF, 0x00000000}},
    {"DiagramBackColor", {0x00FFFFFF, 0x00FFFFFF, 0x00000000}},
    {"FrameColor", {0x00000000, 0x00000000, 0x002020D0}},
    {"ScaleColor", {0x00FFC0C0, 0x00FFC0C0, 0x00202080}},
    {"LineColor", {0x00000000, 0x00000000, 0x0000FF00}},
    {"CharColor", {0x00000000, 0x00000000, 0x0040FF40}},
    {"Cursor1Color", {0x000000D0, 0x000000D0, 0x006060FF}},
    {"Cursor2Color", {0x00404040, 0x00404040, 0x00C0C0C0}},
    {"OVL1Color", {0x001010C0, 0x002020C0, 0x002020E0}},
    {"OVL2Color", {0x00E06060, 0x00E06060, 0x00FF7070}},
    {"FloatFormFrameColor", {0x00000000, 0x00000000, 0x00C0C0C0}},
    {"MeterBackColor", {0xFF00000F, 0x00FFFFFF, 0x00000000}},
    {"MeterScaleColor", {0x00000000, 0x00C0C0C0, 0x000000FF}},
    {"MeterScaleCharColor", {0x00000000, 0x00000000, 0x000000FF}},
    {"MeterCharColor", {0x00000000, 0x00000000, 0x00C0C0FF}},
    {"MeterBarFrameColor", {0x00000000, 0x00000000, 0x000000FF}},
    {"MeterBarForeColor", {0x00C0C0C0, 0x00C0C0C0, 0x0000FFFF}},
    {"MeterBarBackColor", {0x00FFFFFF, 0x00FFFFFF, 0x00000000}},
    {"MeterBarInnerColor", {0x00808080, 0x00000000, 0x0000C000}},
    {"MeterBarPeakColor", {0x00808080, 0x00000000, 0x000000FF}},
};

constexpr size_t kKeyRowCount = sizeof kKeyRows / sizeof kKeyRows[0];
constexpr size_t kRowCount = kKeyRowCount + kColorSetCount * kColorRoleCount;

void* ColorSlot(SettingsValues& s, int index) {
  return &s.ColorSets[index / kColorRoleCount][index % kColorRoleCount];
}

// The key rows followed by the colour sets, section by section.
constexpr std::array<SettingDef, kRowCount> BuildTable() {
  std::array<SettingDef, kRowCount> rows{};
  size_t n = 0;
  for (const SettingDef& row : kKeyRows) rows[n++] = row;
  for (int set = 0; set < kColorSetCount; ++set) {
    for (int role = 0; role < kColorRoleCount; ++role) {
      // Any 32-bit pattern but 0x80000000 is a colour.
      SettingDef d = Hex(kColorSetSections[set], kColorKeys[role].key,
                         static_cast<int32_t>(kColorKeys[role].defaults[set]), -kMaxInt, kMaxInt,
                         kYes, FieldRef{FieldType::Int32, ColorSlot, set * kColorRoleCount + role});
      rows[n++] = d;
    }
  }
  return rows;
}

constexpr std::array<SettingDef, kRowCount> kTable = BuildTable();

constexpr FieldType ExpectedField(ValueKind kind) {
  switch (kind) {
    case ValueKind::Int:
    case ValueKind::ClampedInt:
    case ValueKind::HexInt:
    case ValueKind::Name:
      return FieldType::Int32;
    case ValueKind::Bool:
      return FieldType::Bool;
    case ValueKind::Real:
      return FieldType::Double;
    case ValueKind::Text:
    case ValueKind::WideText:
      return FieldType::String;
    case ValueKind::Note:
      return FieldType::None;
  }
  return FieldType::None;
}

constexpr bool RowsAreConsistent() {
  for (const SettingDef& row : kTable) {
    if (row.field.type != ExpectedField(row.kind)) return false;
    if ((row.field.at == nullptr) != (row.kind == ValueKind::Note)) return false;
    if ((row.kind == ValueKind::Text || row.kind == ValueKind::WideText) && row.capacity == 0)
      return false;
    if (row.kind == ValueKind::Name && row.nameCount == 0) return false;
  }
  return true;
}
static_assert(RowsAreConsistent(), "a settings row's kind does not match its field");

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

}  // namespace

SettingRows SettingsTable() {
  return SettingRows{kTable.data(), kTable.size()};
}

const SettingDef* FindSetting(std::string_view section, std::string_view key) {
  for (const SettingDef& row : kTable)
    if (SameName(row.section, section) && SameName(row.key, key)) return &row;
  return nullptr;
}

}  // namespace ov
