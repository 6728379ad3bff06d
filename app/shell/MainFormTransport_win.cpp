// TMainForm: the transport commands (open, play, pause, stop, record, seek),
// the keyboard and dropped files. The decisions without a window live in
// Transport.h and TransportKeys.h.
#include "app/shell/MainForm_win.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <cstdio>

#include "app/analysis/FrameAnalysis.h"
#include "app/common/AppMessages.h"
#include "app/common/Utf8.h"
#include "app/display/Display_win.h"
#include "app/engine/WavePlayRec.h"
#include "app/resources/ResourceIds.h"
#include "app/shell/InstanceNames.h"
#include "app/shell/SettingsFile.h"
#include "app/shell/Transport.h"
#include "app/shell/TransportKeys.h"
#include "app/shell/TransportTexts.h"

namespace ov {

namespace {

std::wstring Wide(const std::string& utf8) {
  const std::u16string w = Utf8ToUtf16(utf8);
  return std::wstring(w.begin(), w.end());
}

std::string Narrow(const std::wstring& wide) {
  return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

// "Wave file (*.WAV)|*.WAV|<all files> (*.*)|*.*" as a dialog filter.
std::wstring OpenFilter(Language l) {
  std::wstring f = L"Wave file (*.WAV)";
  f.push_back(L'\0');
  f += L"*.WAV";
  f.push_back(L'\0');
  f += Wide(kAllFiles.In(l)) + L" (*.*)";
  f.push_back(L'\0');
  f += L"*.*";
  f.push_back(L'\0');
  return f;
}

}  // namespace

void TMainForm::Notify(const std::string& text) {
  notifier_.Notify(text, NoticeIcon::Warning);
}

// ---- State

bool TMainForm::FileOpen() const {
  return fileOpen_;
}

void TMainForm::UpdateOpenButton() {
  const uint32_t enabled = EnabledButtons(StateOf(playState_.load(), recState_.load(), fileOpen_));
  EnableWindow(openButton_, (enabled & kOpenButton) != 0);
}

// ---- Open

void TMainForm::OpenButtonClick() {
  MoveFocusFromEdits();
  if (ShiftHeld()) {
    playListWindow_.Show();
    return;
  }
  wchar_t name[MAX_PATH] = {};
  const std::wstring current = Wide(currentFileName_);
  if (current.size() < MAX_PATH) current.copy(name, current.size());
  const std::wstring filter = OpenFilter(language_);
  const std::wstring title = Wide(kOpenTitle.In(language_));
  const std::wstring folder = Wide(settings_->values().File.Dir);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = hwnd();
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = name;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrTitle = title.c_str();
  ofn.lpstrDefExt = L"WAV";
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
  if (!GetOpenFileNameW(&ofn)) return;
  const std::wstring chosen(name);
  const size_t slash = chosen.find_last_of(L"\\/");
  if (slash != std::wstring::npos)
    settings_->values().File.Dir = Narrow(chosen.substr(0, slash + 1));
  StopIfRunning();  // the engine may hold an item of the list until it stops
  playList_.Clear();
  currentFileName_ = Narrow(chosen);
  OpenCurrent(currentFileName_, nullptr);
}

bool TMainForm::OpenCurrent(const std::string& path, const PlayItem* item) {
  if (!engine_) return false;
  StopIfRunning();
  PlayFileFormat opened;
  fileOpen_ = engine_->OpenPlay(path.c_str(), item, &opened) == EngineResult::Ok;
  EnableButton(EngineButton::Play, fileOpen_);
  if (!fileOpen_) {
    Notify(ComposeOpenFailure(path, engine_->GetMessage(), language_));
    SetWindowTextW(hwnd(), Wide(MainCaption(instanceNumber_)).c_str());
    return false;
  }
  analysis_->Format = opened.format;
  analysis_->FormatIsFloat = opened.floatWidth;
  analysis_->displayChannel = 0;
  analysis_->PrepareFormatBuffers();
  analysis_->ResetAnalysisData(false);
  UpdateChannelSelectors();
  if (display_) display_->Layout();
  positioningWindow_.Refresh();
  overlayTools_.Refresh();
  UpdateOpenButton();
  return true;
}

void TMainForm::OpenAndPlay(const std::string& path, const PlayItem* item) {
  currentFileName_ = item ? std::string() : path;
  if (!OpenCurrent(path, item)) return;
  // A file named at start or handed over plays at once.
  PlayButtonClick();
}

// ---- Play, pause, stop

void TMainForm::PlayButtonClick() {
  MoveFocusFromEdits();
  if (!engine_ || !IsButtonEnabled(EngineButton::Play)) return;
  if (!fileOpen_) {
    if (currentFileName_.empty() || !OpenCurrent(currentFileName_, nullptr)) return;
  }
  const SettingsValues& v = settings_->values();
  const bool shift = ShiftHeld();
  bool analyze = shift;
  analyzeWithoutDevice_ = false;
  // The display thread is parked and the analysis cleared before the engine
  // starts: the play pump starts the display with its first samples.
  if (display_) display_->TransportStarting();
  analysis_->ResetAnalysisData(false);
  EngineResult r =
      engine_->StartPlay(v.Conditions.PlayDeviceNum, analyze ? PlayMode::Analyze : PlayMode::Normal,
                         PlayOutput::Device, v.Conditions.ASIO_PlayChNum);
  if (r != EngineResult::Ok) {
    const std::string message = engine_->GetMessage();
    if (message.empty()) return;
    const PlayFailure failure =
        ComposePlayFailure(message, shift, v.Conditions.AutoOpenPrecPosMode, language_);
    if (!failure.text.empty()) Notify(failure.text);
    if (!failure.analyzeFallback) return;
    r = engine_->StartPlay(v.Conditions.PlayDeviceNum, PlayMode::Analyze, PlayOutput::None, 0);
    if (r != EngineResult::Ok) return;
    analyze = true;
    analyzeWithoutDevice_ = true;
  }
  if (display_) {
    display_->TransportStarted();
    display_->EnableTimers(!analyze);
    display_->BeginTransportTimerPeriod();
    if (analyze) display_->SetPaused(true);
  }
  analysis_->live = !analyze;
  analysis_->frameValid = analyze;
  EnableWindow(openButton_, FALSE);
  overlayTools_.Refresh();
  if (!sync_.RemoteTriggered()) sync_.StartedPlayOrRecord();
  if (analyze) {
    for (int i = 0; i < 100 && playState_.load() != kPlayPaused; ++i) {
      Sleep(10);
      ProcessMessages();
    }
    SeekCommand(static_cast<int64_t>(engine_->GetPosition()), true);
    positioningWindow_.ShowButtonAndClick();
  }
  playListWindow_.Post(WM_PLAYING_STATE, 1);
}

void TMainForm::PauseButtonClick() {
  MoveFocusFromEdits();
  if (!engine_ || !IsButtonEnabled(EngineButton::Pause)) return;
  const int32_t before = playState_.load();
  pausedPosition_ = 0;
  bool paused = false;
  if (before != kPlayStopped) {
    pausedPosition_ = static_cast<int64_t>(engine_->TogglePause());
    paused = playState_.load() == kPlayPaused;
    if (paused) Sleep(20);
  }
  if (recState_.load() != kRecStopped) {
    engine_->TogglePause();
    paused = recState_.load() == kRecPaused;
  }
  SetButtonDown(EngineButton::Pause, paused);
  sync_.PauseToggled(paused, pausedPosition_);
  if (before == kPlayPlaying && paused) positioningWindow_.ShowButtonAndClick();
  if (display_) display_->SetPaused(paused);
  if (!paused) positioningWindow_.Hide();
  analysis_->frameValid = paused;
  analysis_->live = !paused;
  overlayTools_.Refresh();
}

void TMainForm::StopButtonClick() {
  MoveFocusFromEdits();
  if (!engine_) return;
  // A pump that is still priming has its state at Stopped: it is stopped too.
  if (playState_.load() != kPlayStopped || recState_.load() != kRecStopped ||
      engine_->PumpsRunning())
    engine_->Stop();
  AfterStop();
}

void TMainForm::AfterStop() {
  sync_.Stopped();
  if (display_) {
    display_->EndTransportTimerPeriod();
    display_->TransportStopped();
  }
  UpdateOpenButton();
  // A recording into a file leaves that file ready to play: the play command
  // opens the current file again when nothing is open.
  if (!fileOpen_ && !currentFileName_.empty() && currentFileName_ == lastRecFileName_ &&
      playState_.load() == kPlayStopped && recState_.load() == kRecStopped)
    EnableButton(EngineButton::Play, true);
  positioningWindow_.Hide();
  analysis_->live = false;
  analysis_->frameValid = true;
  overlayTools_.Refresh();
  MetersTransportStopped();
  if (waveArea_) InvalidateRect(waveArea_, nullptr, FALSE);
  if (spectrumArea_) InvalidateRect(spectrumArea_, nullptr, FALSE);
}

void TMainForm::StopIfRunning() {
  if (engine_ && (playState_.load() != kPlayStopped || recState_.load() != kRecStopped ||
                  engine_->PumpsRunning())) {
    engine_->Stop();
    AfterStop();
  }
}

// ---- Record

void TMainForm::RecButtonClick() {
  MoveFocusFromEdits();
  if (!engine_ || !IsButtonEnabled(EngineButton::Rec)) return;
  const SettingsValues& v = settings_->values();
  const RecordFormat rf =
      BuildRecordFormat(v.Conditions.RecSamplingFreq, v.Conditions.RecBitLen, v.Conditions.RecCh);
  std::string caption = MainCaption(instanceNumber_);
  std::string file;
  if (v.Conditions.RecToFile != (ShiftHeld() && !AutoSetPressesRec())) {
    wchar_t name[MAX_PATH] = {};
    const std::wstring last = Wide(lastRecFileName_);
    if (last.size() < MAX_PATH) last.copy(name, last.size());
    std::wstring filter = L"Wave file (*.WAV)";
    filter.push_back(L'\0');
    filter += L"*.WAV";
    filter.push_back(L'\0');
    const std::wstring title = Wide(kSaveTitle.In(language_));
    const std::wstring folder = Wide(v.File.Dir);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = hwnd();
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = name;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = title.c_str();
    ofn.lpstrDefExt = L"WAV";
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;
    if (!GetSaveFileNameW(&ofn)) return;
    file = Narrow(name);
    lastRecFileName_ = currentFileName_ = file;
    caption += " - " + file;
  }
  RecOpenOptions options;
  options.monitor = v.Conditions.RecMonitorOn;
  const EngineResult opened =
      engine_->OpenRec(file.empty() ? nullptr : file.c_str(), rf.format, options);
  SetWindowTextW(hwnd(), Wide(caption).c_str());
  analysis_->Format = rf.format;
  analysis_->FormatIsFloat = rf.floatWidth;
  analysis_->displayChannel = 0;
  analysis_->PrepareFormatBuffers();
  analysis_->ResetAnalysisData(false);
  UpdateChannelSelectors();
  if (display_) display_->Layout();
  fileOpen_ = false;
  EnableButton(EngineButton::Play, false);
  if (display_) display_->TransportStarting();  // the record pump starts the display
  if (opened == EngineResult::Ok &&
      engine_->StartRec(v.Conditions.RecDeviceNum, RecStartMode::Record,
                        v.Conditions.ASIO_RecChNum) == EngineResult::Ok) {
    if (display_) {
      display_->TransportStarted();
      display_->BeginTransportTimerPeriod();
    }
    analysis_->live = true;
    analysis_->frameValid = false;
    EnableWindow(openButton_, FALSE);
    overlayTools_.Refresh();
    if (!sync_.RemoteTriggered()) sync_.StartedPlayOrRecord();
    return;
  }
  const std::string message = engine_->GetMessage();
  if (!message.empty()) Notify(ComposeRecordFailure(message, language_));
}

// ---- Seek

void TMainForm::Seek(int64_t samples) {
  SeekCommand(samples, false);
}

void TMainForm::SeekCommand(int64_t samples, bool force) {
  if (!engine_ || !fileOpen_) return;
  const int64_t position = static_cast<int64_t>(engine_->SeekToSample(samples));
  sync_.Seeked(position, playState_.load() == kPlayStopped);
  if (position == lastSeekPosition_ && !force) return;
  lastSeekPosition_ = position;
  if (playState_.load() == kPlayPaused) {
    RefreshPausedFrame();
    positioningWindow_.Post(WM_POSITION_SEEKED, 0, static_cast<LPARAM>(position));
  }
}

void TMainForm::TrackBar1Change() {
  // The bar counts seconds; the engine moves it without a notification.
  if (!engine_ || !fileOpen_ || recState_.load() != kRecStopped) return;
  const int32_t bar = static_cast<int32_t>(SendMessageW(trackBar_, TBM_GETPOS, 0, 0));
  if (bar == lastTrackBarPosition_) return;
  lastTrackBarPosition_ = bar;
  uint32_t floatWidth = 0;
  const int64_t rate = engine_->GetFormat(&floatWidth).samplesPerSec;
  SeekCommand(int64_t{bar} * rate, false);
  if (GetFocus() == trackBar_) MoveFocusFromEdits();
}

void TMainForm::RefreshPausedFrame() {
  // The frame at the paused position: the analysis fetches from the re-read
  // ring start, which the engine hands out while paused; the engine's play
  // state cell is left alone (its pump thread reads it).
  if (playState_.load() != kPlayPaused || !display_) return;
  if (analysis_->AcquirePausedFrame() == 0) {
    display_->Spectrum().SingleStep();  // one new 3D line for the new position
    display_->DrawViews();
    RefreshLevelMeter();
  }
  SetFrameRateText("");
}

// ---- Keyboard

bool TMainForm::PreviewKey(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || !settings_) return false;
  // While an overlay comment or the averaging box's text has the focus the
  // key preview is off: typed letters and blanks go to that edit.
  if (overlayTools_.CommentHasFocus()) return false;
  TransportAbility ability;
  ability.canRecord = IsButtonEnabled(EngineButton::Rec);
  ability.canPlay = IsButtonEnabled(EngineButton::Play);
  ability.canPause = IsButtonEnabled(EngineButton::Pause);
  ability.canStop = IsButtonEnabled(EngineButton::Stop);
  const KeyPress press{static_cast<uint32_t>(msg.wParam), ControlHeld(), ShiftHeld()};
  const KeyPress translated = TranslateTransportKey(press, ability);
  const bool measure = settings_->values().MeasureMode.MeasureMode;
  const KeyCommand command = CommandOfKey(translated, measure);
  if (command == KeyCommand::None) return false;
  if (EngineBusy()) {
    Defer(msg.message, msg.wParam, msg.lParam);
    return true;
  }
  switch (command) {
    case KeyCommand::Open:
      if (IsWindowEnabled(openButton_)) OpenButtonClick();
      break;
    case KeyCommand::Play:
      if (ability.canPlay) PlayButtonClick();
      break;
    case KeyCommand::Record:
      if (ability.canRecord) RecButtonClick();
      break;
    case KeyCommand::Stop:
      if (ability.canStop) StopButtonClick();
      break;
    case KeyCommand::Pause:
      if (ability.canPause) PauseButtonClick();
      break;
    case KeyCommand::CopyScreen:
      if (display_) display_->CopyScreen();
      break;
    case KeyCommand::Divide:
      if (recState_.load() != kRecStopped) engine_->RequestDivide();
      break;
    case KeyCommand::ToggleMeasure:
      SendMessageW(measureModeButton_, BM_SETCHECK, measure ? BST_UNCHECKED : BST_CHECKED, 0);
      MeasureModeButtonClick();
      break;
    case KeyCommand::Setup:
      ShowSetupDialog();
      break;
    case KeyCommand::PlayList:
      playListWindow_.Show();
      break;
    case KeyCommand::Help:
      ShowHelp();
      break;
    default:
      overlayTools_.KeyCommand(static_cast<int>(command));
      break;
  }
  return true;
}

void TMainForm::ShowHelp() {
  if (!settings_ || !help_ || settings_->values().Window.DispHelp == 0) return;
  DWORD topic = IDH_CONTENTS;
  if (helpOpenedOnce_) {
    topic = settings_->values().MeasureMode.MeasureMode ? IDH_MEASURE_MODE : IDH_MAIN_WINDOW;
  }
  helpOpenedOnce_ = true;
  help_->ShowContext(hwnd(), topic);
}

// ---- Dropped files

void TMainForm::FormDropFiles(HDROP drop) {
  if (drop == nullptr) return;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  std::wstring name;
  if (count == 1) {
    const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    name.resize(length + 1);
    const UINT got = DragQueryFileW(drop, 0, name.data(), length + 1);
    name.resize(got);
  }
  DragFinish(drop);
  StopIfRunning();
  if (count != 1 || name.empty()) return;
  const bool wav = name.size() >= 4 && _wcsicmp(name.c_str() + name.size() - 4, L".WAV") == 0;
  if (!wav && !ControlHeldAtDrop()) return;
  playList_.Clear();
  currentFileName_ = Narrow(name);
  OpenCurrent(currentFileName_, nullptr);
}

}  // namespace ov
