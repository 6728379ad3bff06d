// How the portable core tells the user something. The program shows a message
// box captioned with the application title (MessageBoxW); tests record the text.
// Texts are UTF-8; the Windows side converts them for the wide-character API.
#pragma once

#include <string>
#include <string_view>

namespace ov {

enum class NoticeIcon { Warning, Error, Question, Information };
enum class NoticeAnswer { Ok, Yes, No };

class UserNotifier {
 public:
  virtual ~UserNotifier() = default;
  // Shows text and waits for the user. Question notices offer Yes and No.
  virtual NoticeAnswer Notify(std::string_view text, NoticeIcon icon) = 0;
};

// The language of user texts: every text exists as a Japanese and an English twin.
enum class Language { Japanese = 0, English = 1 };

struct TwoLanguageText {
  const char* japanese;
  const char* english;
  const char* In(Language l) const { return l == Language::Japanese ? japanese : english; }
};

}  // namespace ov
