// TCommentForm: the spectrum comment editor.
#include "app/analysis/CommentForm_win.h"

#include <commctrl.h>

#include <string>

#include "app/common/Utf8.h"
#include "app/resources/ResourceIds.h"

namespace ov {

namespace {

constexpr TwoLanguageText kCaption{"Spectrum コメント", "Spectrum Comment"};
constexpr TwoLanguageText kOptionText[3] = {{"ｻﾝﾌﾟﾘﾝｸﾞ周波数 Fs", "Sampling Freq. Fs"},
                                            {"FFTｻﾝﾌﾟﾙ数 N", "FFT points N"},
                                            {"周波数分解能 Fs/N", "Freq. resolution Fs/N"}};
constexpr TwoLanguageText kCancel{"ｷｬﾝｾﾙ", "Cancel"};
constexpr UINT kEditId[3] = {IDC_COMMENT_EDIT1, IDC_COMMENT_EDIT2, IDC_COMMENT_EDIT3};
constexpr UINT kCheckId[3] = {IDC_COMMENT_FS_CHECK, IDC_COMMENT_FFTN_CHECK, IDC_COMMENT_FRES_CHECK};

std::wstring Wide(const std::string& utf8) {
  const std::u16string w = Utf8ToUtf16(utf8);
  return std::wstring(w.begin(), w.end());
}

std::string TextOf(HWND h) {
  const int n = GetWindowTextLengthW(h);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  const int got = GetWindowTextW(h, text.data(), n + 1);
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return Utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

}  // namespace

bool CommentForm::Edit(HWND owner, POINT topLeft, SpectrumCommentOptions& options,
                       const Appearance& appearance) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TAB_CLASSES};
  InitCommonControlsEx(&icc);
  options_ = &options;
  appearance_ = appearance;
  topLeft_ = topLeft;
  const INT_PTR result = ShowModal(owner, IDD_COMMENT_FORM);
  options_ = nullptr;
  return result == IDOK;
}

HWND CommentForm::PageControl() const {
  return hwnd() ? GetDlgItem(hwnd(), IDC_COMMENT_PAGE_CONTROL) : nullptr;
}
HWND CommentForm::CommentEdit(int index) const {
  return hwnd() ? GetDlgItem(hwnd(), static_cast<int>(kEditId[index])) : nullptr;
}
HWND CommentForm::OptionCheckBox(int index) const {
  return hwnd() ? GetDlgItem(hwnd(), static_cast<int>(kCheckId[index])) : nullptr;
}

void CommentForm::FormActivate() {
  const Language l = appearance_.language;
  const std::string caption = appearance_.appTitle + " - " + kCaption.In(l);
  SetWindowTextW(hwnd(), Wide(caption).c_str());
  SetDlgItemTextW(hwnd(), IDCANCEL, Wide(kCancel.In(l)).c_str());
  if (l == Language::English && appearance_.englishFont != nullptr) {
    for (HWND c = GetWindow(hwnd(), GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
      SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(appearance_.englishFont), TRUE);
    }
  }
  HWND tabs = PageControl();
  for (int i = 0; i < 3; ++i) {
    wchar_t label[2] = {static_cast<wchar_t>(L'1' + i), 0};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = label;
    SendMessageW(tabs, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    HWND edit = CommentEdit(i);
    SendMessageW(edit, EM_LIMITTEXT, kCommentMaxChars, 0);
    SetWindowTextW(edit, Wide(CutToCharacters(options_->comments[i], kCommentMaxChars)).c_str());
    SetDlgItemTextW(hwnd(), static_cast<int>(kCheckId[i]), Wide(kOptionText[i].In(l)).c_str());
  }
  // The tab control lies under its pages' edits.
  SetWindowPos(tabs, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  CheckDlgButton(hwnd(), IDC_COMMENT_FS_CHECK, options_->sampleRate ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(hwnd(), IDC_COMMENT_FFTN_CHECK, options_->fftSize ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(hwnd(), IDC_COMMENT_FRES_CHECK,
                 options_->resolution ? BST_CHECKED : BST_UNCHECKED);
  const int page = options_->selected >= 0 && options_->selected <= 2 ? options_->selected : 0;
  SendMessageW(tabs, TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
  ShowPage(page);
  SetWindowPos(hwnd(), HWND_TOPMOST, topLeft_.x, topLeft_.y, 0, 0, SWP_NOSIZE);
}

void CommentForm::ShowPage(int index) {
  for (int i = 0; i < 3; ++i) ShowWindow(CommentEdit(i), i == index ? SW_SHOW : SW_HIDE);
}

void CommentForm::OKButtonClick() {
  for (int i = 0; i < 3; ++i) {
    options_->comments[i] = CutToCharacters(TextOf(CommentEdit(i)), kCommentMaxChars);
  }
  options_->sampleRate = IsDlgButtonChecked(hwnd(), IDC_COMMENT_FS_CHECK) == BST_CHECKED;
  options_->fftSize = IsDlgButtonChecked(hwnd(), IDC_COMMENT_FFTN_CHECK) == BST_CHECKED;
  options_->resolution = IsDlgButtonChecked(hwnd(), IDC_COMMENT_FRES_CHECK) == BST_CHECKED;
  const LRESULT page = SendMessageW(PageControl(), TCM_GETCURSEL, 0, 0);
  options_->selected = page >= 0 && page <= 2 ? static_cast<int32_t>(page) : 0;
  EndDialog(hwnd(), IDOK);
}

INT_PTR CommentForm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      FormActivate();
      return TRUE;
    case WM_NOTIFY: {
      const auto* n = reinterpret_cast<const NMHDR*>(lParam);
      if (n->idFrom == IDC_COMMENT_PAGE_CONTROL && n->code == TCN_SELCHANGE) {
        ShowPage(static_cast<int>(SendMessageW(PageControl(), TCM_GETCURSEL, 0, 0)));
        return TRUE;
      }
      return FALSE;
    }
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
