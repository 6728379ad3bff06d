// TMainForm: the top panel's channel, measure-mode, setup and positioning
// controls with every control's hint, the measure panel (Panel2) under the
// spectrum area with its measure buttons and overlay tools, the measure-mode
// keys, and the spectrum comment editor.
#include "app/shell/MainForm_win.h"

#include <commctrl.h>

#include <cstdio>
#include <string>

#include "app/analysis/CommentForm_win.h"
#include "app/analysis/FrameAnalysis.h"
#include "app/analysis/OverlayPanelWindow_win.h"
#include "app/common/AppMessages.h"
#include "app/display/Display_win.h"
#include "app/display/MeasurePanelWindow_win.h"
#include "app/resources/ResourceIds.h"
#include "app/shell/InstanceNames.h"
#include "app/shell/SettingsFile.h"
#include "app/shell/TransportKeys.h"

namespace ov {

namespace {

constexpr wchar_t kPanelClass[] = L"TPanel";
// The two tool windows inside Panel2.
constexpr int kMeasureButtonsX = 4, kMeasureButtonsY = 13;
constexpr int kOverlayToolsX = 248, kOverlayToolsY = 1;

bool IsDown(HWND button) {
  return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetDown(HWND button, bool down) {
  SendMessageW(button, BM_SETCHECK, down ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Place(HWND control, const LayoutRect& r) {
  if (control != nullptr) MoveWindow(control, r.left, r.top, r.width, r.height, TRUE);
}

// Hints of the main window's own controls: Japanese, English.
struct HintText {
  const wchar_t* text[2];
};
constexpr HintText kOpenHint = {{L"Waveファイルを開く (Shiftキー併用でプレイリストを開く)",
                                 L"Open Wave file (w/shift key, Open PlayList)"}};
constexpr HintText kPlayHint = {{L"再生", L"Play"}};
constexpr HintText kStopHint = {{L"停止", L"Stop"}};
constexpr HintText kPauseHint = {{L"一時停止", L"Pause"}};
constexpr HintText kRecHint = {{L"サウンドデバイスから入力 (Shiftキー併用でファイルに録音)",
                                L"Input from sound device (w/shift key, Recording to file)"}};
constexpr HintText kPositioningHint = {{L"精密位置決め", L"Precise positioning"}};
constexpr HintText kTrackBarHint = {{L"早送り/巻き戻し", L"Forward/Rewind"}};
constexpr HintText kChannelButtonHint = {{L"Lch/Rch", L"Lch/Rch"}};
constexpr HintText kChannelBoxHint = {{L"表示するCh (マルチCh)", L"Ch to display (Multi Ch)"}};
constexpr HintText kMeasureHint = {{L"測定モード", L"Measure mode"}};
constexpr HintText kSetupHint = {{L"設定", L"Setup"}};

}  // namespace

// The measure panel's two tool windows, their host calls and the
// measure-mode keys; attached to the main window's overlay tools line.
class MainMeasureTools final : public OverlayToolsLine,
                               public MeasurePanelHost,
                               public OverlayPanelHost {
 public:
  explicit MainMeasureTools(TMainForm& form)
      : form_(form),
        measure_(*form.analysis_, *this),
        overlay_(*form.analysis_, *this, form.notifier_) {}

  bool Create(HWND panel) {
    if (!measure_.CreatePanel(panel, kMeasureButtonsX, kMeasureButtonsY) ||
        !overlay_.CreatePanel(panel, kOverlayToolsX, kOverlayToolsY))
      return false;
    measure_.SetLanguage(form_.language_);
    overlay_.SetLanguage(form_.language_);
    return true;
  }
  void ApplyStoredState() {
    const auto& m = form_.settings_->values().MeasureMode;
    measure_.ApplyStoredState(m.SpectrumPeakHold, m.SpectrumAverageN, m.THD, m.RMS);
  }
  OverlayPanelWindow& Overlay() { return overlay_; }
  CommentForm& Comments() { return comments_; }

  // ---- OverlayToolsLine
  bool CommentHasFocus() const override {
    return !keyPreview_ || overlay_.CommentHasFocus() || measure_.AverageEditHasFocus();
  }
  void KeyCommand(int command) override {
    switch (static_cast<ov::KeyCommand>(command)) {
      case ov::KeyCommand::ToggleChannel:
        if (IsWindowVisible(form_.lrButton_) && IsWindowEnabled(form_.lrButton_)) {
          SetDown(form_.lrButton_, !IsDown(form_.lrButton_));
          form_.L_R_ButtonClick();
        }
        break;
      case ov::KeyCommand::Overlay1:
        overlay_.ToggleShow(1);
        break;
      case ov::KeyCommand::Overlay2:
        overlay_.ToggleShow(2);
        break;
      case ov::KeyCommand::NextAverage:
        measure_.NextAverageCount();
        break;
      case ov::KeyCommand::CaptureOverlay1:
        overlay_.Capture(1);
        break;
      case ov::KeyCommand::LoadOverlay1:
        overlay_.Load(1);
        break;
      case ov::KeyCommand::MainSpectrum:
        measure_.ToggleMain();
        break;
      case ov::KeyCommand::PeakHold:
        measure_.TogglePeak();
        break;
      case ov::KeyCommand::Rms:
        measure_.ToggleRms();
        break;
      case ov::KeyCommand::SaveOverlay1:
        overlay_.Save(1);
        break;
      case ov::KeyCommand::Thd:
        measure_.ToggleThd();
        break;
      default:
        break;
    }
  }
  void Refresh() override {
    measure_.SyncButtons();
    overlay_.SyncButtons();
  }

  // ---- MeasurePanelHost and OverlayPanelHost
  void FocusFftInfo() override { form_.MoveFocusFromEdits(); }
  void SetKeyPreview(bool on) override { keyPreview_ = on; }
  void MeasureStateChanged(bool layoutChanged) override { Changed(layoutChanged); }
  void OverlaysChanged(bool layoutChanged) override { Changed(layoutChanged); }
  std::string LastDirectory() override { return form_.settings_->values().File.Dir; }
  void SetLastDirectory(const std::string& folder) override {
    if (!folder.empty()) form_.settings_->values().File.Dir = folder;
  }

 private:
  void Changed(bool layoutChanged) {
    // Stale overlay points: the spectrum's geometry is computed again (once
    // the window has been laid out), which converts them anew at the next
    // drawing.
    if (layoutChanged && form_.display_ && form_.layout_.spectrumPlot.width > 0)
      form_.display_->Spectrum().ComputeSpectrumAxis();
    Refresh();
    form_.StoreMeasureState();
    if (form_.spectrumArea_ != nullptr) InvalidateRect(form_.spectrumArea_, nullptr, FALSE);
  }

  TMainForm& form_;
  MeasurePanelWindow measure_;
  OverlayPanelWindow overlay_;
  CommentForm comments_;
  bool keyPreview_ = true;
};

void TMainForm::MeasureToolsDeleter::operator()(MainMeasureTools* tools) const {
  delete tools;
}

// ---- Top panel

void TMainForm::CreateTopPanelControls() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  const bool english = language_ == Language::English;
  auto make = [&](const wchar_t* cls, const wchar_t* text, DWORD style, int id) {
    return CreateWindowExW(0, cls, text, WS_CHILD | style, 0, 0, 10, 10, hwnd(),
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  };
  const DWORD toggle = BS_AUTOCHECKBOX | BS_PUSHLIKE;
  // ShowPositioningFormSpeedButton: shown while play is paused.
  positioningButton_ =
      make(L"BUTTON", english ? L"Pos" : L"位置", toggle, IDC_MAIN_POSITIONING_BUTTON);
  lrButton_ = make(L"BUTTON", L"Lch", toggle | WS_VISIBLE | WS_DISABLED, IDC_MAIN_CHANNEL_BUTTON);
  chLabel_ = make(L"STATIC", L"Ch", SS_RIGHT, IDC_MAIN_CHANNEL_LABEL);
  chComboBox_ = make(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL, IDC_MAIN_CHANNEL_BOX);
  measureModeButton_ =
      make(L"BUTTON", english ? L"Meas." : L"測定", toggle | WS_VISIBLE, IDC_MAIN_MEASURE_BUTTON);
  setupButton_ = make(L"BUTTON", english ? L"Setup" : L"設定", BS_PUSHBUTTON | WS_VISIBLE,
                      IDC_MAIN_SETUP_BUTTON);
  if (settings_) {
    const SettingsValues& v = settings_->values();
    SetDown(positioningButton_, v.PositioningWindow.Visible);
    SetDown(measureModeButton_, v.MeasureMode.MeasureMode);
  }
  positioningWindow_.AttachButton(positioningButton_);
  hints_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(),
                           nullptr, instance, nullptr);
  ApplyHints();
}

void TMainForm::ApplyHints() {
  if (hints_ == nullptr) return;
  const int l = language_ == Language::Japanese ? 0 : 1;
  const std::pair<HWND, const HintText*> hints[] = {{openButton_, &kOpenHint},
                                                    {playButton_, &kPlayHint},
                                                    {stopButton_, &kStopHint},
                                                    {pauseButton_, &kPauseHint},
                                                    {recButton_, &kRecHint},
                                                    {positioningButton_, &kPositioningHint},
                                                    {trackBar_, &kTrackBarHint},
                                                    {lrButton_, &kChannelButtonHint},
                                                    {chComboBox_, &kChannelBoxHint},
                                                    {chLabel_, &kChannelBoxHint},
                                                    {measureModeButton_, &kMeasureHint},
                                                    {setupButton_, &kSetupHint}};
  for (const auto& [control, hint] : hints) {
    if (control == nullptr) continue;
    TTTOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = hwnd();
    ti.uId = reinterpret_cast<UINT_PTR>(control);
    ti.lpszText = const_cast<wchar_t*>(hint->text[l]);
    SendMessageW(hints_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    SendMessageW(hints_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  }
}

void TMainForm::PlaceTopPanel(const TopPanelLayout& t) {
  Place(openButton_, t.open);
  Place(playButton_, t.play);
  Place(stopButton_, t.stop);
  Place(pauseButton_, t.pause);
  Place(recButton_, t.rec);
  Place(positioningButton_, t.positioning);
  Place(trackBar_, t.trackBar);
  Place(label1_, t.label1);
  Place(label2_, t.label2);
  Place(chLabel_, t.channelLabel);
  Place(chComboBox_, t.channelBox);
  Place(lrButton_, t.channelButton);
  Place(measureModeButton_, t.measureButton);
  Place(setupButton_, t.setupButton);
  Place(waveInfoText_, t.waveInfo);
  Place(fftInfoText_, t.fftInfo);
  Place(frameRateText_, t.frameRate);
}

bool TMainForm::MeasureCommand(UINT id, UINT code) {
  if (code == BN_CLICKED) {
    switch (id) {
      case IDC_MAIN_POSITIONING_BUTTON:
        PositioningButtonClick();
        return true;
      case IDC_MAIN_CHANNEL_BUTTON:
        L_R_ButtonClick();
        return true;
      case IDC_MAIN_MEASURE_BUTTON:
        MeasureModeButtonClick();
        return true;
      case IDC_MAIN_SETUP_BUTTON:
        SetupButtonClick();
        return true;
      default:
        return false;
    }
  }
  if (id == IDC_MAIN_CHANNEL_BOX && code == CBN_SELCHANGE) {
    ChComboBoxChange();
    return true;
  }
  if (id == IDC_MAIN_CHANNEL_BOX && code == CBN_CLOSEUP) MoveFocusFromEdits();
  return false;
}

void TMainForm::PositioningButtonClick() {
  MoveFocusFromEdits();
  const bool down = IsDown(positioningButton_);
  if (settings_) settings_->values().PositioningWindow.Visible = down;
  positioningWindow_.ButtonClick(down);
}

void TMainForm::SetupButtonClick() {
  MoveFocusFromEdits();
  ShowSetupDialog();
}

// ---- Channel selectors

void TMainForm::UpdateChannelSelectors() {
  if (!analysis_) return;
  const int channels = analysis_->Format.channels;
  const bool many = channels > 2;
  ShowWindow(lrButton_, many ? SW_HIDE : SW_SHOW);
  EnableWindow(lrButton_, channels == 2);
  ShowWindow(chLabel_, many ? SW_SHOW : SW_HIDE);
  ShowWindow(chComboBox_, many ? SW_SHOW : SW_HIDE);
  if (many) {
    SendMessageW(chComboBox_, CB_RESETCONTENT, 0, 0);
    for (int i = 1; i <= channels && i <= kMaxAnalysisChannels; ++i) {
      wchar_t item[4];
      std::swprintf(item, 4, L"%d", i);
      SendMessageW(chComboBox_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
    SendMessageW(chComboBox_, CB_SETCURSEL, 0, 0);
    analysis_->lrToggleDown = false;
  } else {
    analysis_->lrToggleDown = IsDown(lrButton_);
  }
  analysis_->displayChannel = 0;
}

void TMainForm::L_R_ButtonClick() {
  MoveFocusFromEdits();
  const bool right = IsDown(lrButton_);
  SetWindowTextW(lrButton_, right ? L"Rch" : L"Lch");
  if (!analysis_) return;
  analysis_->lrToggleDown = right;
  RedrawHeldFrame();
}

void TMainForm::ChComboBoxChange() {
  if (!analysis_) return;
  const LRESULT selected = SendMessageW(chComboBox_, CB_GETCURSEL, 0, 0);
  analysis_->displayChannel = selected == CB_ERR ? 0 : static_cast<int32_t>(selected);
  RedrawHeldFrame();
}

void TMainForm::RedrawHeldFrame() {
  // A held frame (paused or stopped) is converted again from the block it
  // came from and drawn with the new channel.
  if (!analysis_ || !display_ || !analysis_->frameValid) return;
  if (analysis_->AcquireFrame(false) == 0) display_->DrawViews();
}

// ---- Measure mode and Panel2

void TMainForm::MeasureModeButtonClick() {
  MoveFocusFromEdits();
  if (!settings_) return;
  const bool on = IsDown(measureModeButton_);
  settings_->values().MeasureMode.MeasureMode = on;
  if (analysis_) analysis_->measureMode = on;
  setupWindow_.Post(WM_MEASURE_MODE, on ? 1 : 0);
  LayOut();
  overlayTools_.Refresh();
  if (spectrumArea_ != nullptr) InvalidateRect(spectrumArea_, nullptr, FALSE);
}

void TMainForm::CreateMeasurePanel() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kPanelClass;
  RegisterClassW(&wc);  // fails harmlessly when already registered
  panel2_ = CreateWindowExW(WS_EX_CONTROLPARENT, kPanelClass, L"",
                            WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, 10, 10, hwnd(),
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_MAIN_SPECTRUM_PANEL)),
                            instance, nullptr);
  SyncAnalysisSettings();
  if (panel2_ == nullptr || !analysis_) return;
  measureTools_.reset(new MainMeasureTools(*this));
  if (!measureTools_->Create(panel2_)) {
    measureTools_.reset();
    return;
  }
  measureTools_->Overlay().SetShowButtonColours(overlayColours_[0], overlayColours_[1]);
  overlayTools_.Attach(measureTools_.get());
  measureTools_->ApplyStoredState();
}

void TMainForm::PlaceMeasurePanel() {
  if (panel2_ == nullptr) return;
  const LayoutRect& r = layout_.bottomPanel;
  MoveWindow(panel2_, r.left, r.top, r.width, r.height, TRUE);
  ShowWindow(panel2_, r.height > 0 ? SW_SHOW : SW_HIDE);
}

void TMainForm::SyncAnalysisSettings() {
  if (!analysis_ || !settings_) return;
  const SettingsValues& v = settings_->values();
  analysis_->measureMode = v.MeasureMode.MeasureMode;
  analysis_->SpectrumInterpolate = v.Conditions.SpectrumInterpolate;
  analysis_->WaveRMS0dBsin = v.Conditions.WaveRMS0dBsin;
  analysis_->WindowFunction = v.Conditions.WindowFunction;
  ShowFftInfo();
  SpectrumCommentOptions& o = analysis_->spectrumComment;
  o.comments[0] = v.Conditions.SpectrumComment1;
  o.comments[1] = v.Conditions.SpectrumComment2;
  o.comments[2] = v.Conditions.SpectrumComment3;
  o.selected = v.Conditions.SpectrumCommentNum;
  o.sampleRate = v.Conditions.SpectrumCommentFs;
  o.fftSize = v.Conditions.SpectrumCommentFftN;
  o.resolution = v.Conditions.SpectrumCommentFres;
  analysis_->RecomposeSpectrumComment();
}

void TMainForm::ShowFftInfo() {
  // FftInfoStaticText: the analysis size and the window's short name.
  if (!analysis_ || fftInfoText_ == nullptr) return;
  analysis_->UpdateFftInfoText();
  wchar_t wide[32] = {};
  for (int i = 0; i < 31 && analysis_->FftInfoText[i] != '\0'; ++i)
    wide[i] = static_cast<unsigned char>(analysis_->FftInfoText[i]);
  SetWindowTextW(fftInfoText_, wide);
}

void TMainForm::StoreMeasureState() {
  if (!analysis_ || !settings_) return;
  auto& m = settings_->values().MeasureMode;
  m.SpectrumPeakHold = analysis_->peakHold;
  m.SpectrumAverageN = analysis_->averageCount;
  m.THD = analysis_->thdOn;
  m.RMS = analysis_->rmsOn;
}

void TMainForm::SetOverlayCaptionColours(COLORREF overlay1, COLORREF overlay2) {
  // The view hands them over at every paint; the buttons repaint on a change.
  if (overlay1 == overlayColours_[0] && overlay2 == overlayColours_[1]) return;
  overlayColours_[0] = overlay1;
  overlayColours_[1] = overlay2;
  if (measureTools_) measureTools_->Overlay().SetShowButtonColours(overlay1, overlay2);
}

// ---- Spectrum comment

void TMainForm::OpenSpectrumCommentEditor(POINT screen) {
  if (!settings_ || !analysis_ || !measureTools_) return;
  SettingsValues& v = settings_->values();
  if (!v.Conditions.DispSpectrumComment) return;
  SyncAnalysisSettings();
  SpectrumCommentOptions options = analysis_->spectrumComment;
  CommentForm::Appearance appearance;
  appearance.language = language_;
  appearance.appTitle = Title();
  appearance.englishFont = language_ == Language::English ? guiFont_ : nullptr;
  if (measureTools_->Comments().Edit(hwnd(), screen, options, appearance)) {
    v.Conditions.SpectrumComment1 = options.comments[0];
    v.Conditions.SpectrumComment2 = options.comments[1];
    v.Conditions.SpectrumComment3 = options.comments[2];
    v.Conditions.SpectrumCommentNum = options.selected;
    v.Conditions.SpectrumCommentFs = options.sampleRate;
    v.Conditions.SpectrumCommentFftN = options.fftSize;
    v.Conditions.SpectrumCommentFres = options.resolution;
    SyncAnalysisSettings();
  }
  if (spectrumArea_ != nullptr) InvalidateRect(spectrumArea_, nullptr, FALSE);
}

void TMainForm::EditSpectrumComment() {
  // From the setup dialog: at the spectrum plot's corner + (10, 10).
  if (spectrumArea_ == nullptr) return;
  POINT at{layout_.spectrumPlot.left + 10, layout_.spectrumPlot.top + 10};
  ClientToScreen(spectrumArea_, &at);
  OpenSpectrumCommentEditor(at);
}

}  // namespace ov
