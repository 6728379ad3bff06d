// The program's binding of the FFT library: loads "KP05DLL.DLL" from a folder
// (the program's own by default), resolves the 24 entries by their decorated
// names in a fixed order, and frees the library at the end. The plans belong
// to their one user, FrameAnalysis (app/analysis/FrameAnalysis.h), which must
// have released them before Unload. Failures reach the user through the
// notifier with the system's last-error code.
#pragma once

#include <windows.h>

#include <string>

#include "app/common/UserNotifier.h"
#include "fft/Kp05Api.h"

namespace ov {

class Kp05Binding {
 public:
  explicit Kp05Binding(UserNotifier& notifier) : notifier_(notifier) {}
  ~Kp05Binding();
  Kp05Binding(const Kp05Binding&) = delete;
  Kp05Binding& operator=(const Kp05Binding&) = delete;

  // Loads the library from the program's folder. On failure shows the reason
  // (warning icon) and returns false; the program then ends.
  bool Load();
  // Loads "KP05DLL.DLL" from `folder` (ending in a backslash).
  bool LoadFrom(const std::wstring& folder);

  // The bound entries; valid after a successful Load.
  const Kp05Api& Api() const { return api_; }
  bool IsLoaded() const { return module_ != nullptr; }

  // Frees the library; a failure is shown with its last-error code.
  void Unload();

  // The folder of the running program, up to and including the last '\'.
  static std::wstring ProgramFolder();

 private:
  bool BindEntries();

  UserNotifier& notifier_;
  HMODULE module_ = nullptr;
  Kp05Api api_;
};

}  // namespace ov
