#include "app/engine/ConsoleEngineHost.h"

#include <algorithm>
#include <cstdio>

namespace ov {

void ConsoleEngineHost::PostNotification(uint32_t message, uintptr_t) {
  std::lock_guard<std::mutex> lock(m_);
  posted_.push_back(message);
}

void ConsoleEngineHost::ShowStopped(const std::string& text) {
  {
    std::lock_guard<std::mutex> lock(m_);
    failures_.push_back(text);
  }
  if (print_) std::fprintf(stderr, "%s\n", text.c_str());
}

void ConsoleEngineHost::SetLabelText(EngineLabel l, const std::string& t) {
  std::lock_guard<std::mutex> lock(m_);
  labels_[static_cast<int>(l)] = t;
}

size_t ConsoleEngineHost::CountOf(uint32_t message) {
  std::lock_guard<std::mutex> lock(m_);
  return static_cast<size_t>(std::count(posted_.begin(), posted_.end(), message));
}

std::vector<uint32_t> ConsoleEngineHost::Notifications() {
  std::lock_guard<std::mutex> lock(m_);
  return posted_;
}

std::vector<std::string> ConsoleEngineHost::Failures() {
  std::lock_guard<std::mutex> lock(m_);
  return failures_;
}

std::string ConsoleEngineHost::Label(EngineLabel l) {
  std::lock_guard<std::mutex> lock(m_);
  return labels_[static_cast<int>(l)];
}

}  // namespace ov
