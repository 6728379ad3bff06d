// The text view window read back as a program and a user meet it: its text,
// selection and clipboard through the edit box messages, scrolling and
// clamping, the keys and the mouse, and the pixels of a 65 537-line text
// scrolled to its end.
#include "app/controls/TextView_win.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "app/controls/ControlsWinTestSupport.h"

namespace ov {
namespace {

// A view in a shown host window, in a font of the given face.
struct Host {
  HWND hwnd = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  HFONT font = nullptr;
  TTextView view;
  explicit Host(const wchar_t* face = L"Courier New") {
    font = CreateFontW(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, face);
    view.Create(hwnd, 7, 0, 0, 360, 200);
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    SendMessageW(view.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  ~Host() {
    DestroyWindow(hwnd);
    DeleteObject(font);
  }
  LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) {
    return SendMessageW(view.hwnd(), msg, w, l);
  }
  void SetText(const std::wstring& text) {
    Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  std::wstring Text() {
    std::wstring text(static_cast<size_t>(Send(WM_GETTEXTLENGTH)) + 1, L'\0');
    text.resize(static_cast<size_t>(Send(WM_GETTEXT, text.size(), (LPARAM)text.data())));
    return text;
  }
  std::pair<DWORD, DWORD> Selection() {
    DWORD a = 0, b = 0;
    Send(EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    return {a, b};
  }
  // A key with Shift and Ctrl held as asked, through the thread's key state.
  void Key(WPARAM key, bool shift = false, bool ctrl = false) {
    BYTE state[256] = {};
    GetKeyboardState(state);
    state[VK_SHIFT] = shift ? 0x80 : 0;
    state[VK_CONTROL] = ctrl ? 0x80 : 0;
    SetKeyboardState(state);
    Send(WM_KEYDOWN, key, 1);
    state[VK_SHIFT] = state[VK_CONTROL] = 0;
    SetKeyboardState(state);
  }
  // The x of a text's end in the view's font, from the client's left edge.
  int XAfter(const std::wstring& text) {
    HDC dc = GetDC(view.hwnd());
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(view.hwnd(), dc);
    return 2 + size.cx;  // the view's left margin
  }
};

std::wstring ClipboardText(HWND owner) {
  std::wstring text;
  if (!OpenClipboard(owner)) return L"<clipboard not opened>";
  if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* p = static_cast<const wchar_t*>(GlobalLock(h))) {
      text = p;
      GlobalUnlock(h);
    }
  }
  CloseClipboard();
  return text;
}

// The client area of a window painted through WM_PRINTCLIENT.
class Shot : public test::Dib {
 public:
  explicit Shot(HWND hwnd) : Shot(hwnd, ClientRect(hwnd)) {}

