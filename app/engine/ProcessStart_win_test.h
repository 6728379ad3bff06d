// Starting a helper program from a test. On a loaded machine CreateProcessW
// can fail for a moment (the system short of memory or handles, the program
// file still held by whoever wrote it); such a start is tried again a few
// times with a growing pause. A failure that no retry can mend (no such file,
// not a program) ends at once. The error codes of every attempt are kept so
// that a test that still cannot start the program says why. Test code only.
#pragma once

#include <windows.h>

#include <string>

namespace ov::test {

struct ProcessStart {
  bool started = false;
  PROCESS_INFORMATION info{};
  std::string errors;  // "attempt 1: 1455; attempt 2: 1455" when attempts failed
};

// True for errors that say the program can never start as asked.
inline bool LastingStartError(DWORD e) {
  return e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND || e == ERROR_BAD_EXE_FORMAT ||
         e == ERROR_INVALID_PARAMETER || e == ERROR_DIRECTORY || e == ERROR_INVALID_NAME;
}

// CreateProcessW(nullptr, commandLine, ...) with `inheritHandles`, `flags`
// and `startup`, tried up to `attempts` times while the failure is transient.
inline ProcessStart StartProcess(std::wstring commandLine, bool inheritHandles, DWORD flags,
                                 STARTUPINFOW& startup, int attempts = 5) {
  ProcessStart r;
  for (int i = 1; i <= attempts; ++i) {
    std::wstring cmd = commandLine;  // CreateProcessW may write into its copy
    if (CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, inheritHandles ? TRUE : FALSE, flags,
                       nullptr, nullptr, &startup, &r.info)) {
      r.started = true;
      return r;
    }
    const DWORD e = GetLastError();
    if (!r.errors.empty()) r.errors += "; ";
    r.errors += "attempt " + std::to_string(i) + ": GetLastError " + std::to_string(e);
    if (LastingStartError(e)) break;
    Sleep(static_cast<DWORD>(250 * i));
  }
  return r;
}

}  // namespace ov::test
