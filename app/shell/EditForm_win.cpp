#include "app/shell/EditForm_win.h"

#include "app/resources/ResourceIds.h"

namespace ov {

bool TEditForm::Edit(HWND owner, const std::wstring& caption, POINT at, std::wstring* text) {
  if (text == nullptr) return false;
  caption_ = caption;
  text_ = *text;
  at_ = at;
  accepted_ = false;
  if (ShowModal(owner, IDD_EDIT_FORM) != IDOK || !accepted_) return false;
  *text = text_;
  return true;
}

void TEditForm::FormShow() {
  HWND h = hwnd();
  SetWindowTextW(h, caption_.c_str());
  SetDlgItemTextW(h, IDC_EDIT_FORM_EDIT1, text_.c_str());
  // At the caller's point, moved inside the work area of that point's monitor.
  RECT wr{};
  GetWindowRect(h, &wr);
  const int width = wr.right - wr.left, height = wr.bottom - wr.top;
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (GetMonitorInfoW(MonitorFromPoint(at_, MONITOR_DEFAULTTONEAREST), &mi)) work = mi.rcWork;
  int x = at_.x, y = at_.y;
  if (x + width > work.right) x = work.right - width;
  if (y + height > work.bottom) y = work.bottom - height;
  if (x < work.left) x = work.left;
  if (y < work.top) y = work.top;
  SetWindowPos(h, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  HWND edit = GetDlgItem(h, IDC_EDIT_FORM_EDIT1);
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SetFocus(edit);
}

void TEditForm::OKButtonClick() {
  HWND edit = GetDlgItem(hwnd(), IDC_EDIT_FORM_EDIT1);
  const int n = GetWindowTextLengthW(edit);
  std::wstring t(static_cast<size_t>(n) + 1, L'\0');
  GetWindowTextW(edit, t.data(), n + 1);
  t.resize(static_cast<size_t>(n));
  text_ = t;
  accepted_ = true;
  EndDialog(hwnd(), IDOK);
}

INT_PTR TEditForm::HandleMessage(UINT msg, WPARAM wParam, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG:
      FormShow();
      return FALSE;  // the focus was set here
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        OKButtonClick();
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(hwnd(), IDCANCEL);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace ov
