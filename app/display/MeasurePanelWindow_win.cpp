// The spectrum part of the measure panel.
#include "app/display/MeasurePanelWindow_win.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <utility>

#include "app/resources/ResourceIds.h"

namespace ov {

namespace {

constexpr wchar_t kClassName[] = L"OvMeasurePanel";
constexpr int kRowHeight = 22;
constexpr int kMainX = 0, kPeakX = 40, kButtonWidth = 38;
constexpr int kAverageX = 80, kAverageWidth = 68;
constexpr int kThdX = 152, kRmsX = 194;

// Hints: Japanese, English.
constexpr const wchar_t* kMainHint[2] = {L"Main spectrum On/Off", L"Main spectrum On/Off"};
constexpr const wchar_t* kPeakHint[2] = {L"Peak hold On/Off", L"Peak hold On/Off"};
constexpr const wchar_t* kAverageHint[2] = {L"\u5e73\u5747\u56de\u6570", L"Average times"};
constexpr const wchar_t* kThdHint[2] = {
    L"\u5168\u8abf\u6ce2\u6b6a\u7387(+Noise, S/N)\u8868\u793a On/Off", L"THD(+Noise, S/N) On/Off"};
constexpr const wchar_t* kRmsHint[2] = {L"\u5b9f\u52b9\u5024\u8868\u793a On/Off",
                                        L"RMS value On/Off"};

void SetDown(HWND button, bool down) {
  SendMessageW(button, BM_SETCHECK, down ? BST_CHECKED : BST_UNCHECKED, 0);
}
bool IsDown(HWND button) {
  return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

}  // namespace

MeasurePanelWindow::MeasurePanelWindow(FrameAnalysis& analysis, MeasurePanelHost& host)
    : analysis_(analysis), host_(host), language_(analysis.language) {}

bool MeasurePanelWindow::CreatePanel(HWND parent, int x, int y) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  if (!RegisterWindowClass(kClassName)) return false;
  if (!Create(kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, x, y,
              kWidth, kHeight, parent))
    return false;
  CreateControls();
  SyncButtons();
  return true;
}

void MeasurePanelWindow::CreateControls() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  auto make = [&](const wchar_t* cls, const wchar_t* text, DWORD style, int x, int w, int h,
                  UINT id) {
    HWND c = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, 0, w, h, hwnd(),
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), instance, nullptr);
    SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return c;
  };
  // Speed buttons: they switch on the press and never keep the focus.
  const DWORD toggle = BS_CHECKBOX | BS_PUSHLIKE;
  main_ = make(L"BUTTON", L"Main", toggle, kMainX, kButtonWidth, kRowHeight, IDC_MEASURE_MAIN);
  peak_ = make(L"BUTTON", L"Peak", toggle, kPeakX, kButtonWidth, kRowHeight, IDC_MEASURE_PEAK);
  average_ = make(L"COMBOBOX", L"", CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP, kAverageX,
                  kAverageWidth, 240, IDC_MEASURE_AVERAGE);
  thd_ = make(L"BUTTON", L"THD", toggle, kThdX, kButtonWidth, kRowHeight, IDC_MEASURE_THD);
  rms_ = make(L"BUTTON", L"RMS", toggle, kRmsX, kButtonWidth, kRowHeight, IDC_MEASURE_RMS);
  for (int32_t i = 0; i < kAverageCountItemCount; ++i) {
    wchar_t item[8];
    std::swprintf(item, 8, L"%hs", kAverageCountItems[i]);
    SendMessageW(average_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  }
  SendMessageW(average_, CB_SETCURSEL, 0, 0);
  for (HWND h : {main_, peak_, thd_, rms_})
    SetWindowSubclass(h, EditProc, 1, reinterpret_cast<DWORD_PTR>(this));
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  if (GetComboBoxInfo(average_, &info) && info.hwndItem)
    SetWindowSubclass(info.hwndItem, EditProc, 2, reinterpret_cast<DWORD_PTR>(this));
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(),
                             nullptr, instance, nullptr);
  ApplyHints();
}

void MeasurePanelWindow::ApplyHints() {
  if (!tooltip_) return;
  const int l = language_ == Language::Japanese ? 0 : 1;
  const std::pair<HWND, const wchar_t*> hints[] = {{main_, kMainHint[l]},
                                                   {peak_, kPeakHint[l]},
                                                   {average_, kAverageHint[l]},
                                                   {thd_, kThdHint[l]},
                                                   {rms_, kRmsHint[l]}};
  for (const auto& [control, text] : hints) {
    TTTOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = hwnd();
    ti.uId = reinterpret_cast<UINT_PTR>(control);
    ti.lpszText = const_cast<wchar_t*>(text);
    SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  }
}

void MeasurePanelWindow::SetLanguage(Language language) {
  language_ = language;
  ApplyHints();
}

