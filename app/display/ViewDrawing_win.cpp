#include "app/display/ViewDrawing_win.h"

#include "app/display/GdiSystemColours_win.h"
#include "app/display/ViewColours.h"

namespace ov {

namespace {

int Widen(const char* text, wchar_t (&wide)[64]) {
  int n = 0;
  for (; text[n] && n < 63; ++n) wide[n] = static_cast<unsigned char>(text[n]);
  wide[n] = 0;
  return n;
}

}  // namespace

void DrawViewBevel(HDC dc, const RECT& r, uint32_t backColour) {
  const GdiSystemColours system;
  const BevelColours b = ComputeBevelColours(backColour, system);
  const int right = r.right - 1, bottom = r.bottom - 1;
  auto edge = [&](uint32_t colour, int x0, int y0, int x1, int y1, int x2, int y2) {
    HPEN pen = CreatePen(PS_SOLID, 0, colour);
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
    LineTo(dc, x2, y2);
    SelectObject(dc, old);
    DeleteObject(pen);
  };
  // Left and top, then right and bottom, of each ring.
  edge(b.outerTopLeft, 0, bottom, 0, 0, right, 0);
  edge(b.outerBottomRight, right, 0, right, bottom, -1, bottom);
  edge(b.innerTopLeft, 1, bottom - 1, 1, 1, right - 1, 1);
  edge(b.innerBottomRight, right - 1, 1, right - 1, bottom - 1, 0, bottom - 1);
  SelectObject(dc, GetStockObject(BLACK_PEN));
}

void DrawAsciiText(HDC dc, int x, int y, const char* text, UINT align) {
  wchar_t wide[64];
  const int n = Widen(text, wide);
  SetTextAlign(dc, align | TA_TOP);
  TextOutW(dc, x, y, wide, n);
}

SIZE AsciiTextSize(HDC dc, const char* text) {
  wchar_t wide[64];
  const int n = Widen(text, wide);
  SIZE s{0, 0};
  GetTextExtentPoint32W(dc, wide, n, &s);
  return s;
}

void DrawDottedLine(HDC dc, int x0, int x1, int y, COLORREF colour) {
  HPEN pen = CreatePen(PS_DOT, 0, colour);
  HGDIOBJ old = SelectObject(dc, pen);
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  MoveToEx(dc, x0, y, nullptr);
  LineTo(dc, x1, y);
  SetBkMode(dc, oldMode);
  SelectObject(dc, old);
  DeleteObject(pen);
}

}  // namespace ov
