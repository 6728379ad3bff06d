#include "app/display/DrawTypeAutoSetForm_win.h"

#include <commctrl.h>

#include "app/common/Utf8.h"
#include "app/resources/ResourceIds.h"

namespace ov {

namespace {

constexpr wchar_t kClassName[] = L"OvDrawTypeAutoSetForm";
constexpr int kClientWidth = 330;
constexpr int kClientHeight = 371;
// The worker has ended (posted by CheckSubThread as its last act).
constexpr UINT kWorkerEndedMessage = WM_APP + 0x370;

constexpr TwoLanguageText kCaption{"描画方法自動設定", "Drawing type auto set"};
constexpr TwoLanguageText kLabel1{"描画方法の設定を自動的に行います。",
                                  "The setting of the drawing method will be done automatically"};
constexpr TwoLanguageText kLabel2{
    "できるだけ速く描画して CPU 負荷を減らします。(Wv/Sp 両方)",
    "to reduce CPU load with drawing as fast as possible.(both Wv/Sp)"};
constexpr TwoLanguageText kLabel3{
    "結果は変動するため、必要ならウィンドウサイズを変更してください。",
    "Because the result is varied, change the window size if necessary."};
constexpr TwoLanguageText kLabel4{"下の条件を設定してからスタートボタンを押してください。",
                                  "And push the start button after setting the conditions below."};
constexpr TwoLanguageText kConditions{"条件  （チェック無しが最高速です）",
                                      "Conditions  (fastest with no check)"};
constexpr TwoLanguageText kWaveNoFlicker{"ちらつかないようにする （Wave）", "flicker less (Wave)"};
constexpr TwoLanguageText kSpectrumNoFlicker{"ちらつかないようにする （Spectrum）",
                                             "flicker less (Spectrum)"};
constexpr TwoLanguageText kWaveVBlank{"V.Blank チェックを有効にする （Wave）",
                                      "enable V.Blank checking (Wave)"};
constexpr TwoLanguageText kSpectrumVBlank{"V.Blank チェックを有効にする （Spectrum）",
                                          "enable V.Blank checking (Spectrum)"};
constexpr TwoLanguageText kStart{"スタート", "Start"};
constexpr TwoLanguageText kAbort{"中止", "Abort"};
constexpr TwoLanguageText kClose{"閉じる", "Close"};

std::wstring Wide(const std::string& utf8) {
  const std::u16string u = Utf8ToUtf16(utf8);
  return std::wstring(u.begin(), u.end());
}

void SetText(HWND control, const char* utf8) {
  SetWindowTextW(control, Wide(utf8).c_str());
}

void RunStep(void* arg) {
  (*static_cast<const std::function<void()>*>(arg))();
}

}  // namespace

TDrawTypeAutoSetForm::TDrawTypeAutoSetForm(HWND owner, AutoSetTarget& target,
                                           MainThreadRunner& runner, Language language,
                                           const std::string& title)
    : owner_(owner),
      target_(target),
      runner_(runner),
      language_(language),
      title_(title),
      run_(*this, language) {
  wake_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
}

TDrawTypeAutoSetForm::~TDrawTypeAutoSetForm() {
  FormDestroy();
  if (hwnd()) DestroyWindow(hwnd());
  if (font_) DeleteObject(font_);
}

bool TDrawTypeAutoSetForm::Create() {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&icc);
  if (!RegisterWindowClass(kClassName, 0)) return false;
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  const DWORD exStyle = WS_EX_TOPMOST | WS_EX_DLGMODALFRAME;
  RECT r{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  const int w = r.right - r.left, h = r.bottom - r.top;
  const int x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2,
            y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
  const std::string caption = title_ + " - " + kCaption.In(language_);
  if (!Window::Create(kClassName, Wide(caption).c_str(), style, exStyle, x, y, w, h, owner_))
    return false;
  CreateControls();
  return true;
}

// FormCreate: the controls at their pixel positions, the texts and the font
// of the language.
void TDrawTypeAutoSetForm::CreateControls() {
  if (language_ == Language::English) {
    font_ = CreateFontW(-MulDiv(8, 96, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_SWISS, L"Arial");
  } else {
    font_ = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_SWISS, L"MS UI Gothic");
  }
  struct ControlPlacement {
    int id;
    const wchar_t* cls;
    DWORD style;
    const TwoLanguageText* text;
    int x, y, w, h;
  };
  // The group's check boxes are placed relative to the group at (6, 67).
  const ControlPlacement placements[] = {
      {IDC_AUTO_SET_LABEL1, L"STATIC", SS_LEFT, &kLabel1, 3, 1, 328, 13},
      {IDC_AUTO_SET_LABEL2, L"STATIC", SS_LEFT, &kLabel2, 3, 17, 328, 13},
      {IDC_AUTO_SET_LABEL3, L"STATIC", SS_LEFT, &kLabel3, 3, 33, 328, 13},
      {IDC_AUTO_SET_LABEL4, L"STATIC", SS_LEFT, &kLabel4, 3, 49, 328, 13},
      {IDC_AUTO_SET_CONDITION_GROUP, L"BUTTON", BS_GROUPBOX, &kConditions, 6, 67, 240, 85},
      {IDC_AUTO_SET_WAVE_NO_FLICKER, L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, &kWaveNoFlicker,
       6 + 14, 67 + 13, 222, 17},
      {IDC_AUTO_SET_SPECTRUM_NO_FLICKER, L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP,
       &kSpectrumNoFlicker, 6 + 14, 67 + 30, 222, 17},
      {IDC_AUTO_SET_WAVE_CHECK_VBLANK, L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, &kWaveVBlank,
       6 + 14, 67 + 47, 222, 17},
      {IDC_AUTO_SET_SPECTRUM_CHECK_VBLANK, L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP,
       &kSpectrumVBlank, 6 + 14, 67 + 64, 222, 17},
      {IDC_AUTO_SET_MEMO, L"EDIT",
       ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP, nullptr,
       6, 156, 318, 209},
      {IDC_AUTO_SET_START_BUTTON, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, &kStart, 258, 76, 64, 25},
      {IDC_AUTO_SET_CLOSE_BUTTON, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, &kClose, 258, 120, 64, 25},
  };
  for (const ControlPlacement& s : placements) {
    HWND c = CreateWindowExW(0, s.cls, s.text ? Wide(s.text->In(language_)).c_str() : L"",
                             WS_CHILD | WS_VISIBLE | s.style, s.x, s.y, s.w, s.h, hwnd(),
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(s.id)),
                             GetModuleHandleW(nullptr), nullptr);
    SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  }
  // Shown only during a run, over Label3 and Label4.
  HWND progress = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD, 8, 40, 314, 17, hwnd(),
                                  reinterpret_cast<HMENU>(IDC_AUTO_SET_PROGRESS),
                                  GetModuleHandleW(nullptr), nullptr);
  SendMessageW(progress, PBM_SETRANGE32, 0, 100);
}

