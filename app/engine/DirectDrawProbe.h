// The engine's check for DirectX 7 at construction: loads "DDRAW.DLL", creates
// a DirectDraw 7 object through "DirectDrawCreateEx", releases it and frees
// the library. The DirectSound family needs it to be true; the native build
// has no DirectX and always answers false.
#pragma once

namespace ov {

bool ProbeDirectDraw7();

}  // namespace ov
