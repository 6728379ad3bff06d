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

// The precise positioning window and its button in the top panel.
class PositioningLine : public SecondaryWindow {
 public:
  // Shows the precise-positioning button and runs its click action (the
  // window appears when the button is down).
  virtual void ShowButtonAndClick() {
    if (Actions() != nullptr) Actions()->ShowButtonAndClick();
  }
  // A new file was opened: the window refreshes its positions and markers.
  virtual void Refresh() {
    if (Actions() != nullptr) Actions()->Refresh();
  }
};

// The overlay tool panel below the spectrum area.
class OverlayToolsLine {
 public:
  virtual ~OverlayToolsLine() = default;
  // An overlay comment field (or the averaging box's text) has the focus:
  // keys go to it, not to the window's key preview.
  virtual bool CommentHasFocus() const { return false; }
  // A measure-mode key command (KeyCommand of TransportKeys.h, as int).
  virtual void KeyCommand(int /*command*/) {}
};

}  // namespace ov
