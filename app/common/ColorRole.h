// The twenty colours of a colour set, in the settings file's order. The
// settings keep one value per role and set; the analysis names the role its
// readouts are drawn in.
#pragma once

namespace ov {

enum ColorRole : int {
  BackColor,
  DiagramBackColor,
  FrameColor,
  ScaleColor,
  LineColor,
  CharColor,
  Cursor1Color,
  Cursor2Color,
  OVL1Color,
  OVL2Color,
  FloatFormFrameColor,
  MeterBackColor,
  MeterScaleColor,
  MeterScaleCharColor,
  MeterCharColor,
  MeterBarFrameColor,
  MeterBarForeColor,
  MeterBarBackColor,
  MeterBarInnerColor,
  MeterBarPeakColor,
  kColorRoleCount
};

}  // namespace ov
