// TSpeedButtonRepeat: a speed button that repeats its action while the left
// button is held on it, for stepping forwards and backwards. A registered
// window class ("TSpeedButtonRepeat"), usable from templates and code. A
// release sends WM_COMMAND (BN_CLICKED) to the parent when the pointer is
// still over the button.
//
// The press runs a loop on the main thread inside WM_LBUTTONDOWN: it fires
// OnMouseDownRepeat at once, then after RepeatDelay10ms and every
// RepeatInterval10ms, handling the thread's messages between 3 ms sleeps.
// The mouse is captured; the release (anywhere), a lost capture
// (WM_CAPTURECHANGED), WM_CANCELMODE, the window's destruction and WM_QUIT end
// the loop (WM_QUIT is posted again for the outer loop).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "app/controls/RepeatTimer.h"
#include "app/controls/Window_win.h"

namespace ov {

// The loop's clock; tests pass their own.
class RepeatClock {
 public:
  virtual ~RepeatClock() = default;
  virtual uint32_t NowMs() = 0;
  virtual void SleepMs(uint32_t ms) = 0;
};

class TSpeedButtonRepeat : public Window {
 public:
  static constexpr wchar_t kClassName[] = L"TSpeedButtonRepeat";
  static bool Register();
  static TSpeedButtonRepeat* From(HWND hwnd);

  bool Create(HWND parent, UINT id, int x, int y, int width, int height, const wchar_t* text);

  int32_t RepeatDelay10ms = 40;
  int32_t RepeatInterval10ms = 5;
  // sender, button (MK_LBUTTON), shift state (MK_SHIFT | MK_CONTROL), x, y.
  std::function<void(TSpeedButtonRepeat&, UINT, UINT, int, int)> OnMouseDownRepeat;

  // Null: the system clock (GetTickCount, Sleep).
  void SetClock(RepeatClock* clock) { clock_ = clock; }
  bool Down() const { return down_; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void Destroyed() override { released_ = true; }

 private:
  void Press(WPARAM keys, int x, int y);
  void RepeatWhileHeld();
  void Release(bool click);
  void Paint(HDC dc);

  RepeatClock* clock_ = nullptr;
  bool down_ = false;
  bool released_ = true;
  bool inLoop_ = false;
  UINT pressButton_ = 0, pressShift_ = 0;
  int pressX_ = 0, pressY_ = 0;
};

}  // namespace ov
