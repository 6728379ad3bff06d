// UTF-8 <-> UTF-16 for the wide-character Windows API. Portable so tests can
// check it natively; invalid UTF-8 bytes become U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace ov {

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace ov
