#include "app/controls/TextView_win.h"

#include <windowsx.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <cwchar>
#include <string>

namespace ov {

namespace {

constexpr UINT kCopyCommand = 1;
constexpr UINT kSelectAllCommand = 2;

Window* MakeView() {
  return new TTextView;
}

// The width in pixels of the first count characters of s.
int Extent(HDC dc, std::wstring_view s, size_t count) {
  count = std::min(count, s.size());
  if (count == 0) return 0;
  SIZE size{};
  GetTextExtentPoint32W(dc, s.data(), static_cast<int>(std::min<size_t>(count, INT_MAX)), &size);
  return size.cx;
}

// The font selected into a DC of the window for measuring, and put back.
class MeasureDc {
 public:
  MeasureDc(HWND hwnd, HFONT font) : hwnd_(hwnd), dc_(GetDC(hwnd)) {
    old_ = SelectObject(dc_, font ? font : GetStockObject(SYSTEM_FONT));
  }
  ~MeasureDc() {
    SelectObject(dc_, old_);
    ReleaseDC(hwnd_, dc_);
  }
  MeasureDc(const MeasureDc&) = delete;
  MeasureDc& operator=(const MeasureDc&) = delete;
  HDC dc() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace

bool TTextView::Register() {
  return RegisterSelfOwnedClass(kClassName, MakeView, CS_DBLCLKS, nullptr);
}

TTextView* TTextView::From(HWND hwnd) {
  wchar_t cls[32] = {};
  GetClassNameW(hwnd, cls, 32);
  if (std::wstring(cls) != kClassName) return nullptr;
  return static_cast<TTextView*>(Window::FromHandle(hwnd));
}

bool TTextView::Create(HWND parent, UINT id, int x, int y, int width, int height, DWORD style,
                       DWORD exStyle) {
  if (!Register()) return false;
  return Window::Create(kClassName, L"", style, exStyle, x, y, width, height, parent, id);
}

void TTextView::SetText(const wchar_t* text) {
  model_.SetText(text != nullptr ? std::wstring_view(text) : std::wstring_view());
  xOffset_ = 0;
  widestPainted_ = 0;
  Changed(false);
}

void TTextView::SetFont(HFONT font, bool redraw) {
  font_ = font;
  if (hwnd() == nullptr) return;
  {
    MeasureDc m(hwnd(), font_);
    TEXTMETRICW tm{};
    GetTextMetricsW(m.dc(), &tm);
    lineHeight_ = std::max<int>(1, tm.tmHeight);
    charWidth_ = std::max<int>(1, tm.tmAveCharWidth);
  }
  widestPainted_ = 0;
  if (hasCaret_) {
    DestroyCaret();
    CreateCaret(hwnd(), nullptr, 1, lineHeight_);
    ShowCaret(hwnd());
  }
  Resized();
  if (redraw) UpdateWindow(hwnd());
}

int TTextView::TextWidth() const {
  const size_t estimate = model_.WidestLineCells() * static_cast<size_t>(charWidth_);
  return std::max(widestPainted_, static_cast<int>(std::min<size_t>(estimate, INT_MAX / 2)));
}

void TTextView::Resized() {
  RECT client{};
  GetClientRect(hwnd(), &client);
  clientWidth_ = client.right;
  clientHeight_ = client.bottom;
  model_.SetVisibleLines(static_cast<size_t>(std::max(clientHeight_ / lineHeight_, 1)));
  Changed(false);
}

void TTextView::Changed(bool caretIntoView) {
  if (hwnd() == nullptr) return;
  if (caretIntoView) {
    model_.ScrollCaretIntoView();
    const TextPosition at = model_.PositionOf(model_.Caret());
    MeasureDc m(hwnd(), font_);
    const std::wstring_view line = model_.Line(at.line);
    widestPainted_ = std::max(widestPainted_, Extent(m.dc(), line, line.size()));
    const int x = Extent(m.dc(), line, at.column);  // from the text's left edge
    const int room = std::max(clientWidth_ - 2 * kMargin, 1);
    if (x < xOffset_) {
      xOffset_ = std::max(0, x - room / 4);
    } else if (x > xOffset_ + room) {
      xOffset_ = x - room + room / 4;
    }
  }
  xOffset_ = std::max(0, std::min(xOffset_, TextWidth() + 2 * kMargin - clientWidth_));
  UpdateScrollBars();
  InvalidateRect(hwnd(), nullptr, FALSE);
  UpdateCaret();
}

void TTextView::UpdateScrollBars() {
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd(), GWL_STYLE));
  const BarState wanted[2] = {
      {static_cast<int>(std::min<size_t>(model_.LineCount() - 1, INT_MAX)),
       static_cast<UINT>(model_.VisibleLines()), static_cast<int>(model_.FirstVisibleLine())},
      {TextWidth() + 2 * kMargin - 1, static_cast<UINT>(std::max(clientWidth_, 0)), xOffset_}};
  const int bars[2] = {SB_VERT, SB_HORZ};
  const DWORD styles[2] = {WS_VSCROLL, WS_HSCROLL};
  bool changed = false;
  for (int i = 0; i < 2; ++i) {
    BarState& set = bars_[i];
    if (!(style & styles[i])) {
      set = BarState{};  // hidden: set whole when shown again
      continue;
    }
    const BarState& w = wanted[i];
    if (w.max == set.max && w.page == set.page && w.pos == set.pos) continue;
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
    si.nMax = w.max;
    si.nPage = w.page;
    si.nPos = w.pos;
    // Drawn with the next paint of the frame: a text set several times in a
    // row draws its bars once.
    SetScrollInfo(hwnd(), bars[i], &si, FALSE);
    set = w;
    changed = true;
  }
  if (changed) RedrawWindow(hwnd(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
}

int TTextView::ColumnX(HDC dc, size_t line, size_t column) const {
  return kMargin - xOffset_ + Extent(dc, model_.Line(line), column);
}

void TTextView::UpdateCaret() {
  if (!hasCaret_) return;
  const TextPosition at = model_.PositionOf(model_.Caret());
  const size_t first = model_.FirstVisibleLine();
  if (at.line < first || at.line - first > static_cast<size_t>(clientHeight_ / lineHeight_)) {
    SetCaretPos(-1000, -1000);  // scrolled out of sight
    return;
  }
  MeasureDc m(hwnd(), font_);
  SetCaretPos(ColumnX(m.dc(), at.line, at.column), static_cast<int>(at.line - first) * lineHeight_);
}

void TTextView::PaintTo(HDC dc, int width, int height) {
  HGDIOBJ oldFont = SelectObject(dc, font_ ? font_ : GetStockObject(SYSTEM_FONT));
  HWND parent = hwnd() != nullptr ? GetParent(hwnd()) : nullptr;
  HBRUSH back = nullptr;
  if (parent != nullptr) {
    back = reinterpret_cast<HBRUSH>(SendMessageW(
        parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd())));
  }
  if (back == nullptr) {
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_3DFACE));
    back = GetSysColorBrush(COLOR_3DFACE);
  }
  const COLORREF textColour = hwnd() != nullptr && !IsWindowEnabled(hwnd())
                                  ? GetSysColor(COLOR_GRAYTEXT)
                                  : GetTextColor(dc);
  const COLORREF backColour = GetBkColor(dc);
  const COLORREF selTextColour = GetSysColor(COLOR_HIGHLIGHTTEXT);
  const COLORREF selBackColour = GetSysColor(COLOR_HIGHLIGHT);
  const size_t selStart = model_.SelectionStart();
  const size_t selEnd = model_.SelectionEnd();
  const int x0 = kMargin - xOffset_;
  int y = 0;
  for (size_t line = model_.FirstVisibleLine(); line < model_.LineCount() && y < height;
       ++line, y += lineHeight_) {
    const std::wstring_view s = model_.Line(line);
    const int count = static_cast<int>(std::min<size_t>(s.size(), INT_MAX));
    // Only the characters up to the right edge are drawn.
    int fit = 0;
    SIZE size{};
    GetTextExtentExPointW(dc, s.data(), count, std::max(width - x0, 0), &fit, nullptr, &size);
    fit = std::min(count, fit + 1);
    widestPainted_ = std::max<int>(widestPainted_, size.cx);
    const RECT row{0, y, width, y + lineHeight_};
    SetTextColor(dc, textColour);
    SetBkColor(dc, backColour);
    ExtTextOutW(dc, x0, y, ETO_OPAQUE | ETO_CLIPPED, &row, s.data(), static_cast<UINT>(fit),
                nullptr);
    const size_t start = model_.LineStart(line);
    const size_t end = start + s.size();
    const size_t a = std::max(selStart, start);
    const size_t b = std::min(selEnd, end);
    // A selected line end shows as one selected blank after the line.
    const bool endSelected = selStart <= end && selEnd > end;
    if (a >= b && !endSelected) continue;
    RECT selected = row;
    selected.left = std::max<LONG>(0, x0 + (a < b ? Extent(dc, s, a - start) : size.cx));
    selected.right = std::min<LONG>(
        width, x0 + (b > a ? Extent(dc, s, b - start) : size.cx) + (endSelected ? charWidth_ : 0));
    if (selected.left >= selected.right) continue;
    SetTextColor(dc, selTextColour);
    SetBkColor(dc, selBackColour);
    ExtTextOutW(dc, x0, y, ETO_OPAQUE | ETO_CLIPPED, &selected, s.data(), static_cast<UINT>(fit),
                nullptr);
  }
  if (y < height) {
    const RECT rest{0, y, width, height};
    FillRect(dc, &rest, back);
  }
  SelectObject(dc, oldFont);
}

