#include "app/shell/ProgramEntry_win.h"

#include <windows.h>

#include <string>

#include "app/common/Utf8.h"
#include "app/controls/MessageLoop_win.h"
#include "app/shell/CommandLine.h"
#include "app/shell/InstanceNames.h"
#include "app/shell/InstanceWindows_win.h"
#include "app/shell/MainForm_win.h"

namespace ov {

namespace {

// How long a hand-over keeps looking for instance 1's main window, which may
// still be on its way (instance 1 started a moment earlier).
constexpr DWORD kHandOverSearchMs = 3000;

// An initially owned mutex with inheritable security attributes; null on failure.
HANDLE CreateInstanceMutex(const char* name, bool& existed) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE mutex = CreateMutexA(&sa, TRUE, name);
  existed = mutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
  return mutex;
}

std::string ProcessArguments() {
  const std::wstring line(GetCommandLineW());
  const std::string utf8 = Utf16ToUtf8(std::u16string(line.begin(), line.end()));
  return std::string(ArgumentsOf(utf8));
}

void Release(HANDLE mutex) {
  ReleaseMutex(mutex);
  CloseHandle(mutex);
}

}  // namespace

int RunProgram() {
  std::string pendingCommandLine = ProcessArguments();

  bool existed = false;
  HANDLE mutex = CreateInstanceMutex(kFirstMutexName, existed);
  if (mutex == nullptr) return 1;
  StartRole role = FirstMutexRole(existed, !pendingCommandLine.empty());
  if (existed) {
    CloseHandle(mutex);
    mutex = nullptr;
    if (role == StartRole::HandOver) {
      HandOverCommandLine(pendingCommandLine, kHandOverSearchMs);
      return 0;
    }
    mutex = CreateInstanceMutex(kSecondMutexName, existed);
    if (mutex == nullptr) return 1;
    role = SecondMutexRole(existed);
    if (role == StartRole::ActivateSecond) {
      CloseHandle(mutex);
      if (HWND second = FindMainWindow(ApplicationTitle(2))) BringForward(second);
      return 0;
    }
  }

  int instanceNumber = role == StartRole::SecondInstance ? 2 : 1;
  int exitCode = 0;
  {
    TMainForm form(instanceNumber, pendingCommandLine);
    if (form.Create() && instanceNumber != 0) {
      form.Show();
      exitCode = RunMessageLoop(&form);
    }
  }
  Release(mutex);
  return exitCode;
}

}  // namespace ov
