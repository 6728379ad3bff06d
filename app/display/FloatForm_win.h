// TFloatForm: the small borderless readout window that follows the mouse
// over the wave and spectrum plots (one or two text lines, optionally
// underlined), clipped to a rounded rectangle, in the tooltip colour.
//
// Main thread only. Owns its window; the owner (the main window) receives the
// keys pressed while the readout has the focus.
#pragma once

#include <windows.h>

namespace ov {

class FloatForm {
 public:
  FloatForm(HWND owner, HFONT font);
  ~FloatForm();
  FloatForm(const FloatForm&) = delete;
  FloatForm& operator=(const FloatForm&) = delete;

  // line2 may be null (one line). plotControl is the window holding the plot,
  // plot the plot's rectangle in it, mouse the pointer in plot coordinates.
  void ShowReadout(const char* line1, const char* line2, bool underline, HWND plotControl,
                   const RECT& plot, POINT mouse);
  void Hide();
  bool Visible() const { return window_ && IsWindowVisible(window_); }
  HWND Window() const { return window_; }
  // The lines as shown (for tests and the accessibility of the readout).
  const wchar_t* Line1() const { return line1_; }
  const wchar_t* Line2() const { return line2_; }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
  void PaintReadout(HDC dc);
  SIZE TextSize(const wchar_t* text) const;

  HWND owner_;
  HFONT font_;
  HWND window_ = nullptr;
  wchar_t line1_[64] = {};
  wchar_t line2_[64] = {};
  bool twoLines_ = false;
  bool underline_ = false;
};

}  // namespace ov
