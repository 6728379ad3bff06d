#include "app/shell/Kp05Binding_win.h"

#include <stdio.h>
#include <string.h>

#include <vector>

namespace ov {
namespace {

// Decorated name and destination of each entry, in binding order.
struct Entry {
  const char* name;
  void* slot;
};

template <typename Fn>
void* Slot(Fn& member) {
  static_assert(sizeof(Fn) == sizeof(FARPROC), "entries are plain function pointers");
  return &member;
}

std::string Format(const char* pattern, const char* name, DWORD error) {
  char text[512];
  if (name != nullptr) {
    snprintf(text, sizeof text, pattern, name, static_cast<int>(error));
  } else {
    snprintf(text, sizeof text, pattern, static_cast<int>(error));
  }
  return text;
}

}  // namespace

Kp05Binding::~Kp05Binding() {
  if (module_ != nullptr) FreeLibrary(module_);
}

std::wstring Kp05Binding::ProgramFolder() {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      std::wstring folder(path.data(), length);
      return folder.substr(0, folder.rfind(L'\\') + 1);
    }
    path.resize(path.size() * 2);  // a long path: try again with more room
  }
}

bool Kp05Binding::Load() {
  return LoadFrom(ProgramFolder());
}

bool Kp05Binding::LoadFrom(const std::wstring& folder) {
  const std::wstring path = folder + L"KP05DLL.DLL";
  module_ = LoadLibraryW(path.c_str());
  if (module_ == nullptr) {
    notifier_.Notify(
        Format("Unable to load 'KP05DLL.DLL'. \n\n  (LoadLibrary: %d)", nullptr, GetLastError()),
        NoticeIcon::Warning);
    return false;
  }
  if (!BindEntries()) {
    FreeLibrary(module_);
    module_ = nullptr;
    api_ = Kp05Api();
    return false;
  }
  return true;
}

bool Kp05Binding::BindEntries() {
  Kp05Api& a = api_;
  const Entry entries[] = {
      {"_Create_FFT@12", Slot(a.Create_FFT)},
      {"_Release_FFT@0", Slot(a.Release_FFT)},
      {"_FFT_WeightWindow@8", Slot(a.FFT_WeightWindow)},
      {"_FFT_PostProcess@12", Slot(a.FFT_PostProcess)},
      {"_FFT_fft@8", Slot(a.FFT_fft)},
      {"_Create_FFT4@4", Slot(a.Create_FFT4)},
      {"_Release_FFT4@0", Slot(a.Release_FFT4)},
      {"_FFT_fft4@8", Slot(a.FFT_fft4)},
      {"_Create_FFT8@4", Slot(a.Create_FFT8)},
      {"_Release_FFT8@0", Slot(a.Release_FFT8)},
      {"_FFT_fft8@8", Slot(a.FFT_fft8)},
      {"_Create_FFT64@4", Slot(a.Create_FFT64)},
      {"_Release_FFT64@0", Slot(a.Release_FFT64)},
      {"_FFT_fft64@8", Slot(a.FFT_fft64)},
      {"_Create_FFT128@4", Slot(a.Create_FFT128)},
      {"_Release_FFT128@0", Slot(a.Release_FFT128)},
      {"_FFT_fft128@8", Slot(a.FFT_fft128)},
      {"_Create_FFT512@4", Slot(a.Create_FFT512)},
      {"_Release_FFT512@0", Slot(a.Release_FFT512)},
      {"_FFT_fft512@8", Slot(a.FFT_fft512)},
      {"_Create_FFT1024@4", Slot(a.Create_FFT1024)},
      {"_Release_FFT1024@0", Slot(a.Release_FFT1024)},
      {"_FFT_fft1024@8", Slot(a.FFT_fft1024)},
      {"_DLL_PrepareCoordinatesSub@28", Slot(a.DLL_PrepareCoordinatesSub)},
  };
  for (const Entry& entry : entries) {
    FARPROC address = GetProcAddress(module_, entry.name);
    if (address == nullptr) {
      notifier_.Notify(Format("Unable to find DLL entry. \n %s\n\n (GetProcAddress: %d)",
                              entry.name, GetLastError()),
                       NoticeIcon::Warning);
      return false;
    }
    memcpy(entry.slot, &address, sizeof address);  // every slot is a function pointer
  }
  return true;
}

void Kp05Binding::Unload() {
  if (module_ == nullptr) return;
  HMODULE module = module_;
  module_ = nullptr;
  api_ = Kp05Api();
  if (!FreeLibrary(module)) {
    notifier_.Notify(
        Format("Unable to free 'KP05DLL.DLL'. \n\n  (FreeLibrary: %d)", nullptr, GetLastError()),
        NoticeIcon::Warning);
  }
}

}  // namespace ov
