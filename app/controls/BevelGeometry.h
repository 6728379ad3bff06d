// What TBeveledLabel paints, without the painting: the text inset, the bevel
// colours and lines of each style, and where vertically laid-out text goes.
// Portable; the window side draws what this describes.
#pragma once

#include <cstdint>

namespace ov {

enum BevelStyle : int32_t {
  lbsNone = 0,
  lbsLowered = 1,
  lbsLowered2 = 2,
  lbsRaised = 3,
  lbsRaised2 = 4,
  lbsSingle = 5,
};

enum class TextLayout { Top, Center, Bottom };

// Colours as stored: 0x00BBGGRR, or a system colour index with high byte 0xFF.
constexpr uint32_t kButtonShadowColour = 0xFF000010u;     // COLOR_BTNSHADOW
constexpr uint32_t kButtonHighlightColour = 0xFF000014u;  // COLOR_BTNHIGHLIGHT

struct BevelPoint {
  int32_t x, y;
};

struct BevelPlan {
  int32_t inset = 0;     // the text rectangle is the client shrunk by this
  int32_t bevels = 0;    // 0, 1 or 2 (the second one pixel further in)
  uint32_t colourA = 0;  // top and left edges
  uint32_t colourB = 0;  // bottom and right edges
};

BevelPlan PlanBevel(BevelStyle style, uint32_t borderColour);

// The two poly-lines of bevel `ring` (0 outer, 1 inner) of a width x height
// client: A runs bottom-left, top-left, top-right; B runs top-right,
// bottom-right, bottom-left (the last point of each is not drawn).
void BevelLines(int32_t width, int32_t height, int32_t ring, BevelPoint a[3], BevelPoint b[3]);

// Top of text `textHeight` high in a text rectangle `top`..`top + height`.
int32_t TextTop(TextLayout layout, int32_t top, int32_t height, int32_t textHeight);

}  // namespace ov
