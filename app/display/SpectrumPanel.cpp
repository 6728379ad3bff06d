#include "app/display/SpectrumPanel.h"

#include <cstring>

#include "app/display/SpectrumReadout.h"

namespace ov {

namespace {

void AddBox(SpectrumPanelContent& out, const PanelBox& box) {
  if (out.boxCount < kMaxPanelBoxes) out.boxes[out.boxCount++] = box;
}

PanelText& AddText(SpectrumPanelContent& out, int32_t x, int32_t y, ColorRole colour,
                   bool underline) {
  PanelText& t = out.texts[out.textCount < kMaxPanelTexts ? out.textCount++ : kMaxPanelTexts - 1];
  t.x = x;
  t.y = y;
  t.colour = colour;
  t.underline = underline;
  t.text[0] = '\0';
  return t;
}

void CopyText(PanelText& t, const std::string& s) {
  const size_t n = s.size() < sizeof t.text - 1 ? s.size() : sizeof t.text - 1;
  std::memcpy(t.text, s.data(), n);
  t.text[n] = '\0';
}

}  // namespace

void ComposePanelBoxes(const FrameAnalysis& a, SpectrumPanelContent& out) {
  out.boxCount = 0;
  if (!a.measureMode) return;
  if (a.mainOn) AddBox(out, PanelBox{4, 7, 62, 43, Cursor1Color, " Max ", 10, 2, false});
  if (a.cursorBin >= 0)
    AddBox(out, PanelBox{4, 50, 62, 107, Cursor2Color, " Cursor ", 9, 45, false});
  if (a.thdOn) {
    const ColorRole c = a.cursorBin > 0 ? Cursor2Color : Cursor1Color;
    if (a.snLine)
      AddBox(out, PanelBox{4, 117, 62, 150, c, "THD,S/N", 13, 112, true});
    else
      AddBox(out, PanelBox{4, 117, 62, 150, c, " THD,+N ", 10, 112, false});
  }
  if (a.rmsOn) AddBox(out, PanelBox{4, 160, 62, 182, LineColor, " RMS ", 10, 155, false});
}

void ComposePanelValues(const FrameAnalysis& a, const SpectrumAxis& axis, bool fpsUpdated,
                        SpectrumPanelContent& out) {
  out.textCount = 0;
  out.measurementsWritten = false;
  if (!a.measureMode) return;
  const bool interpolated = a.SpectrumInterpolate != 0;
  if (a.mainOn && a.PeakFreq10 >= 0) {
    FormatPanelFrequency(a.PeakFreq10, AddText(out, 6, 15, Cursor1Color, interpolated).text);
    FormatLevel(axis, a.levelScale, a.MaxAmp, AddText(out, 6, 28, LineColor, interpolated).text);
  }
  if (a.cursorBin >= 0 && a.cursorBin < a.B && a.CursorFreq10 >= 0) {
    const bool onlyMain = a.mainOn && !a.overlay1.shown && !a.overlay2.shown;
    const bool underline = onlyMain && interpolated;
    FormatPanelFrequency(a.CursorFreq10, AddText(out, 6, 58, Cursor2Color, underline).text);
    if (a.mainOn)
      FormatLevel(axis, a.levelScale, a.CursorAmp, AddText(out, 6, 71, LineColor, underline).text);
    if (a.overlay1.shown && a.Overlay1Amp.data())
      FormatLevel(axis, a.levelScale, a.Overlay1Amp[a.cursorBin],
                  AddText(out, 6, 82, OVL1Color, false).text);
    if (a.overlay2.shown && a.Overlay2Amp.data())
      FormatLevel(axis, a.levelScale, a.Overlay2Amp[a.cursorBin],
                  AddText(out, 6, 93, OVL2Color, false).text);
  }
  if (!a.frameValid && !fpsUpdated) return;
  out.measurementsWritten = true;
  const MeasurementReadouts r = a.ComputeReadouts();
  if (r.thdShown) {
    CopyText(AddText(out, 6, 125, r.thdColor, false), r.thdLine);
    CopyText(AddText(out, 6, 136, r.thdColor, false), r.secondLine);
  }
  if (r.rmsShown) CopyText(AddText(out, 6, 168, LineColor, false), r.rmsLine);
}

}  // namespace ov