 private:
  Shot(HWND hwnd, const RECT& client) : Dib(client.right, client.bottom) {
    SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc()), PRF_CLIENT);
  }
  static RECT ClientRect(HWND hwnd) {
    RECT r{};
    GetClientRect(hwnd, &r);
    return r;
  }
};

const std::wstring kMixed =
    L"RIFF \x30C7\x30FC\x30BF\x672B\x5C3E abc\r\n"
    L"\x65E5\x672C\x8A9E\x306E\x30C6\x30AD\x30B9\x30C8\nlast line";

TEST(TextView, TextLinesAndSelectionReadBackAsSet) {
  Host host;
  ASSERT_NE(host.view.hwnd(), nullptr);
  host.SetText(kMixed);
  EXPECT_EQ(host.Text(), kMixed);
  EXPECT_EQ(host.Send(WM_GETTEXTLENGTH), static_cast<LRESULT>(kMixed.size()));
  wchar_t small[6] = {};
  EXPECT_EQ(host.Send(WM_GETTEXT, 6, reinterpret_cast<LPARAM>(small)), 5);
  EXPECT_EQ(std::wstring(small), L"RIFF ");
  EXPECT_EQ(host.Send(EM_GETLINECOUNT), 3);
  EXPECT_EQ(host.Send(EM_LINEINDEX, 1), 16);
  EXPECT_EQ(host.Send(EM_LINEINDEX, 2), 25);
  EXPECT_EQ(host.Send(EM_LINEINDEX, 3), -1);
  EXPECT_EQ(host.Send(EM_LINEFROMCHAR, 15), 0);  // between "\r" and "\n"
  EXPECT_EQ(host.Send(EM_LINEFROMCHAR, 20), 1);
  EXPECT_EQ(host.Send(EM_LINELENGTH, 27), 9);
  EXPECT_EQ(reinterpret_cast<HFONT>(host.Send(WM_GETFONT)), host.font);

  // The selection and the clipboard, line end included.
  host.Send(EM_SETSEL, 5, 20);
  EXPECT_EQ(host.Selection(), std::make_pair(DWORD{5}, DWORD{20}));
  EXPECT_EQ(host.Send(EM_GETSEL), MAKELONG(5, 20));
  host.Send(WM_COPY);
  EXPECT_EQ(ClipboardText(host.view.hwnd()), kMixed.substr(5, 15));
  host.Send(EM_SETSEL, 30, 3);  // backwards: the caret at 3
  EXPECT_EQ(host.Selection(), std::make_pair(DWORD{3}, DWORD{30}));
  host.Send(EM_SETSEL, static_cast<WPARAM>(-1), 0);
  EXPECT_EQ(host.Selection(), std::make_pair(DWORD{3}, DWORD{3}));
  host.Send(EM_SETSEL, 0, static_cast<LPARAM>(-1));
  EXPECT_EQ(host.Selection(), std::make_pair(DWORD{0}, static_cast<DWORD>(kMixed.size())));
  host.Key('C', false, true);
  EXPECT_EQ(ClipboardText(host.view.hwnd()), kMixed);

  // Typing changes nothing; a new text starts with the caret at its start.
  host.Send(WM_CHAR, L'x', 1);
  EXPECT_EQ(host.Text(), kMixed);
  host.Send(EM_SETLIMITTEXT, 10);
  host.SetText(L"next");
  EXPECT_EQ(host.Text(), L"next");
  EXPECT_EQ(host.Selection(), std::make_pair(DWORD{0}, DWORD{0}));
  host.Send(WM_SETTEXT, 0, 0);
  EXPECT_EQ(host.Send(WM_GETTEXTLENGTH), 0);
}

TEST(TextView, ScrollingStopsAtTheEndsAndKeysMoveTheCaret) {
  Host host;
  std::wstring text;
  for (int i = 0; i < 100; ++i) text += L"line " + std::to_wstring(1000 + i) + L" of text\r\n";
  host.SetText(text);  // 101 lines, the last empty
  RECT client{};
  GetClientRect(host.view.hwnd(), &client);
  const int visible = client.bottom / host.view.LineHeight();
  ASSERT_GT(visible, 3);
  ASSERT_LT(visible, 40);
  EXPECT_EQ(host.Send(EM_GETFIRSTVISIBLELINE), 0);
  host.Send(EM_LINESCROLL, 0, 10);
  EXPECT_EQ(host.Send(EM_GETFIRSTVISIBLELINE), 10);
  host.Send(EM_LINESCROLL, 0, 1000);
  EXPECT_LE(host.Send(EM_GETFIRSTVISIBLELINE), 101 - visible);
  EXPECT_GE(host.Send(EM_GETFIRSTVISIBLELINE), 100 - visible);
  host.Send(EM_LINESCROLL, 0, -1000);
  EXPECT_EQ(host.Send(EM_GETFIRSTVISIBLELINE), 0);
  SCROLLINFO si{sizeof(si), SIF_ALL, 0, 0, 0, 0, 0};
  ASSERT_TRUE(GetScrollInfo(host.view.hwnd(), SB_VERT, &si));
  EXPECT_EQ(si.nMax, 100);

  // Each line is 17 characters and its "\r\n".
  host.Send(EM_SETSEL, 4, 4);
  host.Key(VK_DOWN);
  EXPECT_EQ(host.Selection(), std::make_pair(DWORD{23}, DWORD{23}));
  host.Key(VK_END, true);
  EXPECT_EQ(host.Selection(), std::make_pair(DWORD{23}, DWORD{36}));
  host.Key(VK_RIGHT, true);  // over the line end
  EXPECT_EQ(host.Selection(), std::make_pair(DWORD{23}, DWORD{38}));
  host.Key(VK_HOME);
  EXPECT_EQ(host.Selection(), std::make_pair(DWORD{38}, DWORD{38}));
  host.Key(VK_END, false, true);  // Ctrl+End: the end, scrolled into sight
  EXPECT_EQ(host.Selection().first, static_cast<DWORD>(text.size()));
  EXPECT_GE(host.Send(EM_GETFIRSTVISIBLELINE), 100 - visible);
  host.Key(VK_PRIOR, true);
  EXPECT_EQ(host.Send(EM_LINEFROMCHAR, host.Selection().first), 100 - visible);
  EXPECT_EQ(host.Selection().second, static_cast<DWORD>(text.size()));
  host.Key(VK_HOME, false, true);
  EXPECT_EQ(host.Selection(), std::make_pair(DWORD{0}, DWORD{0}));
  EXPECT_EQ(host.Send(EM_GETFIRSTVISIBLELINE), 0);
  host.Key('A', false, true);
  EXPECT_EQ(host.Selection(), std::make_pair(DWORD{0}, static_cast<DWORD>(text.size())));

  // The bar and the wheel scroll the view and leave the caret.
  host.Send(WM_VSCROLL, SB_PAGEDOWN);
  EXPECT_EQ(host.Send(EM_GETFIRSTVISIBLELINE), visible);
  host.Send(WM_VSCROLL, SB_LINEUP);
  EXPECT_EQ(host.Send(EM_GETFIRSTVISIBLELINE), visible - 1);
  UINT perNotch = 3;
  SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &perNotch, 0);
  if (perNotch > 0 && perNotch < 10) {
    host.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)));
    EXPECT_EQ(host.Send(EM_GETFIRSTVISIBLELINE), visible - 1 + static_cast<int>(perNotch));
  }
  host.Send(WM_VSCROLL, SB_BOTTOM);
  EXPECT_EQ(host.Send(EM_GETFIRSTVISIBLELINE), 101 - visible);
  EXPECT_EQ(host.Selection(), std::make_pair(DWORD{0}, static_cast<DWORD>(text.size())));
  host.Send(WM_VSCROLL, SB_TOP);

  // EM_SCROLLCARET brings a far caret into sight.
  host.Send(EM_SETSEL, 19 * 60, 19 * 60);
  EXPECT_EQ(host.Send(EM_GETFIRSTVISIBLELINE), 0);
  host.Send(EM_SCROLLCARET);
  EXPECT_EQ(host.Send(EM_GETFIRSTVISIBLELINE), 61 - visible);

  // A bar its owner hides stays hidden through new texts; shown, it takes the text's width.
  ShowScrollBar(host.view.hwnd(), SB_HORZ, FALSE);
  host.SetText(std::wstring(500, L'w'));
  EXPECT_EQ(GetWindowLongPtrW(host.view.hwnd(), GWL_STYLE) & WS_HSCROLL, 0);
  host.Key(VK_END);  // the view still follows the caret sideways
  EXPECT_GT(host.view.HorizontalOffset(), 0);
  ShowScrollBar(host.view.hwnd(), SB_HORZ, TRUE);
  ASSERT_TRUE(GetScrollInfo(host.view.hwnd(), SB_HORZ, &si));
  EXPECT_GT(si.nMax, 500 * 4);
  EXPECT_EQ(si.nPos, host.view.HorizontalOffset());
}

