// TSetupDlg: creation, show and hide, the tab pages, the run-state messages
// and the buttons every page shares. The pages' own controls are in
// Setup*Page_win.cpp.
#include "app/setup/SetupDlg_win.h"

#include <commctrl.h>

#include "app/common/AppMessages.h"
#include "app/engine/WavePlayRec.h"
#include "app/resources/ResourceIds.h"
#include "app/setup/SetupDlgCommon_win.h"
#include "app/setup/SetupTexts.h"

namespace ov {

using namespace setup_win;

TSetupDlg::TSetupDlg(SetupHost& host, ProgramStarter& starter) : host_(host), starter_(starter) {}

TSetupDlg::~TSetupDlg() = default;

bool TSetupDlg::Create(HWND owner) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  owner_ = owner;
  return CreateModeless(owner, IDD_SETUP_DLG);
}

bool TSetupDlg::IsShown() const {
  return hwnd() && IsWindowVisible(hwnd());
}

INT_PTR TSetupDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      InitDialog();
      return TRUE;
    case WM_COMMAND:
      Command(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_NOTIFY: {
      const auto* n = reinterpret_cast<const NMHDR*>(lParam);
      if (n->idFrom == IDC_SETUP_TAB && n->code == TCN_SELCHANGE) {
        SelectPage(static_cast<int>(SendMessageW(Item(IDC_SETUP_TAB), TCM_GETCURSEL, 0, 0)));
        return TRUE;
      }
      return FALSE;
    }
    case WM_HELP:
      HelpButtonClick();
      return TRUE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      // The pages' labels and boxes lie on the tab's body: paint them in its colour.
      const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
      if (PageOfControl(id) < 0) return FALSE;
      auto* dc = reinterpret_cast<HDC>(wParam);
      SetBkColor(dc, GetSysColor(COLOR_WINDOW));
      SetTextColor(dc,
                   GetSysColor(IsWindowEnabled(reinterpret_cast<HWND>(lParam)) ? COLOR_WINDOWTEXT
                                                                               : COLOR_GRAYTEXT));
      return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
    }
    case WM_CLOSE:
      CancelButtonClick();
      return TRUE;
    case WM_MEASURE_MODE:
      flags_.measureMode = wParam != 0;
      UpdateEnabling();
      return TRUE;
    case WM_PLAYING_STATE:
      flags_.playing = wParam != 0;
      UpdateEnabling();
      return TRUE;
    case WM_RECORDING_STATE:
      flags_.recording = wParam != 0;
      UpdateEnabling();
      return TRUE;
    default:
      return FALSE;
  }
}

