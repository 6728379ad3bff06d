// The overlay part of the measure panel.
#include "app/analysis/OverlayPanelWindow_win.h"

#include <commctrl.h>

#include <string>
#include <utility>

#include "app/analysis/OverlayPanelTexts.h"
#include "app/common/Utf8.h"
#include "app/resources/ResourceIds.h"

namespace ov {

namespace {

constexpr wchar_t kClassName[] = L"OvOverlayPanel";

// Control ids by overlay (index 0 and 1).
constexpr UINT kShowId[2] = {IDC_OVERLAY1_SHOW, IDC_OVERLAY2_SHOW};
constexpr UINT kCaptureId[2] = {IDC_OVERLAY1_CAPTURE, IDC_OVERLAY2_CAPTURE};
constexpr UINT kEditId[2] = {IDC_OVERLAY1_EDIT, IDC_OVERLAY2_EDIT};
constexpr UINT kLoadId[2] = {IDC_OVERLAY1_LOAD, IDC_OVERLAY2_LOAD};
constexpr UINT kSaveId[2] = {IDC_OVERLAY1_SAVE, IDC_OVERLAY2_SAVE};

// One row per overlay: show, capture, comment edit, L, S.
constexpr int kRowHeight = 21;
constexpr int kRowStep = 24;
constexpr int kShowX = 0, kShowWidth = 40;
constexpr int kCaptureX = 42, kCaptureWidth = 22;
constexpr int kEditX = 66, kEditWidth = 150;
constexpr int kLoadX = 218, kSaveX = 244, kFileButtonWidth = 24;

std::wstring Wide(const std::string& utf8) {
  const std::u16string w = Utf8ToUtf16(utf8);
  return std::wstring(w.begin(), w.end());
}

std::wstring Wide(const char* utf8) {
  return Wide(std::string(utf8));
}

std::string WindowTextUtf8(HWND h) {
  const int n = GetWindowTextLengthW(h);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  const int got = GetWindowTextW(h, text.data(), n + 1);
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return Utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

// The folder part of a path, its last separator included.
std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void SetEnabled(HWND h, bool on) {
  if ((IsWindowEnabled(h) != 0) != on) EnableWindow(h, on ? TRUE : FALSE);
}

}  // namespace

OverlayPanelWindow::OverlayPanelWindow(FrameAnalysis& analysis, OverlayPanelHost& host,
                                       UserNotifier& notifier, TextFiles& files,
                                       OverlayFileChooser& chooser)
    : analysis_(analysis),
      host_(host),
      notifier_(notifier),
      files_(files),
      chooser_(chooser),
      panel_(analysis),
      language_(analysis.language) {}

bool OverlayPanelWindow::CreatePanel(HWND parent, int x, int y) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  if (!RegisterWindowClass(kClassName)) return false;
  if (!Create(kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, x, y,
              kWidth, kHeight, parent)) {
    return false;
  }
  CreateControls();
  SyncButtons();
  return true;
}

void OverlayPanelWindow::CreateControls() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  auto make = [&](const wchar_t* cls, const wchar_t* text, DWORD style, DWORD ex, int x, int y,
                  int w, int h, UINT id) {
    HWND c = CreateWindowExW(ex, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, hwnd(),
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), instance, nullptr);
    SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    return c;
  };
  for (int i = 0; i < 2; ++i) {
    const int y = i * kRowStep;
    Controls& c = controls_[i];
    c.show = make(L"BUTTON", overlay_panel_text::kShowCaption[i], BS_OWNERDRAW, 0, kShowX, y,
                  kShowWidth, kRowHeight, kShowId[i]);
    c.capture = make(L"BUTTON", L"", BS_OWNERDRAW, 0, kCaptureX, y, kCaptureWidth, kRowHeight,
                     kCaptureId[i]);
    c.edit = make(L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, kEditX, y,
                  kEditWidth, kRowHeight, kEditId[i]);
    c.load = make(L"BUTTON", overlay_panel_text::kLoadCaption, BS_PUSHBUTTON, 0, kLoadX, y,
                  kFileButtonWidth, kRowHeight, kLoadId[i]);
    c.save = make(L"BUTTON", overlay_panel_text::kSaveCaption, BS_PUSHBUTTON, 0, kSaveX, y,
                  kFileButtonWidth, kRowHeight, kSaveId[i]);
    // Speed buttons act on the press and never keep the focus; the edit
    // hands Esc back to the main window.
    for (HWND h : {c.show, c.capture, c.load, c.save, c.edit}) {
      SetWindowSubclass(h, ControlProc, 1, reinterpret_cast<DWORD_PTR>(this));
    }
  }
  progress_ = CreateWindowExW(
      0, PROGRESS_CLASSW, L"", WS_CHILD | PBS_SMOOTH, kEditX, 2, kEditWidth, kRowHeight - 4, hwnd(),
      reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDC_OVERLAY_PROGRESS)), instance, nullptr);
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(),
                             nullptr, instance, nullptr);
  ApplyHints();
}

