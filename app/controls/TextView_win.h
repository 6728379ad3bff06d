// TTextView: a read-only multi-line text box that lays out and paints only
// the lines in sight, so a text of tens of thousands of lines shows at once.
// A registered window class ("TTextView"), usable from dialog templates
// (CONTROL "", id, "TTextView", WS_VSCROLL | WS_HSCROLL | WS_TABSTOP, ...)
// and from code (Create). It answers the messages of a read-only multi-line
// edit box that a program reads and steers it with: WM_SETTEXT, WM_GETTEXT,
// WM_GETTEXTLENGTH, WM_SETFONT, WM_GETFONT, WM_COPY, EM_GETSEL, EM_SETSEL,
// EM_GETFIRSTVISIBLELINE, EM_LINESCROLL, EM_GETLINECOUNT, EM_LINEINDEX,
// EM_LINELENGTH, EM_LINEFROMCHAR, EM_SCROLLCARET (EM_SETLIMITTEXT and
// EM_SETREADONLY are taken and change nothing). Offsets are those of
// TextViewModel. The user scrolls with the bars, the wheel and the keys,
// selects with the mouse and Shift, copies with Ctrl+C, Ctrl+Insert or the
// right-click menu. Colours: the parent's WM_CTLCOLORSTATIC answer, the
// selection in the system's highlight colours. A scroll bar hidden with
// ShowScrollBar stays hidden; the view still scrolls that way with the keys.
// Main thread only.
#pragma once

#include <windows.h>

#include "app/controls/TextViewModel.h"
#include "app/controls/Window_win.h"

namespace ov {

class TTextView : public Window {
 public:
  static constexpr wchar_t kClassName[] = L"TTextView";
  // Registers the class (once); the program calls it before any template uses it.
  static bool Register();
  // The object behind a text view window, or null.
  static TTextView* From(HWND hwnd);

  bool Create(HWND parent, UINT id, int x, int y, int width, int height,
              DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL,
              DWORD exStyle = WS_EX_CLIENTEDGE);

  const TextViewModel& Model() const { return model_; }
  int LineHeight() const { return lineHeight_; }
  int HorizontalOffset() const { return xOffset_; }

  // Paints the lines in sight into dc over a client area of width x height.
  void PaintTo(HDC dc, int width, int height);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  static constexpr int kMargin = 2;  // pixels left of the text
  static constexpr UINT_PTR kDragTimer = 1;

  void SetText(const wchar_t* text);
  void SetFont(HFONT font, bool redraw);
  void Resized();
  void Changed(bool caretIntoView);
  void UpdateScrollBars();
  void UpdateCaret();
  void ScrollLines(int64_t lines);
  void ScrollPixels(int dx);
  void VerticalScroll(WORD code);
  void HorizontalScroll(WORD code);
  void MouseWheel(int delta);
  bool KeyDown(WPARAM key);
  void MouseDown(int x, int y, bool extend);
  void MouseDrag(int x, int y);
  void ShowContextMenu(int x, int y);
  void Copy();
  // The text's x in pixels of a column of a line, and the nearest column to
  // an x; both measure with the font selected into dc.
  int ColumnX(HDC dc, size_t line, size_t column) const;
  size_t OffsetAt(int x, int y) const;
  int TextWidth() const;

  // What the scroll bars were last given; max -1 for nothing yet.
  struct BarState {
    int max = -1;
    UINT page = 0;
    int pos = 0;
  };

  TextViewModel model_;
  BarState bars_[2];  // vertical, horizontal
  HFONT font_ = nullptr;
  int lineHeight_ = 16;
  int charWidth_ = 8;
  int clientWidth_ = 0;
  int clientHeight_ = 0;
  int xOffset_ = 0;        // pixels of the text scrolled off to the left
  int widestPainted_ = 0;  // the widest line painted so far, in pixels
  int wheelRest_ = 0;      // wheel movement short of a line
  bool dragging_ = false;
  bool hasCaret_ = false;
  POINT dragPoint_{};
};

}  // namespace ov
