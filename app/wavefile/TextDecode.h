// Bytes of a wave file's texts into UTF-8 for display outside the window
// (ovtool, tests): Shift-JIS as code page 932, the system ANSI code page
// (Windows-1252 on native builds), or UTF-8 (invalid bytes become U+FFFD).
#pragma once

#include <string>
#include <string_view>

#include "app/wavefile/WaveInfoText.h"

namespace ov {

std::string DecodeToUtf8(std::string_view bytes, TextEncoding encoding);

}  // namespace ov
