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

// The precise positioning window and its button in the top panel.
class PositioningLine : public SecondaryWindow {
 public:
  // Shows the precise-positioning button and runs its click action (the
  // window appears when the button is down).
  virtual void ShowButtonAndClick() {}
  // A new file was opened: the window refreshes its positions and markers.
  virtual void Refresh() {}
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