TEST(TextView, TheMouseSelectsByClickShiftClickDragAndDoubleClick) {
  Host host;
  const std::wstring line = L"0000: 52 49 46 46 |RIFF|";
  host.SetText(line + L"\r\n" + line + L"\r\n" + line);
  const int h = host.view.LineHeight();
  const auto at = [](int x, int y) { return static_cast<LPARAM>(MAKELONG(x, y)); };
  // The middle of the 7th character of the second line: the caret goes to
  // its nearer edge.
  const int x6 = host.XAfter(line.substr(0, 6)), x7 = host.XAfter(line.substr(0, 7));
  host.Send(WM_LBUTTONDOWN, MK_LBUTTON, at(x6 + (x7 - x6) / 4, h + h / 2));
  host.Send(WM_LBUTTONUP, 0, at(x6 + 1, h + h / 2));
  EXPECT_EQ(host.Selection(), std::make_pair(DWORD{32}, DWORD{32}));
  EXPECT_EQ(GetFocus(), host.view.hwnd());
  host.Send(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, at(1, h * 2 + 2));
  host.Send(WM_LBUTTONUP, 0, at(1, h * 2 + 2));
  EXPECT_EQ(host.Selection(), std::make_pair(DWORD{32}, DWORD{52}));

  // A drag from the first line's start to past the second line's end.
  host.Send(WM_LBUTTONDOWN, MK_LBUTTON, at(0, 1));
  host.Send(WM_MOUSEMOVE, MK_LBUTTON, at(350, h + 1));
  EXPECT_EQ(host.Selection(), std::make_pair(DWORD{0}, DWORD{50}));
  host.Send(WM_LBUTTONUP, 0, at(350, h + 1));
  host.Send(WM_MOUSEMOVE, 0, at(1, 1));  // no longer dragging
  EXPECT_EQ(host.Selection(), std::make_pair(DWORD{0}, DWORD{50}));

  host.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, at(x7 + 1, h / 2));
  host.Send(WM_COPY);
  EXPECT_EQ(ClipboardText(host.view.hwnd()), L"52");

  // A drag held below the view keeps scrolling it and extending the selection.
  std::wstring many;
  for (int i = 0; i < 100; ++i) many += line + L"\r\n";
  host.SetText(many);
  RECT client{};
  GetClientRect(host.view.hwnd(), &client);
  // The pointer is put there too, so the moves the system reports agree.
  POINT below{10, client.bottom + h};
  ClientToScreen(host.view.hwnd(), &below);
  SetCursorPos(below.x, below.y);
  host.Send(WM_LBUTTONDOWN, MK_LBUTTON, at(1, 1));
  host.Send(WM_MOUSEMOVE, MK_LBUTTON, at(10, client.bottom + h));
  const LRESULT first = host.Send(EM_GETFIRSTVISIBLELINE);
  EXPECT_GE(first, 1);
  const DWORD deadline = GetTickCount() + 30000;
  while (host.Send(EM_GETFIRSTVISIBLELINE) < first + 3 && GetTickCount() < deadline) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(10);
  }
  const LRESULT later = host.Send(EM_GETFIRSTVISIBLELINE);
  EXPECT_GE(later, first + 3);
  EXPECT_EQ(host.Selection().first, 0u);
  EXPECT_GE(host.Send(EM_LINEFROMCHAR, host.Selection().second), later + client.bottom / h - 1);
  host.Send(WM_LBUTTONUP, 0, at(10, client.bottom + h));
  Sleep(200);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  EXPECT_EQ(host.Send(EM_GETFIRSTVISIBLELINE), later);  // released: no more scrolling
}

