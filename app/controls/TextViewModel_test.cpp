// The text view's model: line index, offsets and positions, caret moves,
// selection and scrolling, on texts whose answers are worked out by hand.
#include "app/controls/TextViewModel.h"

#include <gtest/gtest.h>

#include <string>

namespace ov {
namespace {

using Move = TextViewModel::Move;

TEST(TextViewModel, LinesEndAtCrLfOrALoneLfAndTheLastMayHaveNoEnd) {
  TextViewModel m;
  m.SetText(L"ab\r\ncde\nf\r\r\n\r\nlast");
  ASSERT_EQ(m.LineCount(), 5u);
  EXPECT_EQ(m.Line(0), L"ab");
  EXPECT_EQ(m.Line(1), L"cde");
  EXPECT_EQ(m.Line(2), L"f\r");  // a lone "\r" is a character of the line
  EXPECT_EQ(m.Line(3), L"");
  EXPECT_EQ(m.Line(4), L"last");
  EXPECT_EQ(m.LineStart(1), 4u);
  EXPECT_EQ(m.LineStart(2), 8u);
  EXPECT_EQ(m.LineStart(4), 14u);
  EXPECT_EQ(m.LineStart(5), m.Length());
  EXPECT_EQ(m.LineLength(9), 0u);
  EXPECT_EQ(m.WidestLineCells(), 4u);

  m.SetText(L"one\r\n");  // a text ending with a line end has an empty last line
  EXPECT_EQ(m.LineCount(), 2u);
  EXPECT_EQ(m.Line(1), L"");
  EXPECT_EQ(m.LineStart(1), 5u);

  m.SetText(L"");
  EXPECT_EQ(m.LineCount(), 1u);
  EXPECT_EQ(m.Line(0), L"");
  EXPECT_EQ(m.WidestLineCells(), 0u);
  EXPECT_EQ(m.LineOf(0), 0u);
  m.MoveCaret(Move::Right, true);
  m.MoveCaret(Move::Down, true);
  m.MoveCaret(Move::PageDown, true, 10);
  EXPECT_EQ(m.Caret(), 0u);
  EXPECT_EQ(m.SelectedText(), L"");
}

TEST(TextViewModel, WideCharactersTakeTwoCells) {
  EXPECT_EQ(CharCells(L'A'), 1);
  EXPECT_EQ(CharCells(L'\x30C7'), 2);  // katakana
  EXPECT_EQ(CharCells(L'\x672B'), 2);  // ideograph
  EXPECT_EQ(CharCells(L'\xFF21'), 2);  // full-width A
  EXPECT_EQ(CharCells(L'\xFF71'), 1);  // half-width katakana
  TextViewModel m;
  m.SetText(L"abc\r\n\x30C7\x30FC\x30BF\x672B\x5C3E x\nzz");
  EXPECT_EQ(m.WidestLineCells(), 12u);
}

TEST(TextViewModel, OffsetsAndPositionsRoundTrip) {
  TextViewModel m;
  const std::wstring text = L"ab\r\ncde\nf\r\n\r\nlast";
  m.SetText(text);
  for (size_t line = 0; line < m.LineCount(); ++line) {
    for (size_t col = 0; col <= m.LineLength(line); ++col) {
      const size_t offset = m.OffsetOf(line, col);
      EXPECT_EQ(offset, m.LineStart(line) + col);
      const TextPosition p = m.PositionOf(offset);
      EXPECT_EQ(p.line, line) << offset;
      EXPECT_EQ(p.column, col) << offset;
    }
  }
  // Between "\r" and "\n" is the end of the line; past the text is its end.
  EXPECT_EQ(m.PositionOf(3).line, 0u);
  EXPECT_EQ(m.PositionOf(3).column, 2u);
  EXPECT_EQ(m.PositionOf(999).line, 4u);
  EXPECT_EQ(m.PositionOf(999).column, 4u);
  EXPECT_EQ(m.OffsetOf(1, 99), 7u);
  EXPECT_EQ(m.OffsetOf(99, 1), 14u);
  m.Select(3, 999);
  EXPECT_EQ(m.Anchor(), 2u);
  EXPECT_EQ(m.Caret(), text.size());
}

TEST(TextViewModel, CaretStepsOverLineEndsAndStopsAtTheTextsEdges) {
  TextViewModel m;
  m.SetText(L"ab\r\nc\nd");
  m.MoveCaret(Move::Left, false);
  EXPECT_EQ(m.Caret(), 0u);
  m.MoveCaret(Move::Up, false);
  EXPECT_EQ(m.Caret(), 0u);
  const size_t rights[] = {1, 2, 4, 5, 6, 7, 7};  // "\r\n" is one step
  for (size_t want : rights) {
    m.MoveCaret(Move::Right, false);
    EXPECT_EQ(m.Caret(), want);
    EXPECT_EQ(m.Anchor(), want);
  }
  m.MoveCaret(Move::Down, false);
  EXPECT_EQ(m.Caret(), 7u);
  const size_t lefts[] = {6, 5, 4, 2, 1, 0, 0};
  for (size_t want : lefts) {
    m.MoveCaret(Move::Left, false);
    EXPECT_EQ(m.Caret(), want);
  }
  m.SetText(L"x\xD83D\xDE00y");  // a surrogate pair is one step
  m.MoveCaret(Move::Right, false);
  m.MoveCaret(Move::Right, false);
  EXPECT_EQ(m.Caret(), 3u);
  m.MoveCaret(Move::Left, false);
  EXPECT_EQ(m.Caret(), 1u);
}

TEST(TextViewModel, UpAndDownKeepTheGoalColumnAcrossShortLines) {
  TextViewModel m;
  m.SetText(L"0123456789\r\nab\r\n\r\n0123456789\r\nxyz");
  m.Select(7, 7);
  m.MoveCaret(Move::Down, false);
  EXPECT_EQ(m.PositionOf(m.Caret()).column, 2u);
  m.MoveCaret(Move::Down, false);
  EXPECT_EQ(m.PositionOf(m.Caret()).line, 2u);
  EXPECT_EQ(m.PositionOf(m.Caret()).column, 0u);
  m.MoveCaret(Move::Down, false);
  EXPECT_EQ(m.PositionOf(m.Caret()).column, 7u);  // back at the goal
  m.MoveCaret(Move::Down, false);
  EXPECT_EQ(m.PositionOf(m.Caret()).column, 3u);
  m.MoveCaret(Move::Up, false);
  EXPECT_EQ(m.PositionOf(m.Caret()).column, 7u);
  // A sideways move sets a new goal.
  m.MoveCaret(Move::Left, false);
  m.MoveCaret(Move::Up, false);
  m.MoveCaret(Move::Up, false);
  m.MoveCaret(Move::Up, false);
  EXPECT_EQ(m.Caret(), 6u);

  // Pages move the caret and the view by the same count.
  std::wstring many;
  for (int i = 0; i < 100; ++i) many += L"line " + std::to_wstring(i) + L"\r\n";
  m.SetText(many);
  m.SetVisibleLines(10);
  m.Select(m.OffsetOf(0, 3), m.OffsetOf(0, 3));
  m.MoveCaret(Move::PageDown, false, 9);
  EXPECT_EQ(m.Caret(), m.OffsetOf(9, 3));
  EXPECT_EQ(m.FirstVisibleLine(), 9u);
  m.MoveCaret(Move::PageDown, true, 95);
  EXPECT_EQ(m.Caret(), m.LineStart(100));  // the empty last line
  EXPECT_EQ(m.FirstVisibleLine(), 91u);
  EXPECT_EQ(m.Anchor(), m.OffsetOf(9, 3));
  m.MoveCaret(Move::PageUp, false, 95);
  EXPECT_EQ(m.Caret(), m.OffsetOf(5, 3));  // the goal column of the run
  EXPECT_EQ(m.FirstVisibleLine(), 0u);
}

TEST(TextViewModel, ShiftMovesExtendAndTheSelectedTextIsTheSpan) {
  TextViewModel m;
  m.SetText(L"ab\r\n\x30C7\x30FC\x30BF\r\nend");
  m.Select(1, 1);
  m.MoveCaret(Move::Down, true);
  EXPECT_EQ(m.Anchor(), 1u);
  EXPECT_EQ(m.Caret(), 5u);
  EXPECT_EQ(m.SelectedText(), L"b\r\n\x30C7");
  m.MoveCaret(Move::LineEnd, true);
  EXPECT_EQ(m.SelectedText(), L"b\r\n\x30C7\x30FC\x30BF");
  m.MoveCaret(Move::TextHome, true);  // the caret passes the anchor
  EXPECT_EQ(m.SelectionStart(), 0u);
  EXPECT_EQ(m.SelectionEnd(), 1u);
  EXPECT_EQ(m.SelectedText(), L"a");
  m.MoveCaret(Move::TextEnd, true);
  EXPECT_EQ(m.SelectedText(), L"b\r\n\x30C7\x30FC\x30BF\r\nend");
  m.MoveCaret(Move::LineHome, false);
  EXPECT_EQ(m.Caret(), 9u);
  EXPECT_EQ(m.SelectedText(), L"");
  m.SelectAll();
  EXPECT_EQ(m.SelectedText(), m.Text());
  m.Select(8, 2);  // backwards
  EXPECT_EQ(m.SelectionStart(), 2u);
  EXPECT_EQ(m.SelectedText(), L"\r\n\x30C7\x30FC\x30BF");
}

TEST(TextViewModel, WordSelectionTakesTheRunOfAlikeCharacters) {
  TextViewModel m;
  m.SetText(L"0000: 52 49 46 46  |RIFF|\r\n\r\nx");
  m.SelectWordAt(7);
  EXPECT_EQ(m.SelectedText(), L"52");
  m.SelectWordAt(4);
  EXPECT_EQ(m.SelectedText(), L":");
  m.SelectWordAt(17);
  EXPECT_EQ(m.SelectedText(), L"  ");
  m.SelectWordAt(25);  // at the line's end: the word before it
  EXPECT_EQ(m.SelectedText(), L"|");
  m.SelectWordAt(27);  // an empty line
  EXPECT_EQ(m.SelectedText(), L"");
  EXPECT_EQ(m.Caret(), 27u);
}

TEST(TextViewModel, TheFirstLineStaysInsideTheText) {
  TextViewModel m;
  std::wstring text;
  for (int i = 0; i < 30; ++i) text += L"x\n";  // 31 lines
  m.SetText(text);
  m.SetVisibleLines(10);
  EXPECT_EQ(m.LastFirstLine(), 21u);
  EXPECT_TRUE(m.ScrollBy(5));
  EXPECT_EQ(m.FirstVisibleLine(), 5u);
  EXPECT_TRUE(m.ScrollBy(1000));
  EXPECT_EQ(m.FirstVisibleLine(), 21u);
  EXPECT_FALSE(m.ScrollBy(1));
  EXPECT_TRUE(m.ScrollTo(-4));
  EXPECT_EQ(m.FirstVisibleLine(), 0u);
  // A taller view pulls the first line back.
  m.ScrollTo(21);
  m.SetVisibleLines(40);
  EXPECT_EQ(m.FirstVisibleLine(), 0u);
  m.SetVisibleLines(0);
  EXPECT_EQ(m.VisibleLines(), 1u);

  m.SetVisibleLines(10);
  m.Select(m.OffsetOf(25, 0), m.OffsetOf(25, 0));
  EXPECT_TRUE(m.ScrollCaretIntoView());
  EXPECT_EQ(m.FirstVisibleLine(), 16u);
  EXPECT_FALSE(m.ScrollCaretIntoView());
  m.Select(m.OffsetOf(3, 1), m.OffsetOf(3, 1));
  EXPECT_TRUE(m.ScrollCaretIntoView());
  EXPECT_EQ(m.FirstVisibleLine(), 3u);
  // A new text starts at the top with the caret at its start.
  m.SetText(text);
  EXPECT_EQ(m.FirstVisibleLine(), 0u);
  EXPECT_EQ(m.Caret(), 0u);
}

}  // namespace
}  // namespace ov