void MeasurePanelWindow::SyncButtons() {
  if (!main_) return;
  syncing_ = true;
  SetDown(main_, analysis_.mainOn);
  SetDown(peak_, analysis_.peakHold);
  SetDown(thd_, analysis_.thdOn);
  SetDown(rms_, analysis_.rmsOn);
  // The box shows the count: its list item when there is one, else the text.
  char text[16];
  std::snprintf(text, sizeof text, "%d", analysis_.averageCount);
  int32_t item = -1;
  for (int32_t i = 0; i < kAverageCountItemCount; ++i)
    if (std::strcmp(kAverageCountItems[i], text) == 0) item = i;
  if (item >= 0) {
    SendMessageW(average_, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
  } else {
    wchar_t wide[16];
    std::swprintf(wide, 16, L"%d", analysis_.averageCount);
    SetWindowTextW(average_, wide);
  }
  syncing_ = false;
}

void MeasurePanelWindow::ApplyStoredState(bool peakHold, int32_t averageCount, bool thd, bool rms) {
  // "Peak": the opposite first, then the stored state.
  SetDown(peak_, peakHold);
  SpectrumPeakSpeedButtonMouseDown();
  SetDown(peak_, !peakHold);
  SpectrumPeakSpeedButtonMouseDown();
  char text[16];
  std::snprintf(text, sizeof text, "%d", averageCount);
  SetAverageText(text);
  // THD and RMS as stored; the S/N flag opposite, so the first THD readout
  // shows THD+N.
  analysis_.thdOn = thd;
  analysis_.snLine = !thd;
  analysis_.rmsOn = rms;
  SyncButtons();
  host_.MeasureStateChanged(true);
}

// ---- Handlers ------------------------------------------------------------------

void MeasurePanelWindow::SpectrumMainOnOffSpeedButtonMouseDown() {
  host_.FocusFftInfo();
  analysis_.MainButtonDown(!IsDown(main_));
  SyncButtons();
  host_.MeasureStateChanged(false);
}

void MeasurePanelWindow::SpectrumPeakSpeedButtonMouseDown() {
  host_.FocusFftInfo();
  const bool layoutChanged = analysis_.PeakButtonDown(!IsDown(peak_));
  SyncButtons();
  host_.MeasureStateChanged(layoutChanged);
}

void MeasurePanelWindow::SetAverageText(const char* text) {
  bool layoutChanged = false;
  analysis_.AverageCountChanged(text, layoutChanged);
  SyncButtons();
  host_.MeasureStateChanged(layoutChanged);
}

void MeasurePanelWindow::SpectrumAverageNComboBoxChange() {
  if (syncing_) return;
  wchar_t wide[64] = {};
  const LRESULT selected = SendMessageW(average_, CB_GETCURSEL, 0, 0);
  if (selected != CB_ERR && GetFocus() != average_)
    SendMessageW(average_, CB_GETLBTEXT, static_cast<WPARAM>(selected),
                 reinterpret_cast<LPARAM>(wide));
  else
    GetWindowTextW(average_, wide, 63);
  char text[64];
  int n = 0;
  for (; wide[n] && n < 63; ++n) text[n] = wide[n] < 128 ? static_cast<char>(wide[n]) : ' ';
  text[n] = '\0';
  SetAverageText(text);
}

void MeasurePanelWindow::THD_SpeedButtonMouseDown() {
  host_.FocusFftInfo();
  analysis_.ThdButtonDown(!IsDown(thd_));
  SyncButtons();
  host_.MeasureStateChanged(false);
}

void MeasurePanelWindow::RMS_SpeedButtonMouseDown() {
  host_.FocusFftInfo();
  analysis_.rmsOn = !IsDown(rms_);
  SyncButtons();
  host_.MeasureStateChanged(false);
}

void MeasurePanelWindow::ToggleMain() {
  SpectrumMainOnOffSpeedButtonMouseDown();
}
void MeasurePanelWindow::TogglePeak() {
  SpectrumPeakSpeedButtonMouseDown();
}
void MeasurePanelWindow::ToggleThd() {
  THD_SpeedButtonMouseDown();
}
void MeasurePanelWindow::ToggleRms() {
  RMS_SpeedButtonMouseDown();
}
void MeasurePanelWindow::NextAverageCount() {
  char text[16];
  std::snprintf(text, sizeof text, "%d", NextAverageCountItem(analysis_.averageCount));
  SetAverageText(text);
}

bool MeasurePanelWindow::AverageEditHasFocus() const {
  HWND focus = GetFocus();
  return focus && (focus == average_ || IsChild(average_, focus));
}

// ---- Messages ------------------------------------------------------------------

LRESULT CALLBACK MeasurePanelWindow::EditProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam,
                                              UINT_PTR id, DWORD_PTR data) {
  auto* self = reinterpret_cast<MeasurePanelWindow*>(data);
  if (id == 1) {
    // Speed buttons: "Main" and "Peak" answer the left button, THD and RMS any.
    const bool left = msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK;
    const bool other = msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN;
    if (left || other) {
      if (h == self->main_ && left) self->SpectrumMainOnOffSpeedButtonMouseDown();
      if (h == self->peak_ && left) self->SpectrumPeakSpeedButtonMouseDown();
      if (h == self->thd_) self->THD_SpeedButtonMouseDown();
      if (h == self->rms_) self->RMS_SpeedButtonMouseDown();
      return 0;
    }
  } else if (id == 2) {
    // The box's edit: the main window's key preview stays off while typing.
    if (msg == WM_SETFOCUS) self->host_.SetKeyPreview(false);
    if (msg == WM_KILLFOCUS) self->host_.SetKeyPreview(true);
    if (msg == WM_KEYDOWN && wParam == VK_RETURN) {
      self->host_.FocusFftInfo();
      return 0;
    }
  }
  return DefSubclassProc(h, msg, wParam, lParam);
}

void MeasurePanelWindow::Command(UINT id, UINT code) {
  if (id == IDC_MEASURE_AVERAGE && (code == CBN_SELCHANGE || code == CBN_EDITCHANGE))
    SpectrumAverageNComboBoxChange();
  if (id == IDC_MEASURE_AVERAGE && code == CBN_SELENDOK) host_.FocusFftInfo();
}

LRESULT MeasurePanelWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_COMMAND) {
    Command(LOWORD(wParam), HIWORD(wParam));
    return 0;
  }
  return Window::HandleMessage(msg, wParam, lParam);
}

}  // namespace ov
