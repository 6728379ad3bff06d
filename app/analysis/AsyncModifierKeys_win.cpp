#include "app/analysis/AsyncModifierKeys_win.h"

#include <windows.h>

namespace ov {

bool AsyncModifierKeys::ShiftCtrlAltDown() const {
  // The high bit of GetAsyncKeyState is set while the key is down.
  auto down = [](int key) { return (GetAsyncKeyState(key) & 0x8000) != 0; };
  return down(VK_SHIFT) && down(VK_CONTROL) && down(VK_MENU);
}

}  // namespace ov
