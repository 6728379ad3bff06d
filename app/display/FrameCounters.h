// The frame-rate and level-meter bookkeeping of the main window. Main thread
// only: the drawing step, Timer1 (1 s), Timer2 (30 ms) and the transport all
// run there; the display thread reads meterUpdatesPerSecond only while it
// waits for the drawing step.
#pragma once

#include <cstdint>

namespace ov {

struct FrameCounters {
  int32_t framesThisSecond = 0;
  int32_t secondTicks = 0;  // Timer1 ticks not yet consumed
  int32_t framesPerSecond = 0;
  bool fpsUpdated = false;  // cleared by the spectrum drawing
  int32_t meterUpdates = 0;
  int32_t meterUpdatesPerSecond = 0;

  // Counts one drawn frame; true when a new readout value was taken (the
  // frame-rate text then changes).
  bool CountFrame() {
    ++framesThisSecond;
    if (secondTicks == 0) return false;
    framesPerSecond = framesThisSecond;
    framesThisSecond = 0;
    secondTicks = 0;
    fpsUpdated = true;
    meterUpdatesPerSecond = meterUpdates;
    meterUpdates = 0;
    return true;
  }
  // Start of play or record.
  void ResetAtStart() {
    framesThisSecond = secondTicks = framesPerSecond = meterUpdates = meterUpdatesPerSecond = 0;
  }
  // Pause and resume.
  void ResetAtPause() { framesThisSecond = secondTicks = meterUpdates = 0; }
};

}  // namespace ov