void TDrawTypeAutoSetForm::ShowModal(bool firstUse) {
  if (!hwnd()) return;
  FormShow(firstUse);
  const bool ownerWasEnabled = owner_ && IsWindowEnabled(owner_);
  if (ownerWasEnabled) EnableWindow(owner_, FALSE);
  modal_ = true;
  ShowWindow(hwnd(), SW_SHOWNORMAL);
  SetForegroundWindow(hwnd());
  MSG msg;
  while (modal_ && IsWindowVisible(hwnd())) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (!IsDialogMessageW(hwnd(), &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  modal_ = false;
  if (ownerWasEnabled) EnableWindow(owner_, TRUE);
  ShowWindow(hwnd(), SW_HIDE);
}

void TDrawTypeAutoSetForm::FormShow(bool firstUse) {
  HWND start = Control(IDC_AUTO_SET_START_BUTTON);
  EnableWindow(start, TRUE);
  SetWindowTextW(Control(IDC_AUTO_SET_MEMO), L"");
  const bool possible = target_.RecordingPossible();
  SetText(Control(IDC_AUTO_SET_MEMO), AutoSetOpeningText(firstUse, possible, language_).c_str());
  if (!possible) EnableWindow(start, FALSE);
}

AutoSetConditions TDrawTypeAutoSetForm::ReadConditions() const {
  auto ticked = [this](int id) {
    return SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
  };
  AutoSetConditions c;
  c.waveNoFlicker = ticked(IDC_AUTO_SET_WAVE_NO_FLICKER);
  c.spectrumNoFlicker = ticked(IDC_AUTO_SET_SPECTRUM_NO_FLICKER);
  c.waveCheckVBlank = ticked(IDC_AUTO_SET_WAVE_CHECK_VBLANK);
  c.spectrumCheckVBlank = ticked(IDC_AUTO_SET_SPECTRUM_CHECK_VBLANK);
  return c;
}

void TDrawTypeAutoSetForm::SetConditionBoxesEnabled(bool on) {
  for (int id : {IDC_AUTO_SET_WAVE_NO_FLICKER, IDC_AUTO_SET_SPECTRUM_NO_FLICKER,
                 IDC_AUTO_SET_WAVE_CHECK_VBLANK, IDC_AUTO_SET_SPECTRUM_CHECK_VBLANK})
    EnableWindow(Control(id), on);
}

void TDrawTypeAutoSetForm::StartButtonClick() {
  if (Running()) {
    // Abort: the worker notices it after its current wait. The button stays
    // disabled until the run has finished, so no second run starts beside it.
    if (!run_.AbortRequested()) {
      run_.RequestAbort();
      SetEvent(wake_);
    }
    EnableWindow(Control(IDC_AUTO_SET_START_BUTTON), FALSE);
    return;
  }
  if (worker_) return;  // the last worker has not ended yet
  SetWindowTextW(Control(IDC_AUTO_SET_MEMO), L"");
  ProcessMessages();
  ::Sleep(10);
  EnableWindow(Control(IDC_AUTO_SET_CLOSE_BUTTON), FALSE);
  SetText(Control(IDC_AUTO_SET_START_BUTTON), kAbort.In(language_));
  conditions_ = ReadConditions();
  SetConditionBoxesEnabled(false);
  if (!run_.BeginRun()) return;
  ResetEvent(wake_);
  worker_ = CreateThread(nullptr, 0, &TDrawTypeAutoSetForm::CheckSubThread, this, 0, nullptr);
  if (!worker_) {
    // No worker: the run ends at once with everything restored.
    run_.RequestAbort();
    run_.Work(conditions_);
  }
}

DWORD WINAPI TDrawTypeAutoSetForm::CheckSubThread(void* self) {
  auto* form = static_cast<TDrawTypeAutoSetForm*>(self);
  form->run_.Work(form->conditions_);
  PostMessageW(form->hwnd(), kWorkerEndedMessage, 0, 0);
  return 0;
}

void TDrawTypeAutoSetForm::CloseButtonClick() {
  if (Running()) return;  // disabled during a run
  modal_ = false;
  ShowWindow(hwnd(), SW_HIDE);
}

void TDrawTypeAutoSetForm::WaitForWorker() {
  // The worker's last steps run on this thread: keep handling them. The
  // handling may end the wait itself (the worker's ended message), so the
  // handle is checked on every turn; the time-out covers messages that were
  // already queued when the wait began.
  while (worker_) {
    HANDLE worker = worker_;
    if (MsgWaitForMultipleObjects(1, &worker, FALSE, 50, QS_ALLINPUT) == WAIT_OBJECT_0) {
      if (worker_ == worker) {
        CloseHandle(worker);
        worker_ = nullptr;
      }
      break;
    }
    runner_.ProcessMessages();
  }
}

void TDrawTypeAutoSetForm::FormDestroy() {
  if (Running() && !run_.AbortRequested()) {
    run_.RequestAbort();
    SetEvent(wake_);
  }
  WaitForWorker();
  if (wake_) CloseHandle(wake_);
  wake_ = nullptr;
}

std::string TDrawTypeAutoSetForm::MemoText() const {
  HWND memo = Control(IDC_AUTO_SET_MEMO);
  const int length = GetWindowTextLengthW(memo);
  std::u16string text(static_cast<size_t>(length) + 1, u'\0');
  GetWindowTextW(memo, reinterpret_cast<wchar_t*>(text.data()), length + 1);
  text.resize(static_cast<size_t>(length));
  return Utf16ToUtf8(text);
}

// ---- AutoSetHost.

void TDrawTypeAutoSetForm::OnMainThread(const std::function<void()>& step) {
  runner_.Run(&RunStep, const_cast<std::function<void()>*>(&step));
}

void TDrawTypeAutoSetForm::WaitWake(uint32_t ms) {
  WaitForSingleObject(wake_, ms);
}

void TDrawTypeAutoSetForm::Sleep(uint32_t ms) {
  ::Sleep(ms);
}

void TDrawTypeAutoSetForm::ProcessMessages() {
  runner_.ProcessMessages();
}

uint32_t TDrawTypeAutoSetForm::TickMs() {
  return GetTickCount();
}

void TDrawTypeAutoSetForm::AddMemoLine(const std::string& text) {
  HWND memo = Control(IDC_AUTO_SET_MEMO);
  const int end = GetWindowTextLengthW(memo);
  const std::wstring line = (end > 0 ? L"\r\n" : L"") + Wide(text);
  SendMessageW(memo, EM_SETSEL, end, end);
  SendMessageW(memo, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(line.c_str()));
}

void TDrawTypeAutoSetForm::SetProgress(int percent) {
  SendMessageW(Control(IDC_AUTO_SET_PROGRESS), PBM_SETPOS, static_cast<WPARAM>(percent), 0);
}

void TDrawTypeAutoSetForm::ShowRunControls(bool running) {
  ShowWindow(Control(IDC_AUTO_SET_LABEL3), running ? SW_HIDE : SW_SHOW);
  ShowWindow(Control(IDC_AUTO_SET_LABEL4), running ? SW_HIDE : SW_SHOW);
  ShowWindow(Control(IDC_AUTO_SET_PROGRESS), running ? SW_SHOW : SW_HIDE);
  SetConditionBoxesEnabled(!running);
  EnableWindow(Control(IDC_AUTO_SET_CLOSE_BUTTON), !running);
  if (!running) {
    SetText(Control(IDC_AUTO_SET_START_BUTTON), kStart.In(language_));
    EnableWindow(Control(IDC_AUTO_SET_START_BUTTON), TRUE);
  }
}

LRESULT TDrawTypeAutoSetForm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  static const CommandRoute<TDrawTypeAutoSetForm> kRoutes[] = {
      {IDC_AUTO_SET_START_BUTTON, &TDrawTypeAutoSetForm::StartButtonClick},
      {IDC_AUTO_SET_CLOSE_BUTTON, &TDrawTypeAutoSetForm::CloseButtonClick},
  };
  switch (msg) {
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED && RouteCommand(this, kRoutes, LOWORD(wParam))) return 0;
      break;
    case WM_CLOSE:
      // The close box during a run acts as Abort; the window closes once the
      // run has finished and restored everything.
      if (Running() || worker_) {
        closeAfterRun_ = true;
        if (Running()) StartButtonClick();
      } else {
        CloseButtonClick();
      }
      return 0;
    case kWorkerEndedMessage:
      WaitForWorker();
      if (closeAfterRun_) {
        closeAfterRun_ = false;
        CloseButtonClick();
      }
      return 0;
  }
  return Default(msg, wParam, lParam);
}

}  // namespace ov
