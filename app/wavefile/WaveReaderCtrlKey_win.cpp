#include "app/wavefile/WaveReaderCtrlKey.h"

#include <windows.h>

namespace ov {

bool CtrlKeyHeldNow() {
  return (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0;
}

}  // namespace ov
