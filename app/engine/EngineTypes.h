// Values shared between the audio engine and the main window: the play and
// record state integers (PlayRecState.h), the driver families, the
// notification numbers posted to the owner window, the buffer information
// record, and the named results and options of the engine's commands.
#pragma once

#include <cstdint>

#include "app/common/AppMessages.h"  // the notifications posted to the owner
#include "app/common/PlayRecState.h"
#include "app/common/WaveFormat.h"

namespace ov {

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

namespace ov {

// What an engine command did. The reason of a failure is in the engine's
// GetMessage().
enum class EngineResult {
  Ok,
  Failed,
  // StartPlay: the file holds no data bytes; GetMessage() stays empty.
  NoData,
  // The command was called from inside one of the engine's own waits (see
  // WavePlayRec::InMessageWait) and did nothing.
  Busy,
};

// SetDriverType.
enum class DriverChange {
  Changed,
  Unchanged,  // the type is the current one, or negative
  Unusable,   // the new family cannot be used (or a pump runs); the old one stays
};

enum class AudioDirection { Output, Input };

// StartPlay: Normal starts the device once the ring is primed; Analyze primes
// the ring and stays paused (precise positioning), the first TogglePause starts it.
enum class PlayMode { Normal, Analyze };
// StartPlay: Device plays to the output; None runs the analyze mode with no
// device at all (a failing output is then ignored too).
enum class PlayOutput { Device, None };
// StartRec: Record starts the record thread; ProbeOnly opens and prepares the
// input with the format and closes it again.
enum class RecStartMode { Record, ProbeOnly };
// StartFramePlay.
enum class FrameRepeat { Once, Loop };

// OpenRec's options.
struct RecOpenOptions {
  // While recording to a file, also hand every block to the record monitor
  // (the OnRecordedData hook and, with `monitor`, the output).
  bool monitorWithFile = false;
  // Play what is recorded on the output of the same device number (MME only).
  bool monitor = false;
  // Open input `probeDeviceNumber` once with the format and close it again:
  // a refused format fails the open.
  bool probe = false;
  int32_t probeDeviceNumber = 0;  // 0 the family's default, n device n - 1
};

// What OpenPlay found in the file (or the item).
struct PlayFileFormat {
  WaveFormat format{};
  bool isPcm = false;       // false: the format text reads "Not PCM"
  uint32_t floatWidth = 0;  // 32 for IEEE float samples, else 0
};

}  // namespace ov
