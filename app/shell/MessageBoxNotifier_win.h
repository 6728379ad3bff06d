// The program's user notifications: a message box owned by a window (or none),
// captioned with the application title, shown through the wide-character API.
#pragma once

#include <windows.h>

#include <string>

#include "app/common/UserNotifier.h"

namespace ov {

class MessageBoxNotifier : public UserNotifier {
 public:
  explicit MessageBoxNotifier(std::string captionUtf8, HWND owner = nullptr)
      : caption_(std::move(captionUtf8)), owner_(owner) {}
  void SetOwner(HWND owner) { owner_ = owner; }
  void SetCaption(std::string captionUtf8) { caption_ = std::move(captionUtf8); }
  NoticeAnswer Notify(std::string_view text, NoticeIcon icon) override;

 private:
  std::string caption_;
  HWND owner_;
};

}  // namespace ov
