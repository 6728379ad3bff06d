#include "app/display/ViewColours.h"

namespace ov {

uint32_t ResolveColour(uint32_t colour, const SystemColours& system) {
  if (IsSystemColour(colour)) return system.Colour(static_cast<int32_t>(colour & 0xFF)) & 0xFFFFFF;
  return colour & 0xFFFFFF;
}

void ResolveColourSet(const int32_t (&set)[kColorRoleCount], const SystemColours& system,
                      ResolvedColours& out) {
  for (int i = 0; i < kColorRoleCount; ++i)
    out.role[i] = ResolveColour(static_cast<uint32_t>(set[i]), system);
}

uint32_t ComputeFillColour(uint32_t colour, const PixelLayout& layout) {
  const uint32_t r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
  if (layout.bitCount == 8) return 0;
  if (layout.bitCount == 16) {
    switch (layout.greenMask) {
      case 0x07E0:
        return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
      case 0x03E0:
        return ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
      case 0x00F0:
        return ((r >> 4) << 8) | ((g >> 4) << 4) | (b >> 4);
      default:
        return 0;
    }
  }
  return (r << 16) | (g << 8) | b;
}

BevelColours ComputeBevelColours(uint32_t backColour, const SystemColours& system) {
  const uint32_t shadow = system.Colour(kSysButtonShadow) & 0xFFFFFF;
  const uint32_t face = system.Colour(kSysButtonFace) & 0xFFFFFF;
  const uint32_t dark = system.Colour(kSysDarkShadow3D) & 0xFFFFFF;
  constexpr uint32_t kWhite = 0xFFFFFF;
  BevelColours c{};
  c.outerTopLeft = shadow;
  c.outerBottomRight = kWhite;
  // Black margins would swallow the dark shadow: use the lighter one there.
  c.innerTopLeft = ResolveColour(backColour, system) == 0 ? shadow : dark;
  // The back colour is compared as stored: the system button face itself, or
  // its current RGB, counts as button face.
  const bool isFace =
      backColour == (0xFF000000u | kSysButtonFace) || ResolveColour(backColour, system) == face;
  c.innerBottomRight = isFace ? kWhite : face;
  return c;
}

}  // namespace ov
