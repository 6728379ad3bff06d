#include <windows.h>
#include <shellapi.h>

#include "app/common/Utf8.h"
#include "tools/ovtool/Command.h"

namespace ov::tool {

std::vector<std::string> CommandLineArgs(int, char**) {
  std::vector<std::string> args;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return args;
  for (int i = 1; i < count; ++i) {
    args.push_back(Utf16ToUtf8(reinterpret_cast<const char16_t*>(wide[i])));
  }
  LocalFree(wide);
  return args;
}

}  // namespace ov::tool
