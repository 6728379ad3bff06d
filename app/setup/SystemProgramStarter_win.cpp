#include "app/setup/SystemProgramStarter_win.h"

#include <windows.h>

#include <shellapi.h>

#include <vector>

#include "app/setup/SetupDlgCommon_win.h"

namespace ov {

bool SystemProgramStarter::StartProgram(const std::string& commandLine) {
  std::wstring line = setup_win::Wide(commandLine);
  std::vector<wchar_t> buffer(line.begin(), line.end());
  buffer.push_back(L'\0');
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi)) {
    return false;
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

bool SystemProgramStarter::OpenWebPage(const std::string& address) {
  const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(
      nullptr, L"open", setup_win::Wide(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;
}

}  // namespace ov
