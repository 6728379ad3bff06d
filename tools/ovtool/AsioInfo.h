// The information text of an installed ASIO driver (ovtool devices --info).
#pragma once

#include <cstdint>
#include <string>

#include "app/common/WaveFormat.h"

namespace ov::tool {

// Opens driver `index` on one side from `channel` on, prepared for `format`'s
// rate, and returns its information text; false with the reason.
bool AsioInfoText(int32_t index, int32_t channel, bool input, const WaveFormat& format,
                  std::string& text, std::string& error);

}  // namespace ov::tool
