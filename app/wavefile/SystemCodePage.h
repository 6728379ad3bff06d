// Text in the system's ANSI code page, as other programs write list files,
// turned into UTF-8. Windows converts through the active code page; other
// systems have none and read the bytes as Latin-1.
#pragma once

#include <string>
#include <string_view>

namespace ov {

std::string SystemAnsiToUtf8(std::string_view ansi);

}  // namespace ov
