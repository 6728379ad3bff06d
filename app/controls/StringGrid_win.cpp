#include "app/controls/StringGrid_win.h"

#include <algorithm>

namespace ov {
namespace {

constexpr wchar_t kClassName[] = L"OvStringGrid";

}  // namespace

bool StringGrid::Create(HWND parent, UINT id, int x, int y, int columns, int rows, int cellWidth,
                        int cellHeight) {
  columns_ = columns;
  rows_ = rows;
  cellWidth_ = cellWidth;
  cellHeight_ = cellHeight;
  cells_.assign(static_cast<size_t>(columns * rows), std::wstring());
  if (!RegisterWindowClass(kClassName, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS,
                           reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1))) {
    return false;
  }
  font_ = static_cast<HFONT>(GetStockObject(ANSI_FIXED_FONT));
  return Window::Create(kClassName, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, x, y, PixelWidth(),
                        PixelHeight(), parent, id);
}

void StringGrid::SetCell(int column, int row, const std::wstring& text) {
  if (column < 0 || column >= columns_ || row < 0 || row >= rows_) return;
  std::wstring& cell = cells_[static_cast<size_t>(row * columns_ + column)];
  if (cell == text) return;
  cell = text;
  InvalidateCell(column, row);
}

const std::wstring& StringGrid::Cell(int column, int row) const {
  static const std::wstring empty;
  if (column < 0 || column >= columns_ || row < 0 || row >= rows_) return empty;
  return cells_[static_cast<size_t>(row * columns_ + column)];
}

void StringGrid::Select(int column, int row) {
  InvalidateCell(selColumn_, selRow_);
  selColumn_ = column;
  selRow_ = row;
  InvalidateCell(column, row);
}

std::wstring StringGrid::Text() const {
  std::wstring text;
  for (int r = 0; r < rows_; ++r) {
    for (int c = 0; c < columns_; ++c) {
      if (c) text += L'\t';
      text += Cell(c, r);
    }
    text += L"\r\n";
  }
  return text;
}

void StringGrid::InvalidateCell(int column, int row) {
  if (!hwnd() || column < 0 || row < 0) return;
  RECT r{column * (cellWidth_ + 1), row * (cellHeight_ + 1), (column + 1) * (cellWidth_ + 1) + 1,
         (row + 1) * (cellHeight_ + 1) + 1};
  InvalidateRect(hwnd(), &r, FALSE);
}

void StringGrid::CellAt(int x, int y, int& column, int& row) const {
  column = x / (cellWidth_ + 1);
  row = y / (cellHeight_ + 1);
  if (x < 0 || y < 0 || column >= columns_ || row >= rows_) column = row = -1;
}

void StringGrid::Paint(HDC dc) {
  const HFONT oldFont = static_cast<HFONT>(SelectObject(dc, font_));
  const HPEN line = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
  const HPEN oldPen = static_cast<HPEN>(SelectObject(dc, line));
  SetBkMode(dc, TRANSPARENT);
  const bool enabled = IsWindowEnabled(hwnd()) != FALSE;
  for (int r = 0; r < rows_; ++r) {
    for (int c = 0; c < columns_; ++c) {
      RECT cell{c * (cellWidth_ + 1) + 1, r * (cellHeight_ + 1) + 1, (c + 1) * (cellWidth_ + 1),
                (r + 1) * (cellHeight_ + 1)};
      const bool fixed = r == 0 || c == 0;
      const bool selected = c == selColumn_ && r == selRow_ && !fixed;
      const int back = fixed ? COLOR_BTNFACE : selected ? COLOR_HIGHLIGHT : COLOR_WINDOW;
      FillRect(dc, &cell, GetSysColorBrush(back));
      SetTextColor(dc, GetSysColor(selected  ? COLOR_HIGHLIGHTTEXT
                                   : enabled ? COLOR_WINDOWTEXT
                                             : COLOR_GRAYTEXT));
      const std::wstring& text = Cell(c, r);
      RECT inner = cell;
      inner.left += 2;
      DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &inner,
                DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
  }
  const int w = PixelWidth() - 1, h = PixelHeight() - 1;
  for (int c = 0; c <= columns_; ++c) {
    MoveToEx(dc, c * (cellWidth_ + 1), 0, nullptr);
    LineTo(dc, c * (cellWidth_ + 1), h + 1);
  }
  for (int r = 0; r <= rows_; ++r) {
    MoveToEx(dc, 0, r * (cellHeight_ + 1), nullptr);
    LineTo(dc, w + 1, r * (cellHeight_ + 1));
  }
  SelectObject(dc, oldPen);
  DeleteObject(line);
  SelectObject(dc, oldFont);
}

LRESULT StringGrid::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd(), &ps);
      Paint(dc);
      EndPaint(hwnd(), &ps);
      return 0;
    }
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(Text().size());
    case WM_GETTEXT: {
      if (wParam == 0 || lParam == 0) return 0;
      const std::wstring text = Text();
      const size_t n = std::min<size_t>(text.size(), static_cast<size_t>(wParam) - 1);
      auto* out = reinterpret_cast<wchar_t*>(lParam);
      text.copy(out, n);
      out[n] = L'\0';
      return static_cast<LRESULT>(n);
    }
    case WM_ENABLE:
      InvalidateRect(hwnd(), nullptr, FALSE);
      return 0;
    case WM_LBUTTONDOWN: {
      SetFocus(hwnd());
      int c, r;
      CellAt(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)), c, r);
      if (c > 0 && r > 0) Select(c, r);
      return 0;
    }
    case WM_LBUTTONDBLCLK: {
      CellAt(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)), clickColumn_,
             clickRow_);
      const HWND parent = GetParent(hwnd());
      const auto id = static_cast<WORD>(GetDlgCtrlID(hwnd()));
      SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, kGridDoubleClick),
                   reinterpret_cast<LPARAM>(hwnd()));
      return 0;
    }
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    default:
      return Window::HandleMessage(msg, wParam, lParam);
  }
}

}  // namespace ov
