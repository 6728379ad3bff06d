#include "app/shell/SystemProbe_win.h"

#include <windows.h>

#include <unknwn.h>

namespace ov {

namespace {

// IID_IDirectDraw7, which DirectDrawCreateEx requires.
constexpr GUID kIidDirectDraw7 = {
    0x15e65ec0, 0x3b9c, 0x11d2, {0xb9, 0x2f, 0x00, 0x60, 0x97, 0x97, 0xea, 0x5b}};

using DirectDrawCreateExFn = HRESULT(WINAPI*)(GUID*, void**, REFIID, IUnknown*);
using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOEXW*);

}  // namespace

bool ProbeDirectDraw() {
  HMODULE ddraw = LoadLibraryW(L"DDRAW.DLL");
  if (ddraw == nullptr) return false;
  bool ok = false;
  auto create = reinterpret_cast<DirectDrawCreateExFn>(
      reinterpret_cast<void*>(GetProcAddress(ddraw, "DirectDrawCreateEx")));
  if (create != nullptr) {
    void* object = nullptr;
    if (SUCCEEDED(create(nullptr, &object, kIidDirectDraw7, nullptr)) && object != nullptr) {
      static_cast<IUnknown*>(object)->Release();
      ok = true;
    }
  }
  FreeLibrary(ddraw);
  return ok;
}

OsVersion RunningOsVersion() {
  OSVERSIONINFOEXW info{};
  info.dwOSVersionInfoSize = sizeof info;
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  auto get = reinterpret_cast<RtlGetVersionFn>(
      reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
  OsVersion v;
  if (get != nullptr && get(&info) == 0) {
    v.major = info.dwMajorVersion;
    v.minor = info.dwMinorVersion;
    v.servicePackMajor = info.wServicePackMajor;
  }
  return v;
}

}  // namespace ov
