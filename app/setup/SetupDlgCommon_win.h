// Small helpers the setup dialog's files share: UTF-8 <-> wide texts and the
// page a control id belongs to.
#pragma once

#include <windows.h>

#include <string>

#include "app/common/Utf8.h"

namespace ov::setup_win {

inline std::wstring Wide(const std::string& utf8) {
  const std::u16string w = Utf8ToUtf16(utf8);
  return std::wstring(w.begin(), w.end());
}

inline std::string Narrow(const std::wstring& wide) {
  return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

// 0 Wave .. 4 Misc for the pages' controls (31xx .. 35xx), -1 for the
// controls of every page.
inline int PageOfControl(int id) {
  const int hundreds = id / 100;
  return hundreds >= 31 && hundreds <= 35 ? hundreds - 31 : -1;
}

inline bool KeyHeld(int key) {
  return (GetKeyState(key) & 0x8000) != 0;
}

}  // namespace ov::setup_win
