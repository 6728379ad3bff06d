#include "app/controls/BevelGeometry.h"

namespace ov {

BevelPlan PlanBevel(BevelStyle style, uint32_t borderColour) {
  BevelPlan p;
  switch (style) {
    case lbsNone:
      return p;
    case lbsLowered2:
    case lbsRaised2:
      p.inset = 2;
      p.bevels = 2;
      break;
    default:
      p.inset = 1;
      p.bevels = 1;
      break;
  }
  const bool raised = style == lbsRaised || style == lbsRaised2;
  if (style == lbsSingle) {
    p.colourA = p.colourB = borderColour;
  } else {
    p.colourA = raised ? kButtonHighlightColour : kButtonShadowColour;
    p.colourB = raised ? kButtonShadowColour : kButtonHighlightColour;
  }
  return p;
}

void BevelLines(int32_t width, int32_t height, int32_t ring, BevelPoint a[3], BevelPoint b[3]) {
  const int32_t l = ring, t = ring, r = width - 1 - ring, btm = height - 1 - ring;
  a[0] = {l, btm};
  a[1] = {l, t};
  a[2] = {r, t};
  b[0] = {r, t};
  b[1] = {r, btm};
  b[2] = {l, btm};
}

int32_t TextTop(TextLayout layout, int32_t top, int32_t height, int32_t textHeight) {
  switch (layout) {
    case TextLayout::Center:
      return top + (height - textHeight) / 2;
    case TextLayout::Bottom:
      return top + height - textHeight;
    case TextLayout::Top:
      break;
  }
  return top;
}

}  // namespace ov