TEST(TextView, AText65537LinesLongPaintsItsLastLineWhereItIsShown) {
  Host host(L"Tahoma");  // characters of many widths
  std::wstring text;
  text.reserve(65536 * 28);
  wchar_t line[32];
  for (int i = 0; i < 65536; ++i) {
    std::swprintf(line, 32, L"%08X: %04X \x30C7\x30FC\x30BF\r\n", i * 16, i);
    text += line;
  }
  const std::wstring last =
      L"iW\x30C7\x30FC\x30BF"
      L"cdefgh end";
  text += last;
  host.SetText(text);
  EXPECT_EQ(host.Send(EM_GETLINECOUNT), 65537);
  const int h = host.view.LineHeight();
  RECT client{};
  GetClientRect(host.view.hwnd(), &client);
  const int visible = client.bottom / h;
  host.Send(EM_LINESCROLL, 0, 70000);
  const LRESULT first = host.Send(EM_GETFIRSTVISIBLELINE);
  EXPECT_EQ(first, 65537 - visible);
  SCROLLINFO si{sizeof(si), SIF_ALL, 0, 0, 0, 0, 0};
  ASSERT_TRUE(GetScrollInfo(host.view.hwnd(), SB_VERT, &si));
  EXPECT_EQ(si.nMax, 65536);  // 32-bit positions
  EXPECT_EQ(si.nPos, first);

  // "cdef" selected: after a narrow, a wide and three Japanese characters.
  const size_t start = text.size() - last.size();
  host.Send(EM_SETSEL, start + 5, start + 9);
  const Shot shot(host.view.hwnd());
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  const int top = (visible - 1) * h;
  const int left = host.XAfter(last.substr(0, 5)), right = host.XAfter(last.substr(0, 9));
  ASSERT_GT(right - left, 8);
  for (int x = 0; x < shot.width(); ++x) {
    const bool inside = x >= left && x < right;
    if (x == left - 1 || x == left || x == right - 1 || x == right) continue;  // the edges
    EXPECT_EQ(shot.ColumnHas(x, top, top + h, highlight), inside) << "x " << x;
    EXPECT_FALSE(shot.ColumnHas(x, 0, top, highlight)) << "x " << x;
  }
  // The selected characters are drawn in the highlight's text colour.
  bool textDrawn = false;
  for (int x = left + 1; x < right - 1 && !textDrawn; ++x) {
    textDrawn = shot.ColumnHas(x, top, top + h, GetSysColor(COLOR_HIGHLIGHTTEXT));
  }
  EXPECT_TRUE(textDrawn);
}

}  // namespace
}  // namespace ov
