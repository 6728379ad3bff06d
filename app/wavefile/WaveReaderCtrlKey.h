// The program's Ctrl-key sampler for ParseOptions::ctrlKeyDown and
// PlayReadState::ctrlKeyDown (Windows only: GetAsyncKeyState).
#pragma once

namespace ov {

bool CtrlKeyHeldNow();

}  // namespace ov