void TSetupDlg::InitDialog() {
  const Language l = host_.UserLanguage();
  SetWindowTextW(hwnd(), Wide(setup_text::kCaption.In(l)).c_str());
  HWND tab = Item(IDC_SETUP_TAB);
  for (int i = 0; i < 5; ++i) {
    std::wstring name = Wide(setup_text::kPageNames[i].In(l));
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = name.data();
    SendMessageW(tab, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
  for (const auto& t : setup_text::kControlTexts) SetText(t.id, t.text.In(l));
  SetText(IDC_SETUP_APPLY, setup_text::kApply.In(l));
  SetText(IDC_SETUP_CANCEL, setup_text::kCancel.In(l));
  SetText(IDC_SETUP_HELP, setup_text::kHelp.In(l));
  SetText(IDC_SETUP_FFT_WARNING, setup_text::kUnableFftRunning.In(l));
  SetText(IDC_SETUP_MEASURE_WARNING, setup_text::kUnableMeasureMode.In(l));
  ShowWindow(Item(IDC_SETUP_REC_MONITOR), SW_HIDE);
  ShowPage(0);
}

// ---------------------------------------------------------------- show and hide

void TSetupDlg::ShowDialog() {
  if (!hwnd()) return;
  SettingsValues& s = host_.Settings();
  RECT r{};
  GetWindowRect(hwnd(), &r);
  int w = r.right - r.left, h = r.bottom - r.top;
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  int x = r.left, y = r.top;
  if (!placed_) {
    placed_ = true;
    const StoredBounds& b = s.SetupDialog;
    if (b.PosX == 0 && b.PosY == 0 && b.Width == 0 && b.Height == 0) {
      x = work.left + (work.right - work.left - w) / 2;
      y = work.top + (work.bottom - work.top - h) / 2;
    } else {
      x = b.PosX;
      y = b.PosY;
    }
  }
  // Inside the work area, the top left corner first.
  if (x + w > work.right) x = work.right - w;
  if (y + h > work.bottom) y = work.bottom - h;
  if (x < work.left) x = work.left;
  if (y < work.top) y = work.top;
  SetWindowPos(hwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

  snapshot_ = TakeSnapshot(s);
  applyPressed_ = false;
  // The run flags from the main window's own state as well: a start in
  // measure mode posts no message.
  const SetupRunState run = host_.RunState();
  flags_.playing = run.playing;
  flags_.recording = run.recording;
  flags_.measureMode = run.measureMode;
  showRecMonitor_ = KeyHeld(VK_SHIFT) && KeyHeld(VK_CONTROL) && s.Conditions.PlayRecDriverType == 0;
  FillAll();
  ShowPage(page_);
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
}

void TSetupDlg::ApplyButtonClick() {
  applyPressed_ = true;
  Hide(true);
}

void TSetupDlg::CancelButtonClick() {
  Hide(false);
}

void TSetupDlg::Hide(bool applied) {
  if (!IsShown()) return;
  SettingsValues& s = host_.Settings();
  RECT r{};
  GetWindowRect(hwnd(), &r);
  s.SetupDialog.PosX = r.left;
  s.SetupDialog.PosY = r.top;
  s.SetupDialog.Width = r.right - r.left;
  s.SetupDialog.Height = r.bottom - r.top;
  if (applied) {
    if (IsWindowEnabled(Item(IDC_SETUP_FREQ_APPLY)) && Checked(IDC_SETUP_FREQ_RANGE)) {
      FreqRangeApplyButtonClick();
    }
    ShowWindow(hwnd(), SW_HIDE);
    if (!host_.SaveSettings()) Warn(setup_text::kSettingsNotSaved, setup_text::kCaption);
    return;
  }
  ShowWindow(hwnd(), SW_HIDE);
  RestoreSnapshot();
}

void TSetupDlg::RestoreSnapshot() {
  SettingsValues& s = host_.Settings();
  const RestorePlan plan = PlanRestore(snapshot_, s, flags_);
  const bool drawChanged = KeyDiffers(snapshot_, s, "Conditions", "WaveDrawType") ||
                           KeyDiffers(snapshot_, s, "Conditions", "SpectrumDrawType") ||
                           KeyDiffers(snapshot_, s, "Conditions", "WaveCheckVBlank") ||
                           KeyDiffers(snapshot_, s, "Conditions", "SpectrumCheckVBlank");
  const bool sizeChanged =
      plan.restoreSampleCount && KeyDiffers(snapshot_, s, "Conditions", "Sample_N");
  const bool driverChanged =
      plan.restoreDevice && KeyDiffers(snapshot_, s, "Conditions", "PlayRecDriverType");
  const bool periodChanged =
      KeyDiffers(snapshot_, s, "Conditions", "DispThreadSleepPeriod") ||
      (plan.restoreDispPeriod && GroupDiffers(snapshot_, s, RestoreGroup::DispPeriod));
  RestoreFromSnapshot(snapshot_, plan, s);
  if (plan.deviceRefused) Warn(setup_text::kUnableRestoreRunning, setup_text::kCapRestoreDevice);
  if (plan.dispPeriodRefused) {
    Warn(setup_text::kUnableRestoreRunning, setup_text::kCapRestoreDispPeriod);
  }
  if (plan.sampleCountRefused) Warn(setup_text::kUnableRestoreFft, setup_text::kCapRestoreFft);

  WavePlayRec& engine = host_.Engine();
  if (driverChanged &&
      engine.SetDriverType(s.Conditions.PlayRecDriverType) == DriverChange::Unusable) {
    s.Conditions.PlayRecDriverType = engine.GetDriverType();
  }
  if (driverChanged) host_.DriverChanged();
  ApplyEngineOptions();
  if (sizeChanged) host_.SetAnalysisSize(s.Conditions.Sample_N);
  if (drawChanged) host_.SettingChanged(SetupChange::DrawType);
  for (SetupChange c :
       {SetupChange::WaveView, SetupChange::WaveLayout, SetupChange::SpectrumView,
        SetupChange::SpectrumComment, SetupChange::ColorSet, SetupChange::LevelMeter,
        SetupChange::LissajousWindow, SetupChange::WindowFunction, SetupChange::EngineOptions,
        SetupChange::RecordFormat, SetupChange::Devices, SetupChange::Misc}) {
    host_.SettingChanged(c);
  }
  if (periodChanged && owner_) {
    PostMessageW(owner_, WM_TIMER_PERIOD, static_cast<WPARAM>(s.Conditions.DispThreadSleepPeriod),
                 0);
  }
}

void TSetupDlg::ApplyEngineOptions() {
  const auto& c = host_.Settings().Conditions;
  WavePlayRec& e = host_.Engine();
  e.SetUseExtensible(c.Use_WF_EXTENSIBLE);
  e.SetUseDirect(c.Use_WF_DIRECT);
  e.SetPlayWithFullVol(c.PlayWithFullVol);
  e.SetPlayForceMonoStereo(c.PlayForceMonoStereo);
  e.SetRecRF64(c.Rec_RF64);
  e.SetRecBWF(c.Rec_BWF);
  e.SetRecUpdateHeaderPeriod(c.RecUpdateHeader ? c.RecUpdateHeaderPeriod : 0);
  e.SetWasapiLatency(c.WAS_Latency);
  e.SetWasapiEventMode(c.WAS_EventMode);
}

// ---------------------------------------------------------------- pages

void TSetupDlg::SelectPage(int page) {
  if (page == 3 && !playRecFilled_) {
    // The first fill opens ASIO drivers, which a running ASIO stream owns.
    if (host_.Settings().Conditions.PlayRecDriverType == 2 && flags_.PlayOrRecRunning()) {
      Warn(setup_text::kAsioTabRefused, setup_text::kCapPlayRec);
      SendMessageW(Item(IDC_SETUP_TAB), TCM_SETCURSEL, static_cast<WPARAM>(page_), 0);
      return;
    }
    FillPlayRecPage();
  }
  ShowPage(page);
}

struct PageShow {
  HWND dialog;
  int page;
  bool recMonitor;
};

static BOOL CALLBACK ShowPageChild(HWND child, LPARAM data) {
  const auto* p = reinterpret_cast<const PageShow*>(data);
  if (GetParent(child) != p->dialog) return TRUE;
  const int id = GetDlgCtrlID(child);
  const int page = PageOfControl(id);
  if (page < 0) return TRUE;
  bool show = page == p->page;
  if (id == IDC_SETUP_REC_MONITOR) show = show && p->recMonitor;
  ShowWindow(child, show ? SW_SHOWNA : SW_HIDE);
  return TRUE;
}

void TSetupDlg::ShowPage(int page) {
  if (page < 0 || page > 4) return;
  page_ = page;
  SendMessageW(Item(IDC_SETUP_TAB), TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
  PageShow p{hwnd(), page, showRecMonitor_};
  EnumChildWindows(hwnd(), ShowPageChild, reinterpret_cast<LPARAM>(&p));
  UpdateEnabling();
}

void TSetupDlg::FillWhenEmpty(int listId) {
  if (SendMessageW(Item(listId), CB_GETCOUNT, 0, 0) <= 0) FillAll();
}

void TSetupDlg::KeepInSnapshot(int32_t waveDrawType, int32_t spectrumDrawType, bool waveCheckVBlank,
                               bool spectrumCheckVBlank) {
  if (!snapshot_.taken) return;
  auto& c = snapshot_.values.Conditions;
  c.WaveDrawType = waveDrawType;
  c.SpectrumDrawType = spectrumDrawType;
  c.WaveCheckVBlank = waveCheckVBlank;
  c.SpectrumCheckVBlank = spectrumCheckVBlank;
}

void TSetupDlg::FillAll() {
  filling_ = true;
  FillWavePage();
  FillSpectrumPage();
  FillFftPage();
  if (playRecFilled_) FillPlayRecPage();
  FillMiscPage();
  filling_ = false;
  UpdateEnabling();
}

void TSetupDlg::UpdateEnabling() {
  if (!hwnd()) return;
  const SettingsValues& s = host_.Settings();
  SetupState st;
  st.flags = flags_;
  st.driverType = s.Conditions.PlayRecDriverType;
  st.vblankAvailable = host_.VBlankAvailable();
  st.waveDrawType = s.Conditions.WaveDrawType;
  st.spectrumDrawType = s.Conditions.SpectrumDrawType;
  st.meterVisible = s.LevelMeterWindow.Visible;
  st.lissajousWindow = s.LissajousWindow.Visible;
  st.sync2nd = s.Conditions.Sync2ndInstance;
  st.useTimer = s.Conditions.UseTimer;
  const SetupEnables e = ComputeEnables(st);
  const bool free = !e.runLocked;
  for (int id :
       {IDC_SETUP_DRIVER, IDC_SETUP_PLAY_DEVICE, IDC_SETUP_REC_DEVICE, IDC_SETUP_REC_RATE,
        IDC_SETUP_REC_BITS, IDC_SETUP_REC_CH, IDC_SETUP_TIMER_RESOLUTION, IDC_SETUP_SYNC2ND,
        IDC_SETUP_FFT_POINTS, IDC_SETUP_DISP_PERIOD_TYPE, IDC_SETUP_WAVE_AUTO_SET,
        IDC_SETUP_SPEC_AUTO_SET, IDC_SETUP_EXTENSIBLE, IDC_SETUP_DIRECT, IDC_SETUP_REC_MONITOR}) {
    Enable(id, free);
  }
  Enable(IDC_SETUP_WAVE_VBLANK, e.waveVBlank);
  Enable(IDC_SETUP_SPEC_VBLANK, e.spectrumVBlank);
  Enable(IDC_SETUP_MARGIN_MODE, e.meterMarginMode);
  Enable(IDC_SETUP_WAVE_LISSAJOUS, e.waveLissajous);
  Enable(IDC_SETUP_SYNC_PLAY_POS, e.syncPlayPos);
  Enable(IDC_SETUP_SPEC_3D, e.spectrum3D);
  Enable(IDC_SETUP_SPEC_SPECTROGRAM, e.spectrum3D);
  Enable(IDC_SETUP_ASIO_PLAY_CH, e.asioChannels);
  Enable(IDC_SETUP_ASIO_REC_CH, e.asioChannels);
  Enable(IDC_SETUP_DIRECT_MONITOR, e.asioDirectMonitor);
  for (int id : {IDC_SETUP_PLAY_INFO, IDC_SETUP_REC_INFO}) Enable(id, e.infoButtons);
  for (int id : {IDC_SETUP_PLAY_PANEL, IDC_SETUP_REC_PANEL}) Enable(id, e.panelButtons);
  for (int id : {IDC_SETUP_PLAY_FORMATS, IDC_SETUP_REC_FORMATS}) Enable(id, e.formatListButtons);
  Enable(IDC_SETUP_WAS_EVENT, e.wasapiOptions);
  Enable(IDC_SETUP_WAS_LATENCY, e.wasapiOptions);
  const Language l = host_.UserLanguage();
  SetText(IDC_SETUP_PLAYREC_WARNING, flags_.recording ? setup_text::kUnableWhileRecording.In(l)
                                                      : setup_text::kUnableWhilePlaying.In(l));
  auto showIf = [&](int id, int page, bool on) {
    ShowWindow(Item(id), on && page_ == page ? SW_SHOWNA : SW_HIDE);
  };
  showIf(IDC_SETUP_PLAYREC_WARNING, 3, e.playRecWarning);
  showIf(IDC_SETUP_FFT_WARNING, 2, e.fftWarning);
  showIf(IDC_SETUP_MEASURE_WARNING, 1, e.measureWarning);
  showIf(IDC_SETUP_ASIO_LABEL, 3, st.driverType == 2);
}

// ---------------------------------------------------------------- commands

void TSetupDlg::Command(UINT id, UINT code) {
  switch (id) {
    case IDC_SETUP_APPLY:
      if (code == BN_CLICKED) ApplyButtonClick();
      return;
    case IDC_SETUP_CANCEL:
    case IDCANCEL:
      if (code == BN_CLICKED) CancelButtonClick();
      return;
    case IDC_SETUP_HELP:
      if (code == BN_CLICKED) HelpButtonClick();
      return;
    default:
      break;
  }
  if (filling_) return;
  switch (PageOfControl(static_cast<int>(id))) {
    case 0:
      WaveCommand(id, code);
      break;
    case 1:
      SpectrumCommand(id, code);
      break;
    case 2:
      FftCommand(id, code);
      break;
    case 3:
      PlayRecCommand(id, code);
      break;
    case 4:
      MiscCommand(id, code);
      break;
    default:
      break;  // unknown ids do nothing
  }
}

void TSetupDlg::HelpButtonClick() {
  host_.ShowHelp(setup_text::kHelpTopics[page_]);
}

void TSetupDlg::Warn(const TwoLanguageText& text, const TwoLanguageText& caption,
                     const std::string& argument) {
  const Language l = host_.UserLanguage();
  std::string t = text.In(l);
  if (!argument.empty()) t += "\n\n" + argument;
  MessageBoxW(hwnd(), Wide(t).c_str(), Wide(caption.In(l)).c_str(), MB_OK | MB_ICONWARNING);
}

// ---------------------------------------------------------------- control helpers

void TSetupDlg::SetCheck(int id, bool on) {
  SendMessageW(Item(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TSetupDlg::Checked(int id) const {
  return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TSetupDlg::FillList(int id, const SetupList& list, int32_t value) {
  HWND h = Item(id);
  const Language l = host_.UserLanguage();
  SendMessageW(h, CB_RESETCONTENT, 0, 0);
  for (size_t i = 0; i < list.count; ++i) {
    SendMessageW(h, CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(Wide(list.items[i].text.In(l)).c_str()));
  }
  SelectValue(id, list, value);
}

void TSetupDlg::SelectValue(int id, const SetupList& list, int32_t value) {
  HWND h = Item(id);
  const int i = list.IndexOf(value);
  SendMessageW(h, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
  // A value outside the list is shown as its number (editable lists) and kept.
  if (i < 0 && (GetWindowLongW(h, GWL_STYLE) & 3) == CBS_DROPDOWN) {
    SetWindowTextW(h, std::to_wstring(value).c_str());
  }
}

std::optional<int32_t> TSetupDlg::ListValue(int id, const SetupList& list) const {
  const auto i = static_cast<int>(SendMessageW(Item(id), CB_GETCURSEL, 0, 0));
  return list.ValueAt(i);
}

std::string TSetupDlg::Text(int id) const {
  HWND h = Item(id);
  const int n = GetWindowTextLengthW(h);
  std::wstring w(static_cast<size_t>(n) + 1, L'\0');
  GetWindowTextW(h, w.data(), n + 1);
  w.resize(static_cast<size_t>(n));
  return Narrow(w);
}

void TSetupDlg::SetText(int id, const std::string& utf8) {
  SetWindowTextW(Item(id), Wide(utf8).c_str());
}

void TSetupDlg::Enable(int id, bool on) {
  EnableWindow(Item(id), on);
}

}  // namespace ov
