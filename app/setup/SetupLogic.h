// The setup dialog's decisions, free of windows: the selection lists (item
// text <-> stored value), the rules for typed values, which controls are
// enabled in which state, and the snapshot that Cancel puts back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/common/UserNotifier.h"
#include "app/shell/SettingsValues.h"

namespace ov {

// ---------------------------------------------------------------- lists

struct SetupListItem {
  TwoLanguageText text;
  int32_t value;
};

struct SetupList {
  const SetupListItem* items;
  size_t count;
  // The index of the item holding `value`, or -1.
  int IndexOf(int32_t value) const;
  // The value of item `index`; nullopt outside the list.
  std::optional<int32_t> ValueAt(int index) const;
  // The item whose text (either language, blanks ignored at both ends) is
  // `text`, or -1.
  int IndexOfText(std::string_view text) const;
};

namespace setup_list {
extern const SetupList kWaveMag;          // WaveYDispMagRate, WaveXDispMagRate
extern const SetupList kLevelMeter;       // LevelMeterWindow.Visible
extern const SetupList kSpectrumMag;      // SpectrumDispMagRate
extern const SetupList kSpectrumRange;    // dB_Max
extern const SetupList kSpectrumShift;    // dB_Shift x 100
extern const SetupList kDeltaX3D;         // DeltaX3D
extern const SetupList kLines3D;          // Lines3D
extern const SetupList kInterpolation;    // SpectrumInterpolate
extern const SetupList kFftPoints;        // Sample_N
extern const SetupList kDriver;           // PlayRecDriverType (WASAPI last)
extern const SetupList kRecRate;          // RecSamplingFreq
extern const SetupList kRecBits;          // RecBitLen (-32 float)
extern const SetupList kRecChannels;      // RecCh
extern const SetupList kColorSet;         // ColorSet
extern const SetupList kCaptureMode;      // CaptureMode
extern const SetupList kSync2nd;          // Sync2ndInstance
extern const SetupList kTimerResolution;  // TimerResolution
extern const SetupList kDispPeriodType;   // UseTimer
extern const SetupList kDrawType;         // WaveDrawType, SpectrumDrawType
extern const SetupList kDispSleepPeriod;  // DispThreadSleepPeriod (choices; any 0..5000 typed)
// The window-function radio buttons in their order on the page.
extern const int32_t kWindowFunctionOrder[7];
}  // namespace setup_list

// The text a list shows for a stored value: the item's text, or the value as
// a number when no item holds it (the value is kept).
std::string ListDisplayText(const SetupList& list, int32_t value, Language language);
// dB_Shift as the shift list's value (x 100, rounded) and back.
int32_t ShiftListValue(double dbShift);
double ShiftFromListValue(int32_t listValue);

// ---------------------------------------------------------------- typed values

// A number typed into a list's edit field: nullopt when the text is not a
// whole decimal number (blanks around it allowed).
std::optional<int64_t> ParseTypedNumber(std::string_view text);
// Each returns the value to store, or nullopt when the typed text changes nothing.
std::optional<int32_t> TypedDeltaX3D(std::string_view text);       // 1..20
std::optional<int32_t> TypedLines3D(std::string_view text);        // 10..200
std::optional<int32_t> TypedRecRate(std::string_view text);        // 100.., above 10000000 cut
std::optional<int32_t> TypedDispPeriod(std::string_view text);     // clamped into 0..5000
std::optional<int32_t> TypedWasapiLatency(std::string_view text);  // 1..200
// The frequency range's fields: both whole numbers in 0..5000000 and from < to.
struct FreqRange {
  int32_t from, to;
};
std::optional<FreqRange> ParseFreqRange(std::string_view from, std::string_view to);

// ---------------------------------------------------------------- enabling

// The dialog's run flags (messages 32788..32790 and the main window's state).
struct SetupFlags {
  bool playing = false;
  bool recording = false;
  bool measureMode = false;
  bool PlayOrRecRunning() const { return playing || recording; }
};

struct SetupState {
  SetupFlags flags;
  int32_t driverType = 0;  // 0 MME, 1 DirectSound, 2 ASIO, 3 WASAPI
  bool vblankAvailable = false;
  int32_t waveDrawType = 0, spectrumDrawType = 1;
  int32_t meterVisible = 0;
  bool lissajousWindow = false;
  int32_t sync2nd = 0;
  int32_t useTimer = 0;
};

struct SetupEnables {
  // Stopped-only controls: driver, devices, ASIO channels, record format,
  // timer resolution, sync, FFT size, display period type, auto set.
  bool runLocked;  // true: those are disabled
  bool waveVBlank, spectrumVBlank;
  bool meterMarginMode;
  bool waveLissajous;  // the wave display type "Lissajous"
  bool syncPlayPos;
  bool spectrum3D;         // 3D and spectrogram display types
  bool asioChannels;       // the ASIO channel lists
  bool asioDirectMonitor;  // the direct monitor box
  bool infoButtons;        // "Info." (WASAPI and ASIO, stopped)
  bool panelButtons;       // "Panel" (WASAPI and ASIO, stopped)
  bool formatListButtons;  // stopped
  bool wasapiOptions;      // event mode and latency
  bool sleepPeriod;        // the display period field
  bool playRecWarning, fftWarning, measureWarning;
};

// The V.Blank box of a view is enabled when the wait works and the type draws
// straight onto the screen (0, 2, 4).
bool VBlankEnabled(bool vblankAvailable, int32_t drawType);
SetupEnables ComputeEnables(const SetupState& state);

// ---------------------------------------------------------------- snapshot

// The groups Cancel restores, by what may be restored while a run goes on.
enum class RestoreGroup {
  Free,         // restored at any time
  Device,       // driver, devices, ASIO channels, record format, sync
  DispPeriod,   // display period type, timer resolution
  SampleCount,  // FFT size
};

struct SetupKey {
  const char* section;
  const char* key;
  RestoreGroup group;
};
// Every key the dialog edits, by group.
const std::vector<SetupKey>& SetupKeys();

// The values of every key the dialog edits, taken at show.
struct SettingsSnapshot {
  SettingsValues values{};
  bool taken = false;
};
SettingsSnapshot TakeSnapshot(const SettingsValues& values);

struct RestorePlan {
  bool restoreDevice = true, restoreDispPeriod = true, restoreSampleCount = true;
  // Groups that differ but cannot be restored now: one message each.
  bool deviceRefused = false, dispPeriodRefused = false, sampleCountRefused = false;
};
// Which groups Cancel restores: every group, except the three that differ
// from the snapshot while play or recording runs.
RestorePlan PlanRestore(const SettingsSnapshot& snapshot, const SettingsValues& current,
                        const SetupFlags& flags);
// Copies the keys of the planned groups from the snapshot into `current`.
// Returns true when a key of `group` changed.
bool GroupDiffers(const SettingsSnapshot& snapshot, const SettingsValues& current,
                  RestoreGroup group);
void RestoreFromSnapshot(const SettingsSnapshot& snapshot, const RestorePlan& plan,
                         SettingsValues& current);
// True when any key of the dialog differs (the host then re-applies).
bool KeyDiffers(const SettingsSnapshot& snapshot, const SettingsValues& current,
                std::string_view section, std::string_view key);

// ---------------------------------------------------------------- buttons

// The volume-control program: before system version 6 the old mixer; from 6
// on the recording tab of the sound control panel, or the mixer with Shift.
std::string VolumeControlProgram(uint32_t osMajor, bool shiftHeld);

// What the timer-resolution "Check" read, for its Shift report.
struct TimerReport {
  bool capsOk;
  uint32_t periodMin, periodMax;  // ms
  bool frequencyOk;
  int64_t frequency;  // Hz
  bool currentOk;
  double currentMs;
};
std::string TimerReportText(const TimerReport& report, Language language);

}  // namespace ov
