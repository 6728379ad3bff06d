#include "app/controls/MessageLoop_win.h"

#include <algorithm>
#include <vector>

namespace ov {

namespace {

std::vector<HWND>& ModelessDialogs() {
  static std::vector<HWND> dialogs;
  return dialogs;
}

// The preview of the running loop; waits that pump messages use it too.
KeyPreview* activePreview = nullptr;

bool IsKeyMessage(UINT msg) {
  return msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN || msg == WM_CHAR || msg == WM_SYSCHAR;
}

}  // namespace

void RegisterModelessDialog(HWND dialog) {
  auto& d = ModelessDialogs();
  if (std::find(d.begin(), d.end(), dialog) == d.end()) d.push_back(dialog);
}

void UnregisterModelessDialog(HWND dialog) {
  auto& d = ModelessDialogs();
  d.erase(std::remove(d.begin(), d.end(), dialog), d.end());
}

bool PreTranslateMessage(MSG& msg, KeyPreview* preview) {
  if (preview != nullptr && IsKeyMessage(msg.message) && msg.hwnd != nullptr) {
    HWND root = preview->PreviewRoot();
    if (root != nullptr && (msg.hwnd == root || IsChild(root, msg.hwnd)) &&
        preview->PreviewKey(msg)) {
      return true;
    }
  }
  // A copy: a dialog may unregister itself while handling the message.
  const std::vector<HWND> dialogs = ModelessDialogs();
  for (HWND d : dialogs) {
    if (IsWindow(d) && IsDialogMessageW(d, &msg)) return true;
  }
  return false;
}

int RunMessageLoop(KeyPreview* preview) {
  KeyPreview* outer = activePreview;
  activePreview = preview;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (PreTranslateMessage(msg, preview)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  activePreview = outer;
  return static_cast<int>(msg.wParam);
}

bool PumpPendingMessages(KeyPreview* preview) {
  if (preview == nullptr) preview = activePreview;
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    if (PreTranslateMessage(msg, preview)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return true;
}

}  // namespace ov
