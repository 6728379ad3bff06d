// The Windows loader behind AvrtBinding.
#include <windows.h>

#include "app/engine/AvrtBinding.h"

namespace ov {

namespace {

using SetTaskFn = HANDLE(WINAPI*)(LPCSTR, LPDWORD);
using RevertFn = BOOL(WINAPI*)(HANDLE);

class SystemLibraryLoader : public LibraryLoader {
 public:
  OsVersion Version() override {
    OSVERSIONINFOEXW v{};
    v.dwOSVersionInfoSize = sizeof v;
    if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&v))) return {};
    return {v.dwMajorVersion, v.dwMinorVersion, v.wServicePackMajor};
  }
  void* Load(const char* fileName, uint32_t* error) override {
    HMODULE m = LoadLibraryA(fileName);
    if (!m) *error = GetLastError();
    return reinterpret_cast<void*>(m);
  }
  void* Find(void* module, const char* entryName, uint32_t* error) override {
    FARPROC p = GetProcAddress(static_cast<HMODULE>(module), entryName);
    if (!p) *error = GetLastError();
    return reinterpret_cast<void*>(p);
  }
  bool Free(void* module, uint32_t* error) override {
    if (FreeLibrary(static_cast<HMODULE>(module))) return true;
    *error = GetLastError();
    return false;
  }
  void* CallSetTask(void* entry, const char* task, uint32_t* taskIndex) override {
    DWORD index = *taskIndex;
    HANDLE h = reinterpret_cast<SetTaskFn>(entry)(task, &index);
    *taskIndex = index;
    return h;
  }
  bool CallRevert(void* entry, void* taskHandle) override {
    return reinterpret_cast<RevertFn>(entry)(taskHandle) != FALSE;
  }
};

}  // namespace

std::unique_ptr<LibraryLoader> CreateSystemLibraryLoader() {
  return std::make_unique<SystemLibraryLoader>();
}

}  // namespace ov
