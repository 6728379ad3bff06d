// TEditForm: the single-line edit dialog (template IDD_EDIT_FORM: Edit1, OK,
// Cancel). The caller gives the caption, the top-left corner in screen
// coordinates and the initial text, runs it modally and reads the text back;
// OK accepts, Cancel, Esc and the close box do not. The marker rename of the
// positioning window uses it.
//
// Main thread only; the object may be reused for any number of edits.
#pragma once

#include <windows.h>

#include <string>

#include "app/controls/Window_win.h"

namespace ov {

class TEditForm : public Dialog {
 public:
  // True on OK, with *text replaced by Edit1's text; *text is unchanged
  // otherwise. The dialog is kept inside the work area of `at`'s monitor.
  bool Edit(HWND owner, const std::wstring& caption, POINT at, std::wstring* text);

 protected:
  INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void FormShow();
  void OKButtonClick();

  std::wstring caption_, text_;
  POINT at_{};
  bool accepted_ = false;
};

}  // namespace ov
