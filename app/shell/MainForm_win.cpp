// TMainForm: messages, children, layout, the engine's host calls and the
// commands that act on the engine.
#include "app/shell/MainForm_win.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cstdio>

#include "app/common/AppMessages.h"
#include "app/common/Utf8.h"
#include "app/analysis/AsyncModifierKeys_win.h"
#include "app/analysis/FrameAnalysis.h"
#include "app/display/Display_win.h"
#include "app/engine/WavePlayRec.h"
#include "app/resources/ResourceIds.h"
#include "app/setup/SetupDlg_win.h"
#include "app/setup/SystemProgramStarter_win.h"
#include "app/shell/CommandLine.h"
#include "app/shell/InstanceNames.h"
#include "app/shell/MainTexts.h"
#include "app/shell/SettingsFile.h"
#include "app/shell/WinProfileStore_win.h"

namespace ov {

namespace {

// Private messages of the main window (beyond the application's numbers).
constexpr UINT_PTR kDeferTimer = 1;

std::wstring Wide(const std::string& utf8) {
  const std::u16string w = Utf8ToUtf16(utf8);
  return std::wstring(w.begin(), w.end());
}

}  // namespace

TMainForm::TMainForm(int& instanceNumber, std::string& pendingCommandLine)
    : instanceNumber_(instanceNumber),
      pendingCommandLine_(pendingCommandLine),
      notifier_(ApplicationTitle(instanceNumber)),
      binding_(notifier_),
      peer_(ApplicationTitle(instanceNumber)),
      sync_(*this, &peer_) {}

TMainForm::~TMainForm() {
  if (hwnd() != nullptr) DestroyWindow(hwnd());
  if (guiFont_ != nullptr) DeleteObject(guiFont_);
}

std::string TMainForm::Title() const {
  return ApplicationTitle(instanceNumber_);
}

void TMainForm::Notify(const TwoLanguageText& text, const std::string& argument) {
  char buffer[2048];
  std::snprintf(buffer, sizeof buffer, text.In(language_), argument.c_str());
  notifier_.Notify(buffer, NoticeIcon::Warning);
}

// ---- Children and layout

void TMainForm::CreateChildren() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  const bool english = language_ == Language::English;
  auto make = [&](const wchar_t* cls, const wchar_t* text, DWORD style, int id) {
    return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, hwnd(),
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  };
  openButton_ = make(L"BUTTON", english ? L"Open" : L"開く", BS_PUSHBUTTON, IDC_MAIN_OPEN_BUTTON);
  playButton_ = make(L"BUTTON", english ? L"Play" : L"再生", BS_PUSHBUTTON, IDC_MAIN_PLAY_BUTTON);
  stopButton_ = make(L"BUTTON", english ? L"Stop" : L"停止", BS_PUSHBUTTON, IDC_MAIN_STOP_BUTTON);
  pauseButton_ = make(L"BUTTON", english ? L"Pause" : L"一時停止", BS_CHECKBOX | BS_PUSHLIKE,
                      IDC_MAIN_PAUSE_BUTTON);
  recButton_ = make(L"BUTTON", english ? L"Rec" : L"録音", BS_PUSHBUTTON, IDC_MAIN_REC_BUTTON);
  trackBar_ = make(TRACKBAR_CLASSW, L"", TBS_HORZ | TBS_NOTICKS, IDC_MAIN_TRACK_BAR);
  label1_ = make(L"STATIC", L"", SS_RIGHT | SS_CENTERIMAGE, IDC_MAIN_LABEL1);
  label2_ = make(L"STATIC", L"", SS_LEFT | SS_CENTERIMAGE, IDC_MAIN_LABEL2);
  waveInfoText_ =
      make(L"STATIC", L"", SS_LEFT | SS_CENTERIMAGE | SS_NOTIFY, IDC_MAIN_WAVE_INFO_TEXT);
  fftInfoText_ = make(L"STATIC", L"", SS_LEFT | SS_CENTERIMAGE | SS_NOTIFY, IDC_MAIN_FFT_INFO_TEXT);
  frameRateText_ =
      make(L"STATIC", L"", SS_LEFT | SS_CENTERIMAGE | SS_NOTIFY, IDC_MAIN_FRAME_RATE_TEXT);
  EnableWindow(trackBar_, FALSE);
}

// ---- Messages

