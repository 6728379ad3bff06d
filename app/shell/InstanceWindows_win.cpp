#include "app/shell/InstanceWindows_win.h"

#include <cstring>

#include "app/common/AppMessages.h"
#include "app/shell/InstanceNames.h"

namespace ov {

namespace {

struct Search {
  const std::string* title;
  HWND found;
};

BOOL CALLBACK MatchMainWindow(HWND window, LPARAM lParam) {
  auto* s = reinterpret_cast<Search*>(lParam);
  char className[kWindowNameBuffer] = {};
  char caption[kWindowNameBuffer] = {};
  GetClassNameA(window, className, sizeof className);
  if (std::strcmp(className, kMainWindowClass) != 0) return TRUE;
  GetWindowTextA(window, caption, sizeof caption);
  if (CaptionTitle(caption) != *s->title) return TRUE;
  s->found = window;
  return FALSE;
}

// Longest wait for a window that does not answer.
constexpr UINT kSendTimeoutMs = 5000;

}  // namespace

HWND FindMainWindow(const std::string& title) {
  Search s{&title, nullptr};
  EnumWindows(MatchMainWindow, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

void BringForward(HWND window) {
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  SetForegroundWindow(window);
}

bool HandOverCommandLine(const std::string& text, DWORD retryMs) {
  const DWORD start = GetTickCount();
  HWND target = nullptr;
  for (;;) {
    target = FindMainWindow(ApplicationTitle(1));
    if (target != nullptr || GetTickCount() - start >= retryMs) break;
    Sleep(50);
  }
  if (target == nullptr) return false;
  BringForward(target);
  COPYDATASTRUCT data{};
  data.dwData = 0;
  data.cbData = static_cast<DWORD>(text.size() + 1);
  data.lpData = const_cast<char*>(text.c_str());
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(target, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                             SMTO_ABORTIFHUNG, kSendTimeoutMs, &result) != 0;
}

bool WindowPeerLink::FindPeer() {
  const std::string suffix = ":2";
  if (ownTitle_.size() >= suffix.size() &&
      ownTitle_.compare(ownTitle_.size() - suffix.size(), suffix.size(), suffix) == 0) {
    return false;  // instance 2 has no peer to lead
  }
  peer_.store(FindMainWindow(ownTitle_ + suffix));
  return peer_.load() != nullptr;
}

void WindowPeerLink::Send(uint32_t command, int64_t argument) {
  HWND peer = peer_.load();
  if (peer == nullptr) return;
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(peer, WM_INSTANCE_SYNC, command, static_cast<LPARAM>(argument),
                           SMTO_ABORTIFHUNG, kSendTimeoutMs, &result) &&
      !IsWindow(peer)) {
    peer_.store(nullptr);  // the peer has ended
  }
}

}  // namespace ov