void OverlayPanelWindow::ApplyHints() {
  if (tooltip_ == nullptr) return;
  namespace t = overlay_panel_text;
  for (int i = 0; i < 2; ++i) {
    const Controls& c = controls_[i];
    const std::pair<HWND, const TwoLanguageText*> hints[] = {{c.show, &t::kShowHint[i]},
                                                             {c.capture, &t::kCaptureHint[i]},
                                                             {c.edit, &t::kCommentHint[i]},
                                                             {c.load, &t::kLoadHint[i]},
                                                             {c.save, &t::kSaveHint[i]}};
    for (const auto& [control, hint] : hints) {
      std::wstring text = Wide(hint->In(language_));
      TTTOOLINFOW ti{};
      ti.cbSize = TTTOOLINFOW_V2_SIZE;
      ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
      ti.hwnd = hwnd();
      ti.uId = reinterpret_cast<UINT_PTR>(control);
      ti.lpszText = text.data();
      SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
      SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
  }
}

void OverlayPanelWindow::SetLanguage(Language language) {
  language_ = language;
  ApplyHints();
}

void OverlayPanelWindow::SetShowButtonColours(COLORREF overlay1, COLORREF overlay2) {
  showColour_[0] = overlay1;
  showColour_[1] = overlay2;
  for (const Controls& c : controls_) {
    if (c.show != nullptr) InvalidateRect(c.show, nullptr, FALSE);
  }
}

void OverlayPanelWindow::SyncButtons() {
  for (int which = 1; which <= 2; ++which) {
    const Controls& c = controls_[which - 1];
    if (c.show == nullptr) continue;
    const OverlayButtons b = panel_.Buttons(which);
    SetEnabled(c.show, b.showEnabled);
    SetEnabled(c.load, b.loadEnabled);
    SetEnabled(c.save, b.saveEnabled);
    // The pressed look follows the flag; the button draws it.
    SetWindowLongPtrW(c.show, GWLP_USERDATA, b.showDown ? 1 : 0);
    InvalidateRect(c.show, nullptr, FALSE);
  }
}

bool OverlayPanelWindow::CommentHasFocus() const {
  const HWND focus = GetFocus();
  return focus != nullptr && (focus == controls_[0].edit || focus == controls_[1].edit);
}

std::string OverlayPanelWindow::Comment(int which) const {
  return WindowTextUtf8(controls_[which - 1].edit);
}

void OverlayPanelWindow::SetComment(int which, const std::string& utf8) {
  OverlayPanel::CommentRefill guard(panel_);
  SetWindowTextW(controls_[which - 1].edit, Wide(utf8).c_str());
}

void OverlayPanelWindow::Notify(const std::string& message) {
  notifier_.Notify(message, NoticeIcon::Warning);
}

// ---- Handlers

void OverlayPanelWindow::ToggleShow(int which) {
  if (IsWindowEnabled(controls_[which - 1].show)) SpectrumOVLonSpeedButtonMouseDown(which);
}

void OverlayPanelWindow::Capture(int which) {
  SpectrumOVLCaptureSpeedButtonMouseDown(which);
}

void OverlayPanelWindow::Load(int which) {
  if (IsWindowEnabled(controls_[which - 1].load)) SpectrumOVLLoadSpeedButtonClick(which);
}

void OverlayPanelWindow::Save(int which) {
  if (IsWindowEnabled(controls_[which - 1].save)) SpectrumOVLSaveSpeedButtonClick(which);
}

void OverlayPanelWindow::SpectrumOVLonSpeedButtonMouseDown(int which) {
  host_.FocusFftInfo();
  panel_.ShowButtonDown(which, !panel_.Flags(which).shown);
  SyncButtons();
  host_.OverlaysChanged(false);
}

void OverlayPanelWindow::SpectrumOVLCaptureSpeedButtonMouseDown(int which) {
  host_.FocusFftInfo();
  panel_.CaptureButtonDown(which);
  SyncButtons();
  host_.OverlaysChanged(false);
}

void OverlayPanelWindow::SpectrumOVLEditChange(int which) {
  panel_.CommentChanged(which);
  SyncButtons();
}

void OverlayPanelWindow::SpectrumOVLLoadSpeedButtonClick(int which) {
  host_.FocusFftInfo();
  const bool loaded = LoadOverlay(which);
  ShowProgress(which, false);
  SyncButtons();
  host_.OverlaysChanged(loaded);
}

void OverlayPanelWindow::SpectrumOVLSaveSpeedButtonClick(int which) {
  host_.FocusFftInfo();
  SaveOverlay(which);
  ShowProgress(which, false);
  SyncButtons();
}

bool OverlayPanelWindow::LoadOverlay(int which) {
  OverlayDialogRequest request;
  request.save = false;
  request.which = which;
  request.language = language_;
  request.initialDir = host_.LastDirectory();
  std::string path;
  if (!chooser_.Choose(GetAncestor(hwnd(), GA_ROOT), request, path)) return false;
  host_.SetLastDirectory(FolderOf(path));
  ShowProgress(which, true);
  std::string comment;
  const std::string message = panel_.Load(which, files_, path.c_str(), comment);
  if (!message.empty()) {
    Notify(message);
    return false;
  }
  SendMessageW(progress_, PBM_SETPOS, static_cast<WPARAM>(analysis_.B), 0);
  SetComment(which, comment);
  return true;
}

bool OverlayPanelWindow::SaveOverlay(int which) {
  OverlayDialogRequest request;
  request.save = true;
  request.which = which;
  request.language = language_;
  request.initialDir = host_.LastDirectory();
  request.fileName = panel_.fileName[which - 1];
  std::string path;
  if (!chooser_.Choose(GetAncestor(hwnd(), GA_ROOT), request, path)) return false;
  host_.SetLastDirectory(FolderOf(path));
  ShowProgress(which, true);
  const std::string message = panel_.Save(which, files_, path.c_str(), Comment(which));
  if (!message.empty()) {
    Notify(message);
    return false;
  }
  SendMessageW(progress_, PBM_SETPOS, static_cast<WPARAM>(analysis_.B), 0);
  return true;
}

void OverlayPanelWindow::ShowProgress(int which, bool on) {
  HWND edit = controls_[which - 1].edit;
  if (on) {
    RECT r{};
    GetWindowRect(edit, &r);
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&r), 2);
    SetWindowPos(progress_, HWND_TOP, r.left, r.top + 2, r.right - r.left, r.bottom - r.top - 4,
                 SWP_NOACTIVATE);
    SendMessageW(progress_, PBM_SETRANGE32, 0, static_cast<LPARAM>(analysis_.B));
    SendMessageW(progress_, PBM_SETPOS, 0, 0);
    ShowWindow(edit, SW_HIDE);
    ShowWindow(progress_, SW_SHOW);
    UpdateWindow(hwnd());
  } else {
    ShowWindow(progress_, SW_HIDE);
    ShowWindow(edit, SW_SHOW);
    InvalidateRect(hwnd(), nullptr, TRUE);
  }
}

