#include "app/shell/TransportKeys.h"

namespace ov {

KeyPress TranslateTransportKey(const KeyPress& press, const TransportAbility& a) {
  KeyPress out = press;
  if (press.key == kKeySpace && !press.ctrl && !a.commentFocus) {
    uint32_t letter = 0;
    if (a.canRecord) letter = 'R';
    if (a.canPlay) letter = 'P';
    if (a.canPause) letter = 'U';
    if (letter != 0) {
      out.key = letter;
      out.ctrl = true;
    }
  } else if (press.key == kKeyEscape && a.canStop) {
    out.key = 'S';
    out.ctrl = true;
  }
  return out;
}

KeyCommand CommandOfKey(const KeyPress& p, bool measureMode) {
  if (p.key == kKeyF1 && !p.ctrl && !p.shift) return KeyCommand::Help;
  if (p.ctrl) {
    switch (p.key) {
      case 'C':
        return KeyCommand::CopyScreen;
      case 'D':
        return KeyCommand::Divide;
      case 'L':
        return KeyCommand::ToggleChannel;
      case 'M':
        return KeyCommand::ToggleMeasure;
      case 'O':
        return KeyCommand::Open;
      case 'P':
        return KeyCommand::Play;
      case 'R':
        return KeyCommand::Record;
      case 'S':
        return KeyCommand::Stop;
      case 'T':
        return KeyCommand::Setup;
      case 'U':
        return KeyCommand::Pause;
      default:
        return KeyCommand::None;
    }
  }
  if (!p.shift) return KeyCommand::None;
  if (p.key == 'O') return KeyCommand::PlayList;
  if (!measureMode) return KeyCommand::None;
  switch (p.key) {
    case '1':
      return KeyCommand::Overlay1;
    case '2':
      return KeyCommand::Overlay2;
    case 'A':
      return KeyCommand::NextAverage;
    case 'C':
      return KeyCommand::CaptureOverlay1;
    case 'L':
      return KeyCommand::LoadOverlay1;
    case 'M':
      return KeyCommand::MainSpectrum;
    case 'P':
      return KeyCommand::PeakHold;
    case 'R':
      return KeyCommand::Rms;
    case 'S':
      return KeyCommand::SaveOverlay1;
    case 'T':
      return KeyCommand::Thd;
    default:
      return KeyCommand::None;
  }
}

}  // namespace ov