LRESULT TMainForm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED && openButton_ != nullptr) LayOut();
      return 0;
    case WM_MOVE:
      MainWindowMoved();
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && !firstActivationDone_) {
        firstActivationDone_ = true;
        PostMessageW(hwnd(), kFirstActivationMessage, 0, 0);
      }
      break;
    case kFirstActivationMessage:
      FormFirstActivate();
      return 0;
    case WM_COPYDATA:
      FormCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
      return TRUE;
    case kProcessCommandLineMessage: {
      if (closing_ || handOvers_.empty()) return 0;
      if (EngineBusy()) return Defer(msg, wParam, lParam);
      const std::string text = std::move(handOvers_.front());
      handOvers_.pop_front();
      pendingCommandLine_ = text;
      StopIfRunning();
      ProcessCommandLine(text);
      return 0;
    }
    case WM_TIMER:
      if (wParam == kDeferTimer)
        RunDeferred();
      else if (display_)
        display_->OnTimer(wParam);
      return 0;
    case WM_TIMER_PERIOD:
      if (display_) display_->OnTimerPeriodMessage(wParam);
      return 0;
    case WM_INSTANCE_SYNC:
      // The peer's commands wait only for the engine's own waits: held back for
      // a display wait (up to two seconds) the peer would start out of step.
      if (engine_ && engine_->InMessageWait() && wParam != kSyncStartTick)
        return Defer(msg, wParam, lParam);
      sync_.HandleCommand(static_cast<uint32_t>(wParam), static_cast<int64_t>(lParam));
      return 0;
    case WM_PLAY_END:
      // The pump has ended: join it and show the stopped state.
      if (engine_ && playState_.load() == kPlayStopped && !engine_->InMessageWait()) {
        engine_->Stop();
        if (recState_.load() == kRecStopped) AfterStop();
      }
      setupWindow_.Post(WM_PLAYING_STATE, 0);
      playListWindow_.Post(WM_PLAYING_STATE, playState_.load() != kPlayStopped ? 1 : 0);
      return 0;
    case WM_FRAME_PLAY_END:
      positioningWindow_.Post(WM_AUDITION_ENDED, 0);
      return 0;
    case WM_REC_END:
      // The recording has ended: join it and show the stopped state.
      if (engine_ && recState_.load() == kRecStopped && !engine_->InMessageWait() &&
          playState_.load() == kPlayStopped)
        AfterStop();
      setupWindow_.Post(WM_RECORDING_STATE, 0);
      return 0;
    case WM_FORMAT_TEXT:
      waveInfoWindow_.Post(WM_WAVE_INFO_CHANGED, wParam);
      return 0;
    case WM_PLAY_BEGIN:
      setupWindow_.Post(WM_PLAYING_STATE, 1);
      return 0;
    case WM_REC_BEGIN:
      setupWindow_.Post(WM_RECORDING_STATE, 1);
      return 0;
    case WM_HSCROLL:
      if (reinterpret_cast<HWND>(lParam) != trackBar_ || trackBar_ == nullptr) break;
      if (EngineBusy()) return Defer(msg, wParam, lParam);
      TrackBar1Change();
      return 0;
    case WM_DROPFILES:
      if (EngineBusy()) return Defer(msg, wParam, lParam);
      FormDropFiles(reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_COMMAND: {
      static const CommandRoute<TMainForm> routes[] = {
          {IDC_MAIN_OPEN_BUTTON, &TMainForm::OpenButtonClick},
          {IDC_MAIN_PLAY_BUTTON, &TMainForm::PlayButtonClick},
          {IDC_MAIN_STOP_BUTTON, &TMainForm::StopButtonClick},
          {IDC_MAIN_PAUSE_BUTTON, &TMainForm::PauseButtonClick},
          {IDC_MAIN_REC_BUTTON, &TMainForm::RecButtonClick},
      };
      if (HIWORD(wParam) == BN_CLICKED && EngineBusy()) return Defer(msg, wParam, lParam);
      if (MeasureCommand(LOWORD(wParam), HIWORD(wParam))) return 0;
      if (HIWORD(wParam) == BN_CLICKED && RouteCommand(this, routes, LOWORD(wParam))) return 0;
      break;
    }
    case WM_CLOSE:
      // Closing destroys the engine and the display: never from inside one
      // of their waits, which would return into destroyed objects.
      if (EngineBusy()) return Defer(msg, wParam, lParam);
      FormCloseQuery();
      DestroyWindow(hwnd());
      return 0;
    case WM_DESTROY:
      FormDestroy();
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return Default(msg, wParam, lParam);
}

bool TMainForm::EngineBusy() const {
  return nestedPumps_ > 0 || (engine_ && engine_->InMessageWait());
}

LRESULT TMainForm::Defer(UINT msg, WPARAM wParam, LPARAM lParam) {
  // The engine is inside one of its waits that handle messages: the command
  // is kept and run once the wait has ended. A timer (which only fires when
  // the queue is empty) looks, so the wait's own message handling never spins
  // on it.
  const bool control = msg == WM_DROPFILES ? ControlHeldAtDrop() : ControlHeld();
  deferred_.push_back({msg, wParam, lParam, control, ShiftHeld()});
  SetTimer(hwnd(), kDeferTimer, 10, nullptr);
  return 0;
}

void TMainForm::RunDeferred() {
  if (EngineBusy()) return;
  KillTimer(hwnd(), kDeferTimer);
  // Commands held back while these run (a command may start a wait) land in
  // deferred_ again and run on the next turn of the timer.
  std::vector<DeferredCommand> commands;
  commands.swap(deferred_);
  const DeferredCommand* outer = replaying_;  // a modal loop may run the timer again
  for (const DeferredCommand& c : commands) {
    if (c.msg == WM_CLOSE) {
      // Closing ends the window: it runs from the queue, after everything else.
      PostMessageW(hwnd(), WM_CLOSE, c.wParam, c.lParam);
      continue;
    }
    replaying_ = &c;
    if (c.msg == WM_KEYDOWN) {
      MSG m{};
      m.hwnd = hwnd();
      m.message = c.msg;
      m.wParam = c.wParam;
      m.lParam = c.lParam;
      PreviewKey(m);
    } else {
      HandleMessage(c.msg, c.wParam, c.lParam);
    }
    replaying_ = outer;
  }
}

