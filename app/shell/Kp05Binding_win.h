// The program's binding of the FFT library: loads "KP05DLL.DLL" from a folder
// (the program's own by default), resolves the 24 entries by their decorated
// names in a fixed order, and creates and releases the plans the program keeps
// for its whole run. Failures reach the user through the notifier, with the
// system's last-error code, exactly as the program has always worded them.
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

  // Creates the fixed plans of 4, 8, 64, 128, 512 and 1024 points (complex).
  // False when one could not be created (out of memory); those created stay.
  bool CreateFixedPlans();

  // Releases the general plan (when `generalPlanExists`), then the fixed
  // plans 4, 8, 64, 128, 512, 1024 that exist.
  void ReleasePlans(bool generalPlanExists);

  // Frees the library; a failure is shown with its last-error code.
  void Unload();

  // The folder of the running program, up to and including the last '\'.
  static std::wstring ProgramFolder();

 private:
  bool BindEntries();

  UserNotifier& notifier_;
  HMODULE module_ = nullptr;
  Kp05Api api_;
  Kp05Plan* fixedPlans_[6] = {};
};

}  // namespace ov
