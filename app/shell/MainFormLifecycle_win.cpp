// TMainForm: creation in its fixed steps, the first activation, the close
// request and destruction in the reverse order.
#include "app/shell/MainForm_win.h"

#include <commctrl.h>
#include <mmsystem.h>
#include <objbase.h>
#include <shellapi.h>

#include <cstdio>

#include "app/analysis/AsyncModifierKeys_win.h"
#include "app/analysis/FrameAnalysis.h"
#include "app/common/Utf8.h"
#include "app/display/Display_win.h"
#include "app/engine/WavePlayRec.h"
#include "app/resources/ResourceIds.h"
#include "app/setup/SetupDlg_win.h"
#include "app/setup/SystemProgramStarter_win.h"
#include "app/shell/InstanceNames.h"
#include "app/shell/MainTexts.h"
#include "app/shell/ProgramVersion.h"
#include "app/shell/SettingsFile.h"
#include "app/shell/SettingsPlatform_win.h"
#include "app/shell/SystemProbe_win.h"
#include "app/shell/Transport.h"
#include "app/shell/WinProfileStore_win.h"

namespace ov {

namespace {

constexpr wchar_t kMainClassName[] = L"TMainForm";

std::wstring Wide(const std::string& utf8) {
  const std::u16string w = Utf8ToUtf16(utf8);
  return std::wstring(w.begin(), w.end());
}

// The pump thread's side of the synchronised-start gate: the multimedia
// clock, and the waits handle that thread's own messages.
class PumpThreadClock : public SyncClock {
 public:
  uint32_t Now() override { return timeGetTime(); }
  void Sleep(uint32_t ms) override { ::Sleep(ms); }
  void ProcessMessages() override {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
};

}  // namespace

bool TMainForm::Create() {
  if (!RunCreationSteps()) {
    instanceNumber_ = 0;
    if (hwnd() != nullptr) DestroyWindow(hwnd());
    return false;
  }
  return true;
}

void TMainForm::Show() {
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
  UpdateWindow(hwnd());
}

bool TMainForm::RunCreationSteps() {
  // 1. COM for this thread; a failure is remembered, not fatal.
  comInitialised_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  // 2.-4. DirectDraw, the vertical-blank probe of the drawing surfaces (with
  // the display), the system's version.
  caps_ = CapabilitiesOf(RunningOsVersion(), ProbeDirectDraw());

  // 5. Program folder, settings path, first-run flag (taken by SettingsFile).
  programFolder_ = ProgramFolder();
  profileStore_ =
      std::make_unique<WinProfileStore>(programFolder_ + SettingsFileName(instanceNumber_));
  // 6. Language and settings.
  settings_ = std::make_unique<SettingsFile>(
      *profileStore_, notifier_,
      SystemSettingsEnvironment(caps_.directXAvailable, caps_.vistaOrLater));
  settings_->LoadSettings(0);
  language_ = settings_->language();
  help_ = std::make_unique<HelpFile>(Wide(programFolder_ + "OV.chm"));

  // 7. The embedded font, in English only.
  if (language_ == Language::English) ApplyLanguage();

  // 8. The FFT library; without it the instance cannot run.
  if (!binding_.LoadFrom(Wide(programFolder_))) return false;

  // The window itself, with its children, now that the language is known.
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_MAIN_ICON));
  if (!RegisterWindowClass(kMainClassName, CS_HREDRAW | CS_VREDRAW,
                           reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), icon, icon)) {
    return false;
  }
  // 9. The caption.
  if (!Window::Create(kMainClassName, Wide(MainCaption(instanceNumber_)).c_str(),
                      WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, CW_USEDEFAULT, CW_USEDEFAULT, 800,
                      600)) {
    return false;
  }
  notifier_.SetOwner(hwnd());
  DragAcceptFiles(hwnd(), TRUE);
  runner_ = MainThreadRunner::Create();
  displayRunner_ = std::make_unique<NestedPumpRunner>(*runner_, *this, nestedPumps_);
  CreateChildren();
  CreateTopPanelControls();
  CreateViewAreas();
  if (guiFont_ != nullptr) {
    EnumChildWindows(
        hwnd(),
        [](HWND child, LPARAM font) -> BOOL {
          SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(guiFont_));
  }

  // 10. Driver fallback; 11. the engine; 12. the secondary windows.
  SettingsValues& v = settings_->values();
  v.Conditions.PlayRecDriverType = UsableDriverType(v.Conditions.PlayRecDriverType, caps_);
  SyncSettings sync;
  sync.instance = instanceNumber_;
  sync.sync2ndInstance = v.Conditions.Sync2ndInstance;
  sync.sync2ndPlayPos = v.Conditions.Sync2ndPlayPos;
  sync.playSyncDelayMs = v.Conditions.PlaySyncDelay;
  sync.recSyncDelayMs = v.Conditions.RecSyncDelay;
  sync_.SetSettings(sync);
  CreateEngine();
  CreateDisplay();
  CreateSetupDialog();
  CreateFileWindows();
  CreateMeasurePanel();
  CreateMeterWindows();
  CreateAutoSetWindow();
  LayOut();
  return true;
}

