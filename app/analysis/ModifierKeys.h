// The keyboard test of frame acquisition: holding Shift, Ctrl and Alt together
// skips the transform so that the spectrum buffer keeps the weighted samples.
#pragma once

namespace ov {

class ModifierKeys {
 public:
  virtual ~ModifierKeys() = default;
  // True while Shift, Ctrl and Alt are all held down at this moment (any
  // thread may ask; the answer is the physical key state, not a message queue's).
  virtual bool ShiftCtrlAltDown() const = 0;
};

// For tools and tests without a keyboard.
class NoModifierKeys final : public ModifierKeys {
 public:
  bool ShiftCtrlAltDown() const override { return false; }
};

}  // namespace ov
