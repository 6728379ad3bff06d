// The display of the main window: the display thread and the multimedia
// timer that pace the frames, the drawing step (frame-rate readout, views),
// the 1 s and 30 ms timers, the system timer period of a play or record run,
// the DirectDraw surfaces, the colour set, the wave view and its readout
// window, the spectrum view, and the screen copy.
//
// Main thread only, except SetDisplayRunning (the engine's OnDisplayRun
// callback, also from its pump threads) and AcquireFrame (display thread).
// Created by the main window after its settings, its FFT binding and its
// analysis; destroyed before the engine: the thread first, then the timer.
// Everything it owns is listed below; host, analysis, FFT entries and the
// other views are borrowed.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "app/analysis/FrameAnalysis.h"
#include "app/common/AppMessages.h"
#include "app/display/DirectDrawSurfaces_win.h"
#include "app/display/DisplayHost_win.h"
#include "app/display/DisplayThread.h"
#include "app/display/FloatForm_win.h"
#include "app/display/FrameCounters.h"
#include "app/display/MMTimer.h"
#include "app/display/SpectrumView_win.h"
#include "app/display/ViewColours.h"
#include "app/display/WaveView_win.h"

namespace ov {

// Setup dialog -> main window: the multimedia timer period (wParam, ms).
constexpr UINT kTimerPeriodMessage = WM_TIMER_PERIOD;
// The main window's timers: Timer1 (1 s, frame rate) and Timer2 (30 ms, level meter).
constexpr UINT_PTR kTimer1Id = 0x5101;
constexpr UINT_PTR kTimer2Id = 0x5102;
constexpr UINT kTimer1Interval = 1000;
constexpr UINT kTimer2Interval = 30;

class Display final : public FrameSource {
 public:
  // timerApi / seam: null for the system's (tests pass doubles).
  Display(DisplayHost& host, FrameAnalysis& analysis, const Kp05Api& fft, OtherViews& views,
          TimerApi* timerApi = nullptr, DirectDrawSeam* seam = nullptr);
  ~Display() override;
  Display(const Display&) = delete;
  Display& operator=(const Display&) = delete;

  // Starts or parks the display thread (the engine's OnDisplayRun).
  bool SetDisplayRunning(bool run);
  std::function<bool(bool)> DisplayRunCallback() {
    return [this](bool run) { return SetDisplayRunning(run); };
  }

  // Transport: an unpaused start of play or record, pause and resume, stop.
  // TransportStarting comes before the engine starts: it parks the display
  // thread, which the engine's pump starts with its first samples. Parked
  // after the start instead, the park could undo the pump's start (frozen
  // views) or wait out its bound while the pump keeps the thread running.
  void TransportStarting();
  void TransportStarted();
  void SetPaused(bool paused);
  void TransportStopped();
  // Timer1 and Timer2 run exactly while sound flows unpaused.
  void EnableTimers(bool on);
  // WM_TIMER of the main window for kTimer1Id / kTimer2Id.
  void OnTimer(UINT_PTR id);
  void BeginTransportTimerPeriod();
  void EndTransportTimerPeriod();
  // kTimerPeriodMessage: 0 counts as 1.
  void OnTimerPeriodMessage(WPARAM period);
  // New pacing settings from the setup dialog.
  void PacingChanged();

  // After each layout of the main window (the thread parked): surfaces,
  // images, pre-drawn backgrounds, the wave geometry.
  void Layout();
  // ColorSet = index; every view and its backgrounds take the new colours.
  void ApplyColorSet(int32_t index);

  // The drawing step of one frame and the drawing of all views.
  void DrawFrame() override;
  void DrawViews();
  int32_t AcquireFrame() override;

  // Ctrl+C.
  bool CopyScreen();

  WaveView& Wave() { return *wave_; }
  SpectrumView& Spectrum() { return *spectrum_; }
  FloatForm& Readout() { return *readout_; }
  DirectDrawSurfaces& Surfaces() { return surfaces_; }
  DisplayThread& Thread() { return *thread_; }
  MMTimer& Timer() { return *timer_; }
  FrameCounters& Counters() { return counters_; }
  const ResolvedColours& Colours() const { return colours_; }
  uint32_t TransportTimerPeriod() const { return transportTimerPeriod_; }

 private:
  DisplayPacing Pacing() const;
  static bool KeyHeld(int key);

  DisplayHost& host_;
  FrameAnalysis& analysis_;
  OtherViews& views_;
  std::unique_ptr<TimerApi> ownTimerApi_;
  TimerApi& timerApi_;
  DirectDrawSurfaces surfaces_;
  ResolvedColours colours_;
  std::unique_ptr<FloatForm> readout_;
  std::unique_ptr<WaveView> wave_;
  std::unique_ptr<SpectrumView> spectrum_;
  FrameCounters counters_;
  uint32_t transportTimerPeriod_ = 0;
  bool timersOn_ = false;
  std::unique_ptr<MMTimer> timer_;
  std::unique_ptr<DisplayThread> thread_;
};

}  // namespace ov