void TTextView::ScrollLines(int64_t lines) {
  if (!model_.ScrollBy(lines)) return;
  UpdateScrollBars();
  InvalidateRect(hwnd(), nullptr, FALSE);
  UpdateCaret();
}

void TTextView::ScrollPixels(int dx) {
  xOffset_ = std::max(0, xOffset_ + dx);
  Changed(false);
}

void TTextView::VerticalScroll(WORD code) {
  const auto page = static_cast<int64_t>(model_.VisibleLines());
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_TRACKPOS;
  switch (code) {
    case SB_LINEUP:
      ScrollLines(-1);
      break;
    case SB_LINEDOWN:
      ScrollLines(1);
      break;
    case SB_PAGEUP:
      ScrollLines(-page);
      break;
    case SB_PAGEDOWN:
      ScrollLines(page);
      break;
    case SB_TOP:
      ScrollLines(-static_cast<int64_t>(model_.LineCount()));
      break;
    case SB_BOTTOM:
      ScrollLines(static_cast<int64_t>(model_.LineCount()));
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      // The 32-bit position: the message carries only 16 bits of it.
      if (GetScrollInfo(hwnd(), SB_VERT, &si)) {
        ScrollLines(si.nTrackPos - static_cast<int64_t>(model_.FirstVisibleLine()));
      }
      break;
    default:
      break;
  }
}

