#include "app/controls/SpeedButtonRepeat_win.h"

#include <string>

#include "app/controls/MessageLoop_win.h"

namespace ov {

namespace {

Window* MakeButton() {
  return new TSpeedButtonRepeat;
}

class SystemRepeatClock : public RepeatClock {
 public:
  uint32_t NowMs() override { return GetTickCount(); }
  void SleepMs(uint32_t ms) override { Sleep(ms); }
};

constexpr uint32_t kPollMs = 3;

}  // namespace

bool TSpeedButtonRepeat::Register() {
  return RegisterSelfOwnedClass(kClassName, MakeButton, CS_HREDRAW | CS_VREDRAW, nullptr);
}

TSpeedButtonRepeat* TSpeedButtonRepeat::From(HWND hwnd) {
  wchar_t cls[32] = {};
  GetClassNameW(hwnd, cls, 32);
  if (std::wstring(cls) != kClassName) return nullptr;
  return static_cast<TSpeedButtonRepeat*>(Window::FromHandle(hwnd));
}

bool TSpeedButtonRepeat::Create(HWND parent, UINT id, int x, int y, int width, int height,
                                const wchar_t* text) {
  if (!Register()) return false;
  return Window::Create(kClassName, text, WS_CHILD | WS_VISIBLE, 0, x, y, width, height, parent,
                        id);
}

void TSpeedButtonRepeat::Press(WPARAM keys, int x, int y) {
  down_ = true;
  InvalidateRect(hwnd(), nullptr, FALSE);
  UpdateWindow(hwnd());
  SetCapture(hwnd());
  pressButton_ = MK_LBUTTON;
  pressShift_ = static_cast<UINT>(keys & (MK_SHIFT | MK_CONTROL));
  pressX_ = x;
  pressY_ = y;
  released_ = false;
  RepeatWhileHeld();
}

void TSpeedButtonRepeat::RepeatWhileHeld() {
  if (inLoop_) return;
  inLoop_ = true;
  SystemRepeatClock systemClock;
  RepeatClock& clock = clock_ ? *clock_ : systemClock;
  RepeatTimer timer(RepeatDelay10ms, RepeatInterval10ms);
  timer.Start(clock.NowMs());
  // The window (and this object, when the class made it) may be destroyed by
  // a handler; the handle tells.
  HWND self = hwnd();
  auto fire = [&] {
    if (OnMouseDownRepeat) OnMouseDownRepeat(*this, pressButton_, pressShift_, pressX_, pressY_);
  };
  fire();
  for (;;) {
    if (!IsWindow(self) || released_) break;
    if (!PumpPendingMessages()) {  // WM_QUIT: posted again by the pump
      released_ = true;
      break;
    }
    if (!IsWindow(self) || released_) break;
    clock.SleepMs(kPollMs);
    if (!IsWindow(self) || released_) break;
    if (timer.Due(clock.NowMs())) fire();
  }
  if (IsWindow(self)) {
    inLoop_ = false;
    if (down_) Release(false);
  }
}

void TSpeedButtonRepeat::Release(bool click) {
  released_ = true;
  if (!down_) return;
  down_ = false;
  if (GetCapture() == hwnd()) ReleaseCapture();
  InvalidateRect(hwnd(), nullptr, FALSE);
  if (click) {
    SendMessageW(GetParent(hwnd()), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd()), BN_CLICKED),
                 reinterpret_cast<LPARAM>(hwnd()));
  }
}

void TSpeedButtonRepeat::Paint(HDC dc) {
  RECT r;
  GetClientRect(hwnd(), &r);
  DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (down_ ? DFCS_PUSHED : 0));
  wchar_t text[128] = {};
  GetWindowTextW(hwnd(), text, 128);
  HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(IsWindowEnabled(hwnd()) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  if (down_) OffsetRect(&r, 1, 1);
  DrawTextW(dc, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
}

LRESULT TSpeedButtonRepeat::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (!inLoop_) {
        Press(wParam, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
      }
      return 0;
    case WM_LBUTTONUP: {
      POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      RECT r;
      GetClientRect(hwnd(), &r);
      Release(PtInRect(&r, p) != FALSE);
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != hwnd()) Release(false);
      return 0;
    case WM_CANCELMODE:
      Release(false);
      return Default(msg, wParam, lParam);
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd(), &ps);
      Paint(dc);
      EndPaint(hwnd(), &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_SETTEXT: {
      LRESULT r = Default(msg, wParam, lParam);
      InvalidateRect(hwnd(), nullptr, FALSE);
      return r;
    }
    default:
      return Default(msg, wParam, lParam);
  }
}

}  // namespace ov
