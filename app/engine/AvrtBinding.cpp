#include "app/engine/AvrtBinding.h"

#include <cstdio>

namespace ov {

namespace {

void SetWithCode(EngineMessage& message, const char* format, uint32_t error) {
  char text[EngineMessage::kCapacity];
  std::snprintf(text, sizeof text, format, static_cast<int>(error));
  message.Set(text);
}

}  // namespace

bool MmcssSupported(const OsVersion& v) {
  if (v.major <= 5) return false;
  return !(v.major == 6 && v.minor == 0 && v.servicePackMajor == 0);
}

AvrtBinding::AvrtBinding(std::unique_ptr<LibraryLoader> loader) : loader_(std::move(loader)) {}

bool AvrtBinding::Bind(EngineMessage& message) {
  mmcssAvailable_ = MmcssSupported(loader_->Version());
  if (!mmcssAvailable_) return true;
  uint32_t error = 0;
  AvrtModule = loader_->Load("Avrt.dll", &error);
  if (!AvrtModule) {
    SetWithCode(message, "Unable to load 'Avrt.dll'. \n\n  (LoadLibrary: %d)", error);
    return false;
  }
  setTask_ = loader_->Find(AvrtModule, "AvSetMmThreadCharacteristicsA", &error);
  if (!setTask_) {
    SetWithCode(message,
                "Unable to find DLL entry \"AvSetMmThreadCharacteristics()\". \n\n  "
                "(GetProcAddress: %d)",
                error);
    return false;
  }
  revert_ = loader_->Find(AvrtModule, "AvRevertMmThreadCharacteristics", &error);
  if (!revert_) {
    SetWithCode(message,
                "Unable to find DLL entry \"AvRevertMmThreadCharacteristics()\". \n\n  "
                "(GetProcAddress: %d)",
                error);
    return false;
  }
  return true;
}

bool AvrtBinding::Free(EngineMessage& message) {
  if (!AvrtModule) return true;
  void* module = AvrtModule;
  AvrtModule = nullptr;
  setTask_ = revert_ = nullptr;
  uint32_t error = 0;
  if (loader_->Free(module, &error)) return true;
  SetWithCode(message, "Unable to free 'Avrt.dll'. \n\n  (FreeLibrary: %d)", error);
  return false;
}

void* AvrtBinding::AvSetMmThreadCharacteristicsA(const char* task, uint32_t* taskIndex) const {
  return setTask_ ? loader_->CallSetTask(setTask_, task, taskIndex) : nullptr;
}

bool AvrtBinding::AvRevertMmThreadCharacteristics(void* taskHandle) const {
  return revert_ && loader_->CallRevert(revert_, taskHandle);
}

}  // namespace ov
