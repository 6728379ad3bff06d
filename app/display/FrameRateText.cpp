#include "app/display/FrameRateText.h"

#include <cstdio>

namespace ov {

void FormatFrameRate(int32_t framesPerSecond, char* out) {
  if (framesPerSecond < 1000) {
    std::snprintf(out, 12, "%d", framesPerSecond);
    return;
  }
  // Past "Z" (3600 frames per second) the letters run on through the ASCII
  // table; a rate that high does not occur in practice.
  int32_t hundreds = framesPerSecond / 100 + 55;
  if (hundreds > 126) hundreds = 126;
  std::snprintf(out, 12, "%c%02d", static_cast<char>(hundreds), framesPerSecond % 100);
}

}  // namespace ov
