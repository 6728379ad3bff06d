#include "app/engine/MainThreadCaller_win.h"

namespace ov {

namespace {

constexpr UINT kRunStepMessage = WM_APP + 0x3F0;
constexpr wchar_t kClassName[] = L"OvMainThreadCaller";

LRESULT CALLBACK CallerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kRunStepMessage) {
    reinterpret_cast<void (*)(void*)>(wParam)(reinterpret_cast<void*>(lParam));
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

MainThreadCaller::MainThreadCaller() : mainThread_(GetCurrentThreadId()) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = CallerProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kClassName;
  RegisterClassW(&wc);  // fails harmlessly when already registered
  window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                            nullptr);
}

MainThreadCaller::~MainThreadCaller() {
  if (window_) DestroyWindow(window_);
}

void MainThreadCaller::Run(void (*step)(void*), void* arg) {
  if (GetCurrentThreadId() == mainThread_ || !window_) {
    step(arg);
    return;
  }
  SendMessageW(window_, kRunStepMessage, reinterpret_cast<WPARAM>(step),
               reinterpret_cast<LPARAM>(arg));
}

void MainThreadCaller::ProcessMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    // The quit request belongs to the outermost loop: put it back and stop.
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace ov
