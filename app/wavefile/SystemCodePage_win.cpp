#include "app/wavefile/SystemCodePage.h"

#include <windows.h>

#include "app/common/Utf8.h"

namespace ov {

std::string SystemAnsiToUtf8(std::string_view ansi) {
  if (ansi.empty()) return {};
  const int n =
      MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  if (n <= 0) return std::string(ansi);
  std::u16string wide(static_cast<size_t>(n), u'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()),
                      reinterpret_cast<wchar_t*>(wide.data()), n);
  return Utf16ToUtf8(wide);
}

}  // namespace ov