void TMainForm::ApplyLanguage() {
  if (!font_.Add()) {
    char text[128];
    std::snprintf(text, sizeof text, kUnableToLoadFont, "KP1");
    MessageBoxNotifier(Title()).Notify(text, NoticeIcon::Error);
    return;
  }
  guiFont_ = EmbeddedFont::CreateGuiFont();
}

bool TMainForm::CreateEngine() {
  const SettingsValues& v = settings_->values();
  EngineSettings es;
  es.originatorText = Title() + " " + kProgramCaptionVersion;
  const BufferPlanInputs play = EngineBufferPlanInputs(
      v.Special.NofPlayBufPerSec, v.Special.NofPlayBuf, v.Special.PlayBufSampleSizeMin);
  const BufferPlanInputs rec = EngineBufferPlanInputs(
      v.Special.NofRecBufPerSec, v.Special.NofRecBuf, v.Special.RecBufSampleSizeMin);
  es.NofPlayBufPerSec = play.perSec;
  es.NofPlayBuf = play.count;
  es.PlayBufSampleSizeMin = play.minSamples;
  es.NofRecBufPerSec = rec.perSec;
  es.NofRecBuf = rec.count;
  es.RecBufSampleSizeMin = rec.minSamples;
  es.PlayLatencyCorrect_ms = v.Special.PlayLatencyCorrect_ms;
  es.RecLatencyCorrect_ms = v.Special.RecLatencyCorrect_ms;
  es.PlayRecDriverType = v.Conditions.PlayRecDriverType;
  es.Use_WF_EXTENSIBLE = v.Conditions.Use_WF_EXTENSIBLE;
  es.Use_WF_DIRECT = v.Conditions.Use_WF_DIRECT;
  es.RecUpdateHeaderPeriod = v.Conditions.RecUpdateHeader ? v.Conditions.RecUpdateHeaderPeriod : 0;
  es.Rec_RF64 = v.Conditions.Rec_RF64;
  es.Rec_BWF = v.Conditions.Rec_BWF;
  es.DS_PlayLatency = v.Conditions.DS_PlayLatency;
  es.DS_RecLatency = v.Conditions.DS_RecLatency;
  es.WAS_Latency = v.Conditions.WAS_Latency;
  es.WAS_EventMode = v.Conditions.WAS_EventMode;
  es.PlayThreadPriority = EngineThreadPriority(v.Special.PlayThreadPriority);
  es.RecThreadPriority = EngineThreadPriority(v.Special.RecThreadPriority);
  es.language = language_;

  EngineCallbacks cb;
  cb.OnSyncStart = [this](bool isRec) {
    PumpThreadClock clock;
    return sync_.StartGate(isRec, clock);
  };
  // The display exists from right after the engine until right before it.
  cb.OnDisplayRun = [this](bool run) {
    return display_ ? display_->SetDisplayRunning(run) : false;
  };
  cb.OnPlayListCursor = [this](bool peekNext) { return PlayListCursorAnswer(peekNext); };
  engine_ =
      std::make_unique<WavePlayRec>(*this, notifier_, playState_, recState_, std::move(cb), es);
  // The stored buffer sizes replace the computed plans when both values are set.
  if (v.Special.NofPlayBuf > 0 && v.Special.PlayBufByteSize > 0)
    engine_->SetPlayBuffers(static_cast<uint32_t>(v.Special.NofPlayBuf),
                            static_cast<uint32_t>(v.Special.PlayBufByteSize));
  engine_->SetPlayWithFullVol(v.Conditions.PlayWithFullVol);
  engine_->SetPlayForceMonoStereo(v.Conditions.PlayForceMonoStereo);
  if (v.Special.NofRecBuf > 0 && v.Special.RecBufByteSize > 0)
    engine_->SetRecBuffers(static_cast<uint32_t>(v.Special.NofRecBuf),
                           static_cast<uint32_t>(v.Special.RecBufByteSize));
  // The division size is kept as a 32-bit pattern (hexadecimal in the file).
  if (v.Conditions.RecFileDivideBytes != 0)
    engine_->SetRecFileDivideBytes(static_cast<uint32_t>(v.Conditions.RecFileDivideBytes));
  return true;
}

