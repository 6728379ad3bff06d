#include "app/engine/SampleRing.h"

#include <cstring>
#include <new>

namespace ov {

bool SampleRing::Layout(uint32_t count, uint32_t bufBytes, uint32_t copies) {
  if (data_ && count == count_ && bufBytes == bufBytes_ && copies == copies_) return true;
  Free();
  const uint64_t bytes = static_cast<uint64_t>(count) * bufBytes * copies;
  if (bytes == 0 || bytes > (uint64_t{1} << 40)) return false;
  raw_.reset(new (std::nothrow) uint8_t[bytes + 8]);
  if (!raw_) return false;
  std::memset(raw_.get(), 0, bytes + 8);
  const auto addr = reinterpret_cast<uintptr_t>(raw_.get());
  data_ = raw_.get() + ((8 - addr % 8) % 8);
  count_ = count;
  bufBytes_ = bufBytes;
  copies_ = copies;
  ++allocations_;
  return true;
}

void SampleRing::Free() {
  raw_.reset();
  data_ = nullptr;
  count_ = bufBytes_ = copies_ = 0;
}

void SampleRing::Fill(uint8_t value) {
  if (data_) std::memset(data_, value, RingBytes() * copies_);
}

void CopyFromRing(const uint8_t* ring, uint64_t ringBytes, uint64_t start, uint8_t* dst, uint64_t n,
                  uint8_t silence) {
  if (!ring || ringBytes == 0) {
    std::memset(dst, silence, n);
    return;
  }
  const uint64_t take = n < ringBytes ? n : ringBytes;
  start %= ringBytes;
  const uint64_t first = ringBytes - start < take ? ringBytes - start : take;
  std::memcpy(dst, ring + start, first);
  if (take > first) std::memcpy(dst + first, ring, take - first);
  if (n > take) std::memset(dst + take, silence, n - take);
}

uint64_t PlayBlockStart(uint64_t playSamples, uint32_t blockAlign, uint64_t ringBytes,
                        uint64_t latencyBytes) {
  if (ringBytes == 0) return 0;
  const uint64_t p = (playSamples * blockAlign) % ringBytes;
  return (p + ringBytes - latencyBytes % ringBytes) % ringBytes;
}

uint64_t RecBlockStart(uint64_t recSamples, uint32_t blockAlign, uint64_t ringBytes,
                       uint64_t latencyBytes, uint64_t n) {
  if (ringBytes == 0) return 0;
  const uint64_t end = PlayBlockStart(recSamples, blockAlign, ringBytes, latencyBytes);
  return (end + ringBytes - n % ringBytes) % ringBytes;
}

uint64_t InterpolatedPosition(uint64_t countedSamples, uint32_t elapsedMs, uint32_t rate,
                              uint32_t capSamples) {
  uint64_t extra = static_cast<uint64_t>(static_cast<double>(elapsedMs) * rate * 0.001);
  if (extra > capSamples) extra = capSamples;
  return countedSamples + extra;
}

uint64_t LatencySamples(int32_t ms, uint32_t rate, double deviceSeconds, double factor) {
  if (ms == -1 || ms < 0) return static_cast<uint64_t>(rate * deviceSeconds * factor);
  return static_cast<uint64_t>(rate * ms * 0.001 + 0.5);
}

uint32_t ElapsedMs(uint32_t now, uint32_t since) {
  const uint32_t d = now - since;
  return d > 0x7FFFFFFFu ? 0 : d;
}

}  // namespace ov
