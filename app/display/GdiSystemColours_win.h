// The system colours through GetSysColor.
#pragma once

#include <windows.h>

#include "app/display/ViewColours.h"

namespace ov {

class GdiSystemColours final : public SystemColours {
 public:
  uint32_t Colour(int32_t index) const override { return GetSysColor(index); }
};

}  // namespace ov
