#include "app/shell/SettingsPlatform_win.h"

#include <windows.h>

#include <vector>

#include "app/common/Utf8.h"

namespace ov {

std::string ProgramFolder() {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      std::u16string full(reinterpret_cast<const char16_t*>(path.data()), n);
      return Utf16ToUtf8(full.substr(0, full.rfind(u'\\') + 1));
    }
    path.resize(path.size() * 2);  // the path was cut to the buffer
  }
}

bool FolderExists(const std::string& folder) {
  const std::u16string pattern = Utf8ToUtf16(folder + "*.*");
  WIN32_FIND_DATAW found;
  const HANDLE h = FindFirstFileW(reinterpret_cast<const wchar_t*>(pattern.c_str()), &found);
  if (h == INVALID_HANDLE_VALUE) return false;
  FindClose(h);
  return true;
}

SettingsEnvironment SystemSettingsEnvironment(bool directXAvailable, bool vistaOrLater) {
  SettingsEnvironment env;
  env.programFolder = ProgramFolder();
  env.userDefaultLanguage = GetUserDefaultLangID();
  env.directXAvailable = directXAvailable;
  env.vistaOrLater = vistaOrLater;
  env.folderExists = FolderExists;
  return env;
}

}  // namespace ov
