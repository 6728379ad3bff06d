// TDrawTypeAutoSetForm: the window behind the setup dialog's two "Auto set"
// buttons (and opened once at the first use). It records, lets the display
// run without pause, switches each view through the six draw types with the
// setup dialog's own controls, reads the frame rate and keeps the fastest
// type per view. The run itself is AutoSetRun; this file is its window: the
// controls at their pixel positions, the memo, the progress bar, the wake
// event and the worker thread CheckSubThread.
//
// Threads: the window and every AutoSetTarget call except SetDisplayRunning
// and FramesPerSecond run on the main thread. CheckSubThread runs one
// AutoSetRun::Work and reaches the main thread only through the host's
// MainThreadRunner (the caller waits until the step has run). The form
// outlives its worker: closing or destroying it during a run aborts the run
// and waits for the worker to finish, processing messages meanwhile.
//
// Lifetime: created hidden by the main window after its display and the setup
// dialog, destroyed with it; the target and the runner are borrowed.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "app/controls/Window_win.h"
#include "app/display/AutoSetRun.h"
#include "app/engine/MainThreadRunner.h"

namespace ov {

// What a run needs of the main window, its display and the setup dialog.
class AutoSetTarget {
 public:
  virtual ~AutoSetTarget() = default;

  // ---- CheckSubThread.
  // Display::SetDisplayRunning.
  virtual bool SetDisplayRunning(bool running) = 0;
  // The display's frame rate of the last second (an atomic read).
  virtual uint32_t FramesPerSecond() = 0;

  // ---- Main thread.
  // FormShow's check: BuildRecordFormat, OpenRec without a file and
  // StartRec as a probe only. True when both succeed.
  virtual bool RecordingPossible() = 0;
  virtual AutoSetSettings CurrentSettings() = 0;
  virtual bool DirectDrawAvailable() = 0;
  // Through the setup dialog's WaveDrawTypeComboBox / SpectrumDrawTypeComboBox
  // and the list's change handler (view: kAutoSetWaveView / kAutoSetSpectrumView).
  virtual void SetDrawType(int view, int32_t type) = 0;
  // WaveVBlankCheckBox / SpectrumVBlankCheckBox and their handlers.
  virtual void SetVBlankCheck(int view, bool on) = 0;
  // DispPeriodTypeComboBox and DispSleepPeriodComboBox and their handlers.
  virtual void SetDisplayPeriod(int32_t useTimer, int32_t sleepPeriod) = 0;
  // RecToFileCheckBox and its handler.
  virtual void SetRecToFile(bool on) = 0;
  // A completed run's choice becomes the setup dialog's snapshot too.
  virtual void KeepInSetupSnapshot(const AutoSetSettings& chosen) = 0;
  virtual bool RecButtonEnabled() = 0;
  // RecButton's click action with no Shift held (no recording file asked for).
  virtual void PressRecButton() = 0;
  virtual bool StopButtonEnabled() = 0;
  // StopButton's mouse-down action: left button, no shift keys.
  virtual void PressStopButton() = 0;
  // The display thread runs for the recording (an atomic read).
  virtual bool DisplayActive() = 0;
};

class TDrawTypeAutoSetForm final : public Window, private AutoSetHost {
 public:
  // owner: the main window; title: the application title for the caption.
  TDrawTypeAutoSetForm(HWND owner, AutoSetTarget& target, MainThreadRunner& runner,
                       Language language, const std::string& title);
  ~TDrawTypeAutoSetForm() override;

  // Creates the window hidden (FormCreate).
  bool Create();
  // Shows the window modally (FormShow first) and returns when it is closed.
  // firstUse: opened by the main window at the first use.
  void ShowModal(bool firstUse);

  // The handlers (also for tests driving the window). FormShow: the
  // recording check and the opening text.
  void FormShow(bool firstUse);
  void StartButtonClick();
  void CloseButtonClick();

  bool Running() const { return !run_.CanStart(); }
  const AutoSetResults& Results() const { return run_.Results(); }
  HWND Control(int id) const { return GetDlgItem(hwnd(), id); }
  // The memo's whole text (UTF-8).
  std::string MemoText() const;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void CreateControls();
  void FormDestroy();
  void SetConditionBoxesEnabled(bool on);
  AutoSetConditions ReadConditions() const;
  static DWORD WINAPI CheckSubThread(void* self);
  void WaitForWorker();

  // ---- AutoSetHost.
  void OnMainThread(const std::function<void()>& step) override;
  bool SetDisplayRunning(bool running) override { return target_.SetDisplayRunning(running); }
  void WaitWake(uint32_t ms) override;
  uint32_t FramesPerSecond() override { return target_.FramesPerSecond(); }
  void Sleep(uint32_t ms) override;
  AutoSetSettings CurrentSettings() override { return target_.CurrentSettings(); }
  bool DirectDrawAvailable() override { return target_.DirectDrawAvailable(); }
  void SetDrawType(int view, int32_t type) override { target_.SetDrawType(view, type); }
  void SetVBlankCheck(int view, bool on) override { target_.SetVBlankCheck(view, on); }
  void SetDisplayPeriod(int32_t useTimer, int32_t sleepPeriod) override {
    target_.SetDisplayPeriod(useTimer, sleepPeriod);
  }
  void SetRecToFile(bool on) override { target_.SetRecToFile(on); }
  void KeepInSetupSnapshot(const AutoSetSettings& chosen) override {
    target_.KeepInSetupSnapshot(chosen);
  }
  bool RecButtonEnabled() override { return target_.RecButtonEnabled(); }
  void PressRecButton() override { target_.PressRecButton(); }
  bool StopButtonEnabled() override { return target_.StopButtonEnabled(); }
  void PressStopButton() override { target_.PressStopButton(); }
  bool DisplayActive() override { return target_.DisplayActive(); }
  void ProcessMessages() override;
  uint32_t TickMs() override;
  void AddMemoLine(const std::string& text) override;
  void SetProgress(int percent) override;
  void ShowRunControls(bool running) override;

  HWND owner_;
  AutoSetTarget& target_;
  MainThreadRunner& runner_;
  Language language_;
  std::string title_;
  AutoSetRun run_;
  AutoSetConditions conditions_;  // read when Start is pressed
  HANDLE wake_ = nullptr;         // auto-reset, unnamed; Abort signals it
  HANDLE worker_ = nullptr;
  HFONT font_ = nullptr;
  bool modal_ = false;
  bool closeAfterRun_ = false;
};

}  // namespace ov
