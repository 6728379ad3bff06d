// What frame acquisition needs from the audio engine: the play and record
// states, the two newest-block copies, and the ring sizing that keeps more than
// one analysis block in each ring. The engine (WavePlayRec) satisfies it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "app/common/PlayRecState.h"

namespace ov {

class SampleBlockSource {
 public:
  virtual ~SampleBlockSource() = default;

  // PlayStateValue / RecStateValue. Read on the display thread; written by the
  // engine's pumps.
  virtual int32_t PlayState() const = 0;
  virtual int32_t RecState() const = 0;

  // Copy byteCount bytes (block align x analysis size) in the engine's current
  // format into destination. Play: the frames that start at the audible play
  // position (or at the ring start when fromRingStart), the format's silence
  // when nothing plays. Record: the frames that end at the newest recorded
  // sample, silence when not recording. Both handle the ring's wrap. Called on
  // the display thread (or the main thread while the display thread is parked);
  // they must not allocate.
  virtual void CopyNewestPlayBlock(uint8_t* destination, size_t byteCount, bool fromRingStart) = 0;
  virtual void CopyNewestRecBlock(uint8_t* destination, size_t byteCount) = 0;

  // Non-zero arguments replace the per-second count, the buffer count and the
  // minimum ring size in frames; called with (0, 0, N) when the analysis size
  // changes so that each ring holds more than one block of N frames. Return
  // false when the buffer count had to be cut.
  virtual bool SetPlayBufferPlan(int32_t perSec, int32_t count, int32_t minSamples) = 0;
  virtual bool SetRecBufferPlan(int32_t perSec, int32_t count, int32_t minSamples) = 0;
};

}  // namespace ov
