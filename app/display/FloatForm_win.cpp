#include "app/display/FloatForm_win.h"

namespace ov {

namespace {

constexpr wchar_t kClassName[] = L"OvFloatForm";
constexpr int kCorner = 6;

void Widen(const char* text, wchar_t (&out)[64]) {
  size_t i = 0;
  for (; text && text[i] && i + 1 < 64; ++i) out[i] = static_cast<unsigned char>(text[i]);
  out[i] = 0;
}

}  // namespace

FloatForm::FloatForm(HWND owner, HFONT font) : owner_(owner), font_(font) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = &FloatForm::Proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kClassName;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.hbrBackground = GetSysColorBrush(COLOR_INFOBK);
  RegisterClassW(&wc);  // fails harmlessly when already registered
  window_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kClassName, L"", WS_POPUP, 0, 0,
                            10, 10, owner, nullptr, wc.hInstance, this);
}

FloatForm::~FloatForm() {
  if (window_) DestroyWindow(window_);
}

LRESULT CALLBACK FloatForm::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<FloatForm*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->window_ = hwnd;
  }
  auto* self = reinterpret_cast<FloatForm*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self) return self->Handle(msg, wParam, lParam);
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT FloatForm::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window_, &ps);
      PaintReadout(dc);
      EndPaint(window_, &ps);
      return 0;
    }
    case WM_KEYDOWN:
      PostMessageW(owner_, WM_KEYDOWN, wParam, lParam);
      return 0;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_NCDESTROY:
      SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
      window_ = nullptr;
      break;
  }
  return DefWindowProcW(window_, msg, wParam, lParam);
}

SIZE FloatForm::TextSize(const wchar_t* text) const {
  SIZE size{0, 0};
  HDC dc = GetDC(window_);
  HGDIOBJ old = SelectObject(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
  GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
  SelectObject(dc, old);
  ReleaseDC(window_, dc);
  return size;
}

void FloatForm::ShowReadout(const char* line1, const char* line2, bool underline, HWND plotControl,
                            const RECT& plot, POINT mouse) {
  if (!window_) return;
  Widen(line1, line1_);
  Widen(line2, line2_);
  twoLines_ = line2 != nullptr;
  underline_ = underline;
  const SIZE s1 = TextSize(line1_);
  const SIZE s2 = twoLines_ ? TextSize(line2_) : SIZE{0, 0};
  const int width = (s1.cx > s2.cx ? s1.cx : s2.cx) + 8;
  const int height = (twoLines_ ? 2 * s1.cy : s1.cy) + 8;
  POINT at;
  GetCursorPos(&at);
  at.x += 10;
  at.y += 10;
  // Keep the readout on the plot's side of the pointer near its edges.
  const int plotWidth = plot.right - plot.left, plotHeight = plot.bottom - plot.top;
  if (plotWidth < mouse.x + width + 10) at.x = at.x - 10 - width - 5;
  if (plotHeight < mouse.y + height) at.y -= height + 15;
  (void)plotControl;
  SetWindowPos(window_, HWND_TOPMOST, at.x, at.y, width, height, SWP_NOACTIVATE);
  SetWindowRgn(window_, CreateRoundRectRgn(0, 0, width + 1, height + 1, kCorner, kCorner), TRUE);
  InvalidateRect(window_, nullptr, TRUE);
  ShowWindow(window_, SW_SHOWNOACTIVATE);
  UpdateWindow(window_);
}

void FloatForm::Hide() {
  if (window_) ShowWindow(window_, SW_HIDE);
}

void FloatForm::PaintReadout(HDC dc) {
  RECT r;
  GetClientRect(window_, &r);
  HGDIOBJ oldFont = SelectObject(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
  HGDIOBJ oldBrush = SelectObject(dc, GetSysColorBrush(COLOR_INFOBK));
  RoundRect(dc, 0, 0, r.right, r.bottom, kCorner, kCorner);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
  const SIZE s1 = TextSize(line1_);
  TextOutW(dc, 4, 3, line1_, lstrlenW(line1_));
  if (twoLines_) TextOutW(dc, 4, s1.cy + 4, line2_, lstrlenW(line2_));
  if (underline_) {
    HPEN dotted = CreatePen(PS_DOT, 0, GetSysColor(COLOR_INFOTEXT));
    SelectObject(dc, dotted);
    const int lines = twoLines_ ? 2 : 1;
    for (int i = 0; i < lines; ++i) {
      const wchar_t* text = i == 0 ? line1_ : line2_;
      const int y = 3 + (i + 1) * s1.cy + i;
      MoveToEx(dc, 5, y, nullptr);
      LineTo(dc, TextSize(text).cx + 4, y);
    }
    SelectObject(dc, GetStockObject(BLACK_PEN));
    DeleteObject(dotted);
  }
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldFont);
}

}  // namespace ov
