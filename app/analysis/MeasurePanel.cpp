// The measure panel's buttons that switch analysis state. The window mirrors
// the flags in its buttons and recomputes the layout when asked to.
#include <cctype>

#include "app/analysis/FrameAnalysis.h"

namespace ov {

namespace {
constexpr int32_t kMaxAverageCount = 1000;
}  // namespace

void FrameAnalysis::ApplyMainOnRule() {
  // The main spectrum can be switched off only while an overlay is shown.
  if (!overlay1.shown && !overlay2.shown) mainOn = true;
}

void FrameAnalysis::MainButtonDown(bool down) {
  mainOn = down;
  ApplyMainOnRule();
}

bool FrameAnalysis::PeakButtonDown(bool down) {
  peakHold = down;
  bool layoutChanged = false;
  if (down) {
    overlay1.shown = overlay1.filled = true;
    ClearPeakHold();
    overlay1.stale = overlay2.stale = true;
    layoutChanged = true;
  }
  ApplyMainOnRule();
  return layoutChanged;
}

int32_t FrameAnalysis::AverageCountChanged(const char* text, bool& layoutChanged) {
  layoutChanged = false;
  // The number starting at the first digit; more digits than the range needs
  // saturate instead of overflowing.
  const char* p = text ? text : "";
  while (*p != '\0' && !std::isdigit(static_cast<unsigned char>(*p))) ++p;
  int64_t n = 0;
  for (; std::isdigit(static_cast<unsigned char>(*p)); ++p) {
    n = n * 10 + (*p - '0');
    if (n > kMaxAverageCount) n = kMaxAverageCount;
  }
  averageCount = n < 2 ? 1 : static_cast<int32_t>(n);
  if (averageCount > 1) {
    overlay2.shown = overlay2.filled = true;
    ResetAverage(false);
    overlay1.stale = overlay2.stale = true;
    layoutChanged = true;
  }
  ApplyMainOnRule();
  return averageCount;
}

void FrameAnalysis::ThdButtonDown(bool down) {
  thdOn = down;
  if (down) snLine = !snLine;  // alternate THD+N and S/N each time THD comes on
}

}  // namespace ov
