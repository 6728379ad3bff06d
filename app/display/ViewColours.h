// Colour arithmetic of the views: system colours resolved to RGB, the fill
// colour of a DirectDraw surface, and the bevel around a view area.
//
// Colours are COLORREF bit patterns: 0x00BBGGRR, or a system colour index
// with the high byte 0xFF.
#pragma once

#include <cstdint>

#include "app/shell/SettingsValues.h"

namespace ov {

// The platform's system colours (GetSysColor on Windows).
class SystemColours {
 public:
  virtual ~SystemColours() = default;
  virtual uint32_t Colour(int32_t index) const = 0;  // 0x00BBGGRR
};

// System colour indexes used by the views (the Win32 COLOR_* values).
constexpr int32_t kSysButtonFace = 15;      // COLOR_BTNFACE
constexpr int32_t kSysButtonShadow = 16;    // COLOR_BTNSHADOW
constexpr int32_t kSysDarkShadow3D = 21;    // COLOR_3DDKSHADOW
constexpr int32_t kSysInfoBackground = 24;  // COLOR_INFOBK

inline bool IsSystemColour(uint32_t colour) {
  return (colour >> 24) == 0xFF;
}

// An RGB colour for any colour value: a system colour becomes its current RGB.
uint32_t ResolveColour(uint32_t colour, const SystemColours& system);

// The colours of one colour set, resolved.
struct ResolvedColours {
  uint32_t role[kColorRoleCount] = {};
  uint32_t operator[](ColorRole r) const { return role[r]; }
};
void ResolveColourSet(const int32_t (&set)[kColorRoleCount], const SystemColours& system,
                      ResolvedColours& out);

// A surface's pixel layout as far as the fill colour needs it.
struct PixelLayout {
  uint32_t bitCount = 32;
  uint32_t greenMask = 0x0000FF00;
};

// colour (0x00BBGGRR, already resolved) as a colour-fill value of a surface:
// 16-bit 5-6-5, 5-5-5 or 4-4-4 (by the green mask; other 16-bit layouts 0),
// 0x00RRGGBB for other depths. 8-bit surfaces are never colour-filled (0).
uint32_t ComputeFillColour(uint32_t colour, const PixelLayout& layout);

// The two rings of the bevel around a view area: outer left/top, outer
// right/bottom, inner left/top, inner right/bottom (RGB).
struct BevelColours {
  uint32_t outerTopLeft, outerBottomRight, innerTopLeft, innerBottomRight;
};
BevelColours ComputeBevelColours(uint32_t backColour, const SystemColours& system);

}  // namespace ov
