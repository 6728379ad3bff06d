#include "app/shell/InstanceNames.h"

#include <cstring>

#include "app/shell/ProgramVersion.h"

namespace ov {

std::string ApplicationTitle(int instance) {
  return instance == 2 ? "Orlavisonic:2" : "Orlavisonic";
}

std::string MainCaption(int instance) {
  return ApplicationTitle(instance) + " " + kProgramCaptionVersion;
}

std::string_view CaptionTitle(std::string_view caption) {
  return caption.substr(0, caption.find(' '));
}

StartRole FirstMutexRole(bool firstExisted, bool hasCommandLine) {
  if (!firstExisted) return StartRole::FirstInstance;
  return hasCommandLine ? StartRole::HandOver : StartRole::SecondInstance;
}

StartRole SecondMutexRole(bool secondExisted) {
  return secondExisted ? StartRole::ActivateSecond : StartRole::SecondInstance;
}

std::optional<std::string> HandOverText(uintptr_t dwData, const void* data, size_t bytes) {
  if (dwData != 0) return std::nullopt;
  if (data == nullptr || bytes == 0) return std::string();
  const char* text = static_cast<const char*>(data);
  const void* nul = std::memchr(text, '\0', bytes);
  return std::string(text, nul ? static_cast<const char*>(nul) - text : bytes);
}

}  // namespace ov
