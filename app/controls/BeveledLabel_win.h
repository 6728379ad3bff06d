// TBeveledLabel: a text label with a drawn bevel, for read-outs. A registered
// window class ("TBeveledLabel"), usable from dialog templates (the object is
// then made by the class) and from code (Create). Text and font through
// WM_SETTEXT and WM_SETFONT; the rest through the setters, which repaint.
// Main thread only.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/controls/BevelGeometry.h"
#include "app/controls/Window_win.h"

namespace ov {

class TBeveledLabel : public Window {
 public:
  static constexpr wchar_t kClassName[] = L"TBeveledLabel";
  // Registers the class (once); the program calls it before any template uses it.
  static bool Register();
  // The object behind a label window, or null.
  static TBeveledLabel* From(HWND hwnd);

  bool Create(HWND parent, UINT id, int x, int y, int width, int height, const wchar_t* text);

  void SetBevelStyle(BevelStyle s);
  BevelStyle GetBevelStyle() const { return bevelStyle_; }
  void SetBorderColor(uint32_t c);
  void SetColor(uint32_t c);  // the label colour (fill), same encoding
  void SetFontColor(uint32_t c);
  void SetAlignment(UINT dtAlignment);  // DT_LEFT, DT_CENTER or DT_RIGHT
  void SetWordWrap(bool on);
  void SetLayout(TextLayout l);
  void SetTransparent(bool on);
  // Automatic sizing (off by default): the label takes its text's size plus the bevel.
  void SetAutoSize(bool on);

  // Paints the label into dc over a client rectangle of width x height.
  void PaintTo(HDC dc, int width, int height);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void Changed(bool resize);
  void AdjustSize();
  UINT TextFormat() const;

  BevelStyle bevelStyle_ = lbsLowered;
  uint32_t borderColor_ = kButtonShadowColour;
  uint32_t color_ = 0xFF00000Fu;      // COLOR_BTNFACE
  uint32_t fontColor_ = 0xFF000012u;  // COLOR_BTNTEXT
  UINT alignment_ = DT_LEFT;
  bool wordWrap_ = false;
  TextLayout layout_ = TextLayout::Top;
  bool transparent_ = false;
  bool autoSize_ = false;
  HFONT font_ = nullptr;
};

// A stored colour as GDI takes it: system colours through GetSysColor.
COLORREF ResolveColour(uint32_t colour);

}  // namespace ov