// ---- Messages

LRESULT CALLBACK OverlayPanelWindow::ControlProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam,
                                                 UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<OverlayPanelWindow*>(data);
  const UINT id = static_cast<UINT>(GetDlgCtrlID(h));
  const int which = (id >= IDC_OVERLAY2_SHOW) ? 2 : 1;
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (!IsWindowEnabled(h)) return 0;
      // Show and capture act on the press; Load and Save on the click, but
      // none of them takes the focus.
      if (id == kShowId[which - 1]) {
        self->SpectrumOVLonSpeedButtonMouseDown(which);
        return 0;
      }
      if (id == kCaptureId[which - 1]) {
        self->SpectrumOVLCaptureSpeedButtonMouseDown(which);
        return 0;
      }
      break;
    case WM_SETFOCUS:
      if (id == kEditId[which - 1]) {
        self->host_.SetKeyPreview(false);
      }
      break;
    case WM_KILLFOCUS:
      if (id == kEditId[which - 1]) self->host_.SetKeyPreview(true);
      break;
    case WM_KEYDOWN:
      if (id == kEditId[which - 1] && wParam == VK_ESCAPE) {
        self->host_.FocusFftInfo();
        return 0;
      }
      break;
    case WM_CHAR:
      // Esc and Enter would only beep in a single-line edit.
      if (id == kEditId[which - 1] && (wParam == 27 || wParam == L'\r')) return 0;
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(h, ControlProc, 1);
      break;
    default:
      break;
  }
  return DefSubclassProc(h, msg, wParam, lParam);
}

