// TextViewModel: the state of a read-only text view without any window: the
// wide text, where each line starts, the selection (anchor and caret) and the
// first line shown. Lines end at "\r\n" or at a lone "\n"; offsets count
// every character of the whole text, line ends included (a "\r\n" counts 2),
// so they are the offsets a multi-line edit box reports for its selection.
// A text of n line ends has n + 1 lines; the last one may be empty.
//
// Setting a text indexes it in one pass; everything else is a look-up or a
// binary search, so a text of several megabytes costs only its copy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ov {

struct TextPosition {
  size_t line = 0;
  size_t column = 0;  // characters from the line's start
};

// Columns a character takes in a fixed-pitch font: 2 for the wide East Asian
// ranges (ideographs, kana, Hangul, full-width forms), 1 otherwise.
int CharCells(wchar_t c);

class TextViewModel {
 public:
  enum class Move { Left, Right, Up, Down, LineHome, LineEnd, TextHome, TextEnd, PageUp, PageDown };

  TextViewModel();

  // Takes the text; the selection goes to the start and the view to the top.
  void SetText(std::wstring_view text);
  const std::wstring& Text() const { return text_; }
  size_t Length() const { return text_.size(); }

  size_t LineCount() const { return lineStarts_.size(); }
  size_t LineStart(size_t line) const;   // the text's length past the last line
  size_t LineLength(size_t line) const;  // without its line end; 0 past the last line
  std::wstring_view Line(size_t line) const;
  // The most cells any line takes (CharCells), for the width of the view.
  size_t WidestLineCells() const { return widestCells_; }

  size_t LineOf(size_t offset) const;
  TextPosition PositionOf(size_t offset) const;
  // The offset of a line and column, each clamped into the text.
  size_t OffsetOf(size_t line, size_t column) const;

  // Selection. Offsets past the end are taken as the end; an offset between
  // the "\r" and "\n" of a line end is taken as the end of that line.
  size_t Anchor() const { return anchor_; }
  size_t Caret() const { return caret_; }
  size_t SelectionStart() const { return anchor_ < caret_ ? anchor_ : caret_; }
  size_t SelectionEnd() const { return anchor_ < caret_ ? caret_ : anchor_; }
  void Select(size_t anchor, size_t caret);
  void SelectAll() { Select(0, text_.size()); }
  // The characters and line ends of the span around offset that are alike
  // (letters and digits, spaces, or other signs); an empty line's end for none.
  void SelectWordAt(size_t offset);
  std::wstring SelectedText() const;

  // Moves the caret; extend keeps the anchor (Shift), otherwise the
  // selection collapses to the caret. Up, Down and the page moves keep the
  // column the first of a run of them started from; the page moves go
  // pageLines lines and scroll the view by as many.
  void MoveCaret(Move move, bool extend, size_t pageLines = 1);

  // The lines the view shows whole (at least 1), and the first of them,
  // kept between 0 and LineCount() - VisibleLines().
  void SetVisibleLines(size_t lines);
  size_t VisibleLines() const { return visibleLines_; }
  size_t FirstVisibleLine() const { return firstLine_; }
  size_t LastFirstLine() const;
  // Returns whether the first line changed.
  bool ScrollTo(int64_t firstLine);
  bool ScrollBy(int64_t lines) { return ScrollTo(static_cast<int64_t>(firstLine_) + lines); }
  // Scrolls just enough to show the caret's line.
  bool ScrollCaretIntoView();

 private:
  size_t Clamp(size_t offset) const;
  size_t LineEnd(size_t line) const { return LineStart(line) + LineLength(line); }

  std::wstring text_;
  std::vector<size_t> lineStarts_;
  size_t widestCells_ = 0;
  size_t anchor_ = 0;
  size_t caret_ = 0;
  size_t goalColumn_ = 0;
  bool keepGoal_ = false;
  size_t firstLine_ = 0;
  size_t visibleLines_ = 1;
};

}  // namespace ov
