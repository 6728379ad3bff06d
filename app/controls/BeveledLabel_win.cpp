#include "app/controls/BeveledLabel_win.h"

#include <string>

namespace ov {

namespace {

Window* MakeLabel() {
  return new TBeveledLabel;
}

std::wstring TextOf(HWND hwnd) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace

COLORREF ResolveColour(uint32_t colour) {
  return (colour >> 24) == 0xFF ? GetSysColor(static_cast<int>(colour & 0xFF)) : colour & 0xFFFFFF;
}

bool TBeveledLabel::Register() {
  return RegisterSelfOwnedClass(kClassName, MakeLabel, CS_HREDRAW | CS_VREDRAW, nullptr);
}

TBeveledLabel* TBeveledLabel::From(HWND hwnd) {
  wchar_t cls[32] = {};
  GetClassNameW(hwnd, cls, 32);
  if (std::wstring(cls) != kClassName) return nullptr;
  return static_cast<TBeveledLabel*>(Window::FromHandle(hwnd));
}

bool TBeveledLabel::Create(HWND parent, UINT id, int x, int y, int width, int height,
                           const wchar_t* text) {
  if (!Register()) return false;
  return Window::Create(kClassName, text, WS_CHILD | WS_VISIBLE, 0, x, y, width, height, parent,
                        id);
}

void TBeveledLabel::SetBevelStyle(BevelStyle s) {
  bevelStyle_ = s;
  Changed(true);
}
void TBeveledLabel::SetBorderColor(uint32_t c) {
  borderColor_ = c;
  Changed(false);
}
void TBeveledLabel::SetColor(uint32_t c) {
  color_ = c;
  Changed(false);
}
void TBeveledLabel::SetFontColor(uint32_t c) {
  fontColor_ = c;
  Changed(false);
}
void TBeveledLabel::SetAlignment(UINT a) {
  alignment_ = a;
  Changed(false);
}
void TBeveledLabel::SetWordWrap(bool on) {
  wordWrap_ = on;
  Changed(true);
}
void TBeveledLabel::SetLayout(TextLayout l) {
  layout_ = l;
  Changed(false);
}
void TBeveledLabel::SetTransparent(bool on) {
  transparent_ = on;
  Changed(false);
}
void TBeveledLabel::SetAutoSize(bool on) {
  autoSize_ = on;
  Changed(true);
}

void TBeveledLabel::Changed(bool resize) {
  if (hwnd() == nullptr) return;
  if (resize) AdjustSize();
  InvalidateRect(hwnd(), nullptr, TRUE);
}

UINT TBeveledLabel::TextFormat() const {
  return alignment_ | (wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE) | DT_NOPREFIX;
}

void TBeveledLabel::AdjustSize() {
  if (!autoSize_ || hwnd() == nullptr) return;
  HDC dc = GetDC(hwnd());
  HGDIOBJ old = SelectObject(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
  RECT r{0, 0, 0, 0};
  const std::wstring text = TextOf(hwnd());
  DrawTextW(dc, text.c_str(), -1, &r, (TextFormat() & ~DT_WORDBREAK) | DT_SINGLELINE | DT_CALCRECT);
  SelectObject(dc, old);
  ReleaseDC(hwnd(), dc);
  const int inset = PlanBevel(bevelStyle_, borderColor_).inset;
  SetWindowPos(hwnd(), nullptr, 0, 0, r.right + 2 * inset, r.bottom + 2 * inset,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TBeveledLabel::PaintTo(HDC dc, int width, int height) {
  const BevelPlan plan = PlanBevel(bevelStyle_, borderColor_);
  RECT text{plan.inset, plan.inset, width - plan.inset, height - plan.inset};
  if (!transparent_) {
    HBRUSH fill = CreateSolidBrush(ResolveColour(color_));
    FillRect(dc, &text, fill);
    DeleteObject(fill);
  }
  const std::wstring caption = hwnd() ? TextOf(hwnd()) : std::wstring();
  HGDIOBJ oldFont = SelectObject(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColour = SetTextColor(dc, ResolveColour(fontColor_));
  RECT target = text;
  if (layout_ != TextLayout::Top) {
    RECT measure = text;
    DrawTextW(dc, caption.c_str(), -1, &measure, TextFormat() | DT_CALCRECT);
    target.top = TextTop(layout_, text.top, text.bottom - text.top, measure.bottom - measure.top);
  }
  DrawTextW(dc, caption.c_str(), -1, &target, TextFormat());
  SetTextColor(dc, oldColour);
  SetBkMode(dc, oldMode);
  SelectObject(dc, oldFont);

  for (int ring = 0; ring < plan.bevels; ++ring) {
    BevelPoint a[3], b[3];
    BevelLines(width, height, ring, a, b);
    const uint32_t colours[2] = {plan.colourA, plan.colourB};
    const BevelPoint* lines[2] = {a, b};
    for (int i = 0; i < 2; ++i) {
      HPEN pen = CreatePen(PS_SOLID, 1, ResolveColour(colours[i]));
      HGDIOBJ oldPen = SelectObject(dc, pen);
      POINT p[3] = {{lines[i][0].x, lines[i][0].y},
                    {lines[i][1].x, lines[i][1].y},
                    {lines[i][2].x, lines[i][2].y}};
      Polyline(dc, p, 3);
      SelectObject(dc, oldPen);
      DeleteObject(pen);
    }
  }
}

LRESULT TBeveledLabel::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd(), &ps);
      RECT client;
      GetClientRect(hwnd(), &client);
      PaintTo(dc, client.right, client.bottom);
      EndPaint(hwnd(), &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;  // painted whole in WM_PAINT
    case WM_SETTEXT: {
      LRESULT r = Default(msg, wParam, lParam);
      Changed(true);
      return r;
    }
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) Changed(true);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    default:
      return Default(msg, wParam, lParam);
  }
}

}  // namespace ov
