// The main window's lines to the secondary windows that other parts of the
// program provide (setup dialog, play list, positioning, wave information,
// overlay tool panel). Each line does nothing until its window is attached,
// and messages go only to a window that exists. Main thread only; the main
// window owns the lines, the attached windows belong to their own owners.
#pragma once

#include <windows.h>

#include <cstdint>

namespace ov {

// What a line does for a window attached with its own showing and hiding
// (placement, refresh, stored bounds) instead of plain ShowWindow calls.
class SecondaryWindowActions {
 public:
  virtual ~SecondaryWindowActions() = default;
  virtual void Show() = 0;
  virtual void Hide() = 0;
  virtual void ShowButtonAndClick() { Show(); }
  virtual void Refresh() {}
};

class SecondaryWindow {
 public:
  virtual ~SecondaryWindow() = default;
  // actions: the window's own show and hide (may be null); it must outlive
  // the attachment (Attach(nullptr) ends it).
  void Attach(HWND window, SecondaryWindowActions* actions = nullptr) {
    window_ = window;
    actions_ = window != nullptr ? actions : nullptr;
  }
  HWND Window() const { return window_; }
  bool Exists() const { return window_ != nullptr && IsWindow(window_); }
  void Post(UINT message, WPARAM wParam, LPARAM lParam = 0) const {
    if (Exists()) PostMessageW(window_, message, wParam, lParam);
  }
  virtual void Show() {
    if (!Exists()) return;
    if (actions_ != nullptr)
      actions_->Show();
    else
      ShowWindow(window_, SW_SHOW);
  }
  virtual void Hide() {
    if (!Exists()) return;
    if (actions_ != nullptr)
      actions_->Hide();
    else
      ShowWindow(window_, SW_HIDE);
  }

 protected:
  SecondaryWindowActions* Actions() const { return Exists() ? actions_ : nullptr; }

 private:
  HWND window_ = nullptr;
  SecondaryWindowActions* actions_ = nullptr;
};

// The precise positioning window and its button in the top panel
// (ShowPositioningFormSpeedButton, a toggle made by the main window; hidden
// until play is paused).
class PositioningLine : public SecondaryWindow {
 public:
  void AttachButton(HWND button) { button_ = button; }
  HWND Button() const { return button_; }
  bool ButtonDown() const {
    return button_ != nullptr && SendMessageW(button_, BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  // Shows the precise-positioning button and runs its click action (the
  // window appears when the button is down).
  virtual void ShowButtonAndClick() {
    if (Actions() != nullptr) {
      Actions()->ShowButtonAndClick();
      return;
    }
    if (button_ != nullptr) ShowWindow(button_, SW_SHOW);
    ButtonClick(ButtonDown());
  }
  // The button's click action: the window is shown while the button is down.
  virtual void ButtonClick(bool down) {
    if (down)
      Show();
    else
      SecondaryWindow::Hide();
  }
  // Hides the window and the button (play resumed or stopped).
  void Hide() override {
    SecondaryWindow::Hide();
    if (button_ != nullptr) ShowWindow(button_, SW_HIDE);
  }
  // A new file was opened: the window refreshes its positions and markers.
  virtual void Refresh() {
    if (Actions() != nullptr) Actions()->Refresh();
  }

 private:
  HWND button_ = nullptr;
};

// The overlay and measure tools of the measure panel under the spectrum
// area; the main window attaches the object that holds them.
class OverlayToolsLine {
 public:
  virtual ~OverlayToolsLine() = default;
  void Attach(OverlayToolsLine* tools) { tools_ = tools; }
  // An overlay comment field (or the averaging box's text) has the focus:
  // keys go to it, not to the window's key preview.
  virtual bool CommentHasFocus() const { return tools_ != nullptr && tools_->CommentHasFocus(); }
  // A measure-mode key command (KeyCommand of TransportKeys.h, as int).
  virtual void KeyCommand(int command) {
    if (tools_ != nullptr) tools_->KeyCommand(command);
  }
  // The transport or a new file changed what the tools may do (frameValid,
  // the overlays' reset): their buttons follow.
  virtual void Refresh() {
    if (tools_ != nullptr) tools_->Refresh();
  }

 private:
  OverlayToolsLine* tools_ = nullptr;
};

}  // namespace ov
