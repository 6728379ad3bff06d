// The draw-type auto-set run: with a recording running and the display thread
// drawing without pause, each view is switched through the six draw types, the
// frame rate is read three times per type, and the fastest type is chosen.
//
// Threads: BeginRun, RequestAbort and CanStart run on the main thread (the
// window's Start/Abort button). Work runs on the window's worker thread, from
// start to end of one run; it reaches the user interface and the settings only
// through AutoSetHost::OnMainThread, which returns after the main thread ran the
// step. The abort flag is the only state both threads touch.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "app/common/UserNotifier.h"

namespace ov {

constexpr int kAutoSetWaveView = 0;
constexpr int kAutoSetSpectrumView = 1;
constexpr int kAutoSetDrawTypes = 6;
// Three passes of six types each: the progress runs over these steps.
constexpr int kAutoSetSteps = 18;
// How long the run waits for the display to start after pressing record.
constexpr uint32_t kAutoSetRecordStartTimeoutMs = 5000;

// The window's four condition boxes, read once when the worker starts.
struct AutoSetConditions {
  bool waveNoFlicker = false;
  bool spectrumNoFlicker = false;
  bool waveCheckVBlank = false;
  bool spectrumCheckVBlank = false;
};

// The settings a run changes and puts back at its end.
struct AutoSetSettings {
  int32_t waveDrawType = 0;
  int32_t spectrumDrawType = 0;
  bool waveCheckVBlank = false;
  bool spectrumCheckVBlank = false;
  int32_t useTimer = 0;
  int32_t dispThreadSleepPeriod = 0;
  bool recToFile = false;
};

// Frame rates by draw type (0 for a skipped type) and the chosen types; kept
// from run to run.
struct AutoSetResults {
  std::array<uint32_t, kAutoSetDrawTypes> wave{};
  std::array<uint32_t, kAutoSetDrawTypes> spectrum{};
  int bestWave = 0;
  int bestSpectrum = 0;
};

class AutoSetHost {
 public:
  virtual ~AutoSetHost() = default;

  // ---- Worker thread.
  // Runs `step` on the main thread and returns when it has run.
  virtual void OnMainThread(const std::function<void()>& step) = 0;
  // Parks (false) or resumes (true) the display thread; false when the display
  // could not be parked within its bounded wait.
  virtual bool SetDisplayRunning(bool running) = 0;
  // Waits on the window's wake event for at most `ms` milliseconds; an abort
  // signals the event and ends the wait at once.
  virtual void WaitWake(uint32_t ms) = 0;
  virtual uint32_t FramesPerSecond() = 0;
  virtual void Sleep(uint32_t ms) = 0;

  // ---- Main thread (inside OnMainThread, or the window's own handlers).
  virtual AutoSetSettings CurrentSettings() = 0;
  // False while the DirectDraw surfaces are absent: types 3-5 then present
  // nothing and would measure fastest.
  virtual bool DirectDrawAvailable() = 0;
  // Each goes through the setup dialog's control and its change handler.
  virtual void SetDrawType(int view, int32_t type) = 0;
  virtual void SetVBlankCheck(int view, bool on) = 0;
  virtual void SetDisplayPeriod(int32_t useTimer, int32_t sleepPeriod) = 0;
  virtual void SetRecToFile(bool on) = 0;
  // The chosen types and V.Blank settings of a completed run become the setup
  // dialog's snapshot too, so its Cancel does not undo them.
  virtual void KeepInSetupSnapshot(const AutoSetSettings& chosen) = 0;
  virtual bool RecButtonEnabled() = 0;
  virtual void PressRecButton() = 0;  // as clicked with no Shift held
  virtual bool StopButtonEnabled() = 0;
  virtual void PressStopButton() = 0;  // left button, no shift keys
  virtual bool DisplayActive() = 0;
  virtual void ProcessMessages() = 0;
  virtual uint32_t TickMs() = 0;
  virtual void AddMemoLine(const std::string& text) = 0;  // "\r\n" inside gives several lines
  virtual void SetProgress(int percent) = 0;
  // During a run: "Abort" caption, condition boxes and Close disabled, the
  // progress bar over Label3/Label4; at its end all of it back.
  virtual void ShowRunControls(bool running) = 0;
};

class AutoSetRun {
 public:
  AutoSetRun(AutoSetHost& host, Language language) : host_(host), language_(language) {}

  // Main thread, Start pressed with no run in progress: the spectrum view goes
  // to "Screen" for the wave pass. False when a run is still in progress
  // (including one finishing after an abort).
  bool BeginRun();
  // Main thread, Abort pressed: noticed by the worker after its next wait.
  // The caller signals the wake event.
  void RequestAbort() { abortRequested_ = true; }
  // Main thread: a new run may start (the last one has finished).
  bool CanStart() const { return !busy_.load(); }
  bool AbortRequested() const { return abortRequested_.load(); }

  // Worker thread: one whole run, from preparation to the restore.
  void Work(const AutoSetConditions& conditions);

  const AutoSetResults& Results() const { return results_; }
  bool StopFailed() const { return stopFailed_; }

 private:
  bool PrepareRun(const AutoSetConditions& c);
  bool Pass(int view, const AutoSetConditions& c, const char* const* heading);
  bool Measure(int view, int32_t type, const AutoSetConditions& c,
               std::array<uint32_t, kAutoSetDrawTypes>& results);
  bool Switch(int view, int32_t type);
  bool WaitAndRead(uint32_t ms, uint32_t& fps);
  void FinishRun();
  void Add(const std::string& text);  // from the worker: one synchronised call

  AutoSetHost& host_;
  Language language_;
  std::atomic<bool> busy_{false};
  std::atomic<bool> abortRequested_{false};
  bool stopFailed_ = false;
  int step_ = 0;
  int32_t spectrumTypeBeforeStart_ = 0;
  AutoSetSettings saved_;
  AutoSetConditions conditions_;
  AutoSetResults results_;
};

// The best type of a pass: the largest rate, the lowest index on equal rates.
int ChooseFastestDrawType(const std::array<uint32_t, kAutoSetDrawTypes>& rates);

// The draw-type names, by index: "Screen" ... "DDraw 3".
const char* DrawTypeName(int32_t type);

// The memo text at opening: by how the window was opened (the first use, or
// from the setup dialog) and whether recording is possible with the current
// settings.
std::string AutoSetOpeningText(bool firstUse, bool recordingPossible, Language language);

}  // namespace ov
