// The small window base every window of the program is built on.
//
// The pattern:
// - One window class per file pair (MainForm_win.{h,cpp}, EditForm_win.{h,cpp}).
//   The class derives from Window (windows made in code) or Dialog (fixed
//   dialogs from the DIALOGEX templates in app/resources/OV.rc, ids in
//   app/resources/ResourceIds.h).
// - The base owns the HWND: `this` is stored at WM_NCCREATE (WM_INITDIALOG for
//   dialogs) and every message goes to the one virtual HandleMessage. No macro
//   maps: a window routes WM_COMMAND through a short table of {control id,
//   handler} and names the handlers after their controls (PlayButtonClick).
// - Logic that needs no HWND (layout arithmetic, texts, key translation)
//   lives in portable files tested natively; window files only turn messages
//   into calls and stay under about 800 lines.
// - Application message numbers: app/common/AppMessages.h. Pump threads run
//   steps on the main thread through app/engine/MainThreadCaller_win.h.
//
// Threads: a window and its object belong to the thread that created the
// window (the main thread); nothing here may be called from another thread.
// Lifetime: the object outlives its HWND. Destroying the object destroys a
// window that still exists; a destroyed window clears hwnd() and calls
// Destroyed(). Self-owned objects (controls made from a template through a
// class registered with RegisterSelfOwnedClass) are deleted after WM_NCDESTROY.
#pragma once

#include <windows.h>

namespace ov {

class Window {
 public:
  Window() = default;
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND hwnd() const { return hwnd_; }
  // The object behind a window of one of the program's classes, or null.
  static Window* FromHandle(HWND hwnd);

 protected:
  // Registers (once per name) a window class whose procedure is the base's.
  static bool RegisterWindowClass(const wchar_t* className, UINT style = CS_HREDRAW | CS_VREDRAW,
                                  HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                                  HICON icon = nullptr, HICON smallIcon = nullptr);
  // Creates the window of a registered class with this object behind it.
  bool Create(const wchar_t* className, const wchar_t* caption, DWORD style, DWORD exStyle, int x,
              int y, int width, int height, HWND parent = nullptr, UINT_PTR id = 0);

  // Every message; the default passes it to DefWindowProcW.
  virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Default(UINT msg, WPARAM wParam, LPARAM lParam);
  // After WM_NCDESTROY: hwnd() is already null.
  virtual void Destroyed() {}

  // Registers a class whose windows, when created without an object (from a
  // dialog template or a plain CreateWindowExW), make their own with `make`
  // and delete it after WM_NCDESTROY.
  static bool RegisterSelfOwnedClass(const wchar_t* className, Window* (*make)(), UINT style,
                                     HBRUSH background);

 private:
  friend LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
  void Attach(HWND hwnd);
  HWND hwnd_ = nullptr;
  bool selfOwned_ = false;
};

// A fixed dialog from a DIALOGEX template: modal (ShowModal) or modeless
// (CreateModeless; the message loop routes its keys with IsDialogMessageW).
class Dialog {
 public:
  Dialog() = default;
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  HWND hwnd() const { return hwnd_; }
  // Runs the dialog modally; returns the code passed to EndDialog, -1 on failure.
  INT_PTR ShowModal(HWND owner, UINT templateId);
  // Creates the dialog hidden or visible as its template says; registers it
  // with the message loop.
  bool CreateModeless(HWND owner, UINT templateId);

 protected:
  // Every dialog message; return TRUE when handled (DialogProc rules).
  // WM_INITDIALOG arrives here with hwnd() set.
  virtual INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  virtual void Destroyed() {}

 private:
  friend INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM);
  HWND hwnd_ = nullptr;
  bool modeless_ = false;
};

// Routes WM_COMMAND by control id: the first entry whose id matches runs.
template <class Owner>
struct CommandRoute {
  UINT id;
  void (Owner::*handler)();
};
template <class Owner, size_t N>
bool RouteCommand(Owner* owner, const CommandRoute<Owner> (&table)[N], UINT id) {
  for (const auto& r : table) {
    if (r.id == id) {
      (owner->*r.handler)();
      return true;
    }
  }
  return false;
}

}  // namespace ov
