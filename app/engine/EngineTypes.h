// Values shared between the audio engine and the main window: the play and
// record state integers, the driver families, the notification numbers posted
// to the owner window and the buffer information record.
#pragma once

#include <cstdint>

#include "app/common/AppMessages.h"  // the notifications posted to the owner

namespace ov {

// Play state cell (owned by the main window, written by the engine).
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

// Settings key PlayRecDriverType.
enum DriverTypeValue : int32_t {
  kDriverMme = 0,
  kDriverDirectSound = 1,
  kDriverAsio = 2,
  kDriverWasapi = 3,
};

// At least 2 and at most 170 buffers per direction.
constexpr uint32_t kMinBuffers = 2;
constexpr uint32_t kMaxBuffers = 170;

struct BufferInfo {
  uint32_t NumOfBuf;
  uint32_t BufSize;       // bytes
  uint32_t TotalBufSize;  // bytes
  uint32_t BufSamples;
  uint8_t BufFixed;
  uint32_t NumOfAheadBuf;
  uint32_t NumOfSkipBufAtTop;
  uint32_t NumOfSkipBufAtEnd;
  uint32_t OverrunCount;
  uint32_t BufferTime;     // ms
  uint32_t BufferTimeMax;  // ms
};

}  // namespace ov
