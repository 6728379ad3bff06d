// TMainForm: the level meter, the Lissajous window and the draw-type auto-set
// window it owns, the views the display and the analysis drive through it
// (OtherViews, AnalysisViews), the auto-set run's reach into the main window
// and the setup dialog (AutoSetTarget), and the secondary windows that move
// with the main window (Follow).
//
// Order: the meter and the Lissajous window are made after the setup dialog,
// the auto-set window last; the first activation configures the meter and
// shows the Lissajous window; a close request ends an auto-set run and
// stores the meter's state while the windows still exist (the system
// destroys owned windows before their owner); destruction lets them go
// before the display and the analysis they borrow.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <optional>
#include <vector>

#include "app/analysis/FrameAnalysis.h"
#include "app/display/Display_win.h"
#include "app/display/DrawTypeAutoSetForm_win.h"
#include "app/display/LevelMeterForm_win.h"
#include "app/display/LissajousForm_win.h"
#include "app/engine/WavePlayRec.h"
#include "app/setup/SetupDlg_win.h"
#include "app/shell/MainForm_win.h"
#include "app/shell/SettingsFile.h"
#include "app/shell/Transport.h"

namespace ov {

namespace {

// How long a close request waits for an auto-set run to finish after its
// abort (the run notices it after its current wait of at most 1.8 s).
constexpr DWORD kAutoSetFinishWaitMs = 60000;
// The one-shot timer that opens the auto-set window for the setup dialog.
constexpr UINT_PTR kAutoSetOpenTimer = 0x5201;

// The analysis computes the levels only while the meter is shown.
void FollowMeterShown(FrameAnalysis* analysis, const TLevelMeterForm& meter) {
  if (analysis) analysis->levelMeterShown = meter.Shown();
}

}  // namespace

// The auto-set run's hold on the main window and its setup dialog: the
// settings go through the dialog's own controls and handlers when it
// exists, the transport through the main window's buttons.
class TMainForm::AutoSetLink final : public AutoSetTarget {
 public:
  explicit AutoSetLink(TMainForm& main) : m_(main) {}

  bool SetDisplayRunning(bool running) override {
    return m_.display_ && m_.display_->SetDisplayRunning(running);
  }
  uint32_t FramesPerSecond() override {
    if (!m_.display_) return 0;
    const int32_t fps = __atomic_load_n(&m_.display_->Counters().framesPerSecond, __ATOMIC_RELAXED);
    return fps > 0 ? static_cast<uint32_t>(fps) : 0;
  }

  bool RecordingPossible() override;
  AutoSetSettings CurrentSettings() override {
    const auto& c = m_.settings_->values().Conditions;
    return {c.WaveDrawType, c.SpectrumDrawType,      c.WaveCheckVBlank, c.SpectrumCheckVBlank,
            c.UseTimer,     c.DispThreadSleepPeriod, c.RecToFile};
  }
  bool DirectDrawAvailable() override { return m_.display_ && m_.display_->Surfaces().Available(); }
  void SetDrawType(int view, int32_t type) override {
    if (m_.setup_) {
      m_.setup_->SetDrawType(view, type);
      return;
    }
    auto& c = m_.settings_->values().Conditions;
    (view == kAutoSetWaveView ? c.WaveDrawType : c.SpectrumDrawType) = type;
    m_.LayOut();
  }
  void SetVBlankCheck(int view, bool on) override {
    if (m_.setup_) {
      m_.setup_->SetVBlank(view, on);
      return;
    }
    auto& c = m_.settings_->values().Conditions;
    (view == kAutoSetWaveView ? c.WaveCheckVBlank : c.SpectrumCheckVBlank) = on;
    m_.LayOut();
  }
  void SetDisplayPeriod(int32_t useTimer, int32_t sleepPeriod) override {
    if (m_.setup_) {
      m_.setup_->SetDispPeriodType(useTimer);
      m_.setup_->SetDispSleepPeriod(sleepPeriod);
      return;
    }
    auto& c = m_.settings_->values().Conditions;
    c.UseTimer = useTimer;
    c.DispThreadSleepPeriod = sleepPeriod;
    if (m_.display_) m_.display_->PacingChanged();
  }
  void SetRecToFile(bool on) override {
    if (m_.setup_)
      m_.setup_->SetRecToFile(on);
    else
      m_.settings_->values().Conditions.RecToFile = on;
  }
  void KeepInSetupSnapshot(const AutoSetSettings& chosen) override {
    if (m_.setup_)
      m_.setup_->KeepInSnapshot(chosen.waveDrawType, chosen.spectrumDrawType,
                                chosen.waveCheckVBlank, chosen.spectrumCheckVBlank);
  }
  bool RecButtonEnabled() override { return m_.IsButtonEnabled(EngineButton::Rec); }
  void PressRecButton() override;
  bool StopButtonEnabled() override { return m_.IsButtonEnabled(EngineButton::Stop); }
  void PressStopButton() override { m_.StopButtonClick(); }
  bool DisplayActive() override { return m_.display_ && m_.display_->Thread().Active(); }

