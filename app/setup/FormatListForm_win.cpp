#include "app/setup/FormatListForm_win.h"

#include "app/common/Utf8.h"
#include "app/engine/WavePlayRec.h"
#include "app/setup/FormatListTexts.h"

namespace ov {
namespace {

constexpr wchar_t kClassName[] = L"TFormatListForm";
constexpr UINT kGridId = 101, kCloseId = 102;
constexpr int kCellWidth = 54, kCellHeight = 15;
// Posted once the window is shown: the probe runs when the window is active.
constexpr UINT kActivateProbe = WM_APP + 1;

std::wstring Wide(const std::string& utf8) {
  const std::u16string w = Utf8ToUtf16(utf8);
  return std::wstring(w.begin(), w.end());
}

}  // namespace

FormatListForm::FormatListForm(WavePlayRec& engine, const FormatListOptions& options)
    : engine_(engine), options_(options) {
  FormatGridSelection(options.currentRate, options.currentBits, selRate_, selWidth_);
}

FormatListForm::~FormatListForm() {
  if (hwnd()) DestroyWindow(hwnd());
}

bool FormatListForm::CreateForm(HWND owner) {
  owner_ = owner;
  if (!RegisterWindowClass(kClassName)) return false;
  using namespace format_list_text;
  const Language l = options_.language;
  const std::wstring title = Wide(std::string(options_.record ? kRecord.In(l) : kPlayback.In(l)) +
                                  kDeviceFormatList.In(l));
  const int gridW = kProbeWidths + 1, gridH = kProbeRates + 1;
  const int width = gridW * (kCellWidth + 1) + 1 + 16;
  const int height = 28 + gridH * (kCellHeight + 1) + 1 + 40;
  RECT r{0, 0, width, height};
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  AdjustWindowRectEx(&r, style, FALSE, WS_EX_DLGMODALFRAME);
  RECT ownerRect{0, 0, 640, 480};
  if (owner) GetWindowRect(owner, &ownerRect);
  const int x = ownerRect.left + (ownerRect.right - ownerRect.left - (r.right - r.left)) / 2;
  const int y = ownerRect.top + (ownerRect.bottom - ownerRect.top - (r.bottom - r.top)) / 2;
  if (!Create(kClassName, title.c_str(), style, WS_EX_DLGMODALFRAME, x, y, r.right - r.left,
              r.bottom - r.top, owner)) {
    return false;
  }
  font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  const std::wstring name = Wide(options_.deviceName);
  nameText_ = CreateWindowExW(0, L"STATIC", name.c_str(), WS_CHILD | WS_VISIBLE | SS_NOPREFIX, 8, 6,
                              width - 16, 16, hwnd(), nullptr, nullptr, nullptr);
  grid_.Create(hwnd(), kGridId, 8, 26, gridW, gridH, kCellWidth, kCellHeight);
  const int below = 26 + grid_.PixelHeight() + 8;
  commentText_ = CreateWindowExW(0, L"STATIC", Wide(kComment.In(l)).c_str(),
                                 WS_CHILD | WS_VISIBLE | SS_NOPREFIX, 8, below + 4, width - 100, 16,
                                 hwnd(), nullptr, nullptr, nullptr);
  closeButton_ = CreateWindowExW(
      0, L"BUTTON", Wide(kClose.In(l)).c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
      width - 84, below, 76, 24, hwnd(), reinterpret_cast<HMENU>(kCloseId), nullptr, nullptr);
  for (HWND h : {nameText_, commentText_, closeButton_}) {
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  }
  grid_.SetCell(0, 0, Wide(FormatGridCorner()));
  for (int w = 0; w < kProbeWidths; ++w) grid_.SetCell(w + 1, 0, Wide(FormatGridColumnLabel(w)));
  for (int i = 0; i < kProbeRates; ++i) grid_.SetCell(0, i + 1, Wide(FormatGridRowLabel(i)));
  ShowWindow(hwnd(), SW_SHOW);
  UpdateWindow(hwnd());
  return true;
}

void FormatListForm::ShowModal(HWND owner) {
  if (!CreateForm(owner)) return;
  if (owner) EnableWindow(owner, FALSE);
  PostMessageW(hwnd(), kActivateProbe, 0, 0);
  MSG msg;
  while (!closed_ && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
      CloseButtonClick();
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (!closed_) PostQuitMessage(static_cast<int>(msg.wParam));  // WM_QUIT ends the outer loop too
  if (owner) {
    EnableWindow(owner, TRUE);
    SetForegroundWindow(owner);
  }
  if (hwnd()) DestroyWindow(hwnd());
}

bool FormatListForm::PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      cancel_ = closeAfterProbe_ = true;
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
      CloseButtonClick();
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return true;
}

void FormatListForm::SetButtonText(const TwoLanguageText& text) {
  SetWindowTextW(closeButton_, Wide(text.In(options_.language)).c_str());
}

void FormatListForm::WriteCell(int rateIndex, int widthIndex) {
  grid_.SetCell(widthIndex + 1, rateIndex + 1,
                Wide(FormatCellText(table_.cells[rateIndex][widthIndex],
                                    table_.tried[rateIndex][widthIndex])));
}

void FormatListForm::RunProbe(bool queryOnly, bool allChannels) {
  PumpMessages();
  EnableWindow(grid_.hwnd(), FALSE);
  SetButtonText(format_list_text::kStop);
  probing_ = true;
  cancel_ = false;
  FormatProbeRequest request;
  request.input = options_.record;
  request.queryOnly = queryOnly;
  request.allChannels = allChannels;
  request.extraChannels = options_.extraChannels;
  table_ = FormatProbeTable{};
  table_ = engine_.ProbeFormats(options_.deviceNumber, request, [&](uint16_t cell, int r, int w) {
    table_.cells[r][w] = cell;
    table_.tried[r][w] = true;
    grid_.Select(w + 1, r + 1);
    WriteCell(r, w);
    UpdateWindow(grid_.hwnd());
    PumpMessages();
    return cancel_;
  });
  probing_ = false;
  if (!hwnd()) return;
  SetButtonText(format_list_text::kClose);
  for (int r = 0; r < kProbeRates; ++r) {
    for (int w = 0; w < kProbeWidths; ++w) WriteCell(r, w);
  }
  grid_.Select(selWidth_ + 1, selRate_ + 1);
  bool any = false;
  for (auto& row : table_.cells) {
    for (uint16_t c : row) any = any || (c & 0xFF);
  }
  if (options_.record || !any) {
    EnableWindow(grid_.hwnd(), TRUE);
    SetFocus(grid_.hwnd());
  }
  if (closeAfterProbe_) DestroyWindow(hwnd());
}

void FormatListForm::CloseButtonClick() {
  if (probing_) {
    cancel_ = true;
    return;
  }
  if (hwnd()) DestroyWindow(hwnd());
}

void FormatListForm::FormatListStringGridDblClick() {
  if (!options_.record || probing_) return;
  int rate = -1, width = -1;
  if (!FormatGridPick(grid_.ClickedColumn(), grid_.ClickedRow(), rate, width)) return;
  if (OnPick) OnPick(rate, width);
  if (hwnd()) DestroyWindow(hwnd());
}

void FormatListForm::Destroyed() {
  closed_ = true;
}

LRESULT FormatListForm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case kActivateProbe:
      RunProbe(GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kCloseId) {
        CloseButtonClick();
      } else if (LOWORD(wParam) == kGridId && HIWORD(wParam) == kGridDoubleClick) {
        FormatListStringGridDblClick();
      }
      return 0;
    case WM_CLOSE:
      // Closing during the probe stops it first; the window goes after it.
      if (probing_) {
        cancel_ = closeAfterProbe_ = true;
        return 0;
      }
      DestroyWindow(hwnd());
      return 0;
    case WM_CTLCOLORSTATIC:
      SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    default:
      return Window::HandleMessage(msg, wParam, lParam);
  }
}

}  // namespace ov
