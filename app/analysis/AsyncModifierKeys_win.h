// The physical modifier-key state through GetAsyncKeyState, usable from the
// display thread.
#pragma once

#include "app/analysis/ModifierKeys.h"

namespace ov {

class AsyncModifierKeys final : public ModifierKeys {
 public:
  bool ShiftCtrlAltDown() const override;
};

}  // namespace ov