  bool pressingRec = false;

 private:
  TMainForm& m_;
};

struct TMainForm::MeterWindows {
  std::unique_ptr<TLevelMeterForm> levelMeter;
  std::unique_ptr<TLissajousForm> lissajous;
  std::unique_ptr<AutoSetLink> autoSetLink;
  std::unique_ptr<TDrawTypeAutoSetForm> autoSet;
  bool autoSetModal = false;     // autoSet is inside ShowModal
  bool firstUseAutoSet = false;  // the first-use notice opens the auto-set window
  bool storing = false;          // a close request is storing the state
  struct Follower {
    HWND window;
    const bool* follow;
  };
  std::vector<Follower> followers;
  std::optional<POINT> lastPosition;  // of the main window; the first WM_MOVE only records
};

void TMainForm::MeterWindowsDeleter::operator()(MeterWindows* m) const {
  delete m;
}

bool TMainForm::AutoSetLink::RecordingPossible() {
  // The check opens the record side, which ends a running play or recording:
  // the main window stops it first so that its buttons and views follow.
  if (!m_.engine_ || !m_.settings_) return false;
  m_.StopIfRunning();
  const SettingsValues& v = m_.settings_->values();
  const RecordFormat rf =
      BuildRecordFormat(v.Conditions.RecSamplingFreq, v.Conditions.RecBitLen, v.Conditions.RecCh);
  const bool possible =
      m_.engine_->OpenRec(nullptr, rf.format, RecOpenOptions{}) == EngineResult::Ok &&
      m_.engine_->StartRec(v.Conditions.RecDeviceNum, RecStartMode::ProbeOnly,
                           v.Conditions.ASIO_RecChNum) == EngineResult::Ok;
  // The record side now holds the engine's format: the play file is opened
  // again by the next play.
  m_.fileOpen_ = false;
  m_.EnableButton(EngineButton::Play, !m_.currentFileName_.empty());
  return possible;
}

void TMainForm::AutoSetLink::PressRecButton() {
  pressingRec = true;
  m_.RecButtonClick();
  pressingRec = false;
}

bool TMainForm::AutoSetPressesRec() const {
  return meters_ && meters_->autoSetLink && meters_->autoSetLink->pressingRec;
}

// ---- Creation

void TMainForm::CreateMeterWindows() {
  if (!meters_) meters_.reset(new MeterWindows);
  if (!display_ || !analysis_) return;
  // Without one of these windows the program still runs; it is then not shown.
  auto meter = std::make_unique<TLevelMeterForm>(*this);
  if (meter->Create()) meters_->levelMeter = std::move(meter);
  auto lissajous = std::make_unique<TLissajousForm>(*this, *analysis_, display_->Counters());
  if (lissajous->Create()) {
    meters_->lissajous = std::move(lissajous);
    // The wave view's "Lissajous" display type takes its points from the window.
    display_->Wave().SetLissajousSource(meters_->lissajous.get());
  }
  SettingsValues& v = settings_->values();
  if (meters_->levelMeter) FollowMainWindow(meters_->levelMeter->hwnd(), v.LevelMeterWindow.Follow);
  if (meters_->lissajous) FollowMainWindow(meters_->lissajous->hwnd(), v.LissajousWindow.Follow);
  if (setup_) FollowMainWindow(setup_->hwnd(), v.SetupDialog.Follow);
  if (positioningWindow_.Exists())
    FollowMainWindow(positioningWindow_.Window(), v.PositioningWindow.Follow);
  if (playListWindow_.Exists()) FollowMainWindow(playListWindow_.Window(), v.PlayListWindow.Follow);
  if (waveInfoWindow_.Exists()) FollowMainWindow(waveInfoWindow_.Window(), v.WaveInfoWindow.Follow);
}

void TMainForm::CreateAutoSetWindow() {
  if (!meters_ || !display_ || !runner_) return;
  meters_->autoSetLink = std::make_unique<AutoSetLink>(*this);
  auto form = std::make_unique<TDrawTypeAutoSetForm>(hwnd(), *meters_->autoSetLink, *runner_,
                                                     language_, Title());
  if (form->Create()) meters_->autoSet = std::move(form);
}

// ---- First activation

void TMainForm::ShowMeterWindowsAtFirstActivation() {
  if (!meters_ || !settings_) return;
  SettingsValues& v = settings_->values();
  if (meters_->levelMeter && v.LevelMeterWindow.Visible != 0) {
    meters_->levelMeter->ConfigureMeter(v.LevelMeterWindow.Visible, v.LevelMeterWindow.Channels,
                                        v.LevelMeterWindow.MarginMode);
    FollowMeterShown(analysis_.get(), *meters_->levelMeter);
  }
  if (meters_->lissajous && v.LissajousWindow.Visible) meters_->lissajous->ShowForm();
  // Read before the one-time notice marks the help as shown.
  meters_->firstUseAutoSet = instanceNumber_ == 1 && v.Window.DispHelp == -1;
}

void TMainForm::OpenAutoSetAtFirstUse() {
  if (!meters_ || !meters_->firstUseAutoSet) return;
  meters_->firstUseAutoSet = false;
  ShowAutoSetWindow(true);
}

void TMainForm::AutoSetDrawType() {
  // The setup dialog's button: the modal window opens from the main window's
  // own message handling, not inside the dialog's handler, so that a close
  // of the program while it is shown never returns into a destroyed dialog.
  SetTimer(hwnd(), kAutoSetOpenTimer, 0, [](HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
    if (auto* main = dynamic_cast<TMainForm*>(Window::FromHandle(window)))
      main->ShowAutoSetWindow(false);
  });
}

void TMainForm::ShowAutoSetWindow(bool firstUse) {
  if (!meters_ || !meters_->autoSet || meters_->autoSetModal || closing_ || hwnd() == nullptr)
    return;
  meters_->autoSetModal = true;
  meters_->autoSet->ShowModal(firstUse);
  meters_->autoSetModal = false;
  // Closed while it was shown: destruction left the window's object to this
  // point, where its modal loop has ended.
  if (closing_) {
    meters_->autoSet.reset();
    meters_->autoSetLink.reset();
  }
}

// ---- Close and destruction

void TMainForm::StoreMeterWindows() {
  if (!meters_ || meters_->storing || !settings_) return;
  meters_->storing = true;
  // A running auto-set is aborted; it stops its recording and puts the
  // settings back through the windows that still exist.
  if (meters_->autoSet && meters_->autoSet->Running()) {
    SendMessageW(meters_->autoSet->hwnd(), WM_CLOSE, 0, 0);
    const DWORD start = GetTickCount();
    while (meters_->autoSet->Running() && GetTickCount() - start < kAutoSetFinishWaitMs) {
      if (!PumpPendingMessages(this)) break;
      Sleep(5);
    }
  }
  SettingsValues& v = settings_->values();
  if (meters_->levelMeter && meters_->levelMeter->Shown()) {
    // The stored channel count is the recording's while the meter is shown.
    meters_->levelMeter->ConfigureMeter(v.LevelMeterWindow.Visible, v.Conditions.RecCh,
                                        v.LevelMeterWindow.MarginMode);
    meters_->levelMeter->StoreGeometry();
  }
  if (meters_->lissajous && meters_->lissajous->Shown()) meters_->lissajous->StoreGeometry();
  meters_->storing = false;
}

void TMainForm::DestroyMeterWindows() {
  if (!meters_) return;
  if (display_) display_->Wave().SetLissajousSource(nullptr);
  if (analysis_) analysis_->levelMeterShown = false;
  meters_->followers.clear();
  // Inside its modal loop the auto-set window's object stays until the loop
  // has ended (ShowAutoSetWindow).
  if (!meters_->autoSetModal) {
    meters_->autoSet.reset();
    meters_->autoSetLink.reset();
  }
  meters_->lissajous.reset();
  meters_->levelMeter.reset();
}

// ---- Setup dialog and transport

void TMainForm::MetersSettingChanged(SetupChange change) {
  if (!meters_ || !settings_) return;
  SettingsValues& v = settings_->values();
  switch (change) {
    case SetupChange::LevelMeter:
      if (meters_->levelMeter) {
        const int32_t channels = analysis_ && analysis_->channelCount > 0
                                     ? analysis_->channelCount
                                     : v.LevelMeterWindow.Channels;
        meters_->levelMeter->ConfigureMeter(v.LevelMeterWindow.Visible, channels,
                                            v.LevelMeterWindow.MarginMode);
        FollowMeterShown(analysis_.get(), *meters_->levelMeter);
      }
      break;
    case SetupChange::LissajousWindow:
      if (!meters_->lissajous) break;
      if (v.LissajousWindow.Visible)
        meters_->lissajous->ShowForm();
      else
        meters_->lissajous->HideForm();
      break;
    case SetupChange::WaveView:
      // Bezier or polyline, magnification: the held figure is drawn again.
      if (meters_->lissajous && meters_->lissajous->Shown())
        InvalidateRect(meters_->lissajous->PlotControl(), nullptr, FALSE);
      break;
    default:
      break;
  }
}

void TMainForm::MetersTransportStopped() {
  // The levels go back to their floor at every stop; the meter follows.
  if (analysis_) analysis_->ResetAnalysisData(true);
}

// ---- OtherViews

bool TMainForm::LissajousWindowShown() const {
  return meters_ && meters_->lissajous && meters_->lissajous->Shown();
}

void TMainForm::DrawLissajous() {
  if (meters_ && meters_->lissajous) meters_->lissajous->DrawLissajous();
}

bool TMainForm::LevelMeterShown() const {
  return meters_ && meters_->levelMeter && meters_->levelMeter->Shown();
}

void TMainForm::RefreshLevelMeter() {
  if (meters_ && meters_->levelMeter && analysis_)
    meters_->levelMeter->UpdateMeter(analysis_->PeakLevel, analysis_->RmsLevel);
}

void TMainForm::ColoursChanged() {
  if (!meters_) return;
  if (meters_->levelMeter) meters_->levelMeter->ColoursChanged();
  if (meters_->lissajous) meters_->lissajous->ColoursChanged();
}

void TMainForm::LaidOut() {
  // The Lissajous window presents the DirectDraw types like "Image 2": its
  // image holds the pre-drawn grid for all of them.
  if (!meters_ || !meters_->lissajous || !settings_) return;
  if (settings_->values().Conditions.WaveDrawType >= 2)
    meters_->lissajous->PrepareLissajousBackground();
  if (meters_->lissajous->Shown()) InvalidateRect(meters_->lissajous->hwnd(), nullptr, FALSE);
}

// ---- AnalysisViews

void TMainForm::LevelsReset(int32_t channelCount) {
  if (!meters_ || !meters_->levelMeter || !meters_->levelMeter->Shown() || !settings_) return;
  // A new channel count turns the meter to it; configuring also resets it.
  const SettingsValues& v = settings_->values();
  if (std::max(channelCount, 2) != meters_->levelMeter->Channels())
    meters_->levelMeter->ConfigureMeter(v.LevelMeterWindow.Visible, channelCount,
                                        v.LevelMeterWindow.MarginMode);
  else
    meters_->levelMeter->ResetMeter();
}

void TMainForm::AnalysisDataCleared() {
  if (LissajousWindowShown()) InvalidateRect(meters_->lissajous->PlotControl(), nullptr, FALSE);
}

// ---- Follow

void TMainForm::FollowMainWindow(HWND window, const bool& follow) {
  if (window == nullptr) return;
  if (!meters_) meters_.reset(new MeterWindows);
  meters_->followers.push_back({window, &follow});
}

void TMainForm::MainWindowMoved() {
  if (!meters_ || hwnd() == nullptr || IsIconic(hwnd())) return;
  // A minimised window's position is not where it is restored to: the
  // windows move only between normal positions.
  RECT r;
  GetWindowRect(hwnd(), &r);
  const POINT now{r.left, r.top};
  const std::optional<POINT> last = meters_->lastPosition;
  meters_->lastPosition = now;
  if (!last) return;
  const int dx = now.x - last->x, dy = now.y - last->y;
  if (dx == 0 && dy == 0) return;
  for (const MeterWindows::Follower& f : meters_->followers) {
    if (!*f.follow || !IsWindow(f.window)) continue;
    RECT w;
    GetWindowRect(f.window, &w);
    SetWindowPos(f.window, nullptr, w.left + dx, w.top + dy, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

}  // namespace ov
