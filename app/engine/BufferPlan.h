// The buffer plan of one direction: how many equal buffers the ring holds and
// how large each is. The ring always holds more than one FFT block plus one
// buffer, so the display can take a whole block that the device is not using.
#pragma once

#include <cstdint>
#include <string>

namespace ov {

struct BufferPlan {
  // Inputs: buffers per second of audio, the minimum buffer count and the
  // sample count the ring must exceed (the FFT size).
  uint32_t perSec = 2;
  uint32_t minCount = 4;
  uint32_t minSamples = 131072;

  // The plan in use.
  uint32_t bufSamples = 0;
  uint32_t bufCount = 0;
  uint32_t bufBytes = 0;
  uint64_t ringBytes = 0;
  uint32_t aheadCount = 0;  // play: buffers filled before the device starts
  uint32_t skipAtTop = 0;   // play: priming stops the run when no more are in flight
  uint32_t skipAtEnd = 0;   // play: the run ends when no more are in flight after the data
  bool fixed = false;       // set by SetBuffers, dropped by Compute

  // Replaces the non-zero inputs and computes the plan for the format.
  // Returns false (and leaves "Buffer not enough  (1/%d)" in message) when the
  // plan needed more than 170 buffers and was cut.
  bool SetPlan(uint32_t newPerSec, uint32_t newMinCount, uint32_t newMinSamples, uint32_t rate,
               uint32_t blockAlign, std::string& message);
  bool Compute(uint32_t rate, uint32_t blockAlign, std::string& message);

  // Fixes count and size; count is limited to 2..170 (cut: false and the
  // message). ahead 0 means every buffer is filled before the start.
  bool SetBuffers(uint32_t count, uint32_t bytesPerBuffer, uint32_t ahead, uint32_t skipTop,
                  uint32_t skipEnd, std::string& message);
};

}  // namespace ov
