// What the spectrum view writes around its plot in measure mode: the panel
// boxes with their captions, and the values in them (maximum, cursor, THD
// and THD+N or S/N, RMS), each with its position and colour role. The view
// only draws what this composes. Nothing is allocated.
#pragma once

#include <cstdint>

#include "app/analysis/FrameAnalysis.h"
#include "app/common/ColorRole.h"
#include "app/display/SpectrumAxis.h"

namespace ov {

struct PanelBox {
  int32_t left = 0, top = 0, right = 0, bottom = 0;  // rounded rectangle, 6-pixel corners
  ColorRole colour = Cursor1Color;
  const char* caption = "";
  int32_t captionX = 0, captionY = 0;
  // The S/N variant blanks the caption area first (eight blanks at (10, 112)).
  bool blankFirst = false;
};

struct PanelText {
  int32_t x = 0, y = 0;
  char text[16] = {};
  ColorRole colour = LineColor;
  bool underline = false;  // dotted, from x = 7 to the text width + 6
};

constexpr int32_t kMaxPanelBoxes = 4;
constexpr int32_t kMaxPanelTexts = 10;

struct SpectrumPanelContent {
  PanelBox boxes[kMaxPanelBoxes];
  int32_t boxCount = 0;
  PanelText texts[kMaxPanelTexts];
  int32_t textCount = 0;
  bool measurementsWritten = false;  // THD/RMS lines were composed (fpsUpdated is then cleared)
};

// The boxes of the measure panel (only in measure mode).
void ComposePanelBoxes(const FrameAnalysis& analysis, SpectrumPanelContent& out);

// The values: maximum and cursor always (in measure mode); THD and RMS only
// when frameValid or fpsUpdated.
void ComposePanelValues(const FrameAnalysis& analysis, const SpectrumAxis& axis, bool fpsUpdated,
                        SpectrumPanelContent& out);

}  // namespace ov
