// TLevelMeterForm: the borderless, always-on-top level meter. Per channel a
// bar with the current peak, the RMS averaged over four updates and a held
// peak on a -60 .. 0 dB scale, horizontal or vertical, and a number showing
// the held peak or, in margin mode, the headroom left by the highest peak
// since the last reset. The numbers and the geometry come from
// LevelMeterModel and LevelMeterLayout; this file only draws them and turns
// window messages into calls.
//
// The window is dragged from any point and sized from 6-pixel bands along
// its edges and 8-pixel corner squares; F1 is posted to the main window.
//
// Main thread only: the main window creates it hidden after its display,
// configures it (first activation, setup dialog, channel-count changes,
// destruction), feeds it from Timer2 and the paused single-frame path
// (UpdateMeter), and destroys it with itself. The host (main window) and its
// settings are borrowed and outlive the form.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/controls/Window_win.h"
#include "app/display/DisplayHost_win.h"
#include "app/display/LevelMeterLayout.h"
#include "app/display/LevelMeterModel.h"
#include "app/display/ViewColours.h"

namespace ov {

class TLevelMeterForm final : public Window {
 public:
  explicit TLevelMeterForm(DisplayHost& host);
  ~TLevelMeterForm() override;

  // Creates the window hidden (owned by the host's main window).
  bool Create();

  // visible: 0 hides (the geometry is stored), 1 horizontal, 2 vertical.
  // channels 1..8 (1 shows two bars "L" and "R"). The first call that shows
  // the window places it from the settings section LevelMeterWindow.
  void ConfigureMeter(int32_t visible, int32_t channels, bool marginMode);
  // The levels of all eight channels, tenths of a dB (the analysis' PeakLevel
  // and RmsLevel). Ignored while the window is hidden.
  void UpdateMeter(const int32_t* peaks, const int32_t* rms);
  // Every channel back to -96 dB, one update, laid out again.
  void ResetMeter();
  // The colour set changed: new colours, repainted.
  void ColoursChanged();
  // Stores the position, client size and channel count into the settings
  // (called on hiding and by the main window at exit). Nothing before the
  // first show.
  void StoreGeometry();

  bool Shown() const { return hwnd() && IsWindowVisible(hwnd()); }
  bool Vertical() const { return vertical_; }
  int Channels() const { return channels_; }
  bool MarginMode() const { return marginMode_; }
  const MeterGeometry& Geometry() const { return geometry_; }
  const LevelMeterModel& Model() const { return model_; }
  const ResolvedColours& Colours() const { return colours_; }
  HWND ResetButton() const { return resetButton_; }
  // The whole window drawn into dc (WM_PAINT does the same on the screen).
  void PaintTo(HDC dc);

  // The Reset button in margin mode: every margin back to its floor.
  void ResetMarginSpeedButtonClick();

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void PlaceAtFirstShow();
  void SetClientSize(MeterSize size);
  void ApplyLimits(MeterSize size);
  MeterSize ClientSize() const;
  void LayOut();
  void MeasureScaleText();
  void CreateGdi();
  void FreeGdi();
  void RunUpdate(const int32_t* peaks, const int32_t* rms);
  void DrawScale(HDC dc);
  void DrawBar(HDC dc, int i);
  void DrawNumber(HDC dc, int i);
  void Fill(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, HBRUSH brush);
  LRESULT HitTest(LPARAM lParam);

  DisplayHost& host_;
  LevelMeterModel model_;
  MeterGeometry geometry_;
  MeterSizeLimits limits_;
  ResolvedColours colours_;
  bool vertical_ = false;
  int channels_ = 0;           // bars shown, 2..8; 0 before the first configuration
  int32_t savedChannels_ = 0;  // the count as configured (1..8), stored with the geometry
  bool marginMode_ = false;
  bool placed_ = false;      // the first show has placed the window
  bool switching_ = false;   // an orientation change is resizing the window
  int32_t tw_ = 0, th_ = 0;  // the extent of "0dB" in the window font
  int32_t levelsPeak_[kMeterMaxChannels] = {};
  int32_t levelsRms_[kMeterMaxChannels] = {};

  HWND resetButton_ = nullptr;
  HFONT numberFont_ = nullptr;
  HBRUSH backBrush_ = nullptr, foreBrush_ = nullptr, barBackBrush_ = nullptr;
  HBRUSH innerBrush_ = nullptr, peakBrush_ = nullptr;
  HPEN framePen_ = nullptr, scalePen_ = nullptr, barFramePen_ = nullptr;
};

}  // namespace ov
