// What the setup dialog needs from the window that owns it (the main window):
// the settings it edits, the engine, and one call per part that has to take a
// changed setting over. The dialog writes the setting into Settings() first
// and then tells the host which part to refresh.
//
// Threads: main thread only. Lifetime: the host outlives the dialog.
#pragma once

#include <cstdint>
#include <string>

#include "app/common/UserNotifier.h"
#include "app/shell/SettingsValues.h"

namespace ov {

class WavePlayRec;

// The parts a setting change reaches. Each names the settings the host takes
// over from Settings() when told.
enum class SetupChange {
  WaveView,         // WaveDispType, Wave[XY]DispMagRate, WaveValDispInHex, WaveRMS0dBsin,
                    // LissajousBezier: redraw the wave view
  WaveLayout,       // LissajousCenter: lay the main window out again
  SpectrumView,     // SpectrumDispType, Angle3D, DeltaX3D, Lines3D, SpectrumPeakOnly,
                    // SpectrumLogScale, FreqLogScale, SpectrumDispMagRate, dB_Max, dB_Shift,
                    // SpectrumInterpolate, FreqDispRange/From/To: redraw the spectrum and its scale
  SpectrumComment,  // DispSpectrumComment: show or hide the comment line
  DrawType,         // WaveDrawType, SpectrumDrawType, *CheckVBlank: surfaces and layout
  ColorSet,         // ColorSet: repaint with the colour set
  LevelMeter,       // LevelMeterWindow.Visible, .MarginMode: show, hide or turn the meter
  LissajousWindow,  // LissajousWindow.Visible: show or hide the separate window
  WindowFunction,   // WindowFunction: the window table of the analysis
  EngineOptions,    // (the dialog has called the engine's setters) PlayWithFullVol,
                    // PlayForceMonoStereo, Use_WF_*, WAS_*, Rec_RF64, Rec_BWF, RecUpdateHeader: the
                    // engine's setters
  RecordFormat,     // RecSamplingFreq, RecBitLen, RecCh, RecToFile, RecMonitorOn: the format text
  Devices,          // PlayDeviceNum, RecDeviceNum, ASIO_*ChNum: nothing to redo until the next run
  Misc,             // capture, follow, track bar, auto-play, sync, TimerResolution, UseTimer
};

// Run state as the main window knows it (the dialog also follows messages
// 32788..32790, but takes these at show).
struct SetupRunState {
  bool playing = false;
  bool recording = false;
  bool measureMode = false;
};

class SetupHost {
 public:
  virtual ~SetupHost() = default;

  virtual SettingsValues& Settings() = 0;
  virtual WavePlayRec& Engine() = 0;
  virtual Language UserLanguage() const = 0;
  virtual SetupRunState RunState() const = 0;
  // DirectDraw's vertical-blank wait works (the "V.Blank" boxes).
  virtual bool VBlankAvailable() const = 0;
  // The system offers WASAPI (the driver list's fourth item).
  virtual bool WasapiAvailable() const = 0;

  // A setting of the group changed in Settings(): take it over.
  virtual void SettingChanged(SetupChange change) = 0;
  // The engine's driver family changed (devices reset to 0): re-read what
  // depends on the family (format texts, buttons).
  virtual void DriverChanged() = 0;
  // A new FFT size (Sample_N already stored): reallocate the analysis.
  virtual void SetAnalysisSize(int32_t sampleN) = 0;
  // The buttons that open other windows.
  virtual void ShowWaveInfoWindow() = 0;
  virtual void EditSpectrumComment() = 0;
  virtual void AutoSetDrawType() = 0;
  // Writes the settings file; false when it could not be written.
  virtual bool SaveSettings() = 0;
  // Opens the help file at a context id.
  virtual void ShowHelp(uint32_t contextId) = 0;
};

// Starts programs and opens web pages for the dialog's buttons. The program's
// implementation starts them without handle inheritance.
class ProgramStarter {
 public:
  virtual ~ProgramStarter() = default;
  // commandLine: UTF-8. False when the program could not be started.
  virtual bool StartProgram(const std::string& commandLine) = 0;
  virtual bool OpenWebPage(const std::string& address) = 0;
};

}  // namespace ov
