// The engine's ring of equal buffers in one block of memory. The block is
// reallocated only when the buffer count, the buffer size or the number of
// copies changes, so repeated starts do not allocate. The data address is
// 8-byte aligned; the raw allocation is kept beside it for freeing.
#pragma once

#include <cstdint>
#include <memory>

namespace ov {

class SampleRing {
 public:
  // Lays out `count` buffers of `bufBytes`, `copies` times over (the record
  // monitor keeps its play buffers in a second copy). Returns false when the
  // memory cannot be had; the ring is then empty. New memory is zeroed.
  bool Layout(uint32_t count, uint32_t bufBytes, uint32_t copies);
  void Free();

  // Sets every byte of every copy to `value` (silence: 0, or 128 for 8-bit).
  void Fill(uint8_t value);

  uint8_t* Data() { return data_; }
  const uint8_t* Data() const { return data_; }
  uint8_t* Buffer(uint32_t index) { return data_ + static_cast<uint64_t>(index) * bufBytes_; }
  // Buffer `index` of copy `copy` (copy 1: the record monitor's play buffers).
  uint8_t* Buffer(uint32_t copy, uint32_t index) {
    return data_ + (static_cast<uint64_t>(copy) * count_ + index) * bufBytes_;
  }
  uint32_t Count() const { return count_; }
  uint32_t BufBytes() const { return bufBytes_; }
  // Bytes of one copy of the ring.
  uint64_t RingBytes() const { return static_cast<uint64_t>(count_) * bufBytes_; }
  bool Empty() const { return data_ == nullptr; }
  // Number of allocations made so far (tests check that restarts reuse the block).
  uint32_t Allocations() const { return allocations_; }

 private:
  std::unique_ptr<uint8_t[]> raw_;
  uint8_t* data_ = nullptr;
  uint32_t count_ = 0;
  uint32_t bufBytes_ = 0;
  uint32_t copies_ = 0;
  uint32_t allocations_ = 0;
};

// Copies n bytes of the ring starting at byte `start`, wrapping once at the
// ring's end: at most two memory ranges, never a lock. When n exceeds the ring
// the bytes beyond it are set to `silence`; an empty ring gives only silence.
void CopyFromRing(const uint8_t* ring, uint64_t ringBytes, uint64_t start, uint8_t* dst, uint64_t n,
                  uint8_t silence);

// Ring offset of the sample now audible: the played position minus the output
// latency, modulo the ring.
uint64_t PlayBlockStart(uint64_t playSamples, uint32_t blockAlign, uint64_t ringBytes,
                        uint64_t latencyBytes);
// Ring offset of a block of n bytes that ends at the newest recorded sample.
uint64_t RecBlockStart(uint64_t recSamples, uint32_t blockAlign, uint64_t ringBytes,
                       uint64_t latencyBytes, uint64_t n);

// Position interpolated from the clock between buffer completions: the counted
// samples plus the time since the last completion, at most one buffer's worth.
uint64_t InterpolatedPosition(uint64_t countedSamples, uint32_t elapsedMs, uint32_t rate,
                              uint32_t capSamples);

// Milliseconds from `since` to `now` on the wrapping tick; 0 when `since`
// is later (another thread moved it between the two reads).
uint32_t ElapsedMs(uint32_t now, uint32_t since);

// Latency in samples: automatic (ms < 0) from the device's latency in seconds
// times `factor`, or the given milliseconds rounded.
uint64_t LatencySamples(int32_t ms, uint32_t rate, double deviceSeconds, double factor);

}  // namespace ov
