// The main window's keyboard: Space and Esc translated to the transport's
// Ctrl keys, then the key table (Ctrl commands, the measure-only Shift
// commands, F1). Portable; key codes are the Windows virtual-key numbers.
#pragma once

#include <cstdint>

namespace ov {

constexpr uint32_t kKeyEscape = 0x1B;
constexpr uint32_t kKeySpace = 0x20;
constexpr uint32_t kKeyF1 = 0x70;

enum class KeyCommand {
  None,
  CopyScreen,       // Ctrl+C
  Divide,           // Ctrl+D
  ToggleChannel,    // Ctrl+L
  ToggleMeasure,    // Ctrl+M
  Open,             // Ctrl+O
  Play,             // Ctrl+P
  Record,           // Ctrl+R
  Stop,             // Ctrl+S
  Setup,            // Ctrl+T
  Pause,            // Ctrl+U
  PlayList,         // Shift+O
  Overlay1,         // Shift+1 (measure mode)
  Overlay2,         // Shift+2
  NextAverage,      // Shift+A
  CaptureOverlay1,  // Shift+C
  LoadOverlay1,     // Shift+L
  MainSpectrum,     // Shift+M
  PeakHold,         // Shift+P
  Rms,              // Shift+R
  SaveOverlay1,     // Shift+S
  Thd,              // Shift+T
  Help,             // F1
};

// What the transport can do now (its buttons' enabled states), and whether
// an overlay comment field has the keyboard focus.
struct TransportAbility {
  bool canRecord = false, canPlay = false, canPause = false, canStop = false;
  bool commentFocus = false;
};

struct KeyPress {
  uint32_t key = 0;
  bool ctrl = false, shift = false;
};

// Space becomes Ctrl+R, Ctrl+P or Ctrl+U (pause over play over record) when
// that is possible; Esc becomes Ctrl+S when stop is possible. Other keys,
// and Space while a comment field has the focus, pass unchanged.
KeyPress TranslateTransportKey(const KeyPress& press, const TransportAbility& ability);

// The command of a (translated) key; the Shift letter commands only in the
// measure mode, Shift+O always.
KeyCommand CommandOfKey(const KeyPress& press, bool measureMode);

}  // namespace ov
