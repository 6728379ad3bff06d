#include "app/shell/MessageBoxNotifier_win.h"

#include "app/common/Utf8.h"

namespace ov {

NoticeAnswer MessageBoxNotifier::Notify(std::string_view text, NoticeIcon icon) {
  UINT flags = MB_OK;
  switch (icon) {
    case NoticeIcon::Warning:
      flags = MB_OK | MB_ICONWARNING;
      break;
    case NoticeIcon::Error:
      flags = MB_OK | MB_ICONERROR;
      break;
    case NoticeIcon::Question:
      flags = MB_YESNO | MB_ICONQUESTION;
      break;
    case NoticeIcon::Information:
      flags = MB_OK | MB_ICONINFORMATION;
      break;
  }
  const std::u16string wideText = Utf8ToUtf16(text);
  const std::u16string wideCaption = Utf8ToUtf16(caption_);
  const int answer = MessageBoxW(owner_, reinterpret_cast<const wchar_t*>(wideText.c_str()),
                                 reinterpret_cast<const wchar_t*>(wideCaption.c_str()), flags);
  if (icon == NoticeIcon::Question) return answer == IDYES ? NoticeAnswer::Yes : NoticeAnswer::No;
  return NoticeAnswer::Ok;
}

}  // namespace ov
