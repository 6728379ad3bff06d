// The spectrum part of the measure panel: the "Main" and "Peak" buttons, the
// averaging count (SpectrumAverageNComboBox, free text allowed) and the "THD"
// and "RMS" buttons. A child window made in code; the portable logic of
// FrameAnalysis (MainButtonDown, PeakButtonDown, AverageCountChanged,
// ThdButtonDown) decides what each control does, this window turns control
// events into those calls and mirrors the flags in its buttons.
//
// Threads: main thread only, like the analysis state it changes.
// Lifetime: the analysis and the host are borrowed and must outlive the
// window object; the main window creates the panel after its own window and
// destroys it before the analysis.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/analysis/FrameAnalysis.h"
#include "app/display/AverageCountItems.h"
#include "app/controls/Window_win.h"

namespace ov {

// What the panel needs from the main window. Main thread.
class MeasurePanelHost {
 public:
  virtual ~MeasurePanelHost() = default;
  // The keyboard focus moves to FftInfoStaticText (when it is showing).
  virtual void FocusFftInfo() = 0;
  // The measurement state changed: repaint the spectrum area; layoutChanged
  // asks for the spectrum layout to be recomputed first (the overlays' points
  // are stale) and for the overlay show buttons to be mirrored again.
  virtual void MeasureStateChanged(bool layoutChanged) = 0;
  // The averaging box's edit took (false) or lost (true) the focus: the main
  // window's key preview goes off while typing so letters reach the edit.
  virtual void SetKeyPreview(bool /*on*/) {}
};

class MeasurePanelWindow : public Window {
 public:
  static constexpr int kWidth = 236;
  static constexpr int kHeight = 24;

  MeasurePanelWindow(FrameAnalysis& analysis, MeasurePanelHost& host);

  // Creates the panel as a visible child of parent at (x, y).
  bool CreatePanel(HWND parent, int x, int y);

  // Start-up: replays "Peak" (opposite, then stored), fills the averaging box
  // and replays its change with the stored count, and sets THD and RMS as
  // stored (the S/N flag opposite to THD, so the first THD readout after
  // start shows THD+N). From the settings' MeasureMode section.
  void ApplyStoredState(bool peakHold, int32_t averageCount, bool thd, bool rms);
  // Mirrors the analysis' flags in the buttons and the box (after
  // ResetSpectrumState, or anything else that changed them).
  void SyncButtons();
  // Hints in the language.
  void SetLanguage(Language language);

  // The controls' actions, also for the keyboard shortcuts of measure mode
  // (Shift+M, Shift+P, Shift+A, Shift+T, Shift+R).
  void ToggleMain();
  void TogglePeak();
  void NextAverageCount();
  void ToggleThd();
  void ToggleRms();
  // A typed or chosen averaging text, as the box's change does.
  void SetAverageText(const char* text);

  // The averaging box's edit has the focus (keys then type into it).
  bool AverageEditHasFocus() const;

  // Child controls, for tests.
  HWND MainButton() const { return main_; }
  HWND PeakButton() const { return peak_; }
  HWND AverageBox() const { return average_; }
  HWND ThdButton() const { return thd_; }
  HWND RmsButton() const { return rms_; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  static LRESULT CALLBACK EditProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  void CreateControls();
  void Command(UINT id, UINT code);
  void SpectrumMainOnOffSpeedButtonMouseDown();
  void SpectrumPeakSpeedButtonMouseDown();
  void SpectrumAverageNComboBoxChange();
  void THD_SpeedButtonMouseDown();
  void RMS_SpeedButtonMouseDown();
  void ApplyHints();

  FrameAnalysis& analysis_;
  MeasurePanelHost& host_;
  Language language_ = Language::English;
  HWND main_ = nullptr, peak_ = nullptr, average_ = nullptr, thd_ = nullptr, rms_ = nullptr;
  HWND tooltip_ = nullptr;
  bool syncing_ = false;
};

}  // namespace ov
