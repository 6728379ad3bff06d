#include <windows.h>
#include <ddraw.h>

#include "app/engine/DirectDrawProbe.h"

namespace ov {

bool ProbeDirectDraw7() {
  HMODULE ddraw = LoadLibraryA("DDRAW.DLL");
  if (!ddraw) return false;
  using CreateExFn = HRESULT(WINAPI*)(GUID*, void**, REFIID, IUnknown*);
  const auto create = reinterpret_cast<CreateExFn>(
      reinterpret_cast<void*>(GetProcAddress(ddraw, "DirectDrawCreateEx")));
  bool available = false;
  if (create) {
    IDirectDraw7* dd = nullptr;
    if (SUCCEEDED(create(nullptr, reinterpret_cast<void**>(&dd), IID_IDirectDraw7, nullptr)) &&
        dd) {
      available = true;
      dd->Release();
    }
  }
  FreeLibrary(ddraw);
  return available;
}

}  // namespace ov