// ---- First activation

void TMainForm::PlaceFromSettings() {
  const int x = settings_->LoadSettings(1), y = settings_->LoadSettings(2);
  const int width = settings_->LoadSettings(3), height = settings_->LoadSettings(4);
  if (width > 0 && height > 0) {
    SetWindowPos(hwnd(), nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (settings_->LoadSettings(5) == 2) ShowWindow(hwnd(), SW_MAXIMIZE);
}

void TMainForm::ShowOneTimeNotice() {
  int32_t& dispHelp = settings_->values().Window.DispHelp;
  if (dispHelp != -1 && dispHelp != -2) return;
  notifier_.Notify((dispHelp == -1 ? kFirstUseNotice : kNewVersionNotice).In(language_),
                   NoticeIcon::Warning);
  dispHelp = 1;
  // The window may have been closed while the notice was up.
  if (closing_ || hwnd() == nullptr) return;
  helpOpenedOnce_ = true;
  help_->ShowContext(hwnd(), IDH_CONTENTS);
  OpenAutoSetAtFirstUse();
}

void TMainForm::FormFirstActivate() {
  PlaceFromSettings();
  ShowMeterWindowsAtFirstActivation();
  LayOut();
  if (instanceNumber_ == 1) ShowOneTimeNotice();
  if (closing_ || hwnd() == nullptr) return;
  // The command line runs like a handed-over one, from the message loop.
  if (!pendingCommandLine_.empty()) {
    handOvers_.push_back(pendingCommandLine_);
    PostMessageW(hwnd(), kProcessCommandLineMessage, 0, 0);
  }
}

// ---- Close and destruction

void TMainForm::FormCloseQuery() {
  closing_ = true;
  StoreMeterWindows();
  StopIfRunning();
  DestroyFileWindows();
}

void TMainForm::StoreWindowBounds() {
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  if (!GetWindowPlacement(hwnd(), &wp)) return;
  SettingsValues& v = settings_->values();
  v.Window.PosX = wp.rcNormalPosition.left;
  v.Window.PosY = wp.rcNormalPosition.top;
  v.Window.Width = wp.rcNormalPosition.right - wp.rcNormalPosition.left;
  v.Window.Height = wp.rcNormalPosition.bottom - wp.rcNormalPosition.top;
  v.Window.Maximized = wp.showCmd == SW_SHOWMAXIMIZED ? "Y" : "N";
}

void TMainForm::FormDestroy() {
  closing_ = true;
  if (settings_) StoreWindowBounds();
  DestroyMeterWindows();
  // The display thread leaves its loop and the timer stops; then the engine
  // stops its pumps and releases its devices.
  StoreMeasureState();
  // The display's and the engine's ends below still handle messages (a play's
  // end among them), whose handlers refresh the overlay tools: they must find
  // none instead of the freed ones.
  overlayTools_.Attach(nullptr);
  measureTools_.reset();
  setup_.reset();
  display_.reset();
  analysis_.reset();
  engine_.reset();
  DestroyFileWindows();
  help_.reset();
  if (comInitialised_) CoUninitialize();
  comInitialised_ = false;
  font_.Remove();
  if (instanceNumber_ != 0 && settings_) settings_->SaveSettings();
  // The plans were released by their owner; the library goes last.
  binding_.Unload();
}

}  // namespace ov
