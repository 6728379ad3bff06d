// The play and record state integers: owned by the main window, written by the
// audio engine, read by the engine, the frame acquisition and the main window.
#pragma once

#include <cstdint>

namespace ov {

// Play state cell.
enum PlayStateValue : int32_t {
  kPlayStopped = 0,  // no play thread
  kPlayPlaying = 1,  // the device consumes buffers
  kPlayPaused = 2,   // play thread alive, device paused (also the analyze mode)
};

// Record state cell.
enum RecStateValue : int32_t {
  kRecStopped = 0,    // no record thread
  kRecPaused = 2,     // device stopped, thread alive
  kRecStarting = 3,   // record thread created, buffers not yet all queued
  kRecRecording = 4,  // device delivers buffers
};

}  // namespace ov