void TTextView::HorizontalScroll(WORD code) {
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_TRACKPOS;
  switch (code) {
    case SB_LINELEFT:
      ScrollPixels(-charWidth_);
      break;
    case SB_LINERIGHT:
      ScrollPixels(charWidth_);
      break;
    case SB_PAGELEFT:
      ScrollPixels(-clientWidth_);
      break;
    case SB_PAGERIGHT:
      ScrollPixels(clientWidth_);
      break;
    case SB_LEFT:
      ScrollPixels(-xOffset_);
      break;
    case SB_RIGHT:
      ScrollPixels(INT_MAX / 2);
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      if (GetScrollInfo(hwnd(), SB_HORZ, &si)) ScrollPixels(si.nTrackPos - xOffset_);
      break;
    default:
      break;
  }
}

void TTextView::MouseWheel(int delta) {
  UINT perNotch = 3;
  SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &perNotch, 0);
  if (perNotch == 0) return;
  if (perNotch == WHEEL_PAGESCROLL) perNotch = static_cast<UINT>(model_.VisibleLines());
  wheelRest_ += delta;
  const int lines = wheelRest_ * static_cast<int>(perNotch) / WHEEL_DELTA;
  if (lines == 0) return;
  wheelRest_ -= lines * WHEEL_DELTA / static_cast<int>(perNotch);
  ScrollLines(-lines);
}

bool TTextView::KeyDown(WPARAM key) {
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  using Move = TextViewModel::Move;
  Move move;
  switch (key) {
    case VK_LEFT:
      move = Move::Left;
      break;
    case VK_RIGHT:
      move = Move::Right;
      break;
    case VK_UP:
    case VK_DOWN:
      if (ctrl) {  // Ctrl+Up and Ctrl+Down scroll and leave the caret
        ScrollLines(key == VK_UP ? -1 : 1);
        return true;
      }
      move = key == VK_UP ? Move::Up : Move::Down;
      break;
    case VK_HOME:
      move = ctrl ? Move::TextHome : Move::LineHome;
      break;
    case VK_END:
      move = ctrl ? Move::TextEnd : Move::LineEnd;
      break;
    case VK_PRIOR:
      move = Move::PageUp;
      break;
    case VK_NEXT:
      move = Move::PageDown;
      break;
    case 'A':
      if (!ctrl) return false;
      model_.SelectAll();
      Changed(false);
      return true;
    case 'C':
    case VK_INSERT:
      if (!ctrl) return false;
      Copy();
      return true;
    default:
      return false;
  }
  model_.MoveCaret(move, shift, model_.VisibleLines());
  Changed(true);
  return true;
}

