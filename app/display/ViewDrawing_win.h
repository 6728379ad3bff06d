// Small GDI helpers the view areas share: the two-pixel bevel, short texts
// through the wide-character API, and dotted underlines.
//
// Main thread only (the device contexts of the main window's views).
#pragma once

#include <windows.h>

#include <cstdint>

namespace ov {

// The bevel of a view area (client rectangle r) for the colour set's
// BackColor; the pen is black afterwards.
void DrawViewBevel(HDC dc, const RECT& r, uint32_t backColour);

// An ASCII text at (x, y) with the horizontal alignment align (TA_LEFT,
// TA_CENTER or TA_RIGHT), top-aligned. At most 63 characters.
void DrawAsciiText(HDC dc, int x, int y, const char* text, UINT align);

// The size of an ASCII text in the selected font.
SIZE AsciiTextSize(HDC dc, const char* text);

// A dotted line from (x0, y) to (x1, y) in colour.
void DrawDottedLine(HDC dc, int x0, int x1, int y, COLORREF colour);

}  // namespace ov
