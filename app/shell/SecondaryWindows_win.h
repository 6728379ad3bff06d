// The main window's lines to the secondary windows that other parts of the
// program provide (setup dialog, play list, positioning, wave information,
// overlay tool panel). Each line does nothing until its window is attached,
// and messages go only to a window that exists. Main thread only; the main
// window owns the lines, the attached windows belong to their own owners.
#pragma once

#include <windows.h>

#include <cstdint>

namespace ov {

class SecondaryWindow {
 public:
  virtual ~SecondaryWindow() = default;
  void Attach(HWND window) { window_ = window; }
  HWND Window() const { return window_; }
  bool Exists() const { return window_ != nullptr && IsWindow(window_); }
  void Post(UINT message, WPARAM wParam, LPARAM lParam = 0) const {
    if (Exists()) PostMessageW(window_, message, wParam, lParam);
  }
  virtual void Show() {
    if (Exists()) ShowWindow(window_, SW_SHOW);
  }
  virtual void Hide() {
    if (Exists()) ShowWindow(window_, SW_HIDE);
  }

 private:
  HWND window_ = nullptr;
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
  virtual void Refresh() {}

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
