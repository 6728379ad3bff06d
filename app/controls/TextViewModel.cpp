#include "app/controls/TextViewModel.h"

#include <algorithm>
#include <cwctype>

namespace ov {

namespace {

bool IsHighSurrogate(wchar_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(wchar_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

// 0 blanks, 1 letters and digits (any script), 2 other signs.
int CharClass(wchar_t c) {
  if (c == L' ' || c == L'\t' || c == 0x3000) return 0;
  if (std::iswalnum(static_cast<wint_t>(c)) || c == L'_' || c >= 0x3040) return 1;
  return 2;
}

}  // namespace

int CharCells(wchar_t c) {
  if (c < 0x1100) return 1;
  if (c <= 0x115F) return 2;                                // Hangul leading consonants
  if (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) return 2;  // CJK, kana, Yi
  if (c >= 0xAC00 && c <= 0xD7A3) return 2;                 // Hangul syllables
  if (c >= 0xF900 && c <= 0xFAFF) return 2;                 // compatibility ideographs
  if (c >= 0xFE30 && c <= 0xFE4F) return 2;                 // vertical forms
  if (c >= 0xFF00 && c <= 0xFF60) return 2;                 // full-width forms
  if (c >= 0xFFE0 && c <= 0xFFE6) return 2;
  return 1;
}

TextViewModel::TextViewModel() {
  lineStarts_.push_back(0);
}

void TextViewModel::SetText(std::wstring_view text) {
  text_.assign(text.data(), text.size());
  lineStarts_.clear();
  lineStarts_.push_back(0);
  widestCells_ = 0;
  size_t cells = 0;
  const wchar_t* p = text_.data();
  const size_t n = text_.size();
  for (size_t i = 0; i < n; ++i) {
    const wchar_t c = p[i];
    if (c == L'\n') {
      // A "\r" before the "\n" ends the line with it and took a cell.
      if (i > 0 && p[i - 1] == L'\r' && cells > 0) --cells;
      widestCells_ = std::max(widestCells_, cells);
      cells = 0;
      lineStarts_.push_back(i + 1);
    } else {
      cells += static_cast<size_t>(c < 0x1100 ? 1 : CharCells(c));
    }
  }
  widestCells_ = std::max(widestCells_, cells);
  anchor_ = caret_ = 0;
  keepGoal_ = false;
  firstLine_ = 0;
}

size_t TextViewModel::LineStart(size_t line) const {
  return line < lineStarts_.size() ? lineStarts_[line] : text_.size();
}

size_t TextViewModel::LineLength(size_t line) const {
  if (line >= lineStarts_.size()) return 0;
  const size_t start = lineStarts_[line];
  if (line + 1 == lineStarts_.size()) return text_.size() - start;
  size_t end = lineStarts_[line + 1] - 1;  // at the "\n"
  if (end > start && text_[end - 1] == L'\r') --end;
  return end - start;
}

std::wstring_view TextViewModel::Line(size_t line) const {
  return std::wstring_view(text_).substr(LineStart(line), LineLength(line));
}

size_t TextViewModel::LineOf(size_t offset) const {
  const auto it = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), offset);
  return static_cast<size_t>(it - lineStarts_.begin()) - 1;
}

TextPosition TextViewModel::PositionOf(size_t offset) const {
  offset = Clamp(offset);
  const size_t line = LineOf(offset);
  return {line, std::min(offset - lineStarts_[line], LineLength(line))};
}

size_t TextViewModel::OffsetOf(size_t line, size_t column) const {
  line = std::min(line, lineStarts_.size() - 1);
  return lineStarts_[line] + std::min(column, LineLength(line));
}

size_t TextViewModel::Clamp(size_t offset) const {
  offset = std::min(offset, text_.size());
  if (offset > 0 && offset < text_.size() && text_[offset] == L'\n' && text_[offset - 1] == L'\r') {
    --offset;
  }
  return offset;
}

void TextViewModel::Select(size_t anchor, size_t caret) {
  anchor_ = Clamp(anchor);
  caret_ = Clamp(caret);
  keepGoal_ = false;
}

void TextViewModel::SelectWordAt(size_t offset) {
  offset = Clamp(offset);
  const size_t line = LineOf(offset);
  const size_t start = LineStart(line);
  const size_t end = LineEnd(line);
  if (start == end) {
    Select(offset, offset);
    return;
  }
  const size_t at = offset < end ? offset : end - 1;
  const int kind = CharClass(text_[at]);
  size_t from = at;
  while (from > start && CharClass(text_[from - 1]) == kind) --from;
  size_t to = at + 1;
  while (to < end && CharClass(text_[to]) == kind) ++to;
  Select(from, to);
}

std::wstring TextViewModel::SelectedText() const {
  return text_.substr(SelectionStart(), SelectionEnd() - SelectionStart());
}

void TextViewModel::MoveCaret(Move move, bool extend, size_t pageLines) {
  const TextPosition at = PositionOf(caret_);
  const bool vertical =
      move == Move::Up || move == Move::Down || move == Move::PageUp || move == Move::PageDown;
  if (vertical && !keepGoal_) goalColumn_ = at.column;
  const size_t lastLine = lineStarts_.size() - 1;
  size_t caret = caret_;
  switch (move) {
    case Move::Left:
      if (caret == lineStarts_[at.line]) {
        if (at.line > 0) caret = LineEnd(at.line - 1);
      } else {
        --caret;
        if (caret > lineStarts_[at.line] && IsLowSurrogate(text_[caret]) &&
            IsHighSurrogate(text_[caret - 1])) {
          --caret;
        }
      }
      break;
    case Move::Right:
      if (caret == LineEnd(at.line)) {
        if (at.line < lastLine) caret = lineStarts_[at.line + 1];
      } else {
        ++caret;
        if (caret < LineEnd(at.line) && IsLowSurrogate(text_[caret]) &&
            IsHighSurrogate(text_[caret - 1])) {
          ++caret;
        }
      }
      break;
    case Move::Up:
      caret = OffsetOf(at.line > 0 ? at.line - 1 : 0, goalColumn_);
      break;
    case Move::Down:
      caret = OffsetOf(std::min(at.line + 1, lastLine), goalColumn_);
      break;
    case Move::LineHome:
      caret = lineStarts_[at.line];
      break;
    case Move::LineEnd:
      caret = LineEnd(at.line);
      break;
    case Move::TextHome:
      caret = 0;
      break;
    case Move::TextEnd:
      caret = text_.size();
      break;
    case Move::PageUp:
      caret = OffsetOf(at.line > pageLines ? at.line - pageLines : 0, goalColumn_);
      ScrollBy(-static_cast<int64_t>(pageLines));
      break;
    case Move::PageDown:
      caret = OffsetOf(std::min(at.line + pageLines, lastLine), goalColumn_);
      ScrollBy(static_cast<int64_t>(pageLines));
      break;
  }
  caret_ = caret;
  if (!extend) anchor_ = caret_;
  keepGoal_ = vertical;
}

void TextViewModel::SetVisibleLines(size_t lines) {
  visibleLines_ = std::max<size_t>(lines, 1);
  ScrollTo(static_cast<int64_t>(firstLine_));
}

size_t TextViewModel::LastFirstLine() const {
  return lineStarts_.size() > visibleLines_ ? lineStarts_.size() - visibleLines_ : 0;
}

bool TextViewModel::ScrollTo(int64_t firstLine) {
  const auto last = static_cast<int64_t>(LastFirstLine());
  const auto line = static_cast<size_t>(std::max<int64_t>(0, std::min(firstLine, last)));
  const bool changed = line != firstLine_;
  firstLine_ = line;
  return changed;
}

bool TextViewModel::ScrollCaretIntoView() {
  const size_t line = LineOf(caret_);
  if (line < firstLine_) return ScrollTo(static_cast<int64_t>(line));
  if (line >= firstLine_ + visibleLines_) {
    return ScrollTo(static_cast<int64_t>(line + 1 - visibleLines_));
  }
  return false;
}

}  // namespace ov