void OverlayPanelWindow::Command(UINT id, UINT code, HWND) {
  for (int which = 1; which <= 2; ++which) {
    if (id == kEditId[which - 1] && code == EN_CHANGE) SpectrumOVLEditChange(which);
    if (code != BN_CLICKED) continue;
    if (id == kLoadId[which - 1]) SpectrumOVLLoadSpeedButtonClick(which);
    if (id == kSaveId[which - 1]) SpectrumOVLSaveSpeedButtonClick(which);
  }
}

LRESULT OverlayPanelWindow::DrawButton(const DRAWITEMSTRUCT& item) {
  const UINT id = item.CtlID;
  const int i = (id >= IDC_OVERLAY2_SHOW) ? 1 : 0;
  const bool enabled = (item.itemState & ODS_DISABLED) == 0;
  RECT r = item.rcItem;
  HDC dc = item.hDC;
  const bool down = id == kShowId[i] ? GetWindowLongPtrW(item.hwndItem, GWLP_USERDATA) != 0
                                     : (item.itemState & ODS_SELECTED) != 0;
  DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0));
  if (id == kShowId[i]) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, enabled ? showColour_[i] : GetSysColor(COLOR_GRAYTEXT));
    HGDIOBJ old = SelectObject(dc, font_);
    if (down) OffsetRect(&r, 1, 1);
    DrawTextW(dc, overlay_panel_text::kShowCaption[i], -1, &r,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, old);
  } else {
    // The capture glyph: a dot in a frame, as a camera's shutter.
    const int cx = (r.left + r.right) / 2 + (down ? 1 : 0);
    const int cy = (r.top + r.bottom) / 2 + (down ? 1 : 0);
    HBRUSH brush = CreateSolidBrush(GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    Ellipse(dc, cx - 4, cy - 4, cx + 5, cy + 5);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(brush);
  }
  return TRUE;
}

LRESULT OverlayPanelWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
      Command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_DRAWITEM:
      return DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    default:
      return Default(msg, wParam, lParam);
  }
}

}  // namespace ov
