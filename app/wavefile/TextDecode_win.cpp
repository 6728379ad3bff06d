// Code-page texts into UTF-8 through MultiByteToWideChar.
#include <windows.h>

#include "app/common/Utf8.h"
#include "app/wavefile/TextDecode.h"

namespace ov {

std::string DecodeToUtf8(std::string_view bytes, TextEncoding encoding) {
  if (encoding == TextEncoding::Utf8) return Utf16ToUtf8(Utf8ToUtf16(bytes));
  if (bytes.empty()) return {};
  const UINT codePage = encoding == TextEncoding::ShiftJis ? 932 : CP_ACP;
  const int length = static_cast<int>(bytes.size());
  const int wide = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
  if (wide <= 0) return std::string(bytes);
  std::u16string text(static_cast<size_t>(wide), u'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), length, reinterpret_cast<wchar_t*>(text.data()),
                      wide);
  return Utf16ToUtf8(text);
}

}  // namespace ov