size_t TTextView::OffsetAt(int x, int y) const {
  const int64_t row =
      y >= 0 ? y / lineHeight_ : -((-static_cast<int64_t>(y) + lineHeight_ - 1) / lineHeight_);
  const int64_t last = static_cast<int64_t>(model_.LineCount()) - 1;
  const auto line = static_cast<size_t>(
      std::max<int64_t>(0, std::min(static_cast<int64_t>(model_.FirstVisibleLine()) + row, last)));
  const std::wstring_view s = model_.Line(line);
  const int target = x - (kMargin - xOffset_);
  if (target <= 0 || s.empty()) return model_.LineStart(line);
  MeasureDc m(hwnd(), font_);
  int fit = 0;
  SIZE size{};
  GetTextExtentExPointW(m.dc(), s.data(), static_cast<int>(std::min<size_t>(s.size(), INT_MAX)),
                        target, &fit, nullptr, &size);
  auto column = static_cast<size_t>(std::max(fit, 0));
  if (column < s.size()) {
    // The nearer edge of the character under the point.
    const int left = Extent(m.dc(), s, column);
    const int right = Extent(m.dc(), s, column + 1);
    if (target - left > right - target) ++column;
  }
  return model_.LineStart(line) + column;
}

void TTextView::MouseDown(int x, int y, bool extend) {
  if (GetFocus() != hwnd()) SetFocus(hwnd());
  const size_t at = OffsetAt(x, y);
  model_.Select(extend ? model_.Anchor() : at, at);
  dragging_ = true;
  dragPoint_ = {x, y};
  SetCapture(hwnd());
  SetTimer(hwnd(), kDragTimer, 50, nullptr);
  Changed(true);
}

void TTextView::MouseDrag(int x, int y) {
  dragPoint_ = {x, y};
  model_.Select(model_.Anchor(), OffsetAt(x, y));
  Changed(true);
}

void TTextView::Copy() {
  const std::wstring text = model_.SelectedText();
  if (text.empty() || !OpenClipboard(hwnd())) return;
  EmptyClipboard();
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  void* p = memory != nullptr ? GlobalLock(memory) : nullptr;
  if (p != nullptr) {
    std::memcpy(p, text.c_str(), bytes);
    GlobalUnlock(memory);
    if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) GlobalFree(memory);
  } else if (memory != nullptr) {
    GlobalFree(memory);
  }
  CloseClipboard();
}

void TTextView::ShowContextMenu(int x, int y) {
  if (GetFocus() != hwnd()) SetFocus(hwnd());
  if (x == -1 && y == -1) {  // from the keyboard: at the caret
    POINT caret{};
    GetCaretPos(&caret);
    if (!hasCaret_ || caret.x < 0) caret = {clientWidth_ / 2, clientHeight_ / 2};
    ClientToScreen(hwnd(), &caret);
    x = caret.x;
    y = caret.y + lineHeight_;
  }
  HMENU menu = CreatePopupMenu();
  if (menu == nullptr) return;
  const bool none = model_.SelectionStart() == model_.SelectionEnd();
  AppendMenuW(menu, MF_STRING | (none ? MF_GRAYED : 0u), kCopyCommand, L"&Copy");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, kSelectAllCommand, L"Select &All");
  const UINT command = static_cast<UINT>(TrackPopupMenu(
      menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, x, y, 0, hwnd(), nullptr));
  DestroyMenu(menu);
  if (command == kCopyCommand) Copy();
  if (command == kSelectAllCommand) {
    model_.SelectAll();
    Changed(false);
  }
}

