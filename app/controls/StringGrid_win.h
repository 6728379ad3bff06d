// A read-only grid of short texts with a fixed first row and column: equal
// cells separated by 1-pixel lines, one selected cell. Its window text is the
// whole grid (a tab between cells, CR LF after every row), so another program
// or a test reads it with WM_GETTEXT. A double click on a cell sends the
// parent WM_COMMAND with kGridDoubleClick; ClickedCell() tells which.
#pragma once

#include <string>
#include <vector>

#include "app/controls/Window_win.h"

namespace ov {

constexpr WORD kGridDoubleClick = 1;

class StringGrid : public Window {
 public:
  bool Create(HWND parent, UINT id, int x, int y, int columns, int rows, int cellWidth,
              int cellHeight);
  void SetCell(int column, int row, const std::wstring& text);
  const std::wstring& Cell(int column, int row) const;
  void Select(int column, int row);
  int SelectedColumn() const { return selColumn_; }
  int SelectedRow() const { return selRow_; }
  // The cell of the last double click; -1 outside the cells.
  int ClickedColumn() const { return clickColumn_; }
  int ClickedRow() const { return clickRow_; }
  std::wstring Text() const;
  // The size the control needs for its cells and lines.
  int PixelWidth() const { return columns_ * (cellWidth_ + 1) + 1; }
  int PixelHeight() const { return rows_ * (cellHeight_ + 1) + 1; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void Paint(HDC dc);
  void CellAt(int x, int y, int& column, int& row) const;
  void InvalidateCell(int column, int row);

  int columns_ = 0, rows_ = 0, cellWidth_ = 0, cellHeight_ = 0;
  int selColumn_ = -1, selRow_ = -1, clickColumn_ = -1, clickRow_ = -1;
  std::vector<std::wstring> cells_;
  HFONT font_ = nullptr;
};

}  // namespace ov
