// TMainForm as the setup dialog's host: the dialog writes a setting into the
// settings and names the part that takes it over; the main window re-lays,
// recolours or reallocates that part here.
#include <memory>

#include "app/analysis/FrameAnalysis.h"
#include "app/display/Display_win.h"
#include "app/engine/WavePlayRec.h"
#include "app/setup/SetupDlg_win.h"
#include "app/setup/SystemProgramStarter_win.h"
#include "app/shell/MainForm_win.h"
#include "app/shell/SettingsFile.h"

namespace ov {

void TMainForm::CreateSetupDialog() {
  programStarter_ = std::make_unique<SystemProgramStarter>();
  setup_ = std::make_unique<TSetupDlg>(*this, *programStarter_);
  // Without its dialog the program still runs; Ctrl+T then does nothing.
  if (setup_->Create(hwnd()))
    setupWindow_.Attach(setup_->hwnd());
  else
    setup_.reset();
}

void TMainForm::ShowSetupDialog() {
  if (setup_) setup_->ShowDialog();
}

SetupRunState TMainForm::RunState() const {
  SetupRunState s;
  s.playing = playState_.load() != kPlayStopped;
  s.recording = recState_.load() != kRecStopped;
  s.measureMode = settings_ && settings_->values().MeasureMode.MeasureMode != 0;
  return s;
}

bool TMainForm::VBlankAvailable() const {
  return display_ && display_->Surfaces().VBlankAvailable();
}

bool TMainForm::WasapiAvailable() const {
  return caps_.vistaOrLater && !caps_.wasapiLimited;
}

void TMainForm::SettingChanged(SetupChange change) {
  if (!settings_ || !display_) return;
  SyncAnalysisSettings();
  MetersSettingChanged(change);
  const SettingsValues& v = settings_->values();
  switch (change) {
    case SetupChange::ColorSet:
      display_->ApplyColorSet(v.Conditions.ColorSet);
      PlaceViewAreas();
      break;
    case SetupChange::WaveLayout:
    case SetupChange::SpectrumComment:
    case SetupChange::DrawType:
      // The plots move or the surfaces change: a whole layout pass.
      LayOut();
      break;
    case SetupChange::WaveView:
    case SetupChange::SpectrumView:
      // Axes, scales and the 3D history follow the new values.
      PlaceViewAreas();
      break;
    case SetupChange::WindowFunction:
      analysis_->WindowFunction = v.Conditions.WindowFunction;
      break;
    case SetupChange::LevelMeter:
    case SetupChange::LissajousWindow:
    case SetupChange::EngineOptions:
    case SetupChange::RecordFormat:
    case SetupChange::Devices:
    case SetupChange::Misc:
      // Read where they are used: at the next run, open or frame; the display
      // thread's pacing (sleep or timer) is handed to it here.
      display_->PacingChanged();
      break;
  }
}

void TMainForm::DriverChanged() {
  UpdateOpenButton();
}

void TMainForm::SetAnalysisSize(int32_t sampleN) {
  if (!analysis_ || !display_) return;
  const bool running = display_->Thread().Active();
  if (running) display_->SetDisplayRunning(false);
  // An allocation failure has shown its notice; the program cannot go on.
  if (!analysis_->SetAnalysisSize(sampleN) || !analysis_->PrepareFormatBuffers()) {
    PostMessageW(hwnd(), WM_CLOSE, 0, 0);
    return;
  }
  if (running) display_->SetDisplayRunning(true);
  ShowFftInfo();
  PlaceViewAreas();
}

bool TMainForm::SaveSettings() {
  if (!settings_) return false;
  StoreWindowBounds();
  return settings_->SaveSettings();
}

void TMainForm::ShowHelp(uint32_t contextId) {
  if (help_ && settings_ && settings_->values().Window.DispHelp != 0)
    help_->ShowContext(hwnd(), contextId);
}

}  // namespace ov