LRESULT TTextView::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE: {
      const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      SetFont(nullptr, false);
      if (cs->lpszName != nullptr && !IS_INTRESOURCE(cs->lpszName)) SetText(cs->lpszName);
      return 0;
    }
    case WM_SIZE:
      Resized();
      return 0;
    case WM_PAINT: {
      const int widest = widestPainted_;
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd(), &ps);
      PaintTo(dc, clientWidth_, clientHeight_);
      EndPaint(hwnd(), &ps);
      if (widestPainted_ > widest) UpdateScrollBars();
      return 0;
    }
    case WM_PRINTCLIENT:
      PaintTo(reinterpret_cast<HDC>(wParam), clientWidth_, clientHeight_);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // every pixel is painted in WM_PAINT
    case WM_SETTEXT:
      SetText(reinterpret_cast<const wchar_t*>(lParam));
      return TRUE;
    case WM_GETTEXT: {
      if (wParam == 0 || lParam == 0) return 0;
      const size_t n = std::min<size_t>(model_.Length(), wParam - 1);
      auto* out = reinterpret_cast<wchar_t*>(lParam);
      std::wmemcpy(out, model_.Text().data(), n);
      out[n] = L'\0';
      return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(model_.Length());
    case WM_SETFONT:
      SetFont(reinterpret_cast<HFONT>(wParam), LOWORD(lParam) != 0);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_COPY:
      Copy();
      return 0;
    case EM_GETSEL: {
      const auto start = static_cast<DWORD>(model_.SelectionStart());
      const auto end = static_cast<DWORD>(model_.SelectionEnd());
      if (wParam != 0) *reinterpret_cast<DWORD*>(wParam) = start;
      if (lParam != 0) *reinterpret_cast<DWORD*>(lParam) = end;
      return start > 0xFFFF || end > 0xFFFF ? -1 : static_cast<LRESULT>(MAKELONG(start, end));
    }
    case EM_SETSEL: {
      // -1 as the start keeps only the caret; -1 (or past the end) as the end is the end.
      const auto start = static_cast<DWORD>(wParam);
      const auto end = static_cast<DWORD>(lParam);
      if (start == static_cast<DWORD>(-1)) {
        model_.Select(model_.Caret(), model_.Caret());
      } else {
        model_.Select(start, end);
      }
      Changed(false);
      return 0;
    }
    case EM_GETFIRSTVISIBLELINE:
      return static_cast<LRESULT>(model_.FirstVisibleLine());
    case EM_LINESCROLL:
      if (static_cast<int>(wParam) != 0) ScrollPixels(static_cast<int>(wParam) * charWidth_);
      ScrollLines(static_cast<int>(lParam));
      return TRUE;
    case EM_GETLINECOUNT:
      return static_cast<LRESULT>(model_.LineCount());
    case EM_LINEINDEX: {
      const size_t line = static_cast<int>(wParam) < 0 ? model_.LineOf(model_.Caret()) : wParam;
      return line < model_.LineCount() ? static_cast<LRESULT>(model_.LineStart(line)) : -1;
    }
    case EM_LINELENGTH:
    case EM_LINEFROMCHAR: {
      const size_t at = static_cast<int>(wParam) < 0 ? model_.Caret() : wParam;
      const size_t line = model_.PositionOf(at).line;
      return static_cast<LRESULT>(msg == EM_LINEFROMCHAR ? line : model_.LineLength(line));
    }
    case EM_SCROLLCARET:
      Changed(true);
      return TRUE;
    case EM_SETLIMITTEXT:
    case EM_SETREADONLY:
      return TRUE;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
      if (KeyDown(wParam)) return 0;
      break;
    case WM_CHAR:
      return 0;  // read-only: typed characters change nothing
    case WM_SETFOCUS:
      CreateCaret(hwnd(), nullptr, 1, lineHeight_);
      hasCaret_ = true;
      UpdateCaret();
      ShowCaret(hwnd());
      return 0;
    case WM_KILLFOCUS:
      hasCaret_ = false;
      DestroyCaret();
      return 0;
    case WM_LBUTTONDOWN:
      MouseDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), (wParam & MK_SHIFT) != 0);
      return 0;
    case WM_LBUTTONDBLCLK:
      model_.SelectWordAt(OffsetAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
      Changed(true);
      return 0;
    case WM_MOUSEMOVE:
      if (dragging_) MouseDrag(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_TIMER:
      // While a drag is outside the view, keep scrolling towards the pointer.
      if (wParam == kDragTimer && dragging_ &&
          (dragPoint_.y < 0 || dragPoint_.y >= clientHeight_ || dragPoint_.x < 0 ||
           dragPoint_.x >= clientWidth_)) {
        MouseDrag(dragPoint_.x, dragPoint_.y);
      }
      return 0;
    case WM_LBUTTONUP:
      if (dragging_) ReleaseCapture();
      return 0;
    case WM_CAPTURECHANGED:
      dragging_ = false;
      KillTimer(hwnd(), kDragTimer);
      return 0;
    case WM_MOUSEWHEEL:
      MouseWheel(GET_WHEEL_DELTA_WPARAM(wParam));
      return 0;
    case WM_VSCROLL:
      VerticalScroll(LOWORD(wParam));
      return 0;
    case WM_HSCROLL:
      HorizontalScroll(LOWORD(wParam));
      return 0;
    case WM_CONTEXTMENU:
      ShowContextMenu(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT) {
        SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32513)));  // IDC_IBEAM
        return TRUE;
      }
      break;
    case WM_ENABLE:
      InvalidateRect(hwnd(), nullptr, FALSE);
      return 0;
    default:
      break;
  }
  return Default(msg, wParam, lParam);
}

}  // namespace ov