// The key state as of the message being handled (not the keyboard's state
// now: a busy window reads its keys after the user has let go of them). While
// a replayed command waits, keys handled inside that wait are the keyboard's.
bool TMainForm::ControlHeld() const {
  return replaying_ != nullptr && !EngineBusy() ? replaying_->control
                                                : (GetKeyState(VK_CONTROL) & 0x8000) != 0;
}

bool TMainForm::ShiftHeld() const {
  return replaying_ != nullptr && !EngineBusy() ? replaying_->shift
                                                : (GetKeyState(VK_SHIFT) & 0x8000) != 0;
}

bool TMainForm::ControlHeldAtDrop() const {
  return replaying_ != nullptr && !EngineBusy() ? replaying_->control
                                                : (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0;
}

// ---- EngineHost

void TMainForm::RunOnMainThread(void (*step)(void*), void* arg) {
  runner_->Run(step, arg);
}

void TMainForm::ProcessMessages() {
  ++nestedPumps_;
  PumpPendingMessages(this);
  --nestedPumps_;
}

void TMainForm::PostNotification(uint32_t message, uintptr_t wParam) {
  PostMessageW(hwnd(), message, wParam, 0);
}

void TMainForm::ShowStopped(const std::string& text) {
  notifier_.Notify(text, NoticeIcon::Warning);
}

HWND TMainForm::ButtonOf(EngineButton b) const {
  switch (b) {
    case EngineButton::Play:
      return playButton_;
    case EngineButton::Stop:
      return stopButton_;
    case EngineButton::Pause:
      return pauseButton_;
    case EngineButton::Rec:
      return recButton_;
  }
  return nullptr;
}

void TMainForm::EnableButton(EngineButton b, bool on) {
  EnableWindow(ButtonOf(b), on);
}

bool TMainForm::IsButtonEnabled(EngineButton b) const {
  HWND button = ButtonOf(b);
  return button != nullptr && IsWindowEnabled(button);
}

void TMainForm::SetButtonDown(EngineButton b, bool down) {
  SendMessageW(ButtonOf(b), BM_SETCHECK, down ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TMainForm::SetLabelText(EngineLabel l, const std::string& text) {
  HWND label = l == EngineLabel::Position ? label1_
               : l == EngineLabel::Length ? label2_
                                          : waveInfoText_;
  SetWindowTextW(label, Wide(text).c_str());
}

void TMainForm::SetTrackBar(const TrackBarSetup& s) {
  EnableWindow(trackBar_, s.enabled);
  SendMessageW(trackBar_, TBM_SETRANGEMIN, FALSE, 0);
  SendMessageW(trackBar_, TBM_SETRANGEMAX, FALSE, s.maximum);
  SendMessageW(trackBar_, TBM_SETTICFREQ, s.frequency, 0);
  SendMessageW(trackBar_, TBM_SETLINESIZE, 0, s.lineSize);
  SendMessageW(trackBar_, TBM_SETPAGESIZE, 0, s.pageSize);
  SendMessageW(trackBar_, TBM_SETPOS, TRUE, s.position);
}

void TMainForm::SetTrackBarPosition(int32_t position) {
  SendMessageW(trackBar_, TBM_SETPOS, TRUE, position);
}

// ---- Command lines

void TMainForm::FormCopyData(const COPYDATASTRUCT* data) {
  if (data == nullptr) return;
  std::optional<std::string> text = HandOverText(data->dwData, data->lpData, data->cbData);
  if (!text) return;
  // Handled after the sender has been released: a message box shown while
  // processing must not hold the process that handed the line over.
  handOvers_.push_back(std::move(*text));
  PostMessageW(hwnd(), kProcessCommandLineMessage, 0, 0);
}

void TMainForm::ProcessCommandLine(const std::string& text) {
  const SplitCommandLine split = Split(text);
  if (split.items.empty()) return;
  StopIfRunning();  // the engine may hold an item of the list until it stops
  if (split.leftOut > 0) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, kItemsLeftOut.In(language_), split.leftOut);
    notifier_.Notify(buffer, NoticeIcon::Warning);
  }
  if (split.items.size() == 1) {
    const std::string path = ResolveSingleItem(split.items[0], programFolder_);
    if (path.empty()) {
      Notify(kFileNameTooLong, split.items[0]);
      return;
    }
    playList_.Clear();
    OpenAndPlay(path, nullptr);
    return;
  }
  if (AddCommandLineItemsToPlayList(split.items)) return;
  const std::string refused = playList_.Fill(split.items);
  if (!refused.empty()) Notify(kFilesNotPlayable, refused);
  if (playList_.Empty()) return;
  OpenAndPlay(playList_.First().fileName, &playList_.First());
}

}  // namespace ov
