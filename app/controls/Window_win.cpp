#include "app/controls/Window_win.h"

#include "app/controls/MessageLoop_win.h"

namespace ov {

namespace {

// The object being created by Window::Create on this thread: WM_NCCREATE (and
// the few messages before it) take it from here, so that lpCreateParams stays
// free for classes used from dialog templates.
thread_local Window* creating = nullptr;

constexpr wchar_t kObjectProp[] = L"OvWindowObject";

// Every window of the program's classes keeps its object in its first extra
// bytes: every message reads it there, a read in this process, where a window
// property is a request to the window server under Wine (70-100 us each,
// measured). The property stays for FromHandle, which must also answer for
// windows of other classes.
Window* ObjectOf(HWND hwnd) {
  return reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, 0));
}

}  // namespace

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = ObjectOf(hwnd);
  if (self == nullptr) {
    if (creating != nullptr) {
      self = creating;
      creating = nullptr;
    } else if (msg == WM_NCCREATE) {
      // A self-owned control: the class keeps its factory in the class extra bytes.
      auto make = reinterpret_cast<Window* (*)()>(GetClassLongPtrW(hwnd, 0));
      if (make == nullptr) return FALSE;
      self = make();
      self->selfOwned_ = true;
    } else {
      return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    self->Attach(hwnd);
  }
  LRESULT result = self->HandleMessage(msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, 0, 0);
    RemovePropW(hwnd, kObjectProp);
    self->hwnd_ = nullptr;
    self->Destroyed();
    if (self->selfOwned_) delete self;
  }
  return result;
}

Window::~Window() {
  if (hwnd_ != nullptr) {
    HWND h = hwnd_;
    SetWindowLongPtrW(h, 0, 0);
    RemovePropW(h, kObjectProp);
    hwnd_ = nullptr;
    DestroyWindow(h);
  }
}

Window* Window::FromHandle(HWND hwnd) {
  return static_cast<Window*>(GetPropW(hwnd, kObjectProp));
}

void Window::Attach(HWND hwnd) {
  hwnd_ = hwnd;
  SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(this));
  SetPropW(hwnd, kObjectProp, this);
}

bool Window::RegisterWindowClass(const wchar_t* className, UINT style, HBRUSH background,
                                 HICON icon, HICON smallIcon) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(instance, className, &existing)) return true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = style;
  wc.lpfnWndProc = WindowProc;
  wc.cbClsExtra = sizeof(void*);
  wc.cbWndExtra = sizeof(void*);
  wc.hInstance = instance;
  wc.hIcon = icon;
  wc.hIconSm = smallIcon;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.hbrBackground = background;
  wc.lpszClassName = className;
  return RegisterClassExW(&wc) != 0;
}

bool Window::RegisterSelfOwnedClass(const wchar_t* className, Window* (*make)(), UINT style,
                                    HBRUSH background) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(instance, className, &existing)) return true;
  if (!RegisterWindowClass(className, style | CS_GLOBALCLASS, background)) return false;
  // The factory goes into the class extra bytes through a window of the class
  // that exists only for this; creating it with an object avoids the factory path.
  struct Probe : Window {};
  Probe probe;
  if (!probe.Create(className, L"", 0, 0, 0, 0, 0, 0, HWND_MESSAGE)) return false;
  SetClassLongPtrW(probe.hwnd(), 0, reinterpret_cast<LONG_PTR>(make));
  return true;
}

bool Window::Create(const wchar_t* className, const wchar_t* caption, DWORD style, DWORD exStyle,
                    int x, int y, int width, int height, HWND parent, UINT_PTR id) {
  creating = this;
  HWND h = CreateWindowExW(exStyle, className, caption, style, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(id), GetModuleHandleW(nullptr), nullptr);
  creating = nullptr;
  return h != nullptr;
}

LRESULT Window::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  return Default(msg, wParam, lParam);
}

LRESULT Window::Default(UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

// ---- Dialog

// A dialog keeps its object in the dialog's user slot, read in this process
// on every message.
INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (self == nullptr) {
    if (msg != WM_INITDIALOG) return FALSE;
    self = reinterpret_cast<Dialog*>(lParam);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
  }
  INT_PTR result = self->HandleMessage(msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    if (self->modeless_) UnregisterModelessDialog(hwnd);
    self->hwnd_ = nullptr;
    self->Destroyed();
  }
  return result;
}

Dialog::~Dialog() {
  if (hwnd_ != nullptr) {
    HWND h = hwnd_;
    SetWindowLongPtrW(h, DWLP_USER, 0);
    if (modeless_) UnregisterModelessDialog(h);
    hwnd_ = nullptr;
    DestroyWindow(h);
  }
}

INT_PTR Dialog::ShowModal(HWND owner, UINT templateId) {
  modeless_ = false;
  return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), owner, DialogProc,
                         reinterpret_cast<LPARAM>(this));
}

bool Dialog::CreateModeless(HWND owner, UINT templateId) {
  modeless_ = true;
  HWND h = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), owner,
                              DialogProc, reinterpret_cast<LPARAM>(this));
  if (h == nullptr) return false;
  RegisterModelessDialog(h);
  return true;
}

INT_PTR Dialog::HandleMessage(UINT msg, WPARAM, LPARAM) {
  return msg == WM_INITDIALOG;
}

}  // namespace ov
