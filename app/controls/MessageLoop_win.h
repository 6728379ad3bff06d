// The program's message loop: the main window previews every key pressed in
// it or its children (KeyPreview), and modeless dialogs get their keyboard
// handling through IsDialogMessageW. Main thread only.
#pragma once

#include <windows.h>

namespace ov {

class KeyPreview {
 public:
  virtual ~KeyPreview() = default;
  // The window whose descendants' keys are previewed.
  virtual HWND PreviewRoot() const = 0;
  // WM_KEYDOWN / WM_SYSKEYDOWN / WM_CHAR of a descendant; true consumes it.
  virtual bool PreviewKey(const MSG& msg) = 0;
};

// Modeless dialogs that take part in IsDialogMessageW (Dialog::CreateModeless
// registers and its destruction unregisters them).
void RegisterModelessDialog(HWND dialog);
void UnregisterModelessDialog(HWND dialog);

// Offers one message to the key preview and the modeless dialogs; false when
// it still needs TranslateMessage / DispatchMessageW.
bool PreTranslateMessage(MSG& msg, KeyPreview* preview);

// Runs until WM_QUIT; returns its exit code.
int RunMessageLoop(KeyPreview* preview);

// Handles the calling thread's pending messages the same way (used by waits
// that must keep the program responsive). Returns false when WM_QUIT was seen;
// it is posted again so that the outer loop ends too.
bool PumpPendingMessages(KeyPreview* preview = nullptr);

}  // namespace ov
