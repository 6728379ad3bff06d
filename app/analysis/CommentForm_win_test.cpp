// The comment window from its template, driven as a user would while it runs
// modally: the stored comments and options fill it, OK stores the edits (cut
// to 80 characters) and the chosen tab, Cancel stores nothing.
#include "app/analysis/CommentForm_win.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <functional>
#include <string>

namespace ov {
namespace {

std::wstring TextOf(HWND h) {
  wchar_t text[256] = {};
  SendMessageW(h, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
  return text;
}

// Runs `step` once the dialog is up, from a timer of the modal loop.
struct WhileShown {
  static inline CommentForm* form = nullptr;
  static inline std::function<void(CommentForm&)> step;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    if (form == nullptr || form->hwnd() == nullptr || !IsWindowVisible(form->hwnd())) return;
    KillTimer(nullptr, id);
    step(*form);
  }
  WhileShown(CommentForm& f, std::function<void(CommentForm&)> s) {
    form = &f;
    step = std::move(s);
    SetTimer(nullptr, 0, 20, Tick);
  }
  ~WhileShown() { form = nullptr; }
};

SpectrumCommentOptions Stored() {
  SpectrumCommentOptions o;
  o.comments[0] = "first";
  o.comments[1] = "zweite ü";
  o.comments[2] = "Comment3";
  o.selected = 1;
  o.sampleRate = true;
  o.fftSize = false;
  o.resolution = true;
  return o;
}

TEST(CommentFormWindow, ShowsTheStoredCommentsAndOkStoresTheEdits) {
  CommentForm form;
  SpectrumCommentOptions options = Stored();
  std::wstring caption, tab, first, second, fsCheck;
  bool fs = false, fftn = true, visibleSecond = false, visibleFirst = true;
  bool topmost = false;
  RECT placed{};
  WhileShown run(form, [&](CommentForm& f) {
    caption = TextOf(f.hwnd());
    first = TextOf(f.CommentEdit(0));
    second = TextOf(f.CommentEdit(1));
    fsCheck = TextOf(f.OptionCheckBox(0));
    fs = IsDlgButtonChecked(f.hwnd(), GetDlgCtrlID(f.OptionCheckBox(0))) == BST_CHECKED;
    fftn = IsDlgButtonChecked(f.hwnd(), GetDlgCtrlID(f.OptionCheckBox(1))) == BST_CHECKED;
    visibleFirst = IsWindowVisible(f.CommentEdit(0));
    visibleSecond = IsWindowVisible(f.CommentEdit(1));
    topmost = (GetWindowLongW(f.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    GetWindowRect(f.hwnd(), &placed);
    // The user picks tab "3", types a long text, ticks N and presses OK.
    SendMessageW(f.PageControl(), TCM_SETCURSEL, 2, 0);
    SetWindowTextW(f.CommentEdit(2), std::wstring(100, L'x').c_str());
    SendMessageW(f.OptionCheckBox(1), BM_CLICK, 0, 0);
    SendMessageW(GetDlgItem(f.hwnd(), IDOK), BM_CLICK, 0, 0);
  });
  CommentForm::Appearance look;
  look.appTitle = "Orlavisonic";
  ASSERT_TRUE(form.Edit(nullptr, POINT{130, 90}, options, look));
  EXPECT_EQ(caption, L"Orlavisonic - Spectrum Comment");
  EXPECT_EQ(first, L"first");
  EXPECT_EQ(second, L"zweite ü");
  EXPECT_EQ(fsCheck, L"Sampling Freq. Fs");
  EXPECT_TRUE(fs);
  EXPECT_FALSE(fftn);
  EXPECT_TRUE(visibleSecond);  // the stored tab
  EXPECT_FALSE(visibleFirst);
  EXPECT_TRUE(topmost);
  EXPECT_EQ(placed.left, 130);
  EXPECT_EQ(placed.top, 90);

  EXPECT_EQ(options.comments[0], "first");
  EXPECT_EQ(options.comments[1], "zweite ü");
  EXPECT_EQ(options.comments[2], std::string(80, 'x'));
  EXPECT_EQ(options.selected, 2);
  EXPECT_TRUE(options.sampleRate);
  EXPECT_TRUE(options.fftSize);
  EXPECT_TRUE(options.resolution);
  EXPECT_EQ(ComposeSpectrumComment(options, 44100, 4096, 0),
            std::string(80, 'x') + "  [Fs:44100 N:4096 Fs/N:10.8]");
}

TEST(CommentFormWindow, CancelStoresNothingAndJapaneseTextsShow) {
  CommentForm form;
  SpectrumCommentOptions options = Stored();
  std::wstring caption, cancel, resolution;
  WhileShown run(form, [&](CommentForm& f) {
    caption = TextOf(f.hwnd());
    cancel = TextOf(GetDlgItem(f.hwnd(), IDCANCEL));
    resolution = TextOf(f.OptionCheckBox(2));
    SetWindowTextW(f.CommentEdit(1), L"changed");
    SendMessageW(f.OptionCheckBox(0), BM_CLICK, 0, 0);
    SendMessageW(GetDlgItem(f.hwnd(), IDCANCEL), BM_CLICK, 0, 0);
  });
  CommentForm::Appearance look;
  look.language = Language::Japanese;
  look.appTitle = "Orlavisonic";
  EXPECT_FALSE(form.Edit(nullptr, POINT{10, 10}, options, look));
  EXPECT_EQ(caption, L"Orlavisonic - Spectrum コメント");
  EXPECT_EQ(cancel, L"ｷｬﾝｾﾙ");
  EXPECT_EQ(resolution, L"周波数分解能 Fs/N");
  EXPECT_EQ(options.comments[1], "zweite ü");
  EXPECT_TRUE(options.sampleRate);
  EXPECT_EQ(options.selected, 1);
}

}  // namespace
}  // namespace ov
