// TCommentForm: the spectrum comment editor. Three comments on the tabs "1",
// "2", "3" (one edit each), the three options (sample rate, FFT size,
// frequency resolution), OK and Cancel. A stay-on-top modal dialog from the
// template IDD_COMMENT_FORM.
//
// Threads: main thread only. Lifetime: one object per run of Edit, or one
// kept by the main window; the options are borrowed only during Edit.
#pragma once

#include <windows.h>

#include <string>

#include "app/analysis/SpectrumCommentLine.h"
#include "app/common/UserNotifier.h"
#include "app/controls/Window_win.h"

namespace ov {

class CommentForm : public Dialog {
 public:
  static constexpr size_t kCommentMaxChars = 80;

  struct Appearance {
    Language language = Language::English;
    std::string appTitle;  // the caption is "<appTitle> - Spectrum Comment"
    // In English mode the dialog takes the main window's font (its name and
    // character set); null keeps the template's font.
    HFONT englishFont = nullptr;
  };

  // Shows the dialog modally, owned by owner, with its top-left corner at the
  // screen point topLeft (the spectrum plot's corner + (10, 10)). The edits,
  // check boxes and tab start from options. OK stores the three texts (cut to
  // 80 characters), the options and the tab's index into options and returns
  // true; the caller then recomposes the comment line
  // (ComposeSpectrumComment) and repaints the spectrum area. Cancel or a
  // closed dialog returns false and leaves options as they were.
  bool Edit(HWND owner, POINT topLeft, SpectrumCommentOptions& options,
            const Appearance& appearance);

  // Controls of the open dialog, for tests (null when not shown).
  HWND PageControl() const;
  HWND CommentEdit(int index) const;     // 0 ... 2
  HWND OptionCheckBox(int index) const;  // 0 Fs, 1 FftN, 2 Fres

 protected:
  INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void FormActivate();
  void OKButtonClick();
  void ShowPage(int index);

  SpectrumCommentOptions* options_ = nullptr;
  Appearance appearance_;
  POINT topLeft_{};
};

}  // namespace ov
