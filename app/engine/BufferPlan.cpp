#include "app/engine/BufferPlan.h"

#include <cstdio>

#include "app/engine/EngineTexts.h"
#include "app/engine/EngineTypes.h"

namespace ov {

bool BufferPlan::SetPlan(uint32_t newPerSec, uint32_t newMinCount, uint32_t newMinSamples,
                         uint32_t rate, uint32_t blockAlign, std::string& message) {
  if (newPerSec) perSec = newPerSec;
  if (newMinCount) minCount = newMinCount;
  if (newMinSamples) minSamples = newMinSamples;
  return Compute(rate, blockAlign, message);
}

bool BufferPlan::Compute(uint32_t rate, uint32_t blockAlign, std::string& message) {
  // A zero rate per second would divide by zero; a buffer must hold a sample.
  const uint32_t divisor = perSec ? perSec : 1;
  uint32_t samples = rate / divisor;
  if (samples == 0) samples = 1;
  // Smallest n >= minCount with samples * n > minSamples + samples.
  uint64_t n = minCount;
  const uint64_t needed = static_cast<uint64_t>(minSamples) + samples;
  if (static_cast<uint64_t>(samples) * n <= needed) n = needed / samples + 1;
  const uint32_t count = n > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(n);
  const uint32_t ahead = count > 0 ? count - 1 : 0;
  const bool ok = SetBuffers(count, samples * blockAlign, ahead, 0, 0, message);
  bufSamples = samples;
  fixed = false;
  return ok;
}

bool BufferPlan::SetBuffers(uint32_t count, uint32_t bytesPerBuffer, uint32_t ahead,
                            uint32_t skipTop, uint32_t skipEnd, std::string& message) {
  bool ok = true;
  if (count < kMinBuffers) count = kMinBuffers;
  if (count > kMaxBuffers) {
    message = BufferNotEnoughText(count / kMaxBuffers + 1);
    count = kMaxBuffers;
    ok = false;
  }
  bufCount = count;
  // More buffers ahead than the ring holds would refill buffers still playing.
  aheadCount = ahead == 0 || ahead > count ? count : ahead;
  skipAtTop = skipTop;
  skipAtEnd = skipEnd;
  bufBytes = bytesPerBuffer;
  ringBytes = static_cast<uint64_t>(bytesPerBuffer) * count;
  fixed = true;
  return ok;
}

}  // namespace ov
